// Window timers of our own windows. They go through here so that a test can
// see which timer a window asked for and at what period, without waiting for
// it in real time.
#pragma once

#include <windows.h>

#include <vector>

namespace ui {

UINT_PTR setTimer(HWND window, UINT_PTR id, UINT milliseconds);
bool killTimer(HWND window, UINT_PTR id);

// While one exists, every setTimer and killTimer of this thread's windows is
// recorded in it (the timers still run).
class TimerLog {
public:
    struct Entry {
        HWND window;
        UINT_PTR id;
        UINT milliseconds;  // 0 for a kill
        bool started;       // false: killed
    };
    TimerLog();
    ~TimerLog();
    TimerLog(const TimerLog&) = delete;
    TimerLog& operator=(const TimerLog&) = delete;
    const std::vector<Entry>& entries() const { return entries_; }
    void record(const Entry& entry) { entries_.push_back(entry); }

private:
    TimerLog* previous_;
    std::vector<Entry> entries_;
};

}  // namespace ui
