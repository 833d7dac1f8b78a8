#include "os/RunningSystem.h"

#include <atomic>

#include "os/Os.h"

namespace os {
namespace {

Architecture fromMachine(USHORT machine) {
    switch (machine) {
        case IMAGE_FILE_MACHINE_I386: return Architecture::X86;
        case IMAGE_FILE_MACHINE_AMD64: return Architecture::X64;
        case IMAGE_FILE_MACHINE_ARM64: return Architecture::Arm64;
        default: return Architecture::Other;
    }
}

Architecture fromProcessor(WORD processor) {
    switch (processor) {
        // Windows 2000 and older, which lack the call, run on x86 alone here.
        case PROCESSOR_ARCHITECTURE_UNKNOWN:
        case PROCESSOR_ARCHITECTURE_INTEL: return Architecture::X86;
        case PROCESSOR_ARCHITECTURE_AMD64: return Architecture::X64;
        case PROCESSOR_ARCHITECTURE_ARM64: return Architecture::Arm64;
        default: return Architecture::Other;
    }
}

// RtlGetVersion's answer over GetVersionExA's where it gives one.
void readTrueVersion(RunningSystem* system) {
    RTL_OSVERSIONINFOEXW truth = {};
    truth.dwOSVersionInfoSize = sizeof truth;
    if (sys().RtlGetVersion(&truth) != kStatusSuccess || truth.dwPlatformId != VER_PLATFORM_WIN32_NT) return;
    system->major = truth.dwMajorVersion;
    system->minor = truth.dwMinorVersion;
    system->build = truth.dwBuildNumber;
    system->server = truth.wProductType != VER_NT_WORKSTATION;
}

Architecture askedArchitecture() {
    Os& s = sys();
    USHORT process = IMAGE_FILE_MACHINE_UNKNOWN, native = IMAGE_FILE_MACHINE_UNKNOWN;
    if (s.IsWow64Process2(s.GetCurrentProcess(), &process, &native)) return fromMachine(native);
    SYSTEM_INFO info = {};
    s.GetNativeSystemInfo(&info);
    return fromProcessor(info.wProcessorArchitecture);
}

}  // namespace

Architecture machineArchitecture() {
    // Every spooler call names the machine's environment, so the answer is
    // kept: with the installation it is of, in one word that threads read
    // and write whole (the program's thread model has no mutex). The low
    // three bits hold the answer plus one, zero for none yet.
    static std::atomic<unsigned> known{0};
    const unsigned now = installation();
    const unsigned held = known.load();
    if ((held & 7u) != 0 && (held >> 3) == (now & 0x1FFFFFFFu))
        return static_cast<Architecture>((held & 7u) - 1);
    const Architecture asked = askedArchitecture();
    known.store(((now & 0x1FFFFFFFu) << 3) | (static_cast<unsigned>(asked) + 1));
    return asked;
}

RunningSystem runningSystem() {
    RunningSystem system;
    OSVERSIONINFOA version;
    if (!runningVersion(&version)) return system;
    system.readable = true;
    system.platform = version.dwPlatformId;
    system.major = system.reportedMajor = version.dwMajorVersion;
    system.minor = system.reportedMinor = version.dwMinorVersion;
    // The 9x line keeps its version in the build number's high word.
    system.build = version.dwPlatformId == VER_PLATFORM_WIN32_NT ? version.dwBuildNumber
                                                                 : version.dwBuildNumber & 0xFFFF;
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        readTrueVersion(&system);
        system.architecture = machineArchitecture();
    }
    return system;
}

const char* architectureName(Architecture architecture) {
    switch (architecture) {
        case Architecture::X86: return "x86";
        case Architecture::X64: return "x64";
        case Architecture::Arm64: return "ARM64";
        case Architecture::Other: break;
    }
    return "another processor";
}

}  // namespace os
