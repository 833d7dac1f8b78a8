#include "install/SpoolerRegistration.h"

#include <vector>

#include "config/TextTable.h"
#include "config/AsciiCase.h"
#include "config/Descriptors.h"
#include "install/DriverLoadPrivilege.h"
#include "install/DriverPolicyCauses.h"
#include "os/Os.h"
#include "os/World.h"

namespace install {
namespace {

std::string message(const char* key) { return app::MessageTexts().GetText(key); }

bool isSystemProcessor(const char* processor) {
    return processor != nullptr && config::equalIgnoringCase(processor, "WinPrint");
}

// The record names no datatype: Windows then takes the print processor's
// default, which for its own "WinPrint" is "RAW". Naming it for that
// processor gives the same printer, also on spoolers that insist on a
// datatype; for any other processor the spooler's choice stands.
HANDLE tryAddPrinter(PRINTER_INFO_2A* record, DWORD level) {
    char raw[] = "RAW";
    LPSTR given = record->pDatatype;
    if (given == nullptr && isSystemProcessor(record->pPrintProcessor)) record->pDatatype = raw;
    HANDLE printer = os::sys().AddPrinterA(nullptr, level, reinterpret_cast<LPBYTE>(record));
    record->pDatatype = given;
    return printer;
}

// The printer's record level 2 in memory allocated for it, or null.
PRINTER_INFO_2A* readPrinter(HANDLE printer, HGLOBAL* memory) {
    DWORD needed = 0;
    os::sys().SetLastError(0);
    if (os::sys().GetPrinterA(printer, 2, nullptr, 0, &needed)) return nullptr;
    if (os::sys().GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) return nullptr;
    *memory = os::sys().GlobalAlloc(GPTR, needed);
    if (*memory == nullptr) return nullptr;
    if (!os::sys().GetPrinterA(printer, 2, static_cast<LPBYTE>(*memory), needed, &needed))
        return nullptr;
    return static_cast<PRINTER_INFO_2A*>(*memory);
}

void broadcastIniChange(const char* section) {
    DWORD_PTR result = 0;
    os::sys().SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0,
                                  reinterpret_cast<LPARAM>(section), SMTO_NORMAL, 1000, &result);
}

bool setDefaultOn9x(HANDLE printer) {
    HGLOBAL memory = nullptr;
    bool done = false;
    if (PRINTER_INFO_2A* info = readPrinter(printer, &memory)) {
        info->Attributes |= PRINTER_ATTRIBUTE_DEFAULT;
        done = os::sys().SetPrinterA(printer, 2, reinterpret_cast<LPBYTE>(info), 0) != FALSE;
        if (done) broadcastIniChange("windows");
    }
    if (memory) os::sys().GlobalFree(memory);
    return done;
}

bool setDefaultOnNt4(HANDLE printer, const char* name) {
    HGLOBAL memory = nullptr;
    bool done = false;
    PRINTER_INFO_2A* info = readPrinter(printer, &memory);
    if (info && info->pDriverName && info->pPortName) {
        std::string device = std::string(name) + "," + info->pDriverName + "," + info->pPortName;
        done = os::sys().WriteProfileStringA("windows", "device", device.c_str()) != FALSE;
        if (done) broadcastIniChange(nullptr);
    }
    if (memory) os::sys().GlobalFree(memory);
    return done;
}

bool setDefaultFrom2000(const char* name) {
    // The system's own copy, by its full path: never one planted elsewhere.
    char system[MAX_PATH] = {};
    UINT length = os::sys().GetSystemDirectoryA(system, sizeof system);
    if (length == 0 || length >= sizeof system) return false;
    HMODULE winspool = os::sys().LoadLibraryA((std::string(system) + "\\winspool.drv").c_str());
    if (winspool == nullptr) return false;
    auto setDefault = reinterpret_cast<os::SetDefaultPrinterProc>(
        os::sys().GetProcAddress(winspool, "SetDefaultPrinterA"));
    bool done = setDefault != nullptr && setDefault(name);
    os::sys().FreeLibrary(winspool);
    if (done) broadcastIniChange(nullptr);
    return done;
}

}  // namespace

