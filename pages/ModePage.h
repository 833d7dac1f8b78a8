// The installation mode page: typical (one port) or advanced (up to four USB
// printers and the raster option), with a remark on what each does. Whether
// the advanced mode may be chosen is decided per model by the wizard frame.
#pragma once

#include "pages/WizardPage.h"
#include "ui/Controls.h"

namespace pages {

class ModePage : public WizardPage {
public:
    enum { kAdvanced = 0, kTypical = 1 };

    ModePage();

    int installMode() const { return installMode_; }

    // The model allows only the typical mode: Advanced is disabled, Typical
    // chosen and the remark replaced by `remark`.
    void restrictToTypical(const char* remark);
    // The model allows the advanced mode: Advanced is enabled again and the
    // user's choice is left as it is.
    void allowAdvanced();

protected:
    BOOL onInitDialog() override;
    void doDataExchange(ui::DataExchange& exchange) override;
    bool onCommand(int id, int code, HWND control) override;
    void onShowWindow(bool show, UINT status) override;

private:
    void typicalClicked();
    void advancedClicked();

    int installMode_ = kTypical;
    ui::Button typical_;
};

}  // namespace pages
