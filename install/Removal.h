// Taking off what the program installed for one model: its printers (the
// names its install rules give them), then its drivers where no printer uses
// them any more, the port-name records of its USB ports, and the port
// monitors, language monitor and print processor of the medium where no
// printer uses them any more (files too). What Windows brings, and what
// another medium registered under the same names, is never touched: a
// driver is the model's only where its files are the medium's, a file is
// deleted only in the folder the installation put it in and never where it
// bears the name of one of Windows' own, and where the printers that stay
// cannot all be read nothing they might use is taken.
#pragma once

#include <string>
#include <vector>

#include "config/DriverConfig.h"

namespace install {

// What the medium installs for a model on a system.
struct ModelParts {
    std::string model;  // printers are named after it, with their port's suffix
    // A driver name the installation gives the model, with the files it
    // installs under it: one list per flavour, as driverFileNames gives them.
    struct Driver {
        std::string name;
        std::vector<std::vector<std::string>> fileLists;
    };
    std::vector<Driver> drivers;
    struct Component {
        std::string name;
        std::string dll;
        std::vector<std::string> otherFiles;  // its interface DLL, in the same folder
    };
    Component serialMonitor, usbMonitor, languageMonitor;
    std::vector<Component> processors;
};

// The parts of `model` for the target system, read from the medium.
ModelParts readModelParts(config::DriverConfig& config, const std::string& model, int targetOs);

// A printer this program installs for the model: its name is the model's
// with a port's suffix ("(P)", "(S)", "(U) 1" to "(U) 4"), a number in
// parentheses after it where the name was taken.
bool isPrinterNameOfModel(const std::string& printer, const std::string& model);

struct RemovalOutcome {
    int printers = 0;          // printers removed
    int drivers = 0;           // drivers removed
    bool anyInstalled = false;  // anything of the model was found
    bool restartNeeded = false;  // a file goes only when Windows starts again
    std::string failure;       // the first step that failed, with its system code
};

// Removes the model's printers (only those on `port`, when one is given) and
// what nothing uses any more. Every step is logged.
RemovalOutcome removeModel(const ModelParts& parts, const std::string& port, int targetOs);

}  // namespace install
