#include "pages/ProgressAnimation.h"

#include <utility>

#include "install/InstallJob.h"
#include "os/Os.h"

namespace pages {

ProgressAnimation::ProgressAnimation(const std::atomic<int>& installStatus, int targetOs,
                                     std::function<void(int)> show)
    : installStatus_(installStatus), targetOs_(targetOs), show_(std::move(show)) {}

// Each pause is counted from the end of the one before, not from the end of
// the painting after it: drawing the bar costs time on a slow display, and
// the animation keeps its length whatever the display.
//
// The thread handles no input meanwhile, but it serves the messages other
// threads send its windows: the worker tells every top-level window that
// the default printer changed and waits up to a second for each to answer,
// and this thread's windows would otherwise let it wait that long for each.
void ProgressAnimation::pause(DWORD length) {
    os::Os& sys = os::sys();
    due_ += length;
    for (;;) {
        const DWORD now = sys.GetTickCount();
        // Wrap-safe: a due time already passed gives a negative difference.
        const LONG left = static_cast<LONG>(due_ - now);
        // A display slower than the whole pause does not make the next one shorter.
        if (left < 0) due_ = now;
        if (left <= 0) return;
        DWORD woken = sys.MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0) {
            // A wait that failed still pauses, as Sleep would.
            if (woken == WAIT_FAILED) sys.Sleep(static_cast<DWORD>(left));
            return;
        }
        MSG message;
        sys.PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void ProgressAnimation::step(int position, DWORD length) {
    pause(length);
    show_(position);
}

void ProgressAnimation::run() {
    due_ = os::sys().GetTickCount();
    int n = 0;
    for (;;) {
        if (targetOs_ == 0 && n == 90) return;
        int status = installStatus_.load();
        if (status == install::kInstallFailed) {
            for (; n > 0; --n) step(n, 10);
            show_(0);
            pause(100);
            return;
        }
        if (status == install::kInstallSucceeded) {
            for (; n < 100; ++n) step(n, 10);
            pause(100);
            return;
        }
        // The counter passes 90 by one after each held step, so a success
        // reported while the bar holds runs on from 91.
        if (n >= 90) n = 90;
        show_(n % 100);
        pause(80);
        ++n;
    }
}

}  // namespace pages
