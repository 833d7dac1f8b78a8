// What the install command does on the last page before the install
// sequence runs: it checks the user's choice against the configuration,
// works out the port kind, brings the USB class driver up to date, assembles
// the spooler records, gives a connected USB printer the number of the
// chosen USB port, names the printer after its port and records a USB port.
// Every refusal is shown to the user here; the wizard then stays on its last
// page so that the choice can be changed.
#pragma once

#include <string>

#include "config/ShownText.h"

#include "install/InstallJob.h"

namespace install {

struct PreparationContext {
    HWND owner = nullptr;      // the wizard: owner of its message boxes
    std::string categoryPath;  // the category file of the model's port section
    int runningOs = 0;         // TargetOs of the system the program runs on
    // An unattended run: the USB driver installer is waited for by its
    // process, at most this long, instead of by its window.
    bool quiet = false;
    int installerSeconds = 120;
};

// The port kind a port name stands for, by the first of "USB_", "COM" and
// "LPT" it contains; -1 for none.
int portKindOf(const std::string& portName);

// Prepares `job` from its selection (model, target, mode, port, flavour and
// serial settings filled in, category set on its configuration). False when
// the installation must not run; the reason has been shown.
bool prepareInstallation(InstallJob& job, const PreparationContext& context);

// The USB driver installer's part: run when the medium's class driver is
// newer than the installed one (or none is installed). The wizard waits for
// the installer's window to come and go; a quiet run waits for its process,
// at most the context's limit. Where it is not Done, `failure` holds the
// text to show (and to log).
enum class UsbDriverUpdate { Done, NotStarted, NotEnded };
UsbDriverUpdate updateUsbClassDriver(const PreparationContext& context, app::Notice* failure);

}  // namespace install
