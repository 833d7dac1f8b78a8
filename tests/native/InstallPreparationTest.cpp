// What Install on the last page does before the install sequence runs, on
// the simulated machine: every refusal with its message, the USB printer's
// identity, the printer's name and port, the USB class driver update with
// its waits, and a prepared job installed from end to end.
#include <functional>

#include "install/InstallPreparation.h"
#include "install/UsbClassDriver.h"
#include "install/UsbIdentity.h"
#include "install/UsbPortRegistry.h"
#include "os/sim/Spooler.h"
#include "support/InstallFixture.h"

using testing_support::InstallTest;

namespace {

const char* const kCategoryFile = "C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini";

class InstallPreparationTest : public InstallTest {
public:
    InstallPreparationTest() {
        std::string texts = testing_support::engineLanguageFile();
        for (const char* key : {"IDS_ERR_SELPRINTER", "IDS_NOTSUPPORTNT", "IDS_NOTSUPPORT2003",
                                "IDS_NOTSUPPORT2008", "IDS_NOTSUPPORTWin7", "IDS_ERR_NOSUPPORTINTERFACE",
                                "IDS_ERR_NOUSBDEVICE", "IDS_ERR_ONEPRINTER", "IDS_INF_CHANGEID",
                                "IDS_ERR_NOSUPPORTUSB"})
            texts += std::string(key) + "=<" + key + ">\r\n";
        write("C:\\MEDIUM\\language\\setup.ini",
              texts + "[Setup]\r\nCaptionName=USB driver installer\r\n");
        app::reopenMessageTexts();
        write("C:\\MEDIUM\\HvUsbInt.dll", "MZ stand-in");
        // Both class drivers the same: no update unless a test wants one.
        for (const std::string& path : {install::installedUsbDriverPath(), install::mediumUsbDriverPath()})
            sim.files().writeFile(path, testData("pe/ver1002.dll"));
    }

