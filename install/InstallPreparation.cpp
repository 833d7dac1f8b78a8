#include "install/InstallPreparation.h"

#include <vector>

#include "config/MessageBoxes.h"
#include "config/TextTable.h"
#include "config/ConfigNames.h"
#include "config/ProfileValues.h"
#include "config/ProgramFolder.h"
#include "config/Wordings.h"
#include "install/ExistingPrinter.h"
#include "install/InstallLog.h"
#include "install/MediumArchitectureCheck.h"
#include "install/UsbClassDriver.h"
#include "install/UsbIdentity.h"
#include "install/UsbPortRegistry.h"
#include "os/Os.h"
#include "os/RunningSystem.h"
#include "os/World.h"

namespace install {
namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string message(const char* key) { return app::MessageTexts().GetText(key); }

std::string commaList(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
    return list;
}

// A directory read into a buffer of `size` characters, as the program's
// paths are; empty when it does not fit.
std::string currentDirectory() {
    char buffer[260] = {};
    DWORD length = os::sys().GetCurrentDirectoryA(sizeof buffer, buffer);
    return length < sizeof buffer ? std::string(buffer, length) : std::string();
}


class Preparation {
public:
    Preparation(InstallJob& job, const PreparationContext& context)
        : job_(job), s_(job.selection), context_(context) {}

    bool run();

private:
    void wizardBox(const std::string& text) { app::wizardMessageBox(context_.owner, text); }
    bool targetSupported();
    bool usbClassDriverOnMedium();
    bool mediumHoldsTheMachinesBuilds();
    bool bringUsbClassDriverUpToDate();
    void assembleRecords();
    bool reconcileUsbIdentity();
    bool reconcileAdvanced(int deviceValue);
    bool reconcileTypical(int deviceValue);
    bool renumberUsbPrinter(int carried, int wanted);
    std::string renumberingUnavailable(int carried, int wanted) const;
    void nameUsbPrinter();

