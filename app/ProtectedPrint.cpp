#include "app/ProtectedPrint.h"

#include <cstdio>

#include "app/Startup.h"
#include "config/Wordings.h"
#include "install/InstallLog.h"
#include "os/Os.h"
#include "os/RunningSystem.h"
#include "os/World.h"

namespace app {

const char* const kProtectedPrintPolicyKey = "SOFTWARE\\Policies\\Microsoft\\Windows NT\\Printers\\WPP";
const char* const kProtectedPrintPolicyValue = "WindowsProtectedPrintGroupPolicyState";

namespace {

// The first build with the mode: Windows 11 24H2 and Server 2025. Earlier
// systems ignore the policy, and may well carry it from a domain's settings.
const DWORD kFirstBuildWithTheMode = 26100;

// The policy's value as the log names it, whatever it is: a domain may
// carry it to any build, and a value other than 1 may still be worth seeing
// beside a driver the spooler refuses. True when it turns the mode on.
bool policyTurnsItOn() {
    HKEY key = nullptr;
    // The machine's own view: on 64-bit Windows the program's is Wow6432Node's.
    const REGSAM access = KEY_QUERY_VALUE | os::nativeRegistryView(os::machineArchitecture());
    DWORD value = 0, size = sizeof value, type = REG_NONE;
    LONG read = os::sys().RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProtectedPrintPolicyKey, 0, access, &key);
    if (read == ERROR_SUCCESS) {
        read = os::sys().RegQueryValueExA(key, kProtectedPrintPolicyValue, nullptr, &type,
                                          reinterpret_cast<BYTE*>(&value), &size);
        os::sys().RegCloseKey(key);
    }
    const bool number = read == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value;
    std::string said;
    if (number)
        said = "is " + std::to_string(value);
    else if (read == ERROR_SUCCESS || read == ERROR_MORE_DATA)
        said = "is no number (registry type " + std::to_string(type) + ")";
    else if (read == ERROR_FILE_NOT_FOUND)
        said = "is not set";
    else
        said = "could not be read (system error " + std::to_string(read) + ")";
    install::logStep(std::string("protected print policy: ") + kProtectedPrintPolicyValue + " " + said);
    return number && value == 1;
}

bool windowsSaysItIsOn() {
    // Windows answers from its printing libraries, which may load the
    // spooler's by name: the wizard asks before its window, before it loads
    // those at its own time.
    loadLibrariesForWork();
    BOOL on = FALSE;
    HRESULT result = os::sys().IsProtectedPrintEnabled(&on);
    if (FAILED(result)) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(static_cast<DWORD>(result)));
        install::logStep(std::string("Windows could not say whether protected print mode is on (") + code + ")");
        return false;
    }
    return on != FALSE;
}

}  // namespace

std::string protectedPrintRefusal() {
    const os::RunningSystem system = os::runningSystem();
    if (!system.ntAtLeast(10, 0) || system.build < kFirstBuildWithTheMode) return "";
    if (policyTurnsItOn())
        install::logStep(std::string("Windows protected print mode is on by group policy (") +
                         kProtectedPrintPolicyValue + " is 1)");
    else if (windowsSaysItIsOn())
        install::logStep("Windows protected print mode is on, Windows says");
    else
        return "";
    return shownText(kProtectedPrintRefused);
}

}  // namespace app
