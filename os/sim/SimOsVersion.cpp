// Placeholder: not yet simulated (ERROR_CALL_NOT_IMPLEMENTED).
#include "os/sim/SimObjects.h"

namespace os::sim {

DWORD SimOs::GetFileVersionInfoSizeA(LPCSTR, LPDWORD) {
    fail(120);
    return 0;
}

BOOL SimOs::GetFileVersionInfoA(LPCSTR, DWORD, DWORD, LPVOID) {
    fail(120);
    return FALSE;
}

BOOL SimOs::VerQueryValueA(LPCVOID, LPCSTR, LPVOID*, UINT*) {
    fail(120);
    return FALSE;
}

}  // namespace os::sim
