// The install sequence from end to end on the simulated machine: every
// target system and port kind, the update phases around the Spooler, files
// in use, and each failure with its message.
#include <cctype>
#include <functional>
#include <thread>

#include "install/ComponentInstallers.h"
#include "install/InstallLog.h"
#include "support/InstallFixture.h"

using install::monitorKey;
using install::processorKey;
using testing_support::InstallTest;

namespace {

const char* const kPortsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
const char* const kPrinterPortKey = "SOFTWARE\\HALVERN\\PRINTERPORT";

struct SequenceCase {
    int targetOs;
    const char* port;
    const char* printer;
    const char* notice;  // the closing notice; empty on Windows 98/Me
};

std::string caseName(const ::testing::TestParamInfo<SequenceCase>& info) {
    std::string name = "Os" + std::to_string(info.param.targetOs) + "_";
    for (const char* c = info.param.port; *c; ++c)
        if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
    return name;
}

}  // namespace

class InstallEveryTargetTest : public InstallTest,
                               public ::testing::WithParamInterface<SequenceCase> {
protected:
    InstallEveryTargetTest() : InstallTest(GetParam().targetOs) {}
};

TEST_P(InstallEveryTargetTest, InstallsThePrinterAndSaysSo) {
    const SequenceCase& c = GetParam();
    prepare(c.port);
    ASSERT_TRUE(install()) << message();
    EXPECT_EQ(message(), c.notice);
    EXPECT_EQ(job.selection.modelName, c.printer);
    ASSERT_NE(sim.spooler().printer(c.printer), nullptr);
    EXPECT_EQ(sim.spooler().printer(c.printer)->port, c.port);
    // A first installation stops no spooler: nothing was installed before.
    EXPECT_TRUE(sim.calls("ControlService").empty());
    EXPECT_EQ(job.statusFlags, 0);
    EXPECT_EQ(installedVersion(processorKey(c.targetOs, "MProc")), 2u);
    EXPECT_EQ(sim.clock().sleeps(), std::vector<DWORD>{200}) << "the print processor settles";
}

INSTANTIATE_TEST_SUITE_P(
    Targets, InstallEveryTargetTest,
    ::testing::Values(SequenceCase{0, "COM1:", "M(S)", ""}, SequenceCase{0, "LPT1:", "M(P)", ""},
                      SequenceCase{0, "USB_M_1", "M(U) 1", ""},
                      SequenceCase{1, "HVCOM1:", "M(S)", "<IDS_INF_NTRESTART>"},
                      SequenceCase{1, "LPT2:", "M(P)", "<IDS_INF_NTRESTART>"},
                      SequenceCase{2, "HVCOM2:", "M(S)", "<IDS_INF_NTRESTART>"},
                      SequenceCase{2, "USB_M_1", "M(U) 1", "<IDS_INF_USBRESTART>"},
                      SequenceCase{3, "HVCOM1:", "M(S)", "<IDS_INF_NTRESTART>"},
                      SequenceCase{3, "LPT1:", "M(P)", "<IDS_INF_NTRESTART>"},
                      SequenceCase{3, "USB_M_1", "M(U) 1", "<IDS_INF_USBRESTART>"},
                      SequenceCase{4, "HVCOM3:", "M(S)", "<IDS_INF_NTRESTART>"},
                      SequenceCase{4, "USB_M_1", "M(U) 1", "<IDS_INF_USBRESTART>"},
                      SequenceCase{5, "LPT3:", "M(P)", "<IDS_INF_NTRESTART>"},
                      SequenceCase{5, "USB_M_1", "M(U) 1", "<IDS_INF_USBRESTART>"},
                      SequenceCase{6, "HVCOM1:", "M(S)", "<IDS_INF_NTRESTART>"},
                      SequenceCase{6, "USB_M_1", "M(U) 1", "<IDS_INF_USBRESTART>"},
                      SequenceCase{7, "HVCOM1:", "M(S)", "<IDS_INF_NTRESTART>"},
                      SequenceCase{7, "LPT1:", "M(P)", "<IDS_INF_NTRESTART>"},
                      SequenceCase{7, "USB_M_1", "M(U) 1", "<IDS_INF_USBRESTART>"}),
    caseName);

class InstallOnXpTest : public InstallTest {};

TEST_F(InstallOnXpTest, ASerialInstallRegistersEverythingItBrings) {
    prepare("HVCOM3:");
    job.selection.parity = 'E';
    ASSERT_TRUE(install()) << message();
    EXPECT_EQ(installedVersion(monitorKey("Serial Mon")), 3u);
    EXPECT_EQ(driverValue(monitorKey("Serial Mon")), "SER.DLL");
    EXPECT_TRUE(exists(systemDirectory() + "\\SERUI.DLL"));
    EXPECT_EQ(sim.spooler().monitor("Usb Mon"), nullptr) << "no USB monitor for a serial port";
    EXPECT_EQ(sim.spooler().monitor("Stand-in Language Monitor"), nullptr);
    EXPECT_NE(sim.spooler().driver("M Serial", "Windows NT x86"), nullptr);
    EXPECT_TRUE(exists(processorDirectory() + "\\MPROC.DLL"));
    // HVCOM3: keeps its settings as COM3:, the parity letter lowered.
    EXPECT_EQ(sim.registry().getString(HKEY_LOCAL_MACHINE, kPortsKey, "COM3:"), "9600,e,8,1,p");
    EXPECT_EQ(job.selection.parity, 'e');
}

