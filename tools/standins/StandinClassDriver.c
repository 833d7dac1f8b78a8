/* The code of the bulkusb.sys test stand-ins: none. They are never loaded as
 * drivers; only their version resource is read, to decide whether the
 * medium's copy is newer than the installed one. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    (void)module;
    (void)reason;
    (void)reserved;
    return TRUE;
}
