// The small window shown while the install sequence runs on its worker
// thread. Its bar measures nothing: it climbs at a fixed pace to 90 and
// waits there; when the worker reports its end, the bar runs quickly to the
// end (success) or back to zero (failure) and the window closes itself.
#pragma once

#include <atomic>

#include "ui/Controls.h"
#include "ui/Dialog.h"

namespace pages {

class ProgressWindow : public ui::Dialog {
public:
    ProgressWindow();

    // Set before the window runs.
    void setTargetOs(int targetOs) { targetOs_ = targetOs; }
    void setAlternateFont(bool on) { alternateFont_ = on; }
    // 0 while the worker runs, 1 when it failed, 2 when it succeeded: the one
    // datum the two threads share, written once by the worker.
    std::atomic<int>& installStatus() { return installStatus_; }
    // The bar's position now (the window's thread only).
    int position() const { return bar_.position(); }

protected:
    BOOL onInitDialog() override;
    void doDataExchange(ui::DataExchange& exchange) override;
    void onTimer(UINT_PTR id) override;
    bool onPaint() override;
    // Escape does not end the window: only the worker's report does.
    void onCancel() override {}

private:
    // The whole animation (ProgressAnimation), run by the first timer tick;
    // it returns only when the window is closing.
    void animate();

    int targetOs_ = 0;
    bool alternateFont_ = false;
    bool animating_ = false;
    std::atomic<int> installStatus_{0};
    ui::ProgressBar bar_;
};

}  // namespace pages
