// Worker threads: a function started on a new thread at normal priority,
// running at once.
#pragma once

#include <windows.h>

#include <functional>

namespace ui {

class Thread {
public:
    Thread() = default;
    // Lets the thread run on; only the handle is closed.
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    bool start(std::function<void()> work);
    // Waits for the thread to end; false when it is still running after `milliseconds`.
    bool wait(DWORD milliseconds = INFINITE) const;
    // Waits for the thread to end while serving what other threads and
    // programs send this thread's windows (Windows' end-of-session query
    // among them); the thread takes no input meanwhile.
    void waitServingSentMessages() const;
    bool running() const { return handle_ && !wait(0); }
    HANDLE handle() const { return handle_; }
    DWORD id() const { return id_; }

private:
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

// Starts a function on its own thread and forgets it.
bool startWorker(std::function<void()> work);

}  // namespace ui
