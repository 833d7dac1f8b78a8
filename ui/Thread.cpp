#include "ui/Thread.h"

#include <process.h>

#include <memory>

namespace ui {
namespace {

unsigned __stdcall run(void* argument) {
    std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(argument));
    (*work)();
    return 0;
}

// Starts suspended so the priority is set before the function runs, then
// lets it go at once.
HANDLE begin(std::function<void()> work, DWORD* id) {
    auto* owned = new std::function<void()>(std::move(work));
    unsigned threadId = 0;
    auto handle = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &run, owned, CREATE_SUSPENDED, &threadId));
    if (handle == nullptr) {
        delete owned;
        return nullptr;
    }
    SetThreadPriority(handle, THREAD_PRIORITY_NORMAL);
    ResumeThread(handle);
    if (id) *id = threadId;
    return handle;
}

}  // namespace

Thread::~Thread() {
    if (handle_) CloseHandle(handle_);
}

bool Thread::start(std::function<void()> work) {
    if (handle_) return false;
    handle_ = begin(std::move(work), &id_);
    return handle_ != nullptr;
}

bool Thread::wait(DWORD milliseconds) const {
    return handle_ && WaitForSingleObject(handle_, milliseconds) == WAIT_OBJECT_0;
}

void Thread::waitServingSentMessages() const {
    if (!handle_) return;
    while (MsgWaitForMultipleObjects(1, &handle_, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
        MSG message;
        // Any PeekMessage serves the messages sent to the thread's windows.
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

bool startWorker(std::function<void()> work) {
    HANDLE handle = begin(std::move(work), nullptr);
    if (handle == nullptr) return false;
    CloseHandle(handle);
    return true;
}

}  // namespace ui
