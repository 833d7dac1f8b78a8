// The port page with real controls on the simulated Windows: the port list
// the builder offers and preselects for each model, system, mode and
// attached USB printer; what a new choice of port or setting changes; and
// the progress window's animation on the simulated clock.
#include "WizardTestSupport.h"

#include <algorithm>

#include "UiTestSupport.h"
#include "install/UsbClassDriver.h"
#include "pages/ProgressWindow.h"
#include "resources/ResourceIds.h"

namespace {

using wizardtest::portSection;
using wizardtest::text;

// A file of the build's test data, read from the host.
std::string hostFile(const std::string& name) {
    std::string path = TESTDATA_DIR;
    for (char& c : path)
        if (c == '/') c = '\\';
    HANDLE file = CreateFileA(("Z:" + path + "\\" + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    std::string content;
    if (file == INVALID_HANDLE_VALUE) return content;
    content.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!content.empty()) ReadFile(file, &content[0], static_cast<DWORD>(content.size()), &read, nullptr);
    CloseHandle(file);
    return content;
}

const int kSerialLists[] = {IDC_BAUD_LIST, IDC_BYTE_SIZE_LIST, IDC_PARITY_LIST, IDC_STOP_BITS_LIST,
                            IDC_FLOW_CONTROL_LIST};

class PortPageTest : public wizardtest::WizardFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(port.create(host_.hwnd()));
        port.show(SW_SHOW);
    }

    std::vector<std::string> ports() {
        std::vector<std::string> items;
        HWND list = port.item(IDC_PORT_LIST);
        for (int i = 0; i < SendMessageW(list, CB_GETCOUNT, 0, 0); ++i) {
            char buffer[256] = {};
            SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer));
            items.push_back(buffer);
        }
        return items;
    }
    // The five serial lists change together; -1 when they disagree.
    int serialListsEnabled() {
        int enabled = enabledOn(port, kSerialLists[0]);
        for (int list : kSerialLists)
            if (enabledOn(port, list) != (enabled != 0)) return -1;
        return enabled;
    }
    bool rasterVisible() { return IsWindowVisible(port.item(IDC_RASTER)) != FALSE; }
    void chooseText(int listId, const std::string& wanted) {
        std::vector<std::string> items = ports();
        if (listId == IDC_PORT_LIST) {
            auto at = std::find(items.begin(), items.end(), wanted);
            ASSERT_NE(at, items.end()) << wanted;
            choose(port, listId, static_cast<int>(at - items.begin()));
        }
    }
    void build(const std::string& model, int targetOs, int mode) {
        port.setInstallMode(mode);
        port.buildPortList(model, targetOs, 0);
    }

    uitest::Host host_;
};

