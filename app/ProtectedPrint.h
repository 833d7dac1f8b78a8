// Windows protected print mode (Windows 11 version 24H2 and Windows Server
// 2025 on): where it is on, the spooler takes no printer driver but Windows'
// own, so an installation would stop half done, with its monitors and
// processor in place. It is looked at before anything is changed.
#pragma once

#include <string>

namespace app {

// Where the group policy keeps the switch ("Configure Windows protected
// print"): the value is 1 when the mode is on.
extern const char* const kProtectedPrintPolicyKey;
extern const char* const kProtectedPrintPolicyValue;

// Why the installation cannot go on, in the language file's words, or
// empty. The mode is on when the group policy's value is 1 or when Windows
// says so (its Windows Runtime answer covers the switch in Settings too,
// which keeps no documented value); the log says which. Systems without the
// mode are not asked.
std::string protectedPrintRefusal();

}  // namespace app
