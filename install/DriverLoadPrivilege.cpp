#include "install/DriverLoadPrivilege.h"

#include <atomic>
#include <string>

#include "install/InstallLog.h"
#include "os/Os.h"

namespace install {
namespace {

const char kDriverLoadPrivilege[] = "SeLoadDriverPrivilege";

bool notEnabled(const std::string& why, DWORD error) {
    logStep(std::string(kDriverLoadPrivilege) + " not enabled: " + why + " (system error " + std::to_string(error) +
            ")");
    return false;
}

bool enableOnce() {
    HANDLE token = nullptr;
    if (!os::sys().OpenProcessToken(os::sys().GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return notEnabled("the process token could not be opened", os::sys().GetLastError());
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool enabled = false;
    DWORD error = 0;
    std::string why;
    if (!os::sys().LookupPrivilegeValueA(nullptr, kDriverLoadPrivilege, &privileges.Privileges[0].Luid)) {
        error = os::sys().GetLastError();
        why = "the system does not know it";
    } else {
        // The call succeeds also for a privilege the token lacks; only the
        // last error tells.
        os::sys().SetLastError(ERROR_SUCCESS);
        const BOOL adjusted =
            os::sys().AdjustTokenPrivileges(token, FALSE, &privileges, sizeof privileges, nullptr, nullptr);
        error = os::sys().GetLastError();
        enabled = adjusted && error == ERROR_SUCCESS;
        why = !adjusted ? "the token could not be changed" : "the account does not hold it";
    }
    os::sys().CloseHandle(token);
    return enabled || notEnabled(why, error);
}

bool ntFamily() {
    OSVERSIONINFOA version;
    return os::runningVersion(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// The system (os::installation) the privilege was asked for on, plus one; and its answer.
std::atomic<unsigned> askedOn{0};
std::atomic<bool> answer{false};

}  // namespace

bool enableDriverLoadPrivilege() {
    if (askedOn.load() == os::installation() + 1) return answer.load();
    const bool enabled = !ntFamily() || enableOnce();
    answer.store(enabled);
    askedOn.store(os::installation() + 1);
    return enabled;
}

}  // namespace install
