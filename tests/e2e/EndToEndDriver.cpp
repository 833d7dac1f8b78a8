// One end-to-end scenario: the real setup.exe on a copy of the sample medium
// in a Wine prefix of its own, driven from this process as a person would
// drive it, then the spooler, registry and files of the prefix checked.
//
//   e2e_driver.exe prepare SCENARIO WINDOWS MEDIUM   makes the system the
//                                                    scenario starts from, and
//                                                    says what it may change
//                                                    ("changes: none",
//                                                    usb-class-driver or installation)
//   e2e_driver.exe SCENARIO WINDOWS MEDIUM OUTDIR    runs and checks it

// WINDOWS is the version Wine reports to setup.exe (win2k, winxp, win2003,
// vista, win2008, win7, win8, win81, win10), with "x64" after it for that
// Windows, 64-bit (win7x64, win81x64, win10x64: a WoW64 prefix, where this
// driver and setup.exe run as 32-bit programs); MEDIUM the medium's folder in the prefix; OUTDIR
// where a picture of the screen goes when a step fails. Prints each step and
// every failure, naming what it waited for; exits with 0 when all held.
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "../../tools/wizard-driver/SetupWindows.h"
#include "config/LineBreaks.h"

namespace {

using namespace setupwindows;

// --- What a scenario is ------------------------------------------------------------

struct UsbPrinter {
    int deviceValue;
};

struct Scenario {
    const char* name;
    // The system is refused at start: one box, then the program ends.
    bool refused = false;
    // An unattended installation: setup.exe with these arguments, no walk.
    const char* quiet = nullptr;
    // Or the Windows Installer package: msiexec.exe with these arguments
    // (the packages lie in C:\package).
    const char* msiexec = nullptr;
    // What runs before, each to its success: "wizard" walks the wizard with
    // the scenario's choices, "setup.exe ARGUMENTS" and "msiexec.exe
    // ARGUMENTS" run unattended. The audit then compares the system from
    // before these to the one the scenario leaves.
    std::vector<const char*> before;
    // After those: the spooler answers an existing printer name with 1802,
    // as Windows does (Wine 8 does so for a printer whose key has a subkey
    // "Attributes"); an older serial monitor recorded; the medium's data
    // file of the driver one release later, with an older time stamp.
    bool printersAnswerAsWindows = false;
    bool olderMonitorRecorded = false;
    bool newerMediumDataFile = false;
    // What must be gone afterwards, and what must still be there: printers,
    // printer drivers, port monitors, files.
    std::vector<const char*> printersGone, printersLeft, driversGone, driversLeft, monitorsGone, monitorsLeft,
        filesGone, filesLeft;
    std::vector<const char*> keysGone, keysLeft;  // below HKEY_LOCAL_MACHINE
    long exitCode = 0;                  // what it ends with
    std::vector<const char*> logLines;  // texts of its log, in order; "@KEY" stands for a language text
    const char* currentDirectory = nullptr;  // where setup.exe is started; null: the medium
    long seconds = 120;                      // how long setup.exe may take at most
    // Libraries planted beside setup.exe (by tests/e2e/run.sh), which Wine
    // is told to prefer to its own: each leaves "C:\planted-NAME.txt" if it
    // is ever loaded.
    std::vector<const char*> plantedLibraries;
    // setup.exe /?: its usage box, the only window, closed with its OK.
    bool usage = false;
    bool installerStopsToAsk = false;  // the USB driver installer never ends
    // The medium's 64-bit folder: taken away, or one of its files (a name
    // of W32) replaced by the 32-bit build.
    bool withoutX64 = false;
    const char* x86FileInX64 = nullptr;
    const char* takenOffMedium = nullptr;  // a file of the medium, deleted before the run
    // What it may change on the system (tests/e2e/allowed-writes.txt); null:
    // an installation if it installs, else nothing.
    const char* changes = nullptr;
    // Before setup.exe starts.
    std::vector<UsbPrinter> usbPrinters;
    bool olderSerialMonitor = false;  // an older copy installed and held by the spooler
    const char* foreignDriver = nullptr;  // another product's driver of this name, with files of its own
    // The walk.
    const char* model = "RP-80";
    int category = 0;
    bool advanced = false;
    const char* port = "LPT1:";
    const char* baud = nullptr;  // a baud rate to choose
    bool defaultPrinter = false;
    // The answer to a question (a box with Yes and No).
    bool answerYes = true;
    // The walk and the boxes by key presses alone (class KeyboardWalk).
    bool keyboardOnly = false;
    // What must follow.
    const char* closingKey = "IDS_INF_NTRESTART";  // the last box's text; null: no install
    std::vector<const char*> otherBoxes;           // keys of the boxes before it, in order
    int usbNumber = 0;  // the attached printer's port number afterwards; 0: not checked
    const char* printer = "RP-80(P)";
    const char* driver = "RP-80";
    const char* spoolerPort = "LPT1:";
};

// Where the package puts the medium (the 32-bit program files folder, which
// is "Program Files (x86)" on a 64-bit Windows), and what it remembers.
const char* const kPackageSetup = "%ProgramFiles%\\Halvern\\Printer Driver Setup\\setup.exe";
const char* const kPackageKey = "SOFTWARE\\HALVERN\\Printer Driver Package";

std::vector<Scenario> scenarios() {
    std::vector<Scenario> all;
    {
        Scenario s;
        s.name = "Refused";
        s.refused = true;
        all.push_back(s);
    }
    // Unattended. The first keeps its log where the program puts it by default.
    {
        Scenario s;
        s.name = "QuietParallel";
        s.quiet = "/quiet /accepteula /model RP-80 /port LPT1: /default";
        s.defaultPrinter = true;
        s.logLines = {"unattended installation of RP-80 on LPT1:", "licence agreement accepted",
                      "model RP-80 of category 0", "driver files copied", "printer RP-80(P) on LPT1: added",
                      "made the default printer", "said: @IDS_INF_NTRESTART", "exit code 0"};
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "QuietSerial";
        s.quiet = "/QUIET /ACCEPTEULA /MODEL rp-80 /PORT hvcom2: /BAUD 19200 /LOG C:\\quiet.log";
        s.baud = "19200";
        s.port = "HVCOM2:";
        s.printer = "RP-80(S)";
        s.driver = "RP-80 Serial";
        s.spoolerPort = "HVCOM2:";
        s.logLines = {"printer RP-80(S) on HVCOM2: added", "serial settings written", "exit code 0"};
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "QuietUsb";
        s.quiet = "/quiet /accepteula /model RP-80 /port auto /log C:\\quiet.log";
        s.usbPrinters = {{0}};
        s.port = "USB_RP-80_1";
        s.printer = "RP-80(U) 1";
        s.driver = "RP-80 USB";
        s.spoolerPort = "USB_RP-80_1";
        s.logLines = {"install RP-80 on USB_RP-80_1", "USB printer: number 1", "USB port USB_RP-80_1 recorded",
                      "printer RP-80(U) 1 on USB_RP-80_1 added", "said: @IDS_INF_USBRESTART", "exit code 0"};
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "QuietRefused";
        s.quiet = "/quiet /accepteula /model RP-80 /port LPT1: /log C:\\quiet.log";
        s.exitCode = 1633;
        s.logLines = {"said: @Setup.Nonsupport", "exit code 1633"};
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "QuietWithoutAgreement";
        s.quiet = "/quiet /model RP-80 /port LPT1: /log C:\\quiet.log";
        s.exitCode = 1603;
        s.logLines = {"ended: the licence agreement was not accepted: add /accepteula", "exit code 1603"};
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "QuietUsbAdvancedWithoutPrinter";
        s.changes = "usb-class-driver";
        s.quiet = "/quiet /accepteula /model RP-80 /mode advanced /port USB_RP-80_2 /log C:\\quiet.log";
        s.exitCode = 1603;
        s.logLines = {"USB printer: none", "said: @IDS_ERR_NOUSBDEVICE", "exit code 1603"};
        all.push_back(s);
    }
    {
        // Started as a deployment agent starts it: from its own folder.
        Scenario s;
        s.name = "QuietFromAnotherFolder";
        s.quiet = "/quiet /accepteula /model RP-80 /port LPT1: /log C:\\quiet.log";
        s.currentDirectory = "C:\\windows\\system32";
        s.logLines = {"printer RP-80(P) on LPT1: added", "exit code 0"};
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "PlantedLibraries";
        s.quiet = "/quiet /accepteula /model RP-80 /port LPT1: /log C:\\quiet.log";
        s.plantedLibraries = {"version.dll", "winspool.drv"};
        s.logLines = {"printer RP-80(P) on LPT1: added", "exit code 0"};
        all.push_back(s);
    }
    {
        // /quiet last, after what is wrong: still nothing shown. The default log.
        Scenario s;
        s.name = "QuietAfterABadOption";
        s.quiet = "/model RP-80 /port LPT1: /frobnicate /accepteula /quiet";
        s.exitCode = 87;
        s.logLines = {"invalid command line: unknown option /frobnicate", "exit code 87"};
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "QuietUsage";
        s.quiet = "/quiet /?";
        s.exitCode = 87;
        s.logLines = {"invalid command line: /? shows the usage in a box", "exit code 87"};
        all.push_back(s);
    }
    {
        // The usage box is the program's first window: the search for
        // libraries is restricted before it, and the libraries its drawing
        // loads by name are the system's, not the ones beside the program.
        Scenario s;
        s.name = "UsageBesidePlantedLibraries";
        s.usage = true;
        s.plantedLibraries = {"uxtheme.dll", "msimg32.dll"};
        all.push_back(s);
    }
    {
        // Windows 10 is installed for with Windows 7's rules; the log names it
        // as it runs and says what GetVersionEx told the program (which names
        // it in its manifest), and whether the default printer held.
        Scenario s;
        s.name = "QuietWindows10";
        s.quiet = "/quiet /accepteula /model RP-80 /port LPT1: /default /log C:\\quiet.log";
        s.defaultPrinter = true;
        s.logLines = {"running on Windows 10 (10.0.", ") x86; GetVersionEx 10.0\r\n", "target system 7",
                      "printer RP-80(P) on LPT1: added", "made the default printer",
                      "the default printer held: Windows names RP-80(P)", "exit code 0"};
        all.push_back(s);
    }
    {
        // The USB driver installer stops to ask: given up at the limit.
        Scenario s;
        s.name = "QuietUsbInstallerStopsToAsk";
        s.changes = "usb-class-driver";
        s.quiet = "/quiet /accepteula /model RP-80 /port USB_RP-80_1 /usbtimeout 5 /log C:\\quiet.log";
        s.installerStopsToAsk = true;
        s.usbPrinters = {{0}};
        s.exitCode = 1603;
        s.seconds = 60;
        s.printer = "RP-80(U) 1";
        s.logLines = {"did not end within 5 seconds", "exit code 1603"};
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "QuietBadArguments";
        s.quiet = "/quiet /accepteula /model RP-80 /log C:\\quiet.log";
        s.exitCode = 87;
        s.logLines = {"invalid command line: /quiet needs /port"};
        all.push_back(s);
    }
    // On a 64-bit Windows: the log names the machine's architecture, the
    // x86 driver goes in beside the x64 one, and the rules are still Windows 7's.
    {
        Scenario s;
        s.name = "QuietX64";
        s.quiet = "/quiet /accepteula /model RP-80 /port LPT1: /default /log C:\\quiet.log";
        s.defaultPrinter = true;
        s.logLines = {"running on Windows ", ") x64; GetVersionEx ", "target system 7", "printer driver RP-80 registered",
                      "x86 driver RP-80 for 32-bit clients registered", "printer RP-80(P) on LPT1: added",
                      "made the default printer", "exit code 0"};
        all.push_back(s);
    }
    {
        // A medium without the 64-bit builds cannot install there.
        Scenario s;
        s.name = "QuietWithoutX64";
        s.quiet = "/quiet /accepteula /model RP-80 /port LPT1: /log C:\\quiet.log";
        s.withoutX64 = true;
        s.exitCode = 1633;
        s.logLines = {"target system 7",
                      "ended: RP-80 cannot be installed on 64-bit Windows from this medium; its X64 folder lacks "
                      "RP80RES.DLL, RP80UNI.DLL.\r\n",
                      "exit code 1633"};
        all.push_back(s);
    }
    {
        // A 32-bit file among the 64-bit ones: named, and nothing changed
        // (Wine would load neither; a 64-bit spooler fails later with 193).
        Scenario s;
        s.name = "QuietWrongArchitecture";
        s.quiet = "/quiet /accepteula /model RP-80 /port LPT1: /log C:\\quiet.log";
        s.x86FileInX64 = "RP80UNI.DLL";
        s.exitCode = 1633;
        s.logLines = {"target system 7",
                      "ended: RP-80 cannot be installed on 64-bit Windows from this medium; X64\\RP80UNI.DLL is "
                      "built for x86, not for x64.\r\n",
                      "exit code 1633"};
        all.push_back(s);
    }
    {
        // 64-bit Windows takes a driver package only with its catalog: a USB
        // port is refused, naming what is missing, before anything is changed.
        Scenario s;
        s.name = "QuietUsbWithoutX64Catalog";
        s.quiet = "/quiet /accepteula /model RP-80 /port auto /log C:\\quiet.log";
        s.usbPrinters = {{0}};
        s.takenOffMedium = "USBDrv\\X64\\BULKUSB.CAT";
        s.exitCode = 1633;
        s.logLines = {"install RP-80 on USB_RP-80_1", "Missing: USBDrv\\X64\\BULKUSB.CAT.", "exit code 1633"};
        all.push_back(s);
    }
    // The same command run again, as a startup script or an agent does: the
    // model's printer is kept, and no numbered one is added beside it.
    {
        Scenario s;
        s.name = "QuietParallelTwice";
        s.before = {"setup.exe /quiet /accepteula /model RP-80 /port LPT1: /default"};
        s.printersAnswerAsWindows = true;
        s.quiet = "/quiet /accepteula /model RP-80 /port LPT1: /default /log C:\\quiet.log";
        s.defaultPrinter = true;
        s.logLines = {"printer RP-80(P) on LPT1: is there already, printing through RP-80: it is kept",
                      "printer driver RP-80 registered again, all its files copied", "printer RP-80(P) on LPT1: kept",
                      "made the default printer", "exit code 0"};
        s.printersGone = {"RP-80(P)(1)"};
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "QuietSerialTwice";
        s.before = {"setup.exe /quiet /accepteula /model RP-80 /port HVCOM2:"};
        s.printersAnswerAsWindows = true;
        s.quiet = "/quiet /accepteula /model RP-80 /port HVCOM2: /baud 19200 /log C:\\quiet.log";
        s.baud = "19200";
        s.port = "HVCOM2:";
        s.printer = "RP-80(S)";
        s.driver = "RP-80 Serial";
        s.spoolerPort = "HVCOM2:";
        s.logLines = {"printer RP-80(S) on HVCOM2: kept", "serial settings written", "exit code 0"};
        s.printersGone = {"RP-80(S)(1)"};
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "QuietUsbTwice";
        s.usbPrinters = {{0}};
        s.before = {"setup.exe /quiet /accepteula /model RP-80 /port USB_RP-80_1"};
        s.printersAnswerAsWindows = true;
        s.quiet = "/quiet /accepteula /model RP-80 /port USB_RP-80_1 /log C:\\quiet.log";
        s.port = "USB_RP-80_1";
        s.printer = "RP-80(U) 1";
        s.driver = "RP-80 USB";
        s.spoolerPort = "USB_RP-80_1";
        s.logLines = {"printer RP-80(U) 1 on USB_RP-80_1 kept", "said: @IDS_INF_USBRESTART", "exit code 0"};
        all.push_back(s);
    }
    {
        // The driver's data file one release later, stamped older: copied all the same.
        Scenario s;
        s.name = "QuietUpdateFromANewerMedium";
        s.before = {"setup.exe /quiet /accepteula /model RP-80 /port LPT1: /default"};
        s.printersAnswerAsWindows = true;
        s.newerMediumDataFile = true;
        s.quiet = "/quiet /accepteula /model RP-80 /port LPT1: /default /log C:\\quiet.log";
        s.defaultPrinter = true;
        s.logLines = {"printer driver RP-80 registered again, all its files copied", "printer RP-80(P) on LPT1: kept",
                      "exit code 0"};
        s.printersGone = {"RP-80(P)(1)"};
        all.push_back(s);
    }
    // The detection rule: before, after, and against an older installation.
    {
        Scenario s;
        s.name = "QueryBeforeInstallation";
        s.quiet = "/query /model RP-80";
        s.exitCode = 1605;
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "QueryAfterInstallation";
        s.before = {"setup.exe /quiet /accepteula /model RP-80 /port LPT1:"};
        s.quiet = "/query /model RP-80 /port LPT1: /log C:\\quiet.log";
        s.changes = "installation";
        s.logLines = {"query of RP-80 on LPT1:", "found printer RP-80(P) on LPT1:, printing through RP-80",
                      "RP-80 is installed on LPT1:, as new as this disc's or newer", "exit code 0"};
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "QueryOverAnOlderInstallation";
        s.before = {"setup.exe /quiet /accepteula /model RP-80 /port HVCOM2:"};
        s.olderMonitorRecorded = true;
        s.quiet = "/query /model RP-80 /log C:\\quiet.log";
        s.changes = "installation";
        s.exitCode = 1;
        s.logLines = {"monitor POS Serial Port: version 1, the medium's 3: older",
                      "RP-80 is installed, but older than this disc's", "exit code 1"};
        s.printersLeft = {"RP-80(S)"};
        all.push_back(s);
    }
    // Removal, after an installation the audit counts from.
    {
        Scenario s;
        s.name = "RemoveAfterTheWizard";
        s.before = {"wizard"};
        s.quiet = "/uninstall /quiet /model RP-80 /log C:\\quiet.log";
        s.logLines = {"unattended removal of RP-80", "printer RP-80(P) on LPT1: removed", "printer driver RP-80 removed",
                      "ended: removed RP-80 (1 printer(s), 1 driver(s))", "exit code 0"};
        s.printersGone = {"RP-80(P)"};
        s.driversGone = {"RP-80"};
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "RemoveAfterAQuietUsbInstallation";
        s.usbPrinters = {{0}};
        s.before = {"setup.exe /quiet /accepteula /model RP-80 /port USB_RP-80_1"};
        s.quiet = "/uninstall /quiet /model rp-80 /port USB_RP-80_1 /log C:\\quiet.log";
        s.logLines = {"printer RP-80(U) 1 on USB_RP-80_1 removed",
                      "port record USB_RP-80_1 removed from SOFTWARE\\HALVERN\\PORTNAME\\",
                      "port record USB_RP-80_1 removed from SOFTWARE\\HALVERN\\PRINTERPORT\\",
                      "monitor POS USB Port removed", "monitor POS Language Monitor removed", "exit code 0"};
        s.printersGone = {"RP-80(U) 1"};
        s.driversGone = {"RP-80 USB"};
        s.monitorsGone = {"POS USB Port", "POS Language Monitor"};
        all.push_back(s);
    }
    {
        // Two models on the one serial monitor: it stays for the other's printer.
        Scenario s;
        s.name = "RemoveOneOfTwoModels";
        s.before = {"setup.exe /quiet /accepteula /model RP-80 /port HVCOM1:",
                    "setup.exe /quiet /accepteula /model RP-58 /port HVCOM2:"};
        s.quiet = "/uninstall /quiet /model RP-80 /log C:\\quiet.log";
        s.logLines = {"printer RP-80(S) on HVCOM1: removed", "printer driver RP-80 Serial removed",
                      "monitor POS Serial Port kept: a printer still uses it", "exit code 0"};
        s.printersGone = {"RP-80(S)"};
        s.driversGone = {"RP-80 Serial"};
        s.printersLeft = {"RP-58(S)"};
        s.monitorsLeft = {"POS Serial Port"};
        s.changes = "installation";  // the other model's stays
        all.push_back(s);
    }
    {
        // Another product's driver bears the model's driver name: not the model's to remove.
        Scenario s;
        s.name = "RemoveBesideAnotherProductsDriver";
        s.foreignDriver = "RP-80";
        s.quiet = "/uninstall /quiet /model RP-80 /log C:\\quiet.log";
        s.exitCode = 1605;
        s.logLines = {"printer driver RP-80 kept: its files are not the ones this medium installs",
                      "ended: nothing of RP-80 is installed", "exit code 1605"};
        s.driversLeft = {"RP-80"};
        s.filesLeft = {"C:\\windows\\system32\\spool\\drivers\\w32x86\\3\\VENDOR.DLL"};
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "RemoveWhatIsNotInstalled";
        s.quiet = "/uninstall /quiet /model RP-80 /log C:\\quiet.log";
        s.exitCode = 1605;
        s.logLines = {"ended: nothing of RP-80 is installed", "exit code 1605"};
        all.push_back(s);
    }
    // The Windows Installer package, as a deployment tool runs it.
    {
        Scenario s;
        s.name = "PackageInstall";
        s.msiexec = "/i C:\\package\\PrinterDriverSetup.msi /qn MODEL=RP-80 PORT=LPT1: ACCEPTEULA=1 DEFAULT=1 "
                    "LOG=C:\\quiet.log";
        s.defaultPrinter = true;
        s.logLines = {"unattended installation of RP-80 on LPT1:", "printer RP-80(P) on LPT1: added", "exit code 0"};
        s.filesLeft = {kPackageSetup};
        s.keysLeft = {kPackageKey};
        all.push_back(s);
    }
    {
        // setup.exe refuses (1633): the package fails, and its files go again.
        Scenario s;
        s.name = "PackageUnknownModel";
        s.msiexec = "/i C:\\package\\PrinterDriverSetup.msi /qn MODEL=RP-99 PORT=LPT1: ACCEPTEULA=1 LOG=C:\\quiet.log";
        s.exitCode = 1603;
        s.logLines = {"ended: no model RP-99 on this disc", "exit code 1633"};
        s.printer = "RP-99(P)";
        s.filesGone = {"%ProgramFiles%\\Halvern"};
        s.keysGone = {kPackageKey};
        all.push_back(s);
    }
    {
        // The installation folder is one every user may write (its access
        // list, under Wine, comes from the folder's mode, which
        // tests/e2e/run.sh opens to all; Wine's msiexec applies no
        // LockPermissions): the package's custom action starts no setup.exe
        // from there, and the package fails.
        Scenario s;
        s.name = "PackageIntoAFolderOthersMayWrite";
        s.msiexec = "/i C:\\package\\PrinterDriverSetup.msi /qn MODEL=RP-80 PORT=LPT1: ACCEPTEULA=1 "
                    "INSTALLDIR=C:\\shared\\ /l*v C:\\quiet.log";
        s.exitCode = 1603;
        s.logLines = {"The printer driver package installs nothing into C:\\shared\\: C:\\shared may be changed by "
                      "users who are not administrators"};
        s.filesGone = {"C:\\shared\\setup.exe"};
        s.keysGone = {kPackageKey};
        all.push_back(s);
    }
    {
        // The folder the package makes is its own, but anyone may rename the
        // one above it and put a link in its place: refused before the
        // folder is made.
        Scenario s;
        s.name = "PackageUnderAFolderOthersMayRename";
        s.msiexec = "/i C:\\package\\PrinterDriverSetup.msi /qn MODEL=RP-80 PORT=LPT1: ACCEPTEULA=1 "
                    "INSTALLDIR=C:\\shared\\Printer\\ /l*v C:\\quiet.log";
        s.exitCode = 1603;
        s.logLines = {"The printer driver package installs nothing into C:\\shared\\Printer\\: C:\\shared may be "
                      "deleted or renamed by users who are not administrators"};
        s.filesGone = {"C:\\shared\\Printer"};
        s.keysGone = {kPackageKey};
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "PackageRemoval";
        s.before = {"msiexec.exe /i C:\\package\\PrinterDriverSetup.msi /qn MODEL=RP-80 PORT=HVCOM1: ACCEPTEULA=1 "
                    "LOG=C:\\quiet.log"};
        s.msiexec = "/x C:\\package\\PrinterDriverSetup.msi /qn";
        s.logLines = {"unattended removal of RP-80 on HVCOM1:", "printer RP-80(S) on HVCOM1: removed",
                      "monitor POS Serial Port removed", "exit code 0"};
        s.printersGone = {"RP-80(S)"};
        s.driversGone = {"RP-80 Serial"};
        s.monitorsGone = {"POS Serial Port"};
        s.filesGone = {"%ProgramFiles%\\Halvern"};
        s.keysGone = {kPackageKey};
        all.push_back(s);
    }
    {
        // The newer package takes the older one's place and its remembered
        // choices. Windows sets UPGRADINGPRODUCTCODE in the older package's
        // removal, which then leaves the printer for the newer one to keep;
        // Wine 8's Windows Installer does not set it, so here the older
        // package's removal takes the printer and the newer one adds it.
        Scenario s;
        s.name = "PackageUpgrade";
        s.before = {"msiexec.exe /i C:\\package\\PrinterDriverSetup.msi /qn MODEL=RP-80 PORT=LPT1: ACCEPTEULA=1 "
                    "LOG=C:\\quiet.log"};
        s.msiexec = "/i C:\\package\\PrinterDriverSetup-next.msi /qn";
        s.logLines = {"unattended removal of RP-80 on LPT1:", "printer RP-80(P) on LPT1: removed",
                      "unattended installation of RP-80 on LPT1:", "printer RP-80(P) on LPT1: added", "exit code 0"};
        s.filesLeft = {kPackageSetup};
        s.keysGone = {"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{4D084249-FAD0-46A7-BA92-F2E10A37ABA8}"};
        s.keysLeft = {"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{7D09E5F4-AAAC-4153-8A47-D776315F4AD1}"};
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "Parallel";
        s.defaultPrinter = true;
        all.push_back(s);
    }
    // The same installations by the keyboard alone: Tab, Shift+Tab, the
    // arrows, Space, Enter, Escape and a box's Y.
    {
        Scenario s;
        s.name = "KeyboardParallel";
        s.keyboardOnly = true;
        s.defaultPrinter = true;
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "Serial";
        s.port = "HVCOM2:";
        s.baud = "19200";
        s.printer = "RP-80(S)";
        s.driver = "RP-80 Serial";
        s.spoolerPort = "HVCOM2:";
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "SerialOverAnOlderMonitor";
        s.olderSerialMonitor = true;
        s.port = "HVCOM1:";
        s.printer = "RP-80(S)";
        s.driver = "RP-80 Serial";
        s.spoolerPort = "HVCOM1:";
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "UsbTypical";
        s.usbPrinters = {{0}};
        s.port = "USB_RP-80_1";
        s.printer = "RP-80(U) 1";
        s.driver = "RP-80 USB";
        s.spoolerPort = "USB_RP-80_1";
        s.closingKey = "IDS_INF_USBRESTART";
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "UsbTypicalWithoutPrinter";
        s.port = "USB_RP-80_1";
        s.printer = "RP-80(U) 1";
        s.driver = "RP-80 USB";
        s.spoolerPort = "USB_RP-80_1";
        s.closingKey = "IDS_INF_USBRESTART";
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "UsbAdvancedNumberChanged";
        s.usbPrinters = {{0}};  // number 1
        s.advanced = true;
        s.port = "USB_RP-80_3";
        s.otherBoxes = {"IDS_INF_CHANGEID"};
        s.usbNumber = 3;
        s.printer = "RP-80(U) 3";
        s.driver = "RP-80 USB";
        s.spoolerPort = "USB_RP-80_3";
        s.closingKey = "IDS_INF_USBRESTART";
        all.push_back(s);
        // Its question answered with Y.
        s.name = "KeyboardUsbNumberChanged";
        s.keyboardOnly = true;
        all.push_back(s);
    }
    {
        // The one model whose printers the port monitor knows by a fixed port
        // name: the spooler's port is "USB_KPX-D7_" and the chosen port's digit.
        Scenario s;
        s.name = "UsbKpxD7";
        s.model = "KPX-D7 Compact";
        s.usbPrinters = {{1}};  // number 2
        s.advanced = true;
        s.port = "USB_KPX-D7 Compact_2";
        s.printer = "KPX-D7 Compact(U) 2";
        s.driver = "KPX-D7 Compact USB";
        s.spoolerPort = "USB_KPX-D7_2";
        s.closingKey = "IDS_INF_USBRESTART";
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "UsbAdvancedWithoutPrinter";
        s.changes = "usb-class-driver";
        s.advanced = true;
        s.port = "USB_RP-80_2";
        s.otherBoxes = {"IDS_ERR_NOUSBDEVICE"};
        s.closingKey = nullptr;
        all.push_back(s);
    }
    {
        Scenario s;
        s.name = "UsbTwoPrinters";
        s.changes = "usb-class-driver";
        s.usbPrinters = {{0}, {1}};
        s.port = "USB_RP-80_1";
        // Said when the port page probes the printers, and again on Install.
        s.otherBoxes = {"IDS_ERR_ONEPRINTER", "IDS_ERR_ONEPRINTER"};
        s.closingKey = nullptr;
        all.push_back(s);
    }
    return all;
}

// --- Reporting ---------------------------------------------------------------------

int failures = 0;
std::string pictureDirectory;

void fail(const std::string& what) {
    std::printf("FAILED: %s\n", what.c_str());
    if (failures++ == 0 && capture(nullptr, pictureDirectory + "\\failure.bmp"))
        std::printf("  screen kept in %s\\failure.bmp\n", pictureDirectory.c_str());
    std::fflush(stdout);
}

void expect(bool condition, const std::string& what) {
    if (!condition) fail(what);
}

void step(const std::string& what) {
    std::printf("- %s\n", what.c_str());
    std::fflush(stdout);
}

// --- The medium and the prefix --------------------------------------------------

std::string medium;
// The Windows version Wine reports to setup.exe (win2k, ..., win10).
std::string windowsVersion;
// A 64-bit Windows: the program's USB port records are in the registry's
// 64-bit view, which a 64-bit port monitor reads; this driver is a 32-bit
// program and must ask for that view.
bool sixtyFourBit = false;
REGSAM portRecordView() { return sixtyFourBit ? KEY_WOW64_64KEY : 0; }

// A text of the medium's language file, whole, with its line breaks made as
// the program makes them (app/TextTable): as a box shows it.
std::string languageText(const char* section, const char* key) {
    char text[2048] = {};
    GetPrivateProfileStringA(section, key, "", text, sizeof text, (medium + "\\language\\setup.ini").c_str());
    app::applyLineBreaks(text);
    return text;
}

// A text as the install log holds it: one line.
std::string logLine(const std::string& text) {
    std::string line;
    for (char c : text)
        if (c != '\r') line += c == '\n' ? ' ' : c;
    return line;
}

bool setString(HKEY root, const char* path, const char* name, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool setDword(HKEY root, const char* path, const char* name, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// A REG_DWORD value, or -1 when it is missing.
long long getDword(HKEY root, const char* path, const char* name, REGSAM view = 0) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return -1;
    DWORD value = 0, size = sizeof value, type = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_DWORD ? value : -1;
}

std::string getString(HKEY root, const char* path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    char value[512] = {};
    DWORD size = sizeof value - 1, type = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? value : "<missing>";
}

std::string systemDirectory() {
    char directory[MAX_PATH] = {};
    GetSystemDirectoryA(directory, MAX_PATH);
    return directory;
}

// A file of the x86 spooler's version-3 folder.
std::string installedDriverFile(const char* name) {
    char directory[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory), sizeof directory, &needed);
    return std::string(directory) + "\\3\\" + name;
}

bool sameContent(const std::string& a, const std::string& b) {
    std::string contents[2];
    const std::string* paths[] = {&a, &b};
    for (int i = 0; i < 2; ++i) {
        FILE* file = std::fopen(paths[i]->c_str(), "rb");
        if (file == nullptr) return false;
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) contents[i].append(buffer, n);
        std::fclose(file);
    }
    return contents[0] == contents[1];
}

