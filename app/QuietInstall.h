// The unattended installation: the wizard's checks and install sequence, in
// the wizard's order and with its texts, with the answers taken from the
// command line instead of the screen. Nothing is shown; every step and every
// text the wizard would have shown goes to the install log.
#pragma once

#include <functional>
#include <string>

#include "app/CommandLine.h"
#include "install/InstallLog.h"
#include "install/WorkerHandOff.h"

namespace app {

// Where an unattended run logs: the file the command line names, else
// "PrinterDriverSetup.log" in the temporary folder, or, for the system
// account (whose temporary folder every user may write), in the Windows
// directory.
std::string quietInstallLog(const CommandLine& line);
// The log of a run, where quietInstallLog says. A log the command line
// names, for a program running elevated (as an administrator or as the
// system account), is kept only in a folder that no one but the
// administrators may write; else, or where it cannot be opened at all, it
// goes to the default place, the log that is kept small.
install::LogPlace logPlace(const CommandLine& line);

// An unattended run: its log opened, every box answered into it (the two
// questions by the command line, everything else by its first button), then
// `body`, and its exit code logged. Returns that code.
int runUnattended(const CommandLine& line, const std::string& what, const std::function<int()>& body);
// Ends an unattended run: the reason logged, the exit code returned.
int endUnattended(int code, const std::string& text);
// The start-up checks and the system's, as an unattended run answers them:
// 0 to go on, or the exit code, logged.
int unattendedStartChecks();

// Runs the installation the command line describes; returns its exit code.
// The install sequence runs on `host`'s worker (the program's: a thread of
// its own while this one refuses the end of the session); without one, on
// the calling thread.
int runQuietInstall(const CommandLine& line, install::WorkerHost* host = nullptr);

// What a command line comes to when it is not the wizard's: the quiet
// installation, the usage in a box (/?), or the refusal of a wrong line, in
// a box or, when the line asks for quiet, only in the quiet log. Returns the
// exit code, or kRunTheWizard. The program's first act, whatever the line:
// it restricts the search for libraries (app/Startup.h) before anything else.
constexpr int kRunTheWizard = -1;
int runCommandLine(const CommandLine& line, install::WorkerHost* host = nullptr);

}  // namespace app
