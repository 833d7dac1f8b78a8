// The service control manager as Windows has it, on every backend: the
// Spooler service's states, the errors of stopping a stopped service and
// starting a running one, and rights kept on the handle. Each test leaves
// the service as it found it.
#include "support/Backend.h"

using testing_support::BackendTest;

namespace {

class ServiceBehaviour : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        manager_ = sys().OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        ASSERT_NE(manager_, nullptr) << sys().GetLastError();
    }
    void TearDown() override {
        for (SC_HANDLE h : services_) sys().CloseServiceHandle(h);
        if (manager_) sys().CloseServiceHandle(manager_);
        BackendTest::TearDown();
    }
    SC_HANDLE open(DWORD access) {
        SC_HANDLE service = sys().OpenServiceA(manager_, "Spooler", access);
        EXPECT_NE(service, nullptr) << sys().GetLastError();
        if (service) services_.push_back(service);
        return service;
    }
    DWORD state(SC_HANDLE service) {
        SERVICE_STATUS status = {};
        EXPECT_TRUE(sys().QueryServiceStatus(service, &status)) << sys().GetLastError();
        return status.dwCurrentState;
    }
    // Polls every 50 ms until the service is in `wanted` (10 s at most).
    DWORD waitFor(SC_HANDLE service, DWORD wanted) {
        DWORD now = state(service);
        for (int i = 0; i < 200 && now != wanted; ++i) {
            sys().Sleep(50);
            now = state(service);
        }
        return now;
    }
    // Polls until no start or stop is pending.
    DWORD settled(SC_HANDLE service) {
        DWORD now = state(service);
        for (int i = 0; i < 200 && (now == SERVICE_START_PENDING || now == SERVICE_STOP_PENDING); ++i) {
            sys().Sleep(50);
            now = state(service);
        }
        return now;
    }

    SC_HANDLE manager_ = nullptr;
    std::vector<SC_HANDLE> services_;
};

TEST_P(ServiceBehaviour, StopAndStartWalkThroughThePendingStates) {
    SC_HANDLE spooler = open(SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS);
    ASSERT_NE(spooler, nullptr);
    const DWORD initial = settled(spooler);
    ASSERT_TRUE(initial == SERVICE_RUNNING || initial == SERVICE_STOPPED) << initial;
    SERVICE_STATUS status = {};
    if (initial == SERVICE_RUNNING) {
        ASSERT_TRUE(sys().ControlService(spooler, SERVICE_CONTROL_STOP, &status));
    }
    ASSERT_EQ(waitFor(spooler, SERVICE_STOPPED), static_cast<DWORD>(SERVICE_STOPPED));

    // Stopping a stopped service fails, and the status record is still filled.
    status.dwCurrentState = 0;
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().ControlService(spooler, SERVICE_CONTROL_STOP, &status));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_SERVICE_NOT_ACTIVE));
    EXPECT_EQ(status.dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));

    sys().SetLastError(0xdeadbeef);
    ASSERT_TRUE(sys().StartServiceA(spooler, 0, nullptr)) << sys().GetLastError();
    DWORD starting = state(spooler);
    EXPECT_TRUE(starting == SERVICE_START_PENDING || starting == SERVICE_RUNNING) << starting;
    ASSERT_EQ(waitFor(spooler, SERVICE_RUNNING), static_cast<DWORD>(SERVICE_RUNNING));
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().StartServiceA(spooler, 0, nullptr));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_SERVICE_ALREADY_RUNNING));

    // The stop control answers with the state the service reported: stopping,
    // or already stopped when the service ends that fast (both seen from
    // Windows and from Wine, run to run).
    status = {};
    ASSERT_TRUE(sys().ControlService(spooler, SERVICE_CONTROL_STOP, &status));
    EXPECT_TRUE(status.dwCurrentState == SERVICE_STOP_PENDING ||
                status.dwCurrentState == SERVICE_STOPPED)
        << status.dwCurrentState;
    EXPECT_EQ(waitFor(spooler, SERVICE_STOPPED), static_cast<DWORD>(SERVICE_STOPPED));

    if (initial == SERVICE_RUNNING) {
        ASSERT_TRUE(sys().StartServiceA(spooler, 0, nullptr));
        EXPECT_EQ(waitFor(spooler, SERVICE_RUNNING), static_cast<DWORD>(SERVICE_RUNNING));
    }
}

TEST_P(ServiceBehaviour, HandlesAllowOnlyWhatTheyWereOpenedFor) {
    sys().SetLastError(0xdeadbeef);
    EXPECT_EQ(sys().OpenServiceA(manager_, "NoSuchServiceForSetupTests", SERVICE_QUERY_STATUS),
              nullptr);
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));

    SC_HANDLE queryOnly = open(SERVICE_QUERY_STATUS);
    ASSERT_NE(queryOnly, nullptr);
    const DWORD before = settled(queryOnly);
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().StartServiceA(queryOnly, 0, nullptr));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    SERVICE_STATUS status = {};
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().ControlService(queryOnly, SERVICE_CONTROL_STOP, &status));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(state(queryOnly), before);

    SC_HANDLE startOnly = open(SERVICE_START);
    ASSERT_NE(startOnly, nullptr);
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().QueryServiceStatus(startOnly, &status));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

}  // namespace

INSTANTIATE_BACKENDS(ServiceBehaviour);
