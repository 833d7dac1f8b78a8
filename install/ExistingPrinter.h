// A printer that is there already: read by its name, and judged as the
// model's installation or not. An unattended run that finds the printer it
// would add already the model's keeps it, so that the same command run
// again (a startup script, an agent's retry) leaves the machine as the
// first run did.
#pragma once

#include <string>
#include <vector>

#include "install/InstallJob.h"
#include "install/Removal.h"
#include "os/RunningSystem.h"

namespace install {

struct PrinterRecord {
    std::string port, driver, processor;
};

// The names of the local printers; false when the spooler cannot list them.
bool localPrinterNames(std::vector<std::string>* names);

// Reads the printer of that name: ERROR_SUCCESS, ERROR_INVALID_PRINTER_NAME
// when there is none, or the system's error when it cannot be read.
DWORD readPrinterRecord(const std::string& name, PrinterRecord* record);

// Whether the driver of that name in the environment of `architecture` is
// one of the model's: named as the medium names one of them and naming
// exactly the files the medium installs under that name.
bool isModelDriver(const ModelParts& parts, const std::string& driver,
                   os::Architecture architecture = os::machineArchitecture());

// Whether the printer the job would add (its name and port as prepared)
// is there already, on that port and printing through one of the model's
// drivers. Says in the log what it found and why it is kept or not.
bool printerIsTheModelsInstallation(const InstallJob& job);

}  // namespace install
