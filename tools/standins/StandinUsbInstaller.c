/* Test stand-in for the maker's USB driver installer, USBDrv\Install.exe: not
 * the maker's program and no code of it. It does what setup.exe relies on
 * and nothing more: a window titled with the medium's CaptionName, which
 * setup.exe waits on by title, and the class driver and its INF copied into
 * the Windows directory. Whatever its argument ("2" from setup.exe), it
 * behaves the same. It never shows a message box: tests run it unattended.
 * With "Install.ini" beside it saying
 *   [Installer]
 *   StopsToAsk=1
 * it stays, as an installer that stopped to ask a question nobody answers,
 * until it is ended from outside. */
#include <windows.h>

#include <string.h>

/* setup.exe looks for the window after 500 ms and then once a second: this
 * long a life lets it see the window at least once. */
#define SHOWN_MILLISECONDS 1500

/* Writes first + second into out; FALSE when it would not fit. */
static BOOL joined(char *out, size_t size, const char *first, const char *second) {
    size_t a = strlen(first), b = strlen(second);
    if (a + b + 1 > size) return FALSE;
    memcpy(out, first, a);
    memcpy(out + a, second, b + 1);
    return TRUE;
}

/* Cuts a path after its last backslash, leaving the folder with its
 * backslash; the new length. */
static size_t folderOf(char *path, size_t length) {
    while (length > 0 && path[length - 1] != '\\') --length;
    path[length] = '\0';
    return length;
}

/* An older copy may have been left read-only (copied from a CD, or by hand);
 * CopyFileA will not overwrite it. */
static BOOL copyOver(const char *folder, const char *name, const char *target) {
    char source[MAX_PATH];
    DWORD attributes = GetFileAttributesA(target);
    if (!joined(source, sizeof source, folder, name)) return FALSE;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(target, attributes & ~(DWORD)FILE_ATTRIBUTE_READONLY);
    return CopyFileA(source, target, FALSE);
}

static BOOL install(const char *here) {
    char windows[MAX_PATH], folder[MAX_PATH], target[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    BOOL ok;
    if (length == 0 || length >= sizeof windows) return FALSE;
    /* A fresh Windows may lack either folder; an existing one is fine. */
    if (!joined(folder, sizeof folder, windows, "\\system32\\drivers")) return FALSE;
    CreateDirectoryA(folder, NULL);
    ok = joined(target, sizeof target, folder, "\\bulkusb.sys") &&
         copyOver(here, "bulkusb.sys", target);
    if (!joined(folder, sizeof folder, windows, "\\inf")) return FALSE;
    CreateDirectoryA(folder, NULL);
    /* The INF is copied even when the driver was not: the exit code tells
     * of any failure, and a test sees which copy went wrong. */
    ok = joined(target, sizeof target, folder, "\\BULKUSB.INF") &&
         copyOver(here, "BULKUSB.INF", target) && ok;
    return ok;
}

static void pumpUntil(DWORD deadline) {
    MSG message;
    for (;;) {
        LONG left = (LONG)(deadline - GetTickCount());
        if (left <= 0) return;
        MsgWaitForMultipleObjects(0, NULL, FALSE, (DWORD)left, QS_ALLINPUT);
        while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int show) {
    char here[MAX_PATH], medium[MAX_PATH], texts[MAX_PATH], caption[512];
    DWORD start = GetTickCount();
    DWORD length = GetModuleFileNameA(NULL, here, sizeof here);
    HWND window;
    BOOL ok;
    (void)previous;
    (void)arguments;
    if (length == 0 || length >= sizeof here) return 2;
    length = (DWORD)folderOf(here, length);
    /* The medium is the folder above USBDrv, wherever the current directory
     * happens to be; the 64-bit build lies one deeper, in USBDrv\X64. */
    memcpy(medium, here, length + 1);
    if (length > 0) length = (DWORD)folderOf(medium, length - 1);
#ifdef _WIN64
    if (length > 0) folderOf(medium, length - 1);
#endif
    if (!joined(texts, sizeof texts, medium, "language\\setup.ini")) return 2;
    GetPrivateProfileStringA("Setup", "CaptionName", "", caption, sizeof caption, texts);

    /* A predefined class spares a window class of our own: the title is all
     * that setup.exe looks at. */
    window = CreateWindowExW(0, L"STATIC", NULL, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                             360, 120, NULL, NULL, instance, NULL);
    if (window != NULL) {
        SetWindowTextA(window, caption);
        ShowWindow(window, show);
        UpdateWindow(window);
    }
    ok = install(here);
    if (joined(texts, sizeof texts, here, "Install.ini") &&
        GetPrivateProfileIntA("Installer", "StopsToAsk", 0, texts) != 0)
        for (;;) pumpUntil(GetTickCount() + 60000);
    pumpUntil(start + SHOWN_MILLISECONDS);
    if (window != NULL && IsWindow(window)) DestroyWindow(window);
    return ok ? 0 : 1;
}

#ifdef _WIN64
/* The 64-bit build starts here rather than in the C runtime's start-up code,
 * whose 64-bit form imports data exports of msvcrt and kernel32's exception
 * handler that it does not need (tools/standins/CMakeLists.txt). */
void WINAPI installerEntry(void) {
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, GetCommandLineA(), SW_SHOWDEFAULT));
}
#endif
