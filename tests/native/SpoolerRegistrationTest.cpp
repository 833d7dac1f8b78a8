// The spooler registrations: numbered printer names, monitors and
// processors with the version rule, the default printer on each system.
#include "install/ComponentInstallers.h"
#include "install/SpoolerRegistration.h"
#include "support/InstallFixture.h"

using install::monitorKey;
using install::processorKey;
using testing_support::InstallTest;

class AddPrinterTest : public InstallTest {
protected:
    void SetUp() override {
        prepare("HVCOM1:");
        // The printer's driver and monitor are in place; only printers are made here.
        ASSERT_EQ(install::installPortMonitors(job.config, 3, "HVCOM1:", error), 0) << error;
        for (const char* f : {"DRV.DLL", "M.GPD", "DRVUI.DLL", "DRV.HLP"}) {
            std::string name = f;
            ASSERT_EQ(install::copyDriverFile(name, install::kDriverDirectory, 3, false, error), 1);
        }
        ASSERT_TRUE(install::addPrinterDriver(&job.driver, error)) << error;
        job.printer.pPrintProcessor = processor;
    }
    bool add(bool usb = false) { return install::addPrinter(&job.printer, 2, usb, error, storage); }
    void existing(const std::string& name) {
        os::sim::Spooler::Printer printer;
        printer.name = name;
        printer.port = "HVCOM1:";
        printer.driver = "M Serial";
        printer.processor = "WinPrint";
        sim.spooler().printers.push_back(printer);
    }
    std::string error;
    std::string storage;
    char processor[9] = "WinPrint";
};

TEST_F(AddPrinterTest, ANewNameIsTakenAsItIs) {
    ASSERT_TRUE(add()) << error;
    EXPECT_STREQ(job.printer.pPrinterName, "M(S)");
    EXPECT_EQ(sim.openHandles(), 0u) << "the printer handle is closed";
    // The system's processor is given its datatype; the record is left as it was.
    EXPECT_EQ(sim.spooler().printer("M(S)")->datatype, "RAW");
    EXPECT_EQ(job.printer.pDatatype, nullptr);
}

TEST_F(AddPrinterTest, ATakenNameGetsTheFirstFreeNumber) {
    existing("M(S)");
    ASSERT_TRUE(add()) << error;
    EXPECT_STREQ(job.printer.pPrinterName, "M(S)(1)");
    for (int i = 2; i <= 4; ++i) existing("M(S)(" + std::to_string(i) + ")");
    job.config.setPrinterName(&job.printer, "M(S)");
    ASSERT_TRUE(add()) << error;
    EXPECT_STREQ(job.printer.pPrinterName, "M(S)(5)");
}

TEST_F(AddPrinterTest, AllNinetyEightNumbersTakenIsTooMany) {
    existing("M(S)");
    for (int i = 1; i <= 98; ++i) existing("M(S)(" + std::to_string(i) + ")");
    EXPECT_FALSE(add());
    EXPECT_EQ(error, "<IDS_ERR_TOOMANY>");
    EXPECT_EQ(sim.calls("AddPrinterA").size(), 99u);
}

TEST_F(AddPrinterTest, AUsbNameThatExistsIsTooManyAtOnce) {
    existing("M(S)");
    EXPECT_FALSE(add(true));
    EXPECT_EQ(error, "<IDS_ERR_TOOMANY>");
    EXPECT_EQ(sim.calls("AddPrinterA").size(), 1u);
}

TEST_F(AddPrinterTest, OtherFailuresGiveTheirCode) {
    job.printer.pPortName[0] = 'X';  // "XVCOM1:" is no port
    EXPECT_FALSE(add());
    EXPECT_EQ(error, "<IDS_ERR_ADDPRINTER>er = 1796");
    EXPECT_TRUE(sim.spooler().printers.empty());
}

TEST_F(AddPrinterTest, AFailureWhileNumberingGivesItsCode) {
    existing("M(S)");
    sim.faults().fail("AddPrinterA", ERROR_ACCESS_DENIED).after(1);
    EXPECT_FALSE(add());
    EXPECT_EQ(error, "<IDS_ERR_ADDPRINTER>er = 5");
    EXPECT_STREQ(job.printer.pPrinterName, "M(S)") << "the record keeps the name it was given";
    EXPECT_EQ(sim.spooler().printers.size(), 1u);
}

class MonitorRegistrationTest : public InstallTest {
protected:
    std::string error;
};

