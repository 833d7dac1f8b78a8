// The port list builder of the port page: which ports the chosen model is
// offered on the target system, which of them is preselected (in advanced
// mode the one whose number the attached USB printer carries), and the
// page's controls set to match the preselected port's kind.
#include <cstring>

#include "config/ConfigNames.h"
#include "config/ProfileValues.h"
#include "install/UsbIdentity.h"
#include "pages/PortPage.h"
#include "resources/ResourceIds.h"

namespace pages {
namespace {

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

}  // namespace

void PortPage::buildPortList(const std::string& model, int targetOs, int category) {
    if (model == builtForModel_ && installMode_ == builtForMode_) return;
    builtForModel_ = model;
    builtForMode_ = installMode_;
    const bool advanced = installMode_ == 0;
    portList_.resetContent();

    const std::string file = config::moduleDirectory() + config::categoryFileCapitalised(category);
    const std::string section = config::portSection(model);
    auto key = [&](const char* name) { return config::readInteger(file, section, name, config::kFileRoom); };
    keys_.usb = key("USBSUPPORTED");
    keys_.lpt = key("LPTSUPPORTED");
    keys_.com = key("COMSUPPORTED");
    keys_.lptDefault = key("LPTDEFAULT");

    int deviceValue = install::kNoUsbPrinter;
    addPortNames(model, targetOs, advanced, &deviceValue);
    preselectPort(advanced, deviceValue);
    takeSelectedPort();
    applyPortKindRules(targetOs);
    showItem(IDC_RASTER, advanced);
    updateData(false);
}

void PortPage::addPortNames(const std::string& model, int targetOs, bool advanced, int* deviceValue) {
    if (targetOs != 0) {
        if (keys_.lpt) for (const char* port : {"LPT1:", "LPT2:", "LPT3:"}) portList_.addString(port);
        if (keys_.com)
            for (int n = 1; n <= 8; ++n) portList_.addString(("HVCOM" + std::to_string(n) + ":").c_str());
    } else {
        if (keys_.lpt) portList_.addString("LPT1:");
        if (keys_.com) for (const char* port : {"COM1:", "COM2:"}) portList_.addString(port);
    }
    // The printer is probed on every rebuild, whatever the model supports.
    *deviceValue = install::ReadUsbDeviceId();
    if (keys_.usb && targetOs != 1) {
        for (int n = 1; n <= (advanced ? 4 : 1); ++n) {
            std::string port = "USB_" + model + "_" + std::to_string(n);
            // A name the page cannot hold whole is not offered: cut, it would
            // name a port that does not exist.
            if (port.size() < kPortNameSize) portList_.addString(port.c_str());
        }
        enableSerialLists(false);
    }
}

int PortPage::findItemContaining(const char* part, const char* other) const {
    for (int i = 0; i < portList_.count(); ++i) {
        std::string text = portList_.itemText(i);
        if (contains(text, part) && (other == nullptr || contains(text, other))) return i;
    }
    return -1;
}

void PortPage::preselectPort(bool advanced, int deviceValue) {
    if (!advanced) {
        if (keys_.usb && deviceValue != install::kNoUsbPrinter) {
            int usb = findItemContaining("USB");
            if (usb >= 0) portList_.setCurrentSelection(usb);
            enableSerialLists(false);
            return;
        }
    } else {
        if (!keys_.usb) deviceValue = install::kNoUsbPrinter;
        if (!keys_.lpt) portList_.setCurrentSelection(0);
        if (deviceValue != install::kNoUsbPrinter) {
            int number = install::usbPortNumber(deviceValue);
            if (number > 4) portList_.setCurrentSelection(0);
            int usb = findItemContaining("USB", ("_" + std::to_string(number)).c_str());
            if (usb >= 0) portList_.setCurrentSelection(usb);
            enableSerialLists(false);
            return;
        }
    }
    if (keys_.lptDefault && keys_.lpt) {
        int lpt = findItemContaining("LPT");
        if (lpt >= 0) portList_.setCurrentSelection(lpt);
    } else {
        portList_.setCurrentSelection(0);
    }
}

// The builder tests "USB" first and "LPT" second; a choice of the user's
// goes through the page's own rules, which test "COM" first.
void PortPage::applyPortKindRules(int targetOs) {
    const std::string port = portName_;
    if (contains(port, "USB")) {
        checkUsbDriver(targetOs);
        enableItem(IDC_RASTER, true);
        raster_ = TRUE;
    } else if (contains(port, "LPT")) {
        hideDriverMessage();
        enableItem(IDC_RASTER, true);
        raster_ = TRUE;
        enableSerialLists(false);
    } else {
        enableSerialLists(true);
        hideDriverMessage();
        enableItem(IDC_RASTER, false);
        raster_ = FALSE;
    }
}

}  // namespace pages
