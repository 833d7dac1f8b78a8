#include "app/Startup.h"

#include "app/ArchitectureCheck.h"
#include "app/Captions.h"
#include "app/UnattendedGuard.h"
#include "config/MessageBoxes.h"
#include "config/TextTable.h"
#include "config/DriverConfig.h"
#include "config/ProgramFolder.h"
#include "install/FileStaging.h"
#include "install/InstallLog.h"
#include "os/Os.h"
#include "os/RunningSystem.h"

namespace app {
namespace {

HWND findWindow(const char* title) { return os::sys().FindWindowA(nullptr, title); }

// The wizard's mutex, made as the unattended guard is: an administrator's
// unattended run must know it for an administrator's. Made with the token's
// defaults it would be owned, on Windows XP, by the administrator who
// started the wizard, with access for him and the system alone: another
// administrator's run could not open it, and the system account's would
// take it for a squatter's. The defaults are taken only where that fails.
void createWizardMutex() {
    os::Os& sys = os::sys();
    const std::string name = applicationName();
    if (createAdministratorsMutex(name, TRUE) != nullptr) return;
    const DWORD error = sys.GetLastError();
    // Refused access, the mutex is there already and not the program's to open.
    if (error != ERROR_ACCESS_DENIED) sys.CreateMutexA(nullptr, TRUE, name.c_str());
}

bool anotherInstanceRuns() {
    // The mutex is never released: it marks this process for its whole life.
    createWizardMutex();
    if (os::sys().GetLastError() != ERROR_ALREADY_EXISTS) return false;
    HWND running = findWindow(kWizardTitle);
    if (running == nullptr) running = findWindow(kWizardTitleChinese);
    if (running != nullptr) {
        os::sys().SetForegroundWindow(running);
        os::sys().OpenIcon(running);
    }
    return true;
}

bool uninstallerOpen() {
    return findWindow(kUninstallerTitle) != nullptr ||
           findWindow(kUninstallerTitleChinese) != nullptr;
}

// Windows 98 and Me (9x platform, minor version not 0) and NT 4.0 are refused;
// Windows 95 and everything else goes on.
bool systemRefused() {
    OSVERSIONINFOA version;
    if (!os::runningVersion(&version)) return false;
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return version.dwMinorVersion != 0;
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT)
        return version.dwMajorVersion == 4 && version.dwMinorVersion == 0;
    return false;
}

std::string architectureRefused() { return architectureRefusal(os::runningSystem()); }

bool modelOffersAPort(const std::string& model) {
    const std::string section = config::portSection(model);
    for (int category = 0; category < config::kCategoryCount; ++category) {
        for (const char* key : {"USBSUPPORTED", "LPTSUPPORTED", "COMSUPPORTED"}) {
            if (config::profileInteger(config::categoryFileLower(category), section, key) != 0)
                return true;
        }
    }
    return false;
}

void showSetupText(const char* key) { applicationMessageBox(TextTable("Setup").GetText(key)); }

// Libraries that Windows' own libraries load by name, some of them only when
// a function of theirs is first called (delay-loaded), and that Windows does
// not protect as known DLLs. They are loaded from the system directory
// before anything could ask for them, so that such a load finds them loaded
// instead of searching. First those that a window may ask for as it is made,
// themed, drawn and read by accessibility tools, and that the checks before
// the first window may ask for: the common controls load uxtheme.dll (so it
// comes before them) and msimg32.dll as a message box is drawn.
const char* const kLoadedForWindows[] = {"version.dll", "uxtheme.dll", "dwmapi.dll", "cryptbase.dll",
                                         "oleacc.dll", "clbcatq.dll", "msimg32.dll"};
// Then those that only printing, installing and the shell ask for: the
// wizard's first window needs none of them, and under Wine the spooler's
// library is slow to load, so the wizard loads these once it shows.
const char* const kLoadedForWork[] = {"winspool.drv", "setupapi.dll", "userenv.dll", "apphelp.dll",
                                      "propsys.dll"};

template <size_t Count>
void loadFromSystemDirectory(const char* const (&libraries)[Count]) {
    std::string system;
    if (!install::systemDirectory(&system)) return;
    for (const char* library : libraries)
        os::sys().LoadLibraryExA((system + "\\" + library).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool isVista() {
    OSVERSIONINFOA version;
    return os::runningVersion(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           version.dwMajorVersion == 6 && version.dwMinorVersion == 0;
}

// A program path longer than its configuration paths can hold would have
// them cut, and the configuration read from a parent folder: refused, with
// a text that says why, so that the user moves the medium rather than looks
// for a fault in its configuration.
bool programPathRefused() {
    if (config::programPathFits()) return false;
    install::logStep("the program's path is longer than 199 characters: " + config::programFolder());
    return true;
}

// The language file's text, or, where the file has none (a medium older
// than the text, or a folder so deep that the file itself is out of reach),
// a plain English one.
std::string programPathTooLongText() {
    const std::string text = TextTable("Setup").GetText("PathTooLong");
    if (!text.empty()) return text;
    return "The path of this setup is too long: with setup.exe it may have at most 199 characters. "
           "Copy the setup with all its folders to a folder with a shorter path, such as "
           "C:\\PrinterSetup, and start it from there.";
}

}  // namespace

bool portCheckModel(std::string* model) {
    config::DriverConfig list;
    int count = list.modelCount();
    model->clear();
    if (count < 1) return false;
    bool anyCategory = list.modelEntry(count, model) != config::kNoCategory;
    // Whether any other entry names a category: up to the first that does,
    // not through the whole list, whose every read costs a walk through it,
    // and only among the entries the list holds, however large its count.
    std::string entry;
    for (int n : list.entryNumbers(count - 1)) {
        if (anyCategory) break;
        anyCategory = list.modelEntry(n, &entry) != config::kNoCategory;
    }
    return anyCategory;
}

// The program runs elevated, from folders others may write: a library placed
// beside it or in the current directory must never be loaded in place of a
// system one. Where the system can, every later load by name searches the
// system directory only (Vista is left out: its shell then fails to create
// some of its own objects); elsewhere the current directory leaves the
// search (Windows XP SP1 on). Either way the libraries the system itself
// loads by name for windows are loaded from the system directory at once: a
// load by a system library's own import table does not always keep to the
// first rule.
void restrictLibrarySearch() {
    os::Os& sys = os::sys();
    if (isVista() || !sys.SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) sys.SetDllDirectoryA("");
    loadFromSystemDirectory(kLoadedForWindows);
}

void loadLibrariesForWork() { loadFromSystemDirectory(kLoadedForWork); }

// The medium is the program's folder: the relative paths the program reads
// (the language file, the start-up keys, the side picture, the licence, the
// driver files) are taken from there, whatever folder it was started from.
void enterProgramFolder() {
    std::string folder = config::programFolder();
    if (folder.empty()) return;
    if (folder.back() == ':') folder += '\\';  // "C:" alone names the drive's current folder
    os::sys().SetCurrentDirectoryA(folder.c_str());
}

namespace {

// An unattended run's guard; what it found that no administrator made is logged.
bool unattendedCopyRuns() {
    std::string notes;
    const GuardResult guard = takeUnattendedGuard(applicationName(), &notes);
    if (!notes.empty()) install::logStep(notes);
    return guard == GuardResult::AnotherCopyRuns;
}

}  // namespace

StartupResult checkStartup(InstanceGuard guard) {
    enterProgramFolder();
    if (guard == InstanceGuard::Wizard ? anotherInstanceRuns() : unattendedCopyRuns())
        return StartupResult::SecondInstance;
    if (uninstallerOpen()) {
        showSetupText("Close");
        return StartupResult::UninstallerOpen;
    }
    if (systemRefused()) {
        showSetupText("Nonsupport");
        return StartupResult::UnsupportedSystem;
    }
    const std::string refusal = architectureRefused();
    if (!refusal.empty()) {
        applicationMessageBox(refusal);
        return StartupResult::UnsupportedArchitecture;
    }
    if (programPathRefused()) {
        applicationMessageBox(programPathTooLongText());
        return StartupResult::ProgramPathTooLong;
    }
    // A list in which no entry names a category offers no model and so no
    // port: that ends the program the same way.
    std::string model;
    if (!portCheckModel(&model) || !modelOffersAPort(model)) {
        showSetupText("PortNull");
        return StartupResult::NoPort;
    }
    return StartupResult::Run;
}

StartupSettings readStartupSettings() {
    StartupSettings settings;
    settings.loadLicense = config::profileInteger(config::kSetupFile, "DEVICENAME", "LOADLICENSE") != 0;
    settings.alternateFont = config::profileInteger(config::kSetupFile, "DEVICENAME", "LANGUAGE") == 0;
    return settings;
}

}  // namespace app
