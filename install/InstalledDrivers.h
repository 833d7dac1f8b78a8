// The printer drivers the spooler has, with the files each names: what
// tells a driver this medium installed from another product's driver that
// happens to carry the same name.
#pragma once

#include <string>
#include <vector>

#include "os/WinApi.h"

namespace install {

// The file names a driver record names (driver, data, configuration, help
// and dependent files), without their folders, in upper case, each once,
// in order. Names the medium leaves unset ("0") are none.
std::vector<std::string> driverFileNames(const DRIVER_INFO_3A& driver);

struct InstalledDriver {
    std::string name;
    std::vector<std::string> files;  // as driverFileNames gives them
};

// Every driver of the running system's environment, each version of a name
// on its own; false, with the system's error, when the spooler cannot list them.
bool installedDrivers(std::vector<InstalledDriver>* drivers);

}  // namespace install
