// The printer drivers the spooler has, with the files each names: what
// tells a driver this medium installed from another product's driver that
// happens to carry the same name.
#pragma once

#include <string>
#include <vector>

#include "os/RunningSystem.h"
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

// The architectures whose drivers an installation registers: the machine's
// own, and on 64-bit Windows the x86 one beside it for 32-bit clients.
std::vector<os::Architecture> driverArchitectures();

// Every driver of the environment of `architecture` (the machine's own
// unless the x86 one of 64-bit Windows is meant), each version of a name on
// its own; false, with the system's error, when the spooler cannot list them.
bool installedDrivers(std::vector<InstalledDriver>* drivers,
                      os::Architecture architecture = os::machineArchitecture());

// The full paths of the files the spooler keeps for the driver of that name
// in the environment of `architecture`; false when it has none there.
bool driverFilePaths(const std::string& driver, os::Architecture architecture, std::vector<std::string>* paths);

}  // namespace install
