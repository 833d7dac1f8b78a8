#include "app/QuietInstall.h"

#include <atomic>
#include <vector>

#include "app/AdminCheck.h"
#include "config/MessageBoxes.h"
#include "app/ProgramFolderCheck.h"
#include "config/Wordings.h"
#include "app/ProtectedPrint.h"
#include "app/QuietQuery.h"
#include "app/QuietRemoval.h"
#include "app/Startup.h"
#include "install/CompatibilityRecord.h"
#include "os/SystemDetection.h"
#include "config/TextTable.h"
#include "app/WizardChecks.h"
#include "config/AsciiCase.h"
#include "config/DriverConfig.h"
#include "install/InstallLog.h"
#include "install/InstallPreparation.h"
#include "install/SpoolerService.h"
#include "install/UsbIdentity.h"
#include "install/WorkerHandOff.h"
#include "os/Os.h"
#include "os/RunningSystem.h"
#include "pages/LicenseText.h"
#include "pages/PortPlan.h"

namespace app {
namespace {

// How the boxes the wizard would show are answered: the two questions by
// the command line, everything else by its first button; each is logged.
struct Answers {
    bool changeUsbId = false;
    bool restart = false;
    std::string lastText;
} answers;

std::string messageText(const char* key) { return MessageTexts().GetText(key); }

int answerBox(const std::string& text, UINT type) {
    install::logStep("said: " + text);
    answers.lastText = text;
    if (type != MB_YESNO) return IDOK;
    if (text == messageText("IDS_INF_CHANGEID")) return answers.changeUsbId ? IDYES : IDNO;
    if (text == messageText("IDS_INF_RESTART")) return answers.restart ? IDYES : IDNO;
    return IDNO;
}

// Where no thread of its own is at hand (the tests of the engine), the
// worker runs on the calling thread.
class InlineHost : public install::WorkerHost {
public:
    bool start(std::function<void()> work) override {
        work();
        return true;
    }
    void show() override {}
    void wait() override {}
};

// A system the detection knows: the 9x line (Windows 95 among them, which
// the wizard installs for as Windows 98/Me) or an NT version it names. The
// detection gives every other NT version target 0, whose rules are Windows
// 98/Me's: the wizard shows that to a person on its OS page; a quiet run,
// with nobody to see it, installs nothing.
bool systemKnown(const os::RunningSystem& system) {
    if (!system.readable) return false;
    if (system.platform == VER_PLATFORM_WIN32_WINDOWS) return true;
    return system.isNt() && targetOsOf(system) != kWindows98Me;
}

bool isBitmapReadable(const char* path) {
    HANDLE bitmap = os::sys().LoadImageA(nullptr, path, 0 /* IMAGE_BITMAP */, 0, 0, 0x10 /* LR_LOADFROMFILE */);
    if (bitmap == nullptr) return false;
    os::sys().DeleteObject(bitmap);
    return true;
}

class QuietInstall {
public:
    QuietInstall(const CommandLine& line, install::WorkerHost& host) : line_(line), host_(host) {}
    int run();

private:
    // Ends the installation with what the wizard would have shown.
    int end(int code, const std::string& text) { return endUnattended(code, text); }
    int startupChecks();
    int wizardChecks();
    int chooseModel();
    int choosePort();
    int install();

