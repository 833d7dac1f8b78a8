#include "app/QuietQuery.h"

#include "app/QuietInstall.h"
#include "config/DriverConfig.h"
#include "install/CompatibilityRecord.h"
#include "install/InstallLog.h"
#include "install/InstallationCheck.h"
#include "install/Removal.h"
#include "os/RunningSystem.h"
#include "os/SystemDetection.h"

namespace app {
namespace {

int query(const CommandLine& line) {
    config::DriverConfig config;
    int category = -1;
    std::string model;
    if (!config.findModel(line.model, line.category, &category, &model)) {
        install::logStep("no model " + line.model + " on this disc: not installed from it");
        return kExitNothingToRemove;
    }
    // The rules the installation took: those of the system the OS page marks.
    const int targetOs = osPageChoice(os::runningSystem()).targetOs;
    install::logStep("model " + model + " of category " + std::to_string(category) + ", target system " +
                     std::to_string(targetOs));
    config.setCategory(category);
    const install::ModelParts parts = install::readModelParts(config, model, targetOs);
    const std::string where = line.port.empty() ? std::string() : " on " + line.port;
    switch (install::checkInstallation(config, parts, line.port, targetOs)) {
        case install::InstallationState::NotInstalled:
            install::logStep(model + " is not installed" + where);
            return kExitNothingToRemove;
        case install::InstallationState::Older:
            install::logStep(model + " is installed" + where + ", but older than this disc's");
            return kExitInstalledButOlder;
        case install::InstallationState::Current:
            break;
    }
    install::logStep(model + " is installed" + where + ", as new as this disc's or newer");
    return kExitInstalled;
}

}  // namespace

int runQuery(const CommandLine& line) {
    if (!line.logFile.empty()) install::setInstallLog(logPlace(line));
    install::logStep("query of " + line.model + (line.port.empty() ? "" : " on " + line.port));
    logRunningSystem();
    const int code = query(line);
    install::logStep("exit code " + std::to_string(code));
    install::setInstallLog("");
    return code;
}

}  // namespace app
