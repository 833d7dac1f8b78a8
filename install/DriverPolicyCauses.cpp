#include "install/DriverPolicyCauses.h"

#include "install/InstallLog.h"
#include "os/Os.h"
#include "os/RunningSystem.h"

namespace install {
namespace {

const DWORD kWindows11v22h2 = 22621;
const DWORD kFirstBuildWithProtectedPrint = 26100;

}  // namespace

void logDriverPolicyCauses(const std::string& call, DWORD error) {
    const os::RunningSystem system = os::runningSystem();
    if (!system.ntAtLeast(10, 0) || system.build < kWindows11v22h2) {
        os::sys().SetLastError(error);
        return;
    }
    std::string causes = call + " refused (system error " + std::to_string(error) + "); Windows may refuse it for ";
    if (system.build >= kFirstBuildWithProtectedPrint)
        causes += "protected print mode (Windows 11 24H2 and Server 2025 on: the spooler then takes no driver but "
                  "Windows' own), ";
    causes += "the policy \"Limits print driver installation to Administrators\" "
              "(RestrictDriverInstallationToAdministrators; it applies to callers that are not administrators), "
              "or \"Point and Print Restrictions\" and \"Only use Package Point and print\" (they apply to "
              "printer connections to a print server, not to a driver installed on this computer)";
    logStep(causes);
    os::sys().SetLastError(error);
}

}  // namespace install