    bool prepare(int runningOs = 3) { return prepareForInstall(runningOs); }
    std::string printerName() const { return job.printer.pPrinterName; }
    std::string printerPort() const { return job.printer.pPortName; }
};

TEST_F(InstallPreparationTest, EveryRefusalIsShownAndStopsTheInstall) {
    struct Row {
        const char* what;
        std::function<void(InstallPreparationTest&)> arrange;
        std::vector<std::string> shown;
        bool wizardBox;  // the last box: the wizard's (owned, OK) or the application's
        bool portRecorded = false;  // the USB port's record is written before the refusal
        bool commandSent = false;   // bytes reached the printer
    } rows[] = {
        {"no model", [](InstallPreparationTest& t) { t.select(3, "LPT1:", 1, ""); },
         {"<IDS_ERR_SELPRINTER>"}, true},
        {"NT 4.0 not supported", [](InstallPreparationTest& t) { t.select(1, "LPT1:"); },
         {"<IDS_NOTSUPPORTNT>"}, false},
        {"2003 not supported", [](InstallPreparationTest& t) { t.select(4, "LPT1:"); },
         {"<IDS_NOTSUPPORT2003>"}, false},
        {"2008 not supported", [](InstallPreparationTest& t) { t.select(6, "LPT1:"); },
         {"<IDS_NOTSUPPORT2008>"}, false},
        {"7 not supported", [](InstallPreparationTest& t) { t.select(7, "LPT1:"); },
         {"<IDS_NOTSUPPORTWin7>"}, false},
        {"a port of no known kind", [](InstallPreparationTest& t) { t.select(3, "FILE:"); },
         {"<IDS_ERR_NOSUPPORTINTERFACE>"}, true},
        {"no port at all", [](InstallPreparationTest& t) { t.select(3, ""); },
         {"<IDS_ERR_NOSUPPORTINTERFACE>"}, true},
        {"no USB printer in advanced mode", [](InstallPreparationTest& t) { t.select(3, "USB_M_2", 0); },
         {"<IDS_ERR_NOUSBDEVICE>"}, true},
        {"two USB printers, advanced", [](InstallPreparationTest& t) {
             t.select(3, "USB_M_2", 0);
             t.sim.usb().attach(1);
             t.sim.usb().attach(2);
         },
         {"<IDS_ERR_ONEPRINTER>"}, false},
        {"two USB printers, typical", [](InstallPreparationTest& t) {
             t.select(3, "USB_M_1", 1);
             t.sim.usb().attach(1);
             t.sim.usb().attach(2);
         },
         {"<IDS_ERR_ONEPRINTER>"}, false},
        {"the number change declined", [](InstallPreparationTest& t) {
             t.select(3, "USB_M_3", 0);
             t.sim.usb().attach(8);  // number 1
             t.sim.desktop().answer(IDNO);
         },
         {"<IDS_INF_CHANGEID>"}, false},
        {"the number change refused by the printer, advanced", [](InstallPreparationTest& t) {
             t.select(3, "USB_M_3", 0);
             t.sim.usb().attach(8).acceptsWrites = false;
         },
         {"<IDS_INF_CHANGEID>", "write ID error", "Failed to set Printer ID!"}, true, false, true},
        {"the number change refused by the printer, typical", [](InstallPreparationTest& t) {
             t.select(3, "USB_M_1", 1);
             t.sim.usb().attach(9).acceptsWrites = false;  // number 2
         },
         {"<IDS_INF_CHANGEID>", "write ID error"}, false, false, true},
        // The printer hears nothing that is not of its own command set: a
        // medium without the signature does not offer the change it cannot
        // make, and says which port the printer belongs on instead.
        {"no command signature on the medium, advanced", [](InstallPreparationTest& t) {
             t.write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", InstallTest::monitorSections(nullptr));
             t.select(3, "USB_M_3", 0);
             t.sim.usb().attach(8);  // number 1
         },
         {"This disc cannot give the USB printer a new port number. The printer carries number 1: "
          "choose its port, USB_M_1, instead of USB_M_3."}, true},
        {"no command signature, typical, a model with advanced mode", [](InstallPreparationTest& t) {
             t.write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", InstallTest::monitorSections(nullptr));
             t.write(kCategoryFile, "[M.PORT]\r\nAdvancedSetup=1\r\n" + InstallTest::modelSections());
             t.select(3, "USB_M_1", 1);
             t.sim.usb().attach(9);  // number 2
         },
         {"This disc cannot give the USB printer a new port number. The printer carries number 2, and a "
          "typical installation uses number 1: install it in advanced mode on its port, USB_M_2."}, true},
        {"a command signature that is not four bytes, typical, a model without advanced mode",
         [](InstallPreparationTest& t) {
             t.write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", InstallTest::monitorSections("50 4C 48"));
             t.select(3, "USB_M_1", 1);
             t.sim.usb().attach(9);  // number 2
         },
         {"This disc cannot give the USB printer a new port number. The printer carries number 2, and "
          "USB_M_1 needs number 1: connect a printer that carries number 1, or have this one's changed to it."},
         true},
        {"USB for NT 4.0", [](InstallPreparationTest& t) {
             t.write(kCategoryFile, "[M.PORT]\r\nSystemNTSupported=1\r\n");
             t.select(1, "USB_M_1");
         },
         {"<IDS_ERR_NOSUPPORTUSB>"}, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (int i = 0; i < 8; ++i) sim.usb().detach(i);
        sim.desktop().messageBoxes().clear();
        writeConfiguration();
        sim.registry().removeTree(HKEY_LOCAL_MACHINE, install::kPortNameKey);
        row.arrange(*this);
        std::vector<WORD> numbers;
        for (int i = 0; i < 8; ++i)
            if (auto* printer = sim.usb().at(i)) numbers.push_back(printer->deviceValue());
        EXPECT_FALSE(prepare());
        EXPECT_EQ(messages(), row.shown);
        // Nothing is installed; the printers keep their numbers, and only a
        // refusal after the identity's reconciliation finds the port recorded.
        for (int i = 0, n = 0; i < 8; ++i)
            if (auto* printer = sim.usb().at(i)) {
                EXPECT_EQ(printer->deviceValue(), numbers[n++]);
                EXPECT_EQ(!printer->received.empty(), row.commandSent);
            }
        EXPECT_EQ(sim.registry().exists(HKEY_LOCAL_MACHINE, install::kPortNameKey), row.portRecorded);
        if (!sim.desktop().messageBoxes().empty()) {
            const auto& last = sim.desktop().messageBoxes().back();
            EXPECT_EQ(last.owner == reinterpret_cast<HWND>(0x4242), row.wizardBox);
        }
    }
}

TEST_F(InstallPreparationTest, TheSystemChecksAskOnlyForTheSystemsThatNeedThem) {
    write(kCategoryFile, "[M.PORT]\r\nSystem2003Supported=1\r\n");
    for (int target : {0, 2, 3, 4, 5}) {
        SCOPED_TRACE(target);
        select(target, "LPT1:");
        EXPECT_TRUE(prepare());
    }
    EXPECT_TRUE(messages().empty());
}

TEST_F(InstallPreparationTest, ThePrinterIsNamedAfterItsPortKind) {
    struct Row {
        const char* port;
        int mode;
        WORD deviceValue;  // of the attached printer; 0xFFFF: none
        const char* name;
    } rows[] = {
        {"HVCOM2:", 1, 0xFFFF, "M(S)"},
        {"LPT1:", 1, 0xFFFF, "M(P)"},
        {"USB_M_1", 1, 0xFFFF, "M(U) 1"},  // typical: no printer is no obstacle
        {"USB_M_3", 0, 10, "M(U) 3"},      // the printer already carries number 3: nothing asked
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.port);
        for (int i = 0; i < 8; ++i) sim.usb().detach(i);
        if (row.deviceValue != 0xFFFF) sim.usb().attach(row.deviceValue);
        select(3, row.port, row.mode);
        ASSERT_TRUE(prepare());
        EXPECT_EQ(printerName(), row.name);
        EXPECT_EQ(printerPort(), row.port);
    }
    EXPECT_TRUE(messages().empty());
}

TEST_F(InstallPreparationTest, AnAgreedNumberChangeGivesThePrinterThePortsNumber) {
    select(3, "USB_M_3", 0);
    sim.usb().attach(8);  // number 1
    sim.desktop().answer(IDYES);
    ASSERT_TRUE(prepare());
    EXPECT_EQ(messages(), std::vector<std::string>{"<IDS_INF_CHANGEID>"});
    EXPECT_EQ(install::usbPortNumber(sim.usb().at(0)->deviceValue()), 3);

    // Typical mode wants number 1.
    select(3, "USB_M_1", 1);
    sim.desktop().answer(IDYES);
    ASSERT_TRUE(prepare());
    EXPECT_EQ(install::usbPortNumber(sim.usb().at(0)->deviceValue()), 1);
    EXPECT_EQ(job.driver.pMonitorName, std::string(job.languageMonitor.pName));

    // The command carries the medium's signature, whatever it is.
    write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", InstallTest::monitorSections(" 0a 1B  c2 FF "));
    select(3, "USB_M_3", 0);
    sim.desktop().answer(IDYES);
    prepare();
    const std::vector<BYTE> expected = {0x1B, 0x73, 0x0A, 0x1B, 0xC2, 0xFF, 0x1D, 0x49, 0x20, 2};
    EXPECT_EQ(sim.usb().at(0)->received.back(), expected);
}

TEST_F(InstallPreparationTest, TheSpoolerPortOfTheOneRewrittenModelIsRecorded) {
    write(kCategoryFile, "[KPX-D7 Plus.PORT]\r\nUSBSUPPORTED=1\r\n");
    write("C:\\MEDIUM\\DRVCONFIG\\setup.ini",
          InstallTest::monitorSections() + "[SUPPORTED-USB-DEVICE]\r\nUSB_KPX-D7_2=6\r\n");
    select(3, "USB_KPX-D7 Plus_2", 0, "KPX-D7 Plus");
    sim.usb().attach(1);  // number 2
    ASSERT_TRUE(prepare());
    EXPECT_EQ(printerPort(), "USB_KPX-D7_2");
    EXPECT_EQ(sim.registry().getDword(HKEY_LOCAL_MACHINE, install::kPortNameKey, "USB_KPX-D7_2"), 6u);
    EXPECT_EQ(sim.registry().getDword(HKEY_LOCAL_MACHINE, install::kPortNameKey, "USB_KPX-D7 Plus_2"),
              0xFFFFFFFFu);
}

TEST_F(InstallPreparationTest, ANewerClassDriverIsInstalledByTheInstallerAndAwaited) {
    sim.files().writeFile(install::installedUsbDriverPath(), testData("pe/ver1001.dll"));
    sim.files().writeFile("C:\\MEDIUM\\USBDrv\\Install.exe", std::string("MZ"));
    sim.files().setAttributes("C:\\MEDIUM\\USBDRV\\bulkusb.sys", FILE_ATTRIBUTE_READONLY);
    // The installer's window stays for 2.5 s.
    sim.desktop().onShellExecute = [this](const os::sim::Desktop::ShellRun&) {
        sim.desktop().openWindow("USB driver installer", "", sim.clock().now() + 2500);
        return reinterpret_cast<HINSTANCE>(42);
    };
    select(3, "USB_M_1");
    sim.clock().clearWaits();
    ASSERT_TRUE(prepare());
    ASSERT_EQ(sim.desktop().shellRuns().size(), 1u);
    const auto& run = sim.desktop().shellRuns()[0];
    EXPECT_EQ(run.verb, "open");
    EXPECT_EQ(run.file, "C:\\MEDIUM\\USBDrv\\Install.exe");
    EXPECT_EQ(run.parameters, "2");
    EXPECT_EQ(run.show, SW_SHOWNORMAL);
    DWORD attributes = 0;
    sim.files().getAttributes("C:\\MEDIUM\\USBDRV\\bulkusb.sys", &attributes);
    EXPECT_EQ(attributes, DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(sim.clock().sleeps(), (std::vector<DWORD>{500, 1000, 1000, 1000, 2000}));

    // Nothing newer, or a system without the class driver: no installer.
    for (int running : {0, 1}) {
        sim.desktop().shellRuns().clear();
        EXPECT_TRUE(prepare(running));
        EXPECT_TRUE(sim.desktop().shellRuns().empty()) << running;
    }
    sim.files().writeFile(install::installedUsbDriverPath(), testData("pe/ver1002.dll"));
    EXPECT_TRUE(prepare());
    EXPECT_TRUE(sim.desktop().shellRuns().empty());

    // The language file without the installer's caption: no window is
    // awaited, as an empty title would match any untitled one.
    write("C:\\MEDIUM\\language\\setup.ini", testing_support::engineLanguageFile());
    sim.files().writeFile(install::installedUsbDriverPath(), testData("pe/ver1001.dll"));
    sim.desktop().openWindow("", "", sim.clock().now() + 5000);
    sim.clock().clearWaits();
    EXPECT_TRUE(prepare());
    EXPECT_EQ(sim.desktop().shellRuns().size(), 1u);
    EXPECT_EQ(sim.clock().sleeps(), (std::vector<DWORD>{500, 1000, 2000}));

}

// An installer that cannot be started is said; it stops the installation
// only where no class driver is installed at all, as an older one drives
// the printer.
TEST_F(InstallPreparationTest, AnInstallerThatCannotStartStopsOnlyWithoutAnyClassDriver) {
    const std::string notStarted = "Can not start C:\\MEDIUM\\USBDrv\\Install.exe  er = 2";
    struct Row {
        const char* what;
        const char* installed;  // the installed class driver's test file; null: none
        bool goesOn;
        std::string shown;
    } rows[] = {
        {"an older class driver installed", "pe/ver1001.dll", true,
         notStarted + "\r\n\r\nThe USB class driver already installed is kept, and the installation goes on."},
        {"one without a version", "pe/nores.dll", true,
         notStarted + "\r\n\r\nThe USB class driver already installed is kept, and the installation goes on."},
        {"none installed", nullptr, false, notStarted},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        sim.files().remove(install::installedUsbDriverPath());
        if (row.installed) sim.files().writeFile(install::installedUsbDriverPath(), testData(row.installed));
        sim.desktop().messageBoxes().clear();
        sim.registry().removeTree(HKEY_LOCAL_MACHINE, install::kPortNameKey);
        sim.clock().clearWaits();
        select(3, "USB_M_1");
        EXPECT_EQ(prepare(), row.goesOn);
        EXPECT_EQ(messages(), std::vector<std::string>{row.shown});
        EXPECT_EQ(sim.desktop().messageBoxes().back().owner, reinterpret_cast<HWND>(0x4242));
        EXPECT_TRUE(sim.clock().sleeps().empty()) << "no installer is waited for";
        // Gone on: the printer named and its port recorded.
        EXPECT_EQ(sim.registry().exists(HKEY_LOCAL_MACHINE, install::kPortNameKey), row.goesOn);
        if (row.goesOn) {
            ASSERT_NE(job.printer.pPrinterName, nullptr);
            EXPECT_EQ(printerName(), "M(U) 1");
        }
    }
}

// The texts of the renumbering refusals and of the installer above come
// from the language file where it has them, with each figure where the
// text places it, and appended where the text names none.
TEST_F(InstallPreparationTest, ItsOwnTextsComeFromTheLanguageFileWithTheirFigures) {
    write("C:\\MEDIUM\\language\\setup.ini",
          testing_support::engineLanguageFile() +
              "IDS_ERR_USBID_OWNPORT=<own %3 %2 %1>\r\nIDS_ERR_USBID_ADVANCED=<advanced>\r\n"
              "IDS_ERR_STARTUSBINSTALLER=<not started %2 %1>\r\n"
              "IDS_INF_USBDRIVERKEPT=<kept>\\1%1\r\n[Setup]\r\nCaptionName=USB driver installer\r\n");
    struct Row {
        const char* what;
        std::function<void(InstallPreparationTest&)> arrange;
        std::string shown;
    } rows[] = {
        {"its own port, advanced", [](InstallPreparationTest& t) {
             t.write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", InstallTest::monitorSections(nullptr));
             t.select(3, "USB_M_3", 0);
             t.sim.usb().attach(8);  // number 1
         },
         "<own USB_M_3 USB_M_1 1>"},
        {"advanced mode, a text without its figures", [](InstallPreparationTest& t) {
             t.write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", InstallTest::monitorSections(nullptr));
             t.write(kCategoryFile, "[M.PORT]\r\nAdvancedSetup=1\r\n" + InstallTest::modelSections());
             t.select(3, "USB_M_1", 1);
             t.sim.usb().attach(9);  // number 2
         },
         "<advanced> 2 USB_M_2"},
        {"the installer not started, an older class driver kept", [](InstallPreparationTest& t) {
             t.sim.files().writeFile(install::installedUsbDriverPath(), t.testData("pe/ver1001.dll"));
             t.select(3, "USB_M_1");
         },
         "<kept>\r\n<not started 2 C:\\MEDIUM\\USBDrv\\Install.exe>"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (int i = 0; i < 8; ++i) sim.usb().detach(i);
        sim.desktop().messageBoxes().clear();
        writeConfiguration();
        sim.files().writeFile(install::installedUsbDriverPath(), testData("pe/ver1002.dll"));
        row.arrange(*this);
        prepare();
        EXPECT_EQ(messages(), std::vector<std::string>{row.shown});
    }
}

TEST_F(InstallPreparationTest, APreparedUsbJobInstallsWithLongNamesInEveryRecord) {
    // Names far beyond a short string's room, so that any record pointing
    // into storage that a later build replaces reads freed memory.
    const std::string longMonitor = "Point Of Sale Language Monitor";
    std::string sections = InstallTest::monitorSections();
    for (size_t at = sections.find("Stand-in Language Monitor"); at != std::string::npos;
         at = sections.find("Stand-in Language Monitor", at + longMonitor.size()))
        sections.replace(at, std::string("Stand-in Language Monitor").size(), longMonitor);
    write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", sections);
    select(3, "USB_M_1");
    ASSERT_TRUE(prepare());
    ASSERT_TRUE(install()) << message();
    const auto* driver = sim.spooler().driver("M USB", "Windows NT x86");
    ASSERT_NE(driver, nullptr);
    EXPECT_EQ(driver->monitorName, longMonitor);
    EXPECT_NE(sim.spooler().printer("M(U) 1"), nullptr);
}

}  // namespace

// On 64-bit Windows the program is an x86 one under WOW64: the class driver
// it compares and installs is the medium's 64-bit one, and the installed
// copy that counts is the one in the native drivers folder, where Windows
// loads it from, not the one SysWOW64\drivers shows the program.
class UsbClassDriverMachine : public testing_support::InstallScenario {
public:
    explicit UsbClassDriverMachine(const os::sim::Machine& machine) : InstallScenario(7) {
        sim.machine() = machine;
        write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini",
              "[M.PORT]\r\nSystemWin7Supported=1\r\n" + modelSections());
        write("C:\\MEDIUM\\language\\setup.ini", testing_support::engineLanguageFile() +
                                                     "[Setup]\r\nCaptionName=USB driver installer\r\n");
        app::reopenMessageTexts();
        write("C:\\MEDIUM\\HvUsbInt.dll", "MZ stand-in");
        for (const char* folder : {"C:\\MEDIUM\\USBDrv\\", "C:\\MEDIUM\\USBDrv\\X64\\"})
            for (const char* file : {"Install.exe", "BULKUSB.INF", "BULKUSB.CAT"})
                write(std::string(folder) + file, std::string("content of ") + file);
        sim.files().writeFile("C:\\MEDIUM\\USBDrv\\X64\\Install.exe",
                              os::sim::Spooler::dllExporting({"Install"}, IMAGE_FILE_MACHINE_AMD64));
        // The 64-bit builds of what a USB installation of the model copies.
        for (const char* file : {"DRV.DLL", "DRVUI.DLL", "MPROC.DLL", "USBPM.DLL", "USBUI.DLL", "LMON.DLL"})
            sim.files().writeFile(std::string("C:\\MEDIUM\\X64\\") + file,
                                  os::sim::Spooler::dllExporting({"InitializePrintMonitor2"}, IMAGE_FILE_MACHINE_AMD64));
    }
    std::string nativeDrivers() { return sim.machine().systemDirectory + "\\drivers\\bulkusb.sys"; }
    std::string wow64Drivers() { return sim.machine().wow64Directory() + "\\drivers\\bulkusb.sys"; }

    bool prepare(const std::string& port) {
        select(7, port);
        return prepareForInstall(7);
    }
};

TEST(UsbClassDriverOnEachArchitecture, TheMachinesOwnClassDriverIsComparedAndInstalledWhereWindowsLoadsIt) {
    using os::sim::Machine;
    struct Row {
        const char* what;
        Machine machine;
        const char* own;    // the medium's folder of this machine's class driver
        const char* other;  // the folder of the other architecture's
        std::vector<const char*> madeWritable;
    } rows[] = {
        {"32-bit Windows 7", Machine::windows7(), "C:\\MEDIUM\\USBDrv\\", "C:\\MEDIUM\\USBDrv\\X64\\",
         {"bulkusb.sys", "BULKUSB.INF"}},
        {"64-bit Windows 7", Machine::sixtyFourBit(Machine::windows7()), "C:\\MEDIUM\\USBDrv\\X64\\",
         "C:\\MEDIUM\\USBDrv\\", {"bulkusb.sys", "BULKUSB.INF", "BULKUSB.CAT"}},
        {"64-bit Windows 10", Machine::sixtyFourBit(Machine::windows10()), "C:\\MEDIUM\\USBDrv\\X64\\",
         "C:\\MEDIUM\\USBDrv\\", {"bulkusb.sys", "BULKUSB.INF", "BULKUSB.CAT"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        UsbClassDriverMachine m(row.machine);
        // Only this machine's medium copy is newer than the copy Windows
        // loads; on 64-bit Windows the program's own view holds a copy as
        // new as the medium's, which must not count.
        m.sim.files().writeFile(std::string(row.own) + "bulkusb.sys", m.testData("pe/ver1002.dll"));
        m.sim.files().writeFile(std::string(row.other) + "bulkusb.sys", m.testData("pe/ver1001.dll"));
        m.sim.files().writeFile(m.nativeDrivers(), m.testData("pe/ver1001.dll"));
        if (m.sim.machine().wow64()) m.sim.files().writeFile(m.wow64Drivers(), m.testData("pe/ver1002.dll"));
        for (const char* file : row.madeWritable)
            m.sim.files().setAttributes(std::string(row.own) + file, FILE_ATTRIBUTE_READONLY);
        // The installer of the machine's own architecture puts its driver in
        // the native folder.
        m.sim.desktop().onShellExecute = [&m](const os::sim::Desktop::ShellRun&) {
            m.sim.files().writeFile(m.nativeDrivers(), m.testData("pe/ver1002.dll"));
            return reinterpret_cast<HINSTANCE>(42);
        };
        ASSERT_TRUE(m.prepare("USB_M_1")) << testing::PrintToString(m.messages());
        ASSERT_EQ(m.sim.desktop().shellRuns().size(), 1u);
        EXPECT_EQ(m.sim.desktop().shellRuns()[0].file, std::string(row.own) + "Install.exe");
        for (const char* file : row.madeWritable) {
            DWORD attributes = 0;
            m.sim.files().getAttributes(std::string(row.own) + file, &attributes);
            EXPECT_EQ(attributes, DWORD(FILE_ATTRIBUTE_ARCHIVE)) << file;
        }
        // Now up to date where Windows loads it: no second run.
        EXPECT_EQ(install::FileVersionText(install::installedUsbDriverPath()), "1.0.0.2");
        EXPECT_TRUE(m.prepare("USB_M_1"));
        EXPECT_EQ(m.sim.desktop().shellRuns().size(), 1u);
        EXPECT_TRUE(m.messages().empty());
    }
}

// An installer that cannot be started goes on only beside a class driver
// Windows loads: on 64-bit Windows a copy in SysWOW64\drivers is none.
TEST(UsbClassDriverOnEachArchitecture, ACopyInTheProgramsOwnViewOfSixtyFourBitWindowsIsNoClassDriver) {
    UsbClassDriverMachine m(os::sim::Machine::sixtyFourBit(os::sim::Machine::windows10()));
    m.sim.files().writeFile("C:\\MEDIUM\\USBDrv\\X64\\bulkusb.sys", m.testData("pe/ver1002.dll"));
    m.sim.files().writeFile(m.wow64Drivers(), m.testData("pe/ver1001.dll"));
    m.sim.faults().fail("ShellExecuteA", ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(m.prepare("USB_M_1"));
    EXPECT_EQ(m.messages(),
              std::vector<std::string>{"Can not start C:\\MEDIUM\\USBDrv\\X64\\Install.exe  er = 2"});
    EXPECT_FALSE(m.sim.registry().exists(HKEY_LOCAL_MACHINE, install::kPortNameKey));
}

// Without the whole of USBDrv\X64 a USB printer is refused on 64-bit Windows
// before anything is changed, naming what is missing; other ports, and
// 32-bit Windows, do not need it.
TEST(UsbClassDriverOnEachArchitecture, AUsbPortOnSixtyFourBitWindowsNeedsTheWholeX64ClassDriver) {
    using os::sim::Machine;
    const std::string advice = ".\r\n\r\nChoose a parallel or serial port, or use a disc that holds the 64-bit USB "
                               "class driver.";
    const std::string head = "This disc cannot install a USB printer on 64-bit Windows: its USB class driver "
                             "for 64-bit Windows is incomplete. Missing: ";
    struct Row {
        const char* what;
        Machine machine;
        const char* port;
        std::vector<const char*> removed;  // from USBDrv\X64
        std::string refusal;               // empty: not refused
        bool x86Installer = false;         // USBDrv\X64's installer is the 32-bit build
    } rows[] = {
        {"no USBDrv\\X64", Machine::sixtyFourBit(Machine::windows10()), "USB_M_1",
         {"Install.exe", "BULKUSB.INF", "BULKUSB.CAT", "bulkusb.sys"},
         head + "USBDrv\\X64\\Install.exe, USBDrv\\X64\\BULKUSB.INF, USBDrv\\X64\\BULKUSB.CAT, "
                "USBDrv\\X64\\bulkusb.sys" + advice},
        {"its installer missing", Machine::sixtyFourBit(Machine::windows7()), "USB_M_1", {"Install.exe"},
         head + "USBDrv\\X64\\Install.exe" + advice},
        {"its catalog missing", Machine::sixtyFourBit(Machine::windows10()), "USB_M_1", {"BULKUSB.CAT"},
         head + "USBDrv\\X64\\BULKUSB.CAT" + advice},
        {"its installer the 32-bit build", Machine::sixtyFourBit(Machine::windows10()), "USB_M_1", {},
         "This disc cannot install a USB printer on 64-bit Windows: its USB class driver for 64-bit Windows is "
         "incomplete. USBDrv\\X64\\Install.exe is built for x86, not for x64" + advice, true},
        {"a parallel port", Machine::sixtyFourBit(Machine::windows10()), "LPT1:",
         {"Install.exe", "BULKUSB.INF", "BULKUSB.CAT", "bulkusb.sys"}, ""},
        {"32-bit Windows", Machine::windows10(), "USB_M_1",
         {"Install.exe", "BULKUSB.INF", "BULKUSB.CAT", "bulkusb.sys"}, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        UsbClassDriverMachine m(row.machine);
        // Both class drivers due for an update, and a printer that needs a new number.
        for (const char* folder : {"C:\\MEDIUM\\USBDrv\\", "C:\\MEDIUM\\USBDrv\\X64\\"})
            m.sim.files().writeFile(std::string(folder) + "bulkusb.sys", m.testData("pe/ver1002.dll"));
        for (const char* file : row.removed) m.sim.files().remove(std::string("C:\\MEDIUM\\USBDrv\\X64\\") + file);
        if (row.x86Installer)
            m.sim.files().writeFile("C:\\MEDIUM\\USBDrv\\X64\\Install.exe",
                                    os::sim::Spooler::dllExporting({"Install"}, IMAGE_FILE_MACHINE_I386));
        m.sim.usb().attach(9);  // number 2
        m.sim.desktop().answer(IDYES);
        const bool refused = !row.refusal.empty();
        EXPECT_EQ(m.prepare(row.port), !refused);
        if (!refused) continue;
        EXPECT_EQ(m.messages(), std::vector<std::string>{row.refusal});
        EXPECT_EQ(m.sim.desktop().messageBoxes().back().owner, reinterpret_cast<HWND>(0x4242));
        for (const char* call : {"SetFileAttributesA", "ShellExecuteA", "RegCreateKeyExA", "RegSetValueExA"})
            EXPECT_TRUE(m.sim.calls(call).empty()) << call;
        EXPECT_TRUE(m.sim.usb().at(0)->received.empty());
    }
}