TEST_F(PortPageTest, TheBuilderOffersAndPreselectsThePortsOfTheModel) {
    const std::string all = "USBSUPPORTED=1\r\nLPTSUPPORTED=1\r\nCOMSUPPORTED=1\r\n";
    const std::vector<std::string> serialAndParallel = {
        "HVCOM1:", "HVCOM2:", "HVCOM3:", "HVCOM4:", "HVCOM5:", "HVCOM6:", "HVCOM7:", "HVCOM8:",
        "LPT1:",   "LPT2:",   "LPT3:"};
    const std::vector<std::string> unchecked = {"(not looked at)"};
    struct Row {
        const char* what;
        std::string model;
        std::string keys;  // of the model's port section; empty: no section
        int targetOs;
        int mode;          // 1 typical, 0 advanced
        int deviceValue;   // of the one attached USB printer; -1: none; -2: two printers
        std::vector<std::string> offered;  // `unchecked`: not looked at
        const char* selected;
        int serial;        // serial lists enabled
        bool raster;       // raster box enabled and ticked
    } rows[] = {
        {"serial first", "M", "LPTSUPPORTED=1\r\nCOMSUPPORTED=1", 3, 1, -1, serialAndParallel,
         "HVCOM1:", 1, false},
        {"parallel by default", "M", "LPTSUPPORTED=1\r\nCOMSUPPORTED=1\r\nLPTDEFAULT=1", 3, 1, -1,
         serialAndParallel, "LPT1:", 0, true},
        {"Windows 98/Me ports", "M", "LPTSUPPORTED=1\r\nCOMSUPPORTED=1", 0, 1, -1,
         {"COM1:", "COM2:", "LPT1:"}, "COM1:", 1, false},
        {"no USB on NT 4.0", "M", all, 1, 0, -1, serialAndParallel, "HVCOM1:", 1, false},
        {"typical: one USB port, taken when a printer is there", "M", all, 3, 1, 10, unchecked, "USB_M_1", 0, true},
        {"typical without a printer", "M", all, 3, 1, -1, unchecked, "HVCOM1:", 1, false},
        {"typical: two printers are told of and the USB port is taken", "M", all, 3, 1, -2, unchecked, "USB_M_1", 0, true},
        {"advanced: two printers are told of and match no USB port", "M", all, 3, 0, -2, unchecked, "", 1, false},
        {"advanced: the printer's number", "M", all, 3, 0, 10, unchecked, "USB_M_3", 0, true},
        {"advanced: a number beyond the four ports", "M", all, 3, 0, 6, unchecked, "HVCOM1:", 1, false},
        {"advanced without a printer", "M", all + "LPTDEFAULT=1", 3, 0, -1, unchecked, "LPT1:", 0, true},
        {"advanced, USB only", "M", "USBSUPPORTED=1", 3, 0, -1,
         {"USB_M_1", "USB_M_2", "USB_M_3", "USB_M_4"}, "USB_M_1", 0, true},
        {"a model name that carries _2 itself", "P_2", "USBSUPPORTED=1", 3, 0, 9, unchecked, "USB_P_2_1", 0, true},
        {"no port section", "M", "", 3, 1, -1, {}, "", 1, false},
        {"a USB name too long for the page is not offered", std::string(46, 'L'), "USBSUPPORTED=1\r\nLPTSUPPORTED=1",
         3, 0, -1, {"LPT1:", "LPT2:", "LPT3:"}, "LPT1:", 0, true},
    };
    std::string previousModel;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        categoryFile(0, row.keys.empty() ? "" : portSection(row.model, row.keys));
        for (int i = 0; i < 8; ++i) sim.usb().detach(i);
        if (row.deviceValue >= 0) sim.usb().attach(static_cast<WORD>(row.deviceValue));
        if (row.deviceValue == -2) {
            sim.usb().attach(1);
            sim.usb().attach(2);
        }
        // Another mode each time, so that the list is built again.
        build("(none)", row.targetOs, 1 - row.mode);
        sim.desktop().messageBoxes().clear();
        build(row.model, row.targetOs, row.mode);
        EXPECT_EQ(messages(), row.deviceValue == -2 ? std::vector<std::string>{text("Message", "IDS_ERR_ONEPRINTER")}
                                                    : std::vector<std::string>{});
        if (row.offered != unchecked) EXPECT_EQ(ports(), row.offered);
        EXPECT_STREQ(port.portName(), row.selected);
        EXPECT_EQ(itemText(port, IDC_PORT_LIST), row.selected);
        EXPECT_EQ(serialListsEnabled(), row.serial);
        EXPECT_EQ(enabledOn(port, IDC_RASTER), row.raster);
        EXPECT_EQ(checked(port, IDC_RASTER), row.raster);
        EXPECT_EQ(port.raster(), row.raster ? TRUE : FALSE);
        EXPECT_EQ(rasterVisible(), row.mode == 0);
    }
}

TEST_F(PortPageTest, TheListIsBuiltAgainOnlyForAnotherModelOrMode) {
    categoryFile(0, portSection("M", "USBSUPPORTED=1\r\nLPTSUPPORTED=1") +
                        portSection("N", "LPTSUPPORTED=1"));
    build("M", 3, 1);
    // Each probe of the USB printer loads the USB library.
    const auto probes = [this] { return sim.calls("LoadLibraryExA").size() + sim.calls("LoadLibraryA").size(); };
    const size_t probed = probes();
    ASSERT_GT(probed, 0u);
    chooseText(IDC_PORT_LIST, "LPT2:");
    build("M", 3, 1);
    EXPECT_EQ(probes(), probed);  // the USB printer is not probed again
    EXPECT_STREQ(port.portName(), "LPT2:");               // and the user's choice stays
    build("M", 3, 0);
    EXPECT_EQ(ports().size(), 7u);
    build("N", 3, 0);
    EXPECT_EQ(ports(), (std::vector<std::string>{"LPT1:", "LPT2:", "LPT3:"}));
}

