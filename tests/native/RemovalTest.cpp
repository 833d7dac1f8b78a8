// The unattended removal on the simulated machine: after quiet installations
// of two models that share the medium's monitors and print processor, each
// removal takes what it should, leaves what another printer uses, and ends
// with its exit code.
#include <functional>
#include <vector>

#include "app/Captions.h"
#include "app/QuietInstall.h"
#include "install/InstallLog.h"
#include "support/InstallFixture.h"
#include "support/QuietMedium.h"

using testing_support::InstallScenario;

namespace {

// Models M and another (M2) of the receipt category: their own drivers, the
// same files, monitors and print processor.
void twoModels(InstallScenario& s, const std::string& serialMonitor = "Serial Mon",
               const std::string& serialDll = "SER.DLL", const std::string& other = "M2") {
    std::string setup = InstallScenario::monitorSections();
    auto replace = [&setup](const std::string& from, const std::string& to) {
        for (size_t at = setup.find(from); at != std::string::npos; at = setup.find(from, at + to.size()))
            setup.replace(at, from.size(), to);
    };
    replace("DEVICENUMBER=1\r\n", "DEVICENUMBER=2\r\nDEVICENAME2=" + other + "-ReceiptPrinter\r\n");
    replace("=Serial Mon\r\n", "=" + serialMonitor + "\r\n");
    replace("=SER.DLL\r\n", "=" + serialDll + "\r\n");
    s.write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", setup);
    // Parallel and USB ports print raster graphics: the GDI flavour's files.
    const std::string gdi = "GDIDriverPath=DRV.DLL\r\nGDIDataFile=M.GPD\r\nGDIConfigFile=DRVUI.DLL\r\n"
                            "GDIHelpFile=DRV.HLP\r\nGDIProcessorDLLName=MPROC.DLL\r\nGDIPrintProcessor=MProc\r\n";
    const std::string first = InstallScenario::modelSections(gdi);
    std::string second = first;
    for (const char* from : {"[M.", "=M "})
        for (size_t at = second.find(from); at != std::string::npos; at = second.find(from, at + other.size()))
            second.replace(at + 1, 1, other);
    s.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", first + second);
}

struct RemovalCase {
    const char* what;
    std::vector<const char*> installs;  // quiet installations before the removal
    const char* line;
    int exitCode;
    const char* logged;                  // a line of the log
    std::vector<const char*> printersLeft;
    std::function<void(InstallScenario&)> arrange = nullptr;  // after the installations
    std::function<void(InstallScenario&)> leaves = nullptr;
    std::function<void(InstallScenario&)> medium = [](InstallScenario& s) { twoModels(s); };
};

bool hasMonitor(InstallScenario& s, const char* name) { return s.sim.spooler().monitor(name) != nullptr; }
bool hasDriver(InstallScenario& s, const char* name) {
    return s.sim.spooler().driver(name, "Windows NT x86") != nullptr;
}

// A printer the program did not name: added by hand, or renamed since.
void addTill(InstallScenario& s, const char* port, const char* driver) {
    PRINTER_INFO_2A till = {};
    till.pPrinterName = const_cast<char*>("Till");
    till.pPortName = const_cast<char*>(port);
    till.pDriverName = const_cast<char*>(driver);
    till.pPrintProcessor = const_cast<char*>("WinPrint");
    HANDLE added = s.sim.AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&till));
    ASSERT_NE(added, nullptr) << s.sim.GetLastError();
    s.sim.ClosePrinter(added);
}

// A removal that finds nothing of its model changes nothing.
void removedNothing(InstallScenario& s) {
    for (const char* call : {"DeletePrinter", "DeletePrinterDriverExA", "DeletePrinterDriverA", "DeleteMonitorA",
                             "DeletePrintProcessorA", "DeleteFileA", "RegDeleteValueA", "MoveFileExA"})
        EXPECT_TRUE(s.sim.calls(call).empty()) << call;
}

// Another product's driver that bears the name the medium gives one of the
// model's drivers, with files of its own.
void addForeignDriver(InstallScenario& s, const char* name) {
    for (const char* file : {"VENDOR.DLL", "VENDOR.GPD", "VENDORUI.DLL"})
        s.sim.files().writeFile(s.driverDirectory() + "\\" + file, std::string("another product's ") + file);
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>(name);
    driver.pDriverPath = const_cast<char*>("VENDOR.DLL");
    driver.pDataFile = const_cast<char*>("VENDOR.GPD");
    driver.pConfigFile = const_cast<char*>("VENDORUI.DLL");
    ASSERT_TRUE(s.sim.AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&driver))) << s.sim.GetLastError();
}

