#include "os/sim/Spooler.h"

#include <algorithm>

namespace os::sim {
namespace {

// The file name of a DLL value that may carry a path.
std::string baseName(const std::string& dll) {
    size_t slash = dll.find_last_of("\\/");
    return slash == std::string::npos ? dll : dll.substr(slash + 1);
}

// A printer's port may be a pool: "LPT1:,LPT2:".
bool printsThrough(const Spooler::Printer& printer, const std::string& port) {
    size_t start = 0;
    while (start <= printer.port.size()) {
        size_t comma = printer.port.find(',', start);
        if (comma == std::string::npos) comma = printer.port.size();
        if (equalsNoCase(printer.port.substr(start, comma - start), port)) return true;
        start = comma + 1;
    }
    return false;
}

void put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

}  // namespace

std::vector<uint8_t> Spooler::dllExporting(const std::vector<std::string>& functions,
                                           uint16_t machine) {
    // Headers in the first 0x200 bytes, one section at RVA 0x1000 holding
    // the export table, one code byte (ret) that every export points to.
    const uint32_t sectionRva = 0x1000, sectionFile = 0x200;
    std::vector<std::string> names(functions);
    std::sort(names.begin(), names.end());  // the loader searches names in order
    const uint32_t n = static_cast<uint32_t>(names.size());
    const uint32_t functionsAt = 40, namesAt = functionsAt + 4 * n, ordinalsAt = namesAt + 4 * n;
    uint32_t stringsAt = ordinalsAt + 2 * n;
    std::vector<uint8_t> section(stringsAt);
    auto addString = [&](const std::string& text) {
        uint32_t at = static_cast<uint32_t>(section.size());
        section.insert(section.end(), text.begin(), text.end());
        section.push_back(0);
        return sectionRva + at;
    };
    put32(section, 12, addString("STANDIN.DLL"));
    put32(section, 16, 1);  // ordinal base
    put32(section, 20, n);
    put32(section, 24, n);
    put32(section, 28, sectionRva + functionsAt);
    put32(section, 32, sectionRva + namesAt);
    put32(section, 36, sectionRva + ordinalsAt);
    for (uint32_t i = 0; i < n; ++i) {
        put32(section, namesAt + 4 * i, addString(names[i]));
        put16(section, ordinalsAt + 2 * i, i);
    }
    const uint32_t exportSize = static_cast<uint32_t>(section.size());
    const uint32_t code = sectionRva + exportSize;
    section.push_back(0xC3);
    for (uint32_t i = 0; i < n; ++i) put32(section, functionsAt + 4 * i, code);
    const uint32_t rawSize = (static_cast<uint32_t>(section.size()) + 0x1FF) & ~0x1FFu;

    std::vector<uint8_t> image(sectionFile + rawSize);
    image[0] = 'M';
    image[1] = 'Z';
    put32(image, 0x3C, 0x40);
    put32(image, 0x40, 0x00004550);  // "PE\0\0"
    const size_t coff = 0x44, optional = coff + 20;
    put16(image, coff, machine);
    put16(image, coff + 2, 1);
    put16(image, coff + 16, 224);
    put16(image, coff + 18, 0x2102);  // executable, 32-bit, DLL
    put16(image, optional, 0x10B);   // PE32
    put32(image, optional + 28, 0x10000000);
    put32(image, optional + 32, 0x1000);
    put32(image, optional + 36, 0x200);
    put16(image, optional + 40, 4);
    put16(image, optional + 48, 4);
    put32(image, optional + 56, sectionRva + ((rawSize + 0xFFF) & ~0xFFFu));
    put32(image, optional + 60, sectionFile);
    put16(image, optional + 68, 2);  // GUI
    put32(image, optional + 92, 16);
    put32(image, optional + 96, sectionRva);  // export directory
    put32(image, optional + 100, exportSize);
    const size_t header = optional + 224;
    const char name[8] = {'.', 'e', 'd', 'a', 't', 'a', 0, 0};
    std::copy(name, name + 8, image.begin() + header);
    put32(image, header + 8, static_cast<uint32_t>(section.size()));
    put32(image, header + 12, sectionRva);
    put32(image, header + 16, rawSize);
    put32(image, header + 20, sectionFile);
    put32(image, header + 36, 0x60000020);  // code, execute, read
    std::copy(section.begin(), section.end(), image.begin() + sectionFile);
    return image;
}

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

bool Spooler::hasPort(const std::string& name) const { return monitorOfPort(name) != nullptr; }

const Spooler::Monitor* Spooler::monitorOfPort(const std::string& port) const {
    for (const auto& m : monitors)
        for (const auto& p : m.ports)
            if (equalsNoCase(p, port)) return &m;
    return nullptr;
}

bool Spooler::monitorInUse(const Monitor& monitor) const {
    for (const auto& printer : printers)
        for (const auto& port : monitor.ports)
            if (printsThrough(printer, port)) return true;
    return false;
}

bool Spooler::driverInUse(const std::string& name) const {
    return std::any_of(printers.begin(), printers.end(),
                       [&](const Printer& p) { return equalsNoCase(p.driver, name); });
}

std::vector<std::string> Spooler::portsOfDll(const std::string& dll) const {
    auto it = monitorDllPorts.find(baseName(dll));
    return it == monitorDllPorts.end() ? std::vector<std::string>() : it->second;
}

std::vector<std::string> Spooler::datatypesOfDll(const std::string& dll) const {
    auto it = processorDllDatatypes.find(baseName(dll));
    return it == processorDllDatatypes.end() ? std::vector<std::string>{"RAW"} : it->second;
}

void Spooler::removeMonitor(const std::string& name) {
    monitors.erase(std::remove_if(monitors.begin(), monitors.end(),
                                  [&](const Monitor& m) { return equalsNoCase(m.name, name); }),
                   monitors.end());
}

void Spooler::removeDriver(const std::string& name, const std::string& environment) {
    drivers.erase(std::remove_if(drivers.begin(), drivers.end(),
                                 [&](const Driver& d) {
                                     return equalsNoCase(d.name, name) &&
                                            equalsNoCase(d.environment, environment);
                                 }),
                  drivers.end());
}

void Spooler::removePrinter(const std::string& name) {
    printers.erase(std::remove_if(printers.begin(), printers.end(),
                                  [&](const Printer& p) { return equalsNoCase(p.name, name); }),
                   printers.end());
}

}  // namespace os::sim
