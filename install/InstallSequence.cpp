// The install sequence: monitors and processor brought up to date, driver
// files copied, language monitor, driver and printer registered, default
// printer and serial settings set. It stops at the first failure found at
// its check points and rolls nothing back.
#include <cstring>
#include <vector>

#include "config/TextTable.h"
#include "install/AdditionalDriver.h"
#include "install/ComponentInstallers.h"
#include "install/DefaultPrinterCheck.h"
#include "install/DriverUpdate.h"
#include "install/FileStaging.h"
#include "install/InstallLog.h"
#include "install/InstallJob.h"
#include "install/RegistryKey.h"
#include "install/SerialSettings.h"
#include "install/SpoolerRegistration.h"
#include "install/SpoolerService.h"
#include "install/UsbPortRegistry.h"
#include "os/Os.h"
#include "os/World.h"

namespace install {
namespace {

std::string message(const char* key) { return app::MessageTexts().GetText(key); }

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

bool isNoneOrEmpty(const std::string& name) { return name.empty() || name[0] == '0'; }

// How long the Spooler is given after its start, by target system.
DWORD waitAfterStart(int targetOs) {
    if (targetOs == 1 || targetOs == 2) return 1000;
    if (targetOs == 3 || targetOs == 4) return 2500;
    return 0;
}

class Sequence {
public:
    Sequence(InstallJob& job, std::string& text) : job_(job), s_(job.selection), text_(text) {}

    // True when the installation succeeded.
    bool run();

private:
    // A check point: a step that failed has left its text.
    bool failed() const { return !text_.empty(); }
    bool step(const std::string& what, bool done);
    void say(const char* key) { text_ = message(key); }
    int copy(std::string& name, int target, bool prefixed = false) {
        return copyDriverFile(name, target, s_.targetOs, prefixed, text_);
    }

    bool namesStayInTheirFolders();
    bool replacesNoWindowsFile();
    bool updateNtFamily();
    bool update98();
    bool replaceMonitorNt(MONITOR_INFO_2A& monitor, std::string uiDll, int version, bool usb);
    bool replaceProcessorNt(const std::string& processorDirectory);
    bool replaceIn98(const std::string& key, std::string& file, int target, int version);
    bool restartSpooler();
    bool copyDriverFiles();
    bool addThePrinter();
    bool registerDriver(const std::string& driverName, bool registered);
    void logOlderLeft(int replaced);
    bool replaceLanguageMonitor();
    void writeSerialSettings();
    void makeDefaultPrinter();

