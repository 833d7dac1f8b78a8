/* A library that someone else placed beside the program, for the test that
 * the program never loads one: planted as version.dll and as winspool.drv,
 * it leaves a mark the moment it is loaded, before anything of it is called:
 * "C:\planted-NAME.txt" for the name it was loaded under when it was loaded
 * at run time (LoadLibrary), "C:\planted-NAME-imported.txt" when it was
 * loaded as an import as the process started. It exports the names a
 * program would import from the DLLs it stands in for, so that a program
 * importing them would load it: the version functions pass on to the
 * system's own (Wine's user32 imports them), the spooler's do nothing.
 * Test only: never on the medium. */
#include <windows.h>

static void leaveMark(HINSTANCE self, BOOL imported) {
    char path[MAX_PATH], mark[MAX_PATH + 32] = "C:\\planted-";
    DWORD length = GetModuleFileNameA(self, path, sizeof path);
    const char *name = path;
    DWORD i;
    HANDLE file;
    for (i = 0; i < length; ++i)
        if (path[i] == '\\') name = path + i + 1;
    lstrcatA(mark, name);
    lstrcatA(mark, imported ? "-imported.txt" : ".txt");
    file = CreateFileA(mark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    /* Windows passes a non-null "reserved" for a library loaded as an import. */
    if (reason == DLL_PROCESS_ATTACH) leaveMark(self, reserved != NULL);
    return TRUE;
}

int WINAPI plantedFunction(void) { return 0; }
