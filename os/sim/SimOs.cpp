#include "os/sim/SimOs.h"

#include <cstdlib>
#include <cstring>

#include "os/sim/SimObjects.h"
#include "os/sim/Text.h"

namespace os::sim {
namespace {

thread_local DWORD lastError = 0;

const char* const kPrintKey = "SYSTEM\\CurrentControlSet\\Control\\Print";

// Copies a directory-style result: the length without the terminator when
// it fits, else the size needed with the terminator and nothing copied.
DWORD copyDirectory(const std::string& text, char* buffer, DWORD size) {
    if (buffer == nullptr || size < text.size() + 1) return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

}  // namespace

SimOs::SimOs(const Machine& machine) : machine_(machine) { buildMachine(); }

// In SimOsDesktop.cpp.
void releaseLibraries(SimOs* owner);

SimOs::~SimOs() { releaseLibraries(this); }

void SimOs::buildMachine() {
    const Machine& m = machine_;
    files_.makeDirectories(m.windowsDirectory);
    files_.makeDirectories(m.systemDirectory);
    files_.makeDirectories(FileSystem::fullPath(m.tempDirectory, "C:\\"));
    files_.makeDirectories(m.currentDirectory);
    files_.makeDirectories(FileSystem::parentOf(m.modulePath));
    files_.writeFile(m.systemDirectory + "\\winspool.drv", std::string("MZ"));
    // Windows' own libraries, which programs import.
    for (const char* library : {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "msvcrt.dll"})
        files_.writeFile(m.systemDirectory + "\\" + library, std::string("MZ"));
    if (m.isNt()) files_.writeFile(m.systemDirectory + "\\ntdll.dll", std::string("MZ"));
    // The visual styles came with Windows XP.
    if (m.isNt() && (m.major > 5 || (m.major == 5 && m.minor >= 1)))
        files_.writeFile(m.systemDirectory + "\\uxtheme.dll", std::string("MZ"));
    registry_.setString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                        "ProgramFilesDir", "C:\\Program Files");
    if (m.wow64()) {
        // The 32-bit world: its system directory and its view of the machine's software.
        files_.makeDirectories(m.wow64Directory());
        files_.writeFile(m.wow64Directory() + "\\winspool.drv", std::string("MZ"));
        registry_.setString(HKEY_LOCAL_MACHINE,
                            "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion",
                            "ProgramFilesDir", "C:\\Program Files (x86)");
    }
    registry_.setString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion", "", "");

    Spooler::Monitor local;
    local.name = "Local Port";
    local.environment = m.environment();
    local.ports = {"LPT1:", "LPT2:", "LPT3:", "COM1:", "COM2:", "COM3:", "COM4:", "FILE:"};
    Spooler::Processor winprint;
    winprint.name = "WinPrint";
    winprint.environment = m.environment();
    winprint.datatypes = {"RAW", "RAW [FF appended]", "RAW [FF auto]", "NT EMF 1.008", "TEXT"};