    InstallJob& job_;
    InstallSelection& s_;
    std::string& text_;
    int processorVersion_ = 0;
};

bool Sequence::run() {
    job_.statusFlags = 0;
    if (!step("file names of the medium checked", namesStayInTheirFolders() && replacesNoWindowsFile()))
        return false;
    int monitors = installPortMonitors(job_.config, s_.targetOs, s_.portName, text_);
    if (!step("port monitors", monitors != kMonitorInstallFailed)) return false;
    job_.statusFlags = monitors;
    const std::string processorName = job_.printer.pPrintProcessor ? job_.printer.pPrintProcessor : "";
    int processor = installPrintProcessor(s_.targetOs, processorName, job_.files.processor, text_);
    if (!step("print processor " + processorName, processor != kProcessorInstallFailed)) return false;
    job_.statusFlags |= processor;
    processorVersion_ = job_.config.processorVersion();
    if (job_.statusFlags != 0 &&
        !step("older components replaced", s_.targetOs == 0 ? update98() : updateNtFamily()))
        return false;
    if (s_.portKind == config::kUsb && !step("spooler ports enumerated", checkPortEnumeration(text_))) return false;
    // Never back: a driver whose installed programs are newer than the
    // medium's stays whole, with the version-3 folder's files beside it.
    const std::string driverName = job_.driver.pName ? job_.driver.pName : "";
    const InstalledDriverStanding installed = installedDriverStanding(job_.driver);
    if (installed.newer) {
        logStep("printer driver " + driverName + " kept: " + installed.why +
                "; none of its files nor of the version-3 folder's are copied");
        if (!step("language monitor", replaceLanguageMonitor())) return false;
    } else if (!registerDriver(driverName, installed.registered)) {
        return false;
    }
    if (job_.keepsPrinter) {
        s_.modelName = std::string(job_.printer.pPrinterName).substr(0, 199);
        logStep("printer " + s_.modelName + " on " + s_.portName + " kept");
    } else if (!addThePrinter()) {
        return false;
    }
    if (s_.modelName.empty()) return false;
    if (s_.defaultPrinter) makeDefaultPrinter();
    if (s_.portKind == config::kSerial) {
        writeSerialSettings();
        logStep("serial settings written");
    }
    if (s_.targetOs != 0)
        say(s_.portKind == config::kUsb ? "IDS_INF_USBRESTART" : "IDS_INF_NTRESTART");
    return true;
}

// Every file name the medium gives this installation names a file of the
// folder it is copied from and to; one that reaches elsewhere is refused
// before anything is written, with the copy's text.
bool Sequence::namesStayInTheirFolders() {
    const config::DriverFileList& f = job_.files;
    std::vector<std::string> names = {f.driver,     f.data,      f.config,         f.help,
                                      f.processor,  f.dataDll,   f.pluginDll,      f.pluginSettings,
                                      f.uiPlugin,   f.fontFile,  f.usbIdentityFile};
    const DRIVER_INFO_3A& driver = job_.driver;
    for (const char* file : {driver.pDriverPath, driver.pDataFile, driver.pConfigFile, driver.pHelpFile})
        if (file) names.push_back(file);
    for (const char* file = driver.pDependentFiles; file && *file; file += std::strlen(file) + 1)
        names.push_back(file);
    if (job_.languageMonitor.pDLLName) names.push_back(job_.languageMonitor.pDLLName);
    config::PortMonitorSet monitors;
    job_.config.buildPortMonitors(s_.targetOs, &monitors);
    for (const char* file : {monitors.serial.pDLLName, monitors.usb.pDLLName})
        if (file) names.push_back(file);
    names.push_back(monitors.serialUiDll);
    names.push_back(monitors.usbUiDll);
    for (const std::string& name : names)
        if (!isNoneOrEmpty(name) && !mediumNameAccepted(name, text_)) return false;
    return true;
}

// The files the installation copies into the folders that hold Windows' own
// (the system folder, the print processor folder, the version-3 folder):
// none may be one of Windows' own, which the copy would replace. A monitor
// or processor that is Windows' own is never copied, whatever it names.
bool Sequence::replacesNoWindowsFile() {
    std::vector<std::string> names = {job_.files.fontFile, job_.files.usbIdentityFile};
    auto addComponent = [&names](const char* component, const char* file, const std::string& other) {
        if (component == nullptr || isWindowsOwnComponent(component)) return;
        if (file) names.push_back(file);
        names.push_back(other);
    };
    config::PortMonitorSet monitors;
    job_.config.buildPortMonitors(s_.targetOs, &monitors);
    addComponent(monitors.serial.pName, monitors.serial.pDLLName, monitors.serialUiDll);
    addComponent(monitors.usb.pName, monitors.usb.pDLLName, monitors.usbUiDll);
    addComponent(job_.languageMonitor.pName, job_.languageMonitor.pDLLName, "");
    addComponent(job_.printer.pPrintProcessor, nullptr, job_.files.processor);
    for (const std::string& name : names) {
        if (isNoneOrEmpty(name) || !isWindowsOwnFile(name)) continue;
        text_ = message("IDS_ERR_COPYFIEL") + name + ": the medium names one of Windows' own files, which this "
                                                     "installation never replaces";
        return false;
    }
    return true;
}

// Logs a step of the sequence as done, or as failed with the text it left
// and the system's error code.
bool Sequence::step(const std::string& what, bool done) {
    // A thread whose redirection stays off goes no further.
    if (done && os::redirectionLeftOff()) {
        done = false;
        if (text_.empty()) text_ = "redirection of the system directory could not be turned back on";
    }
    if (done)
        logStep(what);
    else
        logFailure(what, text_, os::sys().GetLastError());
    return done;
}

// On the NT family the Spooler holds the monitor and processor files: it is
// stopped around their replacement. Only the first older component is
// replaced in one installation. Whatever happens to the replacement, the
// Spooler is started again: a machine must never be left without printing.
// When the replacement failed, its text is the one the user is told.
bool Sequence::updateNtFamily() {
    std::string processorDirectory;
    if (job_.statusFlags & kProcessorOlder) {
        char buffer[256] = {};
        DWORD needed = 0;
        if (!os::sys().GetPrintProcessorDirectoryA(nullptr, os::spoolerEnvironment(), 1,
                                                   reinterpret_cast<BYTE*>(buffer), sizeof buffer,
                                                   &needed)) {
            say("IDS_ERR_GETPRODIR");
            return false;
        }
        buffer[sizeof buffer - 1] = '\0';
        processorDirectory = buffer;
    }
    StopSpooler();
    os::sys().Sleep(500);
    config::PortMonitorSet monitors;
    job_.config.buildPortMonitors(s_.targetOs, &monitors);
    bool replaced = true;
    if (job_.statusFlags & kSerialMonitorOlder) {
        logOlderLeft(kSerialMonitorOlder);
        replaced = replaceMonitorNt(monitors.serial, monitors.serialUiDll, monitors.serialVersion, false);
    } else if (job_.statusFlags & kUsbMonitorOlder) {
        logOlderLeft(kUsbMonitorOlder);
        replaced = replaceMonitorNt(monitors.usb, monitors.usbUiDll, monitors.usbVersion, true);
    } else if (job_.statusFlags & kProcessorOlder) {
        replaced = replaceProcessorNt(processorDirectory);
    }
    if (replaced) return restartSpooler();
    const std::string failure = text_;
    logStep(restartSpooler() ? "Spooler started again" : "Spooler could not be started again");
    text_ = failure;
    return false;
}

// A DLL the stopped spooler still has open is written as "n" + name and the
// monitor's "Driver" value names that copy, once it is there: a registry
// naming a file that was never written would leave the spooler without its
// monitor, and a version never installed would keep it from being replaced.
bool Sequence::replaceMonitorNt(MONITOR_INFO_2A& monitor, std::string uiDll, int version, bool usb) {
    std::string dll = monitor.pDLLName ? monitor.pDLLName : "";
    RegistryKey key;
    if (inUse(copy(dll, kSystemDirectory))) {
        int prefixed = copy(dll, kSystemDirectory, true);
        if (prefixed == kCopyFailed) return false;
        if (prefixed == kCopied && key.Open(HKEY_LOCAL_MACHINE, monitorKey(monitor.pName))) {
            key.SetString("Driver", "n" + dll);
            key.SetDword("DriverVersion", static_cast<DWORD>(version));
        }
    } else {
        if (failed()) return false;
        if (key.Open(HKEY_LOCAL_MACHINE, monitorKey(monitor.pName))) {
            if (usb) key.SetString("Driver", dll);
            key.SetDword("DriverVersion", static_cast<DWORD>(version));
        }
    }
    if (!uiDll.empty()) {
        // The serial monitor's interface DLL reports its failure; the USB one's is not reported.
        std::string discarded;
        copyDriverFile(uiDll, kSystemDirectory, s_.targetOs, false, usb ? discarded : text_);
    }
    return true;
}

bool Sequence::replaceProcessorNt(const std::string& processorDirectory) {
    const std::string& file = job_.files.processor;
    std::string source;
    if (!mediumSource(file, os::machineArchitecture(), &source)) {
        say("IDS_ERR_GETCURDIR");
        return false;
    }
    const std::string target = processorDirectory + "\\" + file;
    if (!os::sys().CopyFileA(source.c_str(), target.c_str(), FALSE)) {
        text_ = message("IDS_ERR_COPYFIEL") + source;
        return false;
    }
    RegistryKey key;
    const std::string name = job_.printer.pPrintProcessor ? job_.printer.pPrintProcessor : "";
    if (key.Open(HKEY_LOCAL_MACHINE, processorKey(s_.targetOs, name)))
        key.SetDword("DriverVersion", static_cast<DWORD>(processorVersion_));
    return true;
}

// Starts the Spooler again and waits for it. A spooler found stopped is
// started once more. When it then runs, the installation goes on without the
// texts its first start left: a recovered spooler is no failure. When it
// still does not run, the installation ends here with the spooler's text;
// going on, the next step would only fail for want of a driver directory.
bool Sequence::restartSpooler() {
    const std::string before = text_;
    StartSpooler(text_);
    if (DWORD wait = waitAfterStart(s_.targetOs)) os::sys().Sleep(wait);
    DWORD state = WaitSpoolerRunning(text_);
    if (state == SERVICE_RUNNING) return true;
    if (state != SERVICE_STOPPED && state != SERVICE_STOP_PENDING) return false;
    StartSpooler(text_);
    os::sys().Sleep(2500);
    std::string again;
    if (WaitSpoolerRunning(again) != SERVICE_RUNNING) return false;
    text_ = before;
    return true;
}

// Windows 98/Me has no Spooler service: files in use can only be written
// under the prefixed name, or after a restart.
bool Sequence::update98() {
    config::PortMonitorSet monitors;
    job_.config.buildPortMonitors(s_.targetOs, &monitors);
    if (job_.statusFlags & kUsbMonitorOlder) {
        logOlderLeft(kUsbMonitorOlder);
        std::string dll = monitors.usb.pDLLName ? monitors.usb.pDLLName : "";
        return replaceIn98(monitorKey(monitors.usb.pName), dll, kSystemDirectory, monitors.usbVersion);
    }
    if (job_.statusFlags & kProcessorOlder) {
        std::string file = job_.files.processor;
        const std::string name = job_.printer.pPrintProcessor ? job_.printer.pPrintProcessor : "";
        return replaceIn98(processorKey(s_.targetOs, name), file, kProcessorDirectory, processorVersion_);
    }
    return true;
}

// A copy that failed is not recorded: the registry keeps the installed
// file and its version, so that the next installation replaces it.
bool Sequence::replaceIn98(const std::string& keyPath, std::string& file, int target, int version) {
    RegistryKey key;
    OpenOrCreate(&key, HKEY_LOCAL_MACHINE, keyPath);
    std::string registered;
    int result = copy(file, target);
    if (inUse(result)) {
        int prefixed = copy(file, target, true);
        if (inUse(prefixed)) {
            say("IDS_ERR_NEEDRESTART");
            return false;
        }
        if (prefixed == kCopyFailed) return false;
        registered = "n" + file;
    } else {
        if (result == kCopyFailed && failed()) return false;
        registered = file;
    }
    key.SetString("Driver", registered);
    key.SetDword("DriverVersion", static_cast<DWORD>(version));
    return true;
}

bool Sequence::copyDriverFiles() {
    config::DriverFileList& f = job_.files;
    if (f.config.empty() || f.data.empty() || f.driver.empty() || f.help.empty()) {
        say("IDS_ERR_LOSTDRIVERFILE");
        return false;
    }
    for (std::string* file : {&f.config, &f.data, &f.driver, &f.help}) {
        copy(*file, kDriverDirectory);
        if (failed()) return false;
    }
    struct Optional {
        std::string* file;
        int target;
    } optional[] = {{&f.dataDll, kDriverDirectory},  {&f.uiPlugin, kDriverDirectory},
                    {&f.pluginDll, kDriverDirectory}, {&f.pluginSettings, kDriverDirectory},
                    {&f.fontFile, kVersion3Directory}, {&f.usbIdentityFile, kVersion3Directory}};
    for (const Optional& o : optional) {
        if (isNoneOrEmpty(*o.file)) continue;
        copy(*o.file, o.target);
        if (failed()) return false;
    }
    // A failure of the Unidrv staging ends the install at the next check
    // point, if one comes.
    bool needsUnidrv = job_.config.needs2kDdkFiles(s_.modelName, s_.targetOs, s_.flavour);
    stageUnidrvFiles(s_.targetOs, needsUnidrv, text_);
    if (s_.targetOs == 0 && (contains(s_.modelName, "KPX-C520") || contains(s_.modelName, "KPX-A510"))) {
        std::string colour = "DMCOLOR.DLL";
        copy(colour, kDriverDirectory);
        if (failed()) return false;
    }
    if (needsUnidrv && f.dataDll.empty()) {
        say("IDS_ERR_LOSTDRIVERFILE");
        return false;
    }
    return true;
}

bool Sequence::replaceLanguageMonitor() {
    const char* dll = job_.languageMonitor.pDLLName;
    if (dll == nullptr || isNoneOrEmpty(dll)) return true;
    int result = installLanguageMonitor(job_.config, s_.targetOs, s_.portName, text_);
    if (result == kMonitorInstallFailed) return false;
    job_.statusFlags = result;
    config::LanguageMonitorDescriptor monitor;
    job_.config.buildLanguageMonitor(s_.targetOs, &monitor, config::kUsb);
    if (!(job_.statusFlags & kLanguageMonitorOlder)) return true;
    // The spooler keeps running: a DLL it holds is replaced under the
    // prefixed name, which the registry names only once it is written.
    std::string file = monitor.info.pDLLName ? monitor.info.pDLLName : "";
    std::string registered = file;
    if (inUse(copy(file, kSystemDirectory))) {
        int prefixed = copy(file, kSystemDirectory, true);
        if (prefixed == kCopyFailed) return false;
        if (prefixed != kCopied) return true;
        registered = "n" + file;
    } else {
        if (failed()) return false;
        registered = file;
    }
    RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, monitorKey(monitor.info.pName))) {
        key.SetString("Driver", registered);
        key.SetDword("DriverVersion", static_cast<DWORD>(monitor.version));
    }
    return true;
}

