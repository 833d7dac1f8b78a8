// The simulated print spooler's state: printer drivers, monitors with the
// ports they offer, print processors, printers and the default printer.
// The Win32 calls that act on it live in SimOs; this is what they find.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "os/WinApi.h"
#include "os/sim/Text.h"

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
    };

    std::vector<Driver> drivers;
    std::vector<Monitor> monitors;
    std::vector<Processor> processors;
    std::vector<Printer> printers;

    // The ports a monitor DLL offers once it is added (by DLL file name);
    // a monitor DLL not listed here offers none.
    std::map<std::string, std::vector<std::string>, LessNoCase> monitorDllPorts;

    Driver* driver(const std::string& name, const std::string& environment);
    Monitor* monitor(const std::string& name);
    Processor* processor(const std::string& name, const std::string& environment);
    Printer* printer(const std::string& name);
    // Every port of every monitor, in the order EnumPortsA lists them.
    std::vector<std::string> ports() const;
    bool hasPort(const std::string& name) const;
};

}  // namespace os::sim
