#include "app/Startup.h"

#include "app/Captions.h"
#include "app/MessageBoxes.h"
#include "app/TextTable.h"
#include "config/DriverConfig.h"
#include "os/Os.h"

namespace app {
namespace {

HWND findWindow(const char* title) { return os::sys().FindWindowA(nullptr, title); }

bool anotherInstanceRuns() {
    // The mutex is never released: it marks this process for its whole life.
    os::sys().CreateMutexA(nullptr, TRUE, applicationName().c_str());
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
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!os::sys().GetVersionExA(&version)) return false;
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return version.dwMinorVersion != 0;
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT)
        return version.dwMajorVersion == 4 && version.dwMinorVersion == 0;
    return false;
}

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

}  // namespace

bool portCheckModel(std::string* model) {
    config::DriverConfig list;
    int count = list.modelCount();
    model->clear();
    if (count < 1) return false;
    bool anyCategory = list.modelEntry(count, model) != config::kNoCategory;
    // Whether any other entry names a category: up to the first that does,
    // not through the whole list, whose every read costs a walk through it.
    std::string entry;
    for (int n = 1; n < count && !anyCategory; ++n)
        anyCategory = list.modelEntry(n, &entry) != config::kNoCategory;
    return anyCategory;
}

// The program runs elevated, from removable media: a library planted in the
// current directory must not be loaded in place of a system one. Where the
// system has no SetDllDirectoryA (Windows 2000 and older), nothing changes.
void restrictLibrarySearch() { os::sys().SetDllDirectoryA(""); }

StartupResult checkStartup() {
    restrictLibrarySearch();
    if (anotherInstanceRuns()) return StartupResult::SecondInstance;
    if (uninstallerOpen()) {
        showSetupText("Close");
        return StartupResult::UninstallerOpen;
    }
    if (systemRefused()) {
        showSetupText("Nonsupport");
        return StartupResult::UnsupportedSystem;
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
