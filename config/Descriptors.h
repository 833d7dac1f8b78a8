// The records that describe, for one model, target system, driver flavour
// and port kind, what the spooler is told and which files are copied.
#pragma once

#include <string>

#include "os/WinApi.h"

namespace config {

// The driver record for AddPrinterDriverA and the printer record for
// AddPrinterA, as the platform defines them.
using DriverDescriptor = DRIVER_INFO_3A;
using PrinterDescriptor = PRINTER_INFO_2A;

// The files of a model to copy from the medium, one slot each.
struct DriverFileList {
    std::string driver;
    std::string data;
    std::string config;
    std::string help;
    std::string processor;
    std::string dataDll;
    std::string pluginDll;
    std::string pluginSettings;
    std::string uiPlugin;
    std::string fontFile;
    std::string usbIdentityFile;
};

// The USB language monitor: a MONITOR_INFO_2A and its version.
struct LanguageMonitorDescriptor {
    MONITOR_INFO_2A info{};
    int version = 0;
};

// The serial and the USB port monitor with their user-interface DLLs and versions.
struct PortMonitorSet {
    MONITOR_INFO_2A serial{};
    MONITOR_INFO_2A usb{};
    std::string serialUiDll;
    std::string usbUiDll;
    int serialVersion = 0;
    int usbVersion = 0;
};

// "Windows 4.0", the spooler environment of Windows 98/Me.
LPSTR windows40Environment();
// A shared empty text for names that are "the empty text" rather than null.
LPSTR emptyText();

}  // namespace config
