// The install log: a text file a user can attach to a support request, one
// line per step with its time, what was done and, on failure, the text shown
// and the system error code. Nothing is written until a file is given: the
// wizard keeps no log unless asked for one. The file is opened at the first
// line, to append only, and kept open, through a path nobody else has made
// lead elsewhere (install/GuardedFile.h). A last name that is not a plain
// file of its own (a folder, a link, a second name of another file) is
// never written through: the log goes to a new file beside it. A path that
// cannot be taken for any other reason (a folder on the way that is a link
// or cannot be opened, a path that is no file's, a file that cannot be
// opened, and, for a program running elevated, a folder that others than
// the administrators may write): the log goes to the default place
// instead, and its first line says where it was meant to go and why. Only
// where the default place fails too is no log kept. The log kept in the
// default place stays small: one that has reached 1 MiB as a run begins is
// moved aside to its earlier file ("name.1.log", replacing the one before).
#pragma once

#include <string>
#include <vector>

#include "os/WinApi.h"

namespace install {

struct LogPlace {
    std::string path;      // where the lines are meant to go
    // The default place: where they go when `path` cannot be taken (empty:
    // nowhere), and the one log kept small (`path` may be it).
    std::string fallback;
    // The program runs elevated: the log's folder must be one only the
    // administrators, the system and the account itself (`ownSid`) may write.
    bool administratorsOnly = false;
    std::vector<BYTE> ownSid;
};

// Appends the lines that follow to the place (its file created when
// missing); an empty path stops the log. The log in use ends, its file closed.
void setInstallLog(const LogPlace& place);
// As above, with no fallback and any folder.
void setInstallLog(const std::string& path);
// The file lines go to (once the first is written, the one beside the path
// given or the fallback, where the path was refused).
const std::string& installLogPath();

// A step done, or something said.
void logStep(const std::string& what);
// A step that failed: the text the user is shown and the system error code
// the failure left.
void logFailure(const std::string& what, const std::string& text, DWORD error);

}  // namespace install
