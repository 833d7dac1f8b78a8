#include "install/WorkerHandOff.h"

#include "config/TextTable.h"

namespace install {

bool handOffToWorker(InstallJob& job, std::atomic<int>& status, WorkerHost& host) {
    InstallMessage().clear();
    status.store(kInstallRunning);
    WorkerParams params{&job, &status};
    if (!host.start([&params] { InstallWorker(&params); })) {
        // No thread, no installation: said rather than shown as done.
        InstallMessage() = app::MessageTexts().GetText("IDS_ERR_ALLOCMEMORY");
        status.store(kInstallFailed);
        return false;
    }
    host.show();
    // The window may close before the worker ends (Windows 98/Me): the
    // message is read only once it has.
    host.wait();
    return true;
}

}  // namespace install
