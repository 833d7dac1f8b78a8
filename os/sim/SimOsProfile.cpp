// Placeholder: not yet simulated (ERROR_CALL_NOT_IMPLEMENTED).
#include "os/sim/SimObjects.h"

namespace os::sim {

DWORD SimOs::GetPrivateProfileStringA(LPCSTR, LPCSTR, LPCSTR, LPSTR, DWORD, LPCSTR) {
    fail(120);
    return 0;
}

UINT SimOs::GetPrivateProfileIntA(LPCSTR, LPCSTR, INT, LPCSTR) {
    fail(120);
    return 0;
}

BOOL SimOs::WritePrivateProfileStringA(LPCSTR, LPCSTR, LPCSTR, LPCSTR) {
    fail(120);
    return FALSE;
}

DWORD SimOs::GetProfileStringA(LPCSTR, LPCSTR, LPCSTR, LPSTR, DWORD) {
    fail(120);
    return 0;
}

BOOL SimOs::WriteProfileStringA(LPCSTR, LPCSTR, LPCSTR) {
    fail(120);
    return FALSE;
}

}  // namespace os::sim