    if (m.isNt()) {
        for (const std::string& software :
             m.wow64() ? std::vector<std::string>{"SOFTWARE", "SOFTWARE\\Wow6432Node"}
                       : std::vector<std::string>{"SOFTWARE"}) {
            const std::string current = software + "\\Microsoft\\Windows NT\\CurrentVersion";
            if (!m.productName.empty())
                registry_.setString(HKEY_LOCAL_MACHINE, current, "ProductName", m.productName);
            registry_.setString(HKEY_LOCAL_MACHINE, current, "CurrentVersion",
                                std::to_string(m.major) + "." + std::to_string(m.minor));
            for (const char* com : {"COM1:", "COM2:", "COM3:", "COM4:"})
                registry_.setString(HKEY_LOCAL_MACHINE, current + "\\Ports", com, "9600,n,8,1");
        }
        const std::string version = m.versionFolders ? "\\3" : "";
        files_.makeDirectories(m.systemDirectory + "\\spool\\DRIVERS\\W32X86" + version);
        files_.makeDirectories(m.systemDirectory + "\\spool\\PRTPROCS\\W32X86");
        if (m.wow64()) {
            files_.makeDirectories(m.systemDirectory + "\\spool\\DRIVERS\\x64" + version);
            files_.makeDirectories(m.systemDirectory + "\\spool\\PRTPROCS\\x64");
        }
        files_.writeFile(m.systemDirectory + "\\localspl.dll", std::string("MZ"));
        local.dll = "localspl.dll";
        winprint.dll = "winprint.dll";
        registry_.setString(HKEY_LOCAL_MACHINE, std::string(kPrintKey) + "\\Monitors\\Local Port",
                            "Driver", local.dll);
        // 64-bit Windows keeps an x86 winprint for its x86 clients besides its own.
        for (const std::string& environment : {m.callerEnvironment(), m.environment()})
            registry_.setString(HKEY_LOCAL_MACHINE,
                                std::string(kPrintKey) + "\\Environments\\" + environment +
                                    "\\Print Processors\\winprint",
                                "Driver", winprint.dll);
        services_.add("Spooler", SERVICE_RUNNING);
    } else {
        files_.writeFile(m.systemDirectory + "\\spoolss.dll", std::string("MZ"));
        local.dll = "spoolss.dll";
        winprint.dll = "spoolss.dll";
        registry_.setString(HKEY_LOCAL_MACHINE, std::string(kPrintKey) + "\\Monitors\\Local Port",
                            "Driver", local.dll);
        registry_.setString(HKEY_LOCAL_MACHINE,
                            std::string(kPrintKey) +
                                "\\Environments\\Windows 4.0\\Print Processors\\WinPrint",
                            "Driver", winprint.dll);
    }
    spooler_.monitors.push_back(local);
    spooler_.processors.push_back(winprint);
    if (m.wow64()) {
        winprint.environment = m.callerEnvironment();
        spooler_.processors.push_back(winprint);
    }
    files_.writeFile(m.windowsDirectory + "\\win.ini", std::string("[windows]\r\n"));
    secureFreshMachine(m, files_);
    setSpoolerLoaded(m.isNt());
}

std::string SimOs::fullPath(const std::string& path) const {
    return FileSystem::fullPath(path, machine_.currentDirectory);
}

std::vector<std::string> SimOs::journal() const {
    std::lock_guard<std::mutex> lock(recordMutex_);
    return journal_;
}

std::vector<std::string> SimOs::calls(const std::string& name) const {
    std::lock_guard<std::mutex> lock(recordMutex_);
    std::vector<std::string> result;
    for (const auto& entry : journal_) {
        if (entry.compare(0, name.size(), name) != 0) continue;
        if (entry.size() == name.size())
            result.push_back("");
        else if (entry[name.size()] == ' ')
            result.push_back(entry.substr(name.size() + 1));
    }
    return result;
}

void SimOs::clearJournal() {
    std::lock_guard<std::mutex> lock(recordMutex_);
    journal_.clear();
}

void SimOs::beforeCall(const std::string& call, const std::string& subject, std::function<void(SimOs&)> action) {
    std::lock_guard<std::mutex> lock(recordMutex_);
    races_.push_back({call, subject, std::move(action)});
}

bool SimOs::enter(const char* call, const std::string& subject) {
    std::function<void(SimOs&)> race;
    {
        std::lock_guard<std::mutex> lock(recordMutex_);
        journal_.push_back(subject.empty() ? std::string(call) : std::string(call) + " " + subject);
        for (auto it = races_.begin(); it != races_.end(); ++it) {
            if (it->call != call || !containsNoCase(subject, it->subject)) continue;
            race = std::move(it->action);
            races_.erase(it);
            break;
        }
    }
    if (race) race(*this);
    std::lock_guard<std::mutex> lock(recordMutex_);
    DWORD error = 0;
    if (faults_.take(call, subject, &error)) {
        lastError = error;
        return true;
    }
    return false;
}

void SimOs::fail(DWORD error) { lastError = error; }

bool SimOs::refusedOffNtOrRemote(LPCSTR machineName) {
    if (!machine_.isNt()) {
        fail(ERROR_CALL_NOT_IMPLEMENTED);
        return true;
    }
    if (machineName != nullptr && *machineName != '\0') {
        fail(RPC_S_SERVER_UNAVAILABLE);
        return true;
    }
    return false;
}

HANDLE SimOs::addObject(std::shared_ptr<Object> object) {
    uintptr_t value = nextHandle_;
    nextHandle_ += 4;
    objects_[value] = std::move(object);
    return reinterpret_cast<HANDLE>(value);
}

// --- Last error ------------------------------------------------------------

DWORD SimOs::GetLastError() { return lastError; }

void SimOs::SetLastError(DWORD code) { lastError = code; }

// --- Process, system and time ----------------------------------------------

BOOL SimOs::GetVersionExA(LPOSVERSIONINFOA info) {
    SIM_LOCK();
    if (enter("GetVersionExA")) return FALSE;
    if (info == nullptr) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // 148 is OSVERSIONINFOA, 156 OSVERSIONINFOEXA.
    if (info->dwOSVersionInfoSize != 148 && info->dwOSVersionInfoSize != 156) {
        fail(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    DWORD major = machine_.major, minor = machine_.minor, build = machine_.build;
    // From Windows 8.1 on, a system the program's manifest does not name is
    // told as Windows 8, or as the newest one the manifest names.
    const DWORD running = machine_.major << 8 | machine_.minor;
    const DWORD shown = machine_.manifestNames > 0x0602 ? machine_.manifestNames : 0x0602;
    if (machine_.isNt() && running > 0x0602 && running > shown) {
        major = shown >> 8;
        minor = shown & 0xFF;
        if (shown == 0x0602) build = 9200;
        if (shown == 0x0603) build = 9600;
    }
    info->dwMajorVersion = major;
    info->dwMinorVersion = minor;
    // The 9x family keeps the version in the high word of the build number.
    info->dwBuildNumber = machine_.isNt() ? build : ((major << 24) | (minor << 16) | build);
    info->dwPlatformId = machine_.platform;
    copyTruncated(machine_.servicePack, info->szCSDVersion, sizeof info->szCSDVersion);
    if (info->dwOSVersionInfoSize == 156) {
        // OSVERSIONINFOEXA goes on with the service pack's number, the suite
        // mask and the product type.
        BYTE* ex = reinterpret_cast<BYTE*>(info) + 148;
        std::memset(ex, 0, 8);
        WORD pack = 0;
        size_t digit = machine_.servicePack.find_first_of("0123456789");
        if (machine_.isNt() && digit != std::string::npos)
            pack = static_cast<WORD>(std::atoi(machine_.servicePack.c_str() + digit));
        std::memcpy(ex, &pack, 2);
        ex[6] = machine_.productType;
    }
    return TRUE;
}

LONG SimOs::RtlGetVersion(PRTL_OSVERSIONINFOEXW info) {
    if (!lookUp(SystemFunction::RtlGetVersion)) return kStatusNotImplemented;
    SIM_LOCK();
    // A fault stands for a failure of ntdll's own.
    if (enter("RtlGetVersion")) return static_cast<LONG>(0xC0000001);  // STATUS_UNSUCCESSFUL
    if (!machine_.ntAtLeast(5, 0)) return kStatusNotImplemented;
    // Whatever the size says, the short form is filled (and trusted to be
    // there); the longer one's fields only when the size is its own.
    if (info == nullptr) return kStatusInvalidParameter;
    info->dwMajorVersion = machine_.major;
    info->dwMinorVersion = machine_.minor;
    info->dwBuildNumber = machine_.build;
    info->dwPlatformId = machine_.platform;
    const size_t room = sizeof info->szCSDVersion / sizeof info->szCSDVersion[0];
    size_t length = machine_.servicePack.size() < room - 1 ? machine_.servicePack.size() : room - 1;
    for (size_t i = 0; i < length; ++i) info->szCSDVersion[i] = static_cast<unsigned char>(machine_.servicePack[i]);
    info->szCSDVersion[length] = 0;
    if (info->dwOSVersionInfoSize == sizeof *info) {
        size_t digit = machine_.servicePack.find_first_of("0123456789");
        info->wServicePackMajor =
            digit == std::string::npos ? 0 : static_cast<WORD>(std::atoi(machine_.servicePack.c_str() + digit));
        info->wServicePackMinor = 0;
        info->wSuiteMask = 0;
        info->wProductType = machine_.productType;
        info->wReserved = 0;
    }
    return kStatusSuccess;
}

DWORD SimOs::GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size) {
    SIM_LOCK();
    if (enter("GetModuleFileNameA")) return 0;
    const std::string& path = machine_.modulePath;
    if (size > path.size()) {
        std::memcpy(buffer, path.c_str(), path.size() + 1);
        return static_cast<DWORD>(path.size());
    }
    // A buffer that is too small: Windows XP and earlier fill it without a
    // terminator and report success; Vista and later terminate it and report
    // the shortage.
    if (size == 0) {
        fail(machine_.major >= 6 ? ERROR_INSUFFICIENT_BUFFER : ERROR_SUCCESS);
        return 0;
    }
    if (machine_.major >= 6) {
        copyTruncated(path, buffer, size);
        fail(ERROR_INSUFFICIENT_BUFFER);
    } else {
        std::memcpy(buffer, path.data(), size);
    }
    return size;
}

DWORD SimOs::GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    SIM_LOCK();
    if (enter("GetCurrentDirectoryA")) return 0;
    return copyDirectory(machine_.currentDirectory, buffer, size);
}

BOOL SimOs::SetCurrentDirectoryA(LPCSTR path) {
    SIM_LOCK();
    std::string full = path ? fullPath(path) : "";
    if (enter("SetCurrentDirectoryA", full)) return FALSE;
    DWORD attributes = 0;
    if (DWORD error = files_.getAttributes(full, &attributes)) {
        fail(error);
        return FALSE;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        fail(ERROR_DIRECTORY);
        return FALSE;
    }
    machine_.currentDirectory = full;
    return TRUE;
}

UINT SimOs::GetSystemDirectoryA(LPSTR buffer, UINT size) {
    SIM_LOCK();
    if (enter("GetSystemDirectoryA")) return 0;
    return copyDirectory(machine_.systemDirectory, buffer, size);
}

UINT SimOs::GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    SIM_LOCK();
    if (enter("GetWindowsDirectoryA")) return 0;
    return copyDirectory(machine_.windowsDirectory, buffer, size);
}

