// The simulated print spooler's state: printer drivers, monitors with the
// ports they offer, print processors, printers and the default printer.
// The Win32 calls that act on it live in SimOs; this is what they find.
//
// Monitors and print processors are also registered in the registry (the
// keys the system reads their versions from); SimOs keeps both in step, and
// when the Spooler service starts it loads what the registry names.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "os/WinApi.h"
#include "os/sim/Text.h"

// Codes of the spooler that the native declarations lack.
#ifndef RPC_X_NULL_REF_POINTER
#define RPC_X_NULL_REF_POINTER 1780L
#endif
#ifndef ERROR_INVALID_USER_BUFFER
#define ERROR_INVALID_USER_BUFFER 1784L
#endif

namespace os::sim {

class Spooler {
public:
    struct Driver {
        std::string name;
        std::string environment;
        DWORD version = 3;
        std::string driverPath;
        std::string dataFile;
        std::string configFile;
        std::string helpFile;
        std::vector<std::string> dependentFiles;
        std::string monitorName;
        std::string defaultDataType;
    };
    struct Monitor {
        std::string name;
        std::string environment;
        std::string dll;
        std::vector<std::string> ports;
    };
    struct Processor {
        std::string name;
        std::string environment;
        std::string dll;
        std::vector<std::string> datatypes;
    };
    struct Printer {
        std::string name;
        std::string port;
        std::string driver;
        std::string processor;
        std::string datatype;
        std::string comment;
        std::string location;
        std::string shareName;
        std::string parameters;
        std::string sepFile;
        DWORD attributes = 0;
        DWORD priority = 0;
        DWORD defaultPriority = 0;
        DWORD startTime = 0;
        DWORD untilTime = 0;
    };

    std::vector<Driver> drivers;
    std::vector<Monitor> monitors;
    std::vector<Processor> processors;
    std::vector<Printer> printers;

    // The ports a monitor DLL offers once it is added (by DLL file name);
    // a monitor DLL not listed here offers none.
    std::map<std::string, std::vector<std::string>, LessNoCase> monitorDllPorts;
    // Each call Windows documents as needing the caller's SeLoadDriverPrivilege
    // (AddPrinterDriver, AddPrintProcessor, AddMonitor, DeleteMonitor), in
    // order, with whether the caller's token had it enabled: "AddMonitorA
    // enabled" or "AddMonitorA not enabled". Nothing is refused for it:
    // Windows documents no error code for its absence.
    std::vector<std::string> driverLoadPrivilegeAtCalls;
    // The datatypes a print processor DLL offers (by DLL file name); one
    // not listed here offers "RAW".
    std::map<std::string, std::vector<std::string>, LessNoCase> processorDllDatatypes;

    Driver* driver(const std::string& name, const std::string& environment);
    Monitor* monitor(const std::string& name);
    Processor* processor(const std::string& name, const std::string& environment);
    Printer* printer(const std::string& name);
    // Every port of every monitor, in the order EnumPortsA lists them.
    std::vector<std::string> ports() const;
    bool hasPort(const std::string& name) const;
    // The monitor a port belongs to, or null.
    const Monitor* monitorOfPort(const std::string& port) const;

    // Whether a printer prints through one of the monitor's ports.
    bool monitorInUse(const Monitor& monitor) const;
    // Whether a printer uses the driver.
    bool driverInUse(const std::string& name) const;
    // The ports a newly loaded monitor DLL offers, and the datatypes of a
    // newly loaded print processor DLL.
    std::vector<std::string> portsOfDll(const std::string& dll) const;
    std::vector<std::string> datatypesOfDll(const std::string& dll) const;

    // The bytes of a minimal DLL that exports the named functions: what a
    // test lays on the machine as a monitor or processor DLL that the
    // spooler can load. Its header names the machine it was built for
    // (IMAGE_FILE_MACHINE_*), whose loaders alone take it.
    static std::vector<uint8_t> dllExporting(const std::vector<std::string>& functions,
                                             uint16_t machine = 0x14C);

    void removeMonitor(const std::string& name);
    void removeDriver(const std::string& name, const std::string& environment);
    void removePrinter(const std::string& name);
};

}  // namespace os::sim
