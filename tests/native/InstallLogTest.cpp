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

// The place of a log that the command line names, for a program running
// elevated: only a folder that no one but the administrators may write, and
// that is reached through no link, keeps it. Anywhere else the log goes to
// the default place and says where it was meant to go; nothing is written,
// nor any file made, where the name leads.
namespace {

using os::sim::AccessEntry;
namespace wellKnown = os::sim::wellKnown;

const char* const kFallback = "C:\\WINDOWS\\PrinterDriverSetup.log";
const std::vector<AccessEntry> kAdministratorsOnly = {{wellKnown::kAdministrators, 0x1F01FF, 3},
                                                      {wellKnown::kSystem, 0x1F01FF, 3}};

struct PlaceCase {
    const char* what;
    os::sim::Machine (*machine)();
    bool elevated;
    const char* meant;
    void (*arrange)(os::sim::SimOs&);
    bool kept;                 // in `meant`; else in the fallback
    const char* unreached;     // a file the name leads to, which must not be made
    const char* why = "";      // what the log says of the path refused
    // A file the name leads to only once the log is opened, which the
    // opening may have made but into which nothing is written.
    const char* unwritten = "";
};

void PrintTo(const PlaceCase& c, std::ostream* out) { *out << c.what; }

// A folder of the administrators', as they make one.
void administratorsFolder(os::sim::SimOs& sim, const std::string& path) {
    sim.files().makeDirectories(path);
    sim.files().setSecurity(path, wellKnown::kAdministrators, kAdministratorsOnly, true);
}

void powerUsersFolder(os::sim::SimOs& sim, const std::string& path) {
    administratorsFolder(sim, path);
    std::vector<AccessEntry> list = kAdministratorsOnly;
    list.push_back({wellKnown::kPowerUsers, 0x1301BF, 3});
    sim.files().setSecurity(path, wellKnown::kAdministrators, list, true);
}

class InstallLogPlaceTest : public testing_support::SimMachine, public ::testing::TestWithParam<PlaceCase> {
protected:
    InstallLogPlaceTest() : SimMachine(GetParam().machine()) {}
    void TearDown() override { install::setInstallLog(""); }
};

TEST_P(InstallLogPlaceTest, AnElevatedRunLogsOnlyWhereNoOneElseReaches) {
    const PlaceCase& c = GetParam();
    sim.machine().administrator = c.elevated;
    c.arrange(sim);
    install::LogPlace place;
    place.path = c.meant;
    place.fallback = kFallback;
    place.administratorsOnly = c.elevated;
    place.ownSid = os::sim::sidBytes(os::sim::tokenUser(sim.machine()));
    install::setInstallLog(place);
    install::logStep("first step");
    install::logStep("second step");
    install::setInstallLog("");

    const std::string keptIn = c.kept ? c.meant : kFallback;
    const std::string log = read(keptIn);
    EXPECT_NE(log.find("  first step\r\n"), std::string::npos) << keptIn << ":\n" << log;
    EXPECT_LT(log.find("first step"), log.find("second step"));
    if (c.kept) {
        EXPECT_FALSE(exists(kFallback));
    } else {
        EXPECT_NE(log.find(std::string("this log was meant for ") + c.meant + ", but " + c.why), std::string::npos)
            << log;
        EXPECT_LT(log.find("this log was meant for"), log.find("first step"));
    }
    if (*c.unreached) EXPECT_FALSE(exists(c.unreached)) << "a file was made where the name leads";
    if (*c.unwritten) EXPECT_EQ(read(c.unwritten), "") << "lines were written where the name leads";
    EXPECT_EQ(sim.openHandles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Places, InstallLogPlaceTest,
    ::testing::Values(
        PlaceCase{"AFolderOfTheAdministrators", os::sim::Machine::windowsXp, true, "C:\\WINDOWS\\Logs\\setup.log",
                  [](os::sim::SimOs& sim) { sim.files().makeDirectories("C:\\WINDOWS\\Logs"); }, true, ""},
        // C:\Data\Logs was a folder; someone has made it a junction to the Windows folder.
        PlaceCase{"AJunctionInTheMiddleOfThePath", os::sim::Machine::windowsXp, true,
                  "C:\\Data\\Logs\\system32\\setup.log",
                  [](os::sim::SimOs& sim) {
                      administratorsFolder(sim, "C:\\Data");
                      sim.files().junction("C:\\Data\\Logs", "C:\\WINDOWS");
                  },
                  false, "C:\\WINDOWS\\system32\\setup.log",
                  "the folder C:\\Data\\Logs on the way to it is a link to somewhere else"},
        PlaceCase{"AJunctionInTheMiddleOnWindows7", os::sim::Machine::windows7, true,
                  "C:\\Data\\Logs\\system32\\setup.log",
                  [](os::sim::SimOs& sim) {
                      administratorsFolder(sim, "C:\\Data");
                      sim.files().junction("C:\\Data\\Logs", "C:\\Windows");
                  },
                  false, "C:\\Windows\\system32\\setup.log", "the folder C:\\Data\\Logs on the way"},
        // Made by an administrator under the drive's root: every user may add files to it.
        PlaceCase{"AFolderUsersMayWrite", os::sim::Machine::windowsXp, true, "C:\\Logs\\setup.log",
                  [](os::sim::SimOs& sim) { sim.files().makeDirectories("C:\\Logs"); }, false,
                  "C:\\Logs\\setup.log", "its folder C:\\Logs may be written by users who are not administrators"},
        PlaceCase{"AFolderUsersMayWriteOnWindows7", os::sim::Machine::windows7, true, "C:\\Logs\\setup.log",
                  [](os::sim::SimOs& sim) { sim.files().makeDirectories("C:\\Logs"); }, false,
                  "C:\\Logs\\setup.log", "its folder C:\\Logs may be written"},
        // Its owner may change its access list whenever he likes.
        PlaceCase{"AFolderAnotherUserOwns", os::sim::Machine::windowsXp, true, "C:\\Data\\Mine\\setup.log",
                  [](os::sim::SimOs& sim) {
                      administratorsFolder(sim, "C:\\Data");
                      administratorsFolder(sim, "C:\\Data\\Mine");
                      sim.files().setSecurity("C:\\Data\\Mine", wellKnown::kOtherUser, kAdministratorsOnly, true);
                  },
                  false, "C:\\Data\\Mine\\setup.log", "its folder C:\\Data\\Mine may be written"},
        // Power Users may change the Windows folder on 2000 to 2003, and
        // are any users from Vista on.
        PlaceCase{"AFolderPowerUsersMayWriteOnXp", os::sim::Machine::windowsXp, true, "C:\\Data\\setup.log",
                  [](os::sim::SimOs& sim) { powerUsersFolder(sim, "C:\\Data"); }, true, ""},
        PlaceCase{"AFolderPowerUsersMayWriteOnWindows7", os::sim::Machine::windows7, true, "C:\\Data\\setup.log",
                  [](os::sim::SimOs& sim) { powerUsersFolder(sim, "C:\\Data"); }, false, "C:\\Data\\setup.log",
                  "its folder C:\\Data may be written"},
        // A user's own run: the folder is his to write anyway.
        PlaceCase{"AFolderUsersMayWriteForAUsersOwnRun", os::sim::Machine::windowsXp, false, "C:\\Logs\\setup.log",
                  [](os::sim::SimOs& sim) { sim.files().makeDirectories("C:\\Logs"); }, true, ""},
        // Whoever may delete what C:\Data holds tries to swap the log's
        // folder for a junction as the log is opened: the folder is held.
        PlaceCase{"AFolderSwappedForAJunctionAsTheLogOpens", os::sim::Machine::windowsXp, true,
                  "C:\\Data\\Logs\\setup.log",
                  [](os::sim::SimOs& sim) {
                      sim.files().makeDirectories("C:\\Data");
                      sim.files().setSecurity("C:\\Data", wellKnown::kAdministrators,
                                              {{wellKnown::kUsers, 0x1F01FF, 3}}, false);
                      administratorsFolder(sim, "C:\\Data\\Logs");
                      sim.beforeCall("CreateFileA", "setup.log", [](os::sim::SimOs& s) {
                          if (s.files().removeDirectory("C:\\Data\\Logs") == 0)
                              s.files().junction("C:\\Data\\Logs", "C:\\WINDOWS\\system32");
                      });
                  },
                  true, "C:\\WINDOWS\\system32\\setup.log"},
        // Another user makes his empty folder a junction as a user's own
        // run opens its log there.
        PlaceCase{"AFolderMadeAJunctionAsTheLogOpens", os::sim::Machine::windowsXp, false,
                  "C:\\Shared\\Logs\\setup.log",
                  [](os::sim::SimOs& sim) {
                      sim.files().makeDirectories("C:\\Shared\\Logs");
                      sim.beforeCall("CreateFileA", "setup.log", [](os::sim::SimOs& s) {
                          s.files().junction("C:\\Shared\\Logs", "C:\\WINDOWS\\system32");
                      });
                  },
                  false, "", "the folder C:\\Shared\\Logs on the way to it is a link",
                  "C:\\WINDOWS\\system32\\setup.log"},
        // Whatever else keeps the path from being opened sends the log to
        // the default place too.
        PlaceCase{"AFolderMissing", os::sim::Machine::windowsXp, true, "C:\\WINDOWS\\Missing\\setup.log",
                  [](os::sim::SimOs&) {}, false, "",
                  "the folder C:\\WINDOWS\\Missing on the way to it cannot be opened (system error 2)"},
        PlaceCase{"AFolderClosedToTheAdministrators", os::sim::Machine::windowsXp, true,
                  "C:\\WINDOWS\\Closed\\setup.log",
                  [](os::sim::SimOs& sim) {
                      sim.files().makeDirectories("C:\\WINDOWS\\Closed");
                      sim.faults().fail("CreateFileA", ERROR_ACCESS_DENIED).when("C:\\WINDOWS\\Closed");
                  },
                  false, "", "the folder C:\\WINDOWS\\Closed on the way to it cannot be opened (system error 5)"},
        PlaceCase{"AFileThatCannotBeOpened", os::sim::Machine::windowsXp, true, "C:\\WINDOWS\\Logs\\setup.log",
                  [](os::sim::SimOs& sim) {
                      sim.files().writeFile("C:\\WINDOWS\\Logs\\setup.log", std::string());
                      sim.files().setAttributes("C:\\WINDOWS\\Logs\\setup.log", FILE_ATTRIBUTE_READONLY);
                  },
                  false, "", "it cannot be opened (system error 5)"},
        PlaceCase{"AFolderWithNoRoomBesideIt", os::sim::Machine::windowsXp, true, "C:\\WINDOWS\\Logs\\setup.log",
                  [](os::sim::SimOs& sim) {
                      sim.files().makeDirectories("C:\\WINDOWS\\Logs\\setup.log");
                      sim.faults().fail("CreateFileA", ERROR_ACCESS_DENIED).when("setup-");
                  },
                  false, "", "it is not a plain file of its own, and no new file could be made beside it"},
        PlaceCase{"AFolderMadeAJunctionAsTheLogOpensOnVista", os::sim::Machine::windowsVista, false,
                  "C:\\Shared\\Logs\\setup.log",
                  [](os::sim::SimOs& sim) {
                      sim.files().makeDirectories("C:\\Shared\\Logs");
                      sim.beforeCall("CreateFileA", "setup.log", [](os::sim::SimOs& s) {
                          s.files().junction("C:\\Shared\\Logs", "C:\\Windows\\system32");
                      });
                  },
                  false, "", "the folder C:\\Shared\\Logs on the way to it is a link",
                  "C:\\Windows\\system32\\setup.log"}),
    [](const ::testing::TestParamInfo<PlaceCase>& info) { return std::string(info.param.what); });

// Where the default place cannot be opened either, no log is kept: the
// installation goes on, and nothing is left open or made.
TEST(InstallLogFallbackTest, NoLogIsKeptOnlyWhereTheDefaultPlaceFailsToo) {
    testing_support::SimMachine machine;
    machine.sim.faults().fail("CreateFileA", ERROR_ACCESS_DENIED).when("PrinterDriverSetup");
    install::LogPlace place;
    place.path = "C:\\WINDOWS\\Missing\\setup.log";
    place.fallback = kFallback;
    install::setInstallLog(place);
    machine.sim.SetLastError(1234);
    install::logStep("a step");
    EXPECT_EQ(machine.sim.GetLastError(), 1234u) << "the step's own error stays";
    install::setInstallLog("");
    EXPECT_FALSE(machine.exists(kFallback));
    EXPECT_FALSE(machine.exists(place.path));
    EXPECT_EQ(machine.sim.openHandles(), 0u);
}

// A named pipe for a log: its server never hears from the program, and
// could never act as the program if it did.
TEST(InstallLogPipeTest, APipeIsNeverWrittenNorMadeToImpersonate) {
    for (const char* pipe : {"\\\\.\\pipe\\evil", "\\\\localhost\\pipe\\evil"}) {
        SCOPED_TRACE(pipe);
        testing_support::SimMachine machine;
        os::sim::SimOs::Pipe& server = machine.sim.servePipe("evil");
        install::LogPlace place;
        place.path = pipe;
        place.fallback = kFallback;
        place.administratorsOnly = true;
        install::setInstallLog(place);
        install::logStep("a step");
        install::setInstallLog("");
        EXPECT_EQ(server.received, "");
        for (DWORD level : server.clientLevels) EXPECT_LE(level, 1u) << "1: identification";
        const std::string log = machine.read(kFallback);
        EXPECT_NE(log.find(std::string("this log was meant for ") + pipe +
                           ", but it is not the path of a file on a disk or a share"),
                  std::string::npos)
            << log;
    }
}

}  // namespace

// The default log stays small: a startup script that runs the program at
// every start would have it grow without end. Once it has reached 1 MiB it
// is moved aside to its one earlier file as a run begins, by names alone:
// nothing another user put at the earlier file's name is written through.
namespace {

const char* const kAside = "C:\\WINDOWS\\PrinterDriverSetup.1.log";
const char* const kHosts = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";
const std::string kFullLog(1024 * 1024, 'x');

struct RotationCase {
    const char* what;
    void (*arrange)(os::sim::SimOs&);
    bool movedAside;
    const char* noted = "";       // on the new log's first line
    const char* meant = kFallback;  // the log the run is given
};

void PrintTo(const RotationCase& c, std::ostream* out) { *out << c.what; }

class InstallLogRotationTest : public testing_support::SimMachine, public ::testing::TestWithParam<RotationCase> {
protected:
    void TearDown() override { install::setInstallLog(""); }
};

TEST_P(InstallLogRotationTest, TheDefaultLogIsMovedAsideOnceFull) {
    const RotationCase& c = GetParam();
    write(kHosts, "127.0.0.1 localhost\r\n");
    sim.files().makeDirectories("C:\\WINDOWS\\Logs");
    write(c.meant, kFullLog);
    c.arrange(sim);
    const std::string before = read(c.meant);
    install::LogPlace place;
    place.path = c.meant;
    place.fallback = kFallback;
    install::setInstallLog(place);
    install::logStep("first step");
    install::setInstallLog("");

    EXPECT_EQ(read(kHosts), "127.0.0.1 localhost\r\n") << "nothing is written through a name";
    const std::string log = read(c.meant);
    EXPECT_NE(log.find("  first step\r\n"), std::string::npos);
    if (c.movedAside) {
        EXPECT_EQ(read(kAside), kFullLog);
        EXPECT_LT(log.size(), 200u) << "a new log is begun";
        EXPECT_NE(log.find(std::string("the earlier lines of this log are in ") + kAside), std::string::npos) << log;
    } else {
        EXPECT_EQ(log.rfind(before, 0), 0u) << "appended to";
        EXPECT_NE(log.find(c.noted, before.size()), std::string::npos) << log.substr(before.size());
        EXPECT_FALSE(exists(kAside) && read(kAside) == before) << "nothing moved aside";
    }
    EXPECT_EQ(sim.openHandles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rotations, InstallLogRotationTest,
    ::testing::Values(
        RotationCase{"Full", [](os::sim::SimOs&) {}, true},
        RotationCase{"UnderTheBound",
                     [](os::sim::SimOs& sim) { sim.files().writeFile(kFallback, kFullLog.substr(1)); }, false},
        RotationCase{"AnEarlierFileBefore",
                     [](os::sim::SimOs& sim) { sim.files().writeFile(kAside, std::string("the run before")); }, true},
        RotationCase{"TheEarlierNameALinkToASystemFile",
                     [](os::sim::SimOs& sim) { sim.files().symlink(kAside, kHosts); }, true},
        RotationCase{"TheEarlierNameASecondNameOfASystemFile",
                     [](os::sim::SimOs& sim) { sim.files().link(kHosts, kAside); }, true},
        RotationCase{"TheEarlierNameAFolder",
                     [](os::sim::SimOs& sim) { sim.files().makeDirectories(kAside); }, false,
                     "this log has reached its bound, but could not be moved to "
                     "C:\\WINDOWS\\PrinterDriverSetup.1.log (system error 5): it is appended to"},
        RotationCase{"TheMoveRefused",
                     [](os::sim::SimOs& sim) { sim.faults().fail("MoveFileExA", ERROR_SHARING_VIOLATION); }, false,
                     "(system error 32): it is appended to"},
        RotationCase{"ItsSizeUnknown",
                     [](os::sim::SimOs& sim) { sim.faults().fail("GetFileSize", ERROR_ACCESS_DENIED); }, false},
        // A log the command line names is the administrator's file: the
        // program never renames it.
        RotationCase{"ALogNamedOnTheCommandLine", [](os::sim::SimOs&) {}, false, "", "C:\\WINDOWS\\Logs\\setup.log"}),
    [](const ::testing::TestParamInfo<RotationCase>& info) { return std::string(info.param.what); });

// Someone who may write the folder swaps the full log for a link to a
// system file as it is moved aside: the link is what is moved, and the new
// log is a file of its own.
TEST(InstallLogRotationRaceTest, ALogSwappedForALinkAsItIsMovedIsNeverWrittenThrough) {
    testing_support::SimMachine machine;
    machine.write(kHosts, "127.0.0.1 localhost\r\n");
    machine.write(kFallback, kFullLog);
    machine.sim.beforeCall("MoveFileExA", "PrinterDriverSetup", [](os::sim::SimOs& s) {
        s.files().remove(kFallback);
        s.files().symlink(kFallback, kHosts);
    });
    install::LogPlace place;
    place.path = kFallback;
    place.fallback = kFallback;
    install::setInstallLog(place);
    install::logStep("a step");
    install::setInstallLog("");
    EXPECT_EQ(machine.read(kHosts), "127.0.0.1 localhost\r\n");
    const std::string log = machine.read(kFallback);
    EXPECT_NE(log.substr(0, log.find("\r\n")).find("the earlier lines of this log are in"), std::string::npos) << log;
    EXPECT_NE(log.find("  a step\r\n"), std::string::npos) << log;
}

// Where the new log cannot be opened once the full one is moved aside, no
// log is kept for the run, and the earlier lines stay whole.
TEST(InstallLogRotationFailureTest, ANewLogThatCannotBeOpenedLosesNoEarlierLine) {
    testing_support::SimMachine machine;
    machine.write(kFallback, kFullLog);
    machine.sim.faults().fail("CreateFileA", ERROR_ACCESS_DENIED).when("PrinterDriverSetup.log").after(1);
    install::LogPlace place;
    place.path = kFallback;
    place.fallback = kFallback;
    install::setInstallLog(place);
    install::logStep("a step");
    install::setInstallLog("");
    EXPECT_EQ(machine.read(kAside), kFullLog);
    EXPECT_FALSE(machine.exists(kFallback));
    EXPECT_EQ(machine.sim.openHandles(), 0u);
}

}  // namespace
