// The whole wizard with real controls on the simulated Windows, from its
// first page to its closing message: each port kind in each mode on a few
// systems, Windows 98/Me's own ending, and what the spooler then holds.
#include "WizardTestSupport.h"

#include "install/UsbClassDriver.h"
#include "resources/ResourceIds.h"
#include "support/InstallFixture.h"

namespace {

using os::sim::Machine;
using testing_support::InstallScenario;
using wizardtest::text;

// The stand-in monitor DLL of the build, which the simulated spooler loads.
std::string standinMonitor() {
    std::string path = TESTDATA_DIR;
    for (char& c : path)
        if (c == '/') c = '\\';
    HANDLE file = CreateFileA(("Z:" + path + "\\standin-monitor.dll").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    std::string content;
    if (file == INVALID_HANDLE_VALUE) return content;
    content.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!content.empty()) ReadFile(file, &content[0], static_cast<DWORD>(content.size()), &read, nullptr);
    CloseHandle(file);
    return content;
}

struct FlowCase {
    const char* name;
    Machine machine;
    int mode;  // 1 typical, 0 advanced
    const char* port;
    int deviceValue;  // of the attached USB printer; -1: none
    const char* printer;
    const char* closing;  // the last message's key
};
void PrintTo(const FlowCase& c, std::ostream* out) { *out << c.name; }

class InstallFlowTest : public wizardtest::WizardFixture, public ::testing::WithParamInterface<FlowCase> {
protected:
    InstallFlowTest() : WizardFixture(GetParam().machine) {
        // The one model "M" with everything the install sequence reads.
        std::string setup = InstallScenario::monitorSections();
        setup.insert(setup.find("[ProcessorVersion]"), "DEFAULTNAME=1\r\n");
        setupIni(setup);
        // Parallel and USB ports install the GDI flavour (raster printing).
        const std::string gdi = "GDIDriverPath=DRV.DLL\r\nGDIDataFile=M.GPD\r\nGDIConfigFile=DRVUI.DLL\r\n"
                                "GDIHelpFile=DRV.HLP\r\nGDIProcessorDLLName=MPROC.DLL\r\nGDIPrintProcessor=MProc\r\n";
        // The first of two sections of one name is the one read.
        categoryFile(0, "[M.PORT]\r\nUSBSUPPORTED=1\r\nLPTSUPPORTED=1\r\nCOMSUPPORTED=1\r\nAdvancedSetup=1\r\n"
                        "BaudRate=19200\r\nSystemNTSupported=1\r\nSystem2003Supported=1\r\nSystemVistaSupported=1\r\n"
                        "System2008Supported=1\r\nSystemWin7Supported=1\r\n" +
                            InstallScenario::modelSections(gdi));
        const std::string monitor = standinMonitor();
        for (const char* dll : {"SER.DLL", "USBPM.DLL", "LMON.DLL"}) writeFile(std::string("W32\\") + dll, monitor);
        for (const char* file : {"SERUI.DLL", "USBUI.DLL", "MPROC.DLL", "DRV.DLL", "M.GPD", "DRVUI.DLL", "DRV.HLP",
                                 "ICONLIB.DLL", "UNIDRV.DLL"})
            writeFile(std::string("W32\\") + file, std::string("stand-in ") + file);
        // The class driver installed as new as the medium's: no installer runs.
        sim.files().writeFile(install::installedUsbDriverPath(), std::string("no version"));
        sim.files().writeFile(install::mediumUsbDriverPath(), std::string("no version"));
        auto& ports = sim.spooler().monitorDllPorts;
        ports["SER.DLL"] = {"HVCOM1:", "HVCOM2:"};
        ports["USBPM.DLL"] = {"USB_M_1", "USB_M_2", "USB_M_3", "USB_M_4"};
        if (GetParam().deviceValue >= 0) sim.usb().attach(static_cast<WORD>(GetParam().deviceValue));
    }

    // From the printer page to Install, keeping every choice but the port.
    void installInTypicalMode() {
        press(IDOK);
        press(IDOK);
        press(IDOK);
        chooseByText(port, IDC_PORT_LIST, GetParam().port);
        press(IDOK);
    }

