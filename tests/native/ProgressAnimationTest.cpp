// The progress bar's pace: a display that takes time to draw each step does
// not lengthen the animation, and one slower than a step still draws every
// step, each without a pause.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "install/InstallJob.h"
#include "pages/ProgressAnimation.h"
#include "support/SimMachine.h"

namespace {

using testing_support::SimMachineTest;

using ProgressAnimationTest = SimMachineTest;

TEST_F(ProgressAnimationTest, TheAnimationKeepsItsLengthWhateverDrawingCosts) {
    // A run to the end from the start lasts 100 steps of 10 and a last 100,
    // drawing included, as long as a step draws within its pause.
    const struct {
        DWORD drawing;  // milliseconds each step takes to draw
        DWORD shortest, longest;
    } cases[] = {{0, 1100, 1100}, {4, 1100, 1100}, {10, 1100, 1100},
                 // Slower than a step: every step drawn, and the last pause at most on top.
                 {25, 2500, 2610}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.drawing);
        std::atomic<int> status{install::kInstallSucceeded};
        std::vector<int> shown;
        const DWORD start = sim.GetTickCount();
        pages::ProgressAnimation(status, 3, [&](int position) {
            shown.push_back(position);
            sim.clock().advance(c.drawing);
        }).run();
        const DWORD length = sim.GetTickCount() - start;
        EXPECT_GE(length, c.shortest);
        EXPECT_LE(length, c.longest);
        ASSERT_EQ(shown.size(), 100u);
        EXPECT_EQ(shown.back(), 99);
    }
}

}  // namespace