TEST_F(InstallOnXpTest, AUsbInstallRecordsThePortAndTheLanguageMonitor) {
    sim.registry().setDword(HKEY_LOCAL_MACHINE, kPrinterPortKey, "D1", 0);
    prepare("USB_M_2");
    ASSERT_TRUE(install()) << message();
    EXPECT_EQ(sim.registry().getDword(HKEY_LOCAL_MACHINE, kPrinterPortKey, "USB_M_2"), 0u);
    EXPECT_EQ(installedVersion(monitorKey("Usb Mon")), 3u);
    EXPECT_EQ(installedVersion(monitorKey("Stand-in Language Monitor")), 2u);
    EXPECT_EQ(sim.spooler().driver("M USB", "Windows NT x86")->monitorName, "Stand-in Language Monitor");
    EXPECT_EQ(sim.registry().getString(HKEY_LOCAL_MACHINE, kPortsKey, "USB_M_2"), "")
        << "no serial settings for a USB port";
}

TEST_F(InstallOnXpTest, TheUsbPortIsRecordedOnlyWhenTheKeyExists) {
    prepare("USB_M_1");
    ASSERT_TRUE(install()) << message();
    EXPECT_FALSE(sim.registry().exists(HKEY_LOCAL_MACHINE, kPrinterPortKey));
}

TEST_F(InstallOnXpTest, ASecondPrinterOfTheSameNameIsNumbered) {
    prepare("HVCOM1:");
    ASSERT_TRUE(install());
    prepare("HVCOM2:");
    job.selection.defaultPrinter = true;
    ASSERT_TRUE(install()) << message();
    EXPECT_EQ(job.selection.modelName, "M(S)(1)");
    char name[64] = {};
    DWORD size = sizeof name;
    ASSERT_TRUE(sim.GetDefaultPrinterA(name, &size));
    EXPECT_STREQ(name, "M(S)(1)");
}

TEST_F(InstallOnXpTest, ASecondUsbPrinterOfTheSameNameFails) {
    prepare("USB_M_1");
    ASSERT_TRUE(install());
    prepare("USB_M_1");
    EXPECT_FALSE(install());
    EXPECT_EQ(message(), "<IDS_ERR_TOOMANY>");
    EXPECT_EQ(status.load(), install::kInstallFailed);
    EXPECT_EQ(sim.spooler().printers.size(), 1u) << "no numbered name for a USB printer";
}

TEST_F(InstallOnXpTest, CurrentComponentsAreLeftAloneAndTheSpoolerRuns) {
    prepare("HVCOM1:");
    ASSERT_TRUE(install());
    sim.clock().clearWaits();
    sim.clearJournal();
    prepare("HVCOM2:");
    ASSERT_TRUE(install());
    EXPECT_EQ(job.statusFlags, 0);
    EXPECT_TRUE(sim.calls("ControlService").empty());
    EXPECT_TRUE(sim.calls("StartServiceA").empty());
    EXPECT_TRUE(sim.calls("AddMonitorA").empty());
    EXPECT_TRUE(sim.clock().sleeps().empty());
}

TEST_F(InstallOnXpTest, AnOlderSerialMonitorIsReplacedWithTheSpoolerStopped) {
    installedOlderMonitor("Serial Mon", "SER.DLL");
    prepare("HVCOM1:");
    ASSERT_TRUE(install()) << message();
    EXPECT_EQ(job.statusFlags, install::kSerialMonitorOlder);
    EXPECT_EQ(read(systemDirectory() + "\\SER.DLL"), read("C:\\MEDIUM\\W32\\SER.DLL"));
    EXPECT_EQ(installedVersion(monitorKey("Serial Mon")), 3u);
    EXPECT_EQ(driverValue(monitorKey("Serial Mon")), "SER.DLL");
    // Processor settles 200, stop 100, then 500 before the copy, 2500 after
    // the start on XP; the spooler runs at the first query.
    EXPECT_EQ(sim.clock().sleeps(), (std::vector<DWORD>{200, 100, 500, 2500}));
    EXPECT_EQ(sim.services().spooler().stops, 1);
    EXPECT_EQ(sim.services().spooler().starts, 1);
}

TEST_F(InstallOnXpTest, AMonitorDllStillHeldIsWrittenUnderItsPrefixedName) {
    installedOlderMonitor("Serial Mon", "SER.DLL");
    // Another program keeps the DLL open, spooler or not.
    auto held = sim.files().hold(systemDirectory() + "\\SER.DLL");
    prepare("HVCOM1:");
    ASSERT_TRUE(install()) << message();
    EXPECT_NE(read(systemDirectory() + "\\SER.DLL"), read("C:\\MEDIUM\\W32\\SER.DLL"));
    EXPECT_TRUE(exists(systemDirectory() + "\\nSER.DLL"));
    EXPECT_EQ(driverValue(monitorKey("Serial Mon")), "nSER.DLL");
    EXPECT_EQ(installedVersion(monitorKey("Serial Mon")), 3u);
    sim.files().release(held);
}

TEST_F(InstallOnXpTest, OnlyTheFirstOlderComponentIsReplaced) {
    installedOlderMonitor("Serial Mon", "SER.DLL");
    installedOlderProcessor("MProc", "MPROC.DLL");
    prepare("HVCOM1:");
    const std::string log = sim.machine().windowsDirectory + "\\sequence.log";
    install::setInstallLog(log);
    ASSERT_TRUE(install()) << message();
    install::setInstallLog("");
    EXPECT_EQ(job.statusFlags, install::kSerialMonitorOlder | install::kProcessorOlder);
    EXPECT_EQ(read(processorDirectory() + "\\MPROC.DLL"), "old processor");
    EXPECT_EQ(installedVersion(processorKey(3, "MProc")), 1u);
    EXPECT_NE(read(log).find("older too, left for a later installation to replace: the print processor\r\n"),
              std::string::npos) << read(log);
}

