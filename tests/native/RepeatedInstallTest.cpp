// The same unattended installation run again, as startup scripts and
// management agents do, on the simulated Windows, whose spooler refuses an
// existing printer name (1802) as Windows does: a printer that is already
// the model's installation is kept; any other printer of that name is not
// the model's, and the run adds one beside it as a first run does.
#include <functional>

#include "app/QuietInstall.h"
#include "app/Startup.h"
#include "install/InstallLog.h"
#include "install/UsbPortRegistry.h"
#include "os/sim/Spooler.h"
#include "support/InstallFixture.h"
#include "support/QuietMedium.h"

using testing_support::InstallScenario;

namespace {

// Parallel and USB ports print raster graphics: the model has the GDI
// flavour's files too.
const char* const kRasterFlavour =
    "GDIDriverPath=DRV.DLL\r\nGDIDataFile=M.GPD\r\nGDIConfigFile=DRVUI.DLL\r\nGDIHelpFile=DRV.HLP\r\n"
    "GDIProcessorDLLName=MPROC.DLL\r\nGDIPrintProcessor=MProc\r\n";

const char* const kPortsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";

void quietMedium(InstallScenario& s, const std::string& portKeys) {
    s.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", "[M.PORT]\r\n" + portKeys + InstallScenario::modelSections(kRasterFlavour));
    s.write("C:\\MEDIUM\\DRVCONFIG\\Left.bmp", testing_support::onePixelBitmap());
    s.write("C:\\MEDIUM\\language\\setup.ini", testing_support::quietLanguageFile());
    app::reopenMessageTexts();
}

// One run of the program: its exit code, its log.
int runOnce(InstallScenario& s, const std::string& commandLine, std::string* log) {
    app::CommandLine line = app::parseCommandLine(commandLine);
    line.logFile = s.sim.machine().windowsDirectory + "\\quiet.log";
    s.sim.files().remove(line.logFile);
    const int code = app::runQuietInstall(line);
    install::setInstallLog("");
    s.sim.endProgram();
    *log = s.read(line.logFile);
    return code;
}

void putX64Builds(InstallScenario& s) {
    for (const char* file : {"DRV.DLL", "DRVUI.DLL", "MPROC.DLL"})
        s.sim.files().writeFile(std::string("C:\\MEDIUM\\X64\\") + file,
                                os::sim::Spooler::dllExporting({"DllMain"}, IMAGE_FILE_MACHINE_AMD64));
}

}  // namespace

