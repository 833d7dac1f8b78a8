// A simulated Windows machine for tests: a model, not a mock. It keeps a
// registry, disks, a print spooler with its service, a token, other
// programs' windows, an attached USB printer behind "HvUsbInt.dll", and a
// virtual clock that Sleep advances. It answers every call with the results
// and last-error codes Windows gives, and any call can be made to fail.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "os/Os.h"
#include "os/sim/Clock.h"
#include "os/sim/Desktop.h"
#include "os/sim/Faults.h"
#include "os/sim/FileSystem.h"
#include "os/sim/Machine.h"
#include "os/sim/Registry.h"
#include "os/sim/Security.h"
#include "os/sim/Services.h"
#include "os/sim/Spooler.h"
#include "os/sim/UsbBus.h"

namespace os::sim {

struct ServiceObject;

class SimOs final : public Os {
public:
    // A freshly installed machine of the given Windows version, with its
    // directories, its registry, the spooler with "WinPrint", "Local Port"
    // and the ports LPT1: to LPT3:, COM1: to COM4: and FILE:, and the
    // Spooler service running.
    explicit SimOs(const Machine& machine = Machine::windowsXp());
    ~SimOs() override;

    Machine& machine() { return machine_; }
    Registry& registry() { return registry_; }
    FileSystem& files() { return files_; }
    Spooler& spooler() { return spooler_; }
    Services& services() { return services_; }
    UsbBus& usb() { return usb_; }
    Desktop& desktop() { return desktop_; }
    Clock& clock() { return clock_; }
    Faults& faults() { return faults_; }

    // A full path on the machine, relative paths taken from its current directory.
    std::string fullPath(const std::string& path) const;
    // The file a path names for this program, a 32-bit one: on 64-bit
    // Windows the system directory is SysWOW64 (but for the folders Windows
    // shares between both), and Sysnative the native system directory,
    // while the calling thread has not turned redirection off.
    std::string programPath(const std::string& path) const;
    // The registry key a path from a predefined root names for this program:
    // on 64-bit Windows HKLM\SOFTWARE is the 32-bit view under Wow6432Node
    // unless the access asks for the 64-bit one.
    std::string viewedKey(HKEY root, const std::string& subKey, REGSAM access) const;
    // Every call made, in order, as "Name subject" (the subject is the path,
    // key, printer or service name the call is about, or empty).
    std::vector<std::string> journal() const;
    // The subjects of the journal's calls of one name.
    std::vector<std::string> calls(const std::string& name) const;
    void clearJournal();
    // Another process (a copy of the program already running) holds a named
    // mutex; made by an administrator with his token's defaults, or with
    // the owner and access list given (another user's, say).
    void holdMutexElsewhere(const std::string& name);
    void holdMutexElsewhere(const std::string& name, const Descriptor& security);
    // Another process acts at the moment the program makes a call: `action`
    // runs once, at the start of the first call of that name whose subject
    // contains `subject` (without regard to case), before the call does
    // anything. A race another user runs against the program.
    void beforeCall(const std::string& call, const std::string& subject, std::function<void(SimOs&)> action);
    // Another program serves a named pipe ("\\.\pipe\NAME"): the
    // impersonation levels its clients allowed it (0 anonymous, 1
    // identification, 2 impersonation, 3 delegation) and what they wrote.
    struct Pipe {
        std::vector<DWORD> clientLevels;
        std::string received;
    };
    Pipe& servePipe(const std::string& name) { return pipes_[name]; }
    // The program's process ended, as between two runs of it: Windows
    // closes the named mutexes it held and unloads the libraries it kept
    // loaded for the functions it looked up (Os::lookUp), which the next
    // run looks up again; the next run's token has no privilege enabled.
    void endProgram();
    // Every library loaded: by the program, with what each imports, and
    // what Windows loaded for the program by name (a box's theme library).
    std::vector<std::string> loadedLibraries() const;
    // Every library ever loaded in the run, in the order of loading.
    const std::vector<std::string>& everLoaded() const { return loadHistory_; }
    // The loads and lookups (LoadLibraryA, LoadLibraryExA, GetProcAddress,
    // as "Name subject") made by a thread that had turned the redirection
    // of the system directory off.
    const std::vector<std::string>& lookedUpWithRedirectionOff() const { return lookedUpWithRedirectionOff_; }
    // Handles of this program's that are still open (files, searches, tokens,
    // printers, service handles, modules, mutexes, registry keys); not the
    // libraries Os::lookUp keeps loaded for the run.
    size_t openHandles() const;

