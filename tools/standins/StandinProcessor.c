/* A print processor that offers the RAW datatype and discards each job. */
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <string.h>

static const WCHAR kRaw[] = L"RAW";

__declspec(dllexport) BOOL WINAPI EnumPrintProcessorDatatypesW(LPWSTR server, LPWSTR processor,
                                                              DWORD level, LPBYTE buffer,
                                                              DWORD size, LPDWORD needed,
                                                              LPDWORD returned) {
    DWORD total = sizeof(DATATYPES_INFO_1W) + sizeof kRaw;
    (void)server;
    (void)processor;
    if (level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    *needed = total;
    *returned = 0;
    if (size < total || buffer == NULL) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(buffer + sizeof(DATATYPES_INFO_1W), kRaw, sizeof kRaw);
    ((DATATYPES_INFO_1W *)buffer)->pName = (LPWSTR)(buffer + sizeof(DATATYPES_INFO_1W));
    *returned = 1;
    return TRUE;
}

__declspec(dllexport) HANDLE WINAPI OpenPrintProcessor(LPWSTR printer,
                                                       PPRINTPROCESSOROPENDATA data) {
    static int job;
    (void)printer;
    (void)data;
    return (HANDLE)&job;
}

__declspec(dllexport) BOOL WINAPI PrintDocumentOnPrintProcessor(HANDLE processor, LPWSTR document) {
    (void)processor;
    (void)document;
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI ClosePrintProcessor(HANDLE processor) {
    (void)processor;
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI ControlPrintProcessor(HANDLE processor, DWORD command) {
    (void)processor;
    (void)command;
    return TRUE;
}

__declspec(dllexport) DWORD WINAPI GetPrintProcessorCapabilities(LPTSTR datatype, DWORD level,
                                                                 LPBYTE capabilities, DWORD size,
                                                                 LPDWORD needed) {
    (void)datatype;
    (void)level;
    (void)capabilities;
    (void)size;
    *needed = 0;
    return ERROR_INVALID_PARAMETER;
}

/* The entry point in place of the C runtime's start-up code, which this
 * library does not need. */
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
