// The one seam through which the system reaches Windows, apart from user32
// window handling of its own windows.
//
// Every operation mirrors one Win32 call: same name, same arguments, same
// result and the same last-error code. The Win32 backend forwards to the real
// API; the simulated Windows answers as Windows does. Code above this layer
// calls os::sys() and never the platform directly, so the same code runs on
// Windows, under Wine and natively against the simulation.
#pragma once

#include <atomic>
#include <string>

#include "os/WinApi.h"
// The maker's USB access library "HvUsbInt.dll": its functions as
// GetProcAddress hands them out.
#include "os/UsbAccessLibrary.h"

namespace os {

// "SetDefaultPrinterA" as winspool.drv exports it.
typedef BOOL(WINAPI* SetDefaultPrinterProc)(LPCSTR printerName);

// The functions of Windows' own libraries that the program looks up at run
// time rather than imports: not every Windows it loads on exports them, or
// their library is not one Windows protects as a known DLL (an import would
// let a library of the same name beside the program be loaded in its place).
enum class SystemFunction {
    RtlGetVersion,
    IsWow64Process2, GetNativeSystemInfo, MoveFileExA, GetFinalPathNameByHandleA,
    Wow64DisableWow64FsRedirection, Wow64RevertWow64FsRedirection, SetDllDirectoryA, SetDefaultDllDirectories,
    CryptAcquireContextA, CryptGenRandom, CryptReleaseContext, LookupPrivilegeValueA, AdjustTokenPrivileges,
    GetKernelObjectSecurity,
    GetFileVersionInfoSizeA, GetFileVersionInfoA, VerQueryValueA,
    SetupIterateCabinetA, SetupGetInfDriverStoreLocationA,
    AddPrinterDriverA, AddPrinterDriverExA, DeletePrinterDriverA, DeletePrinterDriverExA, AddMonitorA, DeleteMonitorA, EnumMonitorsA,
    AddPrintProcessorA, AddPrinterA, DeletePrintProcessorA, EnumPrintersA, EnumPrinterDriversA, GetPrinterDriverA,
    DeletePrinter, EnumPortsA, GetPrinterDriverDirectoryA, GetPrintProcessorDirectoryA, OpenPrinterA, GetPrinterA,
    SetPrinterA, ClosePrinter, GetDefaultPrinterA,
    RoInitialize, RoUninitialize, WindowsCreateString, WindowsDeleteString, RoGetActivationFactory,
    Count
};

// The library a function looked up at run time is exported by ("kernel32.dll"), and its name.
const char* systemFunctionLibrary(SystemFunction function);
const char* systemFunctionName(SystemFunction function);

class Os {
public:
    virtual ~Os() = default;

    // Last error, per thread.
    virtual DWORD GetLastError() = 0;
    virtual void SetLastError(DWORD code) = 0;

