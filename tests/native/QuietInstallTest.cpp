// The unattended installation on the simulated machine: the exit code each
// way it ends with, and that it shows nothing.
#include <algorithm>
#include <functional>

#include "app/Captions.h"
#include "app/ProtectedPrint.h"
#include "app/QuietInstall.h"
#include "app/QuietRemoval.h"
#include "app/Startup.h"
#include "install/InstallLog.h"
#include "install/UsbClassDriver.h"
#include "os/sim/Spooler.h"
#include "support/InstallFixture.h"
#include "support/QuietMedium.h"

using testing_support::InstallScenario;
using testing_support::machineFor;
using testing_support::onePixelBitmap;
using testing_support::quietLanguageFile;
using os::sim::Machine;

namespace {

struct QuietCase {
    const char* what;
    int targetOs;
    const char* line;
    std::function<void(InstallScenario&)> arrange;
    int exitCode;
    const char* logged;           // a text the log must hold; null: no log is written
    const char* printer = nullptr;  // the one printer installed; null: none
    std::function<void(InstallScenario&)> leaves = nullptr;  // what else must hold afterwards
};

// Parallel and USB ports print raster graphics: the model has the GDI
// flavour's files too.
std::string receiptFile(const std::string& portKeys) {
    const std::string gdi = "GDIDriverPath=DRV.DLL\r\nGDIDataFile=M.GPD\r\nGDIConfigFile=DRVUI.DLL\r\n"
                            "GDIHelpFile=DRV.HLP\r\nGDIProcessorDLLName=MPROC.DLL\r\nGDIPrintProcessor=MProc\r\n";
    return "[M.PORT]\r\n" + portKeys + InstallScenario::modelSections(gdi);
}

// The medium's USB class driver is newer than the installed one (none is):
// the USB driver installer on the medium runs.
void newerUsbClassDriver(InstallScenario& s, DWORD installerRunsFor) {
    s.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", receiptFile("USBSUPPORTED=1\r\n"));
    s.sim.files().writeFile("C:\\MEDIUM\\USBDRV\\bulkusb.sys", s.testData("pe/ver1002.dll"));
    s.write("C:\\MEDIUM\\USBDrv\\Install.exe", "MZ installer");
    s.sim.desktop().programRunsFor = installerRunsFor;
}

// Nothing changed on the machine: no registry value, no file outside the log.
void changedNothing(InstallScenario& s) {
    for (const char* call : {"RegSetValueExA", "RegCreateKeyExA", "CopyFileA", "CreateDirectoryA", "AddMonitorA",
                             "AddPrinterDriverA", "ShellExecuteA"})
        EXPECT_TRUE(s.sim.calls(call).empty()) << call;
}

// A medium whose model has its Windows 7 section alone, with its own driver
// names, and these keys in its port section.
void onlyWindows7Sections(InstallScenario& s, const std::string& portKeys) {
    std::string file = receiptFile("");
    file = file.substr(file.find("[M.Win7]"));
    size_t names = file.find("DriverNameS=");
    file.insert(names, "DriverNameP=M Parallel for 7\r\n");
    s.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini",
            "[M.PORT]\r\nLPTSUPPORTED=1\r\n" + portKeys + file);
}

// The program files of that section in the medium's X64 folder, each an
// x64 build except the one named, which is built for x86.
void putX64Builds(InstallScenario& s, const char* builtForX86 = nullptr) {
    for (const char* file : {"DRV.DLL", "DRVUI.DLL", "MPROC.DLL"}) {
        const bool x86 = builtForX86 != nullptr && std::string(file) == builtForX86;
        s.sim.files().writeFile(std::string("C:\\MEDIUM\\X64\\") + file,
                                os::sim::Spooler::dllExporting(
                                    {"DllMain"}, x86 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64));
    }
}

// The medium in a folder of the administrators', as the system account must
// run from.
void administratorsMedium(InstallScenario& s) {
    const DWORD full = 0x1F01FF, readAndExecute = 0x1200A9;
    s.sim.files().setSecurity("C:\\MEDIUM", os::sim::wellKnown::kAdministrators,
                              {{os::sim::wellKnown::kAdministrators, full, 3},
                               {os::sim::wellKnown::kSystem, full, 3},
                               {os::sim::wellKnown::kUsers, readAndExecute, 3}},
                              true);
}

// The driver of the Windows 7 section, of the version-3 model, registered
// for the NT spooler.
void installedAsWindows7(InstallScenario& s) {
    ASSERT_EQ(s.sim.spooler().drivers.size(), 1u);
    const auto& driver = s.sim.spooler().drivers.front();
    EXPECT_EQ(driver.name, "M Parallel for 7");
    EXPECT_EQ(driver.version, 3u);
    EXPECT_EQ(driver.environment, "Windows NT x86");
}

os::sim::Machine manifestNaming(os::sim::Machine m, DWORD newest) {
    m.manifestNames = newest;
    return m;
}

// The log the rows below keep.
std::string quietLog(InstallScenario& s) { return s.read(s.sim.machine().windowsDirectory + "\\quiet.log"); }

// A Windows 10 or 11 of this build installing the Windows 7 section of the
// medium, on a parallel or serial port.
void windows10Build(InstallScenario& s, DWORD build) {
    onlyWindows7Sections(s, "COMSUPPORTED=1\r\nSystemWin7Supported=1\r\n");
    s.sim.machine() = build >= 26100 ? Machine::windows11v24h2() : build >= 22000 ? Machine::windows11() : Machine::windows10();
    s.sim.machine().build = build;
}

void protectedPrintPolicy(InstallScenario& s, DWORD value) {
    s.sim.registry().setDword(HKEY_LOCAL_MACHINE, app::kProtectedPrintPolicyKey, app::kProtectedPrintPolicyValue,
                              value);
}

