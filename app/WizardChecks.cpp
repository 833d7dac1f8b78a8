#include "app/WizardChecks.h"

#include "os/SystemDetection.h"
#include "config/ConfigNames.h"
#include "config/ProfileValues.h"

namespace app {

int baudListIndex(int baudRate) {
    switch (baudRate) {
        case 110: return 0;
        case 300: return 1;
        case 1200: return 2;
        case 2400: return 3;
        case 4800: return 4;
        case 9600: return 5;
        case 19200: return 6;
        case 57600: return 8;
        case 115200: return 9;
        default: return 7;
    }
}

int WizardChecks::readModelInteger(const char* key) const {
    return config::readInteger(checkPath_, checkSection_, key, config::kFileRoom);
}

bool WizardChecks::leavePrinterPage(int category, const std::string& model) {
    // Without a category only the program's directory is left: no file is
    // read, so every key reads as 0.
    checkPath_ = config::moduleDirectory() + config::categoryFileCapitalised(category);
    checkSection_ = config::portSection(model);
    return readModelInteger("AdvancedSetup") != 0;
}

WizardChecks::OsPageOutcome WizardChecks::leaveOsPage(int targetOs) {
    OsPageOutcome outcome;
    if (baudPresetPending_) {
        outcome.presetBaud = true;
        outcome.baudRate = readModelInteger("BaudRate");
        outcome.baudIndex = baudListIndex(outcome.baudRate);
        baudPresetPending_ = false;
    }
    config::TargetRequirement requirement = config::targetRequirement(targetOs);
    if (requirement.supportKey != nullptr && readModelInteger(requirement.supportKey) == 0)
        outcome.refusal = requirement.refusal;
    return outcome;
}

}  // namespace app
