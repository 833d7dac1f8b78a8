#include "os/sim/Spooler.h"

namespace os::sim {

Spooler::Driver* Spooler::driver(const std::string& name, const std::string& environment) {
    for (auto& d : drivers)
        if (equalsNoCase(d.name, name) && equalsNoCase(d.environment, environment)) return &d;
    return nullptr;
}

Spooler::Monitor* Spooler::monitor(const std::string& name) {
    for (auto& m : monitors)
        if (equalsNoCase(m.name, name)) return &m;
    return nullptr;
}

Spooler::Processor* Spooler::processor(const std::string& name, const std::string& environment) {
    for (auto& p : processors)
        if (equalsNoCase(p.name, name) && equalsNoCase(p.environment, environment)) return &p;
    return nullptr;
}

Spooler::Printer* Spooler::printer(const std::string& name) {
    for (auto& p : printers)
        if (equalsNoCase(p.name, name)) return &p;
    return nullptr;
}

std::vector<std::string> Spooler::ports() const {
    std::vector<std::string> result;
    for (const auto& m : monitors)
        for (const auto& p : m.ports) result.push_back(p);
    return result;
}

bool Spooler::hasPort(const std::string& name) const {
    for (const auto& m : monitors)
        for (const auto& p : m.ports)
            if (equalsNoCase(p, name)) return true;
    return false;
}

}  // namespace os::sim