    InstallJob& job_;
    InstallSelection& s_;
    const PreparationContext& context_;
};

bool Preparation::run() {
    job_.refusedAsNotSupported = false;
    logStep("install " + s_.modelName + " on " + s_.portName + " for target system " +
            std::to_string(s_.targetOs) + (s_.installMode == 0 ? ", advanced mode" : ", typical mode") +
            (s_.flavour == config::kGdi ? ", raster printing" : ""));
    if (s_.modelName.empty()) {
        wizardBox(message("IDS_ERR_SELPRINTER"));
        return false;
    }
    if (!targetSupported()) return false;
    s_.portKind = portKindOf(s_.portName);
    if (s_.portKind < 0) {
        wizardBox(message("IDS_ERR_NOSUPPORTINTERFACE"));
        return false;
    }
    if (s_.portKind == config::kUsb && !usbClassDriverOnMedium()) return false;
    assembleRecords();
    if (!mediumHoldsTheMachinesBuilds()) return false;
    if (s_.portKind == config::kUsb && context_.runningOs != 0 && context_.runningOs != 1 &&
        CompareUsbDriverVersions() != 0 && !bringUsbClassDriverUpToDate())
        return false;
    if (s_.portKind == config::kUsb) {
        if (!reconcileUsbIdentity()) return false;
        nameUsbPrinter();
    } else {
        job_.setPrinterName(std::string(job_.printer.pPrinterName) +
                            (s_.portKind == config::kSerial ? "(S)" : "(P)"));
    }
    // The same unattended command run again keeps what the first run made;
    // a person who installs again chose to, and the wizard adds a printer.
    job_.keepsPrinter = context_.quiet && printerIsTheModelsInstallation(job_);
    if (s_.portKind == config::kUsb && !job_.keepsPrinter) {
        RegisterUsbPort(job_.printer.pPortName);
        logStep(std::string("USB port ") + job_.printer.pPortName + " recorded");
    }
    if (s_.targetOs == 1 && s_.portKind == config::kUsb) {
        wizardBox(message("IDS_ERR_NOSUPPORTUSB"));
        return false;
    }
    return true;
}

// On 64-bit Windows every program file the installation copies must be the
// medium's 64-bit build; 32-bit Windows takes the medium's W32 folder as it
// always has.
bool Preparation::mediumHoldsTheMachinesBuilds() {
    const os::Architecture machine = os::machineArchitecture();
    if (!os::sixtyFourBit(machine)) return true;
    const std::vector<std::string> files = mediumProgramFiles(job_);
    const std::string refusal = mediumArchitectureRefusal(s_.modelName, files, machine);
    if (refusal.empty()) {
        logStep(std::string("the medium's ") + os::architectureName(machine) + " program files checked: " +
                (files.empty() ? "none copied" : commaList(files)));
        return true;
    }
    job_.refusedAsNotSupported = true;
    wizardBox(refusal);
    return false;
}

// An installer that cannot be started stops only an installation that has
// no class driver at all: an older one drives the printer, so the failure is
// said and the installation goes on with it. An installer that was started
// and has not ended (a quiet run's limit) may still be changing the driver:
// that stops.
bool Preparation::bringUsbClassDriverUpToDate() {
    app::Notice failure;
    switch (updateUsbClassDriver(context_, &failure)) {
        case UsbDriverUpdate::Done:
            logStep("USB class driver installed by " + usbDriverFolder() + "Install.exe: " +
                    FileVersionText(installedUsbDriverPath()));
            return true;
        case UsbDriverUpdate::NotStarted:
            logFailure("USB class driver", failure.english(), os::sys().GetLastError());
            if (!usbClassDriverInstalled()) break;
            logStep("the installed USB class driver is kept: " + FileVersionText(installedUsbDriverPath()));
            wizardBox(app::shownText(app::kUsbDriverKept, {failure.shown()}));
            return true;
        case UsbDriverUpdate::NotEnded:
            logFailure("USB class driver", failure.english(), os::sys().GetLastError());
            break;
    }
    wizardBox(failure.shown());
    return false;
}

// 64-bit Windows loads only the signed 64-bit class driver, and only a 64-bit
// installer can put it in place: a USB printer there needs the medium's
// USBDrv\X64 whole, whether or not its driver is due, and is refused before
// anything is changed without it.
bool Preparation::usbClassDriverOnMedium() {
    if (os::machineArchitecture() != os::Architecture::X64) return true;
    const std::string medium = currentDirectory();
    const std::vector<std::string> missing = missingX64UsbDriverFiles(medium);
    std::string fault = missing.empty() ? std::string() : app::shownText(app::kFilesMissing, {commaList(missing)});
    // A 32-bit installer there would start, and fail only inside (SetupAPI
    // answers ERROR_IN_WOW64) after the installation had begun.
    if (fault.empty()) {
        const char* installer = "USBDrv\\X64\\Install.exe";
        fault = describeMismatch(checkProgramImage(medium + "\\" + installer, installer, IMAGE_FILE_MACHINE_AMD64));
    }
    if (fault.empty()) return true;
    job_.refusedAsNotSupported = true;
    wizardBox(app::shownText(app::kUsbDriver64Incomplete, {fault}));
    return false;
}

// Windows Vista is checked when the user leaves the OS page, not here.
bool Preparation::targetSupported() {
    if (s_.targetOs == 5) return true;
    config::TargetRequirement requirement = config::targetRequirement(s_.targetOs);
    if (requirement.supportKey == nullptr) return true;
    if (config::readInteger(context_.categoryPath, config::portSection(s_.modelName),
                            requirement.supportKey, config::kFileRoom) != 0)
        return true;
    app::applicationMessageBox(message(requirement.refusal));
    return false;
}

void Preparation::assembleRecords() {
    config::DriverConfig& config = job_.config;
    job_.files = config::DriverFileList();
    job_.driver = DRIVER_INFO_3A();
    job_.printer = PRINTER_INFO_2A();
    job_.languageMonitor = MONITOR_INFO_2A();
    config.buildFileList(s_.modelName, s_.targetOs, &job_.files, s_.flavour);
    config.buildDriverDescriptor(s_.modelName, s_.targetOs, &job_.driver, s_.flavour, s_.portKind);
    config.buildPrinterDescriptor(s_.modelName, s_.targetOs, &job_.printer, s_.flavour, s_.portKind);
    job_.setPrinterName(job_.printer.pPrinterName ? job_.printer.pPrinterName : "");
    job_.setPrinterPort(s_.portName);
    config::LanguageMonitorDescriptor monitor;
    config.buildLanguageMonitor(s_.targetOs, &monitor, s_.portKind);
    job_.keepLanguageMonitor(monitor.info);
}

bool Preparation::reconcileUsbIdentity() {
    job_.driver.pMonitorName = job_.languageMonitor.pName;
    int deviceValue = ReadUsbDeviceId();
    logStep(deviceValue < 0 ? "USB printer: " + std::string(deviceValue == kNoUsbPrinter ? "none" : "several")
                            : "USB printer: number " + std::to_string(usbPortNumber(deviceValue)));
    if (deviceValue == kSeveralUsbPrinters) return false;
    return s_.installMode == 0 ? reconcileAdvanced(deviceValue) : reconcileTypical(deviceValue);
}

// Advanced mode: the printer must be there and carry the chosen port's number.
bool Preparation::reconcileAdvanced(int deviceValue) {
    if (deviceValue == kNoUsbPrinter) {
        wizardBox(message("IDS_ERR_NOUSBDEVICE"));
        return false;
    }
    int number = usbPortNumber(deviceValue);
    if (contains(s_.portName, "_" + std::to_string(number))) return true;
    int portNumber = 0;
    for (int candidate = 4; candidate >= 1 && portNumber == 0; --candidate)
        if (contains(s_.portName, "_" + std::to_string(candidate))) portNumber = candidate;
    if (portNumber == number) return true;
    return renumberUsbPrinter(number, portNumber);
}

// Typical mode: one USB port, number 1; no printer attached is no obstacle.
bool Preparation::reconcileTypical(int deviceValue) {
    if (deviceValue == kNoUsbPrinter || usbPortNumber(deviceValue) == 1) return true;
    return renumberUsbPrinter(usbPortNumber(deviceValue), 1);
}

// The printer is sent only bytes of its own command set. Without the
// medium's signature the change cannot be made, so it is not offered: the
// user is told what to do instead, and nothing is sent.
bool Preparation::renumberUsbPrinter(int carried, int wanted) {
    UsbCommandSignature signature;
    if (!readUsbCommandSignature(&signature)) {
        logStep("the medium gives no USB command signature: the printer cannot be given a new number");
        wizardBox(renumberingUnavailable(carried, wanted));
        return false;
    }
    if (app::applicationMessageBox(message("IDS_INF_CHANGEID"), MB_YESNO) != IDYES) return false;
    if (WriteUsbDeviceId(static_cast<unsigned char>(wanted), signature)) {
        logStep("USB printer given number " + std::to_string(wanted));
        return true;
    }
    if (s_.installMode == 0) wizardBox("Failed to set Printer ID!");
    return false;
}

// What to do instead of a number change: install the printer on the port
// its number names, in advanced mode, where the model has that mode and the
// port lists such a number (1 to 4); else have the printer carry the number
// the port needs.
std::string Preparation::renumberingUnavailable(int carried, int wanted) const {
    const std::string number = std::to_string(carried);
    const std::string itsPort = "USB_" + s_.modelName + "_" + number;
    const bool advanced = s_.installMode == 0;
    const bool advancedOffered =
        advanced || config::readInteger(context_.categoryPath, config::portSection(s_.modelName), "AdvancedSetup",
                                        config::kFileRoom) != 0;
    if (carried <= 4 && advancedOffered) {
        if (advanced) return app::shownText(app::kRenumberOnOwnPort, {number, itsPort, s_.portName});
        return app::shownText(app::kRenumberInAdvancedMode, {number, itsPort});
    }
    return app::shownText(app::kRenumberOtherPrinter, {number, s_.portName, std::to_string(wanted)});
}

void Preparation::nameUsbPrinter() {
    std::string name = job_.printer.pPrinterName;
    const char* const numbers[] = {"1", "2", "3", "4"};
    for (const char* number : numbers)
        if (contains(s_.portName, std::string("_") + number)) name += std::string("(U) ") + number;
    job_.setPrinterName(name);
    // Some models' ports are known to the port monitor by a fixed name.
    job_.setPrinterPort(spoolerPortName(s_.portName));
}

}  // namespace

