#include "pages/PortPage.h"

#include "config/ProfileValues.h"
#include "resources/ResourceIds.h"

namespace pages {

PortPage::PortPage() : WizardPage(IDD_PORT_PAGE) {}

BOOL PortPage::onInitDialog() {
    WizardPage::onInitDialog();
    applySharedFont();
    installMode_ = 1;
    return TRUE;
}

void PortPage::doDataExchange(ui::DataExchange& exchange) { exchange.control(IDC_BAUD_LIST, baudList_); }

void PortPage::presetBaudRate(int rate, int index) {
    baudRate_ = rate;
    baudList_.setCurrentSelection(index);
}

void PortPage::baudRateChanged() {
    std::string text = baudList_.selectedText();
    if (!text.empty()) baudRate_ = config::parseDecimal(text);
}

bool PortPage::onCommand(int id, int code, HWND control) {
    if (id == IDC_BAUD_LIST && code == CBN_SELCHANGE) {
        baudRateChanged();
        return true;
    }
    return WizardPage::onCommand(id, code, control);
}

}  // namespace pages
