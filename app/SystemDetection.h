// Which Windows the program runs on, as the TargetOs the configuration and
// the install sequence speak of, and the one thing the program records about
// itself on Windows Vista.
#pragma once

#include <string>

#include "os/RunningSystem.h"

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

// The TargetOs of the system: 9x platform 0; NT 4.0, 5.0, 5.1, 5.2 give 1 to
// 4; 6.0 gives 6 for a "2008" product name, else 5; 6.1 gives 7, and so do
// Windows 8, 8.1, 10 and 11 and their servers (6.2, 6.3, 10.0), the newest
// systems a medium describes; anything else 0. The version is the one
// Windows runs as, not the one GetVersionExA tells the program.
int targetOsOf(const os::RunningSystem& system);

// The running system's TargetOs; 0 when its version cannot be read.
int detectTargetOs();

// "Windows 11", "Windows Server 2012 R2", "Windows 98": the system by its
// name, servers told by their product type, Windows 11 by its build.
std::string systemName(const os::RunningSystem& system);
// For the install log: the name, the version Windows runs as with its
// build, the processor and GetVersionExA's answer, as
// "Windows 11 (10.0.22631) x64; GetVersionEx 10.0".
std::string describeSystem(const os::RunningSystem& system);

// Writes describeSystem's line for the running system to the install log.
void logRunningSystem();

// What the operating-system page marks for the running system.
struct OsPageChoice {
    // The system the page stands for: Windows 98/Me where nothing is marked.
    int targetOs = kWindows98Me;
    // A radio button is marked: the one of targetOs (Windows 7's for the
    // newer systems). Windows 95 and systems the program does not know
    // mark none.
    bool marked = false;
    // Neither the 9x nor the NT platform: the user is told the system is unknown.
    bool unknownPlatform = false;
    // Windows Vista: the program records itself in the compatibility list.
    bool vista = false;
};
OsPageChoice osPageChoice(const os::RunningSystem& system);

// Where Vista's Program Compatibility Assistant keeps the programs it should
// leave alone.
extern const char* const kCompatibilityKey;

// Records the program file's full path under kCompatibilityKey of the
// current user with the DWORD 1, creating the key when it is missing.
// Failures are not reported: the record is then simply missing.
void recordVistaCompatibility();

}  // namespace app
