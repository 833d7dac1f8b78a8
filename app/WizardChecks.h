// The checks the wizard makes as the user leaves a page: whether the chosen
// model may be installed in advanced mode, whether it supports the target
// system, and which baud rate the serial settings start with. They read the
// model's port section of its category file; what they decide the wizard
// frame shows on the pages.
#pragma once

#include <string>

namespace app {

// The entry of the port page's baud list that shows a configured rate:
// 110 0, 300 1, 1200 2, 2400 3, 4800 4, 9600 5, 19200 6, 57600 8, 115200 9;
// any other rate shows entry 7, "38400".
int baudListIndex(int baudRate);

class WizardChecks {
public:
    // Leaving the printer page forward: remembers the model's category file
    // (beside the program) and port section, and answers whether the model
    // allows the advanced mode ("AdvancedSetup" not 0).
    bool leavePrinterPage(int category, const std::string& model);

    // Going back from the mode page to the printer page: the model may
    // change, so its baud rate is preset again.
    void backToPrinterPage() { baudPresetPending_ = true; }

    struct OsPageOutcome {
        bool presetBaud = false;  // the port page takes baudRate and shows baudIndex
        int baudRate = 0;
        int baudIndex = 0;
        const char* refusal = nullptr;  // the message key when the model lacks the target
    };
    // Leaving the OS page forward for a target system: the baud preset (the
    // first time after the model was chosen) and the model's support check.
    OsPageOutcome leaveOsPage(int targetOs);

    const std::string& checkPath() const { return checkPath_; }
    const std::string& checkSection() const { return checkSection_; }
    bool baudPresetPending() const { return baudPresetPending_; }

private:
    int readModelInteger(const char* key) const;

    std::string checkPath_;
    std::string checkSection_;
    bool baudPresetPending_ = true;
};

}  // namespace app