// A medium that shows its licence agreement, with the licence or without.
void showLicence(InstallScenario& s, bool present) {
    std::string setup = InstallScenario::monitorSections();
    setup.insert(setup.find("DEVICENUMBER"), "LOADLICENSE=1\r\n");
    s.write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", setup);
    if (present) s.write("C:\\MEDIUM\\License.txt", "terms");
}

}  // namespace

TEST(QuietInstallTest, EachEndingHasItsExitCodeAndNothingIsShown) {
    const QuietCase rows[] = {
        {"installed", 3, "/quiet /model M /port LPT1:", nullptr, 0, "printer M(P) on LPT1: added", "M(P)"},
        {"the port the wizard preselects", 3, "/quiet /model m /port auto", nullptr, 0, "on HVCOM1:", "M(S)"},
        {"another copy runs", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.holdMutexElsewhere("setup"); }, 1618, "another copy"},
        {"an uninstaller is open", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.desktop().openWindow(app::kUninstallerTitle); }, 1603, "ended: <Close>"},
        {"Windows 98", 0, "/quiet /model M /port LPT1:", nullptr, 1633, "ended: <Nonsupport>"},
        // A Windows the detection does not know would be installed for with
        // Windows 98/Me's rules: a quiet run changes nothing there.
        {"an NT version the detection does not know", 7, "/quiet /accepteula /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.machine().minor = 4; }, 1633,
         "ended: Windows NT 6.4 (6.4.7601) x86; GetVersionEx 6.4 is not a system this setup knows", nullptr,
         changedNothing},
        // Windows 8 and later take Windows 7's rules: its support key and its
        // sections (the only ones the medium has here).
        {"Windows 8.1, told 6.2", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             onlyWindows7Sections(s, "SystemWin7Supported=1\r\n");
             s.sim.machine() = manifestNaming(Machine::windows81(), 0x0601);
         },
         0, "running on Windows 8.1 (6.3.9600) x86; GetVersionEx 6.2", "M(P)", installedAsWindows7},
        {"Windows 10", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             onlyWindows7Sections(s, "SystemWin7Supported=1\r\n");
             s.sim.machine() = Machine::windows10();
         },
         0, "running on Windows 10 (10.0.19045) x86; GetVersionEx 10.0", "M(P)", installedAsWindows7},
        {"Windows Server 2022", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             onlyWindows7Sections(s, "SystemWin7Supported=1\r\n");
             s.sim.machine() = Machine::windowsServer2022();
         },
         0, "running on Windows Server 2022 (10.0.20348) x86; GetVersionEx 10.0", "M(P)", installedAsWindows7},
        {"Windows 11, the model not offered for Windows 7", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             onlyWindows7Sections(s, "");
             s.sim.machine() = Machine::windows11();
         },
         1633, "ended: <IDS_NOTSUPPORTWin7>", nullptr, changedNothing},
        // Windows protected print mode takes no driver of the medium's:
        // refused before anything is changed, by its policy or by Windows' word.
        {"protected print mode by group policy", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             onlyWindows7Sections(s, "SystemWin7Supported=1\r\n");
             s.sim.machine() = Machine::windows11v24h2();
             protectedPrintPolicy(s, 1);
         },
         1633, "Windows protected print mode is on by group policy (WindowsProtectedPrintGroupPolicyState is 1)",
         nullptr, changedNothing},
        {"protected print mode by group policy on 64-bit Windows", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             onlyWindows7Sections(s, "SystemWin7Supported=1\r\n");
             s.sim.machine() = Machine::sixtyFourBit(Machine::windows11v24h2());
             protectedPrintPolicy(s, 1);
         },
         1633, "Windows protected print mode is on by group policy (WindowsProtectedPrintGroupPolicyState is 1)",
         nullptr, changedNothing},
        {"protected print mode switched on in Settings", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             onlyWindows7Sections(s, "SystemWin7Supported=1\r\n");
             s.sim.machine() = Machine::windows11v24h2();
             s.sim.machine().protectedPrintSwitchedOn = true;
         },
         1633, "Windows protected print mode is on, Windows says\r\n2009-06-01 09:00:00.000  ended: Windows protected print mode is on:",
         nullptr, changedNothing},
        // 64-bit Windows takes the medium's program files from X64, each
        // built for x64: a medium that lacks one, or holds another build,
        // is refused before anything is changed, naming the file.
        {"64-bit Windows 10, a medium without X64", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             onlyWindows7Sections(s, "SystemWin7Supported=1\r\n");
             s.sim.machine() = Machine::sixtyFourBit(Machine::windows10());
         },
         1633, "ended: M cannot be installed on 64-bit Windows from this medium; its X64 folder lacks DRV.DLL, "
               "DRVUI.DLL, MPROC.DLL.\r\n",
         nullptr, changedNothing},
        {"64-bit Windows 10, a 32-bit build in X64", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             onlyWindows7Sections(s, "SystemWin7Supported=1\r\n");
             s.sim.machine() = Machine::sixtyFourBit(Machine::windows10());
             putX64Builds(s, "MPROC.DLL");
         },
         1633, "ended: M cannot be installed on 64-bit Windows from this medium; X64\\MPROC.DLL is built for x86, "
               "not for x64.\r\n",
         nullptr, changedNothing},
        {"64-bit Windows 10, the medium's x64 builds", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             onlyWindows7Sections(s, "SystemWin7Supported=1\r\n");
             s.sim.machine() = Machine::sixtyFourBit(Machine::windows10());
             putX64Builds(s);
         },
         0, "the medium's x64 program files checked: DRV.DLL, DRVUI.DLL, MPROC.DLL", "M(P)",
         [](InstallScenario& s) {
             const auto* driver = s.sim.spooler().driver("M Parallel for 7", "Windows x64");
             ASSERT_NE(driver, nullptr);
             std::vector<uint8_t> installed;
             const std::string version3 = s.sim.machine().systemDirectory + "\\spool\\DRIVERS\\x64\\3\\";
             s.sim.files().readFile(version3 + driver->driverPath, &installed);
             EXPECT_EQ(installed, os::sim::Spooler::dllExporting({"DllMain"}, IMAGE_FILE_MACHINE_AMD64))
                 << driver->driverPath;
         }},
        // Before 24H2 Windows has no such mode and ignores its policy.
        {"the policy of protected print mode on Windows 11 23H2", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             onlyWindows7Sections(s, "SystemWin7Supported=1\r\n");
             s.sim.machine() = Machine::windows11();
             protectedPrintPolicy(s, 1);
         },
         0, "printer M(P) on LPT1: added", "M(P)",
         [](InstallScenario& s) { EXPECT_EQ(quietLog(s).find("protected print"), std::string::npos); }},
        {"protected print mode's policy off", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             onlyWindows7Sections(s, "SystemWin7Supported=1\r\n");
             s.sim.machine() = Machine::windows11v24h2();
             protectedPrintPolicy(s, 0);
         },
         0, "protected print policy: WindowsProtectedPrintGroupPolicyState is 0", "M(P)"},
        // From 24H2 on the log names the policy's value, whatever it is.
        {"protected print mode's policy of another value", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             windows10Build(s, 26100);
             protectedPrintPolicy(s, 2);
         },
         0, "protected print policy: WindowsProtectedPrintGroupPolicyState is 2", "M(P)"},
        {"protected print mode's policy not set", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { windows10Build(s, 26100); }, 0,
         "protected print policy: WindowsProtectedPrintGroupPolicyState is not set", "M(P)"},
        {"protected print mode's policy no number", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             windows10Build(s, 26100);
             s.sim.registry().setString(HKEY_LOCAL_MACHINE, app::kProtectedPrintPolicyKey,
                                        app::kProtectedPrintPolicyValue, "1");
         },
         0, "protected print policy: WindowsProtectedPrintGroupPolicyState is no number (registry type 1)", "M(P)"},
        // A spooler that refuses a driver, monitor or processor on Windows 11
        // 22H2 and later: the log names what Windows may have refused it for.
        {"a driver refused on Windows 11 24H2", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             windows10Build(s, 26100);
             s.sim.faults().fail("AddPrinterDriverA", ERROR_ACCESS_DENIED);
         },
         1603, "AddPrinterDriver refused (system error 5); Windows may refuse it for protected print mode"},
        {"a monitor refused on Windows 11 24H2", 7, "/quiet /model M /port HVCOM1:",
         [](InstallScenario& s) {
             windows10Build(s, 26100);
             s.sim.faults().fail("AddMonitorA", ERROR_ACCESS_DENIED);
         },
         1603, "AddMonitor refused (system error 5); Windows may refuse it for protected print mode"},
        {"a print processor refused on Windows 11 24H2", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             windows10Build(s, 26100);
             s.sim.faults().fail("AddPrintProcessorA", ERROR_ACCESS_DENIED);
         },
         1603, "AddPrintProcessor refused (system error 5); Windows may refuse it for protected print mode"},
        {"a printer refused on Windows 11 24H2", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             windows10Build(s, 26100);
             s.sim.faults().fail("AddPrinterA", ERROR_INVALID_PRINTER_NAME);
         },
         1603, "AddPrinter refused (system error 1801); Windows may refuse it for protected print mode"},
        {"a driver refused on Windows 11 22H2", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             windows10Build(s, 22621);
             s.sim.faults().fail("AddPrinterDriverA", ERROR_ACCESS_DENIED);
         },
         1603,
         "AddPrinterDriver refused (system error 5); Windows may refuse it for the policy \"Limits print driver "
         "installation to Administrators\" (RestrictDriverInstallationToAdministrators; it applies to callers "
         "that are not administrators), or \"Point and Print Restrictions\" and \"Only use Package Point and "
         "print\" (they apply to printer connections to a print server, not to a driver installed on this "
         "computer)\r\n"},
        {"a driver refused on Windows 11 21H2", 7, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             windows10Build(s, 22000);
             s.sim.faults().fail("AddPrinterDriverA", ERROR_ACCESS_DENIED);
         },
         1603, "er = 5", nullptr,
         [](InstallScenario& s) { EXPECT_EQ(quietLog(s).find("may refuse it"), std::string::npos); }},
        // Windows sets the default printer of the account that asks.
        {"the default printer asked for by the system account", 7, "/quiet /model M /port LPT1: /default",
         [](InstallScenario& s) {
             windows10Build(s, 19045);
             s.sim.machine().systemAccount = true;
             administratorsMedium(s);  // the system account runs only from such a folder
         },
         0,
         "made the default printer of the local system account, which this installation runs as: "
         "no user's default printer was set",
         "M(P)", [](InstallScenario& s) { EXPECT_EQ(quietLog(s).find("held"), std::string::npos); }},
        {"no model offers a port", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) {
             s.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini",
                     "[M.PORT]\r\nUSBSUPPORTED=0\r\nLPTSUPPORTED=0\r\nCOMSUPPORTED=0\r\n" +
                         InstallScenario::modelSections());
         },
         1633, "ended: <PortNull>"},
        // Said as what it is, not as a medium without ports; the medium's
        // language file (the scenario's, in C:\MEDIUM) is out of reach.
        {"the program's path is too long", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.machine().modulePath = "C:\\" + std::string(200, 'x') + "\\setup.exe"; },
         1633, "ended: The path of this setup is too long"},
        {"the side picture is missing", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.files().remove("C:\\MEDIUM\\DRVCONFIG\\Left.bmp"); }, 1603,
         "ended: <IDS_ERR_NOLEFT>"},
        {"a side picture Windows cannot read", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.write("C:\\MEDIUM\\DRVCONFIG\\Left.bmp", "BM"); }, 1603,
         "ended: <IDS_ERR_NOLEFT>"},
        // In the wizard's order: its first page reads the licence before the
        // frame loads its picture.
        {"the licence and the side picture missing", 3, "/quiet /accepteula /model M /port LPT1:",
         [](InstallScenario& s) {
             showLicence(s, false);
             s.sim.files().remove("C:\\MEDIUM\\DRVCONFIG\\Left.bmp");
         },
         1603, "ended: <IDS_ERR_NOLICENSE>"},
        {"not an administrator", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.machine().administrator = false; }, 1603, "ended: <IDS_ADMIN>"},
        {"the licence is missing", 3, "/quiet /accepteula /model M /port LPT1:",
         [](InstallScenario& s) { showLicence(s, false); }, 1603, "ended: <IDS_ERR_NOLICENSE>"},
        {"the licence is not accepted", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { showLicence(s, true); }, 1603, "ended: the licence agreement was not accepted: add /accepteula"},
        {"no such model", 3, "/quiet /model Q /port LPT1:", nullptr, 1633, "ended: no model Q on this disc"},
        {"the model in another category", 3, "/quiet /model M /category label /port LPT1:", nullptr, 1633,
         "ended: no model M on this disc"},
        {"the model is not offered for the system", 4, "/quiet /model M /port LPT1:", nullptr, 1633,
         "ended: <IDS_NOTSUPPORT2003>"},
        {"a port the model is not offered on", 3, "/quiet /model M /port LPT9:", nullptr, 1633,
         "ended: <IDS_ERR_NOSUPPORTINTERFACE>"},
        {"advanced mode the model does not allow", 3, "/quiet /model M /mode advanced /port LPT1:", nullptr,
         1633, "ended: <IDS_TYPICAL_NOTES>"},
        {"the USB printer's number may not be changed", 3, "/quiet /model M /mode advanced /port USB_M_3",
         [](InstallScenario& s) {
             s.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini",
                     "[M.PORT]\r\nUSBSUPPORTED=1\r\nAdvancedSetup=1\r\n" + InstallScenario::modelSections());
             s.write("C:\\MEDIUM\\HvUsbInt.dll", "MZ stand-in");
             s.sim.usb().attach(8);  // number 1
         },
         1603, "ended: <IDS_INF_CHANGEID>"},
        // Without the medium's signature the change is not offered, whatever
        // the command line allows: the log says what to do instead.
        {"the USB printer's number cannot be changed from this medium", 3,
         "/quiet /model M /mode advanced /port USB_M_3 /usbid change",
         [](InstallScenario& s) {
             s.write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", InstallScenario::monitorSections(nullptr));
             s.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini",
                     "[M.PORT]\r\nUSBSUPPORTED=1\r\nAdvancedSetup=1\r\n" + InstallScenario::modelSections());
             s.write("C:\\MEDIUM\\HvUsbInt.dll", "MZ stand-in");
             s.sim.usb().attach(8);  // number 1
         },
         1603, "ended: This disc cannot give the USB printer a new port number. The printer carries number 1: "
               "choose its port, USB_M_1, instead of USB_M_3."},
        // Advanced mode on a parallel port ticks raster printing, as the wizard does.
        {"advanced mode on a parallel port", 3, "/quiet /model M /mode advanced /port LPT1:",
         [](InstallScenario& s) {
             s.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", receiptFile("LPTSUPPORTED=1\r\nAdvancedSetup=1\r\n"));
         },
         0, "advanced mode, raster printing\r\n", "M(P)"},
        {"advanced mode on a parallel port without raster printing", 3,
         "/quiet /model M /mode advanced /port LPT1: /noraster",
         [](InstallScenario& s) {
             s.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", receiptFile("LPTSUPPORTED=1\r\nAdvancedSetup=1\r\n"));
         },
         0, "advanced mode\r\n", "M(P)"},
        // The USB driver installer is waited for by its process, and no longer than the limit.
        {"the USB driver installer never ends", 3, "/quiet /model M /port USB_M_1 /usbtimeout 30",
         [](InstallScenario& s) { newerUsbClassDriver(s, os::sim::Desktop::kForever); }, 1603,
         "did not end within 30 seconds",
         nullptr, [](InstallScenario& s) {
             // Waited for as long as the limit, and no longer.
             EXPECT_EQ(s.sim.calls("WaitForSingleObject").size(), 1u);
             const std::vector<DWORD> waits = s.sim.clock().sleeps();
             EXPECT_NE(std::find(waits.begin(), waits.end(), 30000u), waits.end());
             EXPECT_LE(s.sim.clock().now(), 31000u) << "given up at the limit";
         }},
        {"the USB driver installer ends in time", 3, "/quiet /model M /port USB_M_1",
         [](InstallScenario& s) { newerUsbClassDriver(s, 45000); }, 0, "USB class driver installed by USBDrv\\Install.exe: ", "M(U) 1"},
        {"the USB driver installer cannot be started", 3, "/quiet /model M /port USB_M_1",
         [](InstallScenario& s) {
             newerUsbClassDriver(s, 0);
             s.sim.files().remove("C:\\MEDIUM\\USBDrv\\Install.exe");
         },
         1603, "ended: Can not start C:\\MEDIUM\\USBDrv\\Install.exe  er = 2"},
        // An older class driver drives the printer: the failure is logged and
        // the installation goes on.
        {"the USB driver installer cannot be started beside an older class driver", 3,
         "/quiet /model M /port USB_M_1",
         [](InstallScenario& s) {
             newerUsbClassDriver(s, 0);
             s.sim.files().remove("C:\\MEDIUM\\USBDrv\\Install.exe");
             s.sim.files().writeFile(install::installedUsbDriverPath(), s.testData("pe/ver1001.dll"));
         },
         0, "said: Can not start C:\\MEDIUM\\USBDrv\\Install.exe  er = 2", "M(U) 1"},
        {"the sequence fails", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.faults().fail("AddPrinterA", ERROR_ACCESS_DENIED); }, 1603,
         "printer M(P) on LPT1: added failed"},
        {"the log cannot be written", 3, "/quiet /model M /port LPT1:",
         [](InstallScenario& s) { s.sim.faults().fail("CreateFileA", ERROR_ACCESS_DENIED).when("quiet.log"); },
         0, nullptr, "M(P)"},
        // Refused for its processor or its 64-bit edition before anything is changed.
        {"64-bit Windows Server 2003", 3, "/quiet /accepteula /model M /port LPT1:",
         [](InstallScenario& s) {
             s.sim.machine() = os::sim::Machine::sixtyFourBit(os::sim::Machine::windows2003());
         },
         1633, "ended: This setup installs on 64-bit Windows from Windows 7 and Windows Server 2008 R2 on.",
         nullptr, changedNothing},
        // Secured as Windows 7 on (no Power Users in the Windows folder), then made Windows 10 on ARM64.
        {"Windows on ARM64", 7, "/quiet /accepteula /model M /port LPT1:",
         [](InstallScenario& s) {
             s.sim.machine() = os::sim::Machine::sixtyFourBit(os::sim::Machine::windows10(),
                                                               IMAGE_FILE_MACHINE_ARM64);
         },
         1633, "ended: This setup cannot install on Windows for ARM64 processors", nullptr, changedNothing},
        // 64-bit Windows loads only the medium's 64-bit USB class driver:
        // without it a USB port is refused before anything is changed.
        {"a USB port on 64-bit Windows 10 from a disc without USBDrv\\X64", 7, "/quiet /model M /port USB_M_1",
         [](InstallScenario& s) {
             s.sim.machine() = Machine::sixtyFourBit(Machine::windows10());
             newerUsbClassDriver(s, 0);  // the 32-bit one is on the disc, and due
             onlyWindows7Sections(s, "USBSUPPORTED=1\r\nSystemWin7Supported=1\r\n");
         },
         1633, "ended: This disc cannot install a USB printer on 64-bit Windows: its USB class driver for 64-bit "
               "Windows is incomplete. Missing: USBDrv\\X64\\Install.exe, USBDrv\\X64\\BULKUSB.INF, "
               "USBDrv\\X64\\BULKUSB.CAT, USBDrv\\X64\\bulkusb.sys.",
         nullptr, changedNothing},
        // Windows 95 passes the start-up checks and is installed for as
        // Windows 98/Me, whose installation ends with a restart.
        {"Windows 95", 95, "/quiet /model M /port LPT1: /restart", nullptr, 3010, "Windows must be restarted",
         "M(P)"},
    };
    for (const QuietCase& row : rows) {
        SCOPED_TRACE(row.what);
        InstallScenario scenario(row.targetOs == 95 ? 0 : row.targetOs);
        if (row.targetOs == 95) scenario.sim.machine() = os::sim::Machine::windows95();
        scenario.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", receiptFile("LPTSUPPORTED=1\r\nCOMSUPPORTED=1\r\n"));
        scenario.write("C:\\MEDIUM\\DRVCONFIG\\Left.bmp", onePixelBitmap());
        scenario.write("C:\\MEDIUM\\language\\setup.ini", quietLanguageFile());
        app::reopenMessageTexts();
        if (row.arrange) row.arrange(scenario);
        const auto printers = [&] { return scenario.sim.spooler().printers.size(); };
        app::CommandLine line = app::parseCommandLine(row.line);
        // A folder only the administrators may write: the log is kept where it is named.
        line.logFile = scenario.sim.machine().windowsDirectory + "\\quiet.log";
        EXPECT_EQ(app::runQuietInstall(line), row.exitCode);
        EXPECT_TRUE(scenario.sim.desktop().messageBoxes().empty());
        std::string log = scenario.read(line.logFile);
        if (row.logged) {
            EXPECT_NE(log.find(row.logged), std::string::npos) << log;
            EXPECT_NE(log.find("exit code " + std::to_string(row.exitCode) + "\r\n"), std::string::npos) << log;
        } else {
            EXPECT_EQ(log, "");
        }
        if (row.printer) {
            EXPECT_NE(scenario.sim.spooler().printer(row.printer), nullptr) << row.printer;
            EXPECT_EQ(printers(), 1u);
        } else {
            EXPECT_EQ(printers(), 0u) << "nothing is installed";
        }
        for (int i = 0; i < 8; ++i)
            if (auto* printer = scenario.sim.usb().at(i))
                EXPECT_EQ(printer->deviceValue(), 8) << "the USB printer keeps its number";
        if (row.leaves) row.leaves(scenario);
        install::setInstallLog("");
    }
}

