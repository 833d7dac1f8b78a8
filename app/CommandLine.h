// The command line of unattended installations. With no arguments the
// program is the wizard; the options name what the wizard would ask.
//
//   setup.exe /quiet /accepteula /model NAME /port PORT|auto [/category C] [/mode M]
//             [/default] [/raster|/noraster] [/baud N] [/databits D] [/parity P] [/stopbits S]
//             [/flow F] [/usbid change|keep] [/usbtimeout SECONDS] [/restart] [/log FILE]
//   setup.exe /uninstall /quiet /model NAME [/port PORT] [/category C] [/log FILE]
//   setup.exe /query /model NAME [/port PORT] [/category C] [/log FILE]
//   setup.exe /?
//
// Options are case-insensitive and begin with "/" or "-"; a value follows
// its option as the next argument (quoted when it holds blanks). An option
// may be given once. "/quiet" anywhere on the line means nothing is ever
// shown, not even for a line that is wrong.
#pragma once

#include <string>

namespace app {

struct CommandLine {
    enum Action { kWizard, kUsage, kQuiet, kRemove, kQuery, kInvalid };
    Action action = kWizard;
    std::string error;   // why the line is invalid
    bool quiet = false;  // /quiet was given (even on an invalid line: nothing may be shown)

    bool acceptEula = false;
    std::string model;
    std::string port;  // "auto": the port the wizard would preselect
    int category = -1;  // -1: the model's own
    int installMode = 1;  // 1 typical, 0 advanced
    bool defaultPrinter = false;
    int raster = -1;  // -1: what the wizard preselects for the port; 1 /raster; 0 /noraster
    int baudRate = 0;  // 0: the model's configured rate
    int dataBits = 8;
    double stopBits = 1.0;
    char parity = 'n';
    char flowControl = 'p';
    bool changeUsbId = false;
    int usbInstallerSeconds = 120;  // how long a quiet run waits for the USB driver installer
    bool restart = false;
    bool uninstall = false;  // take the model's printers off instead (port optional)
    // Only say whether the model is installed and current, by the exit code;
    // nothing is shown, changed or logged but to /log (even on a wrong line).
    bool query = false;
    std::string logFile;  // empty: none in the wizard, the default one in quiet mode
};

CommandLine parseCommandLine(const std::string& line);

// The usage, as the /? box shows it.
const char* commandLineUsage();

// Exit codes that deployment tools read.
enum ExitCode {
    kExitInstalled = 0,
    kExitInstalledButOlder = 1,  // /query: installed, something older than the medium's
    kExitInvalidCommandLine = 87,
    kExitFailed = 1603,
    kExitNothingToRemove = 1605,  // also /query: not installed
    kExitAnotherCopyRuns = 1618,
    kExitNotSupported = 1633,
    kExitRestartNeeded = 3010,
};

}  // namespace app
