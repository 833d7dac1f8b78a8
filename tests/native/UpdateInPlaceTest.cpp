// The same command from another release of the medium, on the simulated
// Windows, whose spooler copies a driver's files only when they are newer
// by their time stamps, as AddPrinterDriver does: a newer release replaces
// what it brings, whatever the stamps; an older one changes nothing newer.
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

int runQuietly(InstallScenario& s, std::string* log) {
    app::CommandLine line = app::parseCommandLine("/quiet /model M /port LPT1: /default");
    line.logFile = s.sim.machine().windowsDirectory + "\\quiet.log";
    s.sim.files().remove(line.logFile);
    const int code = app::runQuietInstall(line);
    install::setInstallLog("");
    s.sim.endProgram();
    *log = s.read(line.logFile);
    return code;
}

}  // namespace

TEST(UpdateInPlaceTest, ANewerReleaseReplacesAndAnOlderOneKeepsWhatIsNewer) {
    InstallScenario probe(3);
    REQUIRE_BUILT_DATA(!probe.testData("pe/ver1001.dll").empty(), "the versioned test libraries");
    struct Row {
        const char* what;
        const char* first;   // the medium's DRV.DLL at the first run
        const char* second;  // at the second
        std::function<void(InstallScenario&)> secondMedium;  // what else the second release changes
        const char* installed;  // DRV.DLL afterwards
        const char* logged;
        std::function<void(InstallScenario&)> leaves;
    } rows[] = {
        {"a newer release whose driver carries an older time stamp", "pe/ver1001.dll", "pe/ver1002.dll",
         [](InstallScenario& s) {
             s.write("C:\\MEDIUM\\W32\\M.GPD", "the newer release's");
             s.sim.files().setWritten("C:\\MEDIUM\\W32\\DRV.DLL", 1);
             s.sim.files().setWritten("C:\\MEDIUM\\W32\\M.GPD", 1);
         },
         "pe/ver1002.dll", "printer driver M Parallel registered again, all its files copied",
         [](InstallScenario& s) {
             EXPECT_EQ(s.read(s.sim.machine().systemDirectory + "\\spool\\DRIVERS\\W32X86\\3\\M.GPD"),
                       "the newer release's");
         }},
        {"an older release", "pe/ver1002.dll", "pe/ver1001.dll",
         [](InstallScenario& s) {
             s.write("C:\\MEDIUM\\W32\\M.GPD", "the older release's");
             s.write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", InstallScenario::monitorSections());
             s.sim.registry().setDword(HKEY_LOCAL_MACHINE, install::processorKey(3, "MProc"), "DriverVersion", 7);
         },
         "pe/ver1002.dll",
         "printer driver M Parallel kept: DRV.DLL 1.0.0.2 is newer than the medium's 1.0.0.1; none of its files",
         [](InstallScenario& s) {
             EXPECT_EQ(s.read(s.sim.machine().systemDirectory + "\\spool\\DRIVERS\\W32X86\\3\\M.GPD"),
                       "content of M.GPD");
             EXPECT_TRUE(s.sim.calls("AddPrinterDriverA").empty() && s.sim.calls("AddPrinterDriverExA").empty());
             EXPECT_EQ(s.installedVersion(install::processorKey(3, "MProc")), 7u);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        InstallScenario s(3);
        s.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini",
                "[M.PORT]\r\nLPTSUPPORTED=1\r\n" + InstallScenario::modelSections(kRasterFlavour));
        s.write("C:\\MEDIUM\\DRVCONFIG\\Left.bmp", testing_support::onePixelBitmap());
        s.write("C:\\MEDIUM\\language\\setup.ini", testing_support::quietLanguageFile());
        app::reopenMessageTexts();
        s.sim.files().writeFile("C:\\MEDIUM\\W32\\DRV.DLL", s.testData(row.first));
        std::string log;
        ASSERT_EQ(runQuietly(s, &log), 0) << log;
        s.sim.files().writeFile("C:\\MEDIUM\\W32\\DRV.DLL", s.testData(row.second));
        row.secondMedium(s);
        s.sim.clearJournal();
        EXPECT_EQ(runQuietly(s, &log), 0);
        EXPECT_NE(log.find(row.logged), std::string::npos) << log;
        EXPECT_NE(log.find("printer M(P) on LPT1: kept"), std::string::npos) << log;
        std::vector<uint8_t> installed;
        s.sim.files().readFile(s.sim.machine().systemDirectory + "\\spool\\DRIVERS\\W32X86\\3\\DRV.DLL", &installed);
        EXPECT_EQ(installed, s.testData(row.installed));
        row.leaves(s);
    }
}
