/* A port monitor that offers two ports of its own and discards what is
 * written to them. The spooler loads it through InitializePrintMonitor2. */
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <stdlib.h>
#include <string.h>

static const WCHAR *const kPorts[] = {L"STANDIN1:", L"STANDIN2:"};
static const WCHAR kMonitorName[] = L"Stand-in Monitor";
static const WCHAR kDescription[] = L"Stand-in port";
#define PORT_COUNT (sizeof kPorts / sizeof kPorts[0])

static DWORD textBytes(const WCHAR *text) { return (DWORD)((wcslen(text) + 1) * sizeof(WCHAR)); }

/* Strings go to the end of the caller's buffer, records to its start. */
static LPWSTR putText(LPBYTE *end, const WCHAR *text) {
    DWORD bytes = textBytes(text);
    *end -= bytes;
    memcpy(*end, text, bytes);
    return (LPWSTR)*end;
}

static BOOL WINAPI enumPorts(HANDLE monitor, LPWSTR name, DWORD level, LPBYTE buffer, DWORD size,
                             LPDWORD needed, LPDWORD returned) {
    DWORD total = 0, i;
    LPBYTE end;
    (void)monitor;
    (void)name;
    if (level != 1 && level != 2) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    for (i = 0; i < PORT_COUNT; i++) {
        total += level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W);
        total += textBytes(kPorts[i]);
        if (level == 2) total += textBytes(kMonitorName) + textBytes(kDescription);
    }
    *needed = total;
    *returned = 0;
    if (size < total || buffer == NULL) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    end = buffer + total;
    for (i = 0; i < PORT_COUNT; i++) {
        if (level == 1) {
            ((PORT_INFO_1W *)buffer)[i].pName = putText(&end, kPorts[i]);
        } else {
            PORT_INFO_2W *info = &((PORT_INFO_2W *)buffer)[i];
            info->pPortName = putText(&end, kPorts[i]);
            info->pMonitorName = putText(&end, kMonitorName);
            info->pDescription = putText(&end, kDescription);
            info->fPortType = PORT_TYPE_WRITE;
            info->Reserved = 0;
        }
    }
    *returned = PORT_COUNT;
    return TRUE;
}

static BOOL WINAPI openPort(HANDLE monitor, LPWSTR name, PHANDLE port) {
    DWORD i;
    (void)monitor;
    for (i = 0; i < PORT_COUNT; i++) {
        if (name != NULL && _wcsicmp(name, kPorts[i]) == 0) {
            *port = (HANDLE)(ULONG_PTR)(i + 1);
            return TRUE;
        }
    }
    SetLastError(ERROR_UNKNOWN_PORT);
    return FALSE;
}

static BOOL WINAPI startDocPort(HANDLE port, LPWSTR printer, DWORD job, DWORD level, LPBYTE info) {
    (void)port;
    (void)printer;
    (void)job;
    (void)level;
    (void)info;
    return TRUE;
}

static BOOL WINAPI writePort(HANDLE port, LPBYTE data, DWORD size, LPDWORD written) {
    (void)port;
    (void)data;
    *written = size;
    return TRUE;
}

static BOOL WINAPI readPort(HANDLE port, LPBYTE data, DWORD size, LPDWORD read) {
    (void)port;
    (void)data;
    (void)size;
    *read = 0;
    return TRUE;
}

static BOOL WINAPI endDocPort(HANDLE port) {
    (void)port;
    return TRUE;
}

static BOOL WINAPI closePort(HANDLE port) {
    (void)port;
    return TRUE;
}

static VOID WINAPI shutdownMonitor(HANDLE monitor) { (void)monitor; }

static MONITOR2 table;

__declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT init,
                                                                PHANDLE monitor) {
    (void)init;
    memset(&table, 0, sizeof table);
    table.cbSize = sizeof table;
    table.pfnEnumPorts = enumPorts;
    table.pfnOpenPort = openPort;
    table.pfnStartDocPort = startDocPort;
    table.pfnWritePort = writePort;
    table.pfnReadPort = readPort;
    table.pfnEndDocPort = endDocPort;
    table.pfnClosePort = closePort;
    table.pfnShutdown = shutdownMonitor;
    *monitor = (HANDLE)&table;
    return &table;
}

/* The entry point in place of the C runtime's start-up code, which this
 * library does not need. */
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
