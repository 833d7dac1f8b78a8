// While an installation's worker runs, Windows' end-of-session query is
// answered "no" by a hidden top-level window of the program's thread, which
// serves the messages sent to it while it waits for the worker; once the
// worker has ended, nothing stands in the way of a log-off any more.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/WorkerThreadHost.h"

namespace {

BOOL CALLBACK takeHidden(HWND window, LPARAM found) {
    if (IsWindowVisible(window) || GetParent(window) != nullptr) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// A top-level window of the thread that is not shown.
HWND hiddenWindowOf(DWORD thread) {
    HWND found = nullptr;
    EnumThreadWindows(thread, &takeHidden, reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST(EndSessionTest, TheSessionCannotEndWhileTheWorkerRuns) {
    const DWORD programThread = GetCurrentThreadId();
    HWND refusing = nullptr;
    BOOL answered = FALSE;
    DWORD_PTR answer = 1;
    bool shown = false;
    app::WorkerThreadHost host([&shown] { shown = true; });
    // As Windows does at a log-off: the question is sent from elsewhere, and
    // waits for the program's thread to answer it.
    ASSERT_TRUE(host.start([&] {
        refusing = hiddenWindowOf(programThread);
        if (refusing)
            answered = SendMessageTimeoutA(refusing, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000,
                                           &answer) != 0;
    }));
    host.show();
    host.wait();
    EXPECT_TRUE(shown);
    ASSERT_NE(refusing, nullptr) << "a hidden top-level window answers for the program";
    EXPECT_TRUE(answered) << "the program's thread serves the question while it waits";
    EXPECT_EQ(answer, 0u) << "and says no";
    EXPECT_FALSE(IsWindow(refusing)) << "the refusal ends with the worker";
}

}  // namespace