bool Sequence::registerDriver(const std::string& driverName, bool registered) {
    if (!step("driver files copied", copyDriverFiles())) return false;
    if (!step("language monitor", replaceLanguageMonitor())) return false;
    const std::string how = registered ? " registered again, all its files copied" : " registered";
    if (!step("printer driver " + driverName + how, registerPrinterDriver(&job_.driver, registered, text_)))
        return false;
    if (os::sixtyFourBit(os::machineArchitecture()))
        addX86AdditionalDriver(job_.driver, job_.files, s_.targetOs,
                               job_.config.needs2kDdkFiles(s_.modelName, s_.targetOs, s_.flavour));
    return true;
}

bool Sequence::addThePrinter() {
    if (s_.portKind == config::kUsb) {
        RegistryKey ports;
        if (ports.Open(HKEY_LOCAL_MACHINE, kPrinterPortKey, portRecordView())) ports.SetDword(s_.portName, 0);
    }
    bool added = addPrinter(&job_.printer, 2, s_.portKind == config::kUsb, text_, job_.numberedName);
    s_.modelName = std::string(job_.printer.pPrinterName ? job_.printer.pPrinterName : "").substr(0, 199);
    return step("printer " + s_.modelName + " on " + s_.portName + " added", added);
}

// One older component is replaced per installation; the others stay older
// until a later one replaces them, and the log says which they are.
void Sequence::logOlderLeft(int replaced) {
    const struct {
        int flag;
        const char* what;
    } components[] = {{kSerialMonitorOlder, "the serial port monitor"},
                      {kUsbMonitorOlder, "the USB port monitor"},
                      {kProcessorOlder, "the print processor"}};
    std::string left;
    for (const auto& component : components)
        if ((job_.statusFlags & component.flag) && component.flag != replaced)
            left += (left.empty() ? "" : ", ") + std::string(component.what);
    if (!left.empty()) logStep("older too, left for a later installation to replace: " + left);
}

