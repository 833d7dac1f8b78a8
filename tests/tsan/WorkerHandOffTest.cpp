// The install command's hand-off, natively and under ThreadSanitizer: the
// real install worker runs on its own thread against the simulated Windows
// while this thread runs the progress window's animation, which only polls
// the install status; then the command waits for the worker and reads its
// message. A data race between the two fails the test.
#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "pages/ProgressAnimation.h"
#include "support/InstallFixture.h"

namespace {

using testing_support::InstallTest;

class HandOff : public InstallTest {
protected:
    explicit HandOff(int targetOs) : InstallTest(targetOs) {}

    // What runInstallation does around the window; the positions the bar
    // took. A busy machine answers the worker's first call only once the
    // window has closed.
    std::vector<int> runInstallation(bool machineBusy = false) {
        install::InstallMessage().clear();
        status.store(install::kInstallRunning);
        install::WorkerParams params{&job, &status};
        std::unique_lock<std::recursive_mutex> busy(sim.mutex(), std::defer_lock);
        if (machineBusy) busy.lock();
        std::thread worker([&params] { install::InstallWorker(&params); });
        std::vector<int> shown;
        pages::ProgressAnimation(status, targetOs_, [&shown](int position) { shown.push_back(position); })
            .run();
        statusAtClose = status.load();
        if (machineBusy) busy.unlock();
        worker.join();
        return shown;
    }

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
    EXPECT_EQ(install::InstallMessage(), "<IDS_INF_USBRESTART>");
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
    EXPECT_EQ(install::InstallMessage(), "<IDS_ERR_ADDPRINTER>er = 5");
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), 0);
    expectClimbThenFall(shown);
}

class WorkerOn98 : public HandOff {
protected:
    WorkerOn98() : HandOff(0) {}
};

TEST_F(WorkerOn98, TheWindowClosesWhileTheWorkerRunsAndTheCommandWaitsForIt) {
    prepare("LPT1:");
    runInstallation(true);
    EXPECT_EQ(statusAtClose, install::kInstallRunning);
    EXPECT_EQ(sim.clock().sleeps(), std::vector<DWORD>(90, 80u));
    EXPECT_EQ(status.load(), install::kInstallSucceeded);
    // Windows 98/Me ends without a message of the worker's: the command says
    // that a restart is needed.
    EXPECT_EQ(install::InstallMessage(), "");
}

}  // namespace
