// The real Windows: every operation forwards to the Win32 call of the same name.
#pragma once

#include "os/Os.h"

namespace os {

// A DLL of the system directory, by its full path: never one of the same
// name elsewhere. What it loads in turn is looked for beside it first. Null
// when the directory cannot be read or the DLL cannot be loaded.
HMODULE loadSystemLibrary(const char* dll);

class Win32Os final : public Os {
public:
    DWORD GetLastError() override;
    void SetLastError(DWORD code) override;
    BOOL GetVersionExA(LPOSVERSIONINFOA info) override;
    LONG RtlGetVersion(PRTL_OSVERSIONINFOEXW info) override;
    BOOL IsWow64Process2(HANDLE process, USHORT* processMachine, USHORT* nativeMachine) override;
    void GetNativeSystemInfo(LPSYSTEM_INFO info) override;
    DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) override;
    DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) override;
    BOOL SetCurrentDirectoryA(LPCSTR path) override;
    UINT GetSystemDirectoryA(LPSTR buffer, UINT size) override;
    UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) override;
    DWORD GetTempPathA(DWORD size, LPSTR buffer) override;
    HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name) override;
    BOOL CloseHandle(HANDLE handle) override;
    DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) override;
    void Sleep(DWORD milliseconds) override;
    DWORD GetTickCount() override;
    DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                    DWORD wakeMask) override;
    BOOL PeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT remove) override;
    void GetLocalTime(LPSYSTEMTIME time) override;
    HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) override;
    HLOCAL LocalFree(HLOCAL memory) override;
    HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) override;
    HGLOBAL GlobalFree(HGLOBAL memory) override;
    BOOL Wow64DisableWow64FsRedirection(PVOID* oldValue) override;
    BOOL Wow64RevertWow64FsRedirection(PVOID oldValue) override;
    DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer, DWORD size, LPCSTR fileName) override;
    UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) override;
    BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) override;
    DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer, DWORD size) override;
    BOOL WriteProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value) override;
    LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) override;
    LONG RegCreateKeyExA(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES attributes, PHKEY result, LPDWORD disposition) override;
    LONG RegCloseKey(HKEY key) override;
    LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize) override;
    LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize) override;
    LONG RegDeleteValueA(HKEY key, LPCSTR valueName) override;
    LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) override;
    HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES attributes, DWORD disposition, DWORD flagsAndAttributes, HANDLE templateFile) override;
    BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped) override;
    BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED overlapped) override;
    DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh) override;
    DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod) override;
    BOOL DeleteFileA(LPCSTR path) override;
    BOOL CopyFileA(LPCSTR existing, LPCSTR target, BOOL failIfExists) override;
    DWORD GetFileAttributesA(LPCSTR path) override;
    BOOL SetFileAttributesA(LPCSTR path, DWORD attributes) override;
    HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data) override;
    BOOL FindNextFileA(HANDLE search, LPWIN32_FIND_DATAA data) override;
    BOOL FindClose(HANDLE search) override;
    BOOL GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION info) override;
    DWORD GetFinalPathNameByHandleA(HANDLE file, LPSTR path, DWORD size, DWORD flags) override;
    HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags) override;
    BOOL DeleteObject(HANDLE object) override;
    BOOL CryptAcquireContextA(HCRYPTPROV* provider, LPCSTR container, LPCSTR providerName, DWORD type,
                              DWORD flags) override;
    BOOL CryptGenRandom(HCRYPTPROV provider, DWORD length, BYTE* buffer) override;
    BOOL CryptReleaseContext(HCRYPTPROV provider, DWORD flags) override;
    BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES attributes) override;
    BOOL MoveFileExA(LPCSTR existing, LPCSTR newName, DWORD flags) override;
    BOOL RemoveDirectoryA(LPCSTR path) override;
    DWORD GetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle) override;
    BOOL GetFileVersionInfoA(LPCSTR path, DWORD handle, DWORD size, LPVOID data) override;
    BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* value, UINT* length) override;
    BOOL SetupIterateCabinetA(PCSTR cabinet, DWORD reserved, PSP_FILE_CALLBACK_A handler, PVOID context) override;
    BOOL SetupGetInfDriverStoreLocationA(PCSTR fileName, const void* platform, PCSTR localeName, PSTR buffer,
                                         DWORD size, PDWORD required) override;
    BOOL AddPrinterDriverA(LPSTR server, DWORD level, LPBYTE info) override;
    BOOL AddPrinterDriverExA(LPSTR server, DWORD level, LPBYTE info, DWORD copyFlags) override;
    BOOL DeletePrinterDriverA(LPSTR server, LPSTR environment, LPSTR driverName) override;
    BOOL AddMonitorA(LPSTR server, DWORD level, LPBYTE info) override;
    BOOL DeleteMonitorA(LPSTR server, LPSTR environment, LPSTR monitorName) override;
    BOOL EnumMonitorsA(LPSTR server, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) override;
    BOOL AddPrintProcessorA(LPSTR server, LPSTR environment, LPSTR pathName, LPSTR processorName) override;
    HANDLE AddPrinterA(LPSTR server, DWORD level, LPBYTE info) override;
    BOOL DeletePrinterDriverExA(LPSTR server, LPSTR environment, LPSTR driverName, DWORD deleteFlags,
                                DWORD versionFlag) override;
    BOOL DeletePrintProcessorA(LPSTR server, LPSTR environment, LPSTR processorName) override;
    BOOL EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                       LPDWORD returned) override;
    BOOL EnumPrinterDriversA(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size,
                             LPDWORD needed, LPDWORD returned) override;
    BOOL GetPrinterDriverA(HANDLE printer, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size,
                           LPDWORD needed) override;
    BOOL DeletePrinter(HANDLE printer) override;
    BOOL EnumPortsA(LPSTR server, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) override;
    BOOL GetPrinterDriverDirectoryA(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) override;
    BOOL GetPrintProcessorDirectoryA(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) override;
    BOOL OpenPrinterA(LPSTR printerName, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults) override;
    BOOL GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) override;
    BOOL SetPrinterA(HANDLE printer, DWORD level, LPBYTE info, DWORD command) override;
    BOOL ClosePrinter(HANDLE printer) override;
    BOOL GetDefaultPrinterA(LPSTR buffer, LPDWORD size) override;
    HRESULT IsProtectedPrintEnabled(BOOL* enabled) override;
    SC_HANDLE OpenSCManagerA(LPCSTR machine, LPCSTR database, DWORD access) override;
    SC_HANDLE OpenServiceA(SC_HANDLE manager, LPCSTR serviceName, DWORD access) override;
    BOOL ControlService(SC_HANDLE service, DWORD control, LPSERVICE_STATUS status) override;
    BOOL StartServiceA(SC_HANDLE service, DWORD argc, LPCSTR* argv) override;
    BOOL QueryServiceStatus(SC_HANDLE service, LPSERVICE_STATUS status) override;
    BOOL CloseServiceHandle(SC_HANDLE handle) override;
    HANDLE GetCurrentThread() override;
    HANDLE GetCurrentProcess() override;
    BOOL OpenThreadToken(HANDLE thread, DWORD access, BOOL openAsSelf, PHANDLE token) override;
    BOOL OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) override;
    BOOL GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS infoClass, LPVOID buffer, DWORD size, PDWORD returned) override;
    BOOL LookupPrivilegeValueA(LPCSTR system, LPCSTR name, PLUID luid) override;
    BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState, DWORD size,
                               PTOKEN_PRIVILEGES previousState, PDWORD returned) override;
    BOOL AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY authority, BYTE count, DWORD sub0, DWORD sub1, DWORD sub2, DWORD sub3, DWORD sub4, DWORD sub5, DWORD sub6, DWORD sub7, PSID* sid) override;
    BOOL EqualSid(PSID first, PSID second) override;
    BOOL GetKernelObjectSecurity(HANDLE object, SECURITY_INFORMATION requested, PSECURITY_DESCRIPTOR descriptor,
                                 DWORD size, LPDWORD needed) override;
    PVOID FreeSid(PSID sid) override;
    BOOL SetDllDirectoryA(LPCSTR directory) override;
    BOOL SetDefaultDllDirectories(DWORD flags) override;
    HMODULE LoadLibraryA(LPCSTR fileName) override;
    HMODULE LoadLibraryExA(LPCSTR fileName, HANDLE file, DWORD flags) override;
    FARPROC GetProcAddress(HMODULE module, LPCSTR procName) override;
    BOOL FreeLibrary(HMODULE module) override;
    HWND FindWindowA(LPCSTR className, LPCSTR windowName) override;
    BOOL SetForegroundWindow(HWND window) override;
    BOOL OpenIcon(HWND window) override;
    BOOL BringWindowToTop(HWND window) override;
    HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT showCommand) override;
    BOOL ShellExecuteExA(LPSHELLEXECUTEINFOA info) override;
    BOOL ExitWindowsEx(UINT flags, DWORD reason) override;
    BOOL SystemParametersInfoA(UINT action, UINT uiParam, PVOID pvParam, UINT winIni) override;
    LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout, PDWORD_PTR result) override;
    BOOL SendNotifyMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) override;

private:
    template <typename Function>
    Function found(SystemFunction function);
};

}  // namespace os
