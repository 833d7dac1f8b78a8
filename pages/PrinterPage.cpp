#include "pages/PrinterPage.h"

#include <cstring>

#include "resources/ResourceIds.h"

namespace pages {
namespace {

// By PrinterCategory: the radio button and the model list.
const int kRadios[config::kCategoryCount] = {IDC_RECEIPT, IDC_TICKET, IDC_LABEL, IDC_EMBEDDED};
const int kLists[config::kCategoryCount] = {IDC_RECEIPT_LIST, IDC_TICKET_LIST, IDC_LABEL_LIST,
                                            IDC_EMBEDDED_LIST};

int categoryOf(const int (&ids)[config::kCategoryCount], int id) {
    for (int c = 0; c < config::kCategoryCount; ++c)
        if (ids[c] == id) return c;
    return config::kNoCategory;
}

}  // namespace

PrinterPage::PrinterPage() : WizardPage(IDD_PRINTER_PAGE) {}

BOOL PrinterPage::onInitDialog() {
    WizardPage::onInitDialog();
    fillLists();
    preselectDefaultModel();
    applySharedFont();
    return TRUE;
}

void PrinterPage::fillLists() {
    hasModels_ = true;
    // An entry that names no category is no model of ours: the list has none.
    for (const auto& [category, name] : config_.models()) lists_[category].addString(name.c_str());
    for (ui::ComboBox& list : lists_) {
        list.setCurrentSelection(0);
        list.enable(false);
    }
    bool anyModel = false;
    for (int c = 0; c < config::kCategoryCount; ++c) {
        if (lists_[c].count() > 0) {
            anyModel = true;
        } else {
            enableItem(kRadios[c], false);
            lists_[c].enable(false);
        }
    }
    if (!anyModel) hasModels_ = false;
}

void PrinterPage::preselectDefaultModel() {
    std::string name;
    int category = config_.defaultModel(&name);
    if (category != config::kNoCategory) {
        checkRadio(IDC_RECEIPT, IDC_EMBEDDED, kRadios[category]);
        ui::ComboBox& list = lists_[category];
        // From the second item on, the first last: the default's own name
        // wins over a longer name that begins with it only when it comes
        // first in the list.
        int found = list.findString(0, name.c_str());
        list.setCurrentSelection(found == CB_ERR ? -1 : found);
        if (found != CB_ERR) takeModel(category, found);
        list.enable(true);
    }
    category_ = category;
}

void PrinterPage::categoryClicked(int category) {
    for (ui::ComboBox& list : lists_) list.enable(false);
    if (!takeModel(category, lists_[category].currentSelection())) clearModel();
    lists_[category].enable(true);
    category_ = category;
}

void PrinterPage::modelChanged(int category) {
    if (!takeModel(category, lists_[category].currentSelection())) clearModel();
}

bool PrinterPage::takeModel(int category, int index) {
    if (index < 0) return false;
    return lists_[category].itemText(index, modelName_, sizeof modelName_);
}

void PrinterPage::clearModel() { std::memset(modelName_, 0, sizeof modelName_); }

void PrinterPage::doDataExchange(ui::DataExchange& exchange) {
    for (int c = 0; c < config::kCategoryCount; ++c) exchange.control(kLists[c], lists_[c]);
    exchange.check(IDC_DEFAULT_PRINTER, defaultPrinter_);
}

bool PrinterPage::onCommand(int id, int code, HWND control) {
    if (code == BN_CLICKED) {
        int category = categoryOf(kRadios, id);
        if (category != config::kNoCategory) {
            categoryClicked(category);
            return true;
        }
    }
    if (code == CBN_SELCHANGE) {
        int category = categoryOf(kLists, id);
        if (category != config::kNoCategory) {
            modelChanged(category);
            return true;
        }
    }
    return WizardPage::onCommand(id, code, control);
}

void PrinterPage::onShowWindow(bool show, UINT status) {
    WizardPage::onShowWindow(show, status);
    app::TextTable texts("Series");
    setItemTextFrom(texts, IDC_SELECT_GROUP, "Select");
    setItemTextFrom(texts, IDC_RECEIPT, "Receipt");
    setItemTextFrom(texts, IDC_TICKET, "Ticket");
    setItemTextFrom(texts, IDC_LABEL, "Label");
    setItemTextFrom(texts, IDC_EMBEDDED, "Embedded");
    setItemTextFrom(texts, IDC_DEFAULT_PRINTER, "Default");
}

}  // namespace pages
