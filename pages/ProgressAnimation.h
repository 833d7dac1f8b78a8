// The progress window's bar, decided without a window: it climbs at a fixed
// pace to 90 and waits there; when the worker reports its end, it runs
// quickly to the end (success) or back to zero (failure). Its pauses go
// through the system layer, so the simulated clock keeps them, and it only
// reads the install status: it runs natively beside the real worker.
#pragma once

#include <atomic>
#include <functional>

#include "os/WinApi.h"

namespace pages {

class ProgressAnimation {
public:
    // `show` receives each position the bar takes, in order.
    ProgressAnimation(const std::atomic<int>& installStatus, int targetOs,
                      std::function<void(int)> show);

    // The whole animation; it returns when the window is to close. On
    // Windows 98/Me (target 0) that is after 90 steps, whether or not the
    // worker is done: the install command waits for it.
    void run();

private:
    void pause(DWORD length);
    void step(int position, DWORD length);

    const std::atomic<int>& installStatus_;
    int targetOs_;
    std::function<void(int)> show_;
    DWORD due_ = 0;  // the tick count at which the pause under way ends
};

}  // namespace pages
