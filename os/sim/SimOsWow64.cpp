// The program is a 32-bit x86 one. On 64-bit Windows it runs under WOW64,
// which shows it a world of its own: the system directory is SysWOW64, the
// machine's software keys those under Wow6432Node, and the spooler takes
// its environment, "Windows NT x86", where a call names none. The spooler
// itself, a native service, sees the machine as it is.
#include "os/sim/SimObjects.h"

namespace os::sim {
namespace {

const char* const kSoftware = "SOFTWARE";
const char* const kWow6432Node = "Wow6432Node";

// The first component of a relative path, and what follows its backslash.
std::string firstComponent(const std::string& path, std::string* rest) {
    size_t slash = path.find('\\');
    if (rest) *rest = slash == std::string::npos ? std::string() : path.substr(slash + 1);
    return path.substr(0, slash);
}

// `path` lies in `folder` (both full paths): what follows it, "" for the folder itself.
bool inside(const std::string& path, const std::string& folder, std::string* rest) {
    if (path.size() < folder.size() || !equalsNoCase(path.substr(0, folder.size()), folder))
        return false;
    if (path.size() == folder.size()) {
        rest->clear();
        return true;
    }
    if (path[folder.size()] != '\\') return false;
    *rest = path.substr(folder.size() + 1);
    return true;
}

// The folders of system32 that both worlds share.
bool shared(const Machine& m, const std::string& rest) {
    std::string below;
    std::string first = firstComponent(rest, &below);
    for (const char* folder : {"catroot", "catroot2", "LogFiles", "spool"})
        if (equalsNoCase(first, folder)) return true;
    if (equalsNoCase(first, "drivers") && equalsNoCase(firstComponent(below, nullptr), "etc"))
        return true;
    // Windows 7 and later share the driver store too.
    bool seven = m.major > 6 || (m.major == 6 && m.minor >= 1);
    return seven && equalsNoCase(first, "DriverStore");
}

// The processor as GetNativeSystemInfo tells it to this x86 program. On
// ARM64 it is told of the processor it is emulated on: x86, or x64 where
// Windows 11 emulates that too.
WORD toldProcessor(const Machine& m) {
    switch (m.nativeMachine) {
        case IMAGE_FILE_MACHINE_AMD64: return PROCESSOR_ARCHITECTURE_AMD64;
        case IMAGE_FILE_MACHINE_IA64: return PROCESSOR_ARCHITECTURE_IA64;
        case IMAGE_FILE_MACHINE_ARM64:
            return m.ntAtLeast(10, 0) && m.build >= 22000 ? PROCESSOR_ARCHITECTURE_AMD64
                                                          : PROCESSOR_ARCHITECTURE_INTEL;
        default: return PROCESSOR_ARCHITECTURE_INTEL;
    }
}

}  // namespace

bool SimOs::redirectionOffHere() const {
    auto off = redirectionOff_.find(std::this_thread::get_id());
    return machine_.wow64() && off != redirectionOff_.end() && off->second;
}

std::string SimOs::programPath(const std::string& path) const {
    std::string full = fullPath(path);
    if (!machine_.wow64() || full.empty()) return full;
    auto off = redirectionOff_.find(std::this_thread::get_id());
    if (off != redirectionOff_.end() && off->second) return full;
    std::string rest;
    if (inside(full, machine_.windowsDirectory + "\\Sysnative", &rest) && machine_.major >= 6)
        return rest.empty() ? machine_.systemDirectory : machine_.systemDirectory + "\\" + rest;
    if (!inside(full, machine_.systemDirectory, &rest) || shared(machine_, rest)) return full;
    return rest.empty() ? machine_.wow64Directory() : machine_.wow64Directory() + "\\" + rest;
}

std::string SimOs::viewedKey(HKEY root, const std::string& subKey, REGSAM access) const {
    if (!machine_.wow64() || root != HKEY_LOCAL_MACHINE || (access & KEY_WOW64_64KEY))
        return subKey;
    std::string rest;
    if (!equalsNoCase(firstComponent(subKey, &rest), kSoftware)) return subKey;
    if (equalsNoCase(firstComponent(rest, nullptr), kWow6432Node)) return subKey;
    return subKey.substr(0, std::string(kSoftware).size()) + "\\" + kWow6432Node +
           (rest.empty() ? std::string() : "\\" + rest);
}

BOOL SimOs::IsWow64Process2(HANDLE process, USHORT* processMachine, USHORT* nativeMachine) {
    if (!lookUp(SystemFunction::IsWow64Process2)) return FALSE;
    SIM_LOCK();
    if (enter("IsWow64Process2")) return FALSE;
    if (!machine_.hasIsWow64Process2()) {
        fail(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    if (process != GetCurrentProcess() || processMachine == nullptr) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The program is an x86 one: emulated everywhere but on x86.
    *processMachine = machine_.wow64() ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_UNKNOWN;
    if (nativeMachine) *nativeMachine = machine_.nativeMachine;
    return TRUE;
}

void SimOs::GetNativeSystemInfo(LPSYSTEM_INFO info) {
    if (!lookUp(SystemFunction::GetNativeSystemInfo)) {
        *info = SYSTEM_INFO();
        info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
        return;
    }
    SIM_LOCK();
    enter("GetNativeSystemInfo");
    *info = SYSTEM_INFO();
    if (!machine_.hasNativeSystemInfo()) {
        info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
        fail(ERROR_CALL_NOT_IMPLEMENTED);
        return;
    }
    info->wProcessorArchitecture = toldProcessor(machine_);
    info->dwPageSize = 4096;
    info->dwNumberOfProcessors = 2;
    info->dwAllocationGranularity = 65536;
}

BOOL SimOs::Wow64DisableWow64FsRedirection(PVOID* oldValue) {
    if (!lookUp(SystemFunction::Wow64DisableWow64FsRedirection)) return FALSE;
    SIM_LOCK();
    if (enter("Wow64DisableWow64FsRedirection")) return FALSE;
    if (!machine_.wow64()) {
        // 32-bit Vista and later export it and refuse; older ones lack it.
        fail(machine_.isNt() && machine_.major >= 6 ? ERROR_INVALID_FUNCTION
                                                    : ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    if (oldValue == nullptr) {
        fail(ERROR_NOACCESS);
        return FALSE;
    }
    bool& off = redirectionOff_[std::this_thread::get_id()];
    *oldValue = reinterpret_cast<PVOID>(static_cast<uintptr_t>(off ? 1 : 0));
    off = true;
    return TRUE;
}

BOOL SimOs::Wow64RevertWow64FsRedirection(PVOID oldValue) {
    if (!lookUp(SystemFunction::Wow64RevertWow64FsRedirection)) return FALSE;
    SIM_LOCK();
    if (enter("Wow64RevertWow64FsRedirection")) return FALSE;
    if (!machine_.wow64()) {
        fail(machine_.isNt() && machine_.major >= 6 ? ERROR_INVALID_FUNCTION
                                                    : ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    redirectionOff_[std::this_thread::get_id()] = reinterpret_cast<uintptr_t>(oldValue) != 0;
    return TRUE;
}

}  // namespace os::sim
