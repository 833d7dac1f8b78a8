// The simulated machine's clock. Sleep advances it at once, so the fixed
// waits of the system are asserted exactly and tests take no real time.
#pragma once

#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "os/WinApi.h"

namespace os::sim {

class Clock {
public:
    struct Wait {
        DWORD milliseconds;
        std::thread::id thread;
    };

    // Milliseconds since the machine started.
    DWORD now() const { return now_; }
    void advance(DWORD milliseconds) { now_ += milliseconds; }
    // A Sleep of the calling thread: recorded, and the clock moves on.
    void sleep(DWORD milliseconds) {
        waits_.push_back({milliseconds, std::this_thread::get_id()});
        now_ += milliseconds;
        std::vector<std::function<void()>> due;
        for (auto alarm = alarms_.begin(); alarm != alarms_.end();) {
            if (alarm->first <= now_) {
                due.push_back(std::move(alarm->second));
                alarm = alarms_.erase(alarm);
            } else {
                ++alarm;
            }
        }
        for (auto& action : due) action();
    }
    // Something that happens elsewhere at a moment of the machine's time: it
    // runs once, in the Sleep that brings the clock to `time` or beyond.
    void at(DWORD time, std::function<void()> action) { alarms_.emplace_back(time, std::move(action)); }
    // Every Sleep so far, in order, of all threads.
    const std::vector<Wait>& waits() const { return waits_; }
    // The Sleeps of one thread, in order.
    std::vector<DWORD> sleepsOf(std::thread::id thread) const {
        std::vector<DWORD> result;
        for (const auto& w : waits_)
            if (w.thread == thread) result.push_back(w.milliseconds);
        return result;
    }
    // The Sleeps of the calling thread.
    std::vector<DWORD> sleeps() const { return sleepsOf(std::this_thread::get_id()); }
    void clearWaits() { waits_.clear(); }

private:
    DWORD now_ = 0;
    std::vector<Wait> waits_;
    std::vector<std::pair<DWORD, std::function<void()>>> alarms_;
};

}  // namespace os::sim