TEST_F(PortPageTest, AChosenPortSetsTheSerialListsTheRasterOptionAndTheDriverMessage) {
    categoryFile(0, portSection("M", "USBSUPPORTED=1\r\nLPTSUPPORTED=1\r\nCOMSUPPORTED=1"));
    osPage.create(host_.hwnd());  // Windows XP: the driver message is shown when bulkusb.sys is missing
    build("M", 3, 0);
    HWND message = port.item(IDC_DRIVER_MESSAGE);
    struct Row {
        const char* port;
        int serial;
        bool raster;
        bool message;
    } rows[] = {{"LPT1:", 0, true, false}, {"USB_M_2", 0, true, true}, {"HVCOM3:", 1, false, false},
                {"USB_M_4", 0, true, true}, {"LPT3:", 0, true, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.port);
        chooseText(IDC_PORT_LIST, row.port);
        EXPECT_STREQ(port.portName(), row.port);
        EXPECT_EQ(serialListsEnabled(), row.serial);
        EXPECT_EQ(enabledOn(port, IDC_RASTER), row.raster);
        EXPECT_EQ(checked(port, IDC_RASTER), row.raster);
        EXPECT_EQ(IsWindowVisible(message) != FALSE, row.message);
    }
    chooseText(IDC_PORT_LIST, "USB_M_1");
    EXPECT_EQ(itemText(port, IDC_DRIVER_MESSAGE), text("Message", "IDS_ERR_UPDATEUSB"));
    // A file without a version is no class driver; one with a version is.
    sim.files().writeFile(install::installedUsbDriverPath(), std::string("MZ"));
    chooseText(IDC_PORT_LIST, "USB_M_2");
    EXPECT_TRUE(IsWindowVisible(message));
    sim.files().writeFile(install::installedUsbDriverPath(), hostFile("pe\\ver1001.dll"));
    chooseText(IDC_PORT_LIST, "USB_M_3");
    EXPECT_FALSE(IsWindowVisible(message));
}

TEST_F(PortPageTest, SerialSettingsAreStoredAsChosenAndTheLabelsComeFromTheLanguageFile) {
    EXPECT_EQ(port.byteSize(), 8);
    EXPECT_EQ(port.stopBits(), 1.0);
    EXPECT_EQ(port.parity(), 'n');
    EXPECT_EQ(port.flowControl(), 'p');
    EXPECT_EQ(itemText(port, IDC_PARITY_LIST), text("Confirm", "Parity.None"));
    EXPECT_EQ(itemText(port, IDC_FLOW_CONTROL_LIST), text("Confirm", "Protocol.Hardware"));
    choose(port, IDC_BAUD_LIST, 2);
    choose(port, IDC_BYTE_SIZE_LIST, 0);
    choose(port, IDC_STOP_BITS_LIST, 1);
    choose(port, IDC_PARITY_LIST, 0);
    choose(port, IDC_FLOW_CONTROL_LIST, 1);
    EXPECT_EQ(port.baudRate(), 1200);
    EXPECT_EQ(port.byteSize(), 5);
    EXPECT_EQ(port.stopBits(), 1.5);
    EXPECT_EQ(port.parity(), 'E');
    EXPECT_EQ(port.flowControl(), 'x');
    choose(port, IDC_FLOW_CONTROL_LIST, 0);
    EXPECT_EQ(port.flowControl(), ' ');
    // A preset rate that the list lacks shows 38400 and is handed on as configured.
    port.presetBaudRate(1000, 7);
    EXPECT_EQ(itemText(port, IDC_BAUD_LIST), "38400");
    EXPECT_EQ(port.baudRate(), 1000);

    port.show(SW_SHOW);
    for (auto [id, key] : std::vector<std::pair<int, const char*>>{
             {IDC_PORT_GROUP, "Set"}, {IDC_COM_GROUP, "Com"}, {IDC_PROTOCOL_LABEL, "Protocol"},
             {IDC_RASTER, "Raster"}})
        EXPECT_EQ(itemText(port, id), text("Confirm", key));
}

// --- The progress window ---------------------------------------------------------

class ProgressWindowTest : public wizardtest::WizardFixture {
protected:
    // Runs the window until it closes itself; the worker reports `status` at
    // `reportAt` ms of the machine's clock (never when 0).
    std::vector<DWORD> run(int targetOs, int status, DWORD reportAt) {
        pages::ProgressWindow window;
        window.setTargetOs(targetOs);
        if (reportAt) sim.clock().at(sim.clock().now() + reportAt, [&] { window.installStatus().store(status); });
        sim.clock().clearWaits();
        EXPECT_EQ(window.doModal(), IDOK);
        return sim.clock().sleeps();
    }
};

TEST_F(ProgressWindowTest, TheBarClimbsHoldsAtNinetyAndRunsOnWhenTheWorkerReports) {
    // A failure at 2 s: about 25 steps up, then down in 10 ms steps, 100 ms, closed.
    std::vector<DWORD> waits = run(3, 1, 2000);
    size_t up = std::count(waits.begin(), waits.end(), 80u);
    EXPECT_EQ(up, 25u);
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 10u), static_cast<long>(up));
    EXPECT_EQ(waits.back(), 100u);

    // Success after 20 s: it held at 90 from 7.2 s on; the counter has moved
    // past 90 after the last held step, so the bar runs from 91 to 99.
    waits = run(3, 2, 20000);
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 80u), 250);
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 10u), 9);
    EXPECT_EQ(waits.back(), 100u);

    // Windows 98/Me: closed after 90 steps, whether or not the worker is done.
    waits = run(0, 0, 0);
    EXPECT_EQ(waits, std::vector<DWORD>(90, 80u));
}

}  // namespace
