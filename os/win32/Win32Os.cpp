#include "os/win32/Win32Os.h"

// Forwarding only: the behaviour, results and last-error codes are Windows' own.

#include <string>

namespace os {

HMODULE loadSystemLibrary(const char* dll) {
    char directory[MAX_PATH] = {};
    UINT length = ::GetSystemDirectoryA(directory, sizeof directory);
    if (length == 0 || length >= sizeof directory) return nullptr;
    const std::string path = std::string(directory) + "\\" + dll;
    return ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

namespace {

// Fails as a call to a function the system lacks.
template <typename Result>
Result missing(Result failure) {
    ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return failure;
}

}  // namespace

// A function of Windows' own libraries, looked up through the seam
// (Os::lookUp) so that the lookups are the same as the simulation's.
template <typename Function>
Function Win32Os::found(SystemFunction function) {
    return reinterpret_cast<Function>(lookUp(function));
}

DWORD Win32Os::GetLastError() {
    return ::GetLastError();
}

void Win32Os::SetLastError(DWORD code) {
    ::SetLastError(code);
}

BOOL Win32Os::GetVersionExA(LPOSVERSIONINFOA info) {
    return ::GetVersionExA(info);
}

LONG Win32Os::RtlGetVersion(PRTL_OSVERSIONINFOEXW info) {
    // ntdll's, which the NT family has from Windows 2000 on.
    typedef LONG(WINAPI * Proc)(PRTL_OSVERSIONINFOEXW);
    const Proc function = found<Proc>(SystemFunction::RtlGetVersion);
    return function ? function(info) : kStatusNotImplemented;
}

BOOL Win32Os::IsWow64Process2(HANDLE process, USHORT* processMachine, USHORT* nativeMachine) {
    // Windows 10 version 1709 on; the only call that tells an x86 program on
    // ARM64 from one on x64.
    typedef BOOL(WINAPI * Proc)(HANDLE, USHORT*, USHORT*);
    const Proc function = found<Proc>(SystemFunction::IsWow64Process2);
    return function ? function(process, processMachine, nativeMachine) : missing<BOOL>(FALSE);
}

void Win32Os::GetNativeSystemInfo(LPSYSTEM_INFO info) {
    // Windows XP on.
    typedef void(WINAPI * Proc)(LPSYSTEM_INFO);
    const Proc function = found<Proc>(SystemFunction::GetNativeSystemInfo);
    if (function) return function(info);
    info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
    ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
}

DWORD Win32Os::GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
    return ::GetModuleFileNameA(module, buffer, size);
}

DWORD Win32Os::GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    return ::GetCurrentDirectoryA(size, buffer);
}

BOOL Win32Os::SetCurrentDirectoryA(LPCSTR path) {
    return ::SetCurrentDirectoryA(path);
}

UINT Win32Os::GetSystemDirectoryA(LPSTR buffer, UINT size) {
    return ::GetSystemDirectoryA(buffer, size);
}

UINT Win32Os::GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    return ::GetWindowsDirectoryA(buffer, size);
}

DWORD Win32Os::GetTempPathA(DWORD size, LPSTR buffer) {
    return ::GetTempPathA(size, buffer);
}

HANDLE Win32Os::CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name) {
    return ::CreateMutexA(attributes, initialOwner, name);
}

BOOL Win32Os::CloseHandle(HANDLE handle) {
    return ::CloseHandle(handle);
}

DWORD Win32Os::WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return ::WaitForSingleObject(handle, milliseconds);
}

void Win32Os::Sleep(DWORD milliseconds) {
    ::Sleep(milliseconds);
}

DWORD Win32Os::MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                         DWORD milliseconds, DWORD wakeMask) {
    return ::MsgWaitForMultipleObjects(count, handles, waitAll, milliseconds, wakeMask);
}

BOOL Win32Os::PeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT remove) {
    return ::PeekMessageA(message, window, first, last, remove);
}

DWORD Win32Os::GetTickCount() {
    return ::GetTickCount();
}

void Win32Os::GetLocalTime(LPSYSTEMTIME time) {
    ::GetLocalTime(time);
}

HLOCAL Win32Os::LocalAlloc(UINT flags, SIZE_T bytes) {
    return ::LocalAlloc(flags, bytes);
}

HLOCAL Win32Os::LocalFree(HLOCAL memory) {
    return ::LocalFree(memory);
}