// Wine reports `windows` to setup.exe alone; Windows Server 2008 and Vista
// differ only in the product name, which the program reads from the registry.
void prepareSystem(const std::string& windows) {
    expect(setString(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\setup.exe", "Version", windows),
           "setting the Windows version of setup.exe");
    const char* product = windows == "win2008" ? "Windows Server 2008" : windows == "vista" ? "Windows Vista" : nullptr;
    if (product)
        setString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion", "ProductName", product);
}

// Wine prefers its own DLLs to a program's; a Windows loader takes a DLL
// that is not a known one from the program's folder first. The prefix is
// told to do the same for the two libraries planted there.
void preferPlantedLibraries(const std::vector<const char*>& libraries) {
    const char* key = "Software\\Wine\\AppDefaults\\setup.exe\\DllOverrides";
    for (const std::string library : libraries) {
        // A .dll by its name without it, anything else by both names.
        const std::string base = library.substr(0, library.rfind('.'));
        std::vector<std::string> names = {base};
        if (library != base + ".dll") names.push_back(library);
        for (const std::string& name : names)
            expect(setString(HKEY_CURRENT_USER, key, name.c_str(), "native,builtin"), "preferring the planted " + name);
    }
}

// The marks a planted library leaves when it is loaded: at run time, or as
// an import as the process starts. Wine's own user32 imports version.dll
// (Windows' user32 imports none but known DLLs), so under Wine the planted
// version.dll is loaded as an import of Wine's before any code of setup.exe
// runs; that one mark is Wine's. That setup.exe itself imports neither is
// the import table's to tell (native.medium.TheProgramImportsOnlyProtectedDlls).
const char* const kPlantedMarks[] = {"C:\\planted-version.dll.txt",     "C:\\planted-winspool.drv.txt",
                                     "C:\\planted-winspool.drv-imported.txt", "C:\\planted-uxtheme.dll.txt",
                                     "C:\\planted-uxtheme.dll-imported.txt", "C:\\planted-msimg32.dll.txt",
                                     "C:\\planted-msimg32.dll-imported.txt"};

void checkNoPlantedLibraryLoaded() {
    for (const char* mark : kPlantedMarks)
        expect(GetFileAttributesA(mark) == INVALID_FILE_ATTRIBUTES, std::string("no planted library was loaded: ") + mark);
}

void attachUsbPrinters(const std::vector<UsbPrinter>& printers) {
    std::string state = medium + "\\HvUsbInt.ini";
    WritePrivateProfileStringA("Printers", "Count", std::to_string(printers.size()).c_str(), state.c_str());
    for (size_t i = 0; i < printers.size(); ++i) {
        std::string section = "Printer" + std::to_string(i);
        WritePrivateProfileStringA(section.c_str(), "DeviceValue", std::to_string(printers[i].deviceValue).c_str(),
                                   state.c_str());
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, state.c_str());
}

// The medium's serial monitor as an older version would have left it: its
// DLL in the system directory, registered with the spooler (which holds it
// from then on) and an older version in its key.
void installOlderSerialMonitor() {
    std::string dll = systemDirectory() + "\\POSCOM.DLL";
    expect(CopyFileA((medium + "\\W32\\POSCOM.DLL").c_str(), dll.c_str(), FALSE) != FALSE,
           "placing an older serial monitor");
    char name[] = "POS Serial Port", file[] = "POSCOM.DLL";
    MONITOR_INFO_2A info = {name, nullptr, file};
    expect(AddMonitorA(nullptr, 2, reinterpret_cast<BYTE*>(&info)) != FALSE,
           "registering the older serial monitor (" + std::to_string(GetLastError()) + ")");
    setDword(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\POS Serial Port",
             "DriverVersion", 1);
}

// Another product's printer driver under `name`: the medium's stand-in
// programs and a data file, under names of its own.
void installForeignDriver(const char* name) {
    char directory[MAX_PATH] = {};
    DWORD needed = 0;
    expect(GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory), sizeof directory,
                                      &needed) != FALSE,
           "the driver directory");
    const std::pair<const char*, const char*> files[] = {
        {"POSDRV.DLL", "VENDOR.DLL"}, {"POSDRVUI.DLL", "VENDORUI.DLL"}, {"RP80.GPD", "VENDOR.GPD"}};
    for (const auto& [from, to] : files)
        expect(CopyFileA((medium + "\\W32\\" + from).c_str(), (std::string(directory) + "\\" + to).c_str(), FALSE) !=
                   FALSE,
               std::string("placing another product's ") + to);
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>(name);
    driver.pDriverPath = const_cast<char*>("VENDOR.DLL");
    driver.pDataFile = const_cast<char*>("VENDOR.GPD");
    driver.pConfigFile = const_cast<char*>("VENDORUI.DLL");
    driver.pDefaultDataType = const_cast<char*>("RAW");
    expect(AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver)) != FALSE,
           "registering another product's driver (" + std::to_string(GetLastError()) + ")");
}