    // Process, system and time.
    virtual BOOL GetVersionExA(LPOSVERSIONINFOA info) = 0;
    // The version Windows runs as, from ntdll (the NT family from Windows
    // 2000 on), whatever the program's manifest declares: from Windows 8.1
    // on, GetVersionExA answers 6.2 to a program whose manifest does not
    // name the system. The record's size field says which of its two forms
    // is given (276 or 284 bytes): the longer one's fields are filled only
    // for its own size. An NTSTATUS: kStatusSuccess, or kStatusNotImplemented
    // where ntdll lacks it.
    virtual LONG RtlGetVersion(PRTL_OSVERSIONINFOEXW info) = 0;
    // The machine's processor, for a process of any architecture: the
    // process's own machine (IMAGE_FILE_MACHINE_UNKNOWN when it is not
    // emulated) and the native one. Windows 10 version 1709 on; elsewhere it
    // fails with ERROR_CALL_NOT_IMPLEMENTED.
    virtual BOOL IsWow64Process2(HANDLE process, USHORT* processMachine, USHORT* nativeMachine) = 0;
    // The processor as a native program sees it (Windows XP on). An x86
    // program on ARM64 is told x86, or x64 where Windows emulates it. Where
    // the system lacks the call, the architecture is
    // PROCESSOR_ARCHITECTURE_UNKNOWN and the last error
    // ERROR_CALL_NOT_IMPLEMENTED.
    virtual void GetNativeSystemInfo(LPSYSTEM_INFO info) = 0;
    virtual DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) = 0;
    virtual DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) = 0;
    virtual BOOL SetCurrentDirectoryA(LPCSTR path) = 0;
    virtual UINT GetSystemDirectoryA(LPSTR buffer, UINT size) = 0;
    virtual UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) = 0;
    virtual DWORD GetTempPathA(DWORD size, LPSTR buffer) = 0;
    virtual HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner,
                                LPCSTR name) = 0;
    virtual BOOL CloseHandle(HANDLE handle) = 0;
    // Waits for a process this program started (ShellExecuteExA's handle).
    virtual DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) = 0;
    virtual void Sleep(DWORD milliseconds) = 0;
    virtual DWORD GetTickCount() = 0;
    // A wait that wakes for messages sent from other threads, which a
    // thread with windows must serve while it waits; and the call that
    // serves them (any PeekMessage does, before it looks at the queue).
    virtual DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                            DWORD milliseconds, DWORD wakeMask) = 0;
    virtual BOOL PeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT remove) = 0;
    virtual void GetLocalTime(LPSYSTEMTIME time) = 0;
    virtual HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) = 0;
    virtual HLOCAL LocalFree(HLOCAL memory) = 0;
    virtual HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) = 0;
    virtual HGLOBAL GlobalFree(HGLOBAL memory) = 0;

    // The redirection of the system directory for the calling thread, under
    // WOW64 on 64-bit Windows. 32-bit Vista and later export the pair and
    // fail it with ERROR_INVALID_FUNCTION; older 32-bit systems lack it
    // (ERROR_CALL_NOT_IMPLEMENTED).
    virtual BOOL Wow64DisableWow64FsRedirection(PVOID* oldValue) = 0;
    virtual BOOL Wow64RevertWow64FsRedirection(PVOID oldValue) = 0;

    // Initialisation files.
    virtual DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText,
                                           LPSTR buffer, DWORD size, LPCSTR fileName) = 0;
    virtual UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue,
                                       LPCSTR fileName) = 0;
    virtual BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value,
                                            LPCSTR fileName) = 0;
    virtual DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer,
                                    DWORD size) = 0;
    virtual BOOL WriteProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value) = 0;

    // Registry. These return the error code instead of setting the last error.
    virtual LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access,
                               PHKEY result) = 0;
    virtual LONG RegCreateKeyExA(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR keyClass,
                                 DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES attributes,
                                 PHKEY result, LPDWORD disposition) = 0;
    virtual LONG RegCloseKey(HKEY key) = 0;
    virtual LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type,
                                  LPBYTE data, LPDWORD dataSize) = 0;
    virtual LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type,
                                const BYTE* data, DWORD dataSize) = 0;
    virtual LONG RegDeleteValueA(HKEY key, LPCSTR valueName) = 0;
    virtual LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) = 0;

    // Files and directories.
    virtual HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode,
                               LPSECURITY_ATTRIBUTES attributes, DWORD disposition,
                               DWORD flagsAndAttributes, HANDLE templateFile) = 0;
    virtual BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read,
                          LPOVERLAPPED overlapped) = 0;
    virtual BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written,
                           LPOVERLAPPED overlapped) = 0;
    virtual DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh) = 0;
    virtual DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh,
                                 DWORD moveMethod) = 0;
    virtual BOOL DeleteFileA(LPCSTR path) = 0;
    virtual BOOL CopyFileA(LPCSTR existing, LPCSTR target, BOOL failIfExists) = 0;
    virtual DWORD GetFileAttributesA(LPCSTR path) = 0;
    virtual BOOL SetFileAttributesA(LPCSTR path, DWORD attributes) = 0;
    virtual HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data) = 0;
    virtual BOOL FindNextFileA(HANDLE search, LPWIN32_FIND_DATAA data) = 0;
    virtual BOOL FindClose(HANDLE search) = 0;
    virtual BOOL GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION info) = 0;
    // The path a handle's file or folder was reached at, every link on the
    // way resolved ("\\?\C:\..."); Windows Vista and later.
    virtual DWORD GetFinalPathNameByHandleA(HANDLE file, LPSTR path, DWORD size, DWORD flags) = 0;
    virtual BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES attributes) = 0;
    // Only what the program asks of it: a file deleted when Windows next
    // starts (a null new name with MOVEFILE_DELAY_UNTIL_REBOOT), and a file
    // renamed within its drive (no flag, or MOVEFILE_REPLACE_EXISTING); the
    // NT family only.
    virtual BOOL MoveFileExA(LPCSTR existing, LPCSTR newName, DWORD flags) = 0;
    virtual BOOL RemoveDirectoryA(LPCSTR path) = 0;

    // Random numbers, for names nobody can guess.
    virtual BOOL CryptAcquireContextA(HCRYPTPROV* provider, LPCSTR container, LPCSTR providerName,
                                      DWORD type, DWORD flags) = 0;
    virtual BOOL CryptGenRandom(HCRYPTPROV provider, DWORD length, BYTE* buffer) = 0;
    virtual BOOL CryptReleaseContext(HCRYPTPROV provider, DWORD flags) = 0;

    // Pictures read from files (the side bitmap), as the wizard's window
    // loads them; and their release.
    virtual HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height,
                              UINT flags) = 0;
    virtual BOOL DeleteObject(HANDLE object) = 0;

    // Version resources.
    virtual DWORD GetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle) = 0;
    virtual BOOL GetFileVersionInfoA(LPCSTR path, DWORD handle, DWORD size, LPVOID data) = 0;
    virtual BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* value,
                                UINT* length) = 0;

    // Cabinets.
    virtual BOOL SetupIterateCabinetA(PCSTR cabinet, DWORD reserved,
                                      PSP_FILE_CALLBACK_A handler, PVOID context) = 0;
    // Where the driver store keeps the package of an INF file of the
    // Windows "inf" folder: the INF's full path in the package's folder
    // (Vista on; elsewhere ERROR_CALL_NOT_IMPLEMENTED). `platform` is an
    // SP_ALTPLATFORM_INFO or null for the running system; sizes count
    // characters with the terminator; a buffer too small fails with
    // ERROR_INSUFFICIENT_BUFFER and the size needed.
    virtual BOOL SetupGetInfDriverStoreLocationA(PCSTR fileName, const void* platform, PCSTR localeName,
                                                 PSTR buffer, DWORD size, PDWORD required) = 0;

    // Print spooler.
    virtual BOOL AddPrinterDriverA(LPSTR server, DWORD level, LPBYTE info) = 0;
    // Windows 2000 and later; `copyFlags` as APD_COPY_ALL_FILES or APD_COPY_NEW_FILES.
    virtual BOOL AddPrinterDriverExA(LPSTR server, DWORD level, LPBYTE info, DWORD copyFlags) = 0;
    virtual BOOL DeletePrinterDriverA(LPSTR server, LPSTR environment, LPSTR driverName) = 0;
    virtual BOOL DeletePrinterDriverExA(LPSTR server, LPSTR environment, LPSTR driverName, DWORD deleteFlags,
                                        DWORD versionFlag) = 0;
    virtual BOOL AddMonitorA(LPSTR server, DWORD level, LPBYTE info) = 0;
    virtual BOOL DeleteMonitorA(LPSTR server, LPSTR environment, LPSTR monitorName) = 0;
    virtual BOOL EnumMonitorsA(LPSTR server, DWORD level, LPBYTE buffer, DWORD size,
                               LPDWORD needed, LPDWORD returned) = 0;
    virtual BOOL AddPrintProcessorA(LPSTR server, LPSTR environment, LPSTR pathName,
                                    LPSTR processorName) = 0;
    virtual BOOL DeletePrintProcessorA(LPSTR server, LPSTR environment, LPSTR processorName) = 0;
    virtual BOOL EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size,
                               LPDWORD needed, LPDWORD returned) = 0;
    virtual BOOL EnumPrinterDriversA(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size,
                                     LPDWORD needed, LPDWORD returned) = 0;
    virtual HANDLE AddPrinterA(LPSTR server, DWORD level, LPBYTE info) = 0;
    virtual BOOL DeletePrinter(HANDLE printer) = 0;
    virtual BOOL EnumPortsA(LPSTR server, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                            LPDWORD returned) = 0;
    virtual BOOL GetPrinterDriverDirectoryA(LPSTR server, LPSTR environment, DWORD level,
                                            LPBYTE buffer, DWORD size, LPDWORD needed) = 0;
    virtual BOOL GetPrintProcessorDirectoryA(LPSTR server, LPSTR environment, DWORD level,
                                             LPBYTE buffer, DWORD size, LPDWORD needed) = 0;
    virtual BOOL OpenPrinterA(LPSTR printerName, LPHANDLE printer,
                              LPPRINTER_DEFAULTSA defaults) = 0;
    virtual BOOL GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size,
                             LPDWORD needed) = 0;
    virtual BOOL SetPrinterA(HANDLE printer, DWORD level, LPBYTE info, DWORD command) = 0;
    virtual BOOL GetPrinterDriverA(HANDLE printer, LPSTR environment, DWORD level, LPBYTE buffer,
                                   DWORD size, LPDWORD needed) = 0;
    virtual BOOL ClosePrinter(HANDLE printer) = 0;
    virtual BOOL GetDefaultPrinterA(LPSTR buffer, LPDWORD size) = 0;

    // Windows protected print mode (Windows 11 version 24H2 on), where the
    // spooler accepts no printer driver but Windows' own: the Windows Runtime
    // property WindowsProtectedPrintInfo.IsProtectedPrintEnabled, read on the
    // calling thread. S_OK with the answer; REGDB_E_CLASSNOTREG where Windows
    // has no such mode; another failure where the Windows Runtime is missing
    // or cannot be started.
    virtual HRESULT IsProtectedPrintEnabled(BOOL* enabled) = 0;

    // Service control manager.
    virtual SC_HANDLE OpenSCManagerA(LPCSTR machine, LPCSTR database, DWORD access) = 0;
    virtual SC_HANDLE OpenServiceA(SC_HANDLE manager, LPCSTR serviceName, DWORD access) = 0;
    virtual BOOL ControlService(SC_HANDLE service, DWORD control, LPSERVICE_STATUS status) = 0;
    virtual BOOL StartServiceA(SC_HANDLE service, DWORD argc, LPCSTR* argv) = 0;
    virtual BOOL QueryServiceStatus(SC_HANDLE service, LPSERVICE_STATUS status) = 0;
    virtual BOOL CloseServiceHandle(SC_HANDLE handle) = 0;

    // Tokens and security identifiers.
    virtual HANDLE GetCurrentThread() = 0;
    virtual HANDLE GetCurrentProcess() = 0;
    virtual BOOL OpenThreadToken(HANDLE thread, DWORD access, BOOL openAsSelf, PHANDLE token) = 0;
    virtual BOOL OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) = 0;
    virtual BOOL GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS infoClass,
                                     LPVOID buffer, DWORD size, PDWORD returned) = 0;
    // A privilege's identifier on `system` (null: this one); an unknown name
    // fails with ERROR_NO_SUCH_PRIVILEGE.
    virtual BOOL LookupPrivilegeValueA(LPCSTR system, LPCSTR name, PLUID luid) = 0;
    // Enables or disables privileges the token holds (the token opened with
    // TOKEN_ADJUST_PRIVILEGES). It succeeds also when the token lacks one of
    // them: the last error is then ERROR_NOT_ALL_ASSIGNED, else ERROR_SUCCESS.
    virtual BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState, DWORD size,
                                       PTOKEN_PRIVILEGES previousState, PDWORD returned) = 0;
    virtual BOOL AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY authority, BYTE count,
                                          DWORD sub0, DWORD sub1, DWORD sub2, DWORD sub3,
                                          DWORD sub4, DWORD sub5, DWORD sub6, DWORD sub7,
                                          PSID* sid) = 0;
    virtual BOOL EqualSid(PSID first, PSID second) = 0;
    // The owner and access list of what a handle opens (a file, a folder, a
    // mutex), as a self-relative security descriptor; the NT family only.
    virtual BOOL GetKernelObjectSecurity(HANDLE object, SECURITY_INFORMATION requested,
                                         PSECURITY_DESCRIPTOR descriptor, DWORD size, LPDWORD needed) = 0;
    virtual PVOID FreeSid(PSID sid) = 0;

    // Libraries loaded at run time. SetDllDirectoryA exists from Windows XP
    // SP1 on, SetDefaultDllDirectories from Windows 8 on (and on Vista and 7
    // with an update); where the system lacks one, it fails with
    // ERROR_CALL_NOT_IMPLEMENTED.
    virtual BOOL SetDllDirectoryA(LPCSTR directory) = 0;
    virtual BOOL SetDefaultDllDirectories(DWORD flags) = 0;
    virtual HMODULE LoadLibraryA(LPCSTR fileName) = 0;
    virtual HMODULE LoadLibraryExA(LPCSTR fileName, HANDLE file, DWORD flags) = 0;
    virtual FARPROC GetProcAddress(HMODULE module, LPCSTR procName) = 0;
    virtual BOOL FreeLibrary(HMODULE module) = 0;

    // Other programs' windows, the shell, broadcasts and restart.
    virtual HWND FindWindowA(LPCSTR className, LPCSTR windowName) = 0;
    virtual BOOL SetForegroundWindow(HWND window) = 0;
    virtual BOOL OpenIcon(HWND window) = 0;
    virtual BOOL BringWindowToTop(HWND window) = 0;
    virtual HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                    LPCSTR directory, INT showCommand) = 0;
    virtual BOOL ShellExecuteExA(LPSHELLEXECUTEINFOA info) = 0;
    virtual BOOL ExitWindowsEx(UINT flags, DWORD reason) = 0;
    // The user's display settings; of them the program asks only
    // SPI_GETHIGHCONTRAST, with a HIGHCONTRASTA whose cbSize, like uiParam,
    // is the record's size. Windows without the setting (NT 4.0) fail it.
    virtual BOOL SystemParametersInfoA(UINT action, UINT uiParam, PVOID pvParam, UINT winIni) = 0;
    virtual LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT flags, UINT timeout, PDWORD_PTR result) = 0;
    virtual BOOL SendNotifyMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // Message boxes (both kinds the system shows end here).
    virtual int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) = 0;

    // A function of Windows' own libraries, found through this system's own
    // calls: its library loaded from the system directory by its full path
    // (what that library loads in turn looked for there first too), then the
    // function asked of it. Both backends look up at the same moments: the
    // Win32 one before it calls the function, the simulation before it
    // answers, so that the simulation sees every lookup. A function found
    // is kept, its library loaded for the rest of the run as an import
    // would be; one not found is looked for again at the next call (a load
    // can fail for a while: with redirection off, say). Null, with the last
    // error ERROR_CALL_NOT_IMPLEMENTED, where it is not found.
    FARPROC lookUp(SystemFunction function);
    // Whether `module` is a library lookUp keeps loaded for the run.
    bool keptLoaded(HMODULE module) const;

