// The printer page: the printer's category (four radio buttons), its model
// (one drop-down list per category, filled from the model list of the
// configuration) and whether it becomes the default printer.
#pragma once

#include "config/DriverConfig.h"
#include "pages/WizardPage.h"
#include "ui/Controls.h"

namespace pages {

class PrinterPage : public WizardPage {
public:
    static constexpr size_t kModelNameSize = 200;

    PrinterPage();

    // PrinterCategory of the choice: 0 to 3, -1 when none is chosen.
    int category() const { return category_; }
    // The chosen list item's text; empty when none is chosen.
    const char* modelName() const { return modelName_; }
    BOOL defaultPrinter() const { return defaultPrinter_; }
    // Whether any list received a model.
    bool hasModels() const { return hasModels_; }

protected:
    BOOL onInitDialog() override;
    void doDataExchange(ui::DataExchange& exchange) override;
    bool onCommand(int id, int code, HWND control) override;
    void onShowWindow(bool show, UINT status) override;

private:
    void fillLists();
    void preselectDefaultModel();
    void categoryClicked(int category);
    void modelChanged(int category);
    // Copies an item of a list into the model name; false (and an empty
    // name) when the list has no such item.
    bool takeModel(int category, int index);
    void clearModel();

    int category_ = 0;
    char modelName_[kModelNameSize] = {};
    BOOL defaultPrinter_ = FALSE;
    bool hasModels_ = false;
    config::DriverConfig config_;
    ui::ComboBox lists_[config::kCategoryCount];
};

}  // namespace pages