TEST_F(InstallOnXpTest, AnOlderProcessorIsCopiedStraightFromTheMedium) {
    installedOlderProcessor("MProc", "MPROC.DLL");
    prepare("LPT1:");
    ASSERT_TRUE(install()) << message();
    EXPECT_EQ(read(processorDirectory() + "\\MPROC.DLL"), "content of MPROC.DLL");
    EXPECT_EQ(installedVersion(processorKey(3, "MProc")), 2u);
}

TEST_F(InstallOnXpTest, AMissingProcessorDirectoryFailsBeforeTheSpoolerStops) {
    installedOlderProcessor("MProc", "MPROC.DLL");
    sim.faults().fail("GetPrintProcessorDirectoryA", ERROR_INVALID_ENVIRONMENT);
    prepare("LPT1:");
    EXPECT_FALSE(install());
    EXPECT_EQ(message(), "<IDS_ERR_GETPRODIR>");
    EXPECT_EQ(sim.services().spooler().stops, 0);
}

// A failed replacement ends the installation with its own text, and the
// Spooler it stopped runs again, even when that takes a second start.
TEST_F(InstallOnXpTest, AFailedProcessorCopyStartsTheSpoolerAgain) {
    installedOlderProcessor("MProc", "MPROC.DLL");
    sim.files().remove("C:\\MEDIUM\\W32\\MPROC.DLL");
    // The first start is lost: the spooler reports stopped ten times.
    sim.services().spooler().scriptedQueries.assign(10, SERVICE_STOPPED);
    prepare("LPT1:");
    EXPECT_FALSE(install());
    EXPECT_EQ(message(), "<IDS_ERR_COPYFIEL>C:\\MEDIUM\\W32\\MPROC.DLL");
    EXPECT_EQ(sim.services().spooler().stops, 1);
    EXPECT_EQ(sim.services().spooler().starts, 2);
    EXPECT_EQ(sim.services().spooler().state, static_cast<DWORD>(SERVICE_RUNNING));
}

TEST_F(InstallOnXpTest, AnUnreadableCurrentDirectoryFailsTheProcessorUpdate) {
    installedOlderProcessor("MProc", "MPROC.DLL");
    prepare("LPT1:");
    sim.faults().fail("GetCurrentDirectoryA", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(install());
    EXPECT_EQ(message(), "<IDS_ERR_GETCURDIR>");
    EXPECT_EQ(read(processorDirectory() + "\\MPROC.DLL"), "old processor");
    EXPECT_EQ(sim.services().spooler().stops, 1);
    EXPECT_EQ(sim.services().spooler().starts, 1) << "the spooler runs again";
}

TEST_F(InstallOnXpTest, ASpoolerStillStartingAfterTheWaitFailsTheInstall) {
    installedOlderMonitor("Serial Mon", "SER.DLL");
    sim.services().spooler().startHangs = true;
    prepare("HVCOM1:");
    EXPECT_FALSE(install());
    EXPECT_EQ(message(), "StartSpoolService error");
    EXPECT_EQ(sim.services().spooler().queries, 10);
    EXPECT_TRUE(sim.calls("AddPrinterDriverA").empty());
}

TEST_F(InstallOnXpTest, ASpoolerFoundStoppedIsStartedAgainAndRecovers) {
    installedOlderMonitor("Serial Mon", "SER.DLL");
    // The first start is lost: the spooler reports stopped ten times, then starts.
    sim.services().spooler().scriptedQueries.assign(10, SERVICE_STOPPED);
    prepare("HVCOM1:");
    ASSERT_TRUE(install()) << message();
    EXPECT_EQ(message(), "<IDS_INF_NTRESTART>");
    EXPECT_EQ(sim.services().spooler().starts, 2);
    std::vector<DWORD> expected = {200, 100, 500, 2500};
    expected.insert(expected.end(), 10, 300);
    expected.push_back(2500);
    EXPECT_EQ(sim.clock().sleeps(), expected);
}

TEST_F(InstallOnXpTest, ASpoolerThatWillNotStartEndsTheInstallAtTheNextCheck) {
    installedOlderMonitor("Serial Mon", "SER.DLL");
    sim.services().spooler().startError = ERROR_SERVICE_DISABLED;
    prepare("HVCOM1:");
    EXPECT_FALSE(install());
    EXPECT_EQ(message(), "Start spool service error, error code = 1058");
    EXPECT_TRUE(sim.calls("AddPrinterDriverA").empty());
}

TEST_F(InstallOnXpTest, AFailedEnumerationOfPortsStopsAUsbInstall) {
    prepare("USB_M_1");
    sim.faults().fail("LocalAlloc", ERROR_NOT_ENOUGH_MEMORY).after(1);
    EXPECT_FALSE(install());
    EXPECT_EQ(message(), "<IDS_ERR_ALLOCMEMORY>");
    EXPECT_FALSE(exists(driverDirectory() + "\\DRVUI.DLL")) << "no driver file is copied";
}

TEST_F(InstallOnXpTest, AnEmptyRequiredSlotIsAMissingDriverFile) {
    prepare("LPT1:");
    job.files.help.clear();
    EXPECT_FALSE(install());
    EXPECT_EQ(message(), "<IDS_ERR_LOSTDRIVERFILE>");
    EXPECT_TRUE(sim.calls("AddPrinterDriverA").empty());
}

TEST_F(InstallOnXpTest, ARequiredFileMissingOnTheMediumEndsAtItsCheck) {
    sim.files().remove("C:\\MEDIUM\\W32\\M.GPD");
    prepare("LPT1:");
    EXPECT_FALSE(install());
    EXPECT_EQ(message(), "<IDS_ERR_COPYFIEL>M.GPD  er = 2C:\\MEDIUM\\W32\\M.GPD");
    EXPECT_TRUE(exists(driverDirectory() + "\\DRVUI.DLL")) << "files copied before stay";
    EXPECT_FALSE(exists(driverDirectory() + "\\DRV.DLL"));
}

TEST_F(InstallOnXpTest, ARequiredKeyMissingIsSkippedAndTheDriverCannotBeAdded) {
    writeConfiguration();
    write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini",
          "[M.PORT]\r\nLPTSUPPORTED=1\r\n[M.XP]\r\nDriverNameP=M Parallel\r\nSTDDriverPath=DRV.DLL\r\n"
          "STDDataFile=M.GPD\r\nSTDConfigFile=DRVUI.DLL\r\nSTDPrintProcessor=WinPrint\r\n");
    prepare("LPT1:");
    EXPECT_EQ(job.files.help, "0");
    EXPECT_FALSE(install());
    EXPECT_EQ(message().rfind("<IDS_ERR_ADDPRNDRV3>   er = ", 0), 0u) << message();
}

