#include "os/World.h"

#include "os/Os.h"

namespace os {

const char* const kX86Environment = "Windows NT x86";

LPSTR spoolerEnvironment() {
    return const_cast<LPSTR>(nativeEnvironment(machineArchitecture()));
}

LPSTR environmentFor(Architecture installed) {
    if (installed == machineArchitecture()) return spoolerEnvironment();
    return const_cast<LPSTR>(kX86Environment);
}

REGSAM nativeRegistryView(Architecture machine) {
    return sixtyFourBit(machine) ? KEY_WOW64_64KEY : 0;
}

const char* nativeEnvironment(Architecture machine) {
    return machine == Architecture::X64 ? "Windows x64" : nullptr;
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