    void chooseByText(ui::Dialog& page, int listId, const std::string& wanted) {
        HWND list = page.item(listId);
        int found = static_cast<int>(SendMessageA(list, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(wanted.c_str())));
        ASSERT_GE(found, 0) << wanted;
        choose(page, listId, found);
    }
};

TEST_P(InstallFlowTest, InstallsFromTheFirstPageToTheClosingMessage) {
    const FlowCase& c = GetParam();
    ASSERT_TRUE(start());
    press(IDOK);
    if (c.mode == 0) click(mode, IDC_ADVANCED);
    press(IDOK);
    press(IDOK);
    ASSERT_EQ(frame.currentPage(), app::WizardFrame::kPortPage);
    EXPECT_EQ(itemText(frame, IDOK), text("Setup", "Install"));
    chooseByText(port, IDC_PORT_LIST, c.port);
    press(IDOK);

    ASSERT_FALSE(messages().empty());
    EXPECT_EQ(messages().back(), text("Message", c.closing));
    EXPECT_NE(sim.spooler().printer(c.printer), nullptr) << c.printer;
    // The wizard has ended, its pages gone.
    EXPECT_FALSE(IsWindowVisible(frame.hwnd()));
    EXPECT_EQ(port.hwnd(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    EachPortKind, InstallFlowTest,
    ::testing::Values(FlowCase{"XpParallel", Machine::windowsXp(), 1, "LPT1:", -1, "M(P)", "IDS_INF_NTRESTART"},
                      FlowCase{"XpSerial", Machine::windowsXp(), 1, "HVCOM2:", -1, "M(S)", "IDS_INF_NTRESTART"},
                      FlowCase{"XpUsbTypical", Machine::windowsXp(), 1, "USB_M_1", 0, "M(U) 1", "IDS_INF_USBRESTART"},
                      FlowCase{"XpUsbAdvanced", Machine::windowsXp(), 0, "USB_M_3", 10, "M(U) 3", "IDS_INF_USBRESTART"},
                      FlowCase{"Win7Serial", Machine::windows7(), 0, "HVCOM1:", -1, "M(S)", "IDS_INF_NTRESTART"},
                      FlowCase{"W2000Usb", Machine::windows2000(), 1, "USB_M_1", -1, "M(U) 1", "IDS_INF_USBRESTART"}),
    [](const ::testing::TestParamInfo<FlowCase>& info) { return std::string(info.param.name); });

// Windows 98/Me: the progress window does not wait for the worker, the
// command does; then Windows is offered a restart, and a refused restart is
// said rather than dropped.
class InstallFlowOn98Test : public InstallFlowTest {};

TEST_P(InstallFlowOn98Test, TheInstallEndsWithTheRestartOffer) {
    sim.faults().fail("ExitWindowsEx", ERROR_ACCESS_DENIED);
    ASSERT_TRUE(start());
    installInTypicalMode();
    // The worker's own closing notice is none on 98/Me: the wizard says the
    // system's, then asks, then tells that the restart failed.
    EXPECT_EQ(messages(), (std::vector<std::string>{text("Message", "IDS_INF_NTRESTART"),
                                                    text("Message", "IDS_INF_RESTART"),
                                                    text("Message", "IDS_ERR_EXITWIN")}));
    EXPECT_NE(sim.spooler().printer(GetParam().printer), nullptr);
    EXPECT_EQ(sim.calls("ExitWindowsEx").size(), 1u);
}

// A failing installation: its first failure is the wizard's last word, the
// wizard closes, what was registered before the failure stays and nothing
// after it is done.
class FailedInstallFlowTest : public InstallFlowTest {};

TEST_P(FailedInstallFlowTest, TheFirstFailureIsSaidAndTheWizardCloses) {
    sim.faults().fail("AddPrinterDriverA", ERROR_ACCESS_DENIED);
    ASSERT_TRUE(start());
    installInTypicalMode();
    EXPECT_EQ(messages(), std::vector<std::string>{text("Message", "IDS_ERR_ADDPRNDRV3") + "   er = 5"});
    EXPECT_NE(sim.spooler().monitor("Serial Mon"), nullptr);
    EXPECT_TRUE(sim.spooler().printers.empty());
    EXPECT_FALSE(IsWindowVisible(frame.hwnd()));
    EXPECT_EQ(port.hwnd(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    DriverRefused, FailedInstallFlowTest,
    ::testing::Values(FlowCase{"XpSerial", Machine::windowsXp(), 1, "HVCOM2:", -1, "M(S)", nullptr}),
    [](const ::testing::TestParamInfo<FlowCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Windows98, InstallFlowOn98Test,
    ::testing::Values(FlowCase{"Serial", Machine::windows98(), 1, "COM1:", -1, "M(S)", "IDS_INF_NTRESTART"}),
    [](const ::testing::TestParamInfo<FlowCase>& info) { return std::string(info.param.name); });

}  // namespace
