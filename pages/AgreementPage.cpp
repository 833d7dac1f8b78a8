#include "pages/AgreementPage.h"

#include "pages/LicenseText.h"
#include "resources/ResourceIds.h"

namespace pages {

AgreementPage::AgreementPage() : WizardPage(IDD_AGREEMENT_PAGE) {}

BOOL AgreementPage::onInitDialog() {
    WizardPage::onInitDialog();
    checkRadio(IDC_ACCEPT, IDC_REJECT, IDC_REJECT);
    if (loadLicense_) {
        std::string license;
        switch (readLicenseText("License.txt", &license)) {
            case LicenseRead::Unreadable:
                messageBox(app::MessageTexts().GetText("IDS_ERR_NOLICENSE"));
                cancelWizard();
                return FALSE;
            case LicenseRead::NoMemory:
                // The page still works without its text.
                return FALSE;
            case LicenseRead::Read:
                // The bytes as stored, in the system's ANSI code page.
                text_.setText(license.c_str());
                break;
        }
    }
    applySharedFont();
    // The focus is left to the wizard: an edit that receives it selects its
    // whole text and scrolls to its end, and the agreement would open on its
    // last lines.
    return FALSE;
}

void AgreementPage::doDataExchange(ui::DataExchange& exchange) {
    exchange.control(IDC_AGREEMENT_TEXT, text_);
}

void AgreementPage::enableForward(bool on) const {
    HWND frame = GetParent(hwnd());
    if (frame) EnableWindow(GetDlgItem(frame, IDOK), on ? TRUE : FALSE);
}

void AgreementPage::cancelWizard() const {
    // As if the user pressed the wizard's Cancel.
    HWND frame = GetParent(hwnd());
    if (frame)
        SendMessageW(frame, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(frame, IDCANCEL)));
}

bool AgreementPage::onCommand(int id, int code, HWND control) {
    if (code == BN_CLICKED && (id == IDC_ACCEPT || id == IDC_REJECT)) {
        enableForward(id == IDC_ACCEPT);
        return true;
    }
    return WizardPage::onCommand(id, code, control);
}

void AgreementPage::onShowWindow(bool show, UINT status) {
    WizardPage::onShowWindow(show, status);
    app::TextTable texts("Legal");
    setItemTextFrom(texts, IDC_AGREEMENT_GROUP, "Agreement");
    setItemTextFrom(texts, IDC_ACCEPT, "Accept");
    setItemTextFrom(texts, IDC_REJECT, "Reject");
}

}  // namespace pages
