// The checks the program makes before it shows its wizard, and the two
// start-up settings it reads.
#pragma once

#include <string>

namespace app {

enum class StartupResult {
    Run,                // go on and show the wizard
    SecondInstance,     // another copy runs: its window was brought forward if found
    UninstallerOpen,    // "Close" was shown
    UnsupportedSystem,  // "Nonsupport" was shown
    UnsupportedArchitecture,  // why this processor or 64-bit edition is refused was shown
    NoPort,             // "PortNull" was shown
    ProgramPathTooLong, // "PathTooLong" (or its English text) was shown
};

struct StartupSettings {
    bool loadLicense = false;    // start on the agreement page
    bool alternateFont = false;  // dialogs get the shared Chinese font
};

// Who the single-instance check is for: the wizard (its mutex and window
// titles), or an unattended run (app/UnattendedGuard.h).
enum class InstanceGuard { Wizard, Unattended };

// The program's folder becomes the current directory; then the single
// instance, uninstaller, system, architecture and port-support checks in this
// order. Each refusal shows what it shows and ends the checks.
StartupResult checkStartup(InstanceGuard guard = InstanceGuard::Wizard);
// Loads by name search no folder another user could write: the program's
// first act (app/QuietInstall.h runCommandLine), before any window. The
// system libraries that windows may have loaded by name are loaded from the
// system directory here; those of printing, installing and the shell by
// loadLibrariesForWork, which must come before any of that: at once in a
// run without the wizard, once it shows in the wizard (app/WizardFrame.h).
void restrictLibrarySearch();
void loadLibrariesForWork();
void enterProgramFolder();
// "LOADLICENSE" and "LANGUAGE" of "DRVCONFIG\setup.ini" in the current directory.
StartupSettings readStartupSettings();

// The model name the port-support check looks up: the last model entry's
// text, when any entry of the list carries a category. False when none does.
bool portCheckModel(std::string* model);

}  // namespace app
