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

    // What the page's start does outside its window: it reads the running
    // system, says so when it knows neither platform and, on Vista, records
    // the program for the compatibility assistant. The wizard has this done
    // before it shows and builds the window later; a window created without
    // it does it first.
    void start();
    // TargetOs of the page; 0 until it has started.
    int targetOs() const { return targetOs_; }

protected:
    BOOL onInitDialog() override;
    void onShowWindow(bool show, UINT status) override;

private:
    bool started_ = false;
    bool marked_ = false;
    int targetOs_ = 0;
};

// The OS page of this run, published by its start, for the parts that need
// the TargetOs without the wizard frame. Null before that and after
// the page is gone.
OsPage* osPageReference();

}  // namespace pages