DWORD SimOs::GetTempPathA(DWORD size, LPSTR buffer) {
    SIM_LOCK();
    if (enter("GetTempPathA")) return 0;
    return copyDirectory(machine_.tempDirectory, buffer, size);
}

// The waits and the clock take the clock's lock and the journal's, never
// the machine's (Clock.h says why).
void SimOs::Sleep(DWORD milliseconds) {
    {
        std::lock_guard<std::mutex> lock(recordMutex_);
        journal_.push_back("Sleep " + std::to_string(milliseconds));
    }
    clock_.sleep(milliseconds);
}

DWORD SimOs::MsgWaitForMultipleObjects(DWORD count, const HANDLE*, BOOL, DWORD milliseconds, DWORD) {
    if (enter("MsgWaitForMultipleObjects")) return WAIT_FAILED;
    // Handles are not simulated: only the pure wait is.
    if (count != 0 || milliseconds == INFINITE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    Sleep(milliseconds);
    return WAIT_TIMEOUT;
}

BOOL SimOs::PeekMessageA(LPMSG message, HWND, UINT, UINT, UINT) {
    if (enter("PeekMessageA")) return FALSE;
    *message = MSG();
    return FALSE;
}

DWORD SimOs::GetTickCount() { return clock_.now(); }

void SimOs::GetLocalTime(LPSYSTEMTIME time) {
    {
        std::lock_guard<std::mutex> lock(recordMutex_);
        journal_.push_back("GetLocalTime");
    }
    DWORD now = clock_.now();
    DWORD seconds = 9 * 3600 + now / 1000;
    *time = SYSTEMTIME();
    time->wYear = 2009;
    time->wMonth = 6;
    time->wDay = static_cast<WORD>(1 + seconds / 86400);  // a month is long enough for any test
    time->wDayOfWeek = static_cast<WORD>((1 + seconds / 86400) % 7);  // 1 June 2009 was a Monday
    time->wHour = static_cast<WORD>(seconds / 3600 % 24);
    time->wMinute = static_cast<WORD>(seconds / 60 % 60);
    time->wSecond = static_cast<WORD>(seconds % 60);
    time->wMilliseconds = static_cast<WORD>(now % 1000);
}

HLOCAL SimOs::LocalAlloc(UINT flags, SIZE_T bytes) {
    SIM_LOCK();
    if (enter("LocalAlloc", std::to_string(bytes))) return nullptr;
    void* memory = (flags & LMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1)
                                           : std::malloc(bytes ? bytes : 1);
    if (memory == nullptr) fail(ERROR_NOT_ENOUGH_MEMORY);
    return memory;
}

HLOCAL SimOs::LocalFree(HLOCAL memory) {
    std::free(memory);
    return nullptr;
}

HGLOBAL SimOs::GlobalAlloc(UINT flags, SIZE_T bytes) {
    SIM_LOCK();
    if (enter("GlobalAlloc", std::to_string(bytes))) return nullptr;
    void* memory = (flags & GMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1)
                                           : std::malloc(bytes ? bytes : 1);
    if (memory == nullptr) fail(ERROR_NOT_ENOUGH_MEMORY);
    return memory;
}

HGLOBAL SimOs::GlobalFree(HGLOBAL memory) {
    std::free(memory);
    return nullptr;
}

}  // namespace os::sim
