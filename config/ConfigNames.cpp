#include "config/ConfigNames.h"

namespace config {

const char* const kSetupFile = "DRVCONFIG\\setup.ini";

const char* categoryFileLower(int category) {
    static const char* const names[kCategoryCount] = {
        "DRVCONFIG\\setup_receipt.ini", "DRVCONFIG\\setup_ticket.ini",
        "DRVCONFIG\\setup_lable.ini", "DRVCONFIG\\setup_embedded.ini"};
    return category >= 0 && category < kCategoryCount ? names[category] : "";
}

const char* categoryFileCapitalised(int category) {
    static const char* const names[kCategoryCount] = {
        "DRVCONFIG\\setup_receipt.ini", "DRVCONFIG\\setup_Ticket.ini",
        "DRVCONFIG\\setup_Lable.ini", "DRVCONFIG\\setup_Embedded.ini"};
    return category >= 0 && category < kCategoryCount ? names[category] : "";
}

const char* osSuffix(int targetOs) {
    static const char* const suffixes[kTargetOsCount] = {"98",   "NT",    "2K",   "XP",
                                                         "2003", "Vista", "2008", "Win7"};
    return targetOs >= 0 && targetOs < kTargetOsCount ? suffixes[targetOs] : suffixes[0];
}

std::string modelSection(const std::string& model, int targetOs) {
    return model + "." + osSuffix(targetOs);
}

std::string portSection(const std::string& model) { return model + ".PORT"; }

std::string monitorSection(int targetOs) { return std::string("COMMON-MONITOR.") + osSuffix(targetOs); }

TargetRequirement targetRequirement(int targetOs) {
    switch (targetOs) {
        case 1: return {"SystemNTSupported", "IDS_NOTSUPPORTNT"};
        case 4: return {"System2003Supported", "IDS_NOTSUPPORT2003"};
        case 5: return {"SystemVistaSupported", "IDS_NOTSUPPORTVISTA"};
        case 6: return {"System2008Supported", "IDS_NOTSUPPORT2008"};
        case 7: return {"SystemWin7Supported", "IDS_NOTSUPPORTWin7"};
        default: return {nullptr, nullptr};
    }
}

}  // namespace config