// The medium as one built without its 64-bit folder.
void removeX64Folder() {
    const std::string folder = medium + "\\X64";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((folder + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    expect(RemoveDirectoryA(folder.c_str()) != FALSE, "taking X64 off the medium (" + std::to_string(GetLastError()) + ")");
}

void placeX86FileInX64(const char* name) {
    expect(CopyFileA((medium + "\\W32\\" + name).c_str(), (medium + "\\X64\\" + name).c_str(), FALSE) != FALSE,
           std::string("placing the 32-bit ") + name + " in X64");
}

// --- The walk ------------------------------------------------------------------

// For a first window that never came: whether the program still runs,
// windowless, or has ended, and with what.
std::string whatBecameOf(const SetupProcess& setup) {
    if (setup.running()) return "still running, no window shown";
    return "ended with " + std::to_string(setup.wait(0)) + " before showing a window";
}

class Walk {
public:
    Walk(SetupProcess& setup, const Scenario& scenario) : setup_(setup), s_(scenario) {}

    void run();
    const std::vector<std::string>& boxes() const { return boxes_; }

private:
    HWND waitForControl(int id, const char* what) {
        HWND control = waitFor([&] { return visibleControl(frame_, id); });
        if (control == nullptr) fail(std::string("waited for ") + what);
        return control;
    }
    void next() { click(GetDlgItem(frame_, IDOK)); }
    // The running system's button is marked and the only one enabled;
    // Windows 8 and later are Windows 7's.
    void checkOsPage();
    // Answers the boxes until setup.exe ends or waits for the user again;
    // a question gets the scenario's answer, every other box its OK.
    void settle();

    SetupProcess& setup_;
    const Scenario& s_;
    HWND frame_ = nullptr;
    std::vector<std::string> boxes_;
};

void Walk::settle() {
    bool settled = answerUntilSettled(setup_, frame_, [&](HWND box, const std::string& text) {
        boxes_.push_back(text);
        step("box: \"" + text + "\"");
        if (GetDlgItem(box, IDYES) == nullptr) return IDOK;
        return s_.answerYes ? IDYES : IDNO;
    });
    if (!settled) fail("waited for setup.exe to finish its work or ask, and for its boxes to close");
}

void Walk::checkOsPage() {
    const struct {
        const char* windows;
        int button;
    } marks[] = {{"win2k", 1028}, {"winxp", 1029}, {"win2003", 1075}, {"vista", 1076}, {"win2008", 1077},
                 {"win7", 1078},  {"win8", 1078},  {"win81", 1078},   {"win10", 1078}};
    for (const auto& mark : marks) {
        if (windowsVersion != mark.windows) continue;
        HWND button = visibleControl(frame_, mark.button);
        expect(button && SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED && IsWindowEnabled(button),
               "the OS page marks button " + std::to_string(mark.button) + " on " + windowsVersion);
        for (int other : {1028, 1029, 1075, 1076, 1077, 1078})
            if (other != mark.button)
                expect(!IsWindowEnabled(GetDlgItem(GetParent(button), other)),
                       "the OS page disables button " + std::to_string(other));
    }
}

void Walk::run() {
    if (s_.refused) {
        if (!waitFor([&] { return setup_.messageBox(); })) return fail("waited for the refusal");
        settle();
        return;
    }
    frame_ = waitFor([&] { return setup_.wizard(); });
    if (frame_ == nullptr) return fail("waited for the wizard window (setup.exe " + whatBecameOf(setup_) + ")");
    step("the wizard is up: \"" + textOf(frame_) + "\"");
    if (visibleControl(frame_, kAgreementText)) {
        click(visibleControl(frame_, kAccept));
        next();
    }
    if (!waitForControl(kReceipt, "the printer page")) return;
    click(visibleControl(frame_, kReceipt + s_.category));
    HWND models = waitForControl(kModelLists + s_.category, "the model list");
    if (!models || !choose(models, s_.model)) return fail(std::string("choosing the model ") + s_.model);
    if (s_.defaultPrinter) click(visibleControl(frame_, kDefaultPrinter));
    next();
    if (!waitForControl(kTypical, "the mode page")) return;
    click(visibleControl(frame_, s_.advanced ? kAdvanced : kTypical));
    next();
    if (!waitForControl(kOs2000, "the OS page")) return;
    checkOsPage();
    next();
    HWND ports = waitForControl(kPortList, "the port page");
    settle();  // the port list's probe of the USB printers may speak
    if (!ports) return;
    step("ports offered: " + std::to_string(listItems(ports).size()));
    if (!choose(ports, s_.port)) return fail(std::string("choosing the port ") + s_.port);
    if (s_.baud && !choose(visibleControl(frame_, kBaudList), s_.baud))
        return fail(std::string("choosing the baud rate ") + s_.baud);
    step(std::string("Install on ") + s_.port);
    next();
    settle();
}

// --- The walk by the keyboard alone ---------------------------------------------------

// Keys reach setup.exe as a person's do: SendInput puts them in the input
// queue of the foreground window's thread, where the program's own message
// loop translates them and offers them to its dialogs. Measured under Wine:
// SetForegroundWindow from this process makes the wizard the foreground
// window, and the keys then reach its focused control with the Shift state
// the dialog manager reads; keys posted to a control instead (WM_KEYDOWN)
// reach it too, but without that state, so Shift+Tab could not be told from
// Tab. The focus is read across processes with GetGUIThreadInfo.
void sendKey(WORD key, bool shift = false) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD k, bool up) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = k;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (shift) add(VK_SHIFT, false);
    add(key, false);
    add(key, true);
    if (shift) add(VK_SHIFT, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

HWND focusIn(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

std::string nameOf(HWND control) {
    return control ? std::to_string(GetDlgCtrlID(control)) + " \"" + textOf(control) + "\"" : "nothing";
}

RECT placeOf(HWND window) {
    RECT place = {};
    GetWindowRect(window, &place);
    return place;
}

class KeyboardWalk {
public:
    KeyboardWalk(SetupProcess& setup, const Scenario& scenario) : setup_(setup), s_(scenario) {}

    void run();
    const std::vector<std::string>& boxes() const { return boxes_; }

private:
    // A key to the wizard, once it is the foreground window; then the time
    // its thread needs to handle it: a message sent to it is handled before
    // the input waiting in its queue, so only a pause tells that the key is
    // through, and the focus is read once it has held still for 300 ms.
    void key(WORD k, bool shift = false) {
        toForeground();
        sendKey(k, shift);
        HWND before = nullptr;
        int still = 0;
        for (int i = 0; i < 30 && still < 3; ++i) {
            Sleep(100);
            responsive(frame_);
            HWND now = focus();
            still = now == before ? still + 1 : 0;
            before = now;
        }
    }
    // A key that moves the focus (Tab, Shift+Tab, an arrow in a group): it
    // is through once the focus has left where it was (at most 5 s).
    void move(WORD k, bool shift = false) {
        HWND from = focus();
        toForeground();
        sendKey(k, shift);
        waitFor([&] { return focus() != from && focus() != nullptr ? frame_ : nullptr; }, 5000);
        Sleep(50);
    }
    // Asked only when needed: each activation moves the focus for a moment.
    void toForeground() {
        if (GetForegroundWindow() != frame_) SetForegroundWindow(frame_);
    }
    HWND focus() const { return focusIn(frame_); }
    // Tab until `id` (or `other`) has the focus on the page shown or the
    // frame; false after a whole round.
    bool tabTo(int id, int other = -1) {
        for (int i = 0; i < 30; ++i) {
            HWND now = focus();
            if (now && IsWindowVisible(now) && (GetDlgCtrlID(now) == id || GetDlgCtrlID(now) == other)) return true;
            move(VK_TAB);
        }
        fail("Tab never reached control " + std::to_string(id) + " (focus on " + nameOf(focus()) + ")");
        return false;
    }
    // From the forward button, Tab goes round the page and the frame's buttons in reading order, and Shift+Tab the same way back.
    void checkTabRound(const char* page);
    HWND pageShown() const {
        HWND focused = focus();
        for (HWND w = focused; w && w != frame_; w = GetParent(w))
            if (GetParent(w) == frame_) return w;
        return nullptr;
    }
    void waitForPage(int id, const char* what) {
        if (!waitFor([&] { return visibleControl(frame_, id); })) fail(std::string("waited for ") + what);
    }
    void checkPageKeepsEnterAndEscape(int id);
    // The boxes, each answered by a key: Y or N for a question, Enter and
    // Escape in turn for a notice.
    void settle();

    SetupProcess& setup_;
    const Scenario& s_;
    HWND frame_ = nullptr;
    std::vector<std::string> boxes_;
};

void KeyboardWalk::checkTabRound(const char* page) {
    HWND start = GetDlgItem(frame_, IDOK);
    if (!tabTo(IDOK)) return;
    std::vector<HWND> round;
    for (int i = 0; i < 30; ++i) {
        move(VK_TAB);
        HWND now = focus();
        if (now == start || now == nullptr) break;
        round.push_back(now);
        expect(IsWindowVisible(now) && IsWindowEnabled(now), std::string(page) + ": Tab reached a hidden or disabled " + nameOf(now));
        // After a key the focus is drawn: the window does not hide it.
        expect(!(SendMessageW(now, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS), std::string(page) + ": no focus drawn on " + nameOf(now));
    }
    expect(focus() == start, std::string(page) + ": Tab did not come round to the forward button");
    // The round: Cancel, the page's controls, Back when it is enabled.
    std::vector<HWND> buttons = {GetDlgItem(frame_, IDCANCEL)}, onPage;
    for (HWND h : round)
        if (GetParent(h) != frame_) onPage.push_back(h);
    expect(!round.empty() && round.front() == GetDlgItem(frame_, IDCANCEL), std::string(page) + ": Cancel follows the forward button");
    if (IsWindowEnabled(GetDlgItem(frame_, kBack)))
        expect(!round.empty() && round.back() == GetDlgItem(frame_, kBack), std::string(page) + ": Back comes last before the forward button");
    expect(!onPage.empty(), std::string(page) + ": Tab reaches the page's controls");
    // Reading order: each control on the same row and further right, or lower.
    for (size_t i = 1; i < onPage.size(); ++i) {
        RECT a = placeOf(onPage[i - 1]), b = placeOf(onPage[i]);
        int row = (a.bottom - a.top) / 2 + 1;
        bool sameRowRight = std::abs(b.top - a.top) < row && b.left > a.left;
        expect(sameRowRight || b.top >= a.top + row,
               std::string(page) + ": " + nameOf(onPage[i]) + " comes after " + nameOf(onPage[i - 1]) + " against reading order");
    }
    // Every enabled input control of the page is in the round (of a radio group, its marked button).
    HWND shown = onPage.empty() ? nullptr : GetParent(onPage.front());
    for (HWND c = shown ? GetWindow(shown, GW_CHILD) : nullptr; c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!IsWindowVisible(c) || !IsWindowEnabled(c)) continue;
        char kind[32] = {};
        GetClassNameA(c, kind, sizeof kind);
        const LONG type = GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK;
        const bool radio = lstrcmpiA(kind, "Button") == 0 && type == BS_AUTORADIOBUTTON;
        const bool input = lstrcmpiA(kind, "ComboBox") == 0 || lstrcmpiA(kind, "Edit") == 0 ||
                           (lstrcmpiA(kind, "Button") == 0 && type == BS_AUTOCHECKBOX) ||
                           (radio && SendMessageW(c, BM_GETCHECK, 0, 0) == BST_CHECKED);
        if (input)
            expect(std::find(onPage.begin(), onPage.end(), c) != onPage.end(), std::string(page) + ": Tab never reaches " + nameOf(c));
    }
    // Shift+Tab: the same round backwards.
    for (auto at = round.rbegin(); at != round.rend(); ++at) {
        move(VK_TAB, true);
        if (focus() != *at) {
            fail(std::string(page) + ": Shift+Tab went to " + nameOf(focus()) + ", not back to " + nameOf(*at));
            break;
        }
    }
    move(VK_TAB, true);
    expect(focus() == start, std::string(page) + ": Shift+Tab came round to the forward button");
}

// Enter and Escape on a page's control close nothing and leave the page.
void KeyboardWalk::checkPageKeepsEnterAndEscape(int id) {
    if (!tabTo(id)) return;
    key(VK_RETURN);
    key(VK_ESCAPE);
    expect(setup_.running() && IsWindowVisible(frame_) && visibleControl(frame_, id) && setup_.messageBox() == nullptr,
           "Enter and Escape on control " + std::to_string(id) + " leave the wizard where it was");
}

void KeyboardWalk::settle() {
    bool enter = true;
    bool settled = answerUntilSettled(setup_, frame_, [&](HWND box, const std::string& text) {
        boxes_.push_back(text);
        const bool question = GetDlgItem(box, IDYES) != nullptr;
        step("box: \"" + text + "\", answered by " + (question ? (s_.answerYes ? "Y" : "N") : enter ? "Enter" : "Escape"));
        SetForegroundWindow(box);
        Sleep(300);  // the box takes the keys once it is the active window
        if (question)
            sendKey(s_.answerYes ? 'Y' : 'N');
        else
            sendKey(enter ? VK_RETURN : VK_ESCAPE);
        enter = !enter;
        return 0;  // the key answered it
    });
    if (!settled) fail("waited for setup.exe to finish its work or ask, and for its boxes to close by key");
}

void KeyboardWalk::run() {
    frame_ = waitFor([&] { return setup_.wizard(); });
    if (frame_ == nullptr) return fail("waited for the wizard window (setup.exe " + whatBecameOf(setup_) + ")");
    step("the wizard is up; from here on only keys");
    waitFor([&] { return responsive(frame_) && IsWindowEnabled(frame_) ? frame_ : nullptr; });
    if (visibleControl(frame_, kAgreementText)) {
        // The agreement's pair, by the arrows: down to Reject, up to Accept.
        // Tab enters the pair on one of its buttons (none is marked yet).
        if (!tabTo(kAccept, kAccept + 1)) return;
        // The focus moves first, the mark follows.
        auto marked = [&](HWND button) {
            return waitFor([&] { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED ? button : nullptr; },
                           3000) != nullptr;
        };
        HWND first = focus();
        move(VK_DOWN);
        HWND second = focus();
        expect(second != first && marked(second), "the down arrow moves to the agreement's other button and marks it");
        move(VK_UP);
        expect(focus() == first && marked(first), "the up arrow moves back and marks the first");
        if (GetDlgCtrlID(focus()) != kAccept) move(VK_DOWN);
        expect(marked(visibleControl(frame_, kAccept)), "the arrows mark Accept");
        checkTabRound("agreement");
        tabTo(IDOK);
        key(VK_SPACE);  // Space presses the focused button
    }
    waitForPage(kReceipt, "the printer page");
    checkTabRound("printer page");
    // The scenario's model is the default one; the box is ticked by Space.
    if (s_.defaultPrinter && tabTo(kDefaultPrinter)) {
        key(VK_SPACE);
        HWND box = visibleControl(frame_, kDefaultPrinter);
        waitFor([&] { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? box : nullptr; }, 5000);
        expect(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED,
               "Space ticks the default-printer box");
    }
    tabTo(IDOK);
    key(VK_RETURN);  // Enter presses the focused forward button
    waitForPage(kTypical, "the mode page");
    checkTabRound("mode page");
    if (s_.advanced) {
        tabTo(kTypical, kAdvanced);
        if (GetDlgCtrlID(focus()) == kTypical) move(VK_DOWN);
        HWND advanced = visibleControl(frame_, kAdvanced);
        expect(waitFor([&] { return SendMessageW(advanced, BM_GETCHECK, 0, 0) == BST_CHECKED ? advanced : nullptr; },
                       3000) != nullptr,
               "the down arrow marks Advanced");
    }
    tabTo(IDOK);
    key(VK_RETURN);
    waitForPage(kOs2000, "the OS page");
    checkTabRound("OS page");
    tabTo(IDOK);
    key(VK_RETURN);
    waitForPage(kPortList, "the port page");
    settle();  // the port list's probe of the USB printers may speak
    checkTabRound("port page");
    checkPageKeepsEnterAndEscape(kPortList);
    // The port chosen with the arrows from the top of the list.
    if (!tabTo(kPortList)) return;
    HWND ports = visibleControl(frame_, kPortList);
    key(VK_HOME);
    for (int i = 0; i < 40 && textOf(ports) != s_.port; ++i) {
        const std::string was = textOf(ports);
        key(VK_DOWN);
        waitFor([&] { return textOf(ports) != was ? ports : nullptr; }, 3000);
    }
    if (textOf(ports) != s_.port) return fail(std::string("the arrows never reached the port ") + s_.port);
    step(std::string("Install on ") + s_.port + " by Enter on the forward button");
    tabTo(IDOK);
    key(VK_RETURN);
    settle();
}

// --- The checks -------------------------------------------------------------------

struct Printer {
    bool found = false;
    std::string port, driver, processor, datatype;
};

Printer printerNamed(const char* name) {
    Printer result;
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(name), &printer, nullptr)) return result;
    DWORD needed = 0;
    GetPrinterA(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (GetPrinterA(printer, 2, buffer.data(), needed, &needed)) {
        auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
        result.found = true;
        result.port = info->pPortName ? info->pPortName : "";
        result.driver = info->pDriverName ? info->pDriverName : "";
        result.processor = info->pPrintProcessor ? info->pPrintProcessor : "";
        result.datatype = info->pDatatype ? info->pDatatype : "";
    }
    ClosePrinter(printer);
    return result;
}

// The files the spooler lists for the printer's driver, each with whether it exists.
// The environments an installation registers drivers in: on 64-bit Windows
// the machine's, "Windows x64", and "Windows NT x86" for 32-bit clients;
// elsewhere the default one.
std::vector<const char*> driverEnvironments() {
    if (sixtyFourBit) return {"Windows x64", "Windows NT x86"};
    return {nullptr};
}

std::vector<std::pair<std::string, bool>> driverFiles(const char* printerName, const char* environment = nullptr) {
    std::vector<std::pair<std::string, bool>> files;
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(printerName), &printer, nullptr)) return files;
    LPSTR named = const_cast<char*>(environment);
    DWORD needed = 0;
    GetPrinterDriverA(printer, named, 3, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (GetPrinterDriverA(printer, named, 3, buffer.data(), needed, &needed)) {
        auto* info = reinterpret_cast<DRIVER_INFO_3A*>(buffer.data());
        auto add = [&](const char* path) {
            if (path && *path) files.emplace_back(path, GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES);
        };
        add(info->pDriverPath);
        add(info->pDataFile);
        add(info->pConfigFile);
        add(info->pHelpFile);
        for (const char* dependent = info->pDependentFiles; dependent && *dependent;
             dependent += std::strlen(dependent) + 1)
            add(dependent);
    }
    ClosePrinter(printer);
    return files;
}

std::string lowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The machine a program file is built for, from its PE header; 0 for a file
// that is no program.
WORD programMachine(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return 0;
    unsigned char header[0x40] = {}, signature[6] = {};
    WORD machine = 0;
    if (std::fread(header, 1, sizeof header, file) == sizeof header && header[0] == 'M' && header[1] == 'Z') {
        const long offset = header[0x3C] | header[0x3D] << 8 | header[0x3E] << 16 | static_cast<long>(header[0x3F]) << 24;
        if (std::fseek(file, offset, SEEK_SET) == 0 && std::fread(signature, 1, sizeof signature, file) == sizeof signature &&
            std::memcmp(signature, "PE\0\0", 4) == 0)
            machine = static_cast<WORD>(signature[4] | signature[5] << 8);
    }
    std::fclose(file);
    return machine;
}

// Windows' own Unidrv files, which the test prefix's printing packages hold.
bool isWindowsUnidrvFile(const std::string& path) {
    const std::string name = lowerCase(path.substr(path.find_last_of('\\') + 1));
    return name.compare(0, 3, "uni") == 0;
}

bool monitorInstalled(const char* name) {
    DWORD needed = 0, count = 0;
    EnumMonitorsA(nullptr, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!EnumMonitorsA(nullptr, 1, buffer.data(), needed, &needed, &count)) return false;
    auto* monitors = reinterpret_cast<MONITOR_INFO_1A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        if (monitors[i].pName && std::strcmp(monitors[i].pName, name) == 0) return true;
    return false;
}

bool driverInstalled(const char* name, const char* environment = nullptr) {
    LPSTR named = const_cast<char*>(environment);
    DWORD needed = 0, count = 0;
    EnumPrinterDriversA(nullptr, named, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!EnumPrinterDriversA(nullptr, named, 1, buffer.data(), needed, &needed, &count)) return false;
    auto* drivers = reinterpret_cast<DRIVER_INFO_1A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        if (drivers[i].pName && std::strcmp(drivers[i].pName, name) == 0) return true;
    return false;
}

// A path with its environment variables filled in, as this (32-bit) process sees them.
std::string expanded(const char* path) {
    char out[MAX_PATH] = {};
    DWORD length = ExpandEnvironmentStringsA(path, out, sizeof out);
    return length > 0 && length <= sizeof out ? out : path;
}

bool keyExists(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// What must be gone after the scenario, and what must still be there.
void checkGoneAndLeft(const Scenario& s) {
    for (const char* name : s.printersGone) expect(!printerNamed(name).found, std::string("no printer ") + name);
    for (const char* name : s.printersLeft) expect(printerNamed(name).found, std::string("the printer ") + name + " stays");
    for (const char* environment : driverEnvironments()) {
        const std::string of = environment ? std::string(" of ") + environment : std::string();
        for (const char* name : s.driversGone)
            expect(!driverInstalled(name, environment), std::string("no printer driver ") + name + of);
        for (const char* name : s.driversLeft)
            expect(driverInstalled(name, environment), std::string("the printer driver ") + name + of + " stays");
    }
    for (const char* name : s.monitorsGone) expect(!monitorInstalled(name), std::string("no monitor ") + name);
    for (const char* name : s.monitorsLeft) expect(monitorInstalled(name), std::string("the monitor ") + name + " stays");
    for (const char* path : s.filesGone)
        expect(GetFileAttributesA(expanded(path).c_str()) == INVALID_FILE_ATTRIBUTES, "nothing at " + expanded(path));
    for (const char* path : s.filesLeft)
        expect(GetFileAttributesA(expanded(path).c_str()) != INVALID_FILE_ATTRIBUTES, "the file " + expanded(path));
    for (const char* path : s.keysGone) expect(!keyExists(path), std::string("no key HKLM\\") + path);
    for (const char* path : s.keysLeft) expect(keyExists(path), std::string("the key HKLM\\") + path);
}

// Whether the scenario's own run takes something away.
bool removes(const Scenario& s) {
    return (s.quiet && std::strstr(s.quiet, "/uninstall")) || (s.msiexec && std::strncmp(s.msiexec, "/x", 2) == 0);
}

std::string defaultPrinter() {
    char name[256] = {};
    GetProfileStringA("windows", "device", "", name, sizeof name);
    std::string device = name;
    return device.substr(0, device.find(','));
}

void checkInstalled(const Scenario& s);

void checkOutcome(const Scenario& s, const std::vector<std::string>& boxes, long exitCode) {
    if (s.refused) {
        std::string refusal = languageText("Setup", "Nonsupport");
        expect(boxes.size() == 1 && boxes[0] == refusal,
               "one box with \"" + refusal + "\", got " + std::to_string(boxes.size()) + " boxes");
        expect(exitCode == 0, "setup.exe ends with 0 after its refusal (" + std::to_string(exitCode) + ")");
        return;
    }
    std::vector<std::string> expected;
    for (const char* key : s.otherBoxes) expected.push_back(languageText("Message", key));
    if (s.closingKey) expected.push_back(languageText("Message", s.closingKey));
    expect(boxes.size() == expected.size(),
           "the boxes shown: " + std::to_string(boxes.size()) + ", expected " + std::to_string(expected.size()));
    for (size_t i = 0; i < boxes.size() && i < expected.size(); ++i)
        expect(boxes[i] == expected[i],
               "box " + std::to_string(i + 1) + " says \"" + boxes[i] + "\", expected \"" + expected[i] + "\"");
    if (s.closingKey == nullptr) {
        expect(exitCode == -1, "the wizard stays open after a refusal");
        expect(!printerNamed(s.printer).found, std::string("no printer ") + s.printer);
        return;
    }
    expect(exitCode == 0, "setup.exe ends with 0 after the installation (" + std::to_string(exitCode) + ")");
    checkInstalled(s);
}

// What an installation leaves in the spooler, the registry and the files.
void checkInstalled(const Scenario& s) {
    Printer printer = printerNamed(s.printer);
    expect(printer.found, std::string("the spooler has the printer ") + s.printer);
    expect(printer.port == s.spoolerPort, "the printer's port is " + printer.port + ", expected " + s.spoolerPort);
    expect(printer.driver == s.driver, "the printer's driver is " + printer.driver + ", expected " + s.driver);
    expect(printer.datatype == "RAW", "the printer's datatype is " + printer.datatype);
    std::string port = s.spoolerPort;
    // Parallel and USB ports print raster graphics: the GDI driver on the
    // system's Unidrv files, from its driver cache or driver store.
    // On 64-bit Windows the driver of each environment, in that
    // environment's folder, the medium's own programs built for it.
    for (const char* environment : driverEnvironments()) {
        const std::string of = environment ? std::string(" of ") + environment : std::string();
        std::vector<std::pair<std::string, bool>> files = driverFiles(s.printer, environment);
        expect(!files.empty(), "the spooler lists the driver's files" + of);
        std::string listed;
        int programsOfTheMedium = 0;
        for (const auto& [file, exists] : files) {
            expect(exists, "the driver file " + file + " exists");
            listed += file + " ";
            if (!environment) continue;
            const bool x64 = std::strcmp(environment, "Windows x64") == 0;
            expect(lowerCase(file).find(x64 ? "\\x64\\3\\" : "\\w32x86\\3\\") != std::string::npos,
                   "the driver file " + file + " is in the folder" + of);
            const WORD machine = programMachine(file);
            if (machine == 0 || isWindowsUnidrvFile(file)) continue;
            ++programsOfTheMedium;
            expect(machine == (x64 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386),
                   "the driver file " + file + " is built for" + of);
        }
        if (environment) expect(programsOfTheMedium > 0, "the driver" + of + " has programs of the medium");
        step("driver files" + of + ": " + listed);
        if (port.find("COM") == std::string::npos)
            for (const char* unidrv : {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL", "STDNAMES.GPD", "TTFSUB.GPD"})
                expect(listed.find(unidrv) != std::string::npos, std::string("the driver uses ") + unidrv + of);
    }
    if (port.compare(0, 4, "USB_") == 0) {
        expect(monitorInstalled("POS USB Port"), "the USB port monitor is installed");
        expect(monitorInstalled("POS Language Monitor"), "the language monitor is installed");
        // The port-name key records the spooler's port with its value in the
        // medium's device table; the printer-port key the port as chosen.
        long long tableValue = GetPrivateProfileIntA("SUPPORTED-USB-DEVICE", s.spoolerPort, 0,
                                                     (medium + "\\DRVCONFIG\\setup.ini").c_str());
        expect(getDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\HALVERN\\PORTNAME", s.spoolerPort, portRecordView()) ==
                   tableValue,
               "the port-name key records " + port + " with " + std::to_string(tableValue));
        expect(getDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\HALVERN\\PRINTERPORT", s.port, portRecordView()) == 0,
               std::string("the printer-port key records ") + s.port);
        expect(getDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\HALVERN\\PRINTERPORT", "D1", portRecordView()) == 0,
               "the slot D1 is reset");
    }
    if (port.find("COM") != std::string::npos) {
        expect(monitorInstalled("POS Serial Port"), "the serial port monitor is installed");
        std::string settings = getString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports",
                                         port.substr(port.find("COM")).c_str());
        std::string baud = s.baud ? s.baud : "9600";
        expect(settings.compare(0, baud.size() + 1, baud + ",") == 0, "the serial settings are " + settings);
    }
    if (s.olderSerialMonitor) {
        long long version = getDword(HKEY_LOCAL_MACHINE,
                                     "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\POS Serial Port",
                                     "DriverVersion");
        expect(version == 3, "the serial monitor's version is now " + std::to_string(version));
    }
    if (s.defaultPrinter) expect(defaultPrinter() == s.printer, "the default printer is " + defaultPrinter());
    if (s.usbNumber) {
        UINT value = GetPrivateProfileIntA("Printer0", "DeviceValue", -1, (medium + "\\HvUsbInt.ini").c_str());
        expect(static_cast<int>(value % 8 + 1) == s.usbNumber,
               "the USB printer's number is now " + std::to_string(value % 8 + 1));
    }
}

}  // namespace

// A visible top-level window of any program: the scenario's prefix has a
// wineserver and a screen of its own, so it is one of the scenario's.
BOOL CALLBACK firstVisible(HWND window, LPARAM out) {
    if (!IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(out) = window;
    return FALSE;
}

HWND anyVisibleWindow() {
    HWND found = nullptr;
    EnumWindows(firstVisible, reinterpret_cast<LPARAM>(&found));
    return found;
}

// What runs before the scenario, each step to its success.
void runBefore(const Scenario& s) {
    for (const std::string command : s.before) {
        const bool wizard = command == "wizard";
        std::string line = command;
        if (wizard) line = "\"" + medium + "\\setup.exe\"";
        if (command.compare(0, 10, "setup.exe ") == 0) line = "\"" + medium + "\\setup.exe\" " + command.substr(10);
        SetupProcess setup;
        if (!setup.start(line, medium.c_str()))
            return fail("starting " + line + " (" + std::to_string(GetLastError()) + ")");
        step("before: " + line);
        if (wizard) {
            Walk walk(setup, s);
            walk.run();
        }
        const long code = setup.wait(120000);
        expect(code == 0, "before: " + line + " ends with 0, not " + std::to_string(code));
        setup.kill();
    }
}

// What the scenario sets up once the runs before it have ended.
void afterBefore(const Scenario& s) {
    const char* const printers = "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
    HKEY key = nullptr;
    if (s.printersAnswerAsWindows && RegOpenKeyExA(HKEY_LOCAL_MACHINE, printers, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        char name[256];
        for (DWORD i = 0, size = sizeof name; RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) ==
                                               ERROR_SUCCESS;
             ++i, size = sizeof name) {
            HKEY attributes = nullptr;
            const std::string path = std::string(printers) + "\\" + name + "\\Attributes";
            expect(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &attributes,
                                   nullptr) == ERROR_SUCCESS,
                   "the spooler answers 1802 for " + std::string(name));
            RegCloseKey(attributes);
        }
        RegCloseKey(key);
    }
    if (s.olderMonitorRecorded)
        setDword(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\POS Serial Port",
                 "DriverVersion", 1);
    if (s.newerMediumDataFile) {
        const std::string file = medium + "\\W32\\RP80.GPD";
        HANDLE gpd = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD written = 0;
        const char release[] = "\r\n; one release later\r\n";
        SetFilePointer(gpd, 0, nullptr, FILE_END);
        expect(gpd != INVALID_HANDLE_VALUE && WriteFile(gpd, release, sizeof release - 1, &written, nullptr),
               "the medium's RP80.GPD one release later");
        FILETIME old = {0, 0x01A00000};  // 1980: older than anything installed
        SetFileTime(gpd, nullptr, nullptr, &old);
        CloseHandle(gpd);
    }
}

// An unattended run: setup.exe must show no window, end with its code and
// leave its log; an installation it reports done must be in the spooler.
void runQuiet(const Scenario& s) {
    runBefore(s);
    afterBefore(s);
    std::string arguments = s.quiet ? s.quiet : s.msiexec;
    std::string log;
    // Named on the line, or on an installation before it (the package
    // remembers it for its removal and its upgrade).
    bool named = arguments.find("C:\\quiet.log") != std::string::npos;
    for (const char* command : s.before) named = named || std::strstr(command, "C:\\quiet.log");
    if (named) {
        log = "C:\\quiet.log";
    } else {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        log = std::string(temp) + "PrinterDriverSetup.log";
    }
    DeleteFileA(log.c_str());
    SetupProcess setup;
    const std::string folder = s.currentDirectory ? s.currentDirectory : medium;
    const DWORD started = GetTickCount();
    const std::string program = s.quiet ? "\"" + medium + "\\setup.exe\"" : "msiexec.exe";
    if (!setup.start(program + " " + arguments, folder.c_str()))
        return fail("starting " + program + " (" + std::to_string(GetLastError()) + ")");
    step(program + " " + arguments + " in " + folder);
    for (DWORD waited = 0; setup.running() && waited < static_cast<DWORD>(s.seconds) * 1000; waited += 50) {
        // setup.exe started by the package runs in a process of its own.
        HWND shown = s.quiet ? (setup.visibleWindows().empty() ? nullptr : setup.visibleWindows()[0]) : anyVisibleWindow();
        if (shown) {
            fail(program + " showed a window: \"" + textOf(shown) + "\"");
            break;
        }
        Sleep(50);
    }
    long code = setup.wait(1000);
    expect(code == s.exitCode,
           "setup.exe ends with " + std::to_string(code) + ", expected " + std::to_string(s.exitCode) +
               " within " + std::to_string(s.seconds) + " s (it took " +
               std::to_string((GetTickCount() - started) / 1000) + " s)");
    setup.kill();
    checkNoPlantedLibraryLoaded();
    // The log: every expected text, in order, each on a line of its own.
    std::string text;
    if (FILE* file = std::fopen(log.c_str(), "rb")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
        std::fclose(file);
    }
    step("log " + log + ":\n" + text);
    size_t at = 0;
    for (const char* wanted : s.logLines) {
        std::string line = wanted;
        size_t key = line.find('@');
        if (key != std::string::npos) {
            std::string name = line.substr(key + 1);
            size_t dot = name.find('.');
            std::string section = dot == std::string::npos ? "Message" : name.substr(0, dot);
            // The whole text, ending its line: a longer text that merely
            // begins with it is another.
            line = line.substr(0, key) + logLine(languageText(section.c_str(), name.substr(dot + 1).c_str())) + "\r\n";
        }
        size_t found = text.find(line, at);
        expect(found != std::string::npos, "the log says \"" + line + "\" (after what came before)");
        if (found != std::string::npos) at = found + line.size();
    }
    const bool query = s.quiet && std::strstr(s.quiet, "/query");
    if (s.exitCode == 0 && !removes(s))
        checkInstalled(s);
    else if (!removes(s) && !query)
        expect(!printerNamed(s.printer).found, std::string("no printer ") + s.printer);
    if (s.newerMediumDataFile) expect(sameContent(medium + "\\W32\\RP80.GPD", installedDriverFile("RP80.GPD")),
                                      "the driver's data file is the newer medium's");
    checkGoneAndLeft(s);
}

// setup.exe /?: the usage in a box, and nothing else; 0 once it is closed.
void runUsage() {
    SetupProcess setup;
    if (!setup.start("\"" + medium + "\\setup.exe\" /?", medium.c_str()))
        return fail("starting setup.exe /? (" + std::to_string(GetLastError()) + ")");
    HWND box = waitFor([&] { return setup.messageBox(); });
    if (box == nullptr) {
        const std::string state = whatBecameOf(setup);
        setup.kill();
        return fail("waited for the usage box (setup.exe " + state + ")");
    }
    const std::string text = textOf(GetDlgItem(box, kMessageText));
    step("box: \"" + text + "\"");
    expect(text.rfind("setup.exe installs the printer driver", 0) == 0, "the box shows the usage");
    expect(setup.visibleWindows().size() == 1, "the usage box is the only window");
    click(GetDlgItem(box, IDOK));
    const long code = setup.wait();
    expect(code == 0, "setup.exe /? ends with 0, not " + std::to_string(code));
    setup.kill();
    checkNoPlantedLibraryLoaded();
}

// What a scenario may change on the system, for the audit of its prefix.
const char* changeKind(const Scenario& s) {
    if (s.changes) return s.changes;
    const bool succeeds = s.exitCode == 0 || s.exitCode == 3010;
    if (s.msiexec) return !succeeds ? "package-failed" : removes(s) ? "package-removal" : "package";
    if (removes(s)) return s.before.empty() ? "none" : "removal";
    const bool installs = s.quiet ? s.exitCode == 0 || s.exitCode == 3010 : !s.refused && s.closingKey != nullptr;
    return installs ? "installation" : "none";
}

int main(int argc, char** argv) {
    // The system a scenario starts from is made apart, so that what the
    // installation writes can be told from what the scenario set up.
    const bool preparing = argc >= 2 && std::string(argv[1]) == "prepare";

    if (argc < 5) {
        std::printf("usage: e2e_driver.exe [prepare] SCENARIO WINDOWS MEDIUM [OUTDIR]\n");
        return 2;
    }
    const int first = preparing ? 2 : 1;
    const std::string name = argv[first], windows = argv[first + 1];
    sixtyFourBit = windows.size() > 3 && windows.compare(windows.size() - 3, 3, "x64") == 0;
    windowsVersion = sixtyFourBit ? windows.substr(0, windows.size() - 3) : windows;
    medium = argv[first + 2];
    pictureDirectory = preparing ? "." : argv[first + 3];
    for (const Scenario& s : scenarios()) {
        if (name != s.name) continue;
        if (preparing) {
            std::printf("changes: %s\n", changeKind(s));
            prepareSystem(windowsVersion);
            attachUsbPrinters(s.usbPrinters);
            if (s.olderSerialMonitor) installOlderSerialMonitor();
            if (s.foreignDriver) installForeignDriver(s.foreignDriver);
            preferPlantedLibraries(s.plantedLibraries);
            if (s.withoutX64) removeX64Folder();
            if (s.x86FileInX64) placeX86FileInX64(s.x86FileInX64);
            if (s.takenOffMedium)
                expect(DeleteFileA((medium + "\\" + s.takenOffMedium).c_str()) != FALSE,
                       std::string("taking ") + s.takenOffMedium + " off the medium (" +
                           std::to_string(GetLastError()) + ")");
            if (s.installerStopsToAsk)
                for (const char* folder : {"\\USBDrv", "\\USBDrv\\X64"})
                    WritePrivateProfileStringA("Installer", "StopsToAsk", "1",
                                               (medium + folder + "\\Install.ini").c_str());
            return failures == 0 ? 0 : 1;
        }
        step("scenario " + name + " on " + windows);
        if (s.usage) {
            runUsage();
            std::printf("%s\n", failures == 0 ? "PASSED" : "FAILED");
            return failures == 0 ? 0 : 1;
        }
        if (s.quiet || s.msiexec) {
            runQuiet(s);
            std::printf("%s\n", failures == 0 ? "PASSED" : "FAILED");
            return failures == 0 ? 0 : 1;
        }
        SetupProcess setup;
        // The benchmark has the wizard keep its install log, to time the installation untraced.
        const char* extra = std::getenv("SETUP_ARGUMENTS");
        if (!setup.start("\"" + medium + "\\setup.exe\"" + (extra ? std::string(" ") + extra : ""),
                         medium.c_str())) {
            fail("starting setup.exe (" + std::to_string(GetLastError()) + ")");
            return 1;
        }
        std::vector<std::string> boxes;
        if (s.keyboardOnly) {
            KeyboardWalk walk(setup, s);
            walk.run();
            boxes = walk.boxes();
        } else {
            Walk walk(setup, s);
            walk.run();
            boxes = walk.boxes();
        }
        long code = setup.wait(s.closingKey ? kPatience : 500);
        checkOutcome(s, boxes, code);
        setup.kill();
        std::printf("%s\n", failures == 0 ? "PASSED" : "FAILED");
        return failures == 0 ? 0 : 1;
    }
    std::printf("no scenario named %s\n", name.c_str());
    return 2;
}
