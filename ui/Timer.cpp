#include "ui/Timer.h"

namespace ui {
namespace {

thread_local TimerLog* currentLog = nullptr;

}  // namespace

UINT_PTR setTimer(HWND window, UINT_PTR id, UINT milliseconds) {
    if (currentLog) currentLog->record({window, id, milliseconds, true});
    return SetTimer(window, id, milliseconds, nullptr);
}

bool killTimer(HWND window, UINT_PTR id) {
    if (currentLog) currentLog->record({window, id, 0, false});
    return KillTimer(window, id) != FALSE;
}

TimerLog::TimerLog() : previous_(currentLog) { currentLog = this; }

TimerLog::~TimerLog() { currentLog = previous_; }

}  // namespace ui
