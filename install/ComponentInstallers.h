// Installing the port monitors, the USB language monitor and the print
// processor of the medium, or reporting installed copies that are older.
#pragma once

#include <string>

#include "config/DriverConfig.h"

namespace install {

// InstallStatusFlags: an installed component older than the medium's (or
// whose version cannot be read).
enum InstallStatusFlag {
    kSerialMonitorOlder = 1,
    kUsbMonitorOlder = 2,
    kLanguageMonitorOlder = 4,
    kProcessorOlder = 8,
};

constexpr int kMonitorInstallFailed = -15;
constexpr int kProcessorInstallFailed = -14;

// Whether a monitor or print processor name is one that Windows registers by
// itself (without regard to case); such a component is never rewritten.
bool isWindowsOwnComponent(const std::string& name);
// Whether a file name (without its folder) is one of Windows' own files
// that a medium may name for a part of its own: the spooler's, those of its
// own monitors, print processor and Unidrv and PostScript drivers, and the
// system libraries every program loads, compared as Windows reads the
// name (case aside, trailing dots and blanks dropped). Such a file is never
// replaced by the installation nor deleted by the removal.
bool isWindowsOwnFile(const std::string& name);

// Registry keys of installed components under HKEY_LOCAL_MACHINE.
std::string monitorKey(const std::string& monitorName);
std::string processorKey(int targetOs, const std::string& processorName);

// 0, kLanguageMonitorOlder or kMonitorInstallFailed.
int installLanguageMonitor(config::DriverConfig& config, int targetOs, const std::string& portName,
                           std::string& errorText);
// 0, kSerialMonitorOlder, kUsbMonitorOlder or kMonitorInstallFailed.
int installPortMonitors(config::DriverConfig& config, int targetOs, const std::string& portName,
                        std::string& errorText);
// 0, kProcessorOlder or kProcessorInstallFailed.
int installPrintProcessor(int targetOs, const std::string& processorName,
                          const std::string& processorDll, std::string& errorText);

}  // namespace install
