// The install log on the simulated machine: appended to, and never written
// through a name another user may have made into something else.
#include "install/InstallLog.h"
#include "support/SimMachine.h"

using testing_support::SimMachineTest;

namespace {

const char* const kLog = "C:\\LOGS\\setup.log";
const char* const kSystemFile = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";

struct LogCase {
    const char* what;
    void (*arrange)(os::sim::SimOs&);
    const char* keptIn;  // where the lines go
    const char* before = "";  // what the log held before, kept at its start
};

void PrintTo(const LogCase& c, std::ostream* out) { *out << c.what; }

class InstallLogTest : public SimMachineTest, public ::testing::WithParamInterface<LogCase> {
protected:
    void TearDown() override { install::setInstallLog(""); }
};

TEST_P(InstallLogTest, LinesAreAppendedWhereNothingElseIsReached) {
    sim.files().makeDirectories("C:\\LOGS");
    write(kSystemFile, "127.0.0.1 localhost\r\n");
    GetParam().arrange(sim);
    install::setInstallLog(kLog);
    install::logStep("first step");
    install::logFailure("second step", "its text", 5);
    install::setInstallLog("");

    EXPECT_EQ(read(kSystemFile), "127.0.0.1 localhost\r\n") << "nothing is written through the name";
    EXPECT_FALSE(exists("C:\\WINDOWS\\system32\\evil.dll"));
    const std::string log = read(GetParam().keptIn);
    EXPECT_NE(log.find("  first step\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("  second step failed: its text (system error 5)\r\n"), std::string::npos) << log;
    EXPECT_LT(log.find("first step"), log.find("second step"));
    EXPECT_EQ(log.rfind(GetParam().before, 0), 0u) << log;
    if (std::string(GetParam().keptIn) != kLog)
        EXPECT_NE(log.find(std::string(kLog) + " is not a plain file of its own"), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(
    Names, InstallLogTest,
    ::testing::Values(
        LogCase{"New", [](os::sim::SimOs&) {}, kLog},
        LogCase{"AnEarlierLog",
                [](os::sim::SimOs& sim) { sim.files().writeFile(kLog, std::string("an earlier run\r\n")); }, kLog,
                "an earlier run\r\n"},
        LogCase{"ASecondNameOfASystemFile",
                [](os::sim::SimOs& sim) { sim.files().link(kSystemFile, kLog); }, "C:\\LOGS\\setup-2.log"},
        LogCase{"ALinkToASystemFile",
                [](os::sim::SimOs& sim) { sim.files().symlink(kLog, kSystemFile); }, "C:\\LOGS\\setup-2.log"},
        LogCase{"ALinkToAFileNotYetMade",
                [](os::sim::SimOs& sim) { sim.files().symlink(kLog, "C:\\WINDOWS\\system32\\evil.dll"); },
                "C:\\LOGS\\setup-2.log"},
        LogCase{"AFolder", [](os::sim::SimOs& sim) { sim.files().makeDirectories(kLog); }, "C:\\LOGS\\setup-2.log"},
        LogCase{"AFolderAndTheNameBesideItTaken",
                [](os::sim::SimOs& sim) {
                    sim.files().makeDirectories(kLog);
                    sim.files().symlink("C:\\LOGS\\setup-2.log", kSystemFile);
                },
                "C:\\LOGS\\setup-3.log"}),
    [](const ::testing::TestParamInfo<LogCase>& info) { return std::string(info.param.what); });

}  // namespace
