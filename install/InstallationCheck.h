// Whether a model is installed as the medium installs it, for the
// detection rule of a deployment tool. Reads only: it changes nothing on
// the machine, and says in the log what it found and compared.
#pragma once

#include <string>

#include "config/DriverConfig.h"
#include "install/Removal.h"

namespace install {

enum class InstallationState {
    NotInstalled,  // no printer of the model (on the port asked for) prints through its driver
    Current,       // installed, and nothing older than the medium's
    Older,         // installed, and a file, a monitor or the print processor is older
};

// `port` as chosen at installation ("LPT1:", "USB_RP-80_1"), or empty for any.
InstallationState checkInstallation(config::DriverConfig& config, const ModelParts& parts, const std::string& port,
                                    int targetOs);

}  // namespace install