HGLOBAL Win32Os::GlobalAlloc(UINT flags, SIZE_T bytes) {
    return ::GlobalAlloc(flags, bytes);
}

HGLOBAL Win32Os::GlobalFree(HGLOBAL memory) {
    return ::GlobalFree(memory);
}

DWORD Win32Os::GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer, DWORD size, LPCSTR fileName) {
    return ::GetPrivateProfileStringA(section, key, defaultText, buffer, size, fileName);
}

UINT Win32Os::GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
    return ::GetPrivateProfileIntA(section, key, defaultValue, fileName);
}

BOOL Win32Os::WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
    return ::WritePrivateProfileStringA(section, key, value, fileName);
}

DWORD Win32Os::GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer, DWORD size) {
    return ::GetProfileStringA(section, key, defaultText, buffer, size);
}

BOOL Win32Os::WriteProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value) {
    return ::WriteProfileStringA(section, key, value);
}

LONG Win32Os::RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
    return ::RegOpenKeyExA(root, subKey, options, access, result);
}

LONG Win32Os::RegCreateKeyExA(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES attributes, PHKEY result, LPDWORD disposition) {
    return ::RegCreateKeyExA(root, subKey, reserved, keyClass, options, access, attributes, result, disposition);
}

LONG Win32Os::RegCloseKey(HKEY key) {
    return ::RegCloseKey(key);
}

LONG Win32Os::RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    return ::RegQueryValueExA(key, valueName, reserved, type, data, dataSize);
}

LONG Win32Os::RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize) {
    return ::RegSetValueExA(key, valueName, reserved, type, data, dataSize);
}

LONG Win32Os::RegDeleteValueA(HKEY key, LPCSTR valueName) {
    return ::RegDeleteValueA(key, valueName);
}

LONG Win32Os::RegDeleteKeyA(HKEY key, LPCSTR subKey) {
    return ::RegDeleteKeyA(key, subKey);
}

HANDLE Win32Os::CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES attributes, DWORD disposition, DWORD flagsAndAttributes, HANDLE templateFile) {
    return ::CreateFileA(path, access, shareMode, attributes, disposition, flagsAndAttributes, templateFile);
}

BOOL Win32Os::ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped) {
    return ::ReadFile(file, buffer, toRead, read, overlapped);
}

BOOL Win32Os::WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED overlapped) {
    return ::WriteFile(file, buffer, toWrite, written, overlapped);
}

DWORD Win32Os::GetFileSize(HANDLE file, LPDWORD sizeHigh) {
    return ::GetFileSize(file, sizeHigh);
}

DWORD Win32Os::SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod) {
    return ::SetFilePointer(file, distance, distanceHigh, moveMethod);
}

BOOL Win32Os::DeleteFileA(LPCSTR path) {
    return ::DeleteFileA(path);
}

BOOL Win32Os::CopyFileA(LPCSTR existing, LPCSTR target, BOOL failIfExists) {
    return ::CopyFileA(existing, target, failIfExists);
}

DWORD Win32Os::GetFileAttributesA(LPCSTR path) {
    return ::GetFileAttributesA(path);
}

BOOL Win32Os::SetFileAttributesA(LPCSTR path, DWORD attributes) {
    return ::SetFileAttributesA(path, attributes);
}

HANDLE Win32Os::FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
    return ::FindFirstFileA(pattern, data);
}

BOOL Win32Os::FindNextFileA(HANDLE search, LPWIN32_FIND_DATAA data) {
    return ::FindNextFileA(search, data);
}

BOOL Win32Os::FindClose(HANDLE search) {
    return ::FindClose(search);
}

BOOL Win32Os::MoveFileExA(LPCSTR existing, LPCSTR newName, DWORD flags) {
    // Windows 95 exports it as a stub only: looked up, as the NT family has it.
    const auto function = found<decltype(&::MoveFileExA)>(SystemFunction::MoveFileExA);
    return function ? function(existing, newName, flags) : missing<BOOL>(FALSE);
}

BOOL Win32Os::GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION info) {
    return ::GetFileInformationByHandle(file, info);
}

DWORD Win32Os::GetFinalPathNameByHandleA(HANDLE file, LPSTR path, DWORD size, DWORD flags) {
    // Windows Vista and later.
    typedef DWORD(WINAPI * Proc)(HANDLE, LPSTR, DWORD, DWORD);
    const Proc function = found<Proc>(SystemFunction::GetFinalPathNameByHandleA);
    return function ? function(file, path, size, flags) : missing<DWORD>(0);
}

