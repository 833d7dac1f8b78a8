// The unattended installation on the simulated machine: the exit code each
// way it ends with, and that it shows nothing.
#include <functional>

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
    const char* logged;  // a text the log must hold
};

}  // namespace

TEST(QuietInstallTest, EachEndingHasItsExitCodeAndNothingIsShown) {
    const QuietCase rows[] = {
        {"installed", 3, "/quiet /model M /port LPT1:", nullptr, 0, "printer M(P) on LPT1: added"},
        {"the port the wizard preselects", 3, "/quiet /model m /port auto", nullptr, 0, "on HVCOM1:"},
        {"another copy runs", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.holdMutexElsewhere("setup"); }, 1618, "another copy"},
        {"no such model", 3, "/quiet /model Q /port LPT1:", nullptr, 1633, "no model Q"},
        {"the model in another category", 3, "/quiet /model M /category label /port LPT1:", nullptr, 1633,
         "no model M"},
        {"a port the model is not offered on", 3, "/quiet /model M /port LPT9:", nullptr, 1633, "ended:"},
        {"advanced mode the model does not allow", 3, "/quiet /model M /mode advanced /port LPT1:", nullptr,
         1633, "ended:"},
        {"not an administrator", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.machine().administrator = false; }, 1603, "ended:"},
        {"the sequence fails", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.faults().fail("AddPrinterA", ERROR_ACCESS_DENIED); }, 1603,
         "printer M(P) on LPT1: added failed"},
        // Windows 95 passes the start-up checks and is installed for as
        // Windows 98/Me, whose installation ends with a restart.
        {"Windows 95", 95, "/quiet /model M /port LPT1: /restart", nullptr, 3010, "Windows must be restarted"},
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
        if (row.arrange) row.arrange(scenario);
        app::CommandLine line = app::parseCommandLine(row.line);
        line.logFile = "C:\\quiet.log";
        EXPECT_EQ(app::runQuietInstall(line), row.exitCode);
        EXPECT_TRUE(scenario.sim.desktop().messageBoxes().empty());
        std::string log = scenario.read("C:\\quiet.log");
        EXPECT_NE(log.find(row.logged), std::string::npos) << log;
        EXPECT_NE(log.find("exit code " + std::to_string(row.exitCode) + "\r\n"), std::string::npos) << log;
        install::setInstallLog("");
    }
}