    const CommandLine& line_;
    install::WorkerHost& host_;
    install::InstallJob job_;
    install::InstallSelection& s_ = job_.selection;
    WizardChecks checks_;
    int runningOs_ = 0;
};

int QuietInstall::startupChecks() {
    if (int code = unattendedStartChecks()) return code;
    const std::string refusal = protectedPrintRefusal();
    return refusal.empty() ? 0 : end(kExitNotSupported, refusal);
}

// What the wizard's window checks before its first page is used, in its
// order: the agreement's text as the first page is made, then the side
// picture, then the administrator.
int QuietInstall::wizardChecks() {
    const bool agreement = readStartupSettings().loadLicense;
    if (agreement) {
        std::string license;
        if (pages::readLicenseText("License.txt", &license) == pages::LicenseRead::Unreadable)
            return end(kExitFailed, messageText("IDS_ERR_NOLICENSE"));
    }
    if (!isBitmapReadable("DRVCONFIG\\Left.bmp")) return end(kExitFailed, messageText("IDS_ERR_NOLEFT"));
    runningOs_ = detectTargetOs();
    if (administratorMissing(runningOs_)) return end(kExitFailed, messageText("IDS_ADMIN"));
    if (agreement) {
        if (!line_.acceptEula) return end(kExitFailed, "the licence agreement was not accepted: add /accepteula");
        install::logStep("licence agreement accepted");
    }
    return kExitInstalled;
}

// The printer page's lists, the mode page's rule and the OS page.
int QuietInstall::chooseModel() {
    if (!config::DriverConfig().findModel(line_.model, line_.category, &s_.category, &s_.modelName))
        return end(kExitNotSupported, "no model " + line_.model + " on this disc");
    s_.defaultPrinter = line_.defaultPrinter;
    s_.systemAccount = isLocalSystem();
    install::logStep("model " + s_.modelName + " of category " + std::to_string(s_.category));
    bool advancedAllowed = checks_.leavePrinterPage(s_.category, s_.modelName);
    if (line_.installMode == 0 && !advancedAllowed) return end(kExitNotSupported, messageText("IDS_TYPICAL_NOTES"));
    s_.installMode = line_.installMode;
    OsPageChoice choice = osPageChoice(os::runningSystem());
    if (choice.unknownPlatform) install::logStep("said: " + messageText("IDS_ERR_SYSTEM"));
    if (choice.vista) recordVistaCompatibility();
    s_.targetOs = choice.targetOs;
    install::logStep("target system " + std::to_string(s_.targetOs));
    WizardChecks::OsPageOutcome outcome = checks_.leaveOsPage(s_.targetOs);
    if (outcome.refusal) return end(kExitNotSupported, messageText(outcome.refusal));
    s_.baudRate = line_.baudRate ? line_.baudRate : outcome.baudRate;
    return kExitInstalled;
}

// The port page: the ports the wizard offers, the one it preselects, the
// raster option and the serial settings.
int QuietInstall::choosePort() {
    const bool advanced = s_.installMode == 0;
    int deviceValue = install::ReadUsbDeviceId();
    pages::PortPlan plan = pages::planPortList(pages::readPortKeys(s_.modelName, s_.category), s_.modelName,
                                               s_.targetOs, advanced, deviceValue);
    std::string port;
    if (config::equalIgnoringCase(line_.port, "auto")) {
        if (plan.selected >= 0) port = plan.ports[plan.selected];
    } else {
        for (const std::string& offered : plan.ports)
            if (config::equalIgnoringCase(offered, line_.port)) port = offered;
    }
    if (port.empty()) return end(kExitNotSupported, messageText("IDS_ERR_NOSUPPORTINTERFACE"));
    s_.portName = port;
    // The wizard ticks raster printing for parallel and USB ports; in
    // advanced mode the user may untick it (/noraster). Serial ports never
    // have it, and typical mode shows no choice.
    bool raster = pages::rasterByPortKind(port);
    if (advanced && line_.raster == 0) raster = false;
    if (!advanced && line_.raster == 0) install::logStep("/noraster counts in advanced mode only, as the wizard's choice does");
    s_.flavour = raster ? config::kGdi : config::kStd;
    s_.dataBits = line_.dataBits;
    s_.stopBits = line_.stopBits;
    s_.parity = line_.parity;
    s_.flowControl = line_.flowControl;
    return kExitInstalled;
}

int QuietInstall::install() {
    std::string setupPath, categoryPath;
    config::installPaths(s_.category, &setupPath, &categoryPath);
    job_.config.setCategory(s_.category);
    install::PreparationContext context;
    context.categoryPath = categoryPath;
    context.runningOs = runningOs_;
    context.quiet = true;
    context.installerSeconds = line_.usbInstallerSeconds;
    if (!install::prepareInstallation(job_, context)) {
        // The refusals of a system, a port or a medium without what this
        // machine needs stand for "not supported"; the rest (the USB
        // printer's identity, the USB driver installer) for a failed
        // installation.
        bool refused = job_.refusedAsNotSupported;
        for (const char* key : {"IDS_NOTSUPPORTNT", "IDS_NOTSUPPORT2003", "IDS_NOTSUPPORT2008", "IDS_NOTSUPPORTWin7",
                                "IDS_ERR_NOSUPPORTUSB", "IDS_ERR_NOSUPPORTINTERFACE"})
            refused = refused || answers.lastText == messageText(key);
        return end(refused ? kExitNotSupported : kExitFailed, answers.lastText);
    }
    std::atomic<int> status{install::kInstallRunning};
    install::handOffToWorker(job_, status, host_);
    const std::string outcome = install::InstallMessage();
    if (status.load() != install::kInstallSucceeded) return end(kExitFailed, outcome);
    install::logStep("said: " + (outcome.empty() ? messageText("IDS_INF_NTRESTART") : outcome));
    if (s_.targetOs != 0) return end(kExitInstalled, "installed as " + s_.modelName);
    // Windows 98/Me: the wizard offers a restart.
    std::string refusal;
    install::RestartWindows(refusal);
    if (!refusal.empty()) install::logStep("said: " + refusal);
    return end(kExitRestartNeeded, "installed as " + s_.modelName + "; Windows must be restarted");
}

int QuietInstall::run() {
    for (int (QuietInstall::*stage)() :
         {&QuietInstall::startupChecks, &QuietInstall::wizardChecks, &QuietInstall::chooseModel,
          &QuietInstall::choosePort})
        if (int code = (this->*stage)()) return code;
    return install();
}

}  // namespace

std::string quietInstallLog(const CommandLine& line) {
    if (!line.logFile.empty()) return line.logFile;
    // The system account's temporary folder is the Windows directory's, where
    // every user may create files: its log goes where only administrators
    // and the system write, as Windows' own set-up logs do.
    char folder[MAX_PATH + 1] = {};
    DWORD length = isLocalSystem() ? os::sys().GetWindowsDirectoryA(folder, sizeof folder)
                                   : os::sys().GetTempPathA(sizeof folder, folder);
    std::string path = length > 0 && length < sizeof folder ? std::string(folder, length) : std::string();
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path + "PrinterDriverSetup.log";
}

install::LogPlace logPlace(const CommandLine& line) {
    install::LogPlace place;
    place.path = quietInstallLog(line);
    CommandLine withoutLog = line;
    withoutLog.logFile.clear();
    place.fallback = quietInstallLog(withoutLog);
    if (line.logFile.empty()) return place;
    place.administratorsOnly = isAdministrator() || isLocalSystem();
    if (place.administratorsOnly) place.ownSid = runningAccountSid();
    return place;
}

int runCommandLine(const CommandLine& line, install::WorkerHost* host) {
    // Before any window, the usage box among them, and before any file of
    // the run is read: the program's folder may hold libraries someone
    // else put there.
    restrictLibrarySearch();
    if (line.action != CommandLine::kWizard) loadLibrariesForWork();
    switch (line.action) {
        case CommandLine::kQuiet:
            return runQuietInstall(line, host);
        case CommandLine::kRemove:
            return runQuietRemoval(line);
        case CommandLine::kQuery:
            return runQuery(line);
        case CommandLine::kUsage:
            applicationMessageBox(commandLineUsage(), MB_OK | MB_ICONINFORMATION);
            return kExitInstalled;
        case CommandLine::kInvalid:
            // An unattended run shows nothing, not even this: its log says it.
            if (line.quiet) {
                // A query keeps no log but the one /log names.
                if (!line.query || !line.logFile.empty()) install::setInstallLog(logPlace(line));
                install::logStep("invalid command line: " + line.error);
                install::logStep("exit code " + std::to_string(kExitInvalidCommandLine));
                install::setInstallLog("");
            } else {
                // The medium's language file, wherever the program was started
                // from; the reason and the usage stay English, as in the log.
                enterProgramFolder();
                applicationMessageBox(shownText(kInvalidCommandLine, {line.error}) + "\r\n\r\n" +
                                      commandLineUsage());
            }
            return kExitInvalidCommandLine;
        case CommandLine::kWizard:
            break;
    }
    return kRunTheWizard;
}

int runUnattended(const CommandLine& line, const std::string& what, const std::function<int()>& body) {
    install::setInstallLog(logPlace(line));
    answers = Answers();
    answers.changeUsbId = line.changeUsbId;
    answers.restart = line.restart;
    setMessageBoxHandler(&answerBox);
    install::logStep(what);
    logRunningSystem();
    const int code = body();
    install::logStep("exit code " + std::to_string(code));
    setMessageBoxHandler(nullptr);
    return code;
}

int endUnattended(int code, const std::string& text) {
    install::logStep("ended: " + text);
    return code;
}

int unattendedStartChecks() {
    switch (checkStartup(InstanceGuard::Unattended)) {
        case StartupResult::Run: break;
        case StartupResult::SecondInstance: return endUnattended(kExitAnotherCopyRuns, "another copy of the setup is running");
        case StartupResult::UninstallerOpen: return endUnattended(kExitFailed, answers.lastText);
        case StartupResult::UnsupportedSystem:
        case StartupResult::UnsupportedArchitecture:
        case StartupResult::NoPort:
        case StartupResult::ProgramPathTooLong: return endUnattended(kExitNotSupported, answers.lastText);
    }
    const os::RunningSystem system = os::runningSystem();
    if (!systemKnown(system))
        return endUnattended(kExitNotSupported, describeSystem(system) + " is not a system this setup knows");
    return 0;
}

int runQuietInstall(const CommandLine& line, install::WorkerHost* host) {
    return runUnattended(line, "unattended installation of " + line.model + " on " + line.port, [&] {
        install::HeldProgramFolder held;
        if (int code = holdProgramFolder(held)) return code;
        InlineHost inline_;
        return QuietInstall(line, host ? *host : inline_).run();
    });
}

}  // namespace app
