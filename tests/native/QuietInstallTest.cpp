// The unattended installation on the simulated machine: the exit code each
// way it ends with, and that it shows nothing.
#include <functional>

#include "app/Captions.h"
#include "app/QuietInstall.h"
#include "install/InstallLog.h"
#include "support/InstallFixture.h"

using testing_support::InstallScenario;
using testing_support::machineFor;

namespace {

struct QuietCase {
    const char* what;
    int targetOs;
    const char* line;
    std::function<void(InstallScenario&)> arrange;
    int exitCode;
    const char* logged;           // a text the log must hold; null: no log is written
    const char* printer = nullptr;  // the one printer installed; null: none
};

// The texts an unattended run ends with, beside the install sequence's.
std::string quietLanguageFile() {
    std::string file = testing_support::engineLanguageFile();
    for (const char* key : {"IDS_ERR_NOLEFT", "IDS_ADMIN", "IDS_ERR_NOLICENSE", "IDS_NOTSUPPORT2003",
                            "IDS_TYPICAL_NOTES", "IDS_ERR_NOSUPPORTINTERFACE", "IDS_INF_CHANGEID"})
        file += std::string(key) + "=<" + key + ">\r\n";
    return file + "[Setup]\r\nClose=<Close>\r\nNonsupport=<Nonsupport>\r\nPortNull=<PortNull>\r\n";
}

// A medium that shows its licence agreement, with the licence or without.
void showLicence(InstallScenario& s, bool present) {
    std::string setup = InstallScenario::monitorSections();
    setup.insert(setup.find("DEVICENUMBER"), "LOADLICENSE=1\r\n");
    s.write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", setup);
    if (present) s.write("C:\\MEDIUM\\License.txt", "terms");
}

}  // namespace

