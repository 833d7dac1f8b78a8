#include "pages/ModePage.h"

#include "resources/ResourceIds.h"

namespace pages {

ModePage::ModePage() : WizardPage(IDD_MODE_PAGE) {}

BOOL ModePage::onInitDialog() {
    WizardPage::onInitDialog();
    installMode_ = kTypical;
    checkRadio(IDC_TYPICAL, IDC_ADVANCED, IDC_TYPICAL);
    setItemTextFrom(app::TextTable("Mode"), IDC_REMARK1, "Note1");
    applySharedFont();
    return TRUE;
}

void ModePage::doDataExchange(ui::DataExchange& exchange) { exchange.control(IDC_TYPICAL, typical_); }

void ModePage::typicalClicked() {
    setItemTextFrom(app::TextTable("Mode"), IDC_REMARK1, "Note1");
    showItem(IDC_REMARK2, false);
    showItem(IDC_REMARK3, false);
    installMode_ = kTypical;
}

void ModePage::advancedClicked() {
    app::TextTable texts("Mode");
    setItemTextFrom(texts, IDC_REMARK1, "Note2");
    setItemTextFrom(texts, IDC_REMARK2, "Note3");
    showItem(IDC_REMARK2, true);
    showItem(IDC_REMARK3, false);
    installMode_ = kAdvanced;
}

void ModePage::restrictToTypical(const char* remark) {
    enableItem(IDC_ADVANCED, false);
    checkRadio(IDC_TYPICAL, IDC_ADVANCED, IDC_TYPICAL);
    setItemText(IDC_REMARK1, remark);
    showItem(IDC_REMARK2, false);
    showItem(IDC_REMARK3, false);
    installMode_ = kTypical;
}

void ModePage::allowAdvanced() { enableItem(IDC_ADVANCED, true); }

bool ModePage::onCommand(int id, int code, HWND control) {
    if (code == BN_CLICKED && id == IDC_TYPICAL) {
        typicalClicked();
        return true;
    }
    if (code == BN_CLICKED && id == IDC_ADVANCED) {
        advancedClicked();
        return true;
    }
    return WizardPage::onCommand(id, code, control);
}

void ModePage::onShowWindow(bool show, UINT status) {
    WizardPage::onShowWindow(show, status);
    app::TextTable texts("Mode");
    setItemTextFrom(texts, IDC_TYPE_GROUP, "Type");
    setItemTextFrom(texts, IDC_TYPICAL, "Typical");
    setItemTextFrom(texts, IDC_ADVANCED, "Advanced");
    setItemTextFrom(texts, IDC_REMARKS_LABEL, "Remarks");
}

}  // namespace pages
