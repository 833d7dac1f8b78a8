#include "install/Removal.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "config/AsciiCase.h"
#include "config/ProfileValues.h"
#include "install/AdditionalDriver.h"
#include "install/ComponentInstallers.h"
#include "install/ExistingPrinter.h"
#include "install/DriverLoadPrivilege.h"
#include "install/FileStaging.h"
#include "install/InstallLog.h"
#include "install/InstalledDrivers.h"
#include "install/RegistryKey.h"
#include "install/UsbPortRegistry.h"
#include "os/Os.h"
#include "os/World.h"

namespace install {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Adds the medium's files of a flavour to the driver they are installed
// under, each driver name once.
void addDriver(std::vector<ModelParts::Driver>* drivers, const char* name, const std::vector<std::string>& files) {
    if (name == nullptr || config::isNone(name)) return;
    auto known = std::find_if(drivers->begin(), drivers->end(),
                              [&](const ModelParts::Driver& d) { return config::equalIgnoringCase(d.name, name); });
    if (known == drivers->end()) known = drivers->insert(drivers->end(), ModelParts::Driver{name, {}});
    if (std::find(known->fileLists.begin(), known->fileLists.end(), files) == known->fileLists.end())
        known->fileLists.push_back(files);
}

std::string systemError() { return " (system error " + std::to_string(os::sys().GetLastError()) + ")"; }

// A printer of the local spooler, opened to be looked at and deleted.
class Printer {
public:
    explicit Printer(const std::string& name) : name_(name) {
        PRINTER_DEFAULTSA defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (!os::sys().OpenPrinterA(&name_[0], &handle_, &defaults)) handle_ = nullptr;
    }
    ~Printer() {
        if (handle_) os::sys().ClosePrinter(handle_);
    }
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    bool open() const { return handle_ != nullptr; }
    HANDLE handle() const { return handle_; }

