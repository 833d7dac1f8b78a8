// The wizard's forward button. Before the last page it moves on and, on
// arriving at the port page, takes the user's choices and has the port list
// built. On the last page it installs: the choice is checked and prepared
// (install/InstallPreparation), then the install sequence runs on a worker
// thread behind the progress window, and the wizard closes with one message.
#include "app/AdminCheck.h"
#include "os/SystemDetection.h"
#include "config/TextTable.h"
#include "app/WizardFrame.h"
#include "app/WorkerThreadHost.h"
#include "config/DriverConfig.h"
#include "install/InstallPreparation.h"
#include "install/SpoolerService.h"
#include "install/WorkerHandOff.h"
#include "pages/ModePage.h"
#include "pages/OsPage.h"
#include "pages/PortPage.h"
#include "pages/PrinterPage.h"
#include "pages/ProgressWindow.h"
#include "resources/ResourceIds.h"

namespace app {

void WizardFrame::InstallCommand() {
    // A disabled forward button (the agreement not accepted, no model to
    // choose) allows no move, however the command arrives.
    if (!IsWindowEnabled(item(IDOK))) return;
    if (current_ < pageCount() - 1)
        forwardToNextPage();
    else
        installOnLastPage();
}

void WizardFrame::forwardToNextPage() {
    job_.statusFlags = 0;
    SetActivePage(current_ + 1);
    if (current_ == pageCount() - 1) {
        captureSelection();
        setItemText(IDOK, TextTable("Setup").GetText("Install"));
    }
    enableItem(IDC_BACK, true);
    focusForward();
}

void WizardFrame::captureSelection() {
    install::InstallSelection& selection = job_.selection;
    if (auto* printer = pageAs<pages::PrinterPage>(kPrinterPage)) {
        selection.category = printer->category();
        selection.modelName = printer->modelName();
        selection.defaultPrinter = printer->defaultPrinter() == BST_CHECKED;
    }
    selection.systemAccount = isLocalSystem();
    config::installPaths(selection.category, &setupPath_, &categoryPath_);
    if (auto* mode = pageAs<pages::ModePage>(kModePage)) selection.installMode = mode->installMode();
    if (auto* osPage = pageAs<pages::OsPage>(kOsPage)) selection.targetOs = osPage->targetOs();
    if (auto* port = pageAs<pages::PortPage>(kPortPage)) {
        port->setInstallMode(selection.installMode);
        port->buildPortList(selection.modelName, selection.targetOs, selection.category);
    }
}

// The port page's choices as the install sequence takes them.
void WizardFrame::takePortChoices() {
    auto* port = pageAs<pages::PortPage>(kPortPage);
    if (port == nullptr) return;
    install::InstallSelection& selection = job_.selection;
    selection.portName = port->portName();
    selection.flavour = port->raster() ? config::kGdi : config::kStd;
    selection.baudRate = port->baudRate();
    selection.dataBits = port->byteSize();
    selection.stopBits = port->stopBits();
    selection.parity = port->parity();
    selection.flowControl = port->flowControl();
}

void WizardFrame::installOnLastPage() {
    job_.statusFlags = 0;
    for (ui::Page* page : pages_)
        if (page) page->updateData(true);
    pages::ProgressWindow progress;
    job_.config.setCategory(job_.selection.category);
    takePortChoices();
    install::PreparationContext context;
    context.owner = hwnd_;
    context.categoryPath = categoryPath_;
    context.runningOs = detectTargetOs();
    if (!install::prepareInstallation(job_, context)) return;
    runInstallation(progress);
}

void WizardFrame::runInstallation(pages::ProgressWindow& progress) {
    ShowWindow(hwnd_, SW_MINIMIZE);
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    const int targetOs = job_.selection.targetOs;
    progress.setTargetOs(targetOs);
    progress.setAlternateFont(alternateFont_);
    {
        WorkerThreadHost host([&progress] { progress.doModal(); });
        install::handOffToWorker(job_, progress.installStatus(), host);
    }
    const std::string outcome = install::InstallMessage();
    messageBox(!outcome.empty() ? outcome.c_str() : MessageTexts().GetText("IDS_INF_NTRESTART"));
    if (targetOs == 0) {
        std::string restart;
        install::RestartWindows(restart);
        // A refused restart is said, not dropped: the user must restart himself.
        if (!restart.empty()) messageBox(restart.c_str());
    }
    DestroyPages();
    ui::Dialog::onOK();
}

}  // namespace app