// The refusals the program words itself come from the language file, texts
// within texts included, each figure where the text places it; the log's
// own lines stay English.
TEST(QuietInstallTest, ItsOwnRefusalsAreWordedByTheLanguageFileAndItsStepsLoggedInEnglish) {
    const std::string keys =
        "IDS_ERR_PROTECTEDPRINT=<protected print>\r\nIDS_ERR_X64FILES=<%2 / %1>\r\n"
        "IDS_ERR_FILEMACHINE=<%1: %3 wanted, %2 found>\r\n"
        "IDS_ERR_X64USBDRIVER=<usb>\r\nIDS_ERR_MISSINGFILES=<gone: %1>\r\n"
        "IDS_ERR_STARTUSBINSTALLER=<not started %2 %1>\r\nIDS_INF_USBDRIVERKEPT=<kept> %1\r\n";
    const std::string x64 = "SystemWin7Supported=1\r\n";
    struct Row {
        const char* what;
        int targetOs;
        const char* line;
        std::function<void(InstallScenario&)> arrange;
        std::vector<std::string> logged;
    } rows[] = {
        {"protected print mode", 7, "/quiet /model M /port LPT1:",
         [&](InstallScenario& s) {
             onlyWindows7Sections(s, x64);
             s.sim.machine() = Machine::windows11v24h2();
             protectedPrintPolicy(s, 1);
         },
         {"ended: <protected print>\r\n"}},
        {"a 32-bit build in X64", 7, "/quiet /model M /port LPT1:",
         [&](InstallScenario& s) {
             onlyWindows7Sections(s, x64);
             s.sim.machine() = Machine::sixtyFourBit(Machine::windows10());
             putX64Builds(s, "MPROC.DLL");
         },
         {"ended: <<X64\\MPROC.DLL: x64 wanted, x86 found> / M>\r\n"}},
        {"a USB port without USBDrv\\X64, a text without its figure", 7, "/quiet /model M /port USB_M_1",
         [&](InstallScenario& s) {
             s.sim.machine() = Machine::sixtyFourBit(Machine::windows10());
             newerUsbClassDriver(s, 0);
             onlyWindows7Sections(s, "USBSUPPORTED=1\r\n" + x64);
         },
         {"ended: <usb> <gone: USBDrv\\X64\\Install.exe, USBDrv\\X64\\BULKUSB.INF, USBDrv\\X64\\BULKUSB.CAT, "
          "USBDrv\\X64\\bulkusb.sys>\r\n"}},
        {"the USB driver installer not started beside an older class driver", 3, "/quiet /model M /port USB_M_1",
         [](InstallScenario& s) {
             newerUsbClassDriver(s, 0);
             s.sim.files().remove("C:\\MEDIUM\\USBDrv\\Install.exe");
             s.sim.files().writeFile(install::installedUsbDriverPath(), s.testData("pe/ver1001.dll"));
         },
         {"USB class driver failed: Can not start C:\\MEDIUM\\USBDrv\\Install.exe  er = 2 (system error",
          "said: <kept> <not started 2 C:\\MEDIUM\\USBDrv\\Install.exe>\r\n"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        InstallScenario scenario(row.targetOs);
        scenario.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", receiptFile("LPTSUPPORTED=1\r\n"));
        scenario.write("C:\\MEDIUM\\DRVCONFIG\\Left.bmp", onePixelBitmap());
        std::string language = quietLanguageFile();
        language.insert(language.find("[Message]\r\n") + 11, keys);
        scenario.write("C:\\MEDIUM\\language\\setup.ini", language);
        app::reopenMessageTexts();
        row.arrange(scenario);
        app::CommandLine line = app::parseCommandLine(row.line);
        line.logFile = scenario.sim.machine().windowsDirectory + "\\quiet.log";
        app::runQuietInstall(line);
        const std::string log = scenario.read(line.logFile);
        for (const std::string& logged : row.logged) EXPECT_NE(log.find(logged), std::string::npos) << log;
        install::setInstallLog("");
    }
}

// The wizard's box for a line it cannot read is worded by the medium's
// language file, wherever the program was started from; the reason and the
// usage, as in a log, stay English.
TEST(QuietInstallTest, TheBoxForAnInvalidLineIsWordedByTheMediumsLanguageFile) {
    InstallScenario scenario(3);
    scenario.write("C:\\MEDIUM\\language\\setup.ini", "[Message]\r\nIDS_ERR_COMMANDLINE=<invalid: %1>\r\n");
    ASSERT_TRUE(scenario.sim.SetCurrentDirectoryA("C:\\"));
    EXPECT_EQ(app::runCommandLine(app::parseCommandLine("/frobnicate")), 87);
    const std::vector<std::string> boxes = scenario.sim.desktop().messageTexts();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("<invalid: unknown option /frobnicate>\r\n\r\nsetup.exe installs the printer driver", 0),
              0u)
        << boxes[0];
}

// An unattended run goes to its work at once: the system libraries that
// printing and installing have Windows load by name are loaded from the
// system directory before the run reads its first file (the wizard loads
// them once it shows).
TEST(QuietInstallTest, AnUnattendedRunLoadsThePrintingLibrariesBeforeItReadsAnything) {
    InstallScenario scenario(3);
    scenario.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", receiptFile("LPTSUPPORTED=1\r\n"));
    scenario.write("C:\\MEDIUM\\DRVCONFIG\\Left.bmp", onePixelBitmap());
    scenario.write("C:\\MEDIUM\\language\\setup.ini", quietLanguageFile());
    app::reopenMessageTexts();
    app::CommandLine line = app::parseCommandLine("/quiet /model M /port LPT1:");
    line.logFile = scenario.sim.machine().windowsDirectory + "\\quiet.log";
    ASSERT_EQ(app::runCommandLine(line), 0) << scenario.read(line.logFile);
    const std::vector<std::string> journal = scenario.sim.journal();
    // The place of the first call whose entry starts so; the journal's length if none does.
    const auto first = [&](const std::string& start) {
        return std::find_if(journal.begin(), journal.end(),
                            [&](const std::string& call) { return call.rfind(start, 0) == 0; }) -
               journal.begin();
    };
    const auto firstRead = first("GetPrivateProfile");
    ASSERT_LT(firstRead, journal.end() - journal.begin());
    for (const char* library : {"winspool.drv", "setupapi.dll"})
        EXPECT_LT(first("LoadLibraryExA " + scenario.sim.machine().systemDirectory + "\\" + library), firstRead)
            << library;
    install::setInstallLog("");
}

// Every line that is not the wizard's ends with its exit code; with /quiet
// anywhere on it, nothing is shown and the reason is in the default log.
TEST(QuietInstallTest, EveryLineThatIsNotTheWizardsEndsWithItsCode) {
    struct Row {
        const char* line;
        int exitCode;
        const char* said;  // in a box, or in the log when quiet; null: neither
    } rows[] = {
        {"/model M /port LPT1: /frobnicate /accepteula /quiet", 87, "invalid command line: unknown option /frobnicate"},
        {"/quiet /?", 87, "invalid command line: /? shows the usage in a box"},
        {"/quiet /model /port LPT1:", 87, "invalid command line: /model needs a value"},
        {"/frobnicate", 87, "Invalid command line: unknown option /frobnicate."},
        {"/?", 0, "setup.exe installs the printer driver with its wizard, or unattended:"},
        {"", app::kRunTheWizard, nullptr},
        {"/log C:\\wizard.log", app::kRunTheWizard, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        InstallScenario scenario(3);
        const app::CommandLine line = app::parseCommandLine(row.line);
        EXPECT_EQ(app::runCommandLine(line), row.exitCode);
        const std::string log = scenario.read(scenario.sim.machine().tempDirectory + "PrinterDriverSetup.log");
        const std::vector<std::string> boxes = scenario.sim.desktop().messageTexts();
        if (line.quiet) {
            EXPECT_TRUE(boxes.empty());
            EXPECT_NE(log.find(row.said), std::string::npos) << log;
            EXPECT_NE(log.find("exit code 87\r\n"), std::string::npos) << log;
        } else if (row.said) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].rfind(row.said, 0), 0u) << boxes[0];
            EXPECT_EQ(log, "");
        } else {
            EXPECT_TRUE(boxes.empty());
        }
        changedNothing(scenario);
    }
}

