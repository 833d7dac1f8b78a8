// The simulated service control manager: what only the simulation can
// show (the virtual clock, scripted answers, failures Wine's services
// never give) and the 9x family, which has no service manager at all.
#include <gtest/gtest.h>

#include "os/sim/SimOs.h"

using os::sim::Machine;
using os::sim::SimOs;

namespace {

class SimServices : public ::testing::Test {
protected:
    SimOs sim;

    SC_HANDLE openSpooler(DWORD access) {
        SC_HANDLE manager = sim.OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        EXPECT_NE(manager, nullptr);
        managers_.push_back(manager);
        SC_HANDLE service = sim.OpenServiceA(manager, "Spooler", access);
        EXPECT_NE(service, nullptr) << sim.GetLastError();
        return service;
    }
    DWORD query(SC_HANDLE service) {
        SERVICE_STATUS status = {};
        EXPECT_TRUE(sim.QueryServiceStatus(service, &status)) << sim.GetLastError();
        return status.dwCurrentState;
    }
    void TearDown() override {
        for (SC_HANDLE m : managers_) sim.CloseServiceHandle(m);
    }

private:
    std::vector<SC_HANDLE> managers_;
};

TEST_F(SimServices, StopIsPendingForTheStopDelayThenStopped) {
    sim.services().spooler().stopDelay = 50;
    SC_HANDLE service = openSpooler(SERVICE_STOP | SERVICE_QUERY_STATUS);
    SERVICE_STATUS status = {};
    ASSERT_TRUE(sim.ControlService(service, SERVICE_CONTROL_STOP, &status));
    EXPECT_EQ(status.dwCurrentState, static_cast<DWORD>(SERVICE_STOP_PENDING));
    sim.clock().advance(49);
    EXPECT_EQ(query(service), static_cast<DWORD>(SERVICE_STOP_PENDING));
    sim.clock().advance(1);
    EXPECT_EQ(query(service), static_cast<DWORD>(SERVICE_STOPPED));
    sim.CloseServiceHandle(service);
}

TEST_F(SimServices, StartIsPendingForTheStartDelayThenRunning) {
    auto& spooler = sim.services().spooler();
    spooler.state = SERVICE_STOPPED;
    spooler.startDelay = 40;
    SC_HANDLE service = openSpooler(SERVICE_START | SERVICE_QUERY_STATUS);
    ASSERT_TRUE(sim.StartServiceA(service, 0, nullptr));
    EXPECT_EQ(query(service), static_cast<DWORD>(SERVICE_START_PENDING));
    sim.Sleep(40);
    EXPECT_EQ(query(service), static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(spooler.starts, 1);
    sim.CloseServiceHandle(service);
}

TEST_F(SimServices, PendingServicesRefuseStopAndStart) {
    SC_HANDLE service = openSpooler(SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS);
    SERVICE_STATUS status = {};
    ASSERT_TRUE(sim.ControlService(service, SERVICE_CONTROL_STOP, &status));

    // A second stop while stopping cannot be delivered; the record is still filled.
    status = {};
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.ControlService(service, SERVICE_CONTROL_STOP, &status));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_SERVICE_CANNOT_ACCEPT_CTRL));
    EXPECT_EQ(status.dwCurrentState, static_cast<DWORD>(SERVICE_STOP_PENDING));

    // The process has not ended yet: a start is refused as for a running one.
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.StartServiceA(service, 0, nullptr));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_SERVICE_ALREADY_RUNNING));

    sim.Sleep(1000);
    ASSERT_TRUE(sim.StartServiceA(service, 0, nullptr));
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.StartServiceA(service, 0, nullptr));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_SERVICE_ALREADY_RUNNING));
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.ControlService(service, SERVICE_CONTROL_STOP, &status));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_SERVICE_CANNOT_ACCEPT_CTRL));
    sim.CloseServiceHandle(service);
}

TEST_F(SimServices, RunningAtTheThirdQueryAsScripted) {
    auto& spooler = sim.services().spooler();
    spooler.state = SERVICE_STOPPED;
    spooler.scriptedQueries = {SERVICE_START_PENDING, SERVICE_START_PENDING, SERVICE_RUNNING};
    SC_HANDLE service = openSpooler(SERVICE_QUERY_STATUS);
    std::vector<DWORD> states;
    for (int i = 0; i < 10; ++i) {
        states.push_back(query(service));
        if (states.back() == SERVICE_RUNNING) break;
        sim.Sleep(300);
    }
    EXPECT_EQ(states, (std::vector<DWORD>{2, 2, 4}));
    EXPECT_EQ(sim.clock().sleeps(), (std::vector<DWORD>{300, 300}));
    // The service stays in the last state it reported.
    EXPECT_EQ(query(service), static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(spooler.queries, 4);
    sim.CloseServiceHandle(service);
}

TEST_F(SimServices, AScriptedPendingStateRunsItsCourse) {
    auto& spooler = sim.services().spooler();
    spooler.scriptedQueries = {SERVICE_STOP_PENDING};
    spooler.stopDelay = 100;
    SC_HANDLE service = openSpooler(SERVICE_QUERY_STATUS);
    EXPECT_EQ(query(service), static_cast<DWORD>(SERVICE_STOP_PENDING));
    sim.Sleep(100);
    EXPECT_EQ(query(service), static_cast<DWORD>(SERVICE_STOPPED));
    sim.CloseServiceHandle(service);
}

TEST_F(SimServices, ScriptedFailuresAndAHangingStart) {
    auto& spooler = sim.services().spooler();
    spooler.stopError = ERROR_ACCESS_DENIED;
    SC_HANDLE service = openSpooler(SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS);
    SERVICE_STATUS status = {};
    status.dwCurrentState = 0x77;
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.ControlService(service, SERVICE_CONTROL_STOP, &status));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    // Outcomes other than the four documented ones leave the record alone.
    EXPECT_EQ(status.dwCurrentState, 0x77u);
    EXPECT_EQ(query(service), static_cast<DWORD>(SERVICE_RUNNING));

    spooler.stopError = 0;
    ASSERT_TRUE(sim.ControlService(service, SERVICE_CONTROL_STOP, &status));
    sim.Sleep(1000);
    spooler.startError = ERROR_SERVICE_DISABLED;
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.StartServiceA(service, 0, nullptr));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_SERVICE_DISABLED));
    EXPECT_EQ(query(service), static_cast<DWORD>(SERVICE_STOPPED));

    spooler.startError = 0;
    spooler.startHangs = true;
    ASSERT_TRUE(sim.StartServiceA(service, 0, nullptr));
    sim.Sleep(60000);
    EXPECT_EQ(query(service), static_cast<DWORD>(SERVICE_START_PENDING));
    sim.CloseServiceHandle(service);
}