HANDLE Win32Os::LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags) {
    return ::LoadImageA(instance, name, type, width, height, flags);
}

BOOL Win32Os::DeleteObject(HANDLE object) {
    return ::DeleteObject(static_cast<HGDIOBJ>(object));
}

// The random numbers came with the CryptoAPI, which not every Windows the
// program loads on is sure to have: looked up at their first use.
BOOL Win32Os::CryptAcquireContextA(HCRYPTPROV* provider, LPCSTR container, LPCSTR providerName, DWORD type, DWORD flags) {
    const auto function = found<decltype(&::CryptAcquireContextA)>(SystemFunction::CryptAcquireContextA);
    return function ? function(provider, container, providerName, type, flags) : missing<BOOL>(FALSE);
}

BOOL Win32Os::CryptGenRandom(HCRYPTPROV provider, DWORD length, BYTE* buffer) {
    const auto function = found<decltype(&::CryptGenRandom)>(SystemFunction::CryptGenRandom);
    return function ? function(provider, length, buffer) : missing<BOOL>(FALSE);
}

BOOL Win32Os::CryptReleaseContext(HCRYPTPROV provider, DWORD flags) {
    const auto function = found<decltype(&::CryptReleaseContext)>(SystemFunction::CryptReleaseContext);
    return function ? function(provider, flags) : missing<BOOL>(FALSE);
}

BOOL Win32Os::CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES attributes) {
    return ::CreateDirectoryA(path, attributes);
}

BOOL Win32Os::RemoveDirectoryA(LPCSTR path) {
    return ::RemoveDirectoryA(path);
}

DWORD Win32Os::GetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle) {
    const auto function = found<decltype(&::GetFileVersionInfoSizeA)>(SystemFunction::GetFileVersionInfoSizeA);
    return function ? function(path, handle) : missing<DWORD>(0);
}

BOOL Win32Os::GetFileVersionInfoA(LPCSTR path, DWORD handle, DWORD size, LPVOID data) {
    const auto function = found<decltype(&::GetFileVersionInfoA)>(SystemFunction::GetFileVersionInfoA);
    return function ? function(path, handle, size, data) : missing<BOOL>(FALSE);
}

BOOL Win32Os::VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* value, UINT* length) {
    const auto function = found<decltype(&::VerQueryValueA)>(SystemFunction::VerQueryValueA);
    return function ? function(block, subBlock, value, length) : missing<BOOL>(FALSE);
}

BOOL Win32Os::SetupIterateCabinetA(PCSTR cabinet, DWORD reserved, PSP_FILE_CALLBACK_A handler, PVOID context) {
    // Windows 98 SE may lack setupapi.dll; only the NT family reads cabinets.
    typedef BOOL(WINAPI * Proc)(PCSTR, DWORD, PSP_FILE_CALLBACK_A, PVOID);
    const Proc function = found<Proc>(SystemFunction::SetupIterateCabinetA);
    return function ? function(cabinet, reserved, handler, context) : missing<BOOL>(FALSE);
}

BOOL Win32Os::SetupGetInfDriverStoreLocationA(PCSTR fileName, const void* platform, PCSTR localeName, PSTR buffer,
                                                DWORD size, PDWORD required) {
    // Windows Vista on.
    typedef BOOL(WINAPI * Proc)(PCSTR, const void*, PCSTR, PSTR, DWORD, PDWORD);
    const Proc function = found<Proc>(SystemFunction::SetupGetInfDriverStoreLocationA);
    return function ? function(fileName, platform, localeName, buffer, size, required) : missing<BOOL>(FALSE);
}

BOOL Win32Os::AddPrinterDriverA(LPSTR server, DWORD level, LPBYTE info) {
    const auto function = found<decltype(&::AddPrinterDriverA)>(SystemFunction::AddPrinterDriverA);
    return function ? function(server, level, info) : missing<BOOL>(FALSE);
}

BOOL Win32Os::AddPrinterDriverExA(LPSTR server, DWORD level, LPBYTE info, DWORD copyFlags) {
    // Windows 2000 and later.
    const auto function = found<decltype(&::AddPrinterDriverExA)>(SystemFunction::AddPrinterDriverExA);
    return function ? function(server, level, info, copyFlags) : missing<BOOL>(FALSE);
}