// Windows sets the default printer of the account that asks. The local
// system account's (a deployment's) is its own and no user's, which the log
// says instead of whether it held.
void Sequence::makeDefaultPrinter() {
    const bool made = setDefaultPrinter(s_.modelName.c_str());
    if (made && s_.systemAccount) {
        logStep("made the default printer of the local system account, which this installation runs as: no "
                "user's default printer was set");
        return;
    }
    logStep(made ? "made the default printer" : "could not be made the default printer");
    if (made && windowsManagesDefaults()) logStep(defaultPrinterOutcome(s_.modelName));
}

void Sequence::writeSerialSettings() {
    size_t com = s_.portName.find("COM");
    SerialSettings settings;
    settings.port = s_.portName.substr(com);
    int portNumber = com + 3 < s_.portName.size() ? s_.portName[com + 3] - '0' : -'0';
    if (s_.parity >= 'A' && s_.parity <= 'Z') s_.parity = static_cast<char>(s_.parity - 'A' + 'a');
    settings.baudRate = s_.baudRate;
    settings.dataBits = s_.dataBits;
    settings.stopBits = s_.stopBits;
    settings.parity = s_.parity;
    settings.flowControl = s_.flowControl;
    if (s_.targetOs == 0)
        writeSerialSettings98(portNumber, settings);
    else
        writeSerialSettingsNt(settings);
}

}  // namespace

std::string& InstallMessage() {
    static std::string text;
    return text;
}

unsigned InstallWorker(void* params) {
    auto* worker = static_cast<WorkerParams*>(params);
    bool succeeded = Sequence(*worker->job, InstallMessage()).run() && !os::redirectionLeftOff();
    // What the driver cache gave is in the driver directory now, or not needed.
    removeDriverCacheFolder();
    worker->installStatus->store(succeeded ? kInstallSucceeded : kInstallFailed);
    return 0;
}

}  // namespace install
