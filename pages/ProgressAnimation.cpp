#include "pages/ProgressAnimation.h"

#include <utility>

#include "install/InstallJob.h"
#include "os/Os.h"

namespace pages {

ProgressAnimation::ProgressAnimation(const std::atomic<int>& installStatus, int targetOs,
                                     std::function<void(int)> show)
    : installStatus_(installStatus), targetOs_(targetOs), show_(std::move(show)) {}

void ProgressAnimation::step(int position, DWORD pause) {
    os::sys().Sleep(pause);
    show_(position);
}

void ProgressAnimation::run() {
    int n = 0;
    for (;;) {
        if (targetOs_ == 0 && n == 90) return;
        int status = installStatus_.load();
        if (status == install::kInstallFailed) {
            for (; n > 0; --n) step(n, 10);
            show_(0);
            os::sys().Sleep(100);
            return;
        }
        if (status == install::kInstallSucceeded) {
            for (; n < 100; ++n) step(n, 10);
            os::sys().Sleep(100);
            return;
        }
        // The counter passes 90 by one after each held step, so a success
        // reported while the bar holds runs on from 91.
        if (n >= 90) n = 90;
        show_(n % 100);
        os::sys().Sleep(80);
        ++n;
    }
}

}  // namespace pages