BOOL Win32Os::DeletePrinterDriverA(LPSTR server, LPSTR environment, LPSTR driverName) {
    const auto function = found<decltype(&::DeletePrinterDriverA)>(SystemFunction::DeletePrinterDriverA);
    return function ? function(server, environment, driverName) : missing<BOOL>(FALSE);
}

BOOL Win32Os::DeletePrinterDriverExA(LPSTR server, LPSTR environment, LPSTR driverName, DWORD deleteFlags,
                                     DWORD versionFlag) {
    // Windows 2000 and later.
    const auto function = found<decltype(&::DeletePrinterDriverExA)>(SystemFunction::DeletePrinterDriverExA);
    return function ? function(server, environment, driverName, deleteFlags, versionFlag) : missing<BOOL>(FALSE);
}

BOOL Win32Os::AddMonitorA(LPSTR server, DWORD level, LPBYTE info) {
    const auto function = found<decltype(&::AddMonitorA)>(SystemFunction::AddMonitorA);
    return function ? function(server, level, info) : missing<BOOL>(FALSE);
}

BOOL Win32Os::DeleteMonitorA(LPSTR server, LPSTR environment, LPSTR monitorName) {
    const auto function = found<decltype(&::DeleteMonitorA)>(SystemFunction::DeleteMonitorA);
    return function ? function(server, environment, monitorName) : missing<BOOL>(FALSE);
}

BOOL Win32Os::EnumMonitorsA(LPSTR server, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
    const auto function = found<decltype(&::EnumMonitorsA)>(SystemFunction::EnumMonitorsA);
    return function ? function(server, level, buffer, size, needed, returned) : missing<BOOL>(FALSE);
}

BOOL Win32Os::AddPrintProcessorA(LPSTR server, LPSTR environment, LPSTR pathName, LPSTR processorName) {
    const auto function = found<decltype(&::AddPrintProcessorA)>(SystemFunction::AddPrintProcessorA);
    return function ? function(server, environment, pathName, processorName) : missing<BOOL>(FALSE);
}

HANDLE Win32Os::AddPrinterA(LPSTR server, DWORD level, LPBYTE info) {
    const auto function = found<decltype(&::AddPrinterA)>(SystemFunction::AddPrinterA);
    return function ? function(server, level, info) : missing<HANDLE>(nullptr);
}

BOOL Win32Os::DeletePrintProcessorA(LPSTR server, LPSTR environment, LPSTR processorName) {
    const auto function = found<decltype(&::DeletePrintProcessorA)>(SystemFunction::DeletePrintProcessorA);
    return function ? function(server, environment, processorName) : missing<BOOL>(FALSE);
}

BOOL Win32Os::EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
    const auto function = found<decltype(&::EnumPrintersA)>(SystemFunction::EnumPrintersA);
    return function ? function(flags, name, level, buffer, size, needed, returned) : missing<BOOL>(FALSE);
}

BOOL Win32Os::EnumPrinterDriversA(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size,
                                  LPDWORD needed, LPDWORD returned) {
    const auto function = found<decltype(&::EnumPrinterDriversA)>(SystemFunction::EnumPrinterDriversA);
    return function ? function(server, environment, level, buffer, size, needed, returned) : missing<BOOL>(FALSE);
}

BOOL Win32Os::GetPrinterDriverA(HANDLE printer, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    const auto function = found<decltype(&::GetPrinterDriverA)>(SystemFunction::GetPrinterDriverA);
    return function ? function(printer, environment, level, buffer, size, needed) : missing<BOOL>(FALSE);
}

BOOL Win32Os::DeletePrinter(HANDLE printer) {
    const auto function = found<decltype(&::DeletePrinter)>(SystemFunction::DeletePrinter);
    return function ? function(printer) : missing<BOOL>(FALSE);
}

BOOL Win32Os::EnumPortsA(LPSTR server, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
    const auto function = found<decltype(&::EnumPortsA)>(SystemFunction::EnumPortsA);
    return function ? function(server, level, buffer, size, needed, returned) : missing<BOOL>(FALSE);
}

BOOL Win32Os::GetPrinterDriverDirectoryA(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    const auto function = found<decltype(&::GetPrinterDriverDirectoryA)>(SystemFunction::GetPrinterDriverDirectoryA);
    return function ? function(server, environment, level, buffer, size, needed) : missing<BOOL>(FALSE);
}

