// Which world the program's calls are made in: the machine's architecture
// however Windows can tell it, and the native system directory reached for
// one copy only.
#include <gtest/gtest.h>

#include "install/UsbPortRegistry.h"
#include "os/World.h"
#include "support/SimMachine.h"

using os::Architecture;
using os::sim::Machine;

namespace {

Machine windows10(WORD nativeMachine, DWORD build) {
    Machine m = Machine::sixtyFourBit(Machine::windows8(), nativeMachine);
    m.major = 10;
    m.minor = 0;
    m.build = build;
    return m;
}

TEST(MachineWorld, TheArchitectureIsTheMachinesWhateverWindowsOffersToTellIt) {
    struct Row {
        const char* what;
        Machine machine;
        Architecture expected;
    } rows[] = {
        {"Windows 2000, before GetNativeSystemInfo", Machine::windows2000(), Architecture::X86},
        {"32-bit XP", Machine::windowsXp(), Architecture::X86},
        {"64-bit Windows 7, before IsWow64Process2",
         Machine::sixtyFourBit(Machine::windows7()), Architecture::X64},
        {"64-bit Windows 10 1607, before IsWow64Process2",
         windows10(IMAGE_FILE_MACHINE_AMD64, 14393), Architecture::X64},
        {"64-bit Windows 10 22H2", windows10(IMAGE_FILE_MACHINE_AMD64, 19045), Architecture::X64},
        {"Windows 10 on ARM64", windows10(IMAGE_FILE_MACHINE_ARM64, 19045), Architecture::Arm64},
        {"32-bit Windows 10", windows10(IMAGE_FILE_MACHINE_I386, 19045), Architecture::X86},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        testing_support::SimMachine machine(row.machine);
        EXPECT_EQ(os::machineArchitecture(), row.expected);
    }
}

TEST(MachineWorld, TheNativeSystemDirectoryIsReachedOnlyInsideTheScope) {
    for (bool sixtyFour : {false, true}) {
        SCOPED_TRACE(sixtyFour ? "64-bit Windows 7" : "32-bit Windows 7");
        testing_support::SimMachine machine(
            sixtyFour ? Machine::sixtyFourBit(Machine::windows7()) : Machine::windows7());
        auto& sim = machine.sim;
        const std::string probe = sim.machine().systemDirectory + "\\probe.dll";
        sim.files().writeFile(probe, std::string("native"));
        const Architecture architecture = os::machineArchitecture();
        {
            os::NativeSystemDirectory native(architecture);
            EXPECT_TRUE(native.reached());
            EXPECT_NE(sim.GetFileAttributesA(probe.c_str()), INVALID_FILE_ATTRIBUTES);
            // A failure inside keeps its code past the scope's end.
            sim.SetLastError(ERROR_SHARING_VIOLATION);
        }
        EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(sim.GetFileAttributesA(probe.c_str()) != INVALID_FILE_ATTRIBUTES, !sixtyFour)
            << "redirection is back on after the scope";
        // 32-bit Windows is never asked: its answer would be a failure.
        EXPECT_EQ(sim.calls("Wow64DisableWow64FsRedirection").size(), sixtyFour ? 1u : 0u);
    }
}

TEST(MachineWorld, ARefusedTurnOffIsReportedAndNotUndone) {
    testing_support::SimMachine machine(Machine::sixtyFourBit(Machine::windows7()));
    machine.sim.faults().fail("Wow64DisableWow64FsRedirection", ERROR_ACCESS_DENIED);
    {
        os::NativeSystemDirectory native(Architecture::X64);
        EXPECT_FALSE(native.reached());
        EXPECT_EQ(native.error(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    EXPECT_TRUE(machine.sim.calls("Wow64RevertWow64FsRedirection").empty());
}

// The maker's 64-bit port monitor reads the USB port records in the
// machine's own view; Windows 2000 refuses the view flag altogether.
TEST(MachineWorld, UsbPortRecordsAreKeptInTheMachinesOwnRegistryView) {
    const struct {
        const char* what;
        Machine machine;
    } rows[] = {
        {"Windows 2000", Machine::windows2000()},
        {"32-bit Windows 7", Machine::windows7()},
        {"64-bit Windows 7", Machine::sixtyFourBit(Machine::windows7())},
        {"64-bit Windows 10", Machine::sixtyFourBit(Machine::windows10())},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        testing_support::SimMachine machine(row.machine);
        install::RegisterUsbPort("USB_RP-80_1");
        for (const char* key : {install::kPortNameKey, install::kPrinterPortKey}) {
            EXPECT_TRUE(machine.sim.registry().exists(HKEY_LOCAL_MACHINE, key)) << key;
            EXPECT_FALSE(machine.sim.registry().exists(HKEY_LOCAL_MACHINE,
                                                       std::string("SOFTWARE\\Wow6432Node\\") + (key + 9)))
                << key;
        }
    }
}

}  // namespace
