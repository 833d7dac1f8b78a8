// Which Windows the program runs on, as the TargetOs the configuration and
// the install sequence speak of, and the one thing the program records about
// itself on Windows Vista.
#pragma once

#include "os/WinApi.h"

namespace app {

// TargetOs values.
enum TargetOs {
    kWindows98Me = 0,  // also every system the program does not know
    kWindowsNt4 = 1,
    kWindows2000 = 2,
    kWindowsXp = 3,
    kWindows2003 = 4,
    kWindowsVista = 5,
    kWindows2008 = 6,
    kWindows7 = 7,
};

// Whether the product name in the registry contains "2008" (case kept). A
// name that cannot be read does not.
bool productNameHas2008();

// The TargetOs of a version: 9x platform 0; NT 4.0, 5.0, 5.1, 5.2 give 1 to
// 4; 6.0 gives 6 for a "2008" product name, else 5; 6.1 gives 7; anything
// else 0.
int targetOsOf(const OSVERSIONINFOA& version);

// The running system's TargetOs (GetVersionExA); 0 when the version cannot
// be read.
int detectTargetOs();

// What the operating-system page marks for the running system.
struct OsPageChoice {
    // The system the page stands for: Windows 98/Me where nothing is marked.
    int targetOs = kWindows98Me;
    // A radio button is marked: the one of targetOs. Windows 95 and systems
    // the program does not know mark none.
    bool marked = false;
    // Neither the 9x nor the NT platform: the user is told the system is unknown.
    bool unknownPlatform = false;
    // Windows Vista: the program records itself in the compatibility list.
    bool vista = false;
};
OsPageChoice osPageChoice(const OSVERSIONINFOA& version);

// Where Vista's Program Compatibility Assistant keeps the programs it should
// leave alone.
extern const char* const kCompatibilityKey;

// Records the program file's full path under kCompatibilityKey of the
// current user with the DWORD 1, creating the key when it is missing.
// Failures are not reported: the record is then simply missing.
void recordVistaCompatibility();

}  // namespace app
