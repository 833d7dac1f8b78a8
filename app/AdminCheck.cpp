#include "app/AdminCheck.h"

#include "os/SystemDetection.h"
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

// Reads one class of the token's information as a `Record` and returns what
// `check` says of it. Any call that fails means false: the size query must
// ask for more room than an empty buffer, and at least a whole record.
template <typename Record, typename Check>
bool tokenSays(TOKEN_INFORMATION_CLASS infoClass, Check check) {
    os::Os& sys = os::sys();
    HANDLE token = nullptr;
    if (!openToken(&token)) return false;
    bool says = false;
    DWORD needed = 0;
    if (!sys.GetTokenInformation(token, infoClass, nullptr, 0, &needed) &&
        sys.GetLastError() == ERROR_INSUFFICIENT_BUFFER && needed >= sizeof(Record)) {
        HLOCAL buffer = sys.LocalAlloc(LPTR, needed);
        if (buffer != nullptr) {
            if (sys.GetTokenInformation(token, infoClass, buffer, needed, &needed))
                says = check(*static_cast<const Record*>(buffer));
            sys.LocalFree(buffer);
        }
    }
    sys.CloseHandle(token);
    return says;
}

}  // namespace

bool isLocalSystem() {
    return tokenSays<TOKEN_USER>(TokenUser, [](const TOKEN_USER& user) { return isSystemSid(user.User.Sid); });
}

std::vector<BYTE> runningAccountSid() {
    std::vector<BYTE> sid;
    tokenSays<TOKEN_USER>(TokenUser, [&sid](const TOKEN_USER& user) {
        const BYTE* bytes = static_cast<const BYTE*>(user.User.Sid);
        sid.assign(bytes, bytes + 8 + 4 * bytes[1]);
        return true;
    });
    return sid;
}

bool isAdministrator() { return tokenSays<TOKEN_GROUPS>(TokenGroups, holdsAdministrators); }

bool administratorMissing(int runningOs) {
    return runningOs >= kWindows2000 && runningOs <= kWindows7 && !isAdministrator();
}

}  // namespace app
