#include "install/InstalledDrivers.h"

#include <algorithm>
#include <cstring>

#include "config/AsciiCase.h"
#include "config/ProfileValues.h"
#include "os/Os.h"
#include "os/World.h"

namespace install {
namespace {

// The spooler reports a driver's files with the folder that keeps them.
std::string withoutFolder(const std::string& path) {
    const size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<std::string> driverFileNames(const DRIVER_INFO_3A& driver) {
    std::vector<std::string> names;
    auto add = [&names](const char* file) {
        if (file != nullptr && !config::isNone(file)) names.push_back(config::upperAscii(withoutFolder(file)));
    };
    for (const char* file : {driver.pDriverPath, driver.pDataFile, driver.pConfigFile, driver.pHelpFile}) add(file);
    for (const char* file = driver.pDependentFiles; file != nullptr && *file != '\0'; file += std::strlen(file) + 1)
        add(file);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::vector<os::Architecture> driverArchitectures() {
    const os::Architecture machine = os::machineArchitecture();
    if (!os::sixtyFourBit(machine)) return {machine};
    return {machine, os::Architecture::X86};
}

bool installedDrivers(std::vector<InstalledDriver>* drivers, os::Architecture architecture) {
    LPSTR environment = os::environmentFor(architecture);
    DWORD needed = 0, returned = 0;
    if (!os::sys().EnumPrinterDriversA(nullptr, environment, 3, nullptr, 0, &needed, &returned) &&
        os::sys().GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return false;
    if (needed == 0) return true;
    std::vector<BYTE> buffer(needed);
    if (!os::sys().EnumPrinterDriversA(nullptr, environment, 3, buffer.data(), needed, &needed, &returned))
        return false;
    const auto* records = reinterpret_cast<const DRIVER_INFO_3A*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i)
        if (records[i].pName) drivers->push_back({records[i].pName, driverFileNames(records[i])});
    return true;
}

bool driverFilePaths(const std::string& driver, os::Architecture architecture, std::vector<std::string>* paths) {
    LPSTR environment = os::environmentFor(architecture);
    DWORD needed = 0, returned = 0;
    os::sys().EnumPrinterDriversA(nullptr, environment, 3, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 ||
        !os::sys().EnumPrinterDriversA(nullptr, environment, 3, buffer.data(), needed, &needed, &returned))
        return false;
    const auto* records = reinterpret_cast<const DRIVER_INFO_3A*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
        const DRIVER_INFO_3A& r = records[i];
        if (r.pName == nullptr || !config::equalIgnoringCase(r.pName, driver)) continue;
        for (const char* file : {r.pDriverPath, r.pDataFile, r.pConfigFile, r.pHelpFile})
            if (file && *file) paths->push_back(file);
        for (const char* file = r.pDependentFiles; file && *file; file += std::strlen(file) + 1)
            paths->push_back(file);
        return true;
    }
    return false;
}

}  // namespace install
