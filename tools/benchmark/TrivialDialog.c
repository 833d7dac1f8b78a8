/* A trivial dialog program, the yardstick of the program's start time: one
 * dialog from a template, the same manifest as setup.exe, and the same
 * system DLLs imported (through calls that never run), so that what the
 * two programs have in common costs the same. */
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <winspool.h>
#include <winver.h>

static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show) {
    (void)previous;
    (void)show;
    InitCommonControls();
    if (command == NULL) {  /* never: only the imports count */
        RegCloseKey(NULL);
        ClosePrinter(NULL);
        GetFileVersionInfoSizeA(NULL, NULL);
        ShellExecuteA(NULL, NULL, NULL, NULL, NULL, 0);
        DeleteObject(NULL);
    }
    return (int)DialogBoxParamA(instance, MAKEINTRESOURCEA(100), NULL, dialogProc, 0);
}
