// Which ports the port list offers a model on a target system and which of
// them it preselects: the port list builder's decisions, apart from the
// page's controls, so that an unattended installation takes the same port
// the wizard would.
#pragma once

#include <string>
#include <vector>

namespace pages {

// The model's port section of its category file.
struct PortKeys {
    int usb = 0, lpt = 0, com = 0, lptDefault = 0;
};
PortKeys readPortKeys(const std::string& model, int category);

struct PortPlan {
    // In the order the sorted list shows them: serial, parallel, USB.
    std::vector<std::string> ports;
    int selected = -1;  // into ports; -1: none
    // Whether the builder disables the serial settings on its way to the
    // selection (the port-kind rules that follow may enable them again).
    bool serialListsDisabled = false;
};

// `deviceValue` is ReadUsbDeviceId's answer: the attached USB printer's
// identity, -1 for none, -2 for several. USB names that a port name of 51
// characters cannot hold are not offered: cut, they would name no port.
PortPlan planPortList(const PortKeys& keys, const std::string& model, int targetOs, bool advanced,
                      int deviceValue);

// Where a port name leaves the raster option: parallel and USB ports print
// raster graphics (the GDI flavour) unless the user says otherwise in
// advanced mode; serial ports do not.
inline bool rasterByPortKind(const std::string& port) {
    return port.find("USB") != std::string::npos || port.find("LPT") != std::string::npos;
}

}  // namespace pages
