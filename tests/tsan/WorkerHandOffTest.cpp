// The install command's hand-off (install/WorkerHandOff), natively and under
// ThreadSanitizer: the program's own hand-off starts the real install worker
// on a thread of its own against the simulated Windows, while this thread
// runs the progress window's animation, which only polls the install status;
// then it waits for the worker, and the message is read. The simulated
// clock and the machine have locks of their own, so the two threads meet
// only where the program makes them meet: a missing synchronisation in the
// hand-off is a data race, and fails the test.
#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "install/WorkerHandOff.h"
#include "pages/ProgressAnimation.h"
#include "support/InstallFixture.h"

namespace {

using testing_support::InstallTest;

// The worker on a std::thread; the progress window's animation shown on the
// calling thread, recording the positions the bar takes.
class AnimationHost : public install::WorkerHost {
public:
    AnimationHost(std::atomic<int>& status, int targetOs, std::function<void()> afterWindow)
        : status_(status), targetOs_(targetOs), afterWindow_(std::move(afterWindow)) {}
    ~AnimationHost() override {
        if (worker_.joinable()) worker_.join();
    }

    bool start(std::function<void()> work) override {
        worker_ = std::thread(std::move(work));
        return true;
    }
    void show() override {
        pages::ProgressAnimation(status_, targetOs_, [this](int position) { shown.push_back(position); }).run();
        statusAtClose = status_.load();
        if (afterWindow_) afterWindow_();
    }
    void wait() override { worker_.join(); }

    std::vector<int> shown;
    int statusAtClose = -1;

private:
    std::atomic<int>& status_;
    int targetOs_;
    std::function<void()> afterWindow_;
    std::thread worker_;
};

class HandOff : public InstallTest {
protected:
    explicit HandOff(int targetOs) : InstallTest(targetOs) {}

    // The hand-off as the program runs it; the positions the bar took. A
    // busy machine answers the worker's first call only once the window has
    // closed.
    std::vector<int> runInstallation(bool machineBusy = false) {
        std::unique_lock<std::recursive_mutex> busy(sim.mutex(), std::defer_lock);
        if (machineBusy) busy.lock();
        AnimationHost host(status, targetOs_, [&busy, machineBusy] {
            if (machineBusy) busy.unlock();
        });
        EXPECT_TRUE(install::handOffToWorker(job, status, host));
        message = install::InstallMessage();
        statusAtClose = host.statusAtClose;
        return host.shown;
    }

    std::string message;
    int statusAtClose = -1;
};

// The bar climbs, then only falls: once the window has seen the outcome, it
// never sees the worker running again.
void expectClimbThenFall(const std::vector<int>& shown) {
    size_t peak = 0;
    while (peak + 1 < shown.size() && shown[peak + 1] >= shown[peak]) ++peak;
    for (size_t i = peak + 1; i < shown.size(); ++i) EXPECT_LT(shown[i], shown[i - 1]) << "step " << i;
}

class WorkerOnXp : public HandOff {
protected:
    WorkerOnXp() : HandOff(3) {}
};

TEST_F(WorkerOnXp, TheWindowRunsOnWithTheWorkersSuccess) {
    prepare("USB_M_1");
    std::vector<int> shown = runInstallation();
    EXPECT_EQ(status.load(), install::kInstallSucceeded);
    EXPECT_EQ(message, "<IDS_INF_USBRESTART>");
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), 99);
    expectClimbThenFall(shown);
    EXPECT_EQ(sim.clock().sleeps().back(), 100u);
}

TEST_F(WorkerOnXp, TheWindowRunsBackWithTheWorkersFailure) {
    sim.faults().fail("AddPrinterA", ERROR_ACCESS_DENIED);
    prepare("LPT1:");
    std::vector<int> shown = runInstallation();
    EXPECT_EQ(status.load(), install::kInstallFailed);
    EXPECT_EQ(message, "<IDS_ERR_ADDPRINTER>er = 5");
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), 0);
    expectClimbThenFall(shown);
}

class WorkerOn98 : public HandOff {
protected:
    WorkerOn98() : HandOff(0) {}
};

TEST_F(WorkerOn98, TheWindowClosesWhileTheWorkerRunsAndTheHandOffWaitsForIt) {
    prepare("LPT1:");
    runInstallation(true);
    EXPECT_EQ(statusAtClose, install::kInstallRunning);
    EXPECT_EQ(sim.clock().sleeps(), std::vector<DWORD>(90, 80u));
    EXPECT_EQ(status.load(), install::kInstallSucceeded);
    // Windows 98/Me ends without a message of the worker's: the command says
    // that a restart is needed.
    EXPECT_EQ(message, "");
}

}  // namespace
