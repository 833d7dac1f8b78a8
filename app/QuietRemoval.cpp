#include "app/QuietRemoval.h"

#include "app/AdminCheck.h"
#include "app/ProgramFolderCheck.h"
#include "app/QuietInstall.h"
#include "os/SystemDetection.h"
#include "config/TextTable.h"
#include "config/DriverConfig.h"
#include "install/InstallLog.h"
#include "install/Removal.h"
#include "os/RunningSystem.h"

namespace app {
namespace {

// The system the removal reads the medium's rules for: the one the OS page
// would mark, as the installation took it.
int removalTarget() { return osPageChoice(os::runningSystem()).targetOs; }

int removeModel(const CommandLine& line) {
    if (int code = unattendedStartChecks()) return code;
    if (administratorMissing(detectTargetOs())) return endUnattended(kExitFailed, MessageTexts().GetText("IDS_ADMIN"));
    config::DriverConfig config;
    int category = -1;
    std::string model;
    if (!config.findModel(line.model, line.category, &category, &model))
        return endUnattended(kExitNothingToRemove, "no model " + line.model + " on this disc: nothing of it to remove");
    const int targetOs = removalTarget();
    install::logStep("model " + model + " of category " + std::to_string(category) + ", target system " +
                     std::to_string(targetOs));
    config.setCategory(category);
    const install::ModelParts parts = install::readModelParts(config, model, targetOs);
    const install::RemovalOutcome outcome = install::removeModel(parts, line.port, targetOs);
    if (!outcome.failure.empty()) return endUnattended(kExitFailed, "removal failed: " + outcome.failure);
    const std::string where = line.port.empty() ? std::string() : " on " + line.port;
    if (!outcome.anyInstalled || (!line.port.empty() && outcome.printers == 0))
        return endUnattended(kExitNothingToRemove, "nothing of " + model + " is installed" + where);
    const std::string summary = "removed " + model + where + " (" + std::to_string(outcome.printers) +
                                " printer(s), " + std::to_string(outcome.drivers) + " driver(s))";
    if (outcome.restartNeeded) return endUnattended(kExitRestartNeeded, summary + "; Windows must be restarted");
    return endUnattended(kExitInstalled, summary);
}

}  // namespace

int runQuietRemoval(const CommandLine& line) {
    const std::string what = "unattended removal of " + line.model + (line.port.empty() ? "" : " on " + line.port);
    return runUnattended(line, what, [&] {
        install::HeldProgramFolder held;
        if (int code = holdProgramFolder(held)) return code;
        return removeModel(line);
    });
}

}  // namespace app
