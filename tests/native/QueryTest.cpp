// The detection rule of deployment tools on the simulated Windows: the exit
// code says whether the model is installed as the medium installs it, and
// the query changes nothing and keeps no log but the one asked for.
#include <functional>

#include "app/QuietInstall.h"
#include "app/Startup.h"
#include "install/ComponentInstallers.h"
#include "install/InstallLog.h"
#include "support/BuiltData.h"
#include "support/InstallFixture.h"
#include "support/QuietMedium.h"

using testing_support::InstallScenario;

namespace {

// Parallel and USB ports print raster graphics: the model has the GDI
// flavour's files too.
const char* const kRasterFlavour =
    "GDIDriverPath=DRV.DLL\r\nGDIDataFile=M.GPD\r\nGDIConfigFile=DRVUI.DLL\r\nGDIHelpFile=DRV.HLP\r\n"
    "GDIProcessorDLLName=MPROC.DLL\r\nGDIPrintProcessor=MProc\r\n";

void quietMedium(InstallScenario& s) {
    s.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini",
            "[M.PORT]\r\nLPTSUPPORTED=1\r\nCOMSUPPORTED=1\r\n" + InstallScenario::modelSections(kRasterFlavour));
    s.write("C:\\MEDIUM\\DRVCONFIG\\Left.bmp", testing_support::onePixelBitmap());
    s.write("C:\\MEDIUM\\language\\setup.ini", testing_support::quietLanguageFile());
    app::reopenMessageTexts();
}

void installQuietly(InstallScenario& s, const std::string& port) {
    app::CommandLine line = app::parseCommandLine("/quiet /model M /port " + port);
    line.logFile = s.sim.machine().windowsDirectory + "\\install.log";
    ASSERT_EQ(app::runQuietInstall(line), 0) << s.read(line.logFile);
    install::setInstallLog("");
    s.sim.endProgram();
}

std::string version3(InstallScenario& s) { return s.sim.machine().systemDirectory + "\\spool\\DRIVERS\\W32X86\\3\\"; }

// The query with its log, in a folder only the administrators may write.
int query(InstallScenario& s, const std::string& arguments, std::string* log) {
    app::CommandLine line = app::parseCommandLine("/query " + arguments);
    line.logFile = s.sim.machine().windowsDirectory + "\\query.log";
    s.sim.files().remove(line.logFile);
    const int code = app::runCommandLine(line);
    *log = s.read(line.logFile);
    return code;
}

}  // namespace