TEST_F(InstallOnXpTest, OptionalFilesGoToTheirDirectories) {
    onMedium("MRES.DLL");
    onMedium("MFONT.BIN");
    writeConfiguration("STDDataFileDLLName=MRES.DLL\r\nControlFontFile=MFONT.BIN\r\nUSBInternalID=0\r\n");
    prepare("LPT1:");
    ASSERT_TRUE(install()) << message();
    EXPECT_TRUE(exists(driverDirectory() + "\\MRES.DLL"));
    EXPECT_TRUE(exists(driverDirectory() + "\\3\\MFONT.BIN"));
}

TEST_F(InstallOnXpTest, UnidrvFilesNeededWithAnEmptyDataDllSlotAreMissing) {
    writeConfiguration("GDIDataFileDLLName=\r\nGDI2KDDKDEV=1\r\nGDIDriverPath=DRV.DLL\r\n"
                       "GDIDataFile=M.GPD\r\nGDIConfigFile=DRVUI.DLL\r\nGDIHelpFile=DRV.HLP\r\n"
                       "GDIPrintProcessor=WinPrint\r\n");
    for (const char* file : {"TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL"}) onMedium(file);
    prepare("LPT1:", config::kGdi);
    EXPECT_FALSE(install());
    EXPECT_EQ(message(), "<IDS_ERR_LOSTDRIVERFILE>");
    EXPECT_TRUE(sim.calls("AddPrinterDriverA").empty());
}

TEST_F(InstallOnXpTest, AnOlderLanguageMonitorIsReplacedBesideTheRunningSpooler) {
    // The running spooler holds the language monitor it loaded.
    installedOlderMonitor("Stand-in Language Monitor", "LMON.DLL");
    prepare("USB_M_1");
    ASSERT_TRUE(install()) << message();
    EXPECT_EQ(job.statusFlags, install::kLanguageMonitorOlder);
    EXPECT_EQ(driverValue(monitorKey("Stand-in Language Monitor")), "nLMON.DLL");
    EXPECT_EQ(installedVersion(monitorKey("Stand-in Language Monitor")), 2u);
    EXPECT_TRUE(sim.calls("ControlService").empty()) << "the spooler keeps running";
}

TEST_F(InstallOnXpTest, AMonitorTheSpoolerRefusesFailsTheInstall) {
    sim.faults().fail("AddMonitorA", ERROR_ACCESS_DENIED);
    prepare("HVCOM1:");
    EXPECT_FALSE(install());
    EXPECT_EQ(message(), "<IDS_ERR_ADDMONITOR> Erro code is:5");
    EXPECT_TRUE(sim.calls("AddPrintProcessorA").empty());
}

TEST_F(InstallOnXpTest, AProcessorTheSpoolerRefusesFailsTheInstall) {
    sim.faults().fail("AddPrintProcessorA", ERROR_ACCESS_DENIED);
    prepare("LPT1:");
    EXPECT_FALSE(install());
    EXPECT_EQ(message(), "<IDS_ERR_ADDPROCESSOR>");
    EXPECT_FALSE(exists(driverDirectory() + "\\DRVUI.DLL"));
    EXPECT_TRUE(sim.calls("AddPrinterDriverA").empty());
}

TEST_F(InstallOnXpTest, AFailedDriverRegistrationLeavesTheMonitorsInPlace) {
    sim.faults().fail("AddPrinterDriverA", ERROR_ACCESS_DENIED);
    prepare("HVCOM1:");
    EXPECT_FALSE(install());
    EXPECT_EQ(message(), "<IDS_ERR_ADDPRNDRV3>   er = 5");
    EXPECT_NE(sim.spooler().monitor("Serial Mon"), nullptr);
    EXPECT_TRUE(sim.spooler().printers.empty());
}

class InstallOnWindows7Test : public InstallTest {
protected:
    InstallOnWindows7Test() : InstallTest(7) {}
};

TEST_F(InstallOnWindows7Test, AnOlderUsbMonitorIsReplacedWithoutAWaitAfterTheStart) {
    installedOlderMonitor("Usb Mon", "USBPM.DLL");
    prepare("USB_M_1");
    ASSERT_TRUE(install()) << message();
    EXPECT_EQ(driverValue(monitorKey("Usb Mon")), "USBPM.DLL");
    EXPECT_EQ(installedVersion(monitorKey("Usb Mon")), 3u);
    // Stop 100, 500; no wait after the start on Windows 7; the start is
    // pending at the first query, running at the second.
    EXPECT_EQ(sim.clock().sleeps(), (std::vector<DWORD>{200, 100, 500, 300}));
}

class InstallOnWindows2000Test : public InstallTest {
protected:
    InstallOnWindows2000Test() : InstallTest(2) {}
};

