#include "install/AdditionalDriver.h"

#include <algorithm>
#include <string>
#include <vector>

#include "config/AsciiCase.h"
#include "config/ProfileValues.h"
#include "install/DriverPolicyCauses.h"
#include "install/DriverLoadPrivilege.h"
#include "install/FileStaging.h"
#include "install/InstallLog.h"
#include "install/InstalledDrivers.h"
#include "install/MediumArchitectureCheck.h"
#include "os/Os.h"
#include "os/RunningSystem.h"
#include "os/World.h"

namespace install {
namespace {

struct Placement {
    std::string name;  // upper case, as the copies name it
    int target;        // kDriverDirectory or kVersion3Directory
    bool operator==(const Placement& other) const { return name == other.name && target == other.target; }
};

// What the x86 driver needs where the spooler looks for it: what the record
// names and what the installation of the machine's own driver copies.
std::vector<Placement> x86Files(const DRIVER_INFO_3A& driver, const config::DriverFileList& files,
                                bool needsUnidrvFiles) {
    std::vector<Placement> placements;
    auto add = [&placements](const std::string& name, int target) {
        const Placement placement{config::upperAscii(name), target};
        if (config::isNone(name) || std::find(placements.begin(), placements.end(), placement) != placements.end())
            return;
        placements.push_back(placement);
    };
    for (const std::string& name : driverFileNames(driver)) add(name, kDriverDirectory);
    for (const std::string* name : {&files.config, &files.data, &files.driver, &files.help, &files.dataDll,
                                    &files.uiPlugin, &files.pluginDll, &files.pluginSettings})
        add(*name, kDriverDirectory);
    if (needsUnidrvFiles)
        for (const char* name : {"TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL"}) add(name, kDriverDirectory);
    add(files.fontFile, kVersion3Directory);
    add(files.usbIdentityFile, kVersion3Directory);
    return placements;
}

bool notRegistered(const std::string& driver, const std::string& why) {
    logStep(x86DriverLabel(driver) + " not registered: " + why);
    return false;
}

}  // namespace

std::string x86DriverLabel(const std::string& name) { return "x86 driver " + name + " for 32-bit clients"; }

bool addX86AdditionalDriver(const DRIVER_INFO_3A& driver, const config::DriverFileList& files, int targetOs,
                            bool needsUnidrvFiles) {
    if (!os::sixtyFourBit(os::machineArchitecture())) return false;
    const std::string name = driver.pName ? driver.pName : "";
    const std::vector<Placement> placements = x86Files(driver, files, needsUnidrvFiles);
    // The medium's W32 programs must be x86 builds, as its X64 ones were
    // checked to be x64 before anything was changed.
    std::vector<std::string> programs;
    for (const Placement& file : placements)
        if (isProgramFile(file.name) && !comesFromWindows(file.name, targetOs)) programs.push_back(file.name);
    const std::string refusal = mediumArchitectureRefusal(name, programs, os::Architecture::X86, app::englishText);
    if (!refusal.empty()) return notRegistered(name, refusal);
    for (const Placement& file : placements) {
        std::string copied = file.name, why;
        const int result = copyDriverFile(copied, file.target, targetOs, false, why, os::Architecture::X86);
        if (result == kCopied) continue;
        if (why.empty()) why = "the file there is in use (system error " + std::to_string(result) + ")";
        return notRegistered(name, file.name + " could not be placed in the x86 driver folder: " + why);
    }
    DRIVER_INFO_3A x86 = driver;
    x86.pEnvironment = os::environmentFor(os::Architecture::X86);
    // Registered again as the machine's own is: every file copied.
    enableDriverLoadPrivilege();
    std::vector<std::string> registered;
    const bool again = driverFilePaths(name, os::Architecture::X86, &registered);
    const BOOL added = again ? os::sys().AddPrinterDriverExA(nullptr, 3, reinterpret_cast<LPBYTE>(&x86), APD_COPY_ALL_FILES)
                             : os::sys().AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&x86));
    if (!added) {
        const DWORD error = os::sys().GetLastError();
        logDriverPolicyCauses("AddPrinterDriver", error);
        return notRegistered(name, "the spooler refused it (system error " + std::to_string(error) + ")");
    }
    logStep(x86DriverLabel(name) + " registered");
    return true;
}

}  // namespace install
