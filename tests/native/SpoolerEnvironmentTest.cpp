// Each component of the machine's spooler in the machine's own environment:
// on 64-bit Windows "Windows x64", named in every call, with its folders and
// version keys; on 32-bit Windows the spooler's default, as always.
#include "install/ComponentInstallers.h"
#include "install/FileStaging.h"
#include "install/SpoolerRegistration.h"
#include "os/World.h"
#include "support/EngineFixture.h"
#include "support/InstallFixture.h"

using os::sim::Machine;
using testing_support::EngineMachine;

namespace {

struct Row {
    const char* what;
    Machine machine;
    const char* folder;       // the spooler's folder of the environment
    const char* environment;  // as the machine keeps its components
    uint16_t processorBuild;  // what the spooler loads
};

TEST(SpoolerEnvironmentTest, EachComponentLandsInTheMachinesOwnEnvironment) {
    const Row rows[] = {
        {"32-bit Windows 7", Machine::windows7(), "W32X86", "Windows NT x86", IMAGE_FILE_MACHINE_I386},
        {"64-bit Windows 7", Machine::sixtyFourBit(Machine::windows7()), "x64", "Windows x64",
         IMAGE_FILE_MACHINE_AMD64},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EngineMachine machine(row.machine);
        auto& sim = machine.sim;
        const std::string spool = sim.machine().systemDirectory + "\\spool\\";
        machine.onMedium("A.BIN", "a");
        std::string error;
        for (int target : {install::kDriverDirectory, install::kVersion3Directory, install::kProcessorDirectory}) {
            std::string name = "A.BIN";
            EXPECT_EQ(install::copyDriverFile(name, target, 7, false, error), 1) << error;
        }
        EXPECT_TRUE(sim.files().isFile(spool + "DRIVERS\\" + row.folder + "\\A.BIN"));
        EXPECT_TRUE(sim.files().isFile(spool + "DRIVERS\\" + row.folder + "\\3\\A.BIN")) << "CopyTarget 999";
        EXPECT_TRUE(sim.files().isFile(spool + "PRTPROCS\\" + row.folder + "\\A.BIN"));

        EXPECT_EQ(install::processorKey(7, "MProc"),
                  std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\") + row.environment +
                      "\\Print Processors\\MProc");
        sim.files().writeFile(spool + "PRTPROCS\\" + row.folder + "\\MPROC.DLL",
                              os::sim::Spooler::dllExporting({"PrintDocumentOnPrintProcessor"}, row.processorBuild));
        EXPECT_EQ(install::addPrintProcessor("MProc", "MPROC.DLL", 7), 1) << sim.GetLastError();
        EXPECT_NE(sim.spooler().processor("MProc", row.environment), nullptr);
        EXPECT_TRUE(sim.registry().exists(HKEY_LOCAL_MACHINE, install::processorKey(7, "MProc")));

        // The driver's and the monitors' records name the machine's
        // environment where the program's own would be taken.
        machine.write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", testing_support::InstallScenario::monitorSections());
        machine.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", testing_support::InstallScenario::modelSections());
        config::DriverConfig configuration;
        configuration.setCategory(0);
        DRIVER_INFO_3A driver = {};
        configuration.buildDriverDescriptor("M", 7, &driver, config::kStd, config::kParallel);
        ASSERT_NE(driver.pName, nullptr);
        if (sim.machine().wow64())
            EXPECT_STREQ(driver.pEnvironment, row.environment);
        else
            EXPECT_EQ(driver.pEnvironment, nullptr);
        config::PortMonitorSet monitors;
        configuration.buildPortMonitors(7, &monitors);
        config::LanguageMonitorDescriptor language;
        configuration.buildLanguageMonitor(7, &language, config::kUsb);
        const bool named = sim.machine().wow64();
        for (const MONITOR_INFO_2A* record : {&monitors.serial, &monitors.usb, &language.info}) {
            ASSERT_NE(record->pName, nullptr);
            if (named)
                EXPECT_STREQ(record->pEnvironment, row.environment) << record->pName;
            else
                EXPECT_EQ(record->pEnvironment, nullptr) << record->pName;
        }
    }
}

}  // namespace

