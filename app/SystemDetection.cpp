#include "app/SystemDetection.h"

#include <cstring>

#include "install/RegistryKey.h"
#include "os/Os.h"

namespace app {

const char* const kCompatibilityKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";

namespace {

const char* const kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

int ntTargetOs(const OSVERSIONINFOA& version) {
    DWORD major = version.dwMajorVersion, minor = version.dwMinorVersion;
    if (major == 4) return minor == 0 ? kWindowsNt4 : kWindows98Me;
    if (major == 5) {
        if (minor == 0) return kWindows2000;
        if (minor == 1) return kWindowsXp;
        if (minor == 2) return kWindows2003;
        return kWindows98Me;
    }
    if (major == 6) {
        if (minor == 0) return productNameHas2008() ? kWindows2008 : kWindowsVista;
        if (minor == 1) return kWindows7;
    }
    return kWindows98Me;
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

int targetOsOf(const OSVERSIONINFOA& version) {
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) return ntTargetOs(version);
    return kWindows98Me;
}

int detectTargetOs() {
    OSVERSIONINFOA version;
    if (!os::runningVersion(&version)) return kWindows98Me;
    return targetOsOf(version);
}

OsPageChoice osPageChoice(const OSVERSIONINFOA& version) {
    OsPageChoice choice;
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        // Windows 95 (minor version 0) marks nothing.
        choice.marked = version.dwMinorVersion != 0;
        return choice;
    }
    if (version.dwPlatformId != VER_PLATFORM_WIN32_NT) {
        choice.unknownPlatform = true;
        return choice;
    }
    choice.targetOs = ntTargetOs(version);
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