    DWORD GetLastError() override;
    void SetLastError(DWORD code) override;
    // The version the program's manifest lets it see (Machine::manifestNames).
    BOOL GetVersionExA(LPOSVERSIONINFOA info) override;
    // The NT family from Windows 2000 on.
    LONG RtlGetVersion(PRTL_OSVERSIONINFOEXW info) override;
    // The processor of Machine::nativeMachine, where the machine has the call.
    BOOL IsWow64Process2(HANDLE process, USHORT* processMachine, USHORT* nativeMachine) override;
    void GetNativeSystemInfo(LPSYSTEM_INFO info) override;
    // Redirection is the calling thread's, as on Windows.
    BOOL Wow64DisableWow64FsRedirection(PVOID* oldValue) override;
    BOOL Wow64RevertWow64FsRedirection(PVOID oldValue) override;
    DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) override;
    DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) override;
    BOOL SetCurrentDirectoryA(LPCSTR path) override;
    UINT GetSystemDirectoryA(LPSTR buffer, UINT size) override;
    UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) override;
    DWORD GetTempPathA(DWORD size, LPSTR buffer) override;
    HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name) override;
    BOOL CloseHandle(HANDLE handle) override;
    // A process started by ShellExecuteExA ends when the program it runs
    // ends (Desktop::programRunsFor); the wait advances the clock.
    DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) override;
    void Sleep(DWORD milliseconds) override;
    DWORD GetTickCount() override;
    // No other thread sends the simulated program messages: the wait lasts
    // its time, as Sleep does, and nothing is there to serve.
    DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                    DWORD wakeMask) override;
    BOOL PeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT remove) override;
    // The machine was switched on at 09:00 on 1 June 2009; its clock runs from there.
    void GetLocalTime(LPSYSTEMTIME time) override;
    HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) override;
    HLOCAL LocalFree(HLOCAL memory) override;
    HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) override;
    HGLOBAL GlobalFree(HGLOBAL memory) override;
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
    // Vista and later; the normalised path with its drive letter only.
    DWORD GetFinalPathNameByHandleA(HANDLE file, LPSTR path, DWORD size, DWORD flags) override;
    // A security descriptor given is read: the new directory keeps its
    // access list (FileSystem::Node::dacl).
    BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES attributes) override;
    // The files to be deleted when Windows next starts (Machine::deletedAtRestart).
    BOOL MoveFileExA(LPCSTR existing, LPCSTR newName, DWORD flags) override;
    // A bitmap file that Windows would read (a file header, a known info
    // header, a size and depth it draws); a handle that DeleteObject releases.
    HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags) override;
    BOOL DeleteObject(HANDLE object) override;
    // The bytes come from a generator of the machine's own: different at
    // every call, the same from run to run.
    BOOL CryptAcquireContextA(HCRYPTPROV* provider, LPCSTR container, LPCSTR providerName, DWORD type,
                              DWORD flags) override;
    BOOL CryptGenRandom(HCRYPTPROV provider, DWORD length, BYTE* buffer) override;
    BOOL CryptReleaseContext(HCRYPTPROV provider, DWORD flags) override;
    BOOL RemoveDirectoryA(LPCSTR path) override;
    DWORD GetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle) override;
    BOOL GetFileVersionInfoA(LPCSTR path, DWORD handle, DWORD size, LPVOID data) override;
    BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* value, UINT* length) override;
    BOOL SetupIterateCabinetA(PCSTR cabinet, DWORD reserved, PSP_FILE_CALLBACK_A handler, PVOID context) override;
    // The packages of Machine::driverStorePackages, for the running system
    // alone (no other platform is modelled).
    BOOL SetupGetInfDriverStoreLocationA(PCSTR fileName, const void* platform, PCSTR localeName, PSTR buffer,
                                         DWORD size, PDWORD required) override;
    BOOL AddPrinterDriverA(LPSTR server, DWORD level, LPBYTE info) override;
    BOOL AddPrinterDriverExA(LPSTR server, DWORD level, LPBYTE info, DWORD copyFlags) override;
    BOOL DeletePrinterDriverA(LPSTR server, LPSTR environment, LPSTR driverName) override;
    // As DeletePrinterDriverA; with DPD_DELETE_UNUSED_FILES the files of its
    // version directory that no other driver names go too, those that can.
    BOOL DeletePrinterDriverExA(LPSTR server, LPSTR environment, LPSTR driverName, DWORD deleteFlags,
                                DWORD versionFlag) override;
    BOOL AddMonitorA(LPSTR server, DWORD level, LPBYTE info) override;
    BOOL DeleteMonitorA(LPSTR server, LPSTR environment, LPSTR monitorName) override;
    BOOL EnumMonitorsA(LPSTR server, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) override;
    BOOL AddPrintProcessorA(LPSTR server, LPSTR environment, LPSTR pathName, LPSTR processorName) override;
    BOOL DeletePrintProcessorA(LPSTR server, LPSTR environment, LPSTR processorName) override;
    // Local printers at level 4 (name and attributes), the only level the
    // program reads.
    BOOL EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                       LPDWORD returned) override;
    // Level 3, the only level the program reads.
    BOOL EnumPrinterDriversA(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size,
                             LPDWORD needed, LPDWORD returned) override;
    // Level 3, the only level the program reads.
    BOOL GetPrinterDriverA(HANDLE printer, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size,
                           LPDWORD needed) override;
    HANDLE AddPrinterA(LPSTR server, DWORD level, LPBYTE info) override;
    BOOL DeletePrinter(HANDLE printer) override;
    BOOL EnumPortsA(LPSTR server, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) override;
    BOOL GetPrinterDriverDirectoryA(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) override;
    BOOL GetPrintProcessorDirectoryA(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) override;
    BOOL OpenPrinterA(LPSTR printerName, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults) override;
    BOOL GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) override;
    BOOL SetPrinterA(HANDLE printer, DWORD level, LPBYTE info, DWORD command) override;
    BOOL ClosePrinter(HANDLE printer) override;
    BOOL GetDefaultPrinterA(LPSTR buffer, LPDWORD size) override;
    // On by the group policy's value or by Machine::protectedPrintSwitchedOn.
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
    // A file's or folder's (FileSystem::security) or a mutex's owner and access list.
    BOOL GetKernelObjectSecurity(HANDLE object, SECURITY_INFORMATION requested, PSECURITY_DESCRIPTOR descriptor,
                                 DWORD size, LPDWORD needed) override;
    PVOID FreeSid(PSID sid) override;
    BOOL SetDllDirectoryA(LPCSTR directory) override;
    // Windows 8 and later have it, Vista and 7 when Machine::dllDirectoriesUpdate
    // says so; afterwards a bare name is looked for in the system directory only.
    BOOL SetDefaultDllDirectories(DWORD flags) override;
    // A library's imports are loaded with it, each looked for as the load
    // looks (SimOs::findLibrary); one missing fails the load with 126.
    HMODULE LoadLibraryA(LPCSTR fileName) override;
    // LOAD_WITH_ALTERED_SEARCH_PATH, and LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR and
    // LOAD_LIBRARY_SEARCH_SYSTEM32 where the system has them (as it has
    // SetDefaultDllDirectories), else ERROR_INVALID_PARAMETER.
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

    // "SetDefaultPrinterA" as the simulated winspool.drv exports it.
    BOOL SetDefaultPrinterA(LPCSTR printerName);

    // --- for the simulation's own parts ---------------------------------
    std::recursive_mutex& mutex() { return mutex_; }
    // Records the call; when a fault is injected for it, sets the last error
    // and returns true.
    bool enter(const char* call, const std::string& subject = "");
    void fail(DWORD error);
    // What an advapi32 call that may name another computer meets before its
    // own work: Windows 95, 98 and Me do not implement it, and the simulated
    // machine is alone on its network. Sets the last error and returns true
    // when the call ends there.
    bool refusedOffNtOrRemote(LPCSTR machineName);
    // Brings the services up to the clock, and the spooler's loaded files
    // with them.
    void updateServices();

    struct Object;

