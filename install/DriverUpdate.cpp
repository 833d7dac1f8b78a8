#include "install/DriverUpdate.h"

#include <vector>

#include "config/TextTable.h"
#include "install/DriverPolicyCauses.h"
#include "install/FileComparison.h"
#include "install/FileStaging.h"
#include "install/InstalledDrivers.h"
#include "install/SpoolerRegistration.h"
#include "os/Os.h"
#include "os/RunningSystem.h"

namespace install {

InstalledDriverStanding installedDriverStanding(const DRIVER_INFO_3A& driver) {
    InstalledDriverStanding standing;
    const os::Architecture machine = os::machineArchitecture();
    std::vector<std::string> paths;
    if (driver.pName == nullptr || !driverFilePaths(driver.pName, machine, &paths)) return standing;
    standing.registered = true;
    for (const std::string& path : paths) {
        const std::string name = path.substr(path.find_last_of('\\') + 1);
        std::string source;
        if (!isProgramFile(name) || !mediumSource(name, machine, &source)) continue;
        uint64_t installed = 0, ours = 0;
        if (!fileVersion(path, &installed) || !fileVersion(source, &ours) || installed <= ours) continue;
        standing.newer = true;
        standing.why += (standing.why.empty() ? "" : ", ") + name + " " + versionText(installed) +
                        " is newer than the medium's " + versionText(ours);
    }
    return standing;
}

bool registerPrinterDriver(DRIVER_INFO_3A* driver, bool registered, std::string& errorText) {
    // AddPrinterDriverEx is Windows 2000's and later's; before, the one rule is the spooler's own.
    if (!registered || !os::runningSystem().ntAtLeast(5, 0)) return addPrinterDriver(driver, errorText);
    if (os::sys().AddPrinterDriverExA(nullptr, 3, reinterpret_cast<LPBYTE>(driver), APD_COPY_ALL_FILES)) return true;
    const DWORD error = os::sys().GetLastError();
    logDriverPolicyCauses("AddPrinterDriver", error);
    errorText = std::string(app::MessageTexts().GetText("IDS_ERR_ADDPRNDRV3")) + "   er = " + std::to_string(error);
    return false;
}

}  // namespace install