int portKindOf(const std::string& portName) {
    if (contains(portName, "USB_")) return config::kUsb;
    if (contains(portName, "COM")) return config::kSerial;
    if (contains(portName, "LPT")) return config::kParallel;
    return -1;
}

namespace {

app::Notice installerFailure(const std::string& installer, DWORD error) {
    return app::Notice(app::kUsbInstallerNotStarted, {installer, std::to_string(error)});
}

// The wizard: started as the shell starts a program, and waited for while its
// window, titled "CaptionName", is there.
UsbDriverUpdate runInstallerWatchingItsWindow(const std::string& installer, app::Notice* failure) {
    HINSTANCE started = os::sys().ShellExecuteA(nullptr, "open", installer.c_str(), "2", nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<uintptr_t>(started) <= 32) {
        *failure = installerFailure(installer, static_cast<DWORD>(reinterpret_cast<uintptr_t>(started)));
        return UsbDriverUpdate::NotStarted;
    }
    os::sys().Sleep(500);
    // Copied out: the next lookup of this thread reuses the text's buffer.
    const std::string caption = app::TextTable("Setup").GetText("CaptionName");
    // An empty title would match any untitled window and wait for ever.
    while (!caption.empty() && os::sys().FindWindowA(nullptr, caption.c_str()) != nullptr)
        os::sys().Sleep(1000);
    return UsbDriverUpdate::Done;
}

// A quiet run: nobody answers an installer that stops to ask, so its process
// is waited for, and no longer than the limit. The shell is told to show no
// box of its own either.
UsbDriverUpdate runInstallerWaitingForItsProcess(const std::string& installer, int seconds, app::Notice* failure) {
    SHELLEXECUTEINFOA run = {};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    run.lpVerb = "open";
    run.lpFile = installer.c_str();
    run.lpParameters = "2";
    run.nShow = SW_SHOWNORMAL;
    if (!os::sys().ShellExecuteExA(&run) || run.hProcess == nullptr) {
        *failure = installerFailure(installer, os::sys().GetLastError());
        return UsbDriverUpdate::NotStarted;
    }
    DWORD waited = os::sys().WaitForSingleObject(run.hProcess, static_cast<DWORD>(seconds) * 1000);
    os::sys().CloseHandle(run.hProcess);
    if (waited == WAIT_OBJECT_0) return UsbDriverUpdate::Done;
    *failure = app::Notice(app::kUsbInstallerNotEnded, {installer, std::to_string(seconds)});
    return UsbDriverUpdate::NotEnded;
}

}  // namespace

UsbDriverUpdate updateUsbClassDriver(const PreparationContext& context, app::Notice* failure) {
    const std::string driverFolder = config::programFolder() + "\\" + usbDriverFolder();
    // Copied from a disc, the files are read-only, and so would their copies be.
    std::vector<const char*> files = {"bulkusb.sys", "BULKUSB.INF"};
    if (os::machineArchitecture() == os::Architecture::X64) files.push_back("BULKUSB.CAT");
    for (const char* file : files)
        os::sys().SetFileAttributesA((driverFolder + file).c_str(), FILE_ATTRIBUTE_ARCHIVE);
    const std::string installer = currentDirectory() + "\\" + usbDriverFolder() + "Install.exe";
    UsbDriverUpdate result = context.quiet
                                 ? runInstallerWaitingForItsProcess(installer, context.installerSeconds, failure)
                                 : runInstallerWatchingItsWindow(installer, failure);
    if (result != UsbDriverUpdate::Done) return result;
    os::sys().Sleep(1000);
    os::sys().Sleep(2000);
    return result;
}

bool prepareInstallation(InstallJob& job, const PreparationContext& context) {
    return Preparation(job, context).run();
}

}  // namespace install