TEST_F(SimServices, HandlesKeepTheirRights) {
    SC_HANDLE queryOnly = openSpooler(SERVICE_QUERY_STATUS);
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.StartServiceA(queryOnly, 0, nullptr));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    SERVICE_STATUS status = {};
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.ControlService(queryOnly, SERVICE_CONTROL_STOP, &status));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(sim.services().spooler().state, static_cast<DWORD>(SERVICE_RUNNING));

    SC_HANDLE stopOnly = openSpooler(SERVICE_STOP);
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.QueryServiceStatus(stopOnly, &status));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    // Generic rights map to the service's own.
    SC_HANDLE generic = openSpooler(GENERIC_READ | GENERIC_EXECUTE);
    EXPECT_TRUE(sim.ControlService(generic, SERVICE_CONTROL_STOP, &status));
    EXPECT_EQ(query(generic), static_cast<DWORD>(SERVICE_STOP_PENDING));
    for (SC_HANDLE h : {queryOnly, stopOnly, generic}) EXPECT_TRUE(sim.CloseServiceHandle(h));
}

TEST_F(SimServices, AUserWithoutAdministratorRightsMayOnlyLook) {
    sim.machine().administrator = false;
    sim.SetLastError(0xdeadbeef);
    EXPECT_EQ(sim.OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS), nullptr);
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    SC_HANDLE manager = sim.OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    ASSERT_NE(manager, nullptr);
    sim.SetLastError(0xdeadbeef);
    EXPECT_EQ(sim.OpenServiceA(manager, "Spooler", SERVICE_STOP), nullptr);
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    SC_HANDLE service = sim.OpenServiceA(manager, "Spooler", SERVICE_QUERY_STATUS);
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(query(service), static_cast<DWORD>(SERVICE_RUNNING));
    sim.CloseServiceHandle(service);
    sim.CloseServiceHandle(manager);
}

TEST_F(SimServices, HandleAndNameErrors) {
    SC_HANDLE manager = sim.OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager, nullptr);
    sim.SetLastError(0xdeadbeef);
    EXPECT_EQ(sim.OpenServiceA(manager, "NoSuchService", SERVICE_QUERY_STATUS), nullptr);
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
    // Service names compare without case.
    SC_HANDLE service = sim.OpenServiceA(manager, "SPOOLER", SERVICE_QUERY_STATUS);
    ASSERT_NE(service, nullptr);
    // A manager handle is no service handle.
    SERVICE_STATUS status = {};
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.QueryServiceStatus(manager, &status));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    sim.SetLastError(0xdeadbeef);
    EXPECT_EQ(sim.OpenSCManagerA(nullptr, "NoSuchDatabase", SC_MANAGER_CONNECT), nullptr);
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_DATABASE_DOES_NOT_EXIST));

    size_t before = sim.openHandles();
    EXPECT_TRUE(sim.CloseServiceHandle(service));
    EXPECT_TRUE(sim.CloseServiceHandle(manager));
    EXPECT_EQ(sim.openHandles(), before - 2);
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.CloseServiceHandle(service));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(SimServicesOn9x, ThereIsNoServiceManager) {
    for (const Machine& machine : {Machine::windows98(), Machine::windowsMe()}) {
        SimOs sim(machine);
        sim.SetLastError(0xdeadbeef);
        EXPECT_EQ(sim.OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS), nullptr);
        EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
    }
}

TEST(SimServicesAdvance, ReportsWhenTheSpoolerComesToRest) {
    os::sim::Services services;
    auto& spooler = services.add("Spooler", SERVICE_RUNNING);
    auto& other = services.add("Other", SERVICE_RUNNING);
    bool filled = false;
    ASSERT_EQ(services.stop(other, 0, &filled), 0u);
    EXPECT_FALSE(services.advance(1000));  // only another service stopped
    EXPECT_EQ(other.state, static_cast<DWORD>(SERVICE_STOPPED));
    ASSERT_EQ(services.stop(spooler, 1000, &filled), 0u);
    EXPECT_FALSE(services.advance(1000 + spooler.stopDelay - 1));
    EXPECT_TRUE(services.advance(1000 + spooler.stopDelay));
    EXPECT_EQ(spooler.state, static_cast<DWORD>(SERVICE_STOPPED));
}

}  // namespace
