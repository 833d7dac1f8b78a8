#include "app/SetupApp.h"

#include "app/Captions.h"
#include "app/CommandLine.h"
#include "app/MessageBoxRouting.h"
#include "app/MessageBoxes.h"
#include "app/ProtectedPrint.h"
#include "app/QuietInstall.h"
#include "app/Startup.h"
#include "app/SystemDetection.h"
#include "app/WizardFrame.h"
#include "app/WorkerThreadHost.h"
#include "pages/AgreementPage.h"
#include "pages/ModePage.h"
#include "pages/OsPage.h"
#include "pages/PortPage.h"
#include "pages/PrinterPage.h"
#include "install/InstallLog.h"
#include "ui/Application.h"

namespace app {
namespace {

// The wizard with a log: every box it shows is noted there too.
int noteBox(const std::string& text, UINT) {
    install::logStep("said: " + text);
    return 0;
}

}  // namespace

int SetupApp::Run(const std::string& commandLine) {
    CommandLine line = parseCommandLine(commandLine);
    routeMessageBoxes();
    WorkerThreadHost worker;
    int code = runCommandLine(line, &worker);
    if (code != kRunTheWizard) return code;
    if (!line.logFile.empty()) {
        install::setInstallLog(line.logFile);
        setMessageBoxHandler(&noteBox);
        install::logStep("wizard started");
        logRunningSystem();
    }
    InitInstance();
    return kExitInstalled;
}

bool SetupApp::InitInstance() {
    routeMessageBoxes();
    if (checkStartup() != StartupResult::Run) return false;
    const std::string refusal = protectedPrintRefusal();
    if (!refusal.empty()) {
        applicationMessageBox(refusal);
        return false;
    }

    // Constructed in this order and destroyed in the reverse one.
    WizardFrame frame;
    ui::setMainWindow(&frame);
    pages::AgreementPage agreement;
    pages::ModePage mode;
    pages::OsPage osPage;
    pages::PrinterPage printer;
    pages::PortPage port;

    StartupSettings settings = readStartupSettings();
    frame.setLoadLicense(settings.loadLicense);
    agreement.setLoadLicense(settings.loadLicense);
    frame.setAlternateFont(settings.alternateFont);
    for (pages::WizardPage* page : {static_cast<pages::WizardPage*>(&agreement),
                                    static_cast<pages::WizardPage*>(&mode),
                                    static_cast<pages::WizardPage*>(&osPage),
                                    static_cast<pages::WizardPage*>(&printer),
                                    static_cast<pages::WizardPage*>(&port)})
        page->setAlternateFont(settings.alternateFont);

    frame.AddPage(kAgreementCaption, &agreement);
    frame.AddPage(kPrinterCaption, &printer);
    frame.AddPage(kModeCaption, &mode);
    frame.AddPage(kOsCaption, &osPage);
    frame.AddPage(kPortCaption, &port);

    frame.doModal();
    ui::setMainWindow(nullptr);
    return false;
}

}  // namespace app
