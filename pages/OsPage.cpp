#include "pages/OsPage.h"

#include "app/MessageBoxes.h"
#include "app/SystemDetection.h"
#include "os/RunningSystem.h"
#include "resources/ResourceIds.h"

namespace pages {
namespace {

OsPage* published = nullptr;

// By TargetOs.
const int kRadios[] = {IDC_OS_98ME, IDC_OS_NT,    IDC_OS_2000, IDC_OS_XP,
                       IDC_OS_2003, IDC_OS_VISTA, IDC_OS_2008, IDC_OS_WIN7};

}  // namespace

OsPage* osPageReference() { return published; }

OsPage::OsPage() : WizardPage(IDD_OS_PAGE) {}

OsPage::~OsPage() {
    if (published == this) published = nullptr;
}

void OsPage::start() {
    started_ = true;
    published = this;
    targetOs_ = app::kWindows98Me;
    // A version that cannot be read leaves the platform 0, which the page
    // reports as a system it does not know.
    app::OsPageChoice choice = app::osPageChoice(os::runningSystem());
    if (choice.unknownPlatform) app::applicationMessageBox(app::MessageTexts().GetText("IDS_ERR_SYSTEM"));
    marked_ = choice.marked;
    if (choice.marked) targetOs_ = choice.targetOs;
    if (choice.vista) app::recordVistaCompatibility();
}

BOOL OsPage::onInitDialog() {
    WizardPage::onInitDialog();
    // A start made for this window serves it alone: a window made again starts again.
    if (!started_) start();
    started_ = false;
    applySharedFont();
    if (marked_) checkRadio(IDC_OS_98ME, IDC_OS_WIN7, kRadios[targetOs_]);
    for (int target = 0; target < static_cast<int>(sizeof kRadios / sizeof kRadios[0]); ++target)
        enableItem(kRadios[target], target == targetOs_);
    return TRUE;
}

void OsPage::onShowWindow(bool show, UINT status) {
    WizardPage::onShowWindow(show, status);
    setItemTextFrom(app::TextTable("System"), IDC_SELECT_GROUP, "Select");
}

}  // namespace pages