// The medium as another copy of it names a file: the serial monitor's
// interface DLL under another name.
void renameSerialInterface(InstallScenario& s, const std::string& name) {
    std::string setup = s.read("C:\\MEDIUM\\DRVCONFIG\\setup.ini");
    for (size_t at = setup.find("=SERUI.DLL"); at != std::string::npos; at = setup.find("=SERUI.DLL", at))
        setup.replace(at + 1, 9, name);
    s.write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", setup);
}

}  // namespace

TEST(RemovalTest, EachRemovalTakesItsModelAndWhatNothingElseUses) {
    const char* const lpt = "/quiet /model M /port LPT1:";
    const char* const com = "/quiet /model M /port HVCOM1:";
    const RemovalCase rows[] = {
        {"a parallel printer", {lpt}, "/uninstall /quiet /model M", 0, "printer M(P) on LPT1: removed", {},
         nullptr, [](InstallScenario& s) {
             EXPECT_FALSE(hasDriver(s, "M Parallel"));
             EXPECT_EQ(s.sim.spooler().processor("MProc", "Windows NT x86"), nullptr);
             EXPECT_FALSE(s.sim.files().isFile(s.processorDirectory() + "\\MPROC.DLL"));
             EXPECT_FALSE(s.sim.files().isFile(s.driverDirectory() + "\\3\\DRV.DLL"));
         }},
        {"a serial printer and its monitor", {com}, "/uninstall /quiet /model m", 0, "monitor Serial Mon removed", {},
         nullptr, [](InstallScenario& s) {
             EXPECT_FALSE(hasMonitor(s, "Serial Mon"));
             EXPECT_FALSE(s.sim.files().isFile(s.systemDirectory() + "\\SER.DLL"));
             EXPECT_FALSE(s.sim.files().isFile(s.systemDirectory() + "\\SERUI.DLL"));
         }},
        // The same command again keeps the model's printer: a second one
        // on another port is numbered.
        {"printers numbered where the name was taken", {lpt, "/quiet /model M /port LPT2:"}, "/uninstall /quiet /model M",
         0, "printer M(P)(1) on LPT2: removed", {}},
        {"only the port asked for", {lpt, com}, "/uninstall /quiet /model M /port HVCOM1:", 0,
         "printer M(S) on HVCOM1: removed", {"M(P)"}, nullptr, [](InstallScenario& s) {
             EXPECT_TRUE(hasDriver(s, "M Parallel"));
             EXPECT_FALSE(hasDriver(s, "M Serial"));
             EXPECT_FALSE(hasMonitor(s, "Serial Mon"));
             EXPECT_NE(s.sim.spooler().processor("MProc", "Windows NT x86"), nullptr) << "M(P) prints through it";
             // The file the remaining driver names stays with it.
             EXPECT_TRUE(s.sim.files().isFile(s.driverDirectory() + "\\3\\DRV.DLL"));
         }},
        {"another model's printer keeps the shared monitor", {com, "/quiet /model M2 /port HVCOM2:"},
         "/uninstall /quiet /model M", 0, "monitor Serial Mon kept: a printer still uses it", {"M2(S)"}, nullptr,
         [](InstallScenario& s) {
             EXPECT_TRUE(hasDriver(s, "M2 Serial"));
             EXPECT_TRUE(hasMonitor(s, "Serial Mon"));
             EXPECT_TRUE(s.sim.files().isFile(s.systemDirectory() + "\\SER.DLL"));
             EXPECT_TRUE(s.sim.files().isFile(s.driverDirectory() + "\\3\\DRV.DLL"));
         }},
        // A printer on a serial port of Windows' own does not print through the medium's monitor.
        {"another printer on Windows' own serial port", {com, "/quiet /model M2 /port LPT1:"},
         "/uninstall /quiet /model M", 0, "monitor Serial Mon removed", {"M2(P)", "Till"},
         [](InstallScenario& s) { addTill(s, "COM1:", "M2 Parallel"); }},
        {"a USB printer and its port record", {"/quiet /model M /port USB_M_1"}, "/uninstall /quiet /model M", 0,
         "port record USB_M_1 removed from SOFTWARE\\HALVERN\\PRINTERPORT\\", {}, nullptr, [](InstallScenario& s) {
             EXPECT_FALSE(hasMonitor(s, "Usb Mon"));
             EXPECT_FALSE(hasMonitor(s, "Stand-in Language Monitor"));
             EXPECT_FALSE(s.sim.files().isFile(s.systemDirectory() + "\\LMON.DLL"));
             for (const char* key : {"SOFTWARE\\HALVERN\\PORTNAME", "SOFTWARE\\HALVERN\\PRINTERPORT"})
                 EXPECT_EQ(s.sim.registry().getDword(HKEY_LOCAL_MACHINE, key, "USB_M_1"), 0xFFFFFFFFu) << key;
             // The slots every installation resets stay.
             EXPECT_EQ(s.sim.registry().getDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\HALVERN\\PRINTERPORT", "D1"), 0u);
         }},
        // Another printer still prints to the port: its records stay for it.
        {"a USB port another printer still prints to", {"/quiet /model M /port USB_M_1"},
         "/uninstall /quiet /model M", 0, "printer M(U) 1 on USB_M_1 removed", {"Till"},
         [](InstallScenario& s) { addTill(s, "USB_M_1", "M USB"); },
         [](InstallScenario& s) {
             EXPECT_TRUE(hasDriver(s, "M USB"));
             for (const char* key : {"SOFTWARE\\HALVERN\\PORTNAME", "SOFTWARE\\HALVERN\\PRINTERPORT"})
                 EXPECT_NE(s.sim.registry().getDword(HKEY_LOCAL_MACHINE, key, "USB_M_1"), 0xFFFFFFFFu) << key;
         }},
        // The spooler's port of this model is a shared name; the printer-port
        // record has the port as chosen.
        {"a USB printer on a shared port name", {"/quiet /model \"KPX-D7 Mini\" /port \"USB_KPX-D7 Mini_1\""},
         "/uninstall /quiet /model \"KPX-D7 Mini\" /port \"USB_KPX-D7 Mini_1\"", 0,
         "port record USB_KPX-D7 Mini_1 removed from SOFTWARE\\HALVERN\\PRINTERPORT\\", {}, nullptr,
         [](InstallScenario& s) {
             EXPECT_EQ(s.sim.registry().getDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\HALVERN\\PORTNAME", "USB_KPX-D7_1"),
                       0xFFFFFFFFu);
         },
         [](InstallScenario& s) {
             twoModels(s, "Serial Mon", "SER.DLL", "KPX-D7 Mini");
             s.sim.spooler().monitorDllPorts["USBPM.DLL"].push_back("USB_KPX-D7_1");
         }},
        {"a port where the model has no printer", {lpt}, "/uninstall /quiet /model M /port HVCOM1:", 1605,
         "ended: nothing of M is installed on HVCOM1:", {"M(P)"},
         [](InstallScenario& s) { s.sim.clearJournal(); }, removedNothing},
        {"nothing installed", {}, "/uninstall /quiet /model M", 1605, "ended: nothing of M is installed", {},
         nullptr, removedNothing},
        {"another model installed only", {"/quiet /model M2 /port LPT1:"}, "/uninstall /quiet /model M", 1605,
         "ended: nothing of M is installed", {"M2(P)"}, [](InstallScenario& s) { s.sim.clearJournal(); },
         removedNothing},
        {"no such model", {lpt}, "/uninstall /quiet /model Q", 1605, "ended: no model Q on this disc", {"M(P)"}},
        // The medium naming one of Windows' own monitors does not make it the medium's.
        {"Windows' own monitor", {lpt}, "/uninstall /quiet /model M", 0, "printer M(P) on LPT1: removed", {},
         nullptr, [](InstallScenario& s) { EXPECT_TRUE(hasMonitor(s, "Local Port")); },
         [](InstallScenario& s) { twoModels(s, "Local Port", "localspl.dll"); }},
        {"a file something holds goes at the next start", {com}, "/uninstall /quiet /model M", 3010,
         "is in use: removed when Windows starts again", {},
         [](InstallScenario& s) { s.sim.faults().fail("DeleteFileA", ERROR_SHARING_VIOLATION).when("\\SERUI.DLL"); },
         [](InstallScenario& s) {
             EXPECT_EQ(s.sim.machine().deletedAtRestart, std::vector<std::string>{s.systemDirectory() + "\\SERUI.DLL"});
         }},
        {"the printer cannot be removed", {lpt}, "/uninstall /quiet /model M", 1603,
         "ended: removal failed: printer M(P) on LPT1: could not be removed (system error 5)", {"M(P)"},
         [](InstallScenario& s) { s.sim.faults().fail("DeletePrinter", ERROR_ACCESS_DENIED); },
         [](InstallScenario& s) { EXPECT_TRUE(hasDriver(s, "M Parallel")); }},
        {"a spooler that cannot remove a driver's files", {lpt}, "/uninstall /quiet /model M", 0,
         "printer driver M Parallel removed; the spooler keeps its files", {},
         [](InstallScenario& s) { s.sim.faults().fail("DeletePrinterDriverExA", ERROR_INVALID_PARAMETER); },
         [](InstallScenario& s) {
             EXPECT_FALSE(hasDriver(s, "M Parallel"));
             EXPECT_TRUE(s.sim.files().isFile(s.driverDirectory() + "\\3\\DRV.DLL"));
         }},
        {"the driver cannot be removed", {lpt}, "/uninstall /quiet /model M", 1603,
         "ended: removal failed: printer driver M Parallel could not be removed (system error 5)", {},
         [](InstallScenario& s) { s.sim.faults().fail("DeletePrinterDriverExA", ERROR_ACCESS_DENIED).when("Parallel"); },
         [](InstallScenario& s) { EXPECT_NE(s.sim.spooler().processor("MProc", "Windows NT x86"), nullptr); }},
        {"the spooler does not run", {lpt}, "/uninstall /quiet /model M", 1603,
         "ended: removal failed: the printer drivers could not be listed (system error 1722)", {"M(P)"},
         [](InstallScenario& s) { s.sim.services().spooler().state = SERVICE_STOPPED; }},
        {"not an administrator", {lpt}, "/uninstall /quiet /model M", 1603, "ended: <IDS_ADMIN>", {"M(P)"},
         [](InstallScenario& s) { s.sim.machine().administrator = false; }},
        {"another copy runs", {lpt}, "/uninstall /quiet /model M", 1618, "ended: another copy", {"M(P)"},
         [](InstallScenario& s) { s.sim.holdMutexElsewhere("setup"); }},
        // Another product's driver of the same name is not the model's, nor a printer that prints through it.
        {"another product's driver of the model's name", {}, "/uninstall /quiet /model M", 1605,
         "printer driver M Parallel kept: its files are not the ones this medium installs", {},
         [](InstallScenario& s) {
             addForeignDriver(s, "M Parallel");
             s.sim.clearJournal();
         },
         [](InstallScenario& s) {
             removedNothing(s);
             EXPECT_TRUE(hasDriver(s, "M Parallel"));
             EXPECT_TRUE(s.sim.files().isFile(s.driverDirectory() + "\\3\\VENDOR.DLL"));
         }},
        {"a printer of the model's name on another product's driver", {}, "/uninstall /quiet /model M", 1605,
         "ended: nothing of M is installed", {"M(P)"},
         [](InstallScenario& s) {
             addForeignDriver(s, "M Parallel");
             PRINTER_INFO_2A printer = {};
             printer.pPrinterName = const_cast<char*>("M(P)");
             printer.pPortName = const_cast<char*>("LPT1:");
             printer.pDriverName = const_cast<char*>("M Parallel");
             printer.pPrintProcessor = const_cast<char*>("WinPrint");
             HANDLE added = s.sim.AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&printer));
             ASSERT_NE(added, nullptr) << s.sim.GetLastError();
             s.sim.ClosePrinter(added);
             s.sim.clearJournal();
         },
         [](InstallScenario& s) {
             removedNothing(s);
             EXPECT_TRUE(hasDriver(s, "M Parallel"));
         }},
        // What the printers that stay use cannot be known: every shared part stays.
        {"the printers that stay cannot be listed", {lpt, "/quiet /model M2 /port LPT1:"},
         "/uninstall /quiet /model M", 1603,
         "ended: removal failed: the printers that stay could not be listed (system error 1722): the drivers, "
         "port records, monitors and print processor are kept",
         {"M2(P)"},
         // The listing that finds the model's printers succeeds; the next fails once.
         [](InstallScenario& s) { s.sim.faults().fail("EnumPrintersA", RPC_S_SERVER_UNAVAILABLE).after(2).times(1); },
         [](InstallScenario& s) {
             EXPECT_TRUE(hasDriver(s, "M Parallel"));
             EXPECT_NE(s.sim.spooler().processor("MProc", "Windows NT x86"), nullptr) << "M2(P) prints through it";
             EXPECT_TRUE(s.sim.files().isFile(s.processorDirectory() + "\\MPROC.DLL"));
         }},
        {"a printer that stays cannot be opened", {lpt, "/quiet /model M2 /port LPT1:"}, "/uninstall /quiet /model M",
         1603, "ended: removal failed: printer M2(P), which stays, could not be read (system error 5)", {"M2(P)"},
         [](InstallScenario& s) { s.sim.faults().fail("OpenPrinterA", ERROR_ACCESS_DENIED).when("M2(P)"); },
         [](InstallScenario& s) {
             EXPECT_TRUE(hasDriver(s, "M Parallel"));
             EXPECT_NE(s.sim.spooler().processor("MProc", "Windows NT x86"), nullptr) << "M2(P) prints through it";
         }},
        {"the driver of a printer that stays cannot be read", {lpt, "/quiet /model M2 /port LPT1:"},
         "/uninstall /quiet /model M", 1603,
         "ended: removal failed: printer M2(P), which stays, could not be read (system error 8)", {"M2(P)"},
         [](InstallScenario& s) { s.sim.faults().fail("GetPrinterDriverA", ERROR_NOT_ENOUGH_MEMORY).when("M2(P)"); },
         [](InstallScenario& s) { EXPECT_TRUE(hasDriver(s, "M Parallel")); }},
        // The medium names the files the removal deletes: none outside their folder, none of Windows' own.
        {"a medium naming a file outside its folder", {com}, "/uninstall /quiet /model M", 1603,
         "ended: removal failed: the medium names the file ..\\victim.ini, "
         "which is no plain name of a file of the folder it is removed from (system error 123)",
         {"M(S)"},
         [](InstallScenario& s) {
             renameSerialInterface(s, "..\\victim.ini");
             s.write("C:\\WINDOWS\\victim.ini", "[another program's settings]\r\n");
             s.sim.clearJournal();
         },
         [](InstallScenario& s) {
             removedNothing(s);
             EXPECT_TRUE(s.sim.files().isFile("C:\\WINDOWS\\victim.ini"));
         }},
        // Windows drops the trailing dot: the name would be Windows' own Local Port UI.
        {"a medium naming a file with a trailing dot", {com}, "/uninstall /quiet /model M", 1603,
         "ended: removal failed: the medium names the file LOCALUI.DLL., "
         "which is no plain name of a file of the folder it is removed from (system error 123)",
         {"M(S)"},
         [](InstallScenario& s) {
             renameSerialInterface(s, "LOCALUI.DLL.");
             s.write(s.systemDirectory() + "\\localui.dll", "Windows' own");
             s.sim.clearJournal();
         },
         [](InstallScenario& s) {
             removedNothing(s);
             EXPECT_EQ(s.read(s.systemDirectory() + "\\localui.dll"), "Windows' own");
         }},
        {"a medium naming a file by a short-name alias", {com}, "/uninstall /quiet /model M", 1603,
         "ended: removal failed: the medium names the file SERIAL~1.DLL, ", {"M(S)"},
         [](InstallScenario& s) {
             renameSerialInterface(s, "SERIAL~1.DLL");
             s.sim.clearJournal();
         },
         removedNothing},
        {"a medium naming one of Windows' own files", {com}, "/uninstall /quiet /model M", 0,
         "file C:\\WINDOWS\\system32\\LOCALUI.DLL kept: it is one of Windows' own", {},
         [](InstallScenario& s) {
             renameSerialInterface(s, "LOCALUI.DLL");
             s.write(s.systemDirectory() + "\\LOCALUI.DLL", "Windows' own");
         },
         [](InstallScenario& s) {
             EXPECT_FALSE(hasMonitor(s, "Serial Mon"));
             EXPECT_FALSE(s.sim.files().isFile(s.systemDirectory() + "\\SER.DLL"));
             EXPECT_TRUE(s.sim.files().isFile(s.systemDirectory() + "\\LOCALUI.DLL"));
         }},
    };
    for (const RemovalCase& row : rows) {
        SCOPED_TRACE(row.what);
        InstallScenario scenario(3);
        scenario.write("C:\\MEDIUM\\DRVCONFIG\\Left.bmp", testing_support::onePixelBitmap());
        scenario.write("C:\\MEDIUM\\language\\setup.ini", testing_support::quietLanguageFile());
        app::reopenMessageTexts();
        if (row.medium) row.medium(scenario);
        for (const char* install : row.installs) {
            app::CommandLine line = app::parseCommandLine(install);
            line.logFile = "C:\\WINDOWS\\install.log";
            ASSERT_EQ(app::runQuietInstall(line), 0) << install << "\n" << scenario.read(line.logFile);
            scenario.sim.endProgram();
        }
        if (row.arrange) row.arrange(scenario);
        app::CommandLine line = app::parseCommandLine(row.line);
        line.logFile = "C:\\WINDOWS\\remove.log";
        EXPECT_EQ(app::runCommandLine(line), row.exitCode);
        EXPECT_TRUE(scenario.sim.desktop().messageBoxes().empty());
        const std::string log = scenario.read(line.logFile);
        EXPECT_NE(log.find(row.logged), std::string::npos) << log;
        EXPECT_NE(log.find("exit code " + std::to_string(row.exitCode) + "\r\n"), std::string::npos) << log;
        std::vector<std::string> left;
        for (const auto& printer : scenario.sim.spooler().printers) left.push_back(printer.name);
        EXPECT_EQ(left, std::vector<std::string>(row.printersLeft.begin(), row.printersLeft.end()));
        if (row.leaves) row.leaves(scenario);
        install::setInstallLog("");
    }
}

