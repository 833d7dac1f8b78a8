#include "install/InstallationCheck.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "config/AsciiCase.h"
#include "install/ComponentInstallers.h"
#include "install/ExistingPrinter.h"
#include "install/FileComparison.h"
#include "install/FileStaging.h"
#include "install/InstallLog.h"
#include "install/InstalledDrivers.h"
#include "install/RegistryKey.h"
#include "install/UsbPortRegistry.h"
#include "os/Os.h"
#include "os/World.h"

namespace install {
namespace {

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

class Check {
public:
    Check(config::DriverConfig& config, const ModelParts& parts, const std::string& port, int targetOs)
        : config_(config), parts_(parts), port_(port.empty() ? port : spoolerPortName(port)), targetOs_(targetOs) {}
    InstallationState run();

private:
    bool findPrinters();
    void compareDriver(const std::string& driver, os::Architecture architecture);
    void compareComponent(const std::string& what, const std::string& key, int mediumVersion);
    void compareComponents();

    config::DriverConfig& config_;
    const ModelParts& parts_;
    const std::string port_;
    int targetOs_;
    std::vector<PrinterRecord> printers_;
    bool older_ = false;
};

InstallationState Check::run() {
    if (!findPrinters()) return InstallationState::NotInstalled;
    std::vector<std::string> drivers;
    for (const PrinterRecord& printer : printers_)
        if (std::none_of(drivers.begin(), drivers.end(),
                         [&](const std::string& d) { return config::equalIgnoringCase(d, printer.driver); }))
            drivers.push_back(printer.driver);
    for (const std::string& driver : drivers)
        for (os::Architecture architecture : driverArchitectures()) compareDriver(driver, architecture);
    compareComponents();
    return older_ ? InstallationState::Older : InstallationState::Current;
}

// The model's printers: named as the installation names them, on the port
// asked for, printing through one of the model's drivers.
bool Check::findPrinters() {
    std::vector<std::string> names;
    if (!localPrinterNames(&names)) {
        logStep("the printers could not be listed (system error " + std::to_string(os::sys().GetLastError()) + ")");
        return false;
    }
    for (const std::string& name : names) {
        if (!isPrinterNameOfModel(name, parts_.model)) continue;
        PrinterRecord printer;
        if (DWORD error = readPrinterRecord(name, &printer)) {
            logStep("printer " + name + " could not be read (system error " + std::to_string(error) + ")");
            continue;
        }
        if (!port_.empty() && !config::equalIgnoringCase(printer.port, port_)) continue;
        if (!isModelDriver(parts_, printer.driver)) {
            logStep("printer " + name + " on " + printer.port + " prints through " + printer.driver +
                    ", which is not a driver of " + parts_.model + " from this medium");
            continue;
        }
        logStep("found printer " + name + " on " + printer.port + ", printing through " + printer.driver);
        printers_.push_back(printer);
    }
    return !printers_.empty();
}

// Each file of the driver that the medium holds, against the medium's copy
// for the environment's architecture. The x86 driver of 64-bit Windows may
// be missing where Windows had no x86 printing package: not older for that.
void Check::compareDriver(const std::string& driver, os::Architecture architecture) {
    const std::string label = std::string("driver ") + driver + " (" + os::architectureName(architecture) + ")";
    std::vector<std::string> paths;
    if (!driverFilePaths(driver, architecture, &paths)) {
        logStep(label + " is not registered");
        if (architecture == os::machineArchitecture()) older_ = true;
        return;
    }
    for (const std::string& path : paths) {
        const std::string name = path.substr(path.find_last_of('\\') + 1);
        std::string source;
        if (comesFromWindows(name, targetOs_) || !mediumSource(name, architecture, &source) ||
            os::sys().GetFileAttributesA(source.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        std::string how;
        const Standing standing = compareWithMedium(path, source, &how);
        const bool behind = standing != Standing::Same && standing != Standing::Newer;
        logStep(label + " file " + path + ": " + how + (behind ? ": older" : ""));
        older_ = older_ || behind;
    }
}

// A monitor or the print processor by the version recorded at its
// installation.
void Check::compareComponent(const std::string& what, const std::string& key, int mediumVersion) {
    RegistryKey registry;
    DWORD version = 0;
    if (!registry.Open(HKEY_LOCAL_MACHINE, key) || !registry.GetDword("DriverVersion", &version)) {
        logStep(what + ": no version recorded: older");
        older_ = true;
        return;
    }
    const bool behind = version < static_cast<DWORD>(mediumVersion);
    logStep(what + ": version " + std::to_string(version) + ", the medium's " + std::to_string(mediumVersion) +
            (behind ? ": older" : ""));
    older_ = older_ || behind;
}

// What the printers found use of the medium's: the port monitor of their
// port's kind, the USB language monitor, the print processor.
void Check::compareComponents() {
    config::PortMonitorSet monitors;
    config_.buildPortMonitors(targetOs_, &monitors);
    const int serialVersion = monitors.serialVersion, usbVersion = monitors.usbVersion;
    config::LanguageMonitorDescriptor language;
    config_.buildLanguageMonitor(targetOs_, &language, config::kUsb);
    const int languageVersion = language.version;
    bool serial = false, usb = false;
    std::vector<std::string> processors;
    for (const PrinterRecord& printer : printers_) {
        serial = serial || contains(printer.port, "COM");
        usb = usb || contains(printer.port, "USB_");
        if (!printer.processor.empty() && !isWindowsOwnComponent(printer.processor) &&
            std::find(processors.begin(), processors.end(), printer.processor) == processors.end())
            processors.push_back(printer.processor);
    }
    const struct {
        bool used;
        const ModelParts::Component& monitor;
        int version;
    } used[] = {{serial && targetOs_ != 0, parts_.serialMonitor, serialVersion},
                {usb, parts_.usbMonitor, usbVersion},
                {usb, parts_.languageMonitor, languageVersion}};
    for (const auto& m : used)
        if (m.used && !m.monitor.name.empty() && !isWindowsOwnComponent(m.monitor.name))
            compareComponent("monitor " + m.monitor.name, monitorKey(m.monitor.name), m.version);
    for (const std::string& processor : processors)
        compareComponent("print processor " + processor, processorKey(targetOs_, processor),
                         config_.processorVersion());
}

}  // namespace

InstallationState checkInstallation(config::DriverConfig& config, const ModelParts& parts, const std::string& port,
                                    int targetOs) {
    return Check(config, parts, port, targetOs).run();
}

}  // namespace install