    // Its port, driver and print processor; false when they cannot be read.
    bool read(std::string* port, std::string* driver, std::string* processor) const {
        DWORD needed = 0;
        os::sys().GetPrinterA(handle_, 2, nullptr, 0, &needed);
        if (needed < sizeof(PRINTER_INFO_2A)) return false;
        std::vector<BYTE> buffer(needed);
        if (!os::sys().GetPrinterA(handle_, 2, buffer.data(), needed, &needed)) return false;
        const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
        *port = info->pPortName ? info->pPortName : "";
        *driver = info->pDriverName ? info->pDriverName : "";
        *processor = info->pPrintProcessor ? info->pPrintProcessor : "";
        return true;
    }
    // The language monitor its driver prints through (empty for none);
    // false when the driver cannot be read.
    bool languageMonitor(std::string* monitor) const {
        DWORD needed = 0;
        os::sys().GetPrinterDriverA(handle_, os::spoolerEnvironment(), 3, nullptr, 0, &needed);
        if (needed < sizeof(DRIVER_INFO_3A)) return false;
        std::vector<BYTE> buffer(needed);
        if (!os::sys().GetPrinterDriverA(handle_, os::spoolerEnvironment(), 3, buffer.data(), needed, &needed))
            return false;
        const auto* info = reinterpret_cast<const DRIVER_INFO_3A*>(buffer.data());
        *monitor = info->pMonitorName ? info->pMonitorName : "";
        return true;
    }

private:
    std::string name_;
    HANDLE handle_ = nullptr;
};

// Each port with the name its monitor gives itself: the spooler passes on
// what the monitor reports, which for Windows' own monitors is the name they
// are registered under and for another's need not be. False when the ports
// cannot be listed.
bool portOwners(std::vector<std::pair<std::string, std::string>>* ports) {
    struct PortInfo2 {
        LPSTR pPortName, pMonitorName, pDescription;
        DWORD fPortType, Reserved;
    };
    DWORD needed = 0, returned = 0;
    if (!os::sys().EnumPortsA(nullptr, 2, nullptr, 0, &needed, &returned) &&
        os::sys().GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return false;
    std::vector<BYTE> buffer(needed);
    if (needed > 0 && !os::sys().EnumPortsA(nullptr, 2, buffer.data(), needed, &needed, &returned)) return false;
    const auto* records = reinterpret_cast<const PortInfo2*>(buffer.data());
    for (DWORD i = 0; needed > 0 && i < returned; ++i)
        if (records[i].pPortName)
            ports->emplace_back(records[i].pPortName, records[i].pMonitorName ? records[i].pMonitorName : "");
    return true;
}

struct PrinterUse {
    std::string name, port, driver, processor, languageMonitor;
};

// A driver of the model's, in the environment of its architecture: the
// machine's own, or on 64-bit Windows the x86 one for 32-bit clients.
struct OwnDriver {
    std::string name;
    os::Architecture architecture;
};

// How the log names a driver: the x86 one of 64-bit Windows apart from the
// machine's own of the same name.
std::string driverLabel(const std::string& name, os::Architecture architecture) {
    if (architecture == os::machineArchitecture()) return "printer driver " + name;
    return x86DriverLabel(name);
}

// Deletes a driver with the files no other driver names, where the spooler
// can (Windows); one that does not take that (Wine) deletes the driver
// alone. 0, or the system error.
DWORD deleteDriver(const OwnDriver& driver) {
    std::string name = driver.name;
    LPSTR environment = os::environmentFor(driver.architecture);
    const std::string label = driverLabel(driver.name, driver.architecture);
    if (os::sys().DeletePrinterDriverExA(nullptr, environment, &name[0], DPD_DELETE_UNUSED_FILES, 0)) {
        logStep(label + " removed with its files");
        return ERROR_SUCCESS;
    }
    DWORD error = os::sys().GetLastError();
    if (error != ERROR_INVALID_PARAMETER && error != ERROR_CALL_NOT_IMPLEMENTED) return error;
    os::sys().SetLastError(ERROR_SUCCESS);
    if (os::sys().DeletePrinterDriverA(nullptr, environment, &name[0])) {
        logStep(label + " removed; the spooler keeps its files");
        return ERROR_SUCCESS;
    }
    // Wine's spooler refuses a driver it does not know without a reason.
    error = os::sys().GetLastError();
    return error == ERROR_SUCCESS ? static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER) : error;
}

class Removal {
public:
    Removal(const ModelParts& parts, const std::string& port, int targetOs)
        : parts_(parts), spoolerPort_(port.empty() ? port : spoolerPortName(port)), targetOs_(targetOs) {}
    RemovalOutcome run();

private:
    bool namesStayInTheirFolders();
    bool findOwnDrivers();
    bool isOwnDriver(const std::string& driver) const;
    bool removePrinters();
    bool readStayingPrinters();
    void removeDrivers();
    void removePortRecords();
    bool printsThroughPortsOfKind(const char* kind);
    void removeMonitor(const ModelParts::Component& monitor, const char* portKind);
    void removeProcessor(const ModelParts::Component& processor);
    void deleteFile(const std::string& path);
    bool failed(const std::string& what) {
        logStep(what);
        if (outcome_.failure.empty()) outcome_.failure = what;
        return false;
    }

