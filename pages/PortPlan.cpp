#include "pages/PortPlan.h"

#include <algorithm>

#include "config/AsciiCase.h"
#include "config/ConfigNames.h"
#include "config/ProfileValues.h"

namespace pages {
namespace {

constexpr size_t kPortNameRoom = 51;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The list sorts without regard to case.
bool before(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return config::upperAscii(x) < config::upperAscii(y); });
}

int firstContaining(const std::vector<std::string>& ports, const std::string& part,
                    const std::string& other = std::string()) {
    for (size_t i = 0; i < ports.size(); ++i)
        if (contains(ports[i], part) && contains(ports[i], other)) return static_cast<int>(i);
    return -1;
}

}  // namespace

PortKeys readPortKeys(const std::string& model, int category) {
    const std::string file = config::moduleDirectory() + config::categoryFileCapitalised(category);
    const std::string section = config::portSection(model);
    auto key = [&](const char* name) { return config::readInteger(file, section, name, config::kFileRoom); };
    PortKeys keys;
    keys.usb = key("USBSUPPORTED");
    keys.lpt = key("LPTSUPPORTED");
    keys.com = key("COMSUPPORTED");
    keys.lptDefault = key("LPTDEFAULT");
    return keys;
}

PortPlan planPortList(const PortKeys& keys, const std::string& model, int targetOs, bool advanced,
                      int deviceValue) {
    PortPlan plan;
    std::vector<std::string>& ports = plan.ports;
    if (targetOs != 0) {
        if (keys.lpt) ports.insert(ports.end(), {"LPT1:", "LPT2:", "LPT3:"});
        if (keys.com)
            for (int n = 1; n <= 8; ++n) ports.push_back("HVCOM" + std::to_string(n) + ":");
    } else {
        if (keys.lpt) ports.push_back("LPT1:");
        if (keys.com) ports.insert(ports.end(), {"COM1:", "COM2:"});
    }
    if (keys.usb && targetOs != 1) {
        for (int n = 1; n <= (advanced ? 4 : 1); ++n) {
            std::string port = "USB_" + model + "_" + std::to_string(n);
            if (port.size() <= kPortNameRoom) ports.push_back(port);
        }
        plan.serialListsDisabled = true;
    }
    std::stable_sort(ports.begin(), ports.end(), before);
    const int none = -1;  // ReadUsbDeviceId: no printer
    auto select = [&](int index) {
        if (index >= 0 && index < static_cast<int>(ports.size())) plan.selected = index;
    };
    if (!advanced) {
        if (keys.usb && deviceValue != none) {
            select(firstContaining(ports, "USB"));
            plan.serialListsDisabled = true;
            return plan;
        }
    } else {
        if (!keys.usb) deviceValue = none;
        if (!keys.lpt) select(0);
        if (deviceValue != none) {
            int number = deviceValue % 8 + 1;
            if (number > 4) select(0);
            select(firstContaining(ports, "USB", "_" + std::to_string(number)));
            plan.serialListsDisabled = true;
            return plan;
        }
    }
    if (keys.lptDefault && keys.lpt)
        select(firstContaining(ports, "LPT"));
    else
        select(0);
    return plan;
}

}  // namespace pages
