// The port list builder of the port page: the ports the plan offers
// (PortPlan), its preselection, and the page's controls set to match the
// preselected port's kind.
#include "install/UsbIdentity.h"
#include "pages/PortPage.h"
#include "pages/PortPlan.h"
#include "resources/ResourceIds.h"

namespace pages {

void PortPage::buildPortList(const std::string& model, int targetOs, int category) {
    if (model == builtForModel_ && installMode_ == builtForMode_) return;
    builtForModel_ = model;
    builtForMode_ = installMode_;
    const bool advanced = installMode_ == 0;
    const PortKeys keys = readPortKeys(model, category);
    // The printer is probed on every rebuild, whatever the model supports.
    const int deviceValue = install::ReadUsbDeviceId();
    const PortPlan plan = planPortList(keys, model, targetOs, advanced, deviceValue);
    portList_.resetContent();
    for (const std::string& port : plan.ports) portList_.addString(port.c_str());
    if (plan.serialListsDisabled) enableSerialLists(false);
    if (plan.selected >= 0)
        portList_.setCurrentSelection(portList_.findStringExact(-1, plan.ports[plan.selected].c_str()));
    takeSelectedPort();
    applyPortKindRules(targetOs);
    showItem(IDC_RASTER, advanced);
    updateData(false);
}

// The builder tests "USB" first and "LPT" second; a choice of the user's
// goes through the page's own rules, which test "COM" first.
void PortPage::applyPortKindRules(int targetOs) {
    const std::string port = portName_;
    if (port.find("USB") != std::string::npos) {
        checkUsbDriver(targetOs);
        enableItem(IDC_RASTER, true);
        raster_ = TRUE;
    } else if (port.find("LPT") != std::string::npos) {
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
