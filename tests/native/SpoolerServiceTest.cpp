// Stopping, starting and awaiting the Spooler, and the restart offer.
#include "install/SpoolerService.h"
#include "support/EngineFixture.h"

using testing_support::EngineTest;

class SpoolerServiceTest : public EngineTest {
protected:
    os::sim::Services::Service& spooler() { return sim.services().spooler(); }
    std::string text;
};

TEST_F(SpoolerServiceTest, StopRequestsTheStopAndWaitsATenthOfASecond) {
    install::StopSpooler();
    EXPECT_EQ(sim.clock().sleeps(), std::vector<DWORD>{100});
    EXPECT_EQ(spooler().stops, 1);
    sim.clock().advance(1000);
    SERVICE_STATUS status = {};
    SC_HANDLE manager = sim.OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = sim.OpenServiceA(manager, "Spooler", SERVICE_QUERY_STATUS);
    ASSERT_TRUE(sim.QueryServiceStatus(service, &status));
    EXPECT_EQ(status.dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
    sim.CloseServiceHandle(service);
    sim.CloseServiceHandle(manager);
    EXPECT_EQ(sim.openHandles(), 0u);
}

TEST_F(SpoolerServiceTest, StoppingAStoppedSpoolerAndStartingARunningOneSayNothing) {
    install::StartSpooler(text);
    EXPECT_EQ(text, "") << "already running (1056)";
    install::StopSpooler();
    sim.clock().advance(1000);
    install::StopSpooler();
    EXPECT_EQ(text, "");
    EXPECT_EQ(sim.openHandles(), 0u);
}

TEST_F(SpoolerServiceTest, AFailedStartIsWrittenWithItsCode) {
    spooler().state = SERVICE_STOPPED;
    spooler().startError = ERROR_SERVICE_DISABLED;
    install::StartSpooler(text);
    EXPECT_EQ(text, "Start spool service error, error code = 1058");
}

TEST_F(SpoolerServiceTest, AManagerThatCannotBeOpenedStopsAndStartsNothing) {
    sim.faults().fail("OpenSCManagerA", ERROR_ACCESS_DENIED);
    install::StopSpooler();
    install::StartSpooler(text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(install::WaitSpoolerRunning(text), static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_EQ(text, "StartSpoolService error");
    EXPECT_TRUE(sim.clock().sleeps().empty()) << "no stop was requested, so no wait";
}

TEST_F(SpoolerServiceTest, RunningAtTheThirdQueryTakesThreeQueriesAndTwoWaits) {
    spooler().scriptedQueries = {SERVICE_START_PENDING, SERVICE_START_PENDING, SERVICE_RUNNING};
    EXPECT_EQ(install::WaitSpoolerRunning(text), static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(spooler().queries, 3);
    EXPECT_EQ(sim.clock().sleeps(), (std::vector<DWORD>{300, 300}));
    EXPECT_EQ(text, "");
}

TEST_F(SpoolerServiceTest, ASpoolerThatNeverRunsIsPolledTenTimes) {
    spooler().state = SERVICE_STOPPED;
    EXPECT_EQ(install::WaitSpoolerRunning(text), static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_EQ(spooler().queries, 10);
    EXPECT_EQ(sim.clock().sleeps(), std::vector<DWORD>(10, 300));
    EXPECT_EQ(text, "StartSpoolService error");
}

// A failed query leaves the state the last one read: a spooler last seen
// stopping is reported so, and as not running.
TEST_F(SpoolerServiceTest, AFailedQueryKeepsTheLastState) {
    spooler().scriptedQueries = {SERVICE_STOP_PENDING};
    sim.faults().fail("QueryServiceStatus", ERROR_ACCESS_DENIED).after(1);
    EXPECT_EQ(install::WaitSpoolerRunning(text), static_cast<DWORD>(SERVICE_STOP_PENDING));
    EXPECT_EQ(text, "StartSpoolService error");
    EXPECT_EQ(sim.calls("QueryServiceStatus").size(), 10u);
}

class RestartTest : public EngineTest {
protected:
    RestartTest() : EngineTest(os::sim::Machine::windows98()) {}
};

TEST_F(RestartTest, NoLeavesWindowsRunningAndTheMessageAsItWas) {
    std::string text = "kept";
    sim.desktop().answer(IDNO);
    install::RestartWindows(text);
    EXPECT_EQ(text, "kept");
    EXPECT_TRUE(sim.desktop().restartRequests().empty());
    ASSERT_EQ(sim.desktop().messageBoxes().size(), 1u);
    const auto& box = sim.desktop().messageBoxes()[0];
    EXPECT_EQ(box.text, "<IDS_INF_RESTART>");
    EXPECT_EQ(box.type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(box.caption, "setup");
}

TEST_F(RestartTest, YesAsksForARestart) {
    std::string text;
    sim.desktop().answer(IDYES);
    install::RestartWindows(text);
    EXPECT_EQ(sim.desktop().restartRequests(), std::vector<UINT>{EWX_REBOOT});
    EXPECT_EQ(text, "");
}

TEST_F(RestartTest, ARefusedRestartIsReported) {
    std::string text;
    sim.desktop().answer(IDYES);
    sim.faults().fail("ExitWindowsEx", ERROR_PRIVILEGE_NOT_HELD);
    install::RestartWindows(text);
    EXPECT_EQ(text, "<IDS_ERR_EXITWIN>");
}
