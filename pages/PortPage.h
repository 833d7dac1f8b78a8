// The port page, the wizard's last: the printer's port from a sorted list,
// the serial line settings when the port is a serial one, and in advanced
// mode the raster graphic printing option (the GDI driver flavour). Under
// them a message warns when a USB port is chosen and the USB class driver is
// not installed. The port list is built by the port list builder each time
// the wizard arrives here (PortList.cpp).
#pragma once

#include <string>

#include "pages/CStaticEx.h"
#include "pages/WizardPage.h"
#include "ui/Controls.h"

namespace pages {

class PortPage : public WizardPage {
public:
    // Room of the port name, its terminating zero included: every port name
    // of a model name of up to 45 characters fits.
    static constexpr size_t kPortNameSize = 52;

    PortPage();

    // Bits per second: the model's configured rate as the frame preset it,
    // or the rate the user picked from the list since.
    int baudRate() const { return baudRate_; }
    // Stores a configured rate unchanged and shows the list entry `index`
    // (an unlisted rate shows "38400" and is still handed on as configured).
    void presetBaudRate(int rate, int index);
    int baudListSelection() const { return baudList_.currentSelection(); }
    int byteSize() const { return byteSize_; }
    double stopBits() const { return stopBits_; }
    // The first character of the chosen parity text, case kept.
    char parity() const { return parity_; }
    // 'x' Xon/Xoff, 'p' hardware, ' ' none.
    char flowControl() const { return flowControl_; }
    // The chosen port; empty when none is chosen.
    const char* portName() const { return portName_; }
    // 1: the GDI driver flavour (raster graphic printing), 0: STD.
    BOOL raster() const { return raster_; }

    // InstallMode the port list is built for (1 typical, 0 advanced).
    int installMode() const { return installMode_; }
    void setInstallMode(int mode) { installMode_ = mode; }

    // The port list builder: the ports the model supports on the target
    // system, one preselected, the controls set to match. Typical variant for
    // install mode 1, advanced for 0. Rebuilds only when the model or the
    // mode changed since the last build.
    void buildPortList(const std::string& model, int targetOs, int category);

protected:
    BOOL onInitDialog() override;
    void doDataExchange(ui::DataExchange& exchange) override;
    bool onCommand(int id, int code, HWND control) override;
    void onShowWindow(bool show, UINT status) override;
    bool preTranslateMessage(MSG& message) override;

private:
    void fillSerialLists();
    void styleDriverMessage();
    void baudRateChanged();
    void serialSettingChanged(int id);
    void portChanged();
    // The port name becomes the selected item's text (empty without one, or
    // when it does not fit).
    void takeSelectedPort();
    void enableSerialLists(bool on) const;
    // Shows the driver message when a USB class driver is missing; only for
    // the systems that have one (not Windows 98/Me or NT 4.0).
    void checkUsbDriver(int targetOs);
    void hideDriverMessage() { driverMessage_.show(SW_HIDE); }
    int targetOsChosen() const;

    // The port list builder's rules for the preselected port (PortList.cpp).
    void applyPortKindRules(int targetOs);

    char portName_[kPortNameSize] = {};
    int baudRate_ = 0;
    int byteSize_ = 8;
    double stopBits_ = 1.0;
    char parity_ = 'n';
    char flowControl_ = 'p';
    BOOL raster_ = FALSE;
    int installMode_ = 1;
    // What the list was last built for.
    std::string builtForModel_ = "PRINTER";
    int builtForMode_ = 1;

    ui::ComboBox portList_;
    ui::ComboBox baudList_;
    ui::ComboBox byteSizeList_;
    ui::ComboBox parityList_;
    ui::ComboBox stopBitsList_;
    ui::ComboBox flowControlList_;
    ui::ToolTip toolTip_;
    CStaticEx driverMessage_;
};

}  // namespace pages
