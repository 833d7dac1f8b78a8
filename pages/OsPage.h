// The operating-system page: shows for which Windows the driver is installed.
// The running system is detected and marked, and every other choice is
// disabled, so the user only confirms it.
#pragma once

#include "pages/WizardPage.h"

namespace pages {

class OsPage : public WizardPage {
public:
    OsPage();
    ~OsPage() override;

    // TargetOs of the page; 0 until its window has been created.
    int targetOs() const { return targetOs_; }

protected:
    BOOL onInitDialog() override;
    void onShowWindow(bool show, UINT status) override;

private:
    int targetOs_ = 0;
};

// The OS page of this run, published by its initialisation, for the parts
// that need the TargetOs without the wizard frame. Null before that and after
// the page is gone.
OsPage* osPageReference();

}  // namespace pages