BOOL Win32Os::GetPrintProcessorDirectoryA(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    const auto function = found<decltype(&::GetPrintProcessorDirectoryA)>(SystemFunction::GetPrintProcessorDirectoryA);
    return function ? function(server, environment, level, buffer, size, needed) : missing<BOOL>(FALSE);
}

BOOL Win32Os::OpenPrinterA(LPSTR printerName, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults) {
    const auto function = found<decltype(&::OpenPrinterA)>(SystemFunction::OpenPrinterA);
    return function ? function(printerName, printer, defaults) : missing<BOOL>(FALSE);
}

BOOL Win32Os::GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    const auto function = found<decltype(&::GetPrinterA)>(SystemFunction::GetPrinterA);
    return function ? function(printer, level, buffer, size, needed) : missing<BOOL>(FALSE);
}

BOOL Win32Os::SetPrinterA(HANDLE printer, DWORD level, LPBYTE info, DWORD command) {
    const auto function = found<decltype(&::SetPrinterA)>(SystemFunction::SetPrinterA);
    return function ? function(printer, level, info, command) : missing<BOOL>(FALSE);
}

BOOL Win32Os::ClosePrinter(HANDLE printer) {
    const auto function = found<decltype(&::ClosePrinter)>(SystemFunction::ClosePrinter);
    return function ? function(printer) : missing<BOOL>(FALSE);
}

BOOL Win32Os::GetDefaultPrinterA(LPSTR buffer, LPDWORD size) {
    // Exported from Windows 2000 on.
    typedef BOOL(WINAPI * Proc)(LPSTR, LPDWORD);
    const Proc function = found<Proc>(SystemFunction::GetDefaultPrinterA);
    return function ? function(buffer, size) : missing<BOOL>(FALSE);
}

namespace {

// The Windows Runtime as the program reaches it: combase's functions, looked
// up at run time (Windows 8 on), and the one interface it asks for.
struct WinRt {
    explicit WinRt(Os& os)
        : initialize(reinterpret_cast<Initialize>(os.lookUp(SystemFunction::RoInitialize))),
          uninitialize(reinterpret_cast<Uninitialize>(os.lookUp(SystemFunction::RoUninitialize))),
          createString(reinterpret_cast<CreateString>(os.lookUp(SystemFunction::WindowsCreateString))),
          deleteString(reinterpret_cast<DeleteString>(os.lookUp(SystemFunction::WindowsDeleteString))),
          getFactory(reinterpret_cast<GetActivationFactory>(os.lookUp(SystemFunction::RoGetActivationFactory))) {}
    typedef HRESULT(WINAPI* Initialize)(int type);
    typedef void(WINAPI* Uninitialize)();
    typedef HRESULT(WINAPI* CreateString)(const WCHAR* text, UINT32 length, void** string);
    typedef HRESULT(WINAPI* DeleteString)(void* string);
    typedef HRESULT(WINAPI* GetActivationFactory)(void* classId, const GUID& iid, void** factory);
    Initialize initialize;
    Uninitialize uninitialize;
    CreateString createString;
    DeleteString deleteString;
    GetActivationFactory getFactory;
    bool present() const { return initialize && uninitialize && createString && deleteString && getFactory; }
};

// Windows.Graphics.Printing.ProtectedPrint.IWindowsProtectedPrintInfoStatics:
// IInspectable's six entries, then the property.
struct ProtectedPrintStatics;
struct ProtectedPrintStaticsTable {
    HRESULT(WINAPI* queryInterface)(ProtectedPrintStatics*, const GUID&, void**);
    ULONG(WINAPI* addRef)(ProtectedPrintStatics*);
    ULONG(WINAPI* release)(ProtectedPrintStatics*);
    void* getIids;
    void* getRuntimeClassName;
    void* getTrustLevel;
    HRESULT(WINAPI* isProtectedPrintEnabled)(ProtectedPrintStatics*, BYTE* value);
};
struct ProtectedPrintStatics {
    const ProtectedPrintStaticsTable* table;
};

const GUID kProtectedPrintStatics = {0xa7d212f3, 0x4168, 0x5485, {0x98, 0xab, 0xd8, 0x9d, 0x04, 0x60, 0x3b, 0x40}};
const WCHAR kProtectedPrintClass[] = L"Windows.Graphics.Printing.ProtectedPrint.WindowsProtectedPrintInfo";

HRESULT readProtectedPrint(const WinRt& rt, BOOL* enabled) {
    void* classId = nullptr;
    HRESULT result = rt.createString(kProtectedPrintClass, sizeof kProtectedPrintClass / sizeof(WCHAR) - 1, &classId);
    if (FAILED(result)) return result;
    ProtectedPrintStatics* statics = nullptr;
    result = rt.getFactory(classId, kProtectedPrintStatics, reinterpret_cast<void**>(&statics));
    if (SUCCEEDED(result)) {
        BYTE value = 0;
        result = statics->table->isProtectedPrintEnabled(statics, &value);
        if (SUCCEEDED(result)) *enabled = value ? TRUE : FALSE;
        statics->table->release(statics);
    }
    rt.deleteString(classId);
    return result;
}

}  // namespace

