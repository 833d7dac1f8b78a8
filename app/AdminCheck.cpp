#include "app/AdminCheck.h"

#include "app/SystemDetection.h"
#include "os/Os.h"

namespace app {
namespace {

bool openToken(HANDLE* token) {
    os::Os& sys = os::sys();
    if (sys.OpenThreadToken(sys.GetCurrentThread(), TOKEN_QUERY, TRUE, token)) return true;
    // A thread that does not impersonate has no token of its own.
    if (sys.GetLastError() != ERROR_NO_TOKEN) return false;
    return sys.OpenProcessToken(sys.GetCurrentProcess(), TOKEN_QUERY, token) != FALSE;
}

bool holdsAdministrators(const TOKEN_GROUPS& groups) {
    os::Os& sys = os::sys();
    SID_IDENTIFIER_AUTHORITY ntAuthority = {SECURITY_NT_AUTHORITY};
    PSID administrators = nullptr;
    if (!sys.AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                      DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators))
        return false;
    bool found = false;
    for (DWORD i = 0; i < groups.GroupCount && !found; ++i)
        found = sys.EqualSid(groups.Groups[i].Sid, administrators) != FALSE;
    sys.FreeSid(administrators);
    return found;
}

bool isSystemSid(PSID sid) {
    os::Os& sys = os::sys();
    SID_IDENTIFIER_AUTHORITY ntAuthority = {SECURITY_NT_AUTHORITY};
    PSID system = nullptr;
    if (!sys.AllocateAndInitializeSid(&ntAuthority, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &system))
        return false;
    bool same = sys.EqualSid(sid, system) != FALSE;
    sys.FreeSid(system);
    return same;
}

}  // namespace

bool isLocalSystem() {
    os::Os& sys = os::sys();
    HANDLE token = nullptr;
    if (!openToken(&token)) return false;
    bool system = false;
    DWORD needed = 0;
    if (!sys.GetTokenInformation(token, TokenUser, nullptr, 0, &needed) &&
        sys.GetLastError() == ERROR_INSUFFICIENT_BUFFER && needed >= sizeof(TOKEN_USER)) {
        HLOCAL buffer = sys.LocalAlloc(LPTR, needed);
        if (buffer != nullptr) {
            if (sys.GetTokenInformation(token, TokenUser, buffer, needed, &needed))
                system = isSystemSid(static_cast<TOKEN_USER*>(buffer)->User.Sid);
            sys.LocalFree(buffer);
        }
    }
    sys.CloseHandle(token);
    return system;
}

bool isAdministrator() {
    os::Os& sys = os::sys();
    HANDLE token = nullptr;
    if (!openToken(&token)) return false;

    bool administrator = false;
    DWORD needed = 0;
    // The size query must ask for more room; any other answer is a failure.
    if (!sys.GetTokenInformation(token, TokenGroups, nullptr, 0, &needed) &&
        sys.GetLastError() == ERROR_INSUFFICIENT_BUFFER && needed >= sizeof(TOKEN_GROUPS)) {
        HLOCAL buffer = sys.LocalAlloc(LPTR, needed);
        if (buffer != nullptr) {
            if (sys.GetTokenInformation(token, TokenGroups, buffer, needed, &needed))
                administrator = holdsAdministrators(*static_cast<TOKEN_GROUPS*>(buffer));
            sys.LocalFree(buffer);
        }
    }
    sys.CloseHandle(token);
    return administrator;
}

bool administratorMissing(int runningOs) {
    return runningOs >= kWindows2000 && runningOs <= kWindows7 && !isAdministrator();
}

}  // namespace app
