#include "os/World.h"

#include <atomic>

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

namespace {

// One more than the installation of the system (os::installation) on which
// a revert failed; 0: none.
std::atomic<unsigned> leftOffOn{0};

}  // namespace

bool redirectionLeftOff() {
    return leftOffOn.load() == installation() + 1;
}

NativeSystemDirectory::NativeSystemDirectory(Architecture machine, std::initializer_list<SystemFunction> needed) {
    if (!sixtyFourBit(machine)) return;
    // A thread that could not turn it back on once does not turn it off again.
    if (redirectionLeftOff()) {
        error_ = ERROR_INVALID_FUNCTION;
        return;
    }
    for (SystemFunction function : needed) {
        if (sys().lookUp(function) == nullptr) {
            error_ = ERROR_CALL_NOT_IMPLEMENTED;
            return;
        }
    }
    if (sys().lookUp(SystemFunction::Wow64RevertWow64FsRedirection) == nullptr) {
        error_ = ERROR_CALL_NOT_IMPLEMENTED;
        return;
    }
    turnedOff_ = sys().Wow64DisableWow64FsRedirection(&previous_) != FALSE;
    if (!turnedOff_) error_ = sys().GetLastError();
    if (!turnedOff_ && error_ == 0) error_ = ERROR_INVALID_FUNCTION;
}

bool NativeSystemDirectory::restore() {
    if (!turnedOff_) return true;
    // What failed inside keeps its own error code for the caller.
    const DWORD kept = sys().GetLastError();
    turnedOff_ = false;
    if (!sys().Wow64RevertWow64FsRedirection(previous_)) {
        error_ = sys().GetLastError();
        if (error_ == 0) error_ = ERROR_INVALID_FUNCTION;
        leftOffOn.store(installation() + 1);
        return false;
    }
    sys().SetLastError(kept);
    return true;
}

NativeSystemDirectory::~NativeSystemDirectory() { restore(); }

}  // namespace os