bool addPrinter(PRINTER_INFO_2A* record, DWORD level, bool usbPort, std::string& errorText,
                std::string& nameStorage) {
    if (HANDLE printer = tryAddPrinter(record, level)) {
        os::sys().ClosePrinter(printer);
        return true;
    }
    DWORD error = os::sys().GetLastError();
    if (error != ERROR_PRINTER_ALREADY_EXISTS) {
        logDriverPolicyCauses("AddPrinter", error);
        errorText = message("IDS_ERR_ADDPRINTER") + "er = " + std::to_string(error);
        return false;
    }
    if (usbPort) {
        errorText = message("IDS_ERR_TOOMANY");
        return false;
    }
    const std::string given = std::string(record->pPrinterName ? record->pPrinterName : "").substr(0, 259);
    LPSTR original = record->pPrinterName;
    for (int i = 1; i <= 98; ++i) {
        nameStorage = given + "(" + std::to_string(i) + ")";
        record->pPrinterName = &nameStorage[0];
        if (HANDLE printer = tryAddPrinter(record, level)) {
            os::sys().ClosePrinter(printer);
            return true;
        }
        error = os::sys().GetLastError();
        if (error != ERROR_PRINTER_ALREADY_EXISTS) {
            logDriverPolicyCauses("AddPrinter", error);
            record->pPrinterName = original;
            errorText = message("IDS_ERR_ADDPRINTER") + "er = " + std::to_string(error);
            return false;
        }
    }
    record->pPrinterName = original;
    errorText = message("IDS_ERR_TOOMANY");
    return false;
}

bool addPrinterDriver(DRIVER_INFO_3A* record, std::string& errorText) {
    // A failure is logged there; the call then says what it says.
    enableDriverLoadPrivilege();
    if (os::sys().AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(record))) return true;
    const DWORD error = os::sys().GetLastError();
    logDriverPolicyCauses("AddPrinterDriver", error);
    errorText = message("IDS_ERR_ADDPRNDRV3") + "   er = " + std::to_string(error);
    return false;
}

bool addMonitor(MONITOR_INFO_2A* record, std::string& errorText) {
    // A failure is logged there; AddMonitor then says what it says.
    enableDriverLoadPrivilege();
    if (os::sys().AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(record))) return true;
    DWORD error = os::sys().GetLastError();
    if (error == ERROR_PRINT_MONITOR_ALREADY_INSTALLED || error == ERROR_ALREADY_EXISTS) return true;
    logDriverPolicyCauses("AddMonitor", error);
    errorText = message("IDS_ERR_ADDMONITOR") + " Erro code is:" + std::to_string(error);
    return false;
}

int addPrintProcessor(const std::string& processorName, const std::string& dllName, int targetOs) {
    std::string name = processorName, dll = dllName;
    LPSTR environment = targetOs == 0 ? config::windows40Environment() : os::spoolerEnvironment();
    enableDriverLoadPrivilege();
    if (os::sys().AddPrintProcessorA(nullptr, environment, &dll[0], &name[0])) return 1;
    DWORD error = os::sys().GetLastError();
    if (error != ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED && error != ERROR_ALREADY_EXISTS)
        logDriverPolicyCauses("AddPrintProcessor", error);
    if (error == ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED || error == ERROR_ALREADY_EXISTS ||
        error == ERROR_INVALID_PARAMETER)
        return static_cast<int>(error);
    return 0;
}

bool setDefaultPrinter(const char* printerName) {
    if (printerName == nullptr) return false;
    OSVERSIONINFOA version;
    if (!os::runningVersion(&version)) return false;
    bool nineX = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    bool nt4 = version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion < 5;
    if (nineX || nt4) {
        HANDLE printer = nullptr;
        std::string name = printerName;
        if (!os::sys().OpenPrinterA(&name[0], &printer, nullptr)) return false;
        bool done = nineX ? setDefaultOn9x(printer) : setDefaultOnNt4(printer, printerName);
        os::sys().ClosePrinter(printer);
        return done;
    }
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) return setDefaultFrom2000(printerName);
    return true;
}

bool checkPortEnumeration(std::string& errorText) {
    auto fail = [&] {
        errorText = message("IDS_ERR_ALLOCMEMORY");
        return false;
    };
    HLOCAL probe = os::sys().LocalAlloc(LPTR, 100);
    if (probe == nullptr) return fail();
    DWORD needed = 0, returned = 0;
    os::sys().EnumPortsA(nullptr, 1, static_cast<LPBYTE>(probe), 0, &needed, &returned);
    os::sys().LocalFree(probe);
    HLOCAL ports = os::sys().LocalAlloc(LPTR, needed);
    if (ports == nullptr) return fail();
    BOOL listed = os::sys().EnumPortsA(nullptr, 1, static_cast<LPBYTE>(ports), needed, &needed,
                                       &returned);
    os::sys().LocalFree(ports);
    return listed ? true : fail();
}

}  // namespace install
