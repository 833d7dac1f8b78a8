// The simulated machine's clock. Sleep advances it at once, so the fixed
// waits of the system are asserted exactly and tests take no real time.
#pragma once

#include <functional>
#include <mutex>
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

    // The clock has a lock of its own, apart from the machine's: the install
    // worker and the progress window's animation both wait on it, and the
    // only synchronisation between them must be the program's own (a single
    // lock around everything would hide a missing one from ThreadSanitizer).

    // Milliseconds since the machine started.
    DWORD now() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return now_;
    }
    void advance(DWORD milliseconds) {
        std::lock_guard<std::mutex> lock(mutex_);
        now_ += milliseconds;
    }
    // A Sleep of the calling thread: recorded, and the clock moves on. What
    // falls due runs afterwards, outside the clock's lock.
    void sleep(DWORD milliseconds) {
        std::vector<std::function<void()>> due;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            waits_.push_back({milliseconds, std::this_thread::get_id()});
            now_ += milliseconds;
            for (auto alarm = alarms_.begin(); alarm != alarms_.end();) {
                if (alarm->first <= now_) {
                    due.push_back(std::move(alarm->second));
                    alarm = alarms_.erase(alarm);
                } else {
                    ++alarm;
                }
            }
        }
        for (auto& action : due) action();
    }
    // Something that happens elsewhere at a moment of the machine's time: it
    // runs once, in the Sleep that brings the clock to `time` or beyond.
    void at(DWORD time, std::function<void()> action) {
        std::lock_guard<std::mutex> lock(mutex_);
        alarms_.emplace_back(time, std::move(action));
    }
    // Every Sleep so far, in order, of all threads.
    std::vector<Wait> waits() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return waits_;
    }
    // The Sleeps of one thread, in order.
    std::vector<DWORD> sleepsOf(std::thread::id thread) const {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<DWORD> result;
        for (const auto& w : waits_)
            if (w.thread == thread) result.push_back(w.milliseconds);
        return result;
    }
    // The Sleeps of the calling thread.
    std::vector<DWORD> sleeps() const { return sleepsOf(std::this_thread::get_id()); }
    void clearWaits() {
        std::lock_guard<std::mutex> lock(mutex_);
        waits_.clear();
    }

private:
    mutable std::mutex mutex_;
    DWORD now_ = 0;
    std::vector<Wait> waits_;
    std::vector<std::pair<DWORD, std::function<void()>>> alarms_;
};

}  // namespace os::sim