namespace {

// Monitors and their UI go where the spooler loads them from: on 64-bit
// Windows the native system directory, reached for the copy alone.
TEST(SpoolerEnvironmentTest, MonitorFilesReachTheNativeSystemDirectoryForTheCopyOnly) {
    struct Row {
        const char* what;
        Machine machine;
        bool sixtyFour;
    } rows[] = {
        {"32-bit Windows 7", Machine::windows7(), false},
        {"64-bit Windows 7", Machine::sixtyFourBit(Machine::windows7()), true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EngineMachine machine(row.machine);
        auto& sim = machine.sim;
        const os::sim::Machine& m = sim.machine();
        machine.onMedium("MON.DLL", "monitor");
        if (row.sixtyFour) machine.onMediumX64("MON.DLL", "monitor64");
        if (row.sixtyFour) sim.files().writeFile(m.wow64Directory() + "\\ONLY32.DLL", std::string("x"));
        std::string name = "MON.DLL", error;
        EXPECT_EQ(install::copyDriverFile(name, install::kSystemDirectory, 7, false, error), 1) << error;
        EXPECT_EQ(machine.read(m.systemDirectory + "\\MON.DLL"), row.sixtyFour ? "monitor64" : "monitor")
            << "the build of the machine's architecture";
        if (!row.sixtyFour) continue;
        EXPECT_FALSE(sim.files().isFile(m.wow64Directory() + "\\MON.DLL"));
        // Redirection is on again: the program's system directory is SysWOW64.
        EXPECT_NE(sim.GetFileAttributesA((m.systemDirectory + "\\ONLY32.DLL").c_str()), INVALID_FILE_ATTRIBUTES);
        // Other targets are never copied with redirection off.
        sim.clearJournal();
        std::string other = "MON.DLL";
        EXPECT_EQ(install::copyDriverFile(other, install::kDriverDirectory, 7, false, error), 1) << error;
        EXPECT_TRUE(sim.calls("Wow64DisableWow64FsRedirection").empty());
        // Where redirection cannot be turned off the copy fails and says why.
        sim.faults().fail("Wow64DisableWow64FsRedirection", ERROR_ACCESS_DENIED);
        std::string refused = "MON.DLL";
        EXPECT_EQ(install::copyDriverFile(refused, install::kSystemDirectory, 7, false, error), 0);
        EXPECT_NE(error.find("er = 5"), std::string::npos) << error;
    }
}

// The version-3 folder takes the medium's file on either architecture, as
// the 32-bit installation always has, whatever the time stamps say; a
// folder a clean system lacks is made first.
TEST(SpoolerEnvironmentTest, TheVersionFolderTakesTheMediumsFileOnEitherArchitecture) {
    Machine clean = Machine::sixtyFourBit(Machine::windows10());
    clean.versionFolders = false;
    struct Row {
        const char* what;
        Machine machine;
        os::Architecture architecture;  // the environment copied for
        const char* folder;
        bool installedFirst;  // a file the medium's is older than lies there
        DWORD folderRefusal;  // CreateDirectoryA fails with it (0: not)
        int result;
        const char* expected;  // the folder's file afterwards (null: none)
    } rows[] = {
        {"64-bit Windows 10, an older medium", Machine::sixtyFourBit(Machine::windows10()), os::Architecture::X64,
         "x64", true, 0, 1, "medium"},
        {"32-bit Windows 7, an older medium", Machine::windows7(), os::Architecture::X86, "W32X86", true, 0, 1,
         "medium"},
        {"64-bit Windows 10 without version folders, its own", clean, os::Architecture::X64, "x64", false, 0, 1,
         "medium"},
        {"64-bit Windows 10 without version folders, the x86 one", clean, os::Architecture::X86, "W32X86", false,
         0, 1, "medium"},
        {"64-bit Windows 10, the folder cannot be made", clean, os::Architecture::X64, "x64", false,
         ERROR_ACCESS_DENIED, 0, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EngineMachine machine(row.machine);
        const std::string folder = machine.sim.machine().systemDirectory + "\\spool\\DRIVERS\\" + row.folder + "\\3";
        if (row.installedFirst) {
            machine.onMedium("FONT.BIN", "medium");
            machine.write(folder + "\\FONT.BIN", "installed");
        } else {
            ASSERT_FALSE(machine.sim.files().isDirectory(folder));
            machine.onMedium("FONT.BIN", "medium");
        }
        if (row.folderRefusal) machine.sim.faults().fail("CreateDirectoryA", row.folderRefusal);
        std::string name = "FONT.BIN", error;
        EXPECT_EQ(install::copyDriverFile(name, install::kVersion3Directory, 7, false, error, row.architecture),
                  row.result)
            << error;
        if (row.expected)
            EXPECT_EQ(machine.read(folder + "\\FONT.BIN"), row.expected);
        else
            EXPECT_EQ(error.find("<IDS_ERR_COPYFIEL>FONT.BIN  er = " + std::to_string(row.folderRefusal)), 0u) << error;
        EXPECT_EQ(machine.sim.openHandles(), 0u);
    }
}

}  // namespace