TEST_F(MonitorRegistrationTest, AnInstalledMonitorCountsAsAdded) {
    MONITOR_INFO_2A monitor = {};
    char name[] = "Local Port", dll[] = "localspl.dll";
    monitor.pName = name;
    monitor.pDLLName = dll;
    EXPECT_TRUE(install::addMonitor(&monitor, error));
    sim.faults().fail("AddMonitorA", ERROR_ALREADY_EXISTS).times(1);
    EXPECT_TRUE(install::addMonitor(&monitor, error));
    EXPECT_EQ(error, "");
    sim.faults().fail("AddMonitorA", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(install::addMonitor(&monitor, error));
    EXPECT_EQ(error, "<IDS_ERR_ADDMONITOR> Erro code is:5");
}

TEST_F(MonitorRegistrationTest, AParallelPortNeedsNoMonitorAndReadsNothing) {
    EXPECT_EQ(install::installPortMonitors(job.config, 3, "LPT1:", error), 0);
    EXPECT_TRUE(sim.calls("GetPrivateProfileStringA").empty());
}

TEST_F(MonitorRegistrationTest, TheVersionRuleDecidesWhatIsDone) {
    job.config.setCategory(0);
    const std::string key = monitorKey("Serial Mon");
    sim.registry().setDword(HKEY_LOCAL_MACHINE, key, "DriverVersion", 3);
    EXPECT_EQ(install::installPortMonitors(job.config, 3, "COM1:", error), 0) << "same version";
    sim.registry().setDword(HKEY_LOCAL_MACHINE, key, "DriverVersion", 4);
    EXPECT_EQ(install::installPortMonitors(job.config, 3, "COM1:", error), 0) << "newer installed";
    sim.registry().setDword(HKEY_LOCAL_MACHINE, key, "DriverVersion", 2);
    EXPECT_EQ(install::installPortMonitors(job.config, 3, "COM1:", error), install::kSerialMonitorOlder);
    sim.registry().removeTree(HKEY_LOCAL_MACHINE, key);
    sim.registry().setString(HKEY_LOCAL_MACHINE, key, "Driver", "SER.DLL");
    EXPECT_EQ(install::installPortMonitors(job.config, 3, "COM1:", error), install::kSerialMonitorOlder)
        << "no version to read";
    EXPECT_TRUE(sim.calls("AddMonitorA").empty()) << "an installed monitor is not added again";
}

TEST_F(MonitorRegistrationTest, ALargeInstalledVersionComparesUnsigned) {
    sim.registry().setDword(HKEY_LOCAL_MACHINE, monitorKey("Serial Mon"), "DriverVersion", 0x80000000u);
    EXPECT_EQ(install::installPortMonitors(job.config, 3, "COM1:", error), 0);
}

TEST_F(MonitorRegistrationTest, AnAbsentMonitorIsCopiedAddedAndGivenItsVersion) {
    EXPECT_EQ(install::installPortMonitors(job.config, 3, "HVCOM2:", error), 0) << error;
    EXPECT_EQ(sim.registry().getDword(HKEY_LOCAL_MACHINE, monitorKey("Serial Mon"), "DriverVersion"), 3u);
    EXPECT_TRUE(exists(systemDirectory() + "\\SER.DLL"));
    EXPECT_TRUE(exists(systemDirectory() + "\\SERUI.DLL"));
    EXPECT_TRUE(sim.spooler().hasPort("HVCOM2:"));
}

TEST_F(MonitorRegistrationTest, AMonitorDllInUseIsAddedUnderItsPrefixedName) {
    write(systemDirectory() + "\\SER.DLL", "another program's copy");
    auto held = sim.files().hold(systemDirectory() + "\\SER.DLL");
    EXPECT_EQ(install::installPortMonitors(job.config, 3, "COM1:", error), 0) << error;
    ASSERT_NE(sim.spooler().monitor("Serial Mon"), nullptr);
    EXPECT_EQ(sim.spooler().monitor("Serial Mon")->dll, "nSER.DLL");
    sim.files().release(held);
}

TEST_F(MonitorRegistrationTest, SerialCopyFailuresAreReportedButTheSpoolerDecides) {
    sim.files().remove("C:\\MEDIUM\\W32\\SERUI.DLL");
    EXPECT_EQ(install::installPortMonitors(job.config, 3, "COM1:", error), 0);
    EXPECT_EQ(error, "<IDS_ERR_COPYFIEL>SERUI.DLL  er = 2C:\\MEDIUM\\W32\\SERUI.DLL");
    EXPECT_NE(sim.spooler().monitor("Serial Mon"), nullptr);

    // The monitor's own DLL missing from the medium: the copy an earlier
    // installation left in the system directory is registered.
    sim.spooler().removeMonitor("Serial Mon");
    sim.registry().removeTree(HKEY_LOCAL_MACHINE, monitorKey("Serial Mon"));
    onMedium("SERUI.DLL");
    sim.files().remove("C:\\MEDIUM\\W32\\SER.DLL");
    error.clear();
    EXPECT_EQ(install::installPortMonitors(job.config, 3, "COM1:", error), 0);
    EXPECT_EQ(error, "<IDS_ERR_COPYFIEL>SER.DLL  er = 2C:\\MEDIUM\\W32\\SER.DLL");
    EXPECT_NE(sim.spooler().monitor("Serial Mon"), nullptr);
    EXPECT_EQ(sim.registry().getDword(HKEY_LOCAL_MACHINE, monitorKey("Serial Mon"), "DriverVersion"), 3u);
}

TEST_F(MonitorRegistrationTest, UsbCopyFailuresAreNotReported) {
    sim.files().remove("C:\\MEDIUM\\W32\\USBUI.DLL");
    EXPECT_EQ(install::installPortMonitors(job.config, 3, "USB_M_1", error), 0);
    EXPECT_EQ(error, "");
}

TEST_F(MonitorRegistrationTest, WhichSystemsGetWhichMonitors) {
    // A serial port on 98/Me and a USB port on NT 4.0 get no monitor.
    EXPECT_EQ(install::installPortMonitors(job.config, 0, "COM1:", error), 0);
    EXPECT_EQ(install::installPortMonitors(job.config, 1, "USB_M_1", error), 0);
    EXPECT_EQ(install::installLanguageMonitor(job.config, 1, "USB_M_1", error), 0);
    EXPECT_EQ(install::installLanguageMonitor(job.config, 3, "HVCOM1:", error), 0);
    EXPECT_TRUE(sim.calls("AddMonitorA").empty());
}

TEST_F(MonitorRegistrationTest, TheLanguageMonitorFollowsTheVersionRule) {
    EXPECT_EQ(install::installLanguageMonitor(job.config, 3, "USB_M_1", error), 0) << error;
    EXPECT_EQ(sim.registry().getDword(HKEY_LOCAL_MACHINE, monitorKey("Stand-in Language Monitor"), "DriverVersion"), 2u);
    sim.registry().setDword(HKEY_LOCAL_MACHINE, monitorKey("Stand-in Language Monitor"), "DriverVersion", 1);
    EXPECT_EQ(install::installLanguageMonitor(job.config, 3, "USB_M_1", error), install::kLanguageMonitorOlder);
}

TEST_F(MonitorRegistrationTest, AFailingAddIsAMonitorFailure) {
    sim.faults().fail("AddMonitorA", ERROR_ACCESS_DENIED);
    EXPECT_EQ(install::installLanguageMonitor(job.config, 3, "USB_M_1", error), install::kMonitorInstallFailed);
    EXPECT_EQ(error, "<IDS_ERR_ADDMONITOR> Erro code is:5");
    error.clear();
    EXPECT_EQ(install::installPortMonitors(job.config, 3, "USB_M_1", error), install::kMonitorInstallFailed);
    EXPECT_EQ(error, "<IDS_ERR_ADDMONITOR> Erro code is:5");
    // No version is recorded for a monitor the spooler did not take.
    for (const char* monitor : {"Stand-in Language Monitor", "Usb Mon"})
        EXPECT_FALSE(sim.registry().exists(HKEY_LOCAL_MACHINE, monitorKey(monitor))) << monitor;
}

class ProcessorRegistrationTest : public InstallTest {
protected:
    std::string error;
};

// Windows' own monitors and processor, however the medium spells them, are
// taken as they are: a medium that names one never gets its file or its
// registration replaced (Windows keeps them without a version, which would
// otherwise read as older than any medium's).
TEST_F(ProcessorRegistrationTest, WindowsOwnComponentsAreNeverRewritten) {
    for (const char* processor : {"WinPrint", "winprint", "WINPRINT"}) {
        EXPECT_EQ(install::installPrintProcessor(3, processor, "MPROC.DLL", error), 0) << processor;
        EXPECT_EQ(install::installPrintProcessor(0, processor, "MPROC.DLL", error), 0) << processor;
    }
    EXPECT_TRUE(sim.calls("AddPrintProcessorA").empty());
    EXPECT_TRUE(sim.calls("RegOpenKeyExA").empty());

    std::string setup = monitorSections();
    for (size_t at; (at = setup.find("Serial Mon")) != std::string::npos;) setup.replace(at, 10, "local port");
    write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", setup);
    sim.registry().setDword(HKEY_LOCAL_MACHINE, install::monitorKey("Local Port"), "Marker", 7);
    prepare("COM1:");
    ASSERT_TRUE(install()) << message();
    EXPECT_EQ(sim.services().spooler().stops, 0) << "nothing of Windows' is replaced";
    EXPECT_TRUE(sim.calls("AddMonitorA").empty());
    EXPECT_FALSE(exists(systemDirectory() + "\\SER.DLL"));
    EXPECT_EQ(sim.registry().getDword(HKEY_LOCAL_MACHINE, install::monitorKey("Local Port"), "DriverVersion"),
              0xFFFFFFFFu);
}

TEST_F(ProcessorRegistrationTest, AnAbsentProcessorIsCopiedAddedAndSettles) {
    EXPECT_EQ(install::installPrintProcessor(3, "MProc", "MPROC.DLL", error), 0) << error;
    EXPECT_TRUE(exists(processorDirectory() + "\\MPROC.DLL"));
    EXPECT_EQ(sim.registry().getDword(HKEY_LOCAL_MACHINE, processorKey(3, "MProc"), "DriverVersion"), 2u);
    EXPECT_EQ(sim.clock().sleeps(), std::vector<DWORD>{200});
}

TEST_F(ProcessorRegistrationTest, AProcessorTheSpoolerRefusesFails) {
    sim.files().remove("C:\\MEDIUM\\W32\\MPROC.DLL");
    EXPECT_EQ(install::installPrintProcessor(3, "MProc", "MPROC.DLL", error), install::kProcessorInstallFailed);
    EXPECT_EQ(error, "<IDS_ERR_ADDPROCESSOR>") << "the copy failure itself is not reported";
    EXPECT_FALSE(sim.registry().exists(HKEY_LOCAL_MACHINE, processorKey(3, "MProc")));
    EXPECT_TRUE(sim.clock().sleeps().empty()) << "nothing to settle";
}

TEST_F(ProcessorRegistrationTest, TheSpoolersAnswersAreReturnedAsTheyAre) {
    sim.faults().fail("AddPrintProcessorA", ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED).times(1);
    EXPECT_EQ(install::addPrintProcessor("P", "P.DLL", 3), 3005);
    sim.faults().fail("AddPrintProcessorA", ERROR_INVALID_PARAMETER).times(1);
    EXPECT_EQ(install::addPrintProcessor("P", "P.DLL", 3), 87);
    sim.faults().fail("AddPrintProcessorA", ERROR_ACCESS_DENIED).times(1);
    EXPECT_EQ(install::addPrintProcessor("P", "P.DLL", 3), 0);
}

class DefaultPrinterTest : public InstallTest {
protected:
    explicit DefaultPrinterTest(int targetOs = 3) : InstallTest(targetOs) {}
    void makePrinter(const std::string& port) {
        prepare(port);
        ASSERT_TRUE(install()) << message();
        sim.desktop().broadcasts().clear();
    }
    std::string defaultPrinter() {
        char name[128] = {};
        DWORD size = sizeof name;
        return sim.GetDefaultPrinterA(name, &size) ? name : "";
    }
};

TEST_F(DefaultPrinterTest, From2000OnThroughTheSpoolersOwnFunction) {
    makePrinter("LPT1:");
    EXPECT_FALSE(install::setDefaultPrinter(nullptr));
    ASSERT_TRUE(install::setDefaultPrinter("M(P)"));
    EXPECT_EQ(defaultPrinter(), "M(P)");
    EXPECT_EQ(sim.calls("LoadLibraryA"), std::vector<std::string>{"C:\\WINDOWS\\system32\\winspool.drv"});
    EXPECT_EQ(sim.calls("FreeLibrary").size(), 1u);
    ASSERT_EQ(sim.desktop().broadcasts().size(), 1u);
    EXPECT_FALSE(sim.desktop().broadcasts()[0].hasText);
    EXPECT_FALSE(install::setDefaultPrinter("No Such Printer"));
    EXPECT_EQ(sim.openHandles(), 0u);
}

class DefaultPrinterNt4Test : public DefaultPrinterTest {
protected:
    DefaultPrinterNt4Test() : DefaultPrinterTest(1) {}
};

TEST_F(DefaultPrinterNt4Test, ThroughWinIniWithDriverAndPort) {
    makePrinter("LPT2:");
    ASSERT_TRUE(install::setDefaultPrinter("M(P)"));
    char device[128] = {};
    sim.GetProfileStringA("windows", "device", "", device, sizeof device);
    EXPECT_STREQ(device, "M(P),M Old,LPT2:");
    ASSERT_EQ(sim.desktop().broadcasts().size(), 1u);
    EXPECT_EQ(sim.desktop().broadcasts()[0].message, static_cast<UINT>(WM_WININICHANGE));
    EXPECT_FALSE(sim.desktop().broadcasts()[0].hasText);
    EXPECT_TRUE(sim.calls("LoadLibraryA").empty());
    EXPECT_EQ(sim.openHandles(), 0u);
}

TEST_F(DefaultPrinterNt4Test, AFailureClosesAndFreesEverything) {
    makePrinter("LPT2:");
    sim.faults().fail("GlobalAlloc", ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_FALSE(install::setDefaultPrinter("M(P)"));
    EXPECT_EQ(sim.openHandles(), 0u);
    EXPECT_TRUE(sim.desktop().broadcasts().empty());
}

class DefaultPrinter98Test : public DefaultPrinterTest {
protected:
    DefaultPrinter98Test() : DefaultPrinterTest(0) {}
};

TEST_F(DefaultPrinter98Test, ThroughThePrintersDefaultAttribute) {
    makePrinter("LPT1:");
    ASSERT_TRUE(install::setDefaultPrinter("M(P)"));
    EXPECT_NE(sim.spooler().printer("M(P)")->attributes & PRINTER_ATTRIBUTE_DEFAULT, 0u);
    EXPECT_EQ(defaultPrinter(), "M(P)");
    ASSERT_EQ(sim.desktop().broadcasts().size(), 1u);
    EXPECT_EQ(sim.desktop().broadcasts()[0].text, "windows");
    EXPECT_EQ(sim.desktop().broadcasts()[0].timeout, 1000u);
}

class PortEnumerationTest : public InstallTest {
protected:
    std::string error;
};

TEST_F(PortEnumerationTest, SucceedsWhenTheSpoolerListsItsPorts) {
    EXPECT_TRUE(install::checkPortEnumeration(error));
    EXPECT_EQ(error, "");
    EXPECT_EQ(sim.calls("EnumPortsA").size(), 2u);
}

TEST_F(PortEnumerationTest, AnyFailureIsReportedAsMemory) {
    sim.faults().fail("LocalAlloc", ERROR_NOT_ENOUGH_MEMORY).times(1);
    EXPECT_FALSE(install::checkPortEnumeration(error));
    EXPECT_EQ(error, "<IDS_ERR_ALLOCMEMORY>");
    error.clear();
    sim.faults().fail("EnumPortsA", RPC_S_SERVER_UNAVAILABLE).after(1).times(1);
    EXPECT_FALSE(install::checkPortEnumeration(error));
    EXPECT_EQ(error, "<IDS_ERR_ALLOCMEMORY>");
}

// Whichever step of making a printer the default fails, on each system's
// way of doing it: the default stays the printer it was, nothing is
// broadcast, and no handle, memory or library is left behind.
TEST(DefaultPrinterFailureTest, AnyFailedStepLeavesTheDefaultAsItWas) {
    struct Row {
        int targetOs;
        const char* call;
        int after;  // matching calls let through first
    } rows[] = {
        {0, "OpenPrinterA", 0},          {0, "GetPrinterA", 0},    {0, "GlobalAlloc", 0},
        {0, "GetPrinterA", 1},           {0, "SetPrinterA", 0},    {1, "OpenPrinterA", 0},
        {1, "GetPrinterA", 1},           {1, "WriteProfileStringA", 0},
        {3, "GetSystemDirectoryA", 0},   {3, "LoadLibraryA", 0},   {3, "GetProcAddress", 0},
        {3, "SetDefaultPrinterA", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.targetOs) + " " + row.call + " after " + std::to_string(row.after));
        testing_support::InstallScenario machine(row.targetOs);
        machine.prepare("LPT1:");
        ASSERT_TRUE(machine.install()) << machine.message();
        ASSERT_TRUE(install::setDefaultPrinter("M(P)"));
        machine.prepare("LPT1:");
        ASSERT_TRUE(machine.install()) << machine.message();
        ASSERT_EQ(machine.job.selection.modelName, "M(P)(1)");
        os::sim::SimOs& sim = machine.sim;
        sim.desktop().broadcasts().clear();
        sim.faults().fail(row.call, ERROR_ACCESS_DENIED).after(row.after);
        EXPECT_FALSE(install::setDefaultPrinter("M(P)(1)"));
        sim.faults().clear();
        char name[64] = {};
        DWORD size = sizeof name;
        ASSERT_TRUE(sim.GetDefaultPrinterA(name, &size));
        EXPECT_STREQ(name, "M(P)");
        EXPECT_TRUE(sim.desktop().broadcasts().empty());
        // Libraries count as handles; memory left behind fails under the sanitizers.
        EXPECT_EQ(sim.openHandles(), 0u);
    }
}
