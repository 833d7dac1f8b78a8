#include "pages/PortPage.h"

#include <cstdlib>
#include <cstring>

#include "config/ProfileValues.h"
#include "install/UsbClassDriver.h"
#include "os/DisplaySettings.h"
#include "pages/OsPage.h"
#include "resources/ResourceIds.h"

namespace pages {
namespace {

// The parity and flow-control items, in the order the lists show them, with
// the code each stands for.
const struct {
    const char* key;
    char code;
} kParities[] = {{"Parity.Even", 'E'}, {"Parity.Mark", 'M'}, {"Parity.None", 'N'},
                 {"Parity.Odd", 'O'},   {"Parity.Space", 'S'}};
const struct {
    const char* key;
    const char* english;
    char code;
} kFlowControls[] = {{"Protocol.None", "None", ' '},
                     {"Protocol.Xonoff", "Xon/Xoff", 'x'},
                     {"Protocol.Hardware", "Hardware", 'p'}};

const int kSerialLists[] = {IDC_BAUD_LIST, IDC_BYTE_SIZE_LIST, IDC_PARITY_LIST, IDC_STOP_BITS_LIST,
                            IDC_FLOW_CONTROL_LIST};

bool contains(const char* text, const char* part) { return std::strstr(text, part) != nullptr; }

}  // namespace

PortPage::PortPage() : WizardPage(IDD_PORT_PAGE) {}

BOOL PortPage::onInitDialog() {
    WizardPage::onInitDialog();
    applySharedFont();
    fillSerialLists();
    toolTip_.create(hwnd());
    toolTip_.activate(true);
    toolTip_.setMaxTipWidth(200);
    toolTip_.addTool(item(IDC_RASTER), IDS_F1_HELP_TIP);
    styleDriverMessage();
    builtForModel_ = "PRINTER";
    builtForMode_ = 1;
    installMode_ = 1;
    return TRUE;
}

void PortPage::fillSerialLists() {
    app::TextTable texts("Confirm");
    for (const auto& parity : kParities) parityList_.addString(texts.GetText(parity.key));
    portList_.setCurrentSelection(0);
    byteSizeList_.setCurrentSelection(3);
    stopBitsList_.setCurrentSelection(0);
    parityList_.setCurrentSelection(2);
    for (const auto& flow : kFlowControls) flowControlList_.addString(texts.GetText(flow.key));
    flowControlList_.setCurrentSelection(2);
    stopBits_ = 1.0;
    byteSize_ = 8;
    parity_ = 'n';
    flowControl_ = 'p';
}

void PortPage::styleDriverMessage() {
    // In high contrast the user's colours for a dialog's text stand instead of ours.
    if (os::highContrastOn())
        driverMessage_.setTextColour(GetSysColor(COLOR_BTNTEXT)).setBackgroundColour(GetSysColor(COLOR_BTNFACE));
    else
        driverMessage_.setTextColour(RGB(0, 0, 255)).setBackgroundColour(RGB(255, 202, 253));
    driverMessage_.setCharacterHeight(14).setFaceName("Arial");
}

void PortPage::doDataExchange(ui::DataExchange& exchange) {
    exchange.control(IDC_DRIVER_MESSAGE, driverMessage_);
    exchange.control(IDC_PORT_LIST, portList_);
    exchange.control(IDC_BAUD_LIST, baudList_);
    exchange.control(IDC_BYTE_SIZE_LIST, byteSizeList_);
    exchange.control(IDC_PARITY_LIST, parityList_);
    exchange.control(IDC_STOP_BITS_LIST, stopBitsList_);
    exchange.control(IDC_FLOW_CONTROL_LIST, flowControlList_);
    exchange.check(IDC_RASTER, raster_);
}

void PortPage::presetBaudRate(int rate, int index) {
    baudRate_ = rate;
    baudList_.setCurrentSelection(index);
}

bool PortPage::onCommand(int id, int code, HWND control) {
    if (code == CBN_SELCHANGE) {
        if (id == IDC_PORT_LIST) {
            portChanged();
            return true;
        }
        for (int list : kSerialLists) {
            if (id == list) {
                serialSettingChanged(id);
                return true;
            }
        }
    }
    return WizardPage::onCommand(id, code, control);
}

// Only the changed setting is stored; no other control changes.
void PortPage::serialSettingChanged(int id) {
    switch (id) {
        case IDC_BAUD_LIST: {
            std::string text = baudList_.selectedText();
            if (!text.empty()) baudRate_ = config::parseDecimal(text);
            break;
        }
        case IDC_BYTE_SIZE_LIST: {
            std::string text = byteSizeList_.selectedText();
            if (!text.empty()) byteSize_ = config::parseDecimal(text);
            break;
        }
        case IDC_STOP_BITS_LIST: {
            std::string text = stopBitsList_.selectedText();
            if (!text.empty()) stopBits_ = std::strtod(text.c_str(), nullptr);
            break;
        }
        case IDC_PARITY_LIST: {
            // The code by the item's place rather than its text's first
            // character, which in a Chinese text is half a character; for
            // the English texts the two agree.
            int index = parityList_.currentSelection();
            if (index >= 0 && index < static_cast<int>(sizeof kParities / sizeof kParities[0]))
                parity_ = kParities[index].code;
            break;
        }
        case IDC_FLOW_CONTROL_LIST: {
            // The English texts, and whatever the language file calls them.
            std::string text = flowControlList_.selectedText();
            app::TextTable texts("Confirm");
            for (const auto& flow : kFlowControls)
                if (text == flow.english || text == texts.GetText(flow.key)) flowControl_ = flow.code;
            break;
        }
    }
}

void PortPage::takeSelectedPort() {
    int selected = portList_.currentSelection();
    if (selected < 0 || !portList_.itemText(selected, portName_, sizeof portName_))
        portName_[0] = '\0';
}

void PortPage::portChanged() {
    takeSelectedPort();
    if (contains(portName_, "COM")) {
        enableSerialLists(true);
        enableItem(IDC_RASTER, false);
        hideDriverMessage();
        raster_ = FALSE;
    } else {
        enableSerialLists(false);
        enableItem(IDC_RASTER, true);
        raster_ = TRUE;
        if (contains(portName_, "USB"))
            checkUsbDriver(targetOsChosen());
        else
            hideDriverMessage();
    }
    updateData(false);
}

void PortPage::enableSerialLists(bool on) const {
    for (int list : kSerialLists) enableItem(list, on);
}

int PortPage::targetOsChosen() const {
    OsPage* osPage = osPageReference();
    return osPage ? osPage->targetOs() : 0;
}

void PortPage::checkUsbDriver(int targetOs) {
    if (targetOs == 0 || targetOs == 1) return;
    if (install::FileVersionText(install::installedUsbDriverPath()) == "0.0.0.0") {
        driverMessage_.setText(app::MessageTexts().GetText("IDS_ERR_UPDATEUSB"));
        driverMessage_.show(SW_SHOW);
    } else {
        hideDriverMessage();
    }
}

void PortPage::onShowWindow(bool show, UINT status) {
    WizardPage::onShowWindow(show, status);
    app::TextTable texts("Confirm");
    setItemTextFrom(texts, IDC_PORT_GROUP, "Set");
    setItemTextFrom(texts, IDC_PORTS_LABEL, "Ports");
    setItemTextFrom(texts, IDC_COM_GROUP, "Com");
    setItemTextFrom(texts, IDC_BAUD_LABEL, "BaudRate");
    setItemTextFrom(texts, IDC_PARITY_LABEL, "Parity");
    setItemTextFrom(texts, IDC_BYTE_SIZE_LABEL, "ByteSize");
    setItemTextFrom(texts, IDC_STOP_BITS_LABEL, "StopBits");
    setItemTextFrom(texts, IDC_PROTOCOL_LABEL, "Protocol");
    setItemTextFrom(texts, IDC_RASTER, "Raster");
}

bool PortPage::preTranslateMessage(MSG& message) {
    toolTip_.relayEvent(message);
    return WizardPage::preTranslateMessage(message);
}

}  // namespace pages
