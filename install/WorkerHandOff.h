// How an installation is handed to its worker thread and taken back: the
// message emptied and the status set to running, the worker started on a
// thread of its own, what the user sees while it works (the progress window)
// shown until it closes, the worker awaited, its message left to be read.
// The wizard, the unattended installation and the hand-off's test under
// ThreadSanitizer all run it; each brings its own threads and window.
#pragma once

#include <functional>

#include "install/InstallJob.h"

namespace install {

class WorkerHost {
public:
    virtual ~WorkerHost() = default;
    // Starts `work` on a thread of its own; false when no thread could be made.
    virtual bool start(std::function<void()> work) = 0;
    // Shows what is shown while the worker runs; returns once that has closed.
    // The progress window closes itself when the status is set (on Windows
    // 98/Me after its 90 steps, whether the worker has ended or not).
    virtual void show() = 0;
    // Returns once the worker's thread has ended.
    virtual void wait() = 0;
};

// Runs the install sequence for `job` on a worker of `host`. The status ends
// as the worker set it; InstallMessage() holds its message. False when no
// thread could be started: nothing was installed, and the message says so.
bool handOffToWorker(InstallJob& job, std::atomic<int>& status, WorkerHost& host);

}  // namespace install
