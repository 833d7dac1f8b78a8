// The port page: the printer's port and the serial line settings. So far it
// holds what the wizard frame presets before the page is first seen: the
// baud rate and its list.
#pragma once

#include "pages/WizardPage.h"
#include "ui/Controls.h"

namespace pages {

class PortPage : public WizardPage {
public:
    PortPage();

    // Bits per second: the model's configured rate as the frame preset it,
    // or the rate the user picked from the list since.
    int baudRate() const { return baudRate_; }
    // Stores a configured rate unchanged and shows the list entry `index`
    // (an unlisted rate shows "38400" and is still handed on as configured).
    void presetBaudRate(int rate, int index);
    int baudListSelection() const { return baudList_.currentSelection(); }

    // InstallMode the port list is built for (1 typical, 0 advanced).
    int installMode() const { return installMode_; }
    void setInstallMode(int mode) { installMode_ = mode; }

protected:
    BOOL onInitDialog() override;
    void doDataExchange(ui::DataExchange& exchange) override;
    bool onCommand(int id, int code, HWND control) override;

private:
    void baudRateChanged();

    int baudRate_ = 0;
    int installMode_ = 1;
    ui::ComboBox baudList_;
};

}  // namespace pages
