// The unattended installation: the wizard's checks and install sequence, in
// the wizard's order and with its texts, with the answers taken from the
// command line instead of the screen. Nothing is shown; every step and every
// text the wizard would have shown goes to the install log.
#pragma once

#include "app/CommandLine.h"

namespace app {

// Where an unattended run logs: the file the command line names, else
// "PrinterDriverSetup.log" in the temporary folder.
std::string quietInstallLog(const CommandLine& line);

// Runs the installation the command line describes; returns its exit code.
int runQuietInstall(const CommandLine& line);

}  // namespace app
