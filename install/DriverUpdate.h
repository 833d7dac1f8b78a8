// A driver registered again over an installed one of its name: from a newer
// medium all its files are copied, whatever their time stamps; over a newer
// installation, from an older medium, nothing of it is changed.
#pragma once

#include <string>

#include "os/WinApi.h"

namespace install {

struct InstalledDriverStanding {
    bool registered = false;  // the machine's spooler has a driver of the name
    bool newer = false;       // one of its program files is newer than the medium's, by version
    std::string why;          // which file, with both versions
};

// The driver of the record's name in the machine's environment against the
// medium's files, by their version resources.
InstalledDriverStanding installedDriverStanding(const DRIVER_INFO_3A& driver);

// Registers the driver (in the record's environment): a new one as always;
// over one already registered, copying every file, since the spooler's own
// rule for an update copies only files with a newer time stamp, and a newer
// release may carry an older one. The failure text is addPrinterDriver's.
bool registerPrinterDriver(DRIVER_INFO_3A* driver, bool registered, std::string& errorText);

}  // namespace install