HRESULT Win32Os::IsProtectedPrintEnabled(BOOL* enabled) {
    const WinRt rt(*this);
    if (!rt.present()) return HRESULT_FROM_WIN32(ERROR_CALL_NOT_IMPLEMENTED);
    // The thread is left as it was found: an apartment begun here is ended
    // here, one begun before (of either kind) stays.
    const HRESULT initialized = rt.initialize(0 /* RO_INIT_SINGLETHREADED */);
    const HRESULT result = readProtectedPrint(rt, enabled);
    if (SUCCEEDED(initialized)) rt.uninitialize();
    return result;
}

SC_HANDLE Win32Os::OpenSCManagerA(LPCSTR machine, LPCSTR database, DWORD access) {
    return ::OpenSCManagerA(machine, database, access);
}

SC_HANDLE Win32Os::OpenServiceA(SC_HANDLE manager, LPCSTR serviceName, DWORD access) {
    return ::OpenServiceA(manager, serviceName, access);
}

BOOL Win32Os::ControlService(SC_HANDLE service, DWORD control, LPSERVICE_STATUS status) {
    return ::ControlService(service, control, status);
}

BOOL Win32Os::StartServiceA(SC_HANDLE service, DWORD argc, LPCSTR* argv) {
    return ::StartServiceA(service, argc, argv);
}

BOOL Win32Os::QueryServiceStatus(SC_HANDLE service, LPSERVICE_STATUS status) {
    return ::QueryServiceStatus(service, status);
}

BOOL Win32Os::CloseServiceHandle(SC_HANDLE handle) {
    return ::CloseServiceHandle(handle);
}

HANDLE Win32Os::GetCurrentThread() {
    return ::GetCurrentThread();
}

HANDLE Win32Os::GetCurrentProcess() {
    return ::GetCurrentProcess();
}

BOOL Win32Os::OpenThreadToken(HANDLE thread, DWORD access, BOOL openAsSelf, PHANDLE token) {
    return ::OpenThreadToken(thread, access, openAsSelf, token);
}

BOOL Win32Os::OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) {
    return ::OpenProcessToken(process, access, token);
}

BOOL Win32Os::GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS infoClass, LPVOID buffer, DWORD size, PDWORD returned) {
    return ::GetTokenInformation(token, infoClass, buffer, size, returned);
}

// Asked for on the NT family only: looked up at their first use rather than
// imported, so that no older system's loader is asked for them.
BOOL Win32Os::LookupPrivilegeValueA(LPCSTR system, LPCSTR name, PLUID luid) {
    const auto function = found<decltype(&::LookupPrivilegeValueA)>(SystemFunction::LookupPrivilegeValueA);
    return function ? function(system, name, luid) : missing<BOOL>(FALSE);
}

BOOL Win32Os::AdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState, DWORD size,
                                    PTOKEN_PRIVILEGES previousState, PDWORD returned) {
    const auto function = found<decltype(&::AdjustTokenPrivileges)>(SystemFunction::AdjustTokenPrivileges);
    return function ? function(token, disableAll, newState, size, previousState, returned) : missing<BOOL>(FALSE);
}

BOOL Win32Os::AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY authority, BYTE count, DWORD sub0, DWORD sub1, DWORD sub2, DWORD sub3, DWORD sub4, DWORD sub5, DWORD sub6, DWORD sub7, PSID* sid) {
    return ::AllocateAndInitializeSid(authority, count, sub0, sub1, sub2, sub3, sub4, sub5, sub6, sub7, sid);
}

