// The runs of a 64-bit Windows that turn the redirection of the system
// directory off: nothing is loaded or looked up while it is off, the scope
// opens only once what closes it is there, and a run whose redirection
// cannot be turned back on ends as failed, going no further. And the
// privilege the spooler's loading calls want, asked for once on the NT family.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "install/InstallLog.h"
#include "install/Removal.h"
#include "os/World.h"
#include "support/InstallFixture.h"

using os::sim::Machine;
using testing_support::InstallScenario;

namespace {

// Model M on a serial port: on 64-bit Windows its monitor and monitor UI
// go to the native system directory, from the medium's X64 builds.
class SerialRun : public InstallScenario {
public:
    explicit SerialRun(const Machine& machine, int targetOs = 7) : InstallScenario(targetOs), targetOs_(targetOs) {
        sim.machine() = machine;
        for (const char* file : {"DRV.DLL", "DRVUI.DLL", "MPROC.DLL", "SERUI.DLL"})
            onMediumX64(file, std::string("x64 ") + file);
        sim.files().writeFile("C:\\MEDIUM\\X64\\SER.DLL",
                              os::sim::Spooler::dllExporting({"InitializePrintMonitor2"}, IMAGE_FILE_MACHINE_AMD64));
        install::setInstallLog("C:\\install.log");
        prepare("HVCOM1:");
    }
    ~SerialRun() { install::setInstallLog(""); }

    // The removal, run as the program's next run.
    install::RemovalOutcome remove() {
        sim.endProgram();
        os::ScopedSystem nextRun(sim);
        return install::removeModel(install::readModelParts(job.config, "M", targetOs_), "", targetOs_);
    }
    std::string log() { return read("C:\\install.log"); }
    std::string system() { return sim.machine().systemDirectory; }

private:
    int targetOs_;
};

Machine windows10x64() { return Machine::sixtyFourBit(Machine::windows10()); }

TEST(RedirectionScopeTest, NothingIsLoadedOrLookedUpWhileRedirectionIsOff) {
    SerialRun s(windows10x64());
    ASSERT_TRUE(s.install()) << s.message() << "\n" << s.log();
    EXPECT_EQ(s.read(s.system() + "\\SERUI.DLL"), "x64 SERUI.DLL");
    // A monitor file still held goes at the next start (MoveFileExA).
    s.sim.faults().fail("DeleteFileA", ERROR_SHARING_VIOLATION).when("\\SERUI.DLL");
    const install::RemovalOutcome outcome = s.remove();
    EXPECT_EQ(outcome.failure, "") << s.log();
    const std::vector<std::string>& later = s.sim.machine().deletedAtRestart;
    EXPECT_NE(std::find(later.begin(), later.end(), s.system() + "\\SERUI.DLL"), later.end());
    EXPECT_GE(s.sim.calls("Wow64DisableWow64FsRedirection").size(), 3u);
    EXPECT_EQ(s.sim.lookedUpWithRedirectionOff(), std::vector<std::string>());
    // Redirection is on again: the program's system directory is SysWOW64.
    s.sim.files().writeFile(s.sim.machine().wow64Directory() + "\\ONLY32.DLL", std::string("x"));
    EXPECT_TRUE(os::isFile(s.system() + "\\ONLY32.DLL"));
}

// Where the function that turns redirection back on, or one the work
// inside needs, cannot be found, redirection is never turned off.
TEST(RedirectionScopeTest, TheScopeDoesNotOpenWithoutWhatItNeeds) {
    for (const char* missing : {"Wow64RevertWow64FsRedirection", "MoveFileExA"}) {
        SCOPED_TRACE(missing);
        SerialRun s(windows10x64());
        s.sim.faults().fail("GetProcAddress", ERROR_PROC_NOT_FOUND).when(missing);
        {
            os::NativeSystemDirectory native(os::Architecture::X64, {os::SystemFunction::MoveFileExA});
            EXPECT_FALSE(native.reached());
            EXPECT_EQ(native.error(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
        }
        EXPECT_TRUE(s.sim.calls("Wow64DisableWow64FsRedirection").empty());
    }
}

struct RevertRow {
    const char* what;
    bool removal;  // the revert fails in the removal, not in the installation
};

// A revert that fails is logged and ends the run as failed: nothing more is
// done on the thread, and redirection is never turned off again.
TEST(RedirectionScopeTest, ARevertThatFailsEndsTheRun) {
    for (const RevertRow& row : {RevertRow{"the installation", false}, RevertRow{"the removal", true}}) {
        SCOPED_TRACE(row.what);
        SerialRun s(windows10x64());
        if (row.removal) {
            ASSERT_TRUE(s.install()) << s.message();
        }
        s.sim.faults().fail("Wow64RevertWow64FsRedirection", ERROR_ACCESS_DENIED);
        const size_t turnedOff = s.sim.calls("Wow64DisableWow64FsRedirection").size();
        if (row.removal) {
            const install::RemovalOutcome outcome = s.remove();
            EXPECT_EQ(outcome.failure, "redirection of the system directory could not be turned back on (system error 5)");
            EXPECT_TRUE(s.sim.calls("DeletePrintProcessorA").empty());
        } else {
            EXPECT_FALSE(s.install());
            EXPECT_TRUE(s.sim.calls("AddMonitorA").empty());
            EXPECT_TRUE(s.sim.calls("AddPrinterDriverA").empty());
        }
        EXPECT_NE(s.log().find("redirection of the system directory could not be turned back on (system error 5)"),
                  std::string::npos)
            << s.log();
        EXPECT_EQ(s.sim.calls("Wow64DisableWow64FsRedirection").size(), turnedOff + 1);
    }
}

struct PrivilegeRow {
    const char* what;
    Machine machine;
    int targetOs;
};

// SeLoadDriverPrivilege is enabled once in each run, before the first call
// that wants it, on every NT system, in the installation and the removal.
// (A token that does not hold it is logged: AdditionalDriverTest.)
TEST(RedirectionScopeTest, EveryCallThatLoadsCodeFindsTheDriverLoadPrivilegeEnabled) {
    const PrivilegeRow rows[] = {
        {"Windows NT 4.0", Machine::windowsNt4(), 1},
        {"32-bit Windows 7", Machine::windows7(), 7},
        {"64-bit Windows 10", windows10x64(), 7},
    };
    for (const PrivilegeRow& row : rows) {
        SCOPED_TRACE(row.what);
        SerialRun s(row.machine, row.targetOs);
        ASSERT_TRUE(s.install()) << s.message() << "\n" << s.log();
        EXPECT_EQ(s.remove().failure, "") << s.log();
        const std::vector<std::string>& calls = s.sim.spooler().driverLoadPrivilegeAtCalls;
        for (const char* call : {"AddMonitorA", "AddPrintProcessorA", "AddPrinterDriverA", "DeleteMonitorA"})
            EXPECT_NE(std::find(calls.begin(), calls.end(), std::string(call) + " enabled"), calls.end()) << call;
        for (const std::string& call : calls) EXPECT_EQ(call.substr(call.find(' ') + 1), "enabled") << call;
        // Asked once by the installation and once by the removal.
        EXPECT_EQ(s.sim.calls("AdjustTokenPrivileges").size(), 2u);
    }
}

}  // namespace
