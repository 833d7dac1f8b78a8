// Placeholder: not yet simulated (ERROR_CALL_NOT_IMPLEMENTED).
#include "os/sim/SimObjects.h"

namespace os::sim {

BOOL SimOs::AddPrinterDriverA(LPSTR, DWORD, LPBYTE) {
    fail(120);
    return FALSE;
}

BOOL SimOs::DeletePrinterDriverA(LPSTR, LPSTR, LPSTR) {
    fail(120);
    return FALSE;
}

BOOL SimOs::AddMonitorA(LPSTR, DWORD, LPBYTE) {
    fail(120);
    return FALSE;
}

BOOL SimOs::DeleteMonitorA(LPSTR, LPSTR, LPSTR) {
    fail(120);
    return FALSE;
}

BOOL SimOs::EnumMonitorsA(LPSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD) {
    fail(120);
    return FALSE;
}

BOOL SimOs::AddPrintProcessorA(LPSTR, LPSTR, LPSTR, LPSTR) {
    fail(120);
    return FALSE;
}

HANDLE SimOs::AddPrinterA(LPSTR, DWORD, LPBYTE) {
    fail(120);
    return nullptr;
}

BOOL SimOs::DeletePrinter(HANDLE) {
    fail(120);
    return FALSE;
}

BOOL SimOs::EnumPortsA(LPSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD) {
    fail(120);
    return FALSE;
}

BOOL SimOs::GetPrinterDriverDirectoryA(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD) {
    fail(120);
    return FALSE;
}

BOOL SimOs::GetPrintProcessorDirectoryA(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD) {
    fail(120);
    return FALSE;
}

BOOL SimOs::OpenPrinterA(LPSTR, LPHANDLE, LPPRINTER_DEFAULTSA) {
    fail(120);
    return FALSE;
}

BOOL SimOs::GetPrinterA(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD) {
    fail(120);
    return FALSE;
}

BOOL SimOs::SetPrinterA(HANDLE, DWORD, LPBYTE, DWORD) {
    fail(120);
    return FALSE;
}

BOOL SimOs::ClosePrinter(HANDLE) {
    fail(120);
    return FALSE;
}

BOOL SimOs::GetDefaultPrinterA(LPSTR, LPDWORD) {
    fail(120);
    return FALSE;
}

BOOL SimOs::SetDefaultPrinterA(LPCSTR) {
    fail(120);
    return FALSE;
}

void SimOs::updateServices() {}

void SimOs::setSpoolerLoaded(bool) {}

}  // namespace os::sim
