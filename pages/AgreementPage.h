// The agreement page: the licence text, read-only, and the choice to accept
// or reject it. The wizard's forward button is enabled only while "accept"
// is chosen.
#pragma once

#include "pages/CEditEx.h"
#include "pages/WizardPage.h"

namespace pages {

class AgreementPage : public WizardPage {
public:
    AgreementPage();

    // Set before the page's window is created: the page loads "License.txt".
    void setLoadLicense(bool on) { loadLicense_ = on; }
    bool loadLicense() const { return loadLicense_; }
    CEditEx& text() { return text_; }

protected:
    BOOL onInitDialog() override;
    void doDataExchange(ui::DataExchange& exchange) override;
    bool onCommand(int id, int code, HWND control) override;
    void onShowWindow(bool show, UINT status) override;

private:
    // The wizard frame that holds the page: its forward button and its Cancel.
    void enableForward(bool on) const;
    void cancelWizard() const;

    bool loadLicense_ = false;
    CEditEx text_;
};

}  // namespace pages
