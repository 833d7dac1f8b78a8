// Placeholder: not yet simulated (ERROR_CALL_NOT_IMPLEMENTED).
#include "os/sim/SimObjects.h"

namespace os::sim {

SC_HANDLE SimOs::OpenSCManagerA(LPCSTR, LPCSTR, DWORD) {
    fail(120);
    return nullptr;
}

SC_HANDLE SimOs::OpenServiceA(SC_HANDLE, LPCSTR, DWORD) {
    fail(120);
    return nullptr;
}

BOOL SimOs::ControlService(SC_HANDLE, DWORD, LPSERVICE_STATUS) {
    fail(120);
    return FALSE;
}

BOOL SimOs::StartServiceA(SC_HANDLE, DWORD, LPCSTR*) {
    fail(120);
    return FALSE;
}

BOOL SimOs::QueryServiceStatus(SC_HANDLE, LPSERVICE_STATUS) {
    fail(120);
    return FALSE;
}

BOOL SimOs::CloseServiceHandle(SC_HANDLE) {
    fail(120);
    return FALSE;
}

}  // namespace os::sim