TEST(QueryTest, TheExitCodeSaysWhetherTheModelIsInstalledAndCurrent) {
    struct Row {
        const char* what;
        const char* installedOn;  // null: nothing installed
        std::function<void(InstallScenario&)> since;
        const char* arguments;
        int exitCode;
        const char* logged;
    } rows[] = {
        {"nothing installed", nullptr, nullptr, "/model M", 1605, "M is not installed"},
        {"no such model on this medium", nullptr, nullptr, "/model Q", 1605, "no model Q on this disc"},
        {"installed by this medium", "LPT1:", nullptr, "/model M", 0,
         "found printer M(P) on LPT1:, printing through M Parallel"},
        {"installed, asked on its port", "HVCOM1:", nullptr, "/model m /port HVCOM1:", 0,
         "monitor Serial Mon: version 3, the medium's 3"},
        {"installed on another port than asked", "HVCOM1:", nullptr, "/model M /port LPT1:", 1605,
         "M is not installed on LPT1:"},
        {"a driver file changed", "LPT1:",
         [](InstallScenario& s) { s.write(version3(s) + "M.GPD", "another release's"); }, "/model M", 1,
         "M.GPD: another size or content than the medium's: older"},
        {"a driver file gone", "LPT1:", [](InstallScenario& s) { s.sim.files().remove(version3(s) + "DRV.HLP"); },
         "/model M", 1, "DRV.HLP: not there: older"},
        {"an older serial monitor", "HVCOM1:",
         [](InstallScenario& s) {
             s.sim.registry().setDword(HKEY_LOCAL_MACHINE, install::monitorKey("Serial Mon"), "DriverVersion", 2);
         },
         "/model M", 1, "monitor Serial Mon: version 2, the medium's 3: older"},
        {"an older print processor", "LPT1:",
         [](InstallScenario& s) {
             s.sim.registry().setDword(HKEY_LOCAL_MACHINE, install::processorKey(3, "MProc"), "DriverVersion", 1);
         },
         "/model M", 1, "print processor MProc: version 1, the medium's 2: older"},
        {"the printer prints through another driver", "LPT1:",
         [](InstallScenario& s) { s.sim.spooler().printer("M(P)")->driver = "Other Driver"; }, "/model M", 1605,
         "prints through Other Driver, which is not a driver of M from this medium"},
        {"the printers cannot be listed", "LPT1:",
         [](InstallScenario& s) { s.sim.faults().fail("EnumPrintersA", RPC_S_SERVER_UNAVAILABLE); }, "/model M", 1605,
         "the printers could not be listed (system error 1722)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        InstallScenario s(3);
        quietMedium(s);
        if (row.installedOn) installQuietly(s, row.installedOn);
        if (row.since) row.since(s);
        s.sim.clearJournal();
        std::string log;
        EXPECT_EQ(query(s, row.arguments, &log), row.exitCode);
        EXPECT_NE(log.find(row.logged), std::string::npos) << log;
        EXPECT_NE(log.find("exit code " + std::to_string(row.exitCode) + "\r\n"), std::string::npos) << log;
        // Changes nothing, takes no guard against another copy.
        for (const char* call : {"RegSetValueExA", "RegCreateKeyExA", "RegDeleteValueA", "CopyFileA", "DeleteFileA",
                                 "CreateDirectoryA", "CreateMutexA", "AddPrinterA", "ControlService"})
            EXPECT_TRUE(s.sim.calls(call).empty()) << call;
        EXPECT_TRUE(s.sim.desktop().messageBoxes().empty());
    }
}

// Without /log nothing is written anywhere, not even the default log; a
// wrong line ends 87 and shows nothing.
TEST(QueryTest, AQueryKeepsNoLogButTheOneAskedFor) {
    for (const char* arguments : {"/query /model M", "/query /quiet /model M", "/query /model M /port auto"}) {
        SCOPED_TRACE(arguments);
        InstallScenario s(3);
        quietMedium(s);
        const int code = app::runCommandLine(app::parseCommandLine(arguments));
        EXPECT_EQ(code, std::string(arguments) == "/query /model M" ? 1605 : 87);
        for (const std::string& opened : s.sim.calls("CreateFileA"))
            EXPECT_EQ(opened.find(".log"), std::string::npos) << opened;
        EXPECT_TRUE(s.sim.desktop().messageBoxes().empty());
    }
}

// Program files compare by their version resources: a newer one installed
// is current, an older one is older, whatever their content.
TEST(QueryTest, ProgramFilesCompareByTheirVersions) {
    InstallScenario probe(3);
    REQUIRE_BUILT_DATA(!probe.testData("pe/ver1001.dll").empty(), "the versioned test libraries");
    struct Row {
        const char* medium;
        const char* installed;
        int exitCode;
        const char* logged;
    } rows[] = {{"pe/ver1001.dll", "pe/ver1002.dll", 0, "DRV.DLL: 1.0.0.2, the medium's 1.0.0.1\r\n"},
                {"pe/ver1001.dll", "pe/ver1001.dll", 0, "DRV.DLL: 1.0.0.1, the medium's 1.0.0.1\r\n"},
                {"pe/ver1002.dll", "pe/ver1001.dll", 1, "DRV.DLL: 1.0.0.1, the medium's 1.0.0.2: older\r\n"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.installed) + " over " + row.medium);
        InstallScenario s(3);
        quietMedium(s);
        s.sim.files().writeFile("C:\\MEDIUM\\W32\\DRV.DLL", s.testData(row.medium));
        installQuietly(s, "LPT1:");
        s.sim.files().writeFile(version3(s) + "DRV.DLL", s.testData(row.installed));
        std::string log;
        EXPECT_EQ(query(s, "/model M", &log), row.exitCode);
        EXPECT_NE(log.find(row.logged), std::string::npos) << log;
    }
}