TEST(QuietInstallTest, EachEndingHasItsExitCodeAndNothingIsShown) {
    const QuietCase rows[] = {
        {"installed", 3, "/quiet /model M /port LPT1:", nullptr, 0, "printer M(P) on LPT1: added", "M(P)"},
        {"the port the wizard preselects", 3, "/quiet /model m /port auto", nullptr, 0, "on HVCOM1:", "M(S)"},
        {"another copy runs", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.holdMutexElsewhere("setup"); }, 1618, "another copy"},
        {"an uninstaller is open", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.desktop().openWindow(app::kUninstallerTitle); }, 1603, "ended: <Close>"},
        {"Windows 98", 0, "/quiet /model M /port LPT1:", nullptr, 1633, "ended: <Nonsupport>"},
        {"no model offers a port", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             s.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini",
                     "[M.PORT]\r\nUSBSUPPORTED=0\r\nLPTSUPPORTED=0\r\nCOMSUPPORTED=0\r\n" +
                         InstallScenario::modelSections());
         },
         1633, "ended: <PortNull>"},
        {"the side picture is missing", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.files().remove("C:\\MEDIUM\\DRVCONFIG\\Left.bmp"); }, 1603,
         "ended: <IDS_ERR_NOLEFT>"},
        {"not an administrator", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.machine().administrator = false; }, 1603, "ended: <IDS_ADMIN>"},
        {"the licence is missing", 3, "/quiet /accepteula /model M /port LPT1:",
         [](InstallScenario& s) { showLicence(s, false); }, 1603, "ended: <IDS_ERR_NOLICENSE>"},
        {"the licence is not accepted", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { showLicence(s, true); }, 1603, "ended: the licence agreement was not accepted"},
        {"no such model", 3, "/quiet /model Q /port LPT1:", nullptr, 1633, "no model Q"},
        {"the model in another category", 3, "/quiet /model M /category label /port LPT1:", nullptr, 1633,
         "no model M"},
        {"the model is not offered for the system", 4, "/quiet /model M /port LPT1:", nullptr, 1633,
         "ended: <IDS_NOTSUPPORT2003>"},
        {"a port the model is not offered on", 3, "/quiet /model M /port LPT9:", nullptr, 1633,
         "ended: <IDS_ERR_NOSUPPORTINTERFACE>"},
        {"advanced mode the model does not allow", 3, "/quiet /model M /mode advanced /port LPT1:", nullptr,
         1633, "ended: <IDS_TYPICAL_NOTES>"},
        {"the USB printer's number may not be changed", 3, "/quiet /model M /mode advanced /port USB_M_3",
         [](InstallScenario& s) {
             s.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini",
                     "[M.PORT]\r\nUSBSUPPORTED=1\r\nAdvancedSetup=1\r\n" + InstallScenario::modelSections());
             s.write("C:\\MEDIUM\\HvUsbInt.dll", "MZ stand-in");
             s.sim.usb().attach(8);  // number 1
         },
         1603, "ended: <IDS_INF_CHANGEID>"},
        {"the sequence fails", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.faults().fail("AddPrinterA", ERROR_ACCESS_DENIED); }, 1603,
         "printer M(P) on LPT1: added failed"},
        {"the log cannot be written", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.faults().fail("CreateFileA", ERROR_ACCESS_DENIED).when("quiet.log"); },
         0, nullptr, "M(P)"},
        // Windows 95 passes the start-up checks and is installed for as
        // Windows 98/Me, whose installation ends with a restart.
        {"Windows 95", 95, "/quiet /model M /port LPT1: /restart", nullptr, 3010, "Windows must be restarted",
         "M(P)"},
    };
    for (const QuietCase& row : rows) {
        SCOPED_TRACE(row.what);
        InstallScenario scenario(row.targetOs == 95 ? 0 : row.targetOs);
        if (row.targetOs == 95) scenario.sim.machine() = os::sim::Machine::windows95();
        // Parallel ports print raster graphics: the GDI flavour's files too.
        const std::string gdi = "GDIDriverPath=DRV.DLL\r\nGDIDataFile=M.GPD\r\nGDIConfigFile=DRVUI.DLL\r\n"
                                "GDIHelpFile=DRV.HLP\r\nGDIProcessorDLLName=MPROC.DLL\r\nGDIPrintProcessor=MProc\r\n";
        scenario.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini",
                       "[M.PORT]\r\nLPTSUPPORTED=1\r\nCOMSUPPORTED=1\r\n" + InstallScenario::modelSections(gdi));
        scenario.write("C:\\MEDIUM\\DRVCONFIG\\Left.bmp", "BM");
        scenario.write("C:\\MEDIUM\\language\\setup.ini", quietLanguageFile());
        app::reopenMessageTexts();
        if (row.arrange) row.arrange(scenario);
        const auto printers = [&] { return scenario.sim.spooler().printers.size(); };
        app::CommandLine line = app::parseCommandLine(row.line);
        line.logFile = "C:\\quiet.log";
        EXPECT_EQ(app::runQuietInstall(line), row.exitCode);
        EXPECT_TRUE(scenario.sim.desktop().messageBoxes().empty());
        std::string log = scenario.read("C:\\quiet.log");
        if (row.logged) {
            EXPECT_NE(log.find(row.logged), std::string::npos) << log;
            EXPECT_NE(log.find("exit code " + std::to_string(row.exitCode) + "\r\n"), std::string::npos) << log;
        } else {
            EXPECT_EQ(log, "");
        }
        if (row.printer) {
            EXPECT_NE(scenario.sim.spooler().printer(row.printer), nullptr) << row.printer;
            EXPECT_EQ(printers(), 1u);
        } else {
            EXPECT_EQ(printers(), 0u) << "nothing is installed";
        }
        for (int i = 0; i < 8; ++i)
            if (auto* printer = scenario.sim.usb().at(i))
                EXPECT_EQ(printer->deviceValue(), 8) << "the USB printer keeps its number";
        install::setInstallLog("");
    }
}
