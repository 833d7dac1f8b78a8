/* The smallest dialog program that loads what a themed wizard must: the
 * common controls version 6, chosen by its manifest, and shell32. It
 * imports nothing else, so that setup.exe's start is measured against
 * what no themed wizard can avoid rather than against a program that
 * shares setup.exe's choices. */
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    (void)previous;
    (void)show;
    InitCommonControlsEx(&controls);
    if (command == NULL) /* never: shell32 is loaded for its import alone */
        ShellExecuteA(NULL, NULL, NULL, NULL, NULL, 0);
    return (int)DialogBoxParamA(instance, MAKEINTRESOURCEA(100), NULL, dialogProc, 0);
}
