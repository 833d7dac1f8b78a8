// The calls that register things with the print spooler, each with the
// message a user needs when it fails.
#pragma once

#include <string>

#include "os/WinApi.h"

namespace install {

// Creates the printer. A name that exists is numbered "name(1)" to
// "name(98)" for the first free number, except on a USB port, where a
// clash fails. On success the record names the printer as created; the
// numbered name is kept in `nameStorage`, which must outlive the record's use.
bool addPrinter(PRINTER_INFO_2A* record, DWORD level, bool usbPort, std::string& errorText,
                std::string& nameStorage);
bool addPrinterDriver(DRIVER_INFO_3A* record, std::string& errorText);
// An installed monitor (3006) or an existing one (183) counts as added.
bool addMonitor(MONITOR_INFO_2A* record, std::string& errorText);
// 1 added; 87, 183 or 3005 as the spooler answered; 0 for any other failure.
int addPrintProcessor(const std::string& processorName, const std::string& dllName, int targetOs);
// Makes the printer the default one in the way of the running system.
bool setDefaultPrinter(const char* printerName);
// Whether the spooler can list its ports.
bool checkPortEnumeration(std::string& errorText);

}  // namespace install
