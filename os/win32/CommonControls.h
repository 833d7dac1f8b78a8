// The common controls library. Windows does not protect comctl32.dll as a
// known DLL, so an import of it would be resolved from the program's own
// folder on a system without side-by-side assemblies (Windows 2000), where a
// copy planted beside the program would run with the administrator's rights.
#pragma once

#include <windows.h>

namespace os {

// comctl32.dll, loaded once: version 6 through the program's manifest where
// the system has side-by-side assemblies (XP on), else the copy in the system
// directory. Null when neither can be loaded.
HMODULE loadCommonControls();

}  // namespace os