TEST(RepeatedInstallTest, TheSameCommandRunAgainKeepsTheModelsPrinter) {
    struct Row {
        const char* what;
        const char* first;
        const char* second;
        std::function<void(InstallScenario&)> between;  // after the first run
        const char* logged;                             // by the second run
        std::vector<const char*> printers;              // afterwards
        std::function<void(InstallScenario&)> leaves = nullptr;
    } rows[] = {
        {"parallel, made the default", "/quiet /model M /port LPT1: /default", "/quiet /model M /port LPT1: /default",
         nullptr, "printer M(P) on LPT1: is there already, printing through M Parallel: it is kept", {"M(P)"},
         [](InstallScenario& s) {
             EXPECT_EQ(s.sim.calls("SetDefaultPrinterA").size(), 1u) << "made the default again";
             EXPECT_EQ(s.sim.services().spooler().stops, 0) << "nothing older: the spooler runs on";
             EXPECT_EQ(s.sim.calls("AddPrinterDriverExA").size(), 1u) << "the driver registered again";
         }},
        {"serial, with other line settings", "/quiet /model M /port HVCOM1: /baud 9600",
         "/quiet /model M /port HVCOM1: /baud 19200 /parity even", nullptr, "printer M(S) on HVCOM1: kept", {"M(S)"},
         [](InstallScenario& s) {
             EXPECT_EQ(s.sim.registry().getString(HKEY_LOCAL_MACHINE, kPortsKey, "COM1:"), "19200,e,8,1,p");
         }},
        {"USB, its port records changed since", "/quiet /model M /port USB_M_1", "/quiet /model M /port USB_M_1",
         [](InstallScenario& s) {
             s.sim.registry().setDword(HKEY_LOCAL_MACHINE, install::kPrinterPortKey, "D1", 7);
             s.sim.registry().setDword(HKEY_LOCAL_MACHINE, install::kPrinterPortKey, "USB_M_1", 3);
         },
         "printer M(U) 1 on USB_M_1 kept", {"M(U) 1"},
         [](InstallScenario& s) {
             EXPECT_EQ(s.sim.registry().getDword(HKEY_LOCAL_MACHINE, install::kPrinterPortKey, "D1"), 7u);
             EXPECT_EQ(s.sim.registry().getDword(HKEY_LOCAL_MACHINE, install::kPrinterPortKey, "USB_M_1"), 3u);
         }},
        {"an older serial monitor in the meantime", "/quiet /model M /port HVCOM1:", "/quiet /model M /port HVCOM1:",
         [](InstallScenario& s) {
             s.sim.registry().setDword(HKEY_LOCAL_MACHINE, install::monitorKey("Serial Mon"), "DriverVersion", 1);
         },
         "printer M(S) on HVCOM1: kept", {"M(S)"},
         [](InstallScenario& s) {
             EXPECT_EQ(s.installedVersion(install::monitorKey("Serial Mon")), 3u) << "brought up to date";
             EXPECT_EQ(s.sim.services().spooler().stops, 1);
         }},
        // Not the model's installation: the run does what a first run does.
        {"the printer of that name moved to another port", "/quiet /model M /port LPT1:",
         "/quiet /model M /port LPT1:", [](InstallScenario& s) { s.sim.spooler().printer("M(P)")->port = "LPT2:"; },
         "printer M(P) exists on LPT2:, not on LPT1:: it is not this model's installation", {"M(P)", "M(P)(1)"}},
        {"the printer of that name prints through another driver", "/quiet /model M /port LPT1:",
         "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.spooler().printer("M(P)")->driver = "Other Driver"; },
         "printer M(P) on LPT1: prints through Other Driver, which is not a driver of M from this medium",
         {"M(P)", "M(P)(1)"}},
        {"the driver of the model's name is another product's", "/quiet /model M /port LPT1:",
         "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.spooler().driver("M Parallel", "Windows NT x86")->configFile = "VENDORUI.DLL"; },
         "prints through M Parallel, which is not a driver of M from this medium", {"M(P)", "M(P)(1)"}},
        {"the USB printer of that name prints through another driver", "/quiet /model M /port USB_M_1",
         "/quiet /model M /port USB_M_1",
         [](InstallScenario& s) { s.sim.spooler().printer("M(U) 1")->driver = "Other Driver"; },
         "exit code 1603", {"M(U) 1"}},
        {"the printer cannot be read", "/quiet /model M /port LPT1:", "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.faults().fail("GetPrinterA", ERROR_ACCESS_DENIED); },
         "printer M(P) exists but could not be read (system error 5)", {"M(P)", "M(P)(1)"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        InstallScenario s(3);
        quietMedium(s, "LPTSUPPORTED=1\r\nCOMSUPPORTED=1\r\nUSBSUPPORTED=1\r\n");
        std::string log;
        ASSERT_EQ(runOnce(s, row.first, &log), 0) << log;
        if (row.between) row.between(s);
        s.sim.services().spooler().stops = 0;
        s.sim.clearJournal();
        const bool failing = std::string(row.logged).rfind("exit code", 0) == 0;
        EXPECT_EQ(runOnce(s, row.second, &log), failing ? 1603 : 0);
        EXPECT_NE(log.find(row.logged), std::string::npos) << log;
        EXPECT_EQ(s.sim.spooler().printers.size(), row.printers.size());
        for (const char* printer : row.printers) EXPECT_NE(s.sim.spooler().printer(printer), nullptr) << printer;
        if (row.leaves) row.leaves(s);
    }
}

TEST(RepeatedInstallTest, OnSixtyFourBitWindowsTheSecondRunKeepsThePrinter) {
    InstallScenario s(7);
    s.sim.machine() = os::sim::Machine::sixtyFourBit(os::sim::Machine::windows10());
    quietMedium(s, "LPTSUPPORTED=1\r\nSystemWin7Supported=1\r\n");
    putX64Builds(s);
    std::string log;
    ASSERT_EQ(runOnce(s, "/quiet /model M /port LPT1:", &log), 0) << log;
    EXPECT_EQ(runOnce(s, "/quiet /model M /port LPT1:", &log), 0) << log;
    EXPECT_NE(log.find("printer M(P) on LPT1: kept"), std::string::npos) << log;
    EXPECT_EQ(s.sim.spooler().printers.size(), 1u);
}

// A person who installs again chose to: the wizard adds the printer again,
// under the next free name.
TEST(RepeatedInstallTest, TheWizardAddsAnotherPrinter) {
    InstallScenario s(3);
    for (const char* expected : {"M(P)", "M(P)(1)"}) {
        s.select(3, "LPT1:");
        ASSERT_TRUE(s.prepareForInstall(3));
        ASSERT_TRUE(s.install()) << s.message();
        EXPECT_NE(s.sim.spooler().printer(expected), nullptr) << expected;
    }
}
