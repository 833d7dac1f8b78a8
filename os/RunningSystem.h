// What the program runs on, as one reading: the version Windows runs as,
// what GetVersionExA tells the program, whether it is a server edition and
// the machine's processor.
#pragma once

#include "os/WinApi.h"

namespace os {

enum class Architecture { X86, X64, Arm64, Other };

struct RunningSystem {
    // GetVersionExA answered; without it nothing below is known.
    bool readable = false;
    DWORD platform = 0;
    // The version Windows runs as: RtlGetVersion's on the NT family where it
    // answers, else GetVersionExA's.
    DWORD major = 0;
    DWORD minor = 0;
    DWORD build = 0;
    // GetVersionExA's answer, which from Windows 8.1 on is 6.2 for a program
    // whose manifest does not name the system.
    DWORD reportedMajor = 0;
    DWORD reportedMinor = 0;
    // wProductType is not VER_NT_WORKSTATION (RtlGetVersion's; false where it
    // does not answer).
    bool server = false;
    Architecture architecture = Architecture::X86;

    bool isNt() const { return readable && platform == VER_PLATFORM_WIN32_NT; }
    // The NT family at this version or later.
    bool ntAtLeast(DWORD wantedMajor, DWORD wantedMinor) const {
        return isNt() && (major > wantedMajor || (major == wantedMajor && minor >= wantedMinor));
    }
};

// Reads it through os::sys().
RunningSystem runningSystem();

// The machine's processor: IsWow64Process2 where the system has it (an x86
// program on ARM64 is told so only there), else GetNativeSystemInfo; a
// system with neither is a 32-bit x86 one. Asked once of each system in
// use: the machine does not change under a run.
Architecture machineArchitecture();

// "x86", "x64", "ARM64" or "another processor".
const char* architectureName(Architecture architecture);

}  // namespace os
