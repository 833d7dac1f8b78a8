// The application object: its one-time initialisation is the program's
// whole life.
#pragma once

#include <string>

namespace app {

class SetupApp {
public:
    // Runs the start-up checks and the wizard; returns false in every case,
    // which ends the program.
    bool InitInstance();

    // The program's whole run for its command line: the wizard (with a log
    // when /log names one), the usage, or an unattended installation.
    // Returns the process's exit code.
    int Run(const std::string& commandLine);
};

}  // namespace app
