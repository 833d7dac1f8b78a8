// The program's own record of USB ports in the registry: the port-name key
// maps each USB port name to its value in the USB device table of
// "DRVCONFIG\setup.ini", and the printer-port key holds eight slots D1 to D8
// and an entry per installed USB port. Nothing in the program reads them
// back; the maker's other software does, and on 64-bit Windows its 64-bit
// port monitor reads them in the machine's own registry view.
#pragma once

#include <string>

#include "os/WinApi.h"

namespace install {

extern const char* const kPortNameKey;     // "SOFTWARE\HALVERN\PORTNAME\"
extern const char* const kPrinterPortKey;  // "SOFTWARE\HALVERN\PRINTERPORT\"

// The spooler's name of a USB port chosen: the port itself, but for the
// printers that share fixed port names ("USB_KPX-D7_" and the port's last
// character).
std::string spoolerPortName(const std::string& portName);

// The registry view the records are kept in: the machine's own
// (os::nativeRegistryView), not the 32-bit one under Wow6432Node.
REGSAM portRecordView();

// Records the port the printer will use under the port-name key and resets
// the slots D1 to D8. A key that can be neither opened nor created is
// skipped without a word: the installation goes on.
void RegisterUsbPort(const std::string& portName);

}  // namespace install