BOOL Win32Os::EqualSid(PSID first, PSID second) {
    return ::EqualSid(first, second);
}

BOOL Win32Os::GetKernelObjectSecurity(HANDLE object, SECURITY_INFORMATION requested, PSECURITY_DESCRIPTOR descriptor,
                                      DWORD size, LPDWORD needed) {
    // Windows 98 and Me export it as a stub at most: looked up, as the NT family has it.
    const auto function = found<decltype(&::GetKernelObjectSecurity)>(SystemFunction::GetKernelObjectSecurity);
    return function ? function(object, requested, descriptor, size, needed) : missing<BOOL>(FALSE);
}

PVOID Win32Os::FreeSid(PSID sid) {
    return ::FreeSid(sid);
}

BOOL Win32Os::Wow64DisableWow64FsRedirection(PVOID* oldValue) {
    typedef BOOL(WINAPI * Proc)(PVOID*);
    const Proc function = found<Proc>(SystemFunction::Wow64DisableWow64FsRedirection);
    return function ? function(oldValue) : missing<BOOL>(FALSE);
}

BOOL Win32Os::Wow64RevertWow64FsRedirection(PVOID oldValue) {
    typedef BOOL(WINAPI * Proc)(PVOID);
    const Proc function = found<Proc>(SystemFunction::Wow64RevertWow64FsRedirection);
    return function ? function(oldValue) : missing<BOOL>(FALSE);
}

BOOL Win32Os::SetDllDirectoryA(LPCSTR directory) {
    // From Windows XP SP1 on: a static import would stop the program loading
    // on the older systems.
    typedef BOOL(WINAPI * Proc)(LPCSTR);
    const Proc function = found<Proc>(SystemFunction::SetDllDirectoryA);
    return function ? function(directory) : missing<BOOL>(FALSE);
}

BOOL Win32Os::SetDefaultDllDirectories(DWORD flags) {
    // From Windows 8 on, and on Vista and 7 with their update for it.
    typedef BOOL(WINAPI * Proc)(DWORD);
    const Proc function = found<Proc>(SystemFunction::SetDefaultDllDirectories);
    return function ? function(flags) : missing<BOOL>(FALSE);
}

HMODULE Win32Os::LoadLibraryA(LPCSTR fileName) {
    return ::LoadLibraryA(fileName);
}

HMODULE Win32Os::LoadLibraryExA(LPCSTR fileName, HANDLE file, DWORD flags) {
    return ::LoadLibraryExA(fileName, file, flags);
}

FARPROC Win32Os::GetProcAddress(HMODULE module, LPCSTR procName) {
    return ::GetProcAddress(module, procName);
}

BOOL Win32Os::FreeLibrary(HMODULE module) {
    return ::FreeLibrary(module);
}

HWND Win32Os::FindWindowA(LPCSTR className, LPCSTR windowName) {
    return ::FindWindowA(className, windowName);
}

BOOL Win32Os::SetForegroundWindow(HWND window) {
    return ::SetForegroundWindow(window);
}

BOOL Win32Os::OpenIcon(HWND window) {
    return ::OpenIcon(window);
}

BOOL Win32Os::BringWindowToTop(HWND window) {
    return ::BringWindowToTop(window);
}

HINSTANCE Win32Os::ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT showCommand) {
    return ::ShellExecuteA(owner, verb, file, parameters, directory, showCommand);
}

BOOL Win32Os::ShellExecuteExA(LPSHELLEXECUTEINFOA info) {
    return ::ShellExecuteExA(info);
}

BOOL Win32Os::ExitWindowsEx(UINT flags, DWORD reason) {
    return ::ExitWindowsEx(flags, reason);
}

BOOL Win32Os::SystemParametersInfoA(UINT action, UINT uiParam, PVOID pvParam, UINT winIni) {
    return ::SystemParametersInfoA(action, uiParam, pvParam, winIni);
}

LRESULT Win32Os::SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout, PDWORD_PTR result) {
    return ::SendMessageTimeoutA(window, message, wParam, lParam, flags, timeout, result);
}

BOOL Win32Os::SendNotifyMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendNotifyMessageA(window, message, wParam, lParam);
}

int Win32Os::MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return ::MessageBoxA(owner, text, caption, type);
}

}  // namespace os
