/* Test stand-in for the maker's USB access library, "HvUsbInt.dll": not the
 * maker's library and no code of it. The printers it pretends are attached
 * live in "HvUsbInt.ini" beside the DLL, so that a test or the sample medium
 * decides what setup.exe finds:
 *
 *   [Printers]
 *   Count=1          printers at device indices 0 .. Count-1
 *   [Printer0]
 *   DeviceValue=258  the printer's bcdDevice
 *   Descriptor=1     0: GetDescriptor fails
 *   Writes=1         0: uWrite refuses everything
 *
 * The state is read again on every call, so a test may change the file while
 * the library is loaded; a set-identity command is written back to it. */
#include <windows.h>

#include <string.h>

#include "os/UsbAccessLibrary.h"
#include "os/sim/StandinPrinter.h"

static char statePath[MAX_PATH];

/* Handles are only tokens: an offset keeps them clear of both 0 and
 * INVALID_HANDLE_VALUE, which the program treats as "no printer". */
#define HANDLE_BASE 0x100

/* No state file reads as zero printers: a machine with nothing attached. */
static int printerCount(void) {
    int count = (int)GetPrivateProfileIntA("Printers", "Count", 0, statePath);
    return count < 0 ? 0 : count > USB_DEVICE_INDICES ? USB_DEVICE_INDICES : count;
}

static void sectionOf(int index, char *section) {
    memcpy(section, "Printer0", sizeof "Printer0");
    section[7] = (char)('0' + index);
}

static int setting(int index, const char *key, int fallback) {
    char section[16];
    sectionOf(index, section);
    return (int)GetPrivateProfileIntA(section, key, fallback, statePath);
}

/* The printer index behind a handle, or -1 for a handle we never gave out
 * or a printer that has since been "unplugged" from the state file. */
static int indexOf(HANDLE device) {
    INT_PTR index = (INT_PTR)device - HANDLE_BASE;
    return index >= 0 && index < printerCount() ? (int)index : -1;
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        /* The state file follows the DLL wherever the test copied it. */
        DWORD length = GetModuleFileNameA(module, statePath, sizeof statePath);
        while (length > 0 && statePath[length - 1] != '\\') --length;
        if (length == 0 || length + sizeof "HvUsbInt.ini" > sizeof statePath) return FALSE;
        memcpy(statePath + length, "HvUsbInt.ini", sizeof "HvUsbInt.ini");
    }
    return TRUE;
}

__declspec(dllexport) HANDLE WINAPI OpenDeviceX(int index) {
    if (index < 0 || index >= printerCount()) return INVALID_HANDLE_VALUE;
    return (HANDLE)(INT_PTR)(index + HANDLE_BASE);
}

__declspec(dllexport) int WINAPI GetDescriptor(HANDLE device, unsigned char *descriptor) {
    /* USB 1.10, class defined per interface, 64-byte endpoint 0. The ids are
     * of our own choosing: the program reads nothing but bcdDevice. */
    static const unsigned char standard[18] = {18,   1,    0x10, 0x01, 0, 0, 0, 64, 0x09,
                                               0x12, 0x01, 0,    0,    0, 1, 2, 3,  1};
    int index = indexOf(device);
    unsigned value;
    if (index < 0 || descriptor == NULL || !setting(index, "Descriptor", 1)) return 0;
    value = (unsigned)setting(index, "DeviceValue", 0);
    memcpy(descriptor, standard, sizeof standard);
    descriptor[USB_DEVICE_VALUE_OFFSET] = (unsigned char)(value & 0xFF);
    descriptor[USB_DEVICE_VALUE_OFFSET + 1] = (unsigned char)((value >> 8) & 0xFF);
    return 1;
}

static int isSetIdentity(const unsigned char *data, int length) {
    static const unsigned char head[9] = {0x1B, 0x73, STANDIN_PRINTER_SIGNATURE, 0x1D, 0x49, 0x20};
    return length == USB_SET_IDENTITY_LENGTH && memcmp(data, head, sizeof head) == 0 && data[9] < 8;
}

/* By hand rather than with sprintf: every import of a file on the medium
 * must be one of tests/data/windows-imports.tsv, known to load everywhere. */
static void decimal(unsigned value, char *text) {
    char reversed[12];
    int n = 0;
    do {
        reversed[n++] = (char)('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n > 0) *text++ = reversed[--n];
    *text = '\0';
}

__declspec(dllexport) int WINAPI
    uWrite(HANDLE device, int reserved, const unsigned char *data, int length) {
    int index = indexOf(device);
    (void)reserved;
    if (index < 0 || data == NULL || length <= 0 || !setting(index, "Writes", 1)) return 0;
    if (isSetIdentity(data, length)) {
        /* The port number lives in the low three bits; the rest of the
         * device value is the printer's own and must survive. */
        unsigned value = ((unsigned)setting(index, "DeviceValue", 0) & ~7u) | data[9];
        char section[16], text[12];
        sectionOf(index, section);
        decimal(value & 0xFFFF, text);
        /* A state file that cannot be written (a read-only medium) means the
         * printer did not take the number: say so rather than pretend. */
        if (!WritePrivateProfileStringA(section, "DeviceValue", text, statePath)) return 0;
    }
    return length;
}

__declspec(dllexport) void WINAPI CloseDevice(HANDLE device) { (void)device; }