TEST_F(InstallOnWindows2000Test, TheSpoolerGetsASecondAfterItsStart) {
    installedOlderMonitor("Serial Mon", "SER.DLL");
    prepare("HVCOM1:");
    ASSERT_TRUE(install()) << message();
    EXPECT_EQ(sim.clock().sleeps(), (std::vector<DWORD>{200, 100, 500, 1000}));
}

class Install98Test : public InstallTest {
protected:
    Install98Test() : InstallTest(0) {}
};

TEST_F(Install98Test, SerialSettingsGoIntoTheClassKeyAndWinIni) {
    sim.registry().setValue(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\Class\\Ports\\0000",
                            "PortSubClass", REG_BINARY, {1});
    prepare("COM1:");
    ASSERT_TRUE(install()) << message();
    os::sim::Registry::Value dcb;
    EXPECT_TRUE(sim.registry().getValue(HKEY_LOCAL_MACHINE,
                                        "System\\CurrentControlSet\\Services\\Class\\Ports\\0000", "DCB", &dcb));
    EXPECT_NE(read(windowsDirectory() + "\\win.ini").find("COM1:=9600,n,8,1,p"), std::string::npos);
}

TEST_F(Install98Test, AnOlderUsbMonitorInUseIsWrittenUnderItsPrefixedName) {
    installedOlderMonitor("Usb Mon", "USBPM.DLL");
    auto held = sim.files().hold(systemDirectory() + "\\USBPM.DLL");
    prepare("USB_M_1");
    ASSERT_TRUE(install()) << message();
    EXPECT_EQ(driverValue(monitorKey("Usb Mon")), "nUSBPM.DLL");
    EXPECT_EQ(installedVersion(monitorKey("Usb Mon")), 3u);
    EXPECT_TRUE(sim.calls("ControlService").empty());
    sim.files().release(held);
}

TEST_F(Install98Test, AMonitorInUseUnderBothNamesNeedsARestart) {
    installedOlderMonitor("Usb Mon", "USBPM.DLL");
    write(systemDirectory() + "\\nUSBPM.DLL", "older");
    auto held = sim.files().hold(systemDirectory() + "\\USBPM.DLL");
    auto heldToo = sim.files().hold(systemDirectory() + "\\nUSBPM.DLL");
    prepare("USB_M_1");
    EXPECT_FALSE(install());
    EXPECT_EQ(message(), "<IDS_ERR_NEEDRESTART>");
    EXPECT_EQ(driverValue(monitorKey("Usb Mon")), "USBPM.DLL");
    EXPECT_EQ(installedVersion(monitorKey("Usb Mon")), 1u);
    EXPECT_TRUE(sim.calls("AddPrinterDriverA").empty());
    sim.files().release(held);
    sim.files().release(heldToo);
}

TEST_F(Install98Test, AnOlderProcessorGetsItsKeyAndFile) {
    installedOlderProcessor("MProc", "MPROC.DLL");
    prepare("LPT1:");
    ASSERT_TRUE(install()) << message();
    EXPECT_EQ(driverValue(processorKey(0, "MProc")), "MPROC.DLL");
    EXPECT_EQ(installedVersion(processorKey(0, "MProc")), 2u);
    EXPECT_EQ(read(systemDirectory() + "\\MPROC.DLL"), "content of MPROC.DLL");
}

TEST_F(Install98Test, TheColourLibraryComesWithTheColourModels) {
    onMedium("DMCOLOR.DLL");
    prepare("LPT1:");
    job.selection.modelName = "M KPX-C520";
    ASSERT_TRUE(install()) << message();
    EXPECT_TRUE(exists(systemDirectory() + "\\DMCOLOR.DLL"));
}

// Failures of the sequence that end it, or that it passes over, each with
// the text it leaves, the outcome, and what stays behind: the changes made
// before a failure stay, the steps after it are not taken, and the registry
// never names a component that was not put in place.
class InstallFailureTest;

struct FailureCase {
    const char* name;
    int targetOs;
    const char* port;
    std::function<void(InstallFailureTest&)> arrange;  // once the job is prepared
    bool installed;
    std::string message;
    std::function<void(InstallFailureTest&)> leaves;
};
void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class InstallFailureTest : public InstallTest, public ::testing::WithParamInterface<FailureCase> {
public:
    InstallFailureTest() : InstallTest(GetParam().targetOs) {}
    using InstallTest::installedOlderMonitor;
    using InstallTest::installedOlderProcessor;

    // A configuration whose raster driver needs the Unidrv support files.
    void needingUnidrvFiles(const char* port) {
        writeConfiguration("GDIDataFileDLLName=MRES.DLL\r\nGDI2KDDKDEV=1\r\nGDIDriverPath=DRV.DLL\r\n"
                           "GDIDataFile=M.GPD\r\nGDIConfigFile=DRVUI.DLL\r\nGDIHelpFile=DRV.HLP\r\n"
                           "GDIPrintProcessor=WinPrint\r\n");
        for (const char* file : {"MRES.DLL", "STDNAMES.GPD", "UNIRES.DLL"}) onMedium(file);
        prepare(port, config::kGdi);
    }
    bool driverRegistered() { return !sim.calls("AddPrinterDriverA").empty(); }
    // The serial monitor's interface DLL named otherwise by the medium.
    void renameSerialInterface(const std::string& name) {
        std::string setup = monitorSections();
        for (size_t at = setup.find("=SERUI.DLL"); at != std::string::npos; at = setup.find("=SERUI.DLL", at))
            setup.replace(at + 1, 9, name);
        write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", setup);
    }
    std::string defaultPrinter() {
        char name[64] = {};
        DWORD size = sizeof name;
        return sim.GetDefaultPrinterA(name, &size) ? name : "";
    }
};

