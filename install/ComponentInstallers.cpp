#include "install/ComponentInstallers.h"

#include "config/TextTable.h"
#include "config/AsciiCase.h"
#include "install/FileStaging.h"
#include "install/InstallLog.h"
#include "install/RegistryKey.h"
#include "install/SpoolerRegistration.h"
#include "os/Os.h"
#include "os/World.h"

namespace install {
namespace {

enum class Installed { No, Current, Older };

const char* const kPrintKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\";

// The monitors and the print processor that Windows registers by itself.
// A medium that names one of them gets it as it is: its registration, file
// and version are never rewritten, whatever version the medium claims.
const char* const kWindowsOwnComponents[] = {
    "Local Port",          "Standard TCP/IP Port", "USB Monitor",          "WSD Port",
    "LPR Port",            "AppleTalk Printing Devices", "PJL Language Monitor", "BJ Language Monitor",
    "Microsoft Shared Fax Monitor", "Microsoft Document Imaging Writer Monitor", "WinPrint"};

const char* const kWindowsOwnFiles[] = {
    "spoolsv.exe",  "spoolss.dll",  "localspl.dll", "localui.dll",  "win32spl.dll", "winspool.drv",
    "printui.dll",  "ntprint.dll",  "usbmon.dll",   "tcpmon.dll",   "tcpmonui.dll", "lprmon.dll",
    "lprmonui.dll", "pjlmon.dll",   "sfmmon.dll",   "fxsmon.dll",   "mdimon.dll",   "wsdmon.dll",
    "winprint.dll", "unidrv.dll",   "unidrvui.dll", "unires.dll",   "pscript5.dll", "ps5ui.dll",
    "ntdll.dll",    "kernel32.dll", "kernelbase.dll", "user32.dll", "gdi32.dll",    "advapi32.dll",
    "rpcrt4.dll",   "msvcrt.dll",   "shell32.dll",  "ole32.dll",    "comctl32.dll", "setupapi.dll"};

// An installed component is not registered again; it is older when its
// version cannot be read or the medium's is greater (as unsigned numbers).
Installed installedState(const std::string& name, const std::string& key, int mediumVersion) {
    if (isWindowsOwnComponent(name)) {
        logStep(name + " is Windows' own: left as it is");
        return Installed::Current;
    }
    RegistryKey registry;
    if (!registry.Open(HKEY_LOCAL_MACHINE, key)) return Installed::No;
    DWORD installed = 0;
    if (!registry.GetDword("DriverVersion", &installed)) return Installed::Older;
    if (static_cast<DWORD>(mediumVersion) > installed) return Installed::Older;
    // Never back: a newer one stays as it is, and the log says so.
    if (static_cast<DWORD>(mediumVersion) < installed)
        logStep(name + " kept: version " + std::to_string(installed) + " is installed, the medium's is " +
                std::to_string(mediumVersion));
    return Installed::Current;
}

void writeInstalledVersion(const std::string& key, int version) {
    RegistryKey registry;
    if (registry.Open(HKEY_LOCAL_MACHINE, key)) registry.SetDword("DriverVersion", static_cast<DWORD>(version));
}

bool hasName(const char* text) { return text != nullptr && text[0] != '\0'; }

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// Copies a monitor DLL into the system directory; when the copy there is in
// use, the DLL goes in as "n" + name and the record is given that name.
void copyMonitorDll(MONITOR_INFO_2A* monitor, int targetOs, std::string& errorText,
                    std::string& prefixedName) {
    int result = copyDriverFile(monitor->pDLLName, kSystemDirectory, targetOs, false, errorText);
    if (!inUse(result)) return;
    copyDriverFile(monitor->pDLLName, kSystemDirectory, targetOs, true, errorText);
    prefixedName = std::string("n") + monitor->pDLLName;
    monitor->pDLLName = &prefixedName[0];
}

// Installs one port monitor that is not installed yet.
int installPortMonitor(MONITOR_INFO_2A* monitor, std::string uiDll, int version, int targetOs,
                       std::string& copyErrors, std::string& errorText) {
    std::string prefixedName;
    copyMonitorDll(monitor, targetOs, copyErrors, prefixedName);
    if (hasName(uiDll.c_str())) copyDriverFile(uiDll, kSystemDirectory, targetOs, false, copyErrors);
    if (!addMonitor(monitor, errorText)) return kMonitorInstallFailed;
    writeInstalledVersion(monitorKey(monitor->pName), version);
    return 0;
}

}  // namespace

bool isWindowsOwnComponent(const std::string& name) {
    for (const char* own : kWindowsOwnComponents)
        if (config::equalIgnoringCase(name, own)) return true;
    return false;
}

bool isWindowsOwnFile(const std::string& name) {
    // As Windows reads the name: without its trailing dots and blanks.
    const size_t end = name.find_last_not_of(". ");
    const std::string read = end == std::string::npos ? std::string() : name.substr(0, end + 1);
    for (const char* own : kWindowsOwnFiles)
        if (config::equalIgnoringCase(read, own)) return true;
    return false;
}

std::string monitorKey(const std::string& monitorName) {
    return std::string(kPrintKey) + "Monitors\\" + monitorName;
}

std::string processorKey(int targetOs, const std::string& processorName) {
    const char* native = os::spoolerEnvironment();
    const char* environment = targetOs == 0 ? "Windows 4.0" : native ? native : os::kX86Environment;
    return std::string(kPrintKey) + "Environments\\" + environment + "\\Print Processors\\" +
           processorName;
}

int installLanguageMonitor(config::DriverConfig& config, int targetOs, const std::string& portName,
                           std::string& errorText) {
    if (!contains(portName, "USB_")) return 0;
    config::LanguageMonitorDescriptor monitor;
    config.buildLanguageMonitor(targetOs, &monitor, config::kUsb);
    if (!hasName(monitor.info.pName) || targetOs == 1) return 0;
    switch (installedState(monitor.info.pName, monitorKey(monitor.info.pName), monitor.version)) {
        case Installed::Current:
            return 0;
        case Installed::Older:
            return kLanguageMonitorOlder;
        case Installed::No:
            break;
    }
    std::string prefixedName;
    copyMonitorDll(&monitor.info, targetOs, errorText, prefixedName);
    if (!addMonitor(&monitor.info, errorText)) return kMonitorInstallFailed;
    writeInstalledVersion(monitorKey(monitor.info.pName), monitor.version);
    return 0;
}

int installPortMonitors(config::DriverConfig& config, int targetOs, const std::string& portName,
                        std::string& errorText) {
    if (contains(portName, "LPT")) return 0;
    config::PortMonitorSet monitors;
    config.buildPortMonitors(targetOs, &monitors);
    int flags = 0;
    if (contains(portName, "COM") && hasName(monitors.serial.pDLLName) && targetOs != 0) {
        switch (installedState(monitors.serial.pName, monitorKey(monitors.serial.pName), monitors.serialVersion)) {
            case Installed::Older:
                flags = kSerialMonitorOlder;
                break;
            case Installed::Current:
                break;
            case Installed::No:
                if (installPortMonitor(&monitors.serial, monitors.serialUiDll,
                                       monitors.serialVersion, targetOs, errorText,
                                       errorText) != 0)
                    return kMonitorInstallFailed;
        }
    }
    if (contains(portName, "USB_") && hasName(monitors.usb.pDLLName) && targetOs != 1) {
        switch (installedState(monitors.usb.pName, monitorKey(monitors.usb.pName), monitors.usbVersion)) {
            case Installed::Older:
                flags = kUsbMonitorOlder;
                break;
            case Installed::Current:
                break;
            case Installed::No: {
                // The USB monitor's copies are not reported: the spooler call decides.
                std::string discarded;
                if (installPortMonitor(&monitors.usb, monitors.usbUiDll, monitors.usbVersion,
                                       targetOs, discarded, errorText) != 0)
                    return kMonitorInstallFailed;
            }
        }
    }
    return flags;
}

int installPrintProcessor(int targetOs, const std::string& processorName,
                          const std::string& processorDll, std::string& errorText) {
    config::DriverConfig config;
    int mediumVersion = config.processorVersion();
    switch (installedState(processorName, processorKey(targetOs, processorName), mediumVersion)) {
        case Installed::Current:
            return 0;
        case Installed::Older:
            return kProcessorOlder;
        case Installed::No:
            break;
    }
    std::string dll = processorDll;
    if (hasName(dll.c_str())) {
        std::string discarded;
        copyDriverFile(dll, kProcessorDirectory, targetOs, false, discarded);
    }
    if (addPrintProcessor(processorName, dll, targetOs) != 1) {
        errorText = app::MessageTexts().GetText("IDS_ERR_ADDPROCESSOR");
        return kProcessorInstallFailed;
    }
    writeInstalledVersion(processorKey(targetOs, processorName), mediumVersion);
    os::sys().Sleep(200);
    return 0;
}

}  // namespace install
