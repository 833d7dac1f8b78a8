// The program installs x86 and x64 components only, and on 64-bit Windows
// only from Windows 7 and Server 2008 R2 on. Anything else is refused at
// start-up, before anything is changed.
#pragma once

#include <string>

#include "os/RunningSystem.h"

namespace app {

// Why the program does not install on this Windows of this architecture, in
// the language file's words; empty where it does (and on the 9x line, which
// runs on x86 alone).
std::string architectureRefusal(const os::RunningSystem& system);

}  // namespace app