// The system account's temporary folder is one every user may write to: its
// log goes to the Windows directory, where only administrators write.
TEST(QuietInstallTest, TheSystemAccountLogsWhereOnlyAdministratorsWrite) {
    InstallScenario scenario(3);
    app::CommandLine line = app::parseCommandLine("/quiet /model M /port LPT1:");
    EXPECT_EQ(app::quietInstallLog(line), scenario.sim.machine().tempDirectory + "PrinterDriverSetup.log");
    scenario.sim.machine().systemAccount = true;
    EXPECT_EQ(app::quietInstallLog(line), "C:\\WINDOWS\\PrinterDriverSetup.log");
    line.logFile = "D:\\deploy\\printer.log";
    EXPECT_EQ(app::quietInstallLog(line), line.logFile);
}

// A log the command line names that cannot be opened, the wizard's as an
// unattended run's, is kept in the default place, which says why.
TEST(QuietInstallTest, ALogThatCannotBeOpenedIsKeptInTheDefaultPlace) {
    struct Row {
        const char* line;
        bool systemAccount;
        const char* keptIn;  // in the temporary folder when empty
    } rows[] = {
        {"/log C:\\Missing\\wizard.log", false, ""},
        {"/quiet /model M /port LPT1: /log C:\\Missing\\quiet.log", true, "C:\\WINDOWS\\PrinterDriverSetup.log"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        InstallScenario scenario(3);
        scenario.sim.machine().systemAccount = row.systemAccount;
        const app::CommandLine line = app::parseCommandLine(row.line);
        install::setInstallLog(app::logPlace(line));
        install::logStep("a step");
        install::setInstallLog("");
        const std::string keptIn =
            *row.keptIn ? row.keptIn : scenario.sim.machine().tempDirectory + "PrinterDriverSetup.log";
        const std::string log = scenario.read(keptIn);
        EXPECT_NE(log.find("this log was meant for " + line.logFile +
                           ", but the folder C:\\Missing on the way to it cannot be opened"),
                  std::string::npos)
            << log;
        EXPECT_NE(log.find("  a step\r\n"), std::string::npos) << log;
    }
}

// No user of the machine can keep a deployment from running: whatever he
// makes first under the names the program's single-instance rules use, an
// unattended run goes on and says so, and only an administrator's copy of
// the program (or a running wizard) ends it as "another copy".
namespace {

using os::sim::Descriptor;
namespace wellKnown = os::sim::wellKnown;

// What another user makes a mutex with: his token's defaults, or an access
// list for himself alone.
Descriptor usersMutex(bool lettingTheSystemIn) {
    Descriptor security;
    security.owner = wellKnown::kOtherUser;
    security.daclPresent = true;
    security.dacl = {{wellKnown::kOtherUser, GENERIC_ALL, 0}};
    if (lettingTheSystemIn) security.dacl.push_back({wellKnown::kSystem, GENERIC_ALL, 0});
    return security;
}

// The mutex a start takes that the wizard's start does not, and the
// wizard's own, learnt from one start of each on the machine.
void learnMutexes(InstallScenario& scenario, std::string* guard, std::string* wizard) {
    install::setInstallLog("");
    EXPECT_EQ(app::checkStartup(), app::StartupResult::Run);
    *wizard = scenario.sim.calls("CreateMutexA").at(0);
    scenario.sim.endProgram();
    scenario.sim.clearJournal();
    EXPECT_EQ(app::unattendedStartChecks(), 0);
    for (const std::string& name : scenario.sim.calls("CreateMutexA"))
        if (name != *wizard) *guard = name;
    scenario.sim.endProgram();
    scenario.sim.clearJournal();
}

}  // namespace

TEST(QuietInstallGuardTest, NoUserCanKeepADeploymentFromRunning) {
    struct Row {
        const char* what;
        bool systemAccount;
        // Given the names of the unattended guard and of the wizard's mutex.
        std::function<void(InstallScenario&, const std::string&, const std::string&)> arrange;
        int exitCode;
        const char* logged;
    } rows[] = {
        {"a user holds the wizard's mutex", false,
         [](InstallScenario& s, const std::string&, const std::string& wizard) {
             s.sim.holdMutexElsewhere(wizard, usersMutex(true));
         },
         0, "the mutex setup was made by someone else, who lets no administrator use it: not taken for a running wizard"},
        {"a user made the guard first and lets the system in", true,
         [](InstallScenario& s, const std::string& guard, const std::string&) {
             s.sim.holdMutexElsewhere(guard, usersMutex(true));
         },
         0, "was made by someone who is no administrator: going on without it"},
        {"a user made the guard first for himself alone", false,
         [](InstallScenario& s, const std::string& guard, const std::string&) {
             s.sim.holdMutexElsewhere(guard, usersMutex(false));
         },
         0, "was made by someone else, who lets no administrator use it: going on without it"},
        {"another unattended copy runs", true,
         [](InstallScenario&, const std::string&, const std::string&) {
             app::CommandLine first = app::parseCommandLine("/quiet /model M /port LPT1:");
             first.logFile = "C:\\WINDOWS\\first.log";
             EXPECT_EQ(app::runQuietInstall(first), 0);
         },
         1618, "ended: another copy of the setup is running"},
        {"the wizard runs", false,
         [](InstallScenario&, const std::string&, const std::string&) {
             EXPECT_EQ(app::checkStartup(), app::StartupResult::Run);
         },
         1618, "ended: another copy of the setup is running"},
        // On Windows XP what an administrator makes is his own, with access
        // for him and the system alone, unless he names another owner.
        {"another administrator's wizard runs", false,
         [](InstallScenario& s, const std::string&, const std::string&) {
             s.sim.machine().user = wellKnown::kOtherAdministrator;
             EXPECT_EQ(app::checkStartup(), app::StartupResult::Run);
             s.sim.machine().user.clear();
         },
         1618, "ended: another copy of the setup is running"},
        {"an administrator's wizard runs beside the system account", true,
         [](InstallScenario& s, const std::string&, const std::string&) {
             s.sim.machine().systemAccount = false;
             EXPECT_EQ(app::checkStartup(), app::StartupResult::Run);
             s.sim.machine().systemAccount = true;
         },
         1618, "ended: another copy of the setup is running"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        InstallScenario scenario(3);
        scenario.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", receiptFile("LPTSUPPORTED=1\r\n"));
        scenario.write("C:\\MEDIUM\\DRVCONFIG\\Left.bmp", onePixelBitmap());
        scenario.write("C:\\MEDIUM\\language\\setup.ini", quietLanguageFile());
        app::reopenMessageTexts();
        scenario.sim.machine().systemAccount = row.systemAccount;
        administratorsMedium(scenario);
        std::string guard, wizard;
        learnMutexes(scenario, &guard, &wizard);
        EXPECT_EQ(guard.rfind("Global\\", 0), 0u) << "for every session: " << guard;
        row.arrange(scenario, guard, wizard);
        app::CommandLine line = app::parseCommandLine("/quiet /model M /port LPT1:");
        line.logFile = "C:\\WINDOWS\\quiet.log";
        EXPECT_EQ(app::runQuietInstall(line), row.exitCode);
        const std::string log = scenario.read(line.logFile);
        EXPECT_NE(log.find(row.logged), std::string::npos) << log;
        install::setInstallLog("");
    }
}

// The unattended runs as the system account check their own folder before
// anything else; an administrator's run does not.
namespace {

struct RunCase {
    const char* what;
    bool systemAccount;
    bool removal;
    bool administratorsFolder;
    int exitCode;
    const char* logged;
};

}  // namespace

TEST(QuietInstallTest, ARunAsTheSystemFromAFolderOthersMayChangeChangesNothing) {
    const RunCase rows[] = {
        {"installation as the system", true, false, false, 1603,
         "ended: the program runs as the local system account from C:\\MEDIUM, but C:\\MEDIUM may be changed"},
        {"removal as the system", true, true, false, 1603, "but C:\\MEDIUM may be changed"},
        {"installation as the system from the administrators' folder", true, false, true, 0,
         "the program's folder C:\\MEDIUM, what it holds and the folders above it may be changed by the "
         "administrators alone"},
        {"installation as an administrator", false, false, false, 0, "printer M(P) on LPT1: added"},
    };
    for (const RunCase& row : rows) {
        SCOPED_TRACE(row.what);
        InstallScenario scenario(3);
        scenario.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", receiptFile("LPTSUPPORTED=1\r\n"));
        scenario.write("C:\\MEDIUM\\DRVCONFIG\\Left.bmp", onePixelBitmap());
        scenario.write("C:\\MEDIUM\\language\\setup.ini", quietLanguageFile());
        app::reopenMessageTexts();
        if (row.administratorsFolder) administratorsMedium(scenario);
        scenario.sim.machine().systemAccount = row.systemAccount;
        app::CommandLine line = app::parseCommandLine(row.removal ? "/uninstall /quiet /model M"
                                                                  : "/quiet /model M /port LPT1:");
        line.logFile = "C:\\WINDOWS\\quiet.log";
        scenario.sim.clearJournal();
        EXPECT_EQ(row.removal ? app::runQuietRemoval(line) : app::runQuietInstall(line), row.exitCode);
        const std::string log = scenario.read(line.logFile);
        EXPECT_NE(log.find(row.logged), std::string::npos) << log;
        if (row.exitCode == 1603) {
            for (const char* call : {"RegSetValueExA", "RegCreateKeyExA", "CopyFileA", "CreateDirectoryA",
                                     "AddMonitorA", "AddPrinterDriverA", "DeletePrinterDriverA", "CreateMutexA"})
                EXPECT_TRUE(scenario.sim.calls(call).empty()) << call;
        }
        EXPECT_EQ(scenario.sim.files().openings("C:\\MEDIUM"), 0u) << "the folder is let go at the end";
        install::setInstallLog("");
        scenario.sim.endProgram();
    }
}