// A name from the medium that would reach out of its folder is refused before
// the sequence has written anything at all.
void nothingWritten(InstallFailureTest& t) {
    for (const char* call : {"CopyFileA", "AddMonitorA", "AddPrintProcessorA", "AddPrinterDriverA", "AddPrinterA",
                             "RegSetValueExA", "RegCreateKeyExA", "ControlService"})
        EXPECT_TRUE(t.sim.calls(call).empty()) << call;
}

TEST_P(InstallFailureTest, EndsOrGoesOnWithItsTextAndKeepsWhatWasDone) {
    const FailureCase& c = GetParam();
    prepare(c.port);
    c.arrange(*this);
    EXPECT_EQ(install(), c.installed);
    EXPECT_EQ(message(), c.message);
    c.leaves(*this);
}

INSTANTIATE_TEST_SUITE_P(
    EachFailure, InstallFailureTest,
    ::testing::Values(
        FailureCase{"ADriverFileNameReachingOutOfItsFolder", 3, "LPT1:",
                    [](InstallFailureTest& t) {
                        t.writeConfiguration("STDDriverPath=..\\..\\WINDOWS\\system32\\EVIL.DLL\r\n");
                        t.prepare("LPT1:");
                    },
                    false, "<IDS_ERR_COPYFIEL>..\\..\\WINDOWS\\system32\\EVIL.DLL  er = 123"
                           "C:\\MEDIUM\\W32\\..\\..\\WINDOWS\\system32\\EVIL.DLL",
                    nothingWritten},
        FailureCase{"AMonitorDllNamingADrive", 3, "HVCOM1:",
                    [](InstallFailureTest& t) {
                        std::string setup = InstallTest::monitorSections();
                        for (size_t at; (at = setup.find("=SER.DLL")) != std::string::npos;)
                            setup.replace(at, 8, "=D:SER.DLL");
                        t.write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", setup);
                        t.prepare("HVCOM1:");
                    },
                    false, "<IDS_ERR_COPYFIEL>D:SER.DLL  er = 123C:\\MEDIUM\\W32\\D:SER.DLL", nothingWritten},
        FailureCase{"ADependentFileInAnotherFolder", 7, "LPT1:",
                    [](InstallFailureTest& t) {
                        t.writeConfiguration("GDI2KDDKDEV=1\r\nSTDDataOemuniini=/inf/M.INI\r\n");
                        t.prepare("LPT1:");
                    },
                    false, "<IDS_ERR_COPYFIEL>/inf/M.INI  er = 123C:\\MEDIUM\\W32\\/inf/M.INI", nothingWritten},
        // Names Windows reads otherwise, and Windows' own files in its folders.
        FailureCase{"AMonitorUiDllWithATrailingDot", 3, "HVCOM1:",
                    [](InstallFailureTest& t) {
                        t.renameSerialInterface("LOCALUI.DLL.");
                        t.prepare("HVCOM1:");
                    },
                    false, "<IDS_ERR_COPYFIEL>LOCALUI.DLL.  er = 123C:\\MEDIUM\\W32\\LOCALUI.DLL.", nothingWritten},
        FailureCase{"AControlFontNamedAfterADevice", 7, "LPT1:",
                    [](InstallFailureTest& t) {
                        t.writeConfiguration("ControlFontFile=NUL.FNT\r\n");
                        t.prepare("LPT1:");
                    },
                    false, "<IDS_ERR_COPYFIEL>NUL.FNT  er = 123C:\\MEDIUM\\W32\\NUL.FNT", nothingWritten},
        FailureCase{"AMonitorUiDllOfWindowsOwn", 3, "HVCOM1:",
                    [](InstallFailureTest& t) {
                        t.renameSerialInterface("localui.dll");
                        t.onMedium("localui.dll", "the medium's");
                        t.write(t.systemDirectory() + "\\localui.dll", "Windows' own");
                        t.prepare("HVCOM1:");
                    },
                    false,
                    "<IDS_ERR_COPYFIEL>localui.dll: the medium names one of Windows' own files, which this "
                    "installation never replaces",
                    [](InstallFailureTest& t) {
                        nothingWritten(t);
                        EXPECT_EQ(t.read(t.systemDirectory() + "\\localui.dll"), "Windows' own");
                    }},
        FailureCase{"AControlFontNamedAfterWindowsPostScriptDriver", 7, "LPT1:",
                    [](InstallFailureTest& t) {
                        t.writeConfiguration("ControlFontFile=PSCRIPT5.DLL\r\n");
                        t.prepare("LPT1:");
                    },
                    false,
                    "<IDS_ERR_COPYFIEL>PSCRIPT5.DLL: the medium names one of Windows' own files, which this "
                    "installation never replaces",
                    nothingWritten},
        FailureCase{"MonitorDllMissingInTheUpdatePhase", 3, "HVCOM1:",
                    [](InstallFailureTest& t) {
                        t.installedOlderMonitor("Serial Mon", "SER.DLL");
                        t.sim.files().remove("C:\\MEDIUM\\W32\\SER.DLL");
                    },
                    false, "<IDS_ERR_COPYFIEL>SER.DLL  er = 2C:\\MEDIUM\\W32\\SER.DLL",
                    [](InstallFailureTest& t) {
                        EXPECT_EQ(t.sim.services().spooler().stops, 1);
                        EXPECT_EQ(t.sim.services().spooler().starts, 1) << "the spooler runs again";
                        EXPECT_EQ(t.installedVersion(monitorKey("Serial Mon")), 1u);
                        EXPECT_FALSE(t.driverRegistered());
                    }},
        FailureCase{"SerialMonitorUiDllMissingInTheUpdatePhase", 3, "HVCOM1:",
                    [](InstallFailureTest& t) {
                        t.installedOlderMonitor("Serial Mon", "SER.DLL");
                        t.sim.files().remove("C:\\MEDIUM\\W32\\SERUI.DLL");
                    },
                    false, "<IDS_ERR_COPYFIEL>SERUI.DLL  er = 2C:\\MEDIUM\\W32\\SERUI.DLL",
                    [](InstallFailureTest& t) {
                        // The monitor is replaced and the spooler started again; the
                        // text ends the install at the first driver file's check.
                        EXPECT_EQ(t.installedVersion(monitorKey("Serial Mon")), 3u);
                        EXPECT_EQ(t.sim.services().spooler().starts, 1);
                        EXPECT_TRUE(t.exists(t.driverDirectory() + "\\DRVUI.DLL"));
                        EXPECT_FALSE(t.exists(t.driverDirectory() + "\\DRV.DLL"));
                        EXPECT_FALSE(t.driverRegistered());
                    }},
        FailureCase{"UsbMonitorUiDllMissingInTheUpdatePhase", 3, "USB_M_1",
                    [](InstallFailureTest& t) {
                        t.installedOlderMonitor("Usb Mon", "USBPM.DLL");
                        t.sim.files().remove("C:\\MEDIUM\\W32\\USBUI.DLL");
                    },
                    true, "<IDS_INF_USBRESTART>",
                    [](InstallFailureTest& t) {
                        EXPECT_EQ(t.installedVersion(monitorKey("Usb Mon")), 3u);
                        EXPECT_NE(t.sim.spooler().printer("M(U) 1"), nullptr);
                    }},
        FailureCase{"MonitorDllHeldAndItsPrefixedCopyFails", 3, "HVCOM1:",
                    [](InstallFailureTest& t) {
                        t.installedOlderMonitor("Serial Mon", "SER.DLL");
                        t.sim.files().hold(t.systemDirectory() + "\\SER.DLL");
                        t.sim.faults().fail("CopyFileA", ERROR_WRITE_PROTECT).when("nSER.DLL");
                    },
                    false, "<IDS_ERR_COPYFIEL>nSER.DLL  er = 19C:\\MEDIUM\\W32\\SER.DLL",
                    [](InstallFailureTest& t) {
                        EXPECT_EQ(t.driverValue(monitorKey("Serial Mon")), "SER.DLL");
                        EXPECT_EQ(t.installedVersion(monitorKey("Serial Mon")), 1u);
                        EXPECT_FALSE(t.driverRegistered());
                    }},
        FailureCase{"LanguageMonitorHeldAndItsPrefixedCopyFails", 3, "USB_M_1",
                    [](InstallFailureTest& t) {
                        t.installedOlderMonitor("Stand-in Language Monitor", "LMON.DLL");
                        t.sim.faults().fail("CopyFileA", ERROR_WRITE_PROTECT).when("nLMON.DLL");
                    },
                    false, "<IDS_ERR_COPYFIEL>nLMON.DLL  er = 19C:\\MEDIUM\\W32\\LMON.DLL",
                    [](InstallFailureTest& t) {
                        EXPECT_EQ(t.driverValue(monitorKey("Stand-in Language Monitor")), "LMON.DLL");
                        EXPECT_EQ(t.installedVersion(monitorKey("Stand-in Language Monitor")), 1u);
                        EXPECT_FALSE(t.driverRegistered());
                    }},
        FailureCase{"SpoolerStillStoppedAfterItsSecondStart", 3, "HVCOM1:",
                    [](InstallFailureTest& t) {
                        t.installedOlderMonitor("Serial Mon", "SER.DLL");
                        t.sim.services().spooler().scriptedQueries.assign(20, SERVICE_STOPPED);
                    },
                    false, "StartSpoolService error",
                    [](InstallFailureTest& t) {
                        EXPECT_EQ(t.sim.services().spooler().starts, 2);
                        EXPECT_EQ(t.installedVersion(monitorKey("Serial Mon")), 3u) << "nothing is rolled back";
                        EXPECT_FALSE(t.driverRegistered());
                    }},
        FailureCase{"EmptyPrinterName", 3, "LPT1:", [](InstallFailureTest& t) { t.job.setPrinterName(""); },
                    false, "<IDS_ERR_ADDPRINTER>er = 1801",
                    [](InstallFailureTest& t) {
                        EXPECT_NE(t.sim.spooler().driver("M Parallel", "Windows NT x86"), nullptr);
                        EXPECT_TRUE(t.sim.spooler().printers.empty());
                    }},
        FailureCase{"UnidrvSupportFileMissing", 3, "LPT1:",
                    [](InstallFailureTest& t) { t.needingUnidrvFiles("LPT1:"); },
                    // The staging's text is not looked at; the spooler misses the file.
                    false, "<IDS_ERR_ADDPRNDRV3>   er = 2",
                    [](InstallFailureTest& t) {
                        EXPECT_TRUE(t.exists(t.driverDirectory() + "\\STDNAMES.GPD"));
                        EXPECT_TRUE(t.sim.spooler().printers.empty());
                    }},
        FailureCase{"UnidrvSupportFileMissingBeforeALanguageMonitorReplacement", 3, "USB_M_1",
                    [](InstallFailureTest& t) {
                        t.needingUnidrvFiles("USB_M_1");
                        t.sim.registry().setDword(HKEY_LOCAL_MACHINE, monitorKey("Stand-in Language Monitor"),
                                                  "DriverVersion", 1);
                    },
                    false, "<IDS_ERR_COPYFIEL>TTFSUB.GPD  er = 2C:\\MEDIUM\\W32\\TTFSUB.GPD",
                    [](InstallFailureTest& t) {
                        EXPECT_TRUE(t.exists(t.systemDirectory() + "\\LMON.DLL"));
                        EXPECT_EQ(t.installedVersion(monitorKey("Stand-in Language Monitor")), 1u);
                        EXPECT_FALSE(t.driverRegistered());
                    }},
        FailureCase{"Windows98IconLibraryMissing", 0, "LPT1:",
                    [](InstallFailureTest& t) { t.sim.files().remove("C:\\MEDIUM\\W32\\ICONLIB.DLL"); },
                    // Windows 98/Me has no closing notice: the text is what is said.
                    true, "<IDS_ERR_COPYFIEL>ICONLIB.DLL  er = 2C:\\MEDIUM\\W32\\ICONLIB.DLL",
                    [](InstallFailureTest& t) { EXPECT_NE(t.sim.spooler().printer("M(P)"), nullptr); }},
        FailureCase{"Windows98ProcessorCopyFails", 0, "LPT1:",
                    [](InstallFailureTest& t) {
                        t.installedOlderProcessor("MProc", "MPROC.DLL");
                        t.sim.files().remove("C:\\MEDIUM\\W32\\MPROC.DLL");
                    },
                    false, "<IDS_ERR_COPYFIEL>MPROC.DLL  er = 2C:\\MEDIUM\\W32\\MPROC.DLL",
                    [](InstallFailureTest& t) {
                        EXPECT_EQ(t.installedVersion(processorKey(0, "MProc")), 1u);
                        EXPECT_EQ(t.read(t.processorDirectory() + "\\MPROC.DLL"), "old processor");
                        EXPECT_FALSE(t.driverRegistered());
                    }},
        FailureCase{"Windows98MonitorHeldAndItsPrefixedCopyFails", 0, "USB_M_1",
                    [](InstallFailureTest& t) {
                        t.installedOlderMonitor("Usb Mon", "USBPM.DLL");
                        t.sim.files().hold(t.systemDirectory() + "\\USBPM.DLL");
                        t.sim.faults().fail("CopyFileA", ERROR_WRITE_PROTECT).when("nUSBPM.DLL");
                    },
                    false, "<IDS_ERR_COPYFIEL>nUSBPM.DLL  er = 19C:\\MEDIUM\\W32\\USBPM.DLL",
                    [](InstallFailureTest& t) {
                        EXPECT_EQ(t.driverValue(monitorKey("Usb Mon")), "USBPM.DLL");
                        EXPECT_EQ(t.installedVersion(monitorKey("Usb Mon")), 1u);
                        EXPECT_FALSE(t.driverRegistered());
                    }},
        FailureCase{"MonitorKeyUnopenableInTheUpdatePhase", 3, "HVCOM1:",
                    [](InstallFailureTest& t) {
                        t.installedOlderMonitor("Serial Mon", "SER.DLL");
                        // The version is read; the key is not opened again.
                        t.sim.faults().fail("RegOpenKeyExA", ERROR_ACCESS_DENIED).when("Monitors\\Serial Mon").after(1);
                    },
                    true, "<IDS_INF_NTRESTART>",
                    [](InstallFailureTest& t) {
                        EXPECT_EQ(t.read(t.systemDirectory() + "\\SER.DLL"), t.read("C:\\MEDIUM\\W32\\SER.DLL"));
                        EXPECT_EQ(t.installedVersion(monitorKey("Serial Mon")), 1u);
                        EXPECT_NE(t.sim.spooler().printer("M(S)"), nullptr);
                    }},
        FailureCase{"SerialSettingsCannotBeWritten", 3, "HVCOM1:",
                    [](InstallFailureTest& t) {
                        t.sim.faults().fail("RegOpenKeyExA", ERROR_ACCESS_DENIED).when("CurrentVersion\\Ports");
                    },
                    true, "<IDS_INF_NTRESTART>",
                    [](InstallFailureTest& t) {
                        EXPECT_NE(t.sim.spooler().printer("M(S)"), nullptr);
                        EXPECT_EQ(t.sim.registry().getString(HKEY_LOCAL_MACHINE, kPortsKey, "COM1:"), "9600,n,8,1")
                            << "the system's own settings stay";
                    }},
        FailureCase{"Windows98SerialSettingsCannotBeWritten", 0, "COM1:",
                    [](InstallFailureTest& t) { t.sim.faults().fail("WriteProfileStringA", ERROR_ACCESS_DENIED); },
                    true, "",
                    [](InstallFailureTest& t) {
                        EXPECT_NE(t.sim.spooler().printer("M(S)"), nullptr);
                        EXPECT_EQ(t.read(t.windowsDirectory() + "\\win.ini").find("COM1:="), std::string::npos);
                    }},
        FailureCase{"DefaultPrinterCannotBeMade", 3, "LPT1:",
                    [](InstallFailureTest& t) {
                        t.sim.WriteProfileStringA("windows", "device", "Earlier,winspool,LPT2:");
                        t.job.selection.defaultPrinter = true;
                        t.sim.faults().fail("LoadLibraryA", ERROR_MOD_NOT_FOUND).when("winspool");
                    },
                    true, "<IDS_INF_NTRESTART>",
                    [](InstallFailureTest& t) {
                        EXPECT_NE(t.sim.spooler().printer("M(P)"), nullptr);
                        EXPECT_EQ(t.defaultPrinter(), "Earlier") << "the default stays as it was";
                    }}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(InstallOnXpTest, TheWorkerThreadReportsItsOutcomeLast) {
    prepare("USB_M_1");
    install::InstallMessage().clear();
    install::WorkerParams params{&job, &status};
    unsigned result = 1;
    std::thread worker([&] { result = install::InstallWorker(&params); });
    // The user interface only polls the status; once it is set, the message is final.
    while (status.load() == install::kInstallRunning) std::this_thread::yield();
    EXPECT_EQ(status.load(), install::kInstallSucceeded);
    EXPECT_EQ(install::InstallMessage(), "<IDS_INF_USBRESTART>");
    worker.join();
    EXPECT_EQ(result, 0u);
}
