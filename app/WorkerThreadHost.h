// The worker of an installation on a Windows thread of its own, while the
// program's thread shows the progress (the wizard) or nothing (a quiet run)
// and refuses Windows' end-of-session query until the worker has ended.
#pragma once

#include <functional>
#include <memory>

#include "install/WorkerHandOff.h"
#include "ui/EndSessionRefusal.h"
#include "ui/Thread.h"

namespace app {

class WorkerThreadHost : public install::WorkerHost {
public:
    // `show` runs what the user sees while the worker works; none for a quiet run.
    explicit WorkerThreadHost(std::function<void()> show = nullptr) : show_(std::move(show)) {}

    bool start(std::function<void()> work) override;
    void show() override;
    void wait() override;

private:
    std::function<void()> show_;
    std::unique_ptr<ui::EndSessionRefusal> refusal_;
    ui::Thread thread_;
};

}  // namespace app
