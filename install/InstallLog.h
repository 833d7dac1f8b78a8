// The install log: a text file a user can attach to a support request, one
// line per step with its time, what was done and, on failure, the text shown
// and the system error code. Nothing is written until a file is given: the
// wizard keeps no log unless asked for one. The file is opened at the first
// line, to append only, and kept open; a path that is not a plain file of its
// own (a folder, a link, a second name of another file) is never written
// through: the log goes to a new file beside it, and says so.
#pragma once

#include <string>

#include "os/WinApi.h"

namespace install {

// Appends the lines that follow to `path` (created when missing); an empty
// path stops the log. The log in use ends, its file closed.
void setInstallLog(const std::string& path);
// The file lines go to (once the first is written, the one beside the path
// given when that was not a plain file).
const std::string& installLogPath();

// A step done, or something said.
void logStep(const std::string& what);
// A step that failed: the text the user is shown and the system error code
// the failure left.
void logFailure(const std::string& what, const std::string& text, DWORD error);

}  // namespace install
