// The install log: a text file a user can attach to a support request, one
// line per step with its time, what was done and, on failure, the text shown
// and the system error code. Lines are appended. Nothing is written until a
// file is given: the wizard keeps no log unless asked for one.
#pragma once

#include <string>

#include "os/WinApi.h"

namespace install {

// Appends the lines that follow to `path` (created when missing); an empty
// path stops the log.
void setInstallLog(const std::string& path);
const std::string& installLogPath();

// A step done, or something said.
void logStep(const std::string& what);
// A step that failed: the text the user is shown and the system error code
// the failure left.
void logFailure(const std::string& what, const std::string& text, DWORD error);

}  // namespace install
