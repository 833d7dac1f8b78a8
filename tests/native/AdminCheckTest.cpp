// The administrator check through the token calls: the thread's token when
// the thread impersonates, the process's otherwise, and "not an
// administrator" for every call that fails, with nothing left open.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AdminCheck.h"
#include "support/SimMachine.h"

namespace {

class AdminCheckTest : public testing_support::SimMachineTest {
protected:
    int callsOf(const std::string& name) { return static_cast<int>(sim.calls(name).size()); }
};

TEST_F(AdminCheckTest, TheAdministratorsGroupInTheProcessTokenMakesAnAdministrator) {
    sim.machine().administrator = true;
    EXPECT_TRUE(app::isAdministrator());
    // No impersonation: the thread has no token, so the process's is asked.
    EXPECT_EQ(callsOf("OpenThreadToken"), 1);
    EXPECT_EQ(callsOf("OpenProcessToken"), 1);
    EXPECT_EQ(callsOf("GetTokenInformation"), 2);

    sim.machine().administrator = false;
    EXPECT_FALSE(app::isAdministrator());
    EXPECT_EQ(sim.openHandles(), 0u);
}

TEST_F(AdminCheckTest, AnImpersonatingThreadIsJudgedByItsOwnToken) {
    sim.machine().impersonating = true;
    sim.clearJournal();
    EXPECT_TRUE(app::isAdministrator());
    EXPECT_EQ(callsOf("OpenProcessToken"), 0);
    sim.machine().administrator = false;
    EXPECT_FALSE(app::isAdministrator());
    EXPECT_EQ(sim.openHandles(), 0u);
}

TEST_F(AdminCheckTest, EveryFailingCallMeansNotAnAdministrator) {
    struct Case {
        const char* what;
        const char* call;
        DWORD error;
        int after;  // matching calls let through first
    };
    const std::vector<Case> cases = {
        {"the thread's token fails otherwise than for having none", "OpenThreadToken",
         ERROR_ACCESS_DENIED, 0},
        {"the process's token cannot be opened", "OpenProcessToken", ERROR_ACCESS_DENIED, 0},
        {"the size query fails otherwise than asking for room", "GetTokenInformation",
         ERROR_INVALID_PARAMETER, 0},
        {"no memory for the group list", "LocalAlloc", ERROR_NOT_ENOUGH_MEMORY, 0},
        {"the group list cannot be read", "GetTokenInformation", ERROR_ACCESS_DENIED, 1},
        {"the Administrators SID cannot be made", "AllocateAndInitializeSid",
         ERROR_NOT_ENOUGH_MEMORY, 0},
    };
    sim.machine().administrator = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim.faults().clear();
        sim.faults().fail(c.call, c.error).after(c.after);
        EXPECT_FALSE(app::isAdministrator());
        EXPECT_EQ(sim.openHandles(), 0u);
    }
    sim.faults().clear();
    EXPECT_TRUE(app::isAdministrator());
}

TEST_F(AdminCheckTest, AThreadTokenThatFailsForAnotherReasonDoesNotFallBackOnTheProcess) {
    sim.faults().fail("OpenThreadToken", ERROR_ACCESS_DENIED);
    sim.clearJournal();
    EXPECT_FALSE(app::isAdministrator());
    EXPECT_EQ(callsOf("OpenProcessToken"), 0);
}

}  // namespace