    const ModelParts& parts_;
    const std::string spoolerPort_;  // the printers' port when one is asked for
    int targetOs_;
    RemovalOutcome outcome_;
    std::vector<OwnDriver> ownDrivers_;  // the model's drivers whose files are the medium's, the machine's first
    std::vector<PrinterUse> staying_;
    std::vector<std::string> removedUsbPorts_;  // the ports of the USB printers removed
};

RemovalOutcome Removal::run() {
    if (!namesStayInTheirFolders() || !findOwnDrivers()) return outcome_;
    const bool printersRemoved = removePrinters();
    // What a printer that stays uses is never taken: where one cannot be
    // read, every shared part stays.
    if (!readStayingPrinters()) return outcome_;
    // Also when a later printer could not be removed: a port none prints to
    // keeps no records.
    removePortRecords();
    if (!printersRemoved) return outcome_;
    // A port asked for where none of the model's printers is: nothing else
    // of the model is this removal's to take.
    if (!spoolerPort_.empty() && outcome_.printers == 0) return outcome_;
    removeDrivers();
    if (!outcome_.anyInstalled || !outcome_.failure.empty()) return outcome_;
    // The installation brings the serial monitor for a port whose name holds
    // "COM" and the USB monitor for one that holds "USB_".
    const std::pair<const ModelParts::Component*, const char*> monitors[] = {
        {&parts_.serialMonitor, "COM"}, {&parts_.usbMonitor, "USB_"}, {&parts_.languageMonitor, nullptr}};
    for (const auto& [monitor, portKind] : monitors) {
        removeMonitor(*monitor, portKind);
        // Nothing more is done on a thread whose redirection stays off.
        if (os::redirectionLeftOff()) return outcome_;
    }
    for (const ModelParts::Component& processor : parts_.processors) removeProcessor(processor);
    return outcome_;
}

// Every file the removal deletes is named by the medium; a name that reaches
// out of the folder it is deleted from, or that Windows reads as another
// file's, refuses the removal before anything is changed, as it refuses an
// installation.
bool Removal::namesStayInTheirFolders() {
    std::vector<std::string> names;
    for (const ModelParts::Component* monitor : {&parts_.serialMonitor, &parts_.usbMonitor, &parts_.languageMonitor}) {
        names.push_back(monitor->dll);
        names.insert(names.end(), monitor->otherFiles.begin(), monitor->otherFiles.end());
    }
    for (const ModelParts::Component& processor : parts_.processors) names.push_back(processor.dll);
    for (const std::string& name : names)
        if (!name.empty() && !isPlainFileName(name))
            return failed("the medium names the file " + name +
                          ", which is no plain name of a file of the folder it is removed from (system error " +
                          std::to_string(ERROR_INVALID_NAME) + ")");
    return true;
}

// The model's drivers are those of its names whose every version names the
// files the medium installs under that name, in one of its flavours. A
// driver of another product that bears the same name is not this removal's.
// Each environment the installation registers drivers in is judged on its own.
bool Removal::findOwnDrivers() {
    for (os::Architecture architecture : driverArchitectures()) {
        std::vector<InstalledDriver> installed;
        if (!installedDrivers(&installed, architecture))
            return failed("the printer drivers could not be listed" + systemError());
        for (const ModelParts::Driver& driver : parts_.drivers) {
            bool found = false, foreign = false;
            for (const InstalledDriver& record : installed) {
                if (!config::equalIgnoringCase(record.name, driver.name)) continue;
                found = true;
                foreign = foreign || std::find(driver.fileLists.begin(), driver.fileLists.end(), record.files) ==
                                         driver.fileLists.end();
            }
            if (found && foreign)
                logStep(driverLabel(driver.name, architecture) + " kept: its files are not the ones this medium installs");
            else if (found)
                ownDrivers_.push_back({driver.name, architecture});
        }
    }
    return true;
}

// Printers print through the machine's own driver of their driver's name.
bool Removal::isOwnDriver(const std::string& driver) const {
    return std::any_of(ownDrivers_.begin(), ownDrivers_.end(), [&](const OwnDriver& own) {
        return own.architecture == os::machineArchitecture() && config::equalIgnoringCase(own.name, driver);
    });
}

// The printers named after the model that print through one of its drivers,
// on the port asked for when one is.
bool Removal::removePrinters() {
    std::vector<std::string> names;
    if (!localPrinterNames(&names)) return failed("the printers could not be listed" + systemError());
    for (const std::string& name : names) {
        if (!isPrinterNameOfModel(name, parts_.model)) continue;
        Printer printer(name);
        std::string port, driver, processor;
        if (!printer.open() || !printer.read(&port, &driver, &processor))
            return failed("printer " + name + " could not be read" + systemError());
        if (!isOwnDriver(driver)) continue;
        outcome_.anyInstalled = true;
        if (!spoolerPort_.empty() && !config::equalIgnoringCase(port, spoolerPort_)) continue;
        if (!os::sys().DeletePrinter(printer.handle()))
            return failed("printer " + name + " on " + port + " could not be removed" + systemError());
        logStep("printer " + name + " on " + port + " removed");
        ++outcome_.printers;
        if (contains(port, "USB_")) removedUsbPorts_.push_back(port);
    }
    return true;
}

// What the printers that stay print through; false, logged, when the
// printers cannot be listed or one of them cannot be read.
bool Removal::readStayingPrinters() {
    const std::string kept = ": the drivers, port records, monitors and print processor are kept";
    std::vector<std::string> names;
    if (!localPrinterNames(&names)) return failed("the printers that stay could not be listed" + systemError() + kept);
    for (const std::string& name : names) {
        Printer printer(name);
        PrinterUse use;
        use.name = name;
        if (!printer.open() || !printer.read(&use.port, &use.driver, &use.processor) ||
            !printer.languageMonitor(&use.languageMonitor))
            return failed("printer " + name + ", which stays, could not be read" + systemError() + kept);
        staying_.push_back(use);
    }
    return true;
}

// A driver goes once no printer uses it, with the files of the spooler's
// that no other driver names. The x86 one of a name goes with the machine's:
// it serves the 32-bit clients of the printers that use that name.
void Removal::removeDrivers() {
    for (const OwnDriver& own : ownDrivers_) {
        const bool used = std::any_of(staying_.begin(), staying_.end(), [&](const PrinterUse& p) {
            return config::equalIgnoringCase(p.driver, own.name);
        });
        const DWORD error = used ? static_cast<DWORD>(ERROR_PRINTER_DRIVER_IN_USE) : deleteDriver(own);
        if (error == ERROR_SUCCESS) {
            outcome_.anyInstalled = true;
            ++outcome_.drivers;
            continue;
        }
        if (error == ERROR_UNKNOWN_PRINTER_DRIVER) continue;
        outcome_.anyInstalled = true;
        const std::string label = driverLabel(own.name, own.architecture);
        if (error == ERROR_PRINTER_DRIVER_IN_USE)
            logStep(label + " kept: a printer still uses it");
        else
            failed(label + " could not be removed (system error " + std::to_string(error) + ")");
    }
}

// The records the installation wrote for each USB port of a removed
// printer that no printer prints to any more: the port-name record under
// the spooler's port, the printer-port record under the port as it was
// chosen (the model's own name where the spooler's is a shared one). The
// eight slots stay: every installation resets them.
void Removal::removePortRecords() {
    for (const std::string& port : removedUsbPorts_) {
        const bool used = std::any_of(staying_.begin(), staying_.end(), [&](const PrinterUse& p) {
            return config::equalIgnoringCase(p.port, port);
        });
        if (used) continue;
        std::string chosen = "USB_" + parts_.model + "_" + port.substr(port.size() - 1);
        if (!config::equalIgnoringCase(spoolerPortName(chosen), port)) chosen = port;
        const std::pair<const char*, std::string> records[] = {{kPortNameKey, port}, {kPrinterPortKey, chosen}};
        for (const auto& [path, value] : records) {
            RegistryKey key;
            if (key.Open(HKEY_LOCAL_MACHINE, path, portRecordView()) && key.DeleteValue(value))
                logStep("port record " + value + " removed from " + path);
        }
    }
}

// Registered from this medium: the spooler's record names the medium's DLL
// (or the name it was written under while the first was in use).
bool fromThisMedium(const std::string& key, const ModelParts::Component& component) {
    RegistryKey registry;
    std::string driver;
    if (component.dll.empty() || !registry.Open(HKEY_LOCAL_MACHINE, key) || !registry.GetString("Driver", &driver))
        return false;
    return config::equalIgnoringCase(driver, component.dll) || config::equalIgnoringCase(driver, "n" + component.dll);
}

// Whether a printer that stays prints to a port of the kind the medium's
// port monitor serves: one whose name holds `kind` and that none of
// Windows' own monitors claims. True too when the ports cannot be listed:
// a monitor is kept rather than taken from a printer.
bool Removal::printsThroughPortsOfKind(const char* kind) {
    std::vector<std::pair<std::string, std::string>> ports;
    if (!portOwners(&ports)) return true;
    for (const PrinterUse& printer : staying_) {
        if (!contains(printer.port, kind)) continue;
        bool windowsOwn = false;
        for (const auto& [port, owner] : ports)
            windowsOwn = windowsOwn || (config::equalIgnoringCase(port, printer.port) && isWindowsOwnComponent(owner));
        if (!windowsOwn) return true;
    }
    return false;
}

void Removal::removeMonitor(const ModelParts::Component& monitor, const char* portKind) {
    if (monitor.name.empty() || isWindowsOwnComponent(monitor.name)) return;
    if (!fromThisMedium(monitorKey(monitor.name), monitor)) return;
    bool used = false;
    if (portKind) {
        used = printsThroughPortsOfKind(portKind);
    } else {
        for (const PrinterUse& printer : staying_)
            used = used || config::equalIgnoringCase(printer.languageMonitor, monitor.name);
    }
    if (used) {
        logStep("monitor " + monitor.name + " kept: a printer still uses it");
        return;
    }
    std::string name = monitor.name;
    enableDriverLoadPrivilege();
    if (!os::sys().DeleteMonitorA(nullptr, os::spoolerEnvironment(), &name[0])) {
        if (os::sys().GetLastError() == ERROR_PRINT_MONITOR_IN_USE)
            logStep("monitor " + monitor.name + " kept: a printer still uses it");
        else
            failed("monitor " + monitor.name + " could not be removed" + systemError());
        return;
    }
    logStep("monitor " + monitor.name + " removed");
    std::string system;
    if (!systemDirectory(&system)) return;
    // On 64-bit Windows the monitor's files lie in the native system
    // directory; an entry for the next start names it as it is, system32.
    // A file held is deleted at the next start (MoveFileExA): looked up before.
    os::NativeSystemDirectory native(os::machineArchitecture(), {os::SystemFunction::MoveFileExA});
    if (!native.reached()) {
        failed("monitor " + monitor.name + "'s files could not be reached (system error " +
               std::to_string(native.error()) + ")");
        return;
    }
    deleteFile(system + "\\" + monitor.dll);
    deleteFile(system + "\\n" + monitor.dll);
    for (const std::string& file : monitor.otherFiles) deleteFile(system + "\\" + file);
    if (!native.restore())
        failed("redirection of the system directory could not be turned back on (system error " +
               std::to_string(native.error()) + ")");
}

void Removal::removeProcessor(const ModelParts::Component& processor) {
    if (isWindowsOwnComponent(processor.name)) return;
    if (!fromThisMedium(processorKey(targetOs_, processor.name), processor)) return;
    const bool used = std::any_of(staying_.begin(), staying_.end(), [&](const PrinterUse& p) {
        return config::equalIgnoringCase(p.processor, processor.name);
    });
    if (used) {
        logStep("print processor " + processor.name + " kept: a printer still uses it");
        return;
    }
    std::string folder;
    const bool folderKnown = processorDirectory(&folder);
    std::string name = processor.name;
    if (!os::sys().DeletePrintProcessorA(nullptr, os::spoolerEnvironment(), &name[0])) {
        failed("print processor " + processor.name + " could not be removed" + systemError());
        return;
    }
    logStep("print processor " + processor.name + " removed");
    if (folderKnown) deleteFile(folder + "\\" + processor.dll);
}

// A file the spooler has let go of goes now; one something still holds, when
// Windows next starts. One of Windows' own names stays, whoever named it.
void Removal::deleteFile(const std::string& path) {
    if (os::sys().GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    if (isWindowsOwnFile(path.substr(path.find_last_of('\\') + 1))) {
        logStep("file " + path + " kept: it is one of Windows' own");
        return;
    }
    os::sys().SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    if (os::sys().DeleteFileA(path.c_str())) {
        logStep("file " + path + " removed");
    } else if (os::sys().MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        outcome_.restartNeeded = true;
        logStep("file " + path + " is in use: removed when Windows starts again");
    } else {
        failed("file " + path + " could not be removed" + systemError());
    }
}

}  // namespace

ModelParts readModelParts(config::DriverConfig& config, const std::string& model, int targetOs) {
    ModelParts parts;
    parts.model = model;
    for (int flavour : {config::kStd, config::kGdi}) {
        std::string name;  // the flavour's print processor, as a parallel port's printer has it
        for (int kind : {config::kSerial, config::kParallel, config::kUsb}) {
            DRIVER_INFO_3A driver = {};
            config.buildDriverDescriptor(model, targetOs, &driver, flavour, kind);
            const std::vector<std::string> driverFiles = driverFileNames(driver);
            PRINTER_INFO_2A printer = {};
            config.buildPrinterDescriptor(model, targetOs, &printer, flavour, kind);
            addDriver(&parts.drivers, printer.pDriverName, driverFiles);
            if (kind == config::kParallel && printer.pPrintProcessor) name = printer.pPrintProcessor;
        }
        config::DriverFileList files;
        config.buildFileList(model, targetOs, &files, flavour);
        bool known = config::isNone(name) || std::any_of(parts.processors.begin(), parts.processors.end(),
                                                         [&](const ModelParts::Component& p) { return p.name == name; });
        if (!known) parts.processors.push_back({name, files.processor, {}});
    }
    config::PortMonitorSet monitors;
    config.buildPortMonitors(targetOs, &monitors);
    auto component = [](const MONITOR_INFO_2A& info, const std::string& ui) {
        ModelParts::Component c;
        if (info.pName && !config::isNone(info.pName)) c.name = info.pName;
        if (info.pDLLName && !config::isNone(info.pDLLName)) c.dll = info.pDLLName;
        if (!config::isNone(ui)) c.otherFiles.push_back(ui);
        return c;
    };
    parts.serialMonitor = component(monitors.serial, monitors.serialUiDll);
    parts.usbMonitor = component(monitors.usb, monitors.usbUiDll);
    config::LanguageMonitorDescriptor language;
    config.buildLanguageMonitor(targetOs, &language, config::kUsb);
    parts.languageMonitor = component(language.info, "");
    return parts;
}

bool isPrinterNameOfModel(const std::string& printer, const std::string& model) {
    if (printer.size() <= model.size() || printer.compare(0, model.size(), model) != 0) return false;
    std::string rest = printer.substr(model.size());
    static const char* const suffixes[] = {"(P)", "(S)", "(U) 1", "(U) 2", "(U) 3", "(U) 4"};
    for (const char* suffix : suffixes) {
        const std::string s = suffix;
        if (rest.compare(0, s.size(), s) != 0) continue;
        const std::string number = rest.substr(s.size());
        if (number.empty()) return true;
        // "(1)" to "(98)": the name was taken when the printer was added.
        if (number.size() < 3 || number.front() != '(' || number.back() != ')') continue;
        const std::string digits = number.substr(1, number.size() - 2);
        if (digits.empty() || digits.size() > 2 || digits[0] == '0' ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        return true;
    }
    return false;
}

RemovalOutcome removeModel(const ModelParts& parts, const std::string& port, int targetOs) {
    return Removal(parts, port, targetOs).run();
}

}  // namespace install
