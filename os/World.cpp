#include "os/World.h"

#include <atomic>

#include "os/Os.h"

namespace os {

const char* const kX86Environment = "Windows NT x86";

namespace {

Architecture fromImageMachine(USHORT machine) {
    switch (machine) {
        case IMAGE_FILE_MACHINE_I386: return Architecture::x86;
        case IMAGE_FILE_MACHINE_AMD64: return Architecture::x64;
        case IMAGE_FILE_MACHINE_ARM64: return Architecture::arm64;
        default: return Architecture::other;
    }
}

Architecture fromProcessorArchitecture(WORD architecture) {
    switch (architecture) {
        case PROCESSOR_ARCHITECTURE_INTEL: return Architecture::x86;
        case PROCESSOR_ARCHITECTURE_AMD64: return Architecture::x64;
        case PROCESSOR_ARCHITECTURE_ARM64: return Architecture::arm64;
        default: return Architecture::other;
    }
}

Architecture askedArchitecture() {
    Os& system = sys();
    USHORT process = IMAGE_FILE_MACHINE_UNKNOWN;
    USHORT native = IMAGE_FILE_MACHINE_UNKNOWN;
    if (system.IsWow64Process2(system.GetCurrentProcess(), &process, &native))
        return fromImageMachine(native);
    SYSTEM_INFO info = {};
    system.GetNativeSystemInfo(&info);
    return fromProcessorArchitecture(info.wProcessorArchitecture);
}

}  // namespace

Architecture machineArchitecture() {
    // The answer and the installation it is of, in one word that threads
    // read and write whole (the program's thread model has no mutex): the
    // low three bits hold the answer plus one, zero for none yet.
    static std::atomic<unsigned> known{0};
    const unsigned now = installation();
    const unsigned held = known.load();
    if ((held & 7u) != 0 && (held >> 3) == (now & 0x1FFFFFFFu))
        return static_cast<Architecture>((held & 7u) - 1);
    const Architecture asked = askedArchitecture();
    known.store(((now & 0x1FFFFFFFu) << 3) | (static_cast<unsigned>(asked) + 1));
    return asked;
}

LPSTR spoolerEnvironment() {
    return const_cast<LPSTR>(nativeEnvironment(machineArchitecture()));
}

const char* architectureName(Architecture machine) {
    switch (machine) {
        case Architecture::x86: return "x86";
        case Architecture::x64: return "x64";
        case Architecture::arm64: return "ARM64";
        default: return "unknown";
    }
}

REGSAM nativeRegistryView(Architecture machine) {
    return sixtyFourBit(machine) ? KEY_WOW64_64KEY : 0;
}

const char* nativeEnvironment(Architecture machine) {
    return machine == Architecture::x64 ? "Windows x64" : nullptr;
}

NativeSystemDirectory::NativeSystemDirectory(Architecture machine) {
    if (!sixtyFourBit(machine)) return;
    turnedOff_ = sys().Wow64DisableWow64FsRedirection(&previous_) != FALSE;
    if (!turnedOff_) error_ = sys().GetLastError();
    if (!turnedOff_ && error_ == 0) error_ = ERROR_INVALID_FUNCTION;
}

NativeSystemDirectory::~NativeSystemDirectory() {
    if (!turnedOff_) return;
    // What failed inside keeps its own error code for the caller.
    DWORD kept = sys().GetLastError();
    sys().Wow64RevertWow64FsRedirection(previous_);
    sys().SetLastError(kept);
}

}  // namespace os