protected:
    // A new run of the program has looked nothing up yet.
    void forgetLookUps();

private:
    static constexpr int kSystemFunctions = static_cast<int>(SystemFunction::Count);
    // Written by whichever thread finds a function first; all find the same.
    std::atomic<FARPROC> found_[kSystemFunctions] = {};
    std::atomic<HMODULE> kept_[kSystemFunctions] = {};
};

// RtlGetVersion's results.
constexpr LONG kStatusSuccess = 0;
constexpr LONG kStatusNotImplemented = static_cast<LONG>(0xC0000002);
constexpr LONG kStatusInvalidParameter = static_cast<LONG>(0xC000000D);

// The system in use by this process. On Windows it is the real one unless a
// test has installed another; the native build has none until a test installs
// the simulation.
Os& sys();

// The running system's version through sys() (GetVersionExA, its size
// filled in); false when it cannot be read, `version` then all zeros but
// for its size.
bool runningVersion(OSVERSIONINFOA* version);

// Whether `path` names a file (not a folder) through sys().
bool isFile(const std::string& path);

// Installs `system` for the whole process (nullptr restores the default) and
// returns what was installed before.
Os* install(Os* system);
// Counts the installations: what is known of one system is known of it
// only while the count stays the same.
unsigned installation();

// Installs a system for the lifetime of a scope.
class ScopedSystem {
public:
    explicit ScopedSystem(Os& system) : previous_(install(&system)) {}
    ~ScopedSystem() { install(previous_); }
    ScopedSystem(const ScopedSystem&) = delete;
    ScopedSystem& operator=(const ScopedSystem&) = delete;

private:
    Os* previous_;
};

}  // namespace os
