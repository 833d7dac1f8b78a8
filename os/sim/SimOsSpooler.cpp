// The print spooler of the simulation: monitors, print processors, printer
// drivers, printers and the default printer, with the Spooler service
// holding the DLLs it has loaded.
//
// Where Wine's spooler differs from Windows' this follows Windows: calls
// fail with RPC_S_SERVER_UNAVAILABLE while the service is stopped, an
// existing printer name gives ERROR_PRINTER_ALREADY_EXISTS, a print
// processor DLL must exist, and handles carry their access rights.
#include <algorithm>
#include <cstring>

#include "os/sim/IniFile.h"
#include "os/sim/PeImage.h"
#include "os/sim/SimObjects.h"

namespace os::sim {
namespace {

const char* const kPrintKey = "SYSTEM\\CurrentControlSet\\Control\\Print";
const char* const kNtEnvironment = "Windows NT x86";
const char* const kWin9xEnvironment = "Windows 4.0";
// Longest printer name the spooler accepts.
const size_t kMaxPrinterName = 220;
// The entry points a spooler initialises a monitor DLL by; 9x monitors
// have their own.
const char* const kMonitorEntries[] = {"InitializePrintMonitor2", "InitializePrintMonitor"};
const char* const k9xMonitorEntries[] = {"InitializeMonitorEx", "InitializeMonitor"};

// A printer handle and the rights it was opened with.
struct PrinterHandle : PrinterObject {
    DWORD access = 0;
};

std::string text(LPCSTR s) { return s ? std::string(s) : std::string(); }
bool isEmpty(LPCSTR s) { return s == nullptr || *s == '\0'; }

std::string monitorKey(const std::string& name) {
    return std::string(kPrintKey) + "\\Monitors\\" + name;
}

std::string processorsKey(const std::string& environment) {
    return std::string(kPrintKey) + "\\Environments\\" + environment + "\\Print Processors";
}

// The environment a call names: none or "" is the caller's own (an x86
// program's, also on 64-bit Windows); the NT family also keeps drivers and
// processors for Windows 4.0 clients, and 64-bit Windows its own beside
// those for x86 clients.
bool resolveEnvironment(const Machine& machine, LPCSTR requested, std::string* environment) {
    if (isEmpty(requested)) {
        *environment = machine.callerEnvironment();
        return true;
    }
    if (machine.wow64() && equalsNoCase(requested, machine.environment())) {
        *environment = machine.environment();
        return true;
    }
    if (equalsNoCase(requested, kWin9xEnvironment)) {
        *environment = kWin9xEnvironment;
        return true;
    }
    if (machine.isNt() && equalsNoCase(requested, kNtEnvironment)) {
        *environment = kNtEnvironment;
        return true;
    }
    return false;
}

// On the NT family the ANSI calls run the Unicode ones in the caller's
// buffer and convert in place, so they ask for room for the Unicode text.
DWORD textBytes(const Machine& machine, const std::string& s) {
    return static_cast<DWORD>((s.size() + 1) * (machine.isNt() ? 2 : 1));
}

// Lays a record's strings out after the records in the caller's buffer.
class Packer {
public:
    explicit Packer(LPBYTE next) : next_(reinterpret_cast<char*>(next)) {}
    LPSTR put(const std::string& s) {
        char* at = next_;
        std::memcpy(at, s.c_str(), s.size() + 1);
        next_ += s.size() + 1;
        return at;
    }
    // Absent strings stay null.
    LPSTR putOptional(const std::string& s) { return s.empty() ? nullptr : put(s); }

private:
    char* next_;
};

// --- win.ini -----------------------------------------------------------------
// The default printer is the [windows] "device" entry of win.ini, where
// programs written for Windows NT 4.0 and 9x also put it themselves.

std::string trim(const std::string& s) {
    size_t start = s.find_first_not_of(" \t");
    if (start == std::string::npos) return "";
    size_t end = s.find_last_not_of(" \t");
    return s.substr(start, end - start + 1);
}

std::string winIni(const Machine& machine) { return machine.windowsDirectory + "\\win.ini"; }

bool readDevice(SimOs& os, std::string* device) {
    std::string content;
    if (!os.files().readFile(winIni(os.machine()), &content)) return false;
    return IniFile(content).value("windows", "device", device) && !device->empty();
}

// Sets the entry, or removes it when `device` is null.
void writeDevice(SimOs& os, const std::string* device) {
    std::string path = winIni(os.machine());
    std::string content;
    os.files().readFile(path, &content);
    IniFile ini(content);
    if (device)
        ini.set("windows", "device", *device);
    else
        ini.removeKey("windows", "device");
    os.files().writeFile(path, ini.bytes());
}

std::string defaultPrinterName(SimOs& os) {
    std::string device;
    if (!readDevice(os, &device)) return "";
    return trim(device.substr(0, device.find(',')));
}

void makeDefault(SimOs& os, const Spooler::Printer& printer) {
    // Windows 2000 and later name every local queue through the winspool
    // driver and a virtual "Ne" port; 9x keeps the printer's own, and marks
    // the default printer in its attributes.
    std::string device = os.machine().isNt()
                             ? printer.name + ",winspool,Ne00:"
                             : printer.name + "," + printer.driver + "," + printer.port;
    writeDevice(os, &device);
    if (os.machine().isNt()) return;
    for (auto& p : os.spooler().printers) {
        p.attributes &= ~PRINTER_ATTRIBUTE_DEFAULT;
        if (equalsNoCase(p.name, printer.name)) p.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
    }
}

bool validPrinterName(const std::string& name) {
    return !name.empty() && name.size() <= kMaxPrinterName &&
           name.find_first_of(",\\") == std::string::npos;
}

// Every port of a pool ("LPT1:,LPT2:") must exist.
bool portsExist(const Spooler& spooler, const std::string& ports) {
    if (ports.empty()) return false;
    size_t start = 0;
    while (start <= ports.size()) {
        size_t comma = ports.find(',', start);
        if (comma == std::string::npos) comma = ports.size();
        std::string port = trim(ports.substr(start, comma - start));
        if (port.empty() || !spooler.hasPort(port)) return false;
        start = comma + 1;
    }
    return true;
}

std::vector<std::string> multiString(LPCSTR list) {
    std::vector<std::string> result;
    if (list == nullptr) return result;
    while (*list != '\0') {
        result.emplace_back(list);
        list += result.back().size() + 1;
    }
    return result;
}

// Grants of a printer handle for what was asked.
DWORD mapPrinterAccess(DWORD access) {
    if (access == 0) return PRINTER_ACCESS_USE;
    if (access & GENERIC_ALL) access |= PRINTER_ALL_ACCESS;
    if (access & (GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE))
        access |= PRINTER_ACCESS_USE | READ_CONTROL;
    return access & ~(GENERIC_ALL | GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE);
}

struct PortInfo2 {  // PORT_INFO_2A
    LPSTR pPortName;
    LPSTR pMonitorName;
    LPSTR pDescription;
    DWORD fPortType;
    DWORD Reserved;
};

}  // namespace

// --- The service's hold on its DLLs ---------------------------------------------

// The spooler's folder of an environment's files.
static std::string environmentFolder(const std::string& environment) {
    if (equalsNoCase(environment, kWin9xEnvironment)) return "WIN40";
    if (equalsNoCase(environment, "Windows x64")) return "x64";
    if (equalsNoCase(environment, "Windows ARM64")) return "ARM64";
    if (equalsNoCase(environment, "Windows IA64")) return "IA64";
    return "W32X86";
}

std::string SimOs::driverDirectory(const std::string& environment) const {
    if (!machine_.isNt()) return machine_.systemDirectory;
    return machine_.systemDirectory + "\\spool\\DRIVERS\\" + environmentFolder(environment);
}

std::string SimOs::processorDirectory(const std::string& environment) const {
    if (!machine_.isNt()) return machine_.systemDirectory;
    return machine_.systemDirectory + "\\spool\\PRTPROCS\\" + environmentFolder(environment);
}

void SimOs::holdSpoolerFile(const std::string& path) {
    if (auto opening = files_.hold(path)) spoolerHolds_.push_back(opening);
}

void SimOs::releaseSpoolerFile(const std::string& path) {
    for (auto it = spoolerHolds_.begin(); it != spoolerHolds_.end(); ++it) {
        if (equalsNoCase((*it)->path, path)) {
            files_.release(*it);
            spoolerHolds_.erase(it);
            return;
        }
    }
}

void SimOs::updateServices() {
    services_.advance(clock_.now());
    if (!machine_.isNt()) return;
    Services::Service* spooler = services_.find("Spooler");
    bool active = spooler != nullptr && Services::isActive(*spooler);
    if (active != spoolerLoaded_) setSpoolerLoaded(active);
}

namespace {

// Takes in the monitors and print processors of the machine's environment
// that the registry names. `reload` is a starting spooler, which loads
// each from the DLL named now; otherwise only those the spooler does not
// know yet are added. Returns the DLLs of those added, as full paths.
std::vector<std::string> takeRegistrations(SimOs& os, const std::string& processorDirectory,
                                           bool reload) {
    Spooler& spooler = os.spooler();
    Registry& registry = os.registry();
    const std::string environment = os.machine().environment();
    const std::string& system = os.machine().systemDirectory;
    std::vector<std::string> added;
    const std::string monitors = std::string(kPrintKey) + "\\Monitors";
    for (const auto& name : registry.subKeyNames(HKEY_LOCAL_MACHINE, monitors)) {
        std::string dll = registry.getString(HKEY_LOCAL_MACHINE, monitorKey(name), "Driver");
        if (dll.empty()) continue;
        Spooler::Monitor* monitor = spooler.monitor(name);
        if (monitor == nullptr) {
            spooler.monitors.push_back({name, environment, dll, spooler.portsOfDll(dll)});
            added.push_back(FileSystem::fullPath(dll, system));
        } else if (reload && !equalsNoCase(monitor->dll, dll)) {
            // The same monitor under another file name (a copy that replaced
            // one in use) offers the same ports unless told otherwise.
            std::vector<std::string> ports = spooler.portsOfDll(dll);
            if (!ports.empty()) monitor->ports = ports;
            monitor->dll = dll;
        }
    }
    const std::string processors = processorsKey(environment);
    for (const auto& name : registry.subKeyNames(HKEY_LOCAL_MACHINE, processors)) {
        std::string dll = registry.getString(HKEY_LOCAL_MACHINE, processors + "\\" + name, "Driver");
        if (dll.empty()) continue;
        Spooler::Processor* processor = spooler.processor(name, environment);
        if (processor == nullptr) {
            spooler.processors.push_back({name, environment, dll, spooler.datatypesOfDll(dll)});
            added.push_back(FileSystem::fullPath(dll, processorDirectory));
        } else if (reload) {
            processor->dll = dll;
        }
    }
    return added;
}

}  // namespace

void SimOs::setSpoolerLoaded(bool running) {
    for (const auto& opening : spoolerHolds_) files_.release(opening);
    spoolerHolds_.clear();
    spoolerLoaded_ = running;
    if (!running) return;

    // A starting spooler loads the monitors and print processors that the
    // registry names now, which may be other DLLs than before.
    const std::string environment = machine_.environment();
    takeRegistrations(*this, processorDirectory(environment), true);
    for (const auto& monitor : spooler_.monitors)
        holdSpoolerFile(FileSystem::fullPath(monitor.dll, machine_.systemDirectory));
    for (const auto& processor : spooler_.processors)
        if (equalsNoCase(processor.environment, environment))
            holdSpoolerFile(FileSystem::fullPath(processor.dll, processorDirectory(environment)));
}

// The NT family's spooler API talks to the Spooler service; 9x's spooler
// lives in every process and always answers.
//
// A monitor or processor that a test registered in the registry counts as
// installed, as if it had been there when the spooler started. 9x's spooler
// reads the registry each time, so there a changed DLL name counts at once.
bool SimOs::spoolerAvailable() {
    updateServices();
    if (!machine_.isNt()) {
        takeRegistrations(*this, processorDirectory(machine_.environment()), true);
        return true;
    }
    Services::Service* spooler = services_.find("Spooler");
    if (spooler == nullptr || spooler->state != SERVICE_RUNNING) {
        fail(RPC_S_SERVER_UNAVAILABLE);
        return false;
    }
    for (const auto& dll : takeRegistrations(*this, processorDirectory(machine_.environment()), false))
        if (spoolerLoaded_) holdSpoolerFile(dll);
    return true;
}

// --- Monitors and ports -----------------------------------------------------------

BOOL SimOs::AddMonitorA(LPSTR server, DWORD level, LPBYTE info) {
    if (!lookUp(SystemFunction::AddMonitorA)) return FALSE;
    SIM_LOCK();
    auto* record = reinterpret_cast<MONITOR_INFO_2A*>(info);
    std::string name = record ? text(record->pName) : std::string();
    if (enter("AddMonitorA", name)) return FALSE;
    noteDriverLoadPrivilege("AddMonitorA");
    if (level != 2) {
        fail(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    if (!spoolerReachable(server, true)) return FALSE;
    std::string environment;
    if (record == nullptr || name.empty() || isEmpty(record->pDLLName)) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!resolveEnvironment(machine_, record->pEnvironment, &environment) ||
        !equalsNoCase(environment, machine_.environment())) {
        fail(ERROR_INVALID_ENVIRONMENT);
        return FALSE;
    }
    if (spooler_.monitor(name) != nullptr) {
        fail(machine_.isNt() ? ERROR_PRINT_MONITOR_ALREADY_INSTALLED : ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    // The spooler loads the DLL from the system directory at once. 9x
    // reports every failure to load it as an invalid parameter.
    std::string dll = text(record->pDLLName);
    std::string path = FileSystem::fullPath(dll, machine_.systemDirectory);
    if (!files_.isFile(path)) {
        fail(machine_.isNt() ? ERROR_MOD_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // A monitor must offer the entry point the spooler initialises it by.
    std::vector<uint8_t> image;
    PeImage pe;
    if (!files_.readFile(path, &image) || !pe.parse(image)) {
        fail(machine_.isNt() ? ERROR_BAD_EXE_FORMAT : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The spooler loads it into its own process, of the machine's architecture.
    if (machine_.isNt() && pe.machine() != machine_.nativeMachine) {
        fail(ERROR_BAD_EXE_FORMAT);
        return FALSE;
    }
    bool initialises = false;
    for (const char* entry : kMonitorEntries) initialises = initialises || pe.exports(entry);
    if (!machine_.isNt())
        for (const char* entry : k9xMonitorEntries) initialises = initialises || pe.exports(entry);
    if (!initialises) {
        fail(machine_.isNt() ? ERROR_PROC_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    registry_.setString(HKEY_LOCAL_MACHINE, monitorKey(name), "Driver", dll);
    spooler_.monitors.push_back({name, environment, dll, spooler_.portsOfDll(dll)});
    if (spoolerLoaded_) holdSpoolerFile(path);
    return TRUE;
}

BOOL SimOs::DeleteMonitorA(LPSTR server, LPSTR environment, LPSTR monitorName) {
    if (!lookUp(SystemFunction::DeleteMonitorA)) return FALSE;
    SIM_LOCK();
    std::string name = text(monitorName);
    if (enter("DeleteMonitorA", name)) return FALSE;
    noteDriverLoadPrivilege("DeleteMonitorA");
    if (!spoolerReachable(server, true)) return FALSE;
    // Windows XP ignores the environment here; Vista and later check it.
    std::string resolved;
    if (machine_.major >= 6 && !resolveEnvironment(machine_, environment, &resolved)) {
        fail(ERROR_INVALID_ENVIRONMENT);
        return FALSE;
    }
    // As for AddMonitorA, 64-bit Windows' monitors are its own environment's.
    if (machine_.wow64() && !equalsNoCase(resolved, machine_.environment())) {
        fail(ERROR_INVALID_ENVIRONMENT);
        return FALSE;
    }
    if (name.empty()) {
        fail(machine_.isNt() ? ERROR_INVALID_PARAMETER : ERROR_INVALID_NAME);
        return FALSE;
    }
    Spooler::Monitor* monitor = spooler_.monitor(name);
    if (monitor == nullptr) {
        fail(machine_.isNt() ? ERROR_UNKNOWN_PRINT_MONITOR : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (spooler_.monitorInUse(*monitor)) {
        fail(ERROR_PRINT_MONITOR_IN_USE);
        return FALSE;
    }
    if (spoolerLoaded_)
        releaseSpoolerFile(FileSystem::fullPath(monitor->dll, machine_.systemDirectory));
    registry_.removeTree(HKEY_LOCAL_MACHINE, monitorKey(monitor->name));
    spooler_.removeMonitor(name);
    return TRUE;
}

// Only the local spooler is simulated, it answers only while it runs, and
// what changes it wants an administrator on the NT family.
bool SimOs::spoolerReachable(LPSTR server, bool changes) {
    if (!isEmpty(server)) {
        fail(RPC_S_SERVER_UNAVAILABLE);
        return false;
    }
    if (!spoolerAvailable()) return false;
    if (changes && machine_.isNt() && !machine_.administrator) {
        fail(ERROR_ACCESS_DENIED);
        return false;
    }
    return true;
}

// The checks every enumeration makes before it counts what it lists.
bool SimOs::beginEnumeration(const char* call, LPSTR server, DWORD level, LPDWORD needed,
                             LPDWORD returned) {
    if (enter(call)) return false;
    if (!spoolerReachable(server, false)) return false;
    if (level != 1 && level != 2) {
        fail(ERROR_INVALID_LEVEL);
        return false;
    }
    if (needed == nullptr || returned == nullptr) {
        fail(RPC_X_NULL_REF_POINTER);
        return false;
    }
    return true;
}

// Reports the size an enumeration needs; false when the caller's buffer is too small.
bool SimOs::enumerationFits(DWORD total, LPBYTE buffer, DWORD size, LPDWORD needed,
                            LPDWORD returned) {
    *needed = total;
    *returned = 0;
    if (size < total) {
        fail(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    if (buffer == nullptr && total > 0) {
        fail(RPC_X_NULL_REF_POINTER);
        return false;
    }
    return true;
}

// A record of `total` bytes asked for into `buffer`: GetPrinterA and
// GetPrinterDriverA answer alike.
bool SimOs::recordFits(DWORD total, LPBYTE buffer, DWORD size, LPDWORD needed) {
    *needed = total;
    if (size < total) {
        fail(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    if (buffer == nullptr) {
        fail(ERROR_INVALID_USER_BUFFER);
        return false;
    }
    return true;
}

BOOL SimOs::EnumMonitorsA(LPSTR server, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                          LPDWORD returned) {
    if (!lookUp(SystemFunction::EnumMonitorsA)) return FALSE;
    SIM_LOCK();
    if (!beginEnumeration("EnumMonitorsA", server, level, needed, returned)) return FALSE;
    DWORD record = level == 1 ? sizeof(MONITOR_INFO_1A) : sizeof(MONITOR_INFO_2A);
    DWORD total = 0;
    for (const auto& m : spooler_.monitors) {
        total += record + textBytes(machine_, m.name);
        if (level == 2)
            total += textBytes(machine_, m.environment) + textBytes(machine_, m.dll);
    }
    if (!enumerationFits(total, buffer, size, needed, returned)) return FALSE;
    Packer strings(buffer + record * spooler_.monitors.size());
    for (size_t i = 0; i < spooler_.monitors.size(); ++i) {
        const auto& m = spooler_.monitors[i];
        if (level == 1) {
            reinterpret_cast<MONITOR_INFO_1A*>(buffer)[i].pName = strings.put(m.name);
        } else {
            auto& out = reinterpret_cast<MONITOR_INFO_2A*>(buffer)[i];
            out.pName = strings.put(m.name);
            out.pEnvironment = strings.put(m.environment);
            out.pDLLName = strings.put(m.dll);
        }
    }
    *returned = static_cast<DWORD>(spooler_.monitors.size());
    return TRUE;
}

BOOL SimOs::EnumPortsA(LPSTR server, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                       LPDWORD returned) {
    if (!lookUp(SystemFunction::EnumPortsA)) return FALSE;
    SIM_LOCK();
    if (!beginEnumeration("EnumPortsA", server, level, needed, returned)) return FALSE;
    struct Port {
        const std::string* name;
        const Spooler::Monitor* monitor;
    };
    std::vector<Port> ports;
    for (const auto& m : spooler_.monitors)
        for (const auto& p : m.ports) ports.push_back({&p, &m});
    DWORD record = level == 1 ? sizeof(PORT_INFO_1A) : sizeof(PortInfo2);
    DWORD total = 0;
    for (const auto& p : ports) {
        total += record + textBytes(machine_, *p.name);
        if (level == 2)
            total += textBytes(machine_, p.monitor->name) + textBytes(machine_, p.monitor->name);
    }
    if (!enumerationFits(total, buffer, size, needed, returned)) return FALSE;
    Packer strings(buffer + record * ports.size());
    for (size_t i = 0; i < ports.size(); ++i) {
        if (level == 1) {
            reinterpret_cast<PORT_INFO_1A*>(buffer)[i].pName = strings.put(*ports[i].name);
        } else {
            auto& out = reinterpret_cast<PortInfo2*>(buffer)[i];
            out.pPortName = strings.put(*ports[i].name);
            out.pMonitorName = strings.put(ports[i].monitor->name);
            out.pDescription = strings.put(ports[i].monitor->name);
            out.fPortType = 1;  // PORT_TYPE_WRITE
            out.Reserved = 0;
        }
    }
    *returned = static_cast<DWORD>(ports.size());
    return TRUE;
}

// --- Print processors and driver directories ---------------------------------------

BOOL SimOs::AddPrintProcessorA(LPSTR server, LPSTR environment, LPSTR pathName,
                               LPSTR processorName) {
    if (!lookUp(SystemFunction::AddPrintProcessorA)) return FALSE;
    SIM_LOCK();
    std::string name = text(processorName);
    if (enter("AddPrintProcessorA", name)) return FALSE;
    noteDriverLoadPrivilege("AddPrintProcessorA");
    if (!spoolerReachable(server, true)) return FALSE;
    std::string resolved;
    if (!resolveEnvironment(machine_, environment, &resolved)) {
        fail(ERROR_INVALID_ENVIRONMENT);
        return FALSE;
    }
    if (name.empty() || isEmpty(pathName)) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (spooler_.processor(name, resolved) != nullptr) {
        fail(ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED);
        return FALSE;
    }
    // The spooler loads the processor from its directory at once.
    std::string dll = text(pathName);
    std::string path = processorDirectory(resolved) + "\\" + dll;
    if (!files_.isFile(FileSystem::fullPath(path, machine_.currentDirectory))) {
        fail(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    // 64-bit Windows' spooler loads only its own environment's processors,
    // into its own process.
    std::vector<uint8_t> image;
    PeImage pe;
    if (machine_.wow64() && equalsNoCase(resolved, machine_.environment()) &&
        files_.readFile(FileSystem::fullPath(path, machine_.currentDirectory), &image) &&
        pe.parse(image) && pe.machine() != machine_.nativeMachine) {
        fail(ERROR_BAD_EXE_FORMAT);
        return FALSE;
    }
    registry_.setString(HKEY_LOCAL_MACHINE, processorsKey(resolved) + "\\" + name, "Driver", dll);
    spooler_.processors.push_back({name, resolved, dll, spooler_.datatypesOfDll(dll)});
    if (spoolerLoaded_ && equalsNoCase(resolved, machine_.environment()))
        holdSpoolerFile(FileSystem::fullPath(path, machine_.currentDirectory));
    return TRUE;
}

BOOL SimOs::DeletePrintProcessorA(LPSTR server, LPSTR environment, LPSTR processorName) {
    if (!lookUp(SystemFunction::DeletePrintProcessorA)) return FALSE;
    SIM_LOCK();
    std::string name = text(processorName);
    if (enter("DeletePrintProcessorA", name)) return FALSE;
    if (!spoolerReachable(server, true)) return FALSE;
    std::string resolved;
    if (!resolveEnvironment(machine_, environment, &resolved)) {
        fail(ERROR_INVALID_ENVIRONMENT);
        return FALSE;
    }
    Spooler::Processor* processor = spooler_.processor(name, resolved);
    if (processor == nullptr) {
        fail(ERROR_UNKNOWN_PRINTPROCESSOR);
        return FALSE;
    }
    // The spooler lets go of its DLL; the file stays.
    if (spoolerLoaded_ && equalsNoCase(resolved, machine_.environment()))
        releaseSpoolerFile(FileSystem::fullPath(processorDirectory(resolved) + "\\" + processor->dll,
                                                machine_.currentDirectory));
    registry_.removeTree(HKEY_LOCAL_MACHINE, processorsKey(resolved) + "\\" + processor->name);
    auto& all = spooler_.processors;
    for (auto it = all.begin(); it != all.end(); ++it) {
        if (&*it == processor) {
            all.erase(it);
            break;
        }
    }
    return TRUE;
}

namespace {

// GetPrinterDriverDirectoryA and GetPrintProcessorDirectoryA answer alike.
BOOL answerDirectory(SimOs& os, const std::string& directory, LPBYTE buffer, DWORD size,
                     LPDWORD needed) {
    DWORD bytes = textBytes(os.machine(), directory);
    if (needed == nullptr) {
        os.fail(RPC_X_NULL_REF_POINTER);
        return FALSE;
    }
    *needed = bytes;
    if (size < bytes) {
        os.fail(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (buffer == nullptr) {
        os.fail(ERROR_INVALID_USER_BUFFER);
        return FALSE;
    }
    std::memcpy(buffer, directory.c_str(), directory.size() + 1);
    return TRUE;
}

}  // namespace

// Both spooler directories answer alike; only the directory differs.
BOOL SimOs::spoolerDirectory(const char* call, LPSTR server, LPSTR environment, DWORD level,
                             LPBYTE buffer, DWORD size, LPDWORD needed, bool processor) {
    SIM_LOCK();
    if (enter(call, text(environment))) return FALSE;
    if (!spoolerReachable(server, false)) return FALSE;
    std::string resolved;
    if (!resolveEnvironment(machine_, environment, &resolved)) {
        fail(ERROR_INVALID_ENVIRONMENT);
        return FALSE;
    }
    // 9x ignores the level.
    if (machine_.isNt() && level != 1) {
        fail(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    std::string directory = processor ? processorDirectory(resolved) : driverDirectory(resolved);
    files_.makeDirectories(directory);
    return answerDirectory(*this, directory, buffer, size, needed);
}

BOOL SimOs::GetPrinterDriverDirectoryA(LPSTR server, LPSTR environment, DWORD level,
                                       LPBYTE buffer, DWORD size, LPDWORD needed) {
    if (!lookUp(SystemFunction::GetPrinterDriverDirectoryA)) return FALSE;
    return spoolerDirectory("GetPrinterDriverDirectoryA", server, environment, level, buffer, size,
                            needed, false);
}

BOOL SimOs::GetPrintProcessorDirectoryA(LPSTR server, LPSTR environment, DWORD level,
                                        LPBYTE buffer, DWORD size, LPDWORD needed) {
    if (!lookUp(SystemFunction::GetPrintProcessorDirectoryA)) return FALSE;
    return spoolerDirectory("GetPrintProcessorDirectoryA", server, environment, level, buffer,
                            size, needed, true);
}

// --- Printer drivers ----------------------------------------------------------------

// AddPrinterDriver copies as AddPrinterDriverEx does with APD_COPY_NEW_FILES.
BOOL SimOs::AddPrinterDriverA(LPSTR server, DWORD level, LPBYTE info) {
    if (!lookUp(SystemFunction::AddPrinterDriverA)) return FALSE;
    SIM_LOCK();
    auto* record = reinterpret_cast<DRIVER_INFO_3A*>(info);
    if (enter("AddPrinterDriverA", record ? text(record->pName) : std::string())) return FALSE;
    noteDriverLoadPrivilege("AddPrinterDriverA");
    return addPrinterDriver(server, level, info, APD_COPY_NEW_FILES);
}

BOOL SimOs::AddPrinterDriverExA(LPSTR server, DWORD level, LPBYTE info, DWORD copyFlags) {
    if (!lookUp(SystemFunction::AddPrinterDriverExA)) return FALSE;
    SIM_LOCK();
    auto* record = reinterpret_cast<DRIVER_INFO_3A*>(info);
    if (enter("AddPrinterDriverExA", record ? text(record->pName) : std::string())) return FALSE;
    noteDriverLoadPrivilege("AddPrinterDriverExA");
    // Not exported before Windows 2000: the seam answers as for a missing function.
    if (!machine_.isNt() || machine_.major < 5) {
        fail(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    // One of the copy rules must be named; the strict ones and copying from
    // the files' own folder are not modelled, and refused as unknown.
    if (copyFlags != APD_COPY_ALL_FILES && copyFlags != APD_COPY_NEW_FILES) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return addPrinterDriver(server, level, info, copyFlags);
}

BOOL SimOs::addPrinterDriver(LPSTR server, DWORD level, LPBYTE info, DWORD copyFlags) {
    auto* record = reinterpret_cast<DRIVER_INFO_3A*>(info);
    std::string name = record ? text(record->pName) : std::string();
    if (!spoolerReachable(server, false)) return FALSE;
    // DRIVER_INFO_2A is the beginning of DRIVER_INFO_3A.
    if (level != 2 && level != 3) {
        fail(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    if (machine_.isNt() && !machine_.administrator) {
        fail(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (record == nullptr) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string environment;
    if (!resolveEnvironment(machine_, record->pEnvironment, &environment)) {
        fail(ERROR_INVALID_ENVIRONMENT);
        return FALSE;
    }
    if (name.empty() || isEmpty(record->pDriverPath) || isEmpty(record->pDataFile) ||
        isEmpty(record->pConfigFile)) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    bool win40 = equalsNoCase(environment, kWin9xEnvironment);
    if (machine_.isNt()) {
        bool fits = win40 ? record->cVersion == 0 : (record->cVersion == 2 || record->cVersion == 3);
        if (!fits) {
            fail(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
    }
    Spooler::Driver driver;
    driver.name = name;
    driver.environment = environment;
    driver.version = record->cVersion;
    driver.driverPath = text(record->pDriverPath);
    driver.dataFile = text(record->pDataFile);
    driver.configFile = text(record->pConfigFile);
    if (level == 3) {
        driver.helpFile = text(record->pHelpFile);
        driver.dependentFiles = multiString(record->pDependentFiles);
        driver.monitorName = text(record->pMonitorName);
        driver.defaultDataType = text(record->pDefaultDataType);
    }
    if (!driver.monitorName.empty() && spooler_.monitor(driver.monitorName) == nullptr) {
        fail(ERROR_UNKNOWN_PRINT_MONITOR);
        return FALSE;
    }

    // Every file must already lie in the driver directory (or its version
    // directory, or be named by a full path); the spooler then keeps them
    // in the version directory.
    const std::string root = driverDirectory(environment);
    const std::string versionDirectory =
        machine_.isNt() ? root + "\\" + std::to_string(driver.version) : root;
    std::vector<std::string> names = {driver.driverPath, driver.dataFile, driver.configFile};
    if (!driver.helpFile.empty()) names.push_back(driver.helpFile);
    names.insert(names.end(), driver.dependentFiles.begin(), driver.dependentFiles.end());
    std::vector<std::pair<std::string, std::string>> sources;  // found, its name
    for (const auto& file : names) {
        std::string base = FileSystem::nameOf(FileSystem::fullPath(file, root));
        std::string found;
        if (file.find_first_of("\\/:") != std::string::npos) {
            std::string full = FileSystem::fullPath(file, machine_.currentDirectory);
            if (files_.isFile(full)) found = full;
        }
        // The driver directory's copy is the one being installed; the
        // version directory's is what an earlier installation left.
        for (const std::string& dir : {root, versionDirectory}) {
            if (found.empty() && files_.isFile(dir + "\\" + base)) found = dir + "\\" + base;
        }
        if (found.empty()) {
            fail(ERROR_FILE_NOT_FOUND);
            return FALSE;
        }
        // A file may be named twice (one DLL as driver and configuration).
        bool known = false;
        for (const auto& source : sources) known = known || equalsNoCase(source.first, found);
        if (!known) sources.emplace_back(found, base);
    }
    if (machine_.isNt()) {
        files_.makeDirectories(versionDirectory);
        for (const auto& source : sources) {
            std::string target = versionDirectory + "\\" + source.second;
            if (equalsNoCase(source.first, target)) continue;
            // APD_COPY_NEW_FILES copies only what is newer than the file the
            // version folder holds, by time stamp: a newer one stays.
            // APD_COPY_ALL_FILES ignores the time stamps.
            const bool newerThere = copyFlags == APD_COPY_NEW_FILES && files_.isFile(target) &&
                                    files_.writtenOf(target) > files_.writtenOf(source.first);
            if (DWORD error = newerThere ? 0 : files_.copy(source.first, target, false)) {
                fail(error);
                return FALSE;
            }
            if (equalsNoCase(FileSystem::parentOf(source.first), root))
                files_.remove(source.first);
        }
    }
    spooler_.removeDriver(name, environment);
    spooler_.drivers.push_back(driver);
    return TRUE;
}

BOOL SimOs::DeletePrinterDriverA(LPSTR server, LPSTR environment, LPSTR driverName) {
    if (!lookUp(SystemFunction::DeletePrinterDriverA)) return FALSE;
    SIM_LOCK();
    std::string name = text(driverName);
    if (enter("DeletePrinterDriverA", name)) return FALSE;
    if (!spoolerReachable(server, true)) return FALSE;
    std::string resolved;
    if (!resolveEnvironment(machine_, environment, &resolved)) {
        fail(ERROR_INVALID_ENVIRONMENT);
        return FALSE;
    }
    if (spooler_.driver(name, resolved) == nullptr) {
        fail(ERROR_UNKNOWN_PRINTER_DRIVER);
        return FALSE;
    }
    if (equalsNoCase(resolved, machine_.environment()) && spooler_.driverInUse(name)) {
        fail(ERROR_PRINTER_DRIVER_IN_USE);
        return FALSE;
    }
    // The files stay; only DeletePrinterDriverEx removes them.
    spooler_.removeDriver(name, resolved);
    return TRUE;
}

BOOL SimOs::DeletePrinterDriverExA(LPSTR server, LPSTR environment, LPSTR driverName, DWORD deleteFlags,
                                   DWORD versionFlag) {
    if (!lookUp(SystemFunction::DeletePrinterDriverExA)) return FALSE;
    SIM_LOCK();
    if (enter("DeletePrinterDriverExA", text(driverName))) return FALSE;
    if (!machine_.isNt()) {
        fail(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    // Only the flags the program passes are modelled.
    if (versionFlag != 0 || (deleteFlags & ~static_cast<DWORD>(DPD_DELETE_UNUSED_FILES)) != 0) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string resolved;
    const Spooler::Driver* driver =
        resolveEnvironment(machine_, environment, &resolved) ? spooler_.driver(text(driverName), resolved) : nullptr;
    std::vector<std::string> files;
    std::string directory;
    DWORD version = 0;
    if (driver != nullptr) {
        version = driver->version;
        directory = driverDirectory(resolved) + "\\" + std::to_string(driver->version);
        files = {driver->driverPath, driver->dataFile, driver->configFile, driver->helpFile};
        files.insert(files.end(), driver->dependentFiles.begin(), driver->dependentFiles.end());
    }
    if (!DeletePrinterDriverA(server, environment, driverName)) return FALSE;
    if (!(deleteFlags & DPD_DELETE_UNUSED_FILES)) return TRUE;
    for (const std::string& file : files) {
        if (file.empty()) continue;
        const std::string base = FileSystem::nameOf(file);
        bool shared = false;
        // Only a driver whose files are kept in the same folder shares them.
        for (const auto& other : spooler_.drivers) {
            if (!equalsNoCase(other.environment, resolved) || other.version != version) continue;
            for (const std::string* named : {&other.driverPath, &other.dataFile, &other.configFile, &other.helpFile})
                shared = shared || equalsNoCase(FileSystem::nameOf(*named), base);
            for (const std::string& dependent : other.dependentFiles)
                shared = shared || equalsNoCase(FileSystem::nameOf(dependent), base);
        }
        // A file another driver names stays, and so does one something holds.
        if (!shared) files_.remove(directory + "\\" + base);
    }
    return TRUE;
}

// --- Printers -------------------------------------------------------------------------

namespace {

// The checks AddPrinterA and SetPrinterA make of a PRINTER_INFO_2A. Returns
// the error code, or 0 with the resolved datatype.
DWORD checkPrinterRecord(SimOs& os, const PRINTER_INFO_2A& record, std::string* datatype) {
    Spooler& spooler = os.spooler();
    const std::string environment = os.machine().environment();
    if (!validPrinterName(text(record.pPrinterName))) return ERROR_INVALID_PRINTER_NAME;
    if (!portsExist(spooler, text(record.pPortName))) return ERROR_UNKNOWN_PORT;
    if (isEmpty(record.pDriverName) || spooler.driver(record.pDriverName, environment) == nullptr)
        return ERROR_UNKNOWN_PRINTER_DRIVER;
    const Spooler::Processor* processor =
        isEmpty(record.pPrintProcessor) ? nullptr
                                        : spooler.processor(record.pPrintProcessor, environment);
    if (processor == nullptr) return ERROR_UNKNOWN_PRINTPROCESSOR;
    // Without a datatype the printer takes the processor's first one.
    if (isEmpty(record.pDatatype)) {
        *datatype = processor->datatypes.empty() ? std::string() : processor->datatypes.front();
        return 0;
    }
    for (const auto& known : processor->datatypes) {
        if (equalsNoCase(known, record.pDatatype)) {
            *datatype = known;
            return 0;
        }
    }
    return ERROR_INVALID_DATATYPE;
}

void fillPrinter(Spooler::Printer* printer, const PRINTER_INFO_2A& record,
                 const std::string& datatype, bool isNt) {
    printer->name = text(record.pPrinterName);
    printer->port = text(record.pPortName);
    printer->driver = text(record.pDriverName);
    printer->processor = text(record.pPrintProcessor);
    printer->datatype = datatype;
    printer->comment = text(record.pComment);
    printer->location = text(record.pLocation);
    printer->shareName = text(record.pShareName);
    printer->parameters = text(record.pParameters);
    printer->sepFile = text(record.pSepFile);
    // Only making a printer the default sets the default flag; the NT
    // family does not use it.
    printer->attributes = record.Attributes & ~PRINTER_ATTRIBUTE_DEFAULT;
    if (isNt) printer->attributes |= PRINTER_ATTRIBUTE_LOCAL;
    printer->priority = record.Priority;
    printer->defaultPriority = record.DefaultPriority;
    printer->startTime = record.StartTime;
    printer->untilTime = record.UntilTime;
}

}  // namespace

HANDLE SimOs::AddPrinterA(LPSTR server, DWORD level, LPBYTE info) {
    if (!lookUp(SystemFunction::AddPrinterA)) return nullptr;
    SIM_LOCK();
    auto* record = reinterpret_cast<PRINTER_INFO_2A*>(info);
    std::string name = record ? text(record->pPrinterName) : std::string();
    if (enter("AddPrinterA", name)) return nullptr;
    if (!isEmpty(server)) {
        fail(RPC_S_SERVER_UNAVAILABLE);
        return nullptr;
    }
    if (!spoolerAvailable()) return nullptr;
    if (level != 2) {
        fail(ERROR_INVALID_LEVEL);
        return nullptr;
    }
    if (machine_.isNt() && !machine_.administrator) {
        fail(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    if (record == nullptr) {
        fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!validPrinterName(name)) {
        fail(ERROR_INVALID_PRINTER_NAME);
        return nullptr;
    }
    if (spooler_.printer(name) != nullptr) {
        fail(ERROR_PRINTER_ALREADY_EXISTS);
        return nullptr;
    }
    std::string datatype;
    if (DWORD error = checkPrinterRecord(*this, *record, &datatype)) {
        fail(error);
        return nullptr;
    }
    Spooler::Printer printer;
    fillPrinter(&printer, *record, datatype, machine_.isNt());
    spooler_.printers.push_back(printer);
    if (!machine_.isNt() && (record->Attributes & PRINTER_ATTRIBUTE_DEFAULT))
        makeDefault(*this, printer);
    auto handle = std::make_shared<PrinterHandle>();
    handle->name = printer.name;
    handle->access = PRINTER_ALL_ACCESS;
    return addObject(handle);
}

BOOL SimOs::OpenPrinterA(LPSTR printerName, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults) {
    if (!lookUp(SystemFunction::OpenPrinterA)) return FALSE;
    SIM_LOCK();
    std::string name = text(printerName);
    if (enter("OpenPrinterA", name)) return FALSE;
    if (!spoolerAvailable()) return FALSE;
    // Without a name the NT family opens the print server, which the
    // simulation does not offer.
    if (printer == nullptr || printerName == nullptr) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Spooler::Printer* found = spooler_.printer(name);
    if (found == nullptr) {
        fail(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    DWORD access = mapPrinterAccess(defaults ? defaults->DesiredAccess : 0);
    if (machine_.isNt() && !machine_.administrator &&
        (access & (PRINTER_ACCESS_ADMINISTER | DELETE | WRITE_DAC | WRITE_OWNER))) {
        fail(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (defaults != nullptr && defaults->pDatatype != nullptr) {
        const Spooler::Processor* processor =
            spooler_.processor(found->processor, machine_.environment());
        bool known = false;
        if (processor != nullptr)
            for (const auto& d : processor->datatypes) known = known || equalsNoCase(d, defaults->pDatatype);
        if (!known) {
            fail(ERROR_INVALID_DATATYPE);
            return FALSE;
        }
    }
    auto handle = std::make_shared<PrinterHandle>();
    handle->name = found->name;
    handle->access = access;
    *printer = addObject(handle);
    return TRUE;
}

BOOL SimOs::GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    if (!lookUp(SystemFunction::GetPrinterA)) return FALSE;
    SIM_LOCK();
    auto* handle = object<PrinterHandle>(printer);
    if (enter("GetPrinterA", handle ? handle->name : std::string())) return FALSE;
    if (handle == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!spoolerAvailable()) return FALSE;
    // Only level 2 is simulated; the system reads no other.
    if (level != 2) {
        fail(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    if (needed == nullptr) {
        fail(RPC_X_NULL_REF_POINTER);
        return FALSE;
    }
    const Spooler::Printer* p = spooler_.printer(handle->name);
    if (p == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const std::string* always[] = {&p->name, &p->port, &p->driver, &p->processor, &p->datatype};
    const std::string* optional[] = {&p->shareName, &p->comment, &p->location, &p->sepFile,
                                     &p->parameters};
    DWORD total = sizeof(PRINTER_INFO_2A);
    for (const std::string* s : always) total += textBytes(machine_, *s);
    for (const std::string* s : optional)
        if (!s->empty()) total += textBytes(machine_, *s);
    if (!recordFits(total, buffer, size, needed)) return FALSE;
    auto* out = reinterpret_cast<PRINTER_INFO_2A*>(buffer);
    std::memset(out, 0, sizeof *out);
    Packer strings(buffer + sizeof(PRINTER_INFO_2A));
    out->pPrinterName = strings.put(p->name);
    out->pShareName = strings.putOptional(p->shareName);
    out->pPortName = strings.put(p->port);
    out->pDriverName = strings.put(p->driver);
    out->pComment = strings.putOptional(p->comment);
    out->pLocation = strings.putOptional(p->location);
    out->pSepFile = strings.putOptional(p->sepFile);
    out->pPrintProcessor = strings.put(p->processor);
    out->pDatatype = strings.put(p->datatype);
    out->pParameters = strings.putOptional(p->parameters);
    // 9x reports the printer that win.ini names as the default.
    out->Attributes = p->attributes & ~PRINTER_ATTRIBUTE_DEFAULT;
    if (!machine_.isNt() && equalsNoCase(defaultPrinterName(*this), p->name))
        out->Attributes |= PRINTER_ATTRIBUTE_DEFAULT;
    out->Priority = p->priority;
    out->DefaultPriority = p->defaultPriority;
    out->StartTime = p->startTime;
    out->UntilTime = p->untilTime;
    return TRUE;
}

BOOL SimOs::EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                          LPDWORD returned) {
    if (!lookUp(SystemFunction::EnumPrintersA)) return FALSE;
    SIM_LOCK();
    if (enter("EnumPrintersA")) return FALSE;
    if (!spoolerReachable(nullptr, false)) return FALSE;
    if (level != 4 || !(flags & PRINTER_ENUM_LOCAL) || !isEmpty(name)) {
        fail(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    if (needed == nullptr || returned == nullptr) {
        fail(RPC_X_NULL_REF_POINTER);
        return FALSE;
    }
    DWORD total = 0;
    for (const auto& p : spooler_.printers) total += sizeof(PRINTER_INFO_4A) + textBytes(machine_, p.name);
    if (!enumerationFits(total, buffer, size, needed, returned)) return FALSE;
    Packer strings(buffer + sizeof(PRINTER_INFO_4A) * spooler_.printers.size());
    for (size_t i = 0; i < spooler_.printers.size(); ++i) {
        auto& out = reinterpret_cast<PRINTER_INFO_4A*>(buffer)[i];
        out.pPrinterName = strings.put(spooler_.printers[i].name);
        out.pServerName = nullptr;
        out.Attributes = spooler_.printers[i].attributes;
    }
    *returned = static_cast<DWORD>(spooler_.printers.size());
    return TRUE;
}

namespace {

// A driver as GetPrinterDriverA and EnumPrinterDriversA report it: its files
// with the path of the directory that keeps them.
struct DriverRecord {
    const Spooler::Driver* driver;
    std::string paths[4];  // driver, data, configuration and help file; no help file: empty
    std::string dependents;  // each ended by a zero

    DriverRecord(const Spooler::Driver& d, const std::string& directory) : driver(&d) {
        const std::string* files[] = {&d.driverPath, &d.dataFile, &d.configFile, &d.helpFile};
        for (int i = 0; i < 4; ++i) paths[i] = files[i]->empty() ? std::string() : directory + *files[i];
        for (const std::string& file : d.dependentFiles) dependents += directory + file + '\0';
    }
    // The room its strings take.
    DWORD stringBytes(const Machine& machine) const {
        DWORD total = textBytes(machine, driver->name) + textBytes(machine, driver->environment);
        for (const std::string& path : paths) total += textBytes(machine, path);
        total += textBytes(machine, dependents);  // the list and the zero that ends it
        return total + textBytes(machine, driver->monitorName) + textBytes(machine, driver->defaultDataType);
    }
    void write(DRIVER_INFO_3A* out, Packer& strings) const {
        std::memset(out, 0, sizeof *out);
        out->cVersion = driver->version;
        out->pName = strings.put(driver->name);
        out->pEnvironment = strings.put(driver->environment);
        out->pDriverPath = strings.put(paths[0]);
        out->pDataFile = strings.put(paths[1]);
        out->pConfigFile = strings.put(paths[2]);
        out->pHelpFile = strings.put(paths[3]);
        out->pDependentFiles = strings.put(dependents);  // a list, ended by the zero put() adds
        out->pMonitorName = strings.put(driver->monitorName);
        out->pDefaultDataType = strings.put(driver->defaultDataType);
    }
};

}  // namespace

// Files are reported with the path of the version directory that keeps them.
std::string SimOs::driverFilesDirectory(const Spooler::Driver& driver) const {
    return driverDirectory(driver.environment) +
           (machine_.isNt() ? "\\" + std::to_string(driver.version) : std::string()) + "\\";
}

BOOL SimOs::GetPrinterDriverA(HANDLE printer, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size,
                              LPDWORD needed) {
    if (!lookUp(SystemFunction::GetPrinterDriverA)) return FALSE;
    SIM_LOCK();
    auto* handle = object<PrinterHandle>(printer);
    if (enter("GetPrinterDriverA", handle ? handle->name : std::string())) return FALSE;
    if (handle == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!spoolerAvailable()) return FALSE;
    if (level != 3) {
        fail(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    std::string resolved;
    if (!resolveEnvironment(machine_, environment, &resolved)) {
        fail(ERROR_INVALID_ENVIRONMENT);
        return FALSE;
    }
    const Spooler::Printer* p = spooler_.printer(handle->name);
    const Spooler::Driver* d = p ? spooler_.driver(p->driver, resolved) : nullptr;
    if (d == nullptr) {
        fail(ERROR_UNKNOWN_PRINTER_DRIVER);
        return FALSE;
    }
    const DriverRecord record(*d, driverFilesDirectory(*d));
    if (needed == nullptr) {
        fail(RPC_X_NULL_REF_POINTER);
        return FALSE;
    }
    if (!recordFits(sizeof(DRIVER_INFO_3A) + record.stringBytes(machine_), buffer, size, needed)) return FALSE;
    Packer strings(buffer + sizeof(DRIVER_INFO_3A));
    record.write(reinterpret_cast<DRIVER_INFO_3A*>(buffer), strings);
    return TRUE;
}

BOOL SimOs::EnumPrinterDriversA(LPSTR server, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size,
                                LPDWORD needed, LPDWORD returned) {
    if (!lookUp(SystemFunction::EnumPrinterDriversA)) return FALSE;
    SIM_LOCK();
    if (enter("EnumPrinterDriversA", text(environment))) return FALSE;
    if (!spoolerReachable(server, false)) return FALSE;
    if (level != 3) {
        fail(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    std::string resolved;
    if (!resolveEnvironment(machine_, environment, &resolved)) {
        fail(ERROR_INVALID_ENVIRONMENT);
        return FALSE;
    }
    if (needed == nullptr || returned == nullptr) {
        fail(RPC_X_NULL_REF_POINTER);
        return FALSE;
    }
    std::vector<DriverRecord> records;
    for (const auto& d : spooler_.drivers)
        if (equalsNoCase(d.environment, resolved)) records.emplace_back(d, driverFilesDirectory(d));
    DWORD total = 0;
    for (const DriverRecord& record : records) total += sizeof(DRIVER_INFO_3A) + record.stringBytes(machine_);
    if (!enumerationFits(total, buffer, size, needed, returned)) return FALSE;
    Packer strings(buffer + sizeof(DRIVER_INFO_3A) * records.size());
    for (size_t i = 0; i < records.size(); ++i)
        records[i].write(reinterpret_cast<DRIVER_INFO_3A*>(buffer) + i, strings);
    *returned = static_cast<DWORD>(records.size());
    return TRUE;
}

BOOL SimOs::SetPrinterA(HANDLE printer, DWORD level, LPBYTE info, DWORD command) {
    if (!lookUp(SystemFunction::SetPrinterA)) return FALSE;
    SIM_LOCK();
    auto* handle = object<PrinterHandle>(printer);
    if (enter("SetPrinterA", handle ? handle->name : std::string())) return FALSE;
    if (handle == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!spoolerAvailable()) return FALSE;
    if (machine_.isNt() && !(handle->access & PRINTER_ACCESS_ADMINISTER)) {
        fail(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // Only the level-2 record without a command is simulated.
    if (level != 2) {
        fail(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    if (command != 0) {
        fail(ERROR_INVALID_PRINTER_COMMAND);
        return FALSE;
    }
    auto* record = reinterpret_cast<PRINTER_INFO_2A*>(info);
    Spooler::Printer* p = spooler_.printer(handle->name);
    if (record == nullptr || p == nullptr) {
        fail(record == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::string datatype;
    if (DWORD error = checkPrinterRecord(*this, *record, &datatype)) {
        fail(error);
        return FALSE;
    }
    std::string newName = text(record->pPrinterName);
    const Spooler::Printer* other = spooler_.printer(newName);
    if (other != nullptr && other != p) {
        fail(ERROR_PRINTER_ALREADY_EXISTS);
        return FALSE;
    }
    bool wasDefault = equalsNoCase(defaultPrinterName(*this), p->name);
    fillPrinter(p, *record, datatype, machine_.isNt());
    handle->name = p->name;
    bool makeItDefault = !machine_.isNt() && (record->Attributes & PRINTER_ATTRIBUTE_DEFAULT);
    if (makeItDefault || wasDefault) makeDefault(*this, *p);
    return TRUE;
}

BOOL SimOs::ClosePrinter(HANDLE printer) {
    if (!lookUp(SystemFunction::ClosePrinter)) return FALSE;
    SIM_LOCK();
    auto* handle = object<PrinterHandle>(printer);
    if (enter("ClosePrinter", handle ? handle->name : std::string())) return FALSE;
    if (handle == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    objects_.erase(reinterpret_cast<uintptr_t>(printer));
    return TRUE;
}

BOOL SimOs::DeletePrinter(HANDLE printer) {
    if (!lookUp(SystemFunction::DeletePrinter)) return FALSE;
    SIM_LOCK();
    auto* handle = object<PrinterHandle>(printer);
    if (enter("DeletePrinter", handle ? handle->name : std::string())) return FALSE;
    if (handle == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!spoolerAvailable()) return FALSE;
    if (machine_.isNt() && !(handle->access & DELETE)) {
        fail(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (spooler_.printer(handle->name) == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (equalsNoCase(defaultPrinterName(*this), handle->name)) writeDevice(*this, nullptr);
    spooler_.removePrinter(handle->name);
    return TRUE;
}

// --- The default printer ---------------------------------------------------------------

// winspool.drv exports this from Windows 2000 on and the system never calls
// it; the simulation answers on every version so that tests can read any
// machine's default printer. It reads win.ini without the spooler.
BOOL SimOs::GetDefaultPrinterA(LPSTR buffer, LPDWORD size) {
    if (!lookUp(SystemFunction::GetDefaultPrinterA)) return FALSE;
    SIM_LOCK();
    if (enter("GetDefaultPrinterA")) return FALSE;
    if (size == nullptr) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string name = defaultPrinterName(*this);
    if (name.empty()) {
        fail(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    DWORD length = static_cast<DWORD>(name.size() + 1);
    if (buffer == nullptr || *size < length) {
        *size = length;
        fail(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(buffer, name.c_str(), length);
    *size = length;
    return TRUE;
}

BOOL SimOs::SetDefaultPrinterA(LPCSTR printerName) {
    SIM_LOCK();
    std::string name = text(printerName);
    if (enter("SetDefaultPrinterA", name)) return FALSE;
    // No name keeps the default there is, or picks the first printer.
    if (name.empty() && !defaultPrinterName(*this).empty()) return TRUE;
    if (!spoolerAvailable()) return FALSE;
    const Spooler::Printer* printer =
        name.empty() ? (spooler_.printers.empty() ? nullptr : &spooler_.printers.front())
                     : spooler_.printer(name);
    if (printer == nullptr) {
        fail(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    makeDefault(*this, *printer);
    return TRUE;
}

}  // namespace os::sim

namespace os::sim {

void SimOs::noteDriverLoadPrivilege(const char* call) {
    const std::vector<std::string>& enabled = machine_.enabledPrivileges;
    const bool on = std::find(enabled.begin(), enabled.end(), "SeLoadDriverPrivilege") != enabled.end();
    spooler_.driverLoadPrivilegeAtCalls.push_back(std::string(call) + (on ? " enabled" : " not enabled"));
}

HRESULT SimOs::IsProtectedPrintEnabled(BOOL* enabled) {
    // The Windows Runtime's functions are looked up first, as the Win32
    // backend looks them up; combase.dll came with Windows 8.
    for (SystemFunction function : {SystemFunction::RoInitialize, SystemFunction::RoUninitialize,
                                    SystemFunction::WindowsCreateString, SystemFunction::WindowsDeleteString,
                                    SystemFunction::RoGetActivationFactory})
        if (!lookUp(function)) return static_cast<HRESULT>(0x80070078);  // ERROR_CALL_NOT_IMPLEMENTED
    SIM_LOCK();
    if (enter("IsProtectedPrintEnabled")) return E_FAIL;
    // The Windows Runtime came with Windows 8, the mode with Windows 11 24H2.
    if (!machine_.ntAtLeast(6, 2)) return static_cast<HRESULT>(0x80070078);  // ERROR_CALL_NOT_IMPLEMENTED
    if (!machine_.ntAtLeast(10, 0) || machine_.build < 26100) return REGDB_E_CLASSNOTREG;
    const DWORD policy = registry_.getDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Policies\\Microsoft\\Windows NT\\Printers\\WPP",
                                            "WindowsProtectedPrintGroupPolicyState");
    *enabled = policy == 1 || machine_.protectedPrintSwitchedOn;
    return S_OK;
}

}  // namespace os::sim