// On 64-bit Windows the medium's monitor lies in the native system
// directory, where the 64-bit spooler loaded it: the removal deletes it
// there, and a file still held is deleted at the next start under its real
// path, system32, not where the 32-bit program's own view would put it.
TEST(RemovalTest, OnSixtyFourBitWindowsTheMonitorsFilesGoFromTheNativeSystemDirectory) {
    testing_support::EngineMachine machine(os::sim::Machine::sixtyFourBit(os::sim::Machine::windows7()));
    auto& sim = machine.sim;
    const std::string system = sim.machine().systemDirectory;
    char* x64 = const_cast<char*>("Windows x64");
    machine.write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", InstallScenario::monitorSections());
    machine.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", InstallScenario::modelSections());
    machine.write("C:\\MEDIUM\\DRVCONFIG\\Left.bmp", testing_support::onePixelBitmap());
    machine.write("C:\\MEDIUM\\language\\setup.ini", testing_support::quietLanguageFile());
    app::reopenMessageTexts();
    // What an installation left: the monitor, the x64 driver and the printer.
    sim.spooler().monitorDllPorts["SER.DLL"] = {"HVCOM1:"};
    sim.files().writeFile(system + "\\SER.DLL",
                          os::sim::Spooler::dllExporting({"InitializePrintMonitor2"}, IMAGE_FILE_MACHINE_AMD64));
    sim.files().writeFile(system + "\\SERUI.DLL", std::string("ui"));
    MONITOR_INFO_2A monitor = {const_cast<char*>("Serial Mon"), x64, const_cast<char*>("SER.DLL")};
    ASSERT_TRUE(sim.AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&monitor))) << sim.GetLastError();
    for (const char* file : {"DRV.DLL", "M.GPD", "DRVUI.DLL", "DRV.HLP"})
        sim.files().writeFile(system + "\\spool\\DRIVERS\\x64\\" + file, std::string("driver"));
    // The files the medium installs under the name: the driver is the model's.
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>("M Serial");
    driver.pEnvironment = x64;
    driver.pDriverPath = const_cast<char*>("DRV.DLL");
    driver.pDataFile = const_cast<char*>("M.GPD");
    driver.pConfigFile = const_cast<char*>("DRVUI.DLL");
    driver.pHelpFile = const_cast<char*>("DRV.HLP");
    ASSERT_TRUE(sim.AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&driver))) << sim.GetLastError();
    PRINTER_INFO_2A printer = {};
    printer.pPrinterName = const_cast<char*>("M(S)");
    printer.pPortName = const_cast<char*>("HVCOM1:");
    printer.pDriverName = const_cast<char*>("M Serial");
    printer.pPrintProcessor = const_cast<char*>("WinPrint");
    HANDLE added = sim.AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&printer));
    ASSERT_NE(added, nullptr) << sim.GetLastError();
    sim.ClosePrinter(added);
    sim.faults().fail("DeleteFileA", ERROR_SHARING_VIOLATION).when("\\SERUI.DLL");

    app::CommandLine line = app::parseCommandLine("/uninstall /quiet /model M");
    line.logFile = "C:\\remove.log";
    EXPECT_EQ(app::runCommandLine(line), 3010) << machine.read("C:\\remove.log");
    EXPECT_EQ(sim.spooler().monitor("Serial Mon"), nullptr);
    EXPECT_FALSE(sim.files().isFile(system + "\\SER.DLL"));
    EXPECT_EQ(sim.machine().deletedAtRestart, std::vector<std::string>{system + "\\SERUI.DLL"});
    install::setInstallLog("");
}
