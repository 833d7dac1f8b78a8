// Windows 10 and 11 may undo a default printer: with "Let Windows manage my
// default printer" (on unless the user's LegacyDefaultPrinterMode is 1)
// Windows makes the printer last used at the current place the default.
#pragma once

#include <string>

namespace install {

// Whether the running system is one that may do so (Windows 10, 11 and
// their servers).
bool windowsManagesDefaults();

// After `printer` was made the default: for the log, whether Windows names
// it the default now, and whether Windows manages the default printer.
std::string defaultPrinterOutcome(const std::string& printer);

}  // namespace install