private:
    template <typename T>
    T* object(HANDLE handle);
    HANDLE addObject(std::shared_ptr<Object> object);
    std::shared_ptr<Registry::Key> keyOf(HKEY key, REGSAM need, LONG* error);
    LONG viewRefused(REGSAM access) const;
    bool spoolerAvailable();
    void buildMachine();
    void setSpoolerLoaded(bool running);
    std::string driverDirectory(const std::string& environment) const;
    std::string driverFilesDirectory(const Spooler::Driver& driver) const;
    Services::Service* openedService(const char* call, SC_HANDLE handle, DWORD right,
                                     ServiceObject** opened);
    bool spoolerReachable(LPSTR server, bool changes);
    // AddPrinterDriverA and AddPrinterDriverExA once the call is entered.
    BOOL addPrinterDriver(LPSTR server, DWORD level, LPBYTE info, DWORD copyFlags);
    bool beginEnumeration(const char* call, LPSTR server, DWORD level, LPDWORD needed,
                          LPDWORD returned);
    bool enumerationFits(DWORD total, LPBYTE buffer, DWORD size, LPDWORD needed,
                         LPDWORD returned);
    bool recordFits(DWORD total, LPBYTE buffer, DWORD size, LPDWORD needed);
    BOOL spoolerDirectory(const char* call, LPSTR server, LPSTR environment, DWORD level,
                          LPBYTE buffer, DWORD size, LPDWORD needed, bool processor);
    std::string processorDirectory(const std::string& environment) const;
    void noteDriverLoadPrivilege(const char* call);

    // The machine's lock, and the lock of the journal and the faults, which
    // the waits share with every other call (the clock has its own).
    mutable std::recursive_mutex mutex_;
    mutable std::mutex recordMutex_;
    Machine machine_;
    Registry registry_;
    FileSystem files_;
    Spooler spooler_;
    Services services_;
    UsbBus usb_;
    Desktop desktop_;
    Clock clock_;
    Faults faults_;
    std::vector<std::string> journal_;
    struct Race {
        std::string call, subject;
        std::function<void(SimOs&)> action;
    };
    std::vector<Race> races_;
    std::map<uintptr_t, std::shared_ptr<Object>> objects_;
    uintptr_t nextHandle_ = 0x100;
    struct OpenKey {
        std::shared_ptr<Registry::Key> key;
        REGSAM access;
    };
    std::map<uintptr_t, OpenKey> keys_;
    struct NamedMutex {
        int handles = 0;
        Descriptor security;
    };
    std::map<std::string, NamedMutex> mutexes_;  // named objects compare with case
    std::map<std::string, Pipe, LessNoCase> pipes_;
    HANDLE openPipe(const std::string& path, const std::string& name, DWORD flagsAndAttributes);
    std::vector<std::shared_ptr<FileSystem::Opening>> spoolerHolds_;
    // Whether the spooler has its monitor and processor DLLs loaded.
    bool spoolerLoaded_ = false;
    // SetDllDirectoryA has replaced the current directory in the search for
    // libraries by this folder (empty: by nothing).
    bool dllDirectorySet_ = false;
    std::string dllDirectory_;
    // SetDefaultDllDirectories has limited the search to the system directory.
    bool systemDirectoryOnly_ = false;
    // Libraries Windows loaded for the program by name.
    std::vector<std::string> systemLoads_;
    std::vector<std::string> loadHistory_;
    struct LibrarySearch {
        DWORD flags = 0;            // of LoadLibraryExA
        std::string libraryFolder;  // the folder of the library loaded
    };
    bool hasSearchFlags() const;
    std::string findLibrary(const std::string& name, const LibrarySearch& search) const;
    bool loadImports(const std::string& path, const LibrarySearch& search, int depth, std::vector<std::string>* found);
    HMODULE loadLibrary(const std::string& name, const LibrarySearch& search);
    void loadForTheSystem(const std::string& name);
    uint32_t randomState_ = 0x2545F491;
    // The threads that have turned the redirection of the system directory off.
    std::map<std::thread::id, bool> redirectionOff_;
    bool redirectionOffHere() const;
    std::vector<std::string> lookedUpWithRedirectionOff_;
    void noteLookUp(const char* call, const std::string& subject);
    std::string ownLibrary(const std::string& name) const;
    bool hasOwnLibrary(const std::string& base) const;
    void holdSpoolerFile(const std::string& fullPath);
    void releaseSpoolerFile(const std::string& fullPath);
};

}  // namespace os::sim
