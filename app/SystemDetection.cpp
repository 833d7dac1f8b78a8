#include "app/SystemDetection.h"

#include <cstring>

#include "install/InstallLog.h"
#include "install/RegistryKey.h"
#include "os/Os.h"

namespace app {

const char* const kCompatibilityKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";

namespace {

const char* const kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

int ntTargetOs(DWORD major, DWORD minor) {
    if (major == 4) return minor == 0 ? kWindowsNt4 : kWindows98Me;
    if (major == 5) {
        if (minor == 0) return kWindows2000;
        if (minor == 1) return kWindowsXp;
        if (minor == 2) return kWindows2003;
        return kWindows98Me;
    }
    if (major == 6) {
        if (minor == 0) return productNameHas2008() ? kWindows2008 : kWindowsVista;
        // Windows 8 and 8.1 keep Windows 7's driver model and spooler calls.
        if (minor >= 1 && minor <= 3) return kWindows7;
    }
    if (major == 10 && minor == 0) return kWindows7;
    return kWindows98Me;
}

std::string versionText(DWORD major, DWORD minor) { return std::to_string(major) + "." + std::to_string(minor); }

std::string ntName(const os::RunningSystem& s) {
    const DWORD version = s.major << 8 | s.minor;
    switch (version) {
        case 0x0400: return "Windows NT 4.0";
        case 0x0500: return "Windows 2000";
        case 0x0501: return "Windows XP";
        case 0x0502: return s.server ? "Windows Server 2003" : "Windows XP Professional x64 Edition";
        case 0x0600: return productNameHas2008() ? "Windows Server 2008" : "Windows Vista";
        case 0x0601: return s.server ? "Windows Server 2008 R2" : "Windows 7";
        case 0x0602: return s.server ? "Windows Server 2012" : "Windows 8";
        case 0x0603: return s.server ? "Windows Server 2012 R2" : "Windows 8.1";
        case 0x0A00: break;
        default: return "Windows NT " + versionText(s.major, s.minor);
    }
    if (!s.server) return s.build >= 22000 ? "Windows 11" : "Windows 10";
    if (s.build >= 26100) return "Windows Server 2025";
    if (s.build >= 20348) return "Windows Server 2022";
    if (s.build >= 17763) return "Windows Server 2019";
    if (s.build >= 14393) return "Windows Server 2016";
    return "Windows Server";
}

}  // namespace

bool productNameHas2008() {
    HKEY key = nullptr;
    if (os::sys().RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return false;
    char name[256] = {};
    // One byte stays zero, so a value without its terminator is still a text.
    DWORD size = sizeof name - 1;
    LONG read = os::sys().RegQueryValueExA(key, "ProductName", nullptr, nullptr,
                                           reinterpret_cast<BYTE*>(name), &size);
    os::sys().RegCloseKey(key);
    // After a failed read the buffer holds nothing dependable.
    return read == ERROR_SUCCESS && std::strstr(name, "2008") != nullptr;
}

int targetOsOf(const os::RunningSystem& system) {
    return system.isNt() ? ntTargetOs(system.major, system.minor) : kWindows98Me;
}

int detectTargetOs() { return targetOsOf(os::runningSystem()); }

std::string systemName(const os::RunningSystem& system) {
    if (!system.readable) return "a Windows whose version cannot be read";
    if (system.platform == VER_PLATFORM_WIN32_WINDOWS) {
        if (system.minor == 0) return "Windows 95";
        if (system.minor == 10) return "Windows 98";
        if (system.minor == 90) return "Windows Me";
        return "Windows " + versionText(system.major, system.minor);
    }
    if (system.platform != VER_PLATFORM_WIN32_NT) return "a Windows of platform " + std::to_string(system.platform);
    return ntName(system);
}

std::string describeSystem(const os::RunningSystem& system) {
    if (!system.readable) return systemName(system);
    std::string text = systemName(system) + " (" + versionText(system.major, system.minor) + "." +
                       std::to_string(system.build) + ")";
    if (system.isNt()) text += std::string(" ") + os::architectureName(system.architecture);
    return text + "; GetVersionEx " + versionText(system.reportedMajor, system.reportedMinor);
}

void logRunningSystem() { install::logStep("running on " + describeSystem(os::runningSystem())); }

OsPageChoice osPageChoice(const os::RunningSystem& system) {
    OsPageChoice choice;
    if (system.platform == VER_PLATFORM_WIN32_WINDOWS) {
        // Windows 95 (minor version 0) marks nothing.
        choice.marked = system.minor != 0;
        return choice;
    }
    if (system.platform != VER_PLATFORM_WIN32_NT) {
        choice.unknownPlatform = true;
        return choice;
    }
    choice.targetOs = targetOsOf(system);
    choice.marked = choice.targetOs != kWindows98Me;
    choice.vista = choice.targetOs == kWindowsVista;
    return choice;
}

void recordVistaCompatibility() {
    char path[260] = {};
    DWORD length = os::sys().GetModuleFileNameA(nullptr, path, sizeof path);
    // Without the program's whole path there is nothing to name: a cut path
    // would name another program, an empty one the key's default value.
    if (length == 0 || length >= sizeof path) return;
    install::CreateRegistryKey(HKEY_CURRENT_USER, kCompatibilityKey);
    install::RegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, kCompatibilityKey)) key.SetDword(path, 1);
    key.Close();
}

}  // namespace app
