#include "os/Os.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include "os/win32/Win32Os.h"
#endif

namespace os {
namespace {

std::atomic<Os*> installed{nullptr};
std::atomic<unsigned> installations{0};

Os* defaultSystem() {
#ifdef _WIN32
    static Win32Os real;
    return &real;
#else
    return nullptr;
#endif
}

}  // namespace

Os& sys() {
    Os* current = installed.load();
    if (current == nullptr) current = defaultSystem();
    if (current == nullptr) {
        std::fputs("os::sys(): no system installed (the native build has only the simulation)\n",
                   stderr);
        std::abort();
    }
    return *current;
}

Os* install(Os* system) {
    installations++;
    return installed.exchange(system);
}

unsigned installation() { return installations.load(); }

bool runningVersion(OSVERSIONINFOA* version) {
    *version = OSVERSIONINFOA();
    version->dwOSVersionInfoSize = sizeof *version;
    return sys().GetVersionExA(version) != FALSE;
}

namespace {

struct SystemFunctionName {
    const char* library;
    const char* name;
};

// In the order of SystemFunction.
const SystemFunctionName kSystemFunctionNames[] = {
    {"ntdll.dll", "RtlGetVersion"},
    {"kernel32.dll", "IsWow64Process2"},
    {"kernel32.dll", "GetNativeSystemInfo"},
    {"kernel32.dll", "MoveFileExA"},
    {"kernel32.dll", "GetFinalPathNameByHandleA"},
    {"kernel32.dll", "Wow64DisableWow64FsRedirection"},
    {"kernel32.dll", "Wow64RevertWow64FsRedirection"},
    {"kernel32.dll", "SetDllDirectoryA"},
    {"kernel32.dll", "SetDefaultDllDirectories"},
    {"advapi32.dll", "CryptAcquireContextA"},
    {"advapi32.dll", "CryptGenRandom"},
    {"advapi32.dll", "CryptReleaseContext"},
    {"advapi32.dll", "LookupPrivilegeValueA"},
    {"advapi32.dll", "AdjustTokenPrivileges"},
    {"advapi32.dll", "GetKernelObjectSecurity"},
    {"version.dll", "GetFileVersionInfoSizeA"},
    {"version.dll", "GetFileVersionInfoA"},
    {"version.dll", "VerQueryValueA"},
    {"setupapi.dll", "SetupIterateCabinetA"},
    {"setupapi.dll", "SetupGetInfDriverStoreLocationA"},
    {"winspool.drv", "AddPrinterDriverA"},
    {"winspool.drv", "AddPrinterDriverExA"},
    {"winspool.drv", "DeletePrinterDriverA"},
    {"winspool.drv", "DeletePrinterDriverExA"},
    {"winspool.drv", "AddMonitorA"},
    {"winspool.drv", "DeleteMonitorA"},
    {"winspool.drv", "EnumMonitorsA"},
    {"winspool.drv", "AddPrintProcessorA"},
    {"winspool.drv", "AddPrinterA"},
    {"winspool.drv", "DeletePrintProcessorA"},
    {"winspool.drv", "EnumPrintersA"},
    {"winspool.drv", "EnumPrinterDriversA"},
    {"winspool.drv", "GetPrinterDriverA"},
    {"winspool.drv", "DeletePrinter"},
    {"winspool.drv", "EnumPortsA"},
    {"winspool.drv", "GetPrinterDriverDirectoryA"},
    {"winspool.drv", "GetPrintProcessorDirectoryA"},
    {"winspool.drv", "OpenPrinterA"},
    {"winspool.drv", "GetPrinterA"},
    {"winspool.drv", "SetPrinterA"},
    {"winspool.drv", "ClosePrinter"},
    {"winspool.drv", "GetDefaultPrinterA"},
    {"combase.dll", "RoInitialize"},
    {"combase.dll", "RoUninitialize"},
    {"combase.dll", "WindowsCreateString"},
    {"combase.dll", "WindowsDeleteString"},
    {"combase.dll", "RoGetActivationFactory"},
};
static_assert(sizeof kSystemFunctionNames / sizeof kSystemFunctionNames[0] ==
                  static_cast<size_t>(SystemFunction::Count),
              "one name for each function looked up");

}  // namespace

const char* systemFunctionLibrary(SystemFunction function) {
    return kSystemFunctionNames[static_cast<int>(function)].library;
}

const char* systemFunctionName(SystemFunction function) {
    return kSystemFunctionNames[static_cast<int>(function)].name;
}

FARPROC Os::lookUp(SystemFunction function) {
    const int index = static_cast<int>(function);
    if (FARPROC known = found_[index].load()) return known;
    const SystemFunctionName& wanted = kSystemFunctionNames[index];
    char directory[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(directory, sizeof directory);
    HMODULE module = nullptr;
    if (length != 0 && length < sizeof directory) {
        const std::string path = std::string(directory) + "\\" + wanted.library;
        module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    FARPROC proc = module ? GetProcAddress(module, wanted.name) : nullptr;
    if (proc == nullptr) {
        if (module) FreeLibrary(module);
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return nullptr;
    }
    // A second thread that found it too keeps its own reference: one more
    // load of a library that stays loaded anyway.
    kept_[index].store(module);
    found_[index].store(proc);
    return proc;
}

bool Os::keptLoaded(HMODULE module) const {
    for (const std::atomic<HMODULE>& kept : kept_)
        if (module != nullptr && kept.load() == module) return true;
    return false;
}

void Os::forgetLookUps() {
    for (std::atomic<FARPROC>& found : found_) found.store(nullptr);
    for (std::atomic<HMODULE>& kept : kept_) kept.store(nullptr);
}

bool isFile(const std::string& path) {
    const DWORD attributes = sys().GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace os
