#include "app/WorkerThreadHost.h"

namespace app {

bool WorkerThreadHost::start(std::function<void()> work) {
    refusal_ = std::make_unique<ui::EndSessionRefusal>(L"A printer driver is being installed.");
    return thread_.start(std::move(work));
}

void WorkerThreadHost::show() {
    if (show_) show_();
}

void WorkerThreadHost::wait() {
    thread_.waitServingSentMessages();
    refusal_.reset();
}

}  // namespace app
