/* A printer driver's configuration DLL: it offers a default DEVMODEW and
 * answers the basic device capabilities, without showing any pages. */
#include <windows.h>
#include <winspool.h>

#include <stddef.h>
#include <string.h>

/* The header a spooler passes to DrvDocumentPropertySheets when it wants
 * a DEVMODE without property sheets. */
typedef struct {
    WORD cbSize;
    WORD Reserved;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
    PDEVMODEW pdmIn;
    PDEVMODEW pdmOut;
    DWORD cbOut;
    DWORD fMode;
} DocumentPropertyHeader;

#define STANDIN_FIELDS (DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES)

static void defaultDevMode(DEVMODEW *mode, const WCHAR *printer) {
    memset(mode, 0, sizeof *mode);
    if (printer != NULL) {
        size_t length = wcslen(printer);
        if (length >= CCHDEVICENAME) length = CCHDEVICENAME - 1;
        memcpy(mode->dmDeviceName, printer, length * sizeof(WCHAR));
    }
    mode->dmSpecVersion = DM_SPECVERSION;
    mode->dmDriverVersion = 0x0100;
    mode->dmSize = sizeof *mode;
    mode->dmFields = STANDIN_FIELDS;
    mode->dmOrientation = DMORIENT_PORTRAIT;
    mode->dmPaperSize = DMPAPER_A4;
    mode->dmCopies = 1;
}

__declspec(dllexport) LONG WINAPI DrvDocumentPropertySheets(void *sheetInfo, LPARAM lParam) {
    DocumentPropertyHeader *header = (DocumentPropertyHeader *)lParam;
    const DEVMODEW *in;
    if (sheetInfo != NULL || header == NULL) return -1; /* no pages to show */
    if (header->fMode == 0 || header->pdmOut == NULL) {
        header->cbOut = sizeof(DEVMODEW);
        return (LONG)header->cbOut;
    }
    if (header->cbOut < sizeof(DEVMODEW)) return -1;
    in = header->pdmIn;
    defaultDevMode(header->pdmOut, header->pszPrinterName);
    if ((header->fMode & DM_IN_BUFFER) && in != NULL &&
        in->dmSize >= offsetof(DEVMODEW, dmDefaultSource)) {
        if (in->dmFields & DM_ORIENTATION) header->pdmOut->dmOrientation = in->dmOrientation;
        if (in->dmFields & DM_PAPERSIZE) header->pdmOut->dmPaperSize = in->dmPaperSize;
        if (in->dmFields & DM_COPIES) header->pdmOut->dmCopies = in->dmCopies;
    }
    return IDOK;
}

__declspec(dllexport) DWORD WINAPI DrvDeviceCapabilities(HANDLE printer, PWSTR device,
                                                         WORD capability, PVOID output,
                                                         PDEVMODEW mode) {
    (void)printer;
    (void)device;
    (void)mode;
    switch (capability) {
    case DC_FIELDS:
        return STANDIN_FIELDS;
    case DC_SIZE:
        return sizeof(DEVMODEW);
    case DC_EXTRA:
        return 0;
    case DC_VERSION:
        return DM_SPECVERSION;
    case DC_DRIVER:
        return 0x0100;
    case DC_COPIES:
        return 1;
    case DC_ORIENTATION:
        return 0;
    case DC_PAPERS:
        if (output != NULL) ((WORD *)output)[0] = DMPAPER_A4;
        return 1;
    case DC_PAPERSIZE:
        if (output != NULL) {
            ((POINT *)output)[0].x = 2100; /* tenths of a millimetre */
            ((POINT *)output)[0].y = 2970;
        }
        return 1;
    case DC_PAPERNAMES:
        if (output != NULL) {
            memset(output, 0, 64 * sizeof(WCHAR));
            memcpy(output, L"A4", 3 * sizeof(WCHAR));
        }
        return 1;
    default:
        return GDI_ERROR;
    }
}

/* The entry point in place of the C runtime's start-up code, which this
 * library does not need. */
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
