// The simulated print spooler where only the simulation can show what
// Windows does: Wine's spooler answers while its service is stopped, never
// reports an existing printer, accepts a missing print processor DLL,
// unknown ports and missing datatypes, and does not check handle rights.
// The rest of the spooler is pinned against Wine in SpoolerBehaviour.
#include <gtest/gtest.h>

#include <cstring>

#include "os/sim/SimOs.h"

using os::sim::Machine;
using os::sim::SimOs;
using os::sim::Spooler;

namespace {

const char* const kMonitors = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";
const char* const kProcessors =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors\\";

char* s(const char* text) { return const_cast<char*>(text); }

class SimSpooler : public ::testing::Test {
protected:
    explicit SimSpooler(const Machine& machine = Machine::windowsXp()) : sim(machine) {}

    SimOs sim;

    std::string system() { return sim.machine().systemDirectory; }
    std::string drivers() { return system() + "\\spool\\DRIVERS\\W32X86"; }
    std::string processors() { return system() + "\\spool\\PRTPROCS\\W32X86"; }

    void writeMonitorDll(const std::string& path) {
        sim.files().writeFile(path, Spooler::dllExporting({"InitializePrintMonitor2"}));
    }
    bool addMonitor(const char* name, const char* dll) {
        MONITOR_INFO_2A info = {s(name), nullptr, s(dll)};
        return sim.AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    }
    // The driver's files laid in the driver directory, then registered.
    bool addDriver(const char* name, DWORD version = 3) {
        for (const char* file : {"TDRV.DLL", "TDRV.GPD", "TUI.DLL"})
            sim.files().writeFile(drivers() + "\\" + file, "driver file");
        DRIVER_INFO_3A info = {};
        info.cVersion = version;
        info.pName = s(name);
        info.pDriverPath = s("TDRV.DLL");
        info.pDataFile = s("TDRV.GPD");
        info.pConfigFile = s("TUI.DLL");
        return sim.AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&info));
    }
    PRINTER_INFO_2A printerRecord(const char* name, const char* driver = "Test Driver") {
        PRINTER_INFO_2A info = {};
        info.pPrinterName = s(name);
        info.pPortName = s("LPT1:");
        info.pDriverName = s(driver);
        info.pPrintProcessor = s("WinPrint");
        return info;
    }
    // The last error of a failed AddPrinterA.
    DWORD addPrinterFails(PRINTER_INFO_2A info) {
        sim.SetLastError(0xdeadbeef);
        HANDLE printer = sim.AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
        if (printer != nullptr) {
            sim.ClosePrinter(printer);
            return 0;
        }
        return sim.GetLastError();
    }
    void addPrinter(const char* name) {
        PRINTER_INFO_2A info = printerRecord(name);
        HANDLE printer = sim.AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
        ASSERT_NE(printer, nullptr) << sim.GetLastError();
        sim.ClosePrinter(printer);
    }
    void controlSpooler(bool start) {
        SC_HANDLE manager = sim.OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        SC_HANDLE service = sim.OpenServiceA(manager, "Spooler", SERVICE_START | SERVICE_STOP);
        SERVICE_STATUS status;
        if (start)
            EXPECT_TRUE(sim.StartServiceA(service, 0, nullptr)) << sim.GetLastError();
        else
            EXPECT_TRUE(sim.ControlService(service, SERVICE_CONTROL_STOP, &status))
                << sim.GetLastError();
        sim.CloseServiceHandle(service);
        sim.CloseServiceHandle(manager);
    }
    // CopyFileA onto a file: 0 or the error.
    DWORD copyOnto(const std::string& target) {
        sim.files().writeFile("C:\\new.dll", "new");
        sim.SetLastError(0xdeadbeef);
        return sim.CopyFileA("C:\\new.dll", target.c_str(), FALSE) ? 0 : sim.GetLastError();
    }
    std::vector<std::string> ports() {
        DWORD needed = 0, returned = 0;
        sim.EnumPortsA(nullptr, 1, nullptr, 0, &needed, &returned);
        std::vector<BYTE> buffer(needed);
        EXPECT_TRUE(sim.EnumPortsA(nullptr, 1, buffer.data(), needed, &needed, &returned));
        std::vector<std::string> names;
        for (DWORD i = 0; i < returned; ++i)
            names.push_back(reinterpret_cast<PORT_INFO_1A*>(buffer.data())[i].pName);
        return names;
    }
    // The default printer entry as programs read it.
    std::string winIniDevice() {
        char device[256] = {};
        sim.GetProfileStringA("windows", "device", "", device, sizeof device);
        return device;
    }
};

class SimSpooler98 : public SimSpooler {
protected:
    SimSpooler98() : SimSpooler(Machine::windows98()) {}

    // A 9x driver whose files lie in the system directory, as 9x keeps them.
    DRIVER_INFO_3A testDriver() {
        for (const char* file : {"TDRV.DRV", "TDRV.GPD", "TUI.DLL"})
            sim.files().writeFile(system() + "\\" + file, "driver file");
        DRIVER_INFO_3A info = {};
        info.pName = s("Test Driver");
        info.pDriverPath = s("TDRV.DRV");
        info.pDataFile = s("TDRV.GPD");
        info.pConfigFile = s("TUI.DLL");
        return info;
    }
};

// --- The Spooler service ---------------------------------------------------------

// Wine's spooler lives in the calling process and answers while its
// service is stopped; Windows' winspool.drv cannot reach the service.
TEST_F(SimSpooler, CallsFailWhileTheServiceIsNotRunning) {
    controlSpooler(false);
    DWORD needed = 0, returned = 0;
    BYTE buffer[512];
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.EnumPortsA(nullptr, 1, buffer, sizeof buffer, &needed, &returned));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(RPC_S_SERVER_UNAVAILABLE));
    sim.Sleep(1000);
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.GetPrinterDriverDirectoryA(nullptr, nullptr, 1, buffer, sizeof buffer, &needed));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(RPC_S_SERVER_UNAVAILABLE));
    EXPECT_EQ(addPrinterFails(printerRecord("P")), static_cast<DWORD>(RPC_S_SERVER_UNAVAILABLE));

    controlSpooler(true);
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.EnumPortsA(nullptr, 1, buffer, sizeof buffer, &needed, &returned));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(RPC_S_SERVER_UNAVAILABLE)) << "start pending";
    sim.Sleep(sim.services().spooler().startDelay);
    EXPECT_TRUE(sim.EnumPortsA(nullptr, 1, buffer, sizeof buffer, &needed, &returned));
}

TEST_F(SimSpooler98, TheSpoolerOf9xAlwaysAnswers) {
    EXPECT_EQ(sim.services().find("Spooler"), nullptr);
    EXPECT_EQ(ports().front(), "LPT1:");
}

TEST_F(SimSpooler, LoadedDllsAreHeldUntilTheServiceHasStopped) {
    // The system's own monitor is loaded from the start.
    EXPECT_EQ(copyOnto(system() + "\\localspl.dll"), static_cast<DWORD>(ERROR_SHARING_VIOLATION));

    writeMonitorDll(system() + "\\TMON.DLL");
    sim.files().writeFile(processors() + "\\TPROC.DLL", "processor");
    ASSERT_TRUE(addMonitor("Test Monitor", "TMON.DLL"));
    ASSERT_TRUE(sim.AddPrintProcessorA(nullptr, nullptr, s("TPROC.DLL"), s("Test Processor")));
    EXPECT_EQ(copyOnto(system() + "\\TMON.DLL"), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(copyOnto(processors() + "\\TPROC.DLL"), static_cast<DWORD>(ERROR_SHARING_VIOLATION));

    controlSpooler(false);
    sim.Sleep(sim.services().spooler().stopDelay - 1);
    EXPECT_EQ(copyOnto(system() + "\\TMON.DLL"), static_cast<DWORD>(ERROR_SHARING_VIOLATION))
        << "still stopping";
    sim.Sleep(1);
    EXPECT_EQ(copyOnto(system() + "\\TMON.DLL"), 0u);
    EXPECT_EQ(copyOnto(processors() + "\\TPROC.DLL"), 0u);
    EXPECT_EQ(copyOnto(system() + "\\localspl.dll"), 0u);
}

TEST_F(SimSpooler, AStartingSpoolerLoadsWhatTheRegistryNamesThen) {
    sim.spooler().monitorDllPorts["TMON.DLL"] = {"TMON1:"};
    writeMonitorDll(system() + "\\TMON.DLL");
    ASSERT_TRUE(addMonitor("Test Monitor", "TMON.DLL"));
    controlSpooler(false);
    sim.Sleep(1000);
    // While stopped the monitor is replaced under another name, as an
    // installer does when the old file was in use.
    writeMonitorDll(system() + "\\nTMON.DLL");
    sim.registry().setString(HKEY_LOCAL_MACHINE, std::string(kMonitors) + "Test Monitor", "Driver",
                             "nTMON.DLL");
    sim.registry().setString(HKEY_LOCAL_MACHINE, std::string(kMonitors) + "Other Monitor",
                             "Driver", "TMON.DLL");
    controlSpooler(true);
    EXPECT_EQ(copyOnto(system() + "\\nTMON.DLL"), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(copyOnto(system() + "\\TMON.DLL"), static_cast<DWORD>(ERROR_SHARING_VIOLATION))
        << "loaded now for the monitor added by its key";
    sim.Sleep(1000);
    std::vector<std::string> listed = ports();
    EXPECT_EQ(std::count(listed.begin(), listed.end(), "TMON1:"), 2) << "both monitors offer it";
    EXPECT_EQ(sim.spooler().monitor("Test Monitor")->dll, "nTMON.DLL");
}

// A machine set up with components installed before: their keys are all
// the spooler needs, as when it read them at its start.
TEST_F(SimSpooler, RegisteredComponentsCountAsInstalled) {
    sim.spooler().monitorDllPorts["REG.DLL"] = {"REG1:"};
    writeMonitorDll(system() + "\\REG.DLL");
    sim.registry().setString(HKEY_LOCAL_MACHINE, std::string(kMonitors) + "Reg Monitor", "Driver",
                             "REG.DLL");
    sim.files().writeFile(processors() + "\\REGPROC.DLL", "processor");
    sim.registry().setString(HKEY_LOCAL_MACHINE, std::string(kProcessors) + "RegProc", "Driver",
                             "REGPROC.DLL");
    EXPECT_EQ(ports().back(), "REG1:");
    EXPECT_EQ(copyOnto(system() + "\\REG.DLL"), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(copyOnto(processors() + "\\REGPROC.DLL"), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(addMonitor("Reg Monitor", "REG.DLL"));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_PRINT_MONITOR_ALREADY_INSTALLED));
    ASSERT_TRUE(addDriver("Test Driver"));
    PRINTER_INFO_2A info = printerRecord("Registered");
    info.pPortName = s("REG1:");
    info.pPrintProcessor = s("RegProc");
    EXPECT_EQ(addPrinterFails(info), 0u);
    EXPECT_EQ(sim.spooler().printer("Registered")->datatype, "RAW");

    // A running spooler keeps the DLL it loaded; it takes a new name at its next start.
    sim.registry().setString(HKEY_LOCAL_MACHINE, std::string(kMonitors) + "Reg Monitor", "Driver",
                             "nREG.DLL");
    ports();
    EXPECT_EQ(sim.spooler().monitor("Reg Monitor")->dll, "REG.DLL");
}

TEST_F(SimSpooler98, TheRegistryIsReadAtEachCall) {
    sim.spooler().monitorDllPorts["REG.DLL"] = {"REG1:"};
    sim.spooler().monitorDllPorts["nREG.DLL"] = {"NREG1:"};
    sim.registry().setString(HKEY_LOCAL_MACHINE, std::string(kMonitors) + "Reg Monitor", "Driver",
                             "REG.DLL");
    EXPECT_EQ(ports().back(), "REG1:");
    sim.registry().setString(HKEY_LOCAL_MACHINE, std::string(kMonitors) + "Reg Monitor", "Driver",
                             "nREG.DLL");
    EXPECT_EQ(ports().back(), "NREG1:");
}

// --- Monitors -----------------------------------------------------------------------

TEST_F(SimSpooler, AddingAMonitorRegistersItAndItsPorts) {
    sim.spooler().monitorDllPorts["TMON.DLL"] = {"TMON1:", "TMON2:"};
    writeMonitorDll(system() + "\\TMON.DLL");
    ASSERT_TRUE(addMonitor("Test Monitor", "TMON.DLL"));
    EXPECT_EQ(sim.registry().getString(HKEY_LOCAL_MACHINE, std::string(kMonitors) + "Test Monitor",
                                       "Driver"),
              "TMON.DLL");
    std::vector<std::string> listed = ports();
    ASSERT_GE(listed.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(listed.end() - 2, listed.end()),
              (std::vector<std::string>{"TMON1:", "TMON2:"}));

    // A printer on one of its ports keeps the monitor from being deleted.
    ASSERT_TRUE(addDriver("Test Driver"));
    PRINTER_INFO_2A info = printerRecord("On TMON");
    info.pPortName = s("TMON2:");
    ASSERT_EQ(addPrinterFails(info), 0u);
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.DeleteMonitorA(nullptr, nullptr, s("Test Monitor")));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_PRINT_MONITOR_IN_USE));
    sim.spooler().removePrinter("On TMON");

    EXPECT_TRUE(sim.DeleteMonitorA(nullptr, nullptr, s("Test Monitor")));
    EXPECT_FALSE(sim.registry().exists(HKEY_LOCAL_MACHINE, std::string(kMonitors) + "Test Monitor"));
    EXPECT_EQ(copyOnto(system() + "\\TMON.DLL"), 0u) << "unloaded";
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.DeleteMonitorA(nullptr, nullptr, s("Test Monitor")));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINT_MONITOR));
}

TEST_F(SimSpooler, AMonitorDllMustBeLoadable) {
    auto fails = [&](const char* name, const char* dll) {
        sim.SetLastError(0xdeadbeef);
        EXPECT_FALSE(addMonitor(name, dll));
        return sim.GetLastError();
    };
    EXPECT_EQ(fails("M", "MISSING.DLL"), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    sim.files().writeFile(system() + "\\TEXT.DLL", "not a program");
    EXPECT_EQ(fails("M", "TEXT.DLL"), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
    sim.files().writeFile(system() + "\\OTHER.DLL", Spooler::dllExporting({"SomethingElse"}));
    EXPECT_EQ(fails("M", "OTHER.DLL"), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    // The DLL is looked for in the system directory only.
    writeMonitorDll(sim.machine().currentDirectory + "\\HERE.DLL");
    EXPECT_EQ(fails("M", "HERE.DLL"), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    sim.files().writeFile(system() + "\\OLD.DLL", Spooler::dllExporting({"InitializePrintMonitor"}));
    EXPECT_TRUE(addMonitor("Old Style", "OLD.DLL"));
    EXPECT_EQ(fails("old style", "OLD.DLL"), static_cast<DWORD>(ERROR_PRINT_MONITOR_ALREADY_INSTALLED));
    EXPECT_EQ(fails("", "OLD.DLL"), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(fails("M", ""), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    MONITOR_INFO_2A foreign = {s("M"), s("Windows 4.0"), s("OLD.DLL")};
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&foreign)));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_ENVIRONMENT));
    MONITOR_INFO_2A own = {s("M"), s("windows nt x86"), s("OLD.DLL")};
    EXPECT_TRUE(sim.AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&own)));
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.AddMonitorA(nullptr, 1, reinterpret_cast<LPBYTE>(&own)));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
}

TEST_F(SimSpooler98, MonitorFailuresOf9x) {
    sim.files().writeFile(system() + "\\TMON.DLL", Spooler::dllExporting({"InitializeMonitorEx"}));
    ASSERT_TRUE(addMonitor("Test Monitor", "TMON.DLL")) << sim.GetLastError();
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(addMonitor("Test Monitor", "TMON.DLL"));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(addMonitor("Other", "MISSING.DLL"));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // 9x's spooler holds no monitor open between jobs.
    EXPECT_EQ(copyOnto(system() + "\\TMON.DLL"), 0u);
}

TEST_F(SimSpooler, EnumMonitorsListsNameEnvironmentAndDll) {
    DWORD needed = 0, returned = 0;
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.EnumMonitorsA(nullptr, 2, nullptr, 0, &needed, &returned));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    // The ANSI call asks for room for the Unicode strings.
    EXPECT_EQ(needed, sizeof(MONITOR_INFO_2A) + 2 * (11 + 15 + 13));
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(sim.EnumMonitorsA(nullptr, 2, buffer.data(), needed, &needed, &returned));
    ASSERT_EQ(returned, 1u);
    auto* info = reinterpret_cast<MONITOR_INFO_2A*>(buffer.data());
    EXPECT_STREQ(info->pName, "Local Port");
    EXPECT_STREQ(info->pEnvironment, "Windows NT x86");
    EXPECT_STREQ(info->pDLLName, "localspl.dll");
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.EnumMonitorsA(nullptr, 3, buffer.data(), needed, &needed, &returned));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
}

// --- Print processors ---------------------------------------------------------------

// Wine registers a print processor whose DLL is missing; Windows loads it.
TEST_F(SimSpooler, APrintProcessorDllMustLieInTheProcessorDirectory) {
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.AddPrintProcessorA(nullptr, nullptr, s("TPROC.DLL"), s("Test Processor")));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    sim.files().writeFile(system() + "\\TPROC.DLL", "processor");
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.AddPrintProcessorA(nullptr, nullptr, s("TPROC.DLL"), s("Test Processor")));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND)) << "system directory";

    sim.files().writeFile(processors() + "\\TPROC.DLL", "processor");
    ASSERT_TRUE(sim.AddPrintProcessorA(nullptr, nullptr, s("TPROC.DLL"), s("Test Processor")));
    EXPECT_EQ(sim.registry().getString(HKEY_LOCAL_MACHINE,
                                       std::string(kProcessors) + "Test Processor", "Driver"),
              "TPROC.DLL");
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.AddPrintProcessorA(nullptr, s("Windows NT x86"), s("TPROC.DLL"),
                                        s("test processor")));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED));
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.AddPrintProcessorA(nullptr, s("Windows IA64"), s("TPROC.DLL"), s("X")));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_ENVIRONMENT));

    // A processor for Windows 4.0 clients lies in their directory and is
    // not loaded by this spooler.
    sim.files().writeFile(system() + "\\spool\\PRTPROCS\\WIN40\\TPROC.DLL", "processor");
    ASSERT_TRUE(sim.AddPrintProcessorA(nullptr, s("Windows 4.0"), s("TPROC.DLL"), s("Test Processor")));
    EXPECT_EQ(copyOnto(system() + "\\spool\\PRTPROCS\\WIN40\\TPROC.DLL"), 0u);
}

// --- Printer drivers ------------------------------------------------------------------

TEST_F(SimSpooler, DriverFilesMoveIntoTheVersionDirectory) {
    sim.files().writeFile(drivers() + "\\3\\THELP.HLP", "help already in place");
    sim.files().writeFile("C:\\MEDIUM\\TDEP.DLL", "dependent file named by path");
    for (const char* file : {"TDRV.DLL", "TDRV.GPD", "TUI.DLL", "TRES.DLL"})
        sim.files().writeFile(drivers() + "\\" + file, "driver file");
    DRIVER_INFO_3A info = {};
    info.cVersion = 3;
    info.pName = s("Test Driver");
    info.pDriverPath = s("TDRV.DLL");
    info.pDataFile = s("TDRV.GPD");
    info.pConfigFile = s("TUI.DLL");
    info.pHelpFile = s("THELP.HLP");
    info.pDependentFiles = s("TRES.DLL\0C:\\MEDIUM\\TDEP.DLL\0");
    info.pDefaultDataType = s("RAW");
    ASSERT_TRUE(sim.AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&info)))
        << sim.GetLastError();
    for (const char* file : {"TDRV.DLL", "TDRV.GPD", "TUI.DLL", "TRES.DLL", "THELP.HLP", "TDEP.DLL"}) {
        EXPECT_TRUE(sim.files().isFile(drivers() + "\\3\\" + file)) << file;
        EXPECT_FALSE(sim.files().isFile(drivers() + "\\" + file)) << file;
    }
    EXPECT_TRUE(sim.files().isFile("C:\\MEDIUM\\TDEP.DLL")) << "a file elsewhere is copied";
    const Spooler::Driver* driver = sim.spooler().driver("test driver", "Windows NT x86");
    ASSERT_NE(driver, nullptr);
    EXPECT_EQ(driver->dependentFiles, (std::vector<std::string>{"TRES.DLL", "C:\\MEDIUM\\TDEP.DLL"}));

    // Only what is newer than the version directory's file is moved there
    // (APD_COPY_NEW_FILES): an older copy in the driver directory leaves it.
    sim.files().writeFile(drivers() + "\\TUI.DLL", "older interface");
    sim.files().setWritten(drivers() + "\\TUI.DLL", sim.files().writtenOf(drivers() + "\\3\\TUI.DLL") - 1);
    sim.files().writeFile(drivers() + "\\TDRV.DLL", "newer driver");
    ASSERT_TRUE(sim.AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&info))) << sim.GetLastError();
    std::string content;
    sim.files().readFile(drivers() + "\\3\\TUI.DLL", &content);
    EXPECT_EQ(content, "driver file");
    sim.files().readFile(drivers() + "\\3\\TDRV.DLL", &content);
    EXPECT_EQ(content, "newer driver");

    // AddPrinterDriverEx with APD_COPY_ALL_FILES ignores the time stamps;
    // the copy rules the simulation does not model are refused.
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.AddPrinterDriverExA(nullptr, 3, reinterpret_cast<LPBYTE>(&info), APD_STRICT_UPGRADE));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    sim.files().writeFile(drivers() + "\\TUI.DLL", "older interface");
    sim.files().setWritten(drivers() + "\\TUI.DLL", sim.files().writtenOf(drivers() + "\\3\\TUI.DLL") - 1);
    ASSERT_TRUE(sim.AddPrinterDriverExA(nullptr, 3, reinterpret_cast<LPBYTE>(&info), APD_COPY_ALL_FILES))
        << sim.GetLastError();
    sim.files().readFile(drivers() + "\\3\\TUI.DLL", &content);
    EXPECT_EQ(content, "older interface");

    // Registering it again finds the files in the version directory and
    // replaces the driver.
    info.pHelpFile = nullptr;
    info.pDependentFiles = nullptr;
    ASSERT_TRUE(sim.AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&info)));
    ASSERT_EQ(sim.spooler().drivers.size(), 1u);
    EXPECT_TRUE(sim.spooler().drivers[0].helpFile.empty());

    info.pName = s("Another Driver");
    info.pHelpFile = s("MISSING.HLP");
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&info)));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(sim.spooler().driver("Another Driver", "Windows NT x86"), nullptr);
}

TEST_F(SimSpooler, DriverRecordsAreChecked) {
    for (const char* file : {"TDRV.DLL", "TDRV.GPD", "TUI.DLL"})
        sim.files().writeFile(drivers() + "\\" + file, "driver file");
    DRIVER_INFO_3A info = {};
    info.cVersion = 3;
    info.pName = s("Test Driver");
    info.pDriverPath = s("TDRV.DLL");
    info.pDataFile = s("TDRV.GPD");
    info.pConfigFile = s("TUI.DLL");
    auto fails = [&](DWORD level, DRIVER_INFO_3A record) {
        sim.SetLastError(0xdeadbeef);
        EXPECT_FALSE(sim.AddPrinterDriverA(nullptr, level, reinterpret_cast<LPBYTE>(&record)));
        return sim.GetLastError();
    };
    EXPECT_EQ(fails(1, info), static_cast<DWORD>(ERROR_INVALID_LEVEL));
    DRIVER_INFO_3A bad = info;
    bad.pName = nullptr;
    EXPECT_EQ(fails(3, bad), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    bad = info;
    bad.pDriverPath = s("");
    EXPECT_EQ(fails(3, bad), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    bad = info;
    bad.cVersion = 0;  // a Windows 4.0 driver in the NT environment
    EXPECT_EQ(fails(3, bad), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    bad = info;
    bad.pEnvironment = s("Windows NT Alpha");
    EXPECT_EQ(fails(3, bad), static_cast<DWORD>(ERROR_INVALID_ENVIRONMENT));
    bad = info;
    bad.pMonitorName = s("No Such Monitor");
    EXPECT_EQ(fails(3, bad), static_cast<DWORD>(ERROR_UNKNOWN_PRINT_MONITOR));
    sim.machine().administrator = false;
    EXPECT_EQ(fails(3, info), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    sim.machine().administrator = true;
    // Level 2 is the first half of the same record; version 2 is a kernel-mode
    // driver. One file may serve as driver and configuration DLL.
    info.cVersion = 2;
    info.pConfigFile = s("TDRV.DLL");
    EXPECT_TRUE(sim.AddPrinterDriverA(nullptr, 2, reinterpret_cast<LPBYTE>(&info)));
    EXPECT_TRUE(sim.files().isFile(drivers() + "\\2\\TDRV.DLL"));
}

TEST_F(SimSpooler, ADriverInUseStays) {
    ASSERT_TRUE(addDriver("Test Driver"));
    addPrinter("Test Printer");
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.DeletePrinterDriverA(nullptr, nullptr, s("Test Driver")));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_PRINTER_DRIVER_IN_USE));
    sim.spooler().removePrinter("Test Printer");
    EXPECT_TRUE(sim.DeletePrinterDriverA(nullptr, nullptr, s("Test Driver")));
    EXPECT_TRUE(sim.files().isFile(drivers() + "\\3\\TDRV.DLL")) << "files stay";
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.DeletePrinterDriverA(nullptr, nullptr, s("Test Driver")));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER));
}

TEST_F(SimSpooler98, DriverFilesStayInTheSystemDirectory) {
    DRIVER_INFO_3A info = testDriver();
    ASSERT_TRUE(sim.AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&info)))
        << sim.GetLastError();
    EXPECT_TRUE(sim.files().isFile(system() + "\\TDRV.DRV"));
    EXPECT_NE(sim.spooler().driver("Test Driver", "Windows 4.0"), nullptr);
}

// --- Directories --------------------------------------------------------------------

TEST_F(SimSpooler, DirectoriesFollowTheEnvironment) {
    auto directory = [&](bool driver, const char* environment) {
        char buffer[MAX_PATH * 2] = {};
        DWORD needed = 0;
        bool ok = driver ? sim.GetPrinterDriverDirectoryA(nullptr, s(environment), 1,
                                                          reinterpret_cast<LPBYTE>(buffer),
                                                          sizeof buffer, &needed)
                         : sim.GetPrintProcessorDirectoryA(nullptr, s(environment), 1,
                                                           reinterpret_cast<LPBYTE>(buffer),
                                                           sizeof buffer, &needed);
        return ok ? std::string(buffer) : "error " + std::to_string(sim.GetLastError());
    };
    EXPECT_EQ(directory(true, nullptr), drivers());
    EXPECT_EQ(directory(true, ""), drivers());
    EXPECT_EQ(directory(true, "windows nt x86"), drivers());
    EXPECT_EQ(directory(true, "Windows 4.0"), system() + "\\spool\\DRIVERS\\WIN40");
    EXPECT_TRUE(sim.files().isDirectory(system() + "\\spool\\DRIVERS\\WIN40"));
    EXPECT_EQ(directory(false, nullptr), processors());
    EXPECT_EQ(directory(false, "Windows 4.0"), system() + "\\spool\\PRTPROCS\\WIN40");
    EXPECT_EQ(directory(true, "Windows x64"), "error 1805");
    EXPECT_EQ(directory(false, "invalid_env"), "error 1805");

    DWORD needed = 0;
    BYTE buffer[8];
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.GetPrinterDriverDirectoryA(nullptr, nullptr, 2, buffer, 0, &needed));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
}

TEST_F(SimSpooler98, DirectoriesOf9xAreTheSystemDirectory) {
    char buffer[MAX_PATH] = {};
    DWORD needed = 0;
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.GetPrinterDriverDirectoryA(nullptr, nullptr, 1, nullptr, 0, &needed));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    // 9x asks for the ANSI length only, and ignores the level.
    EXPECT_EQ(needed, system().size() + 1);
    ASSERT_TRUE(sim.GetPrintProcessorDirectoryA(nullptr, nullptr, 7, reinterpret_cast<LPBYTE>(buffer),
                                                needed, &needed));
    EXPECT_EQ(std::string(buffer), system());
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.GetPrinterDriverDirectoryA(nullptr, s("Windows NT x86"), 1,
                                                reinterpret_cast<LPBYTE>(buffer), sizeof buffer,
                                                &needed));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_ENVIRONMENT));
}

// --- Printers -----------------------------------------------------------------------

// Wine's AddPrinterA overwrites an existing printer, accepts unknown ports
// and fails with 87 through the A call; Windows reports each check.
TEST_F(SimSpooler, AddPrinterChecksTheRecordAsWindowsDoes) {
    ASSERT_TRUE(addDriver("Test Driver"));
    addPrinter("Test Printer");
    EXPECT_EQ(addPrinterFails(printerRecord("TEST PRINTER")),
              static_cast<DWORD>(ERROR_PRINTER_ALREADY_EXISTS));
    for (const char* name : {"", "a,b", "a\\b"})
        EXPECT_EQ(addPrinterFails(printerRecord(name)),
                  static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME))
            << name;
    std::string longest(220, 'x');
    EXPECT_EQ(addPrinterFails(printerRecord(longest.c_str())), 0u);
    std::string tooLong(221, 'y');
    EXPECT_EQ(addPrinterFails(printerRecord(tooLong.c_str())),
              static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));

    PRINTER_INFO_2A info = printerRecord("P", "No Such Driver");
    EXPECT_EQ(addPrinterFails(info), static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER));
    info = printerRecord("P");
    info.pPortName = s("NOWHERE:");
    EXPECT_EQ(addPrinterFails(info), static_cast<DWORD>(ERROR_UNKNOWN_PORT));
    info.pPortName = s("LPT1:,NOWHERE:");
    EXPECT_EQ(addPrinterFails(info), static_cast<DWORD>(ERROR_UNKNOWN_PORT));
    info = printerRecord("P");
    info.pPrintProcessor = s("NoSuchProcessor");
    EXPECT_EQ(addPrinterFails(info), static_cast<DWORD>(ERROR_UNKNOWN_PRINTPROCESSOR));
    info.pPrintProcessor = nullptr;  // crashes Wine
    EXPECT_EQ(addPrinterFails(info), static_cast<DWORD>(ERROR_UNKNOWN_PRINTPROCESSOR));
    info = printerRecord("P");
    info.pDatatype = s("NOT A DATATYPE");
    EXPECT_EQ(addPrinterFails(info), static_cast<DWORD>(ERROR_INVALID_DATATYPE));
    EXPECT_EQ(sim.spooler().printers.size(), 2u);

    // Without a datatype the printer takes WinPrint's default (Wine fails with 87).
    info = printerRecord("Pooled");
    info.pPortName = s("LPT1:,LPT2:");
    info.pPrintProcessor = s("winprint");
    EXPECT_EQ(addPrinterFails(info), 0u);
    EXPECT_EQ(sim.spooler().printer("Pooled")->datatype, "RAW");
}

TEST_F(SimSpooler, GetPrinterPacksTheRecordIntoTheCallersBuffer) {
    ASSERT_TRUE(addDriver("Test Driver"));
    PRINTER_INFO_2A info = printerRecord("Test Printer");
    info.pComment = s("front desk");
    info.pDatatype = s("raw");
    info.Attributes = PRINTER_ATTRIBUTE_QUEUED;
    info.Priority = 5;
    HANDLE printer = sim.AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    ASSERT_NE(printer, nullptr);

    DWORD needed = 0;
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.GetPrinterA(printer, 2, nullptr, 0, &needed));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    // Room for the Unicode form of each string that is present.
    DWORD strings = 0;
    for (const char* text : {"Test Printer", "LPT1:", "Test Driver", "WinPrint", "RAW", "front desk"})
        strings += 2 * static_cast<DWORD>(std::strlen(text) + 1);
    EXPECT_EQ(needed, sizeof(PRINTER_INFO_2A) + strings);

    std::vector<BYTE> buffer(needed);
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.GetPrinterA(printer, 2, buffer.data(), needed - 1, &needed));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    ASSERT_TRUE(sim.GetPrinterA(printer, 2, buffer.data(), needed, &needed));
    auto* out = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
    for (char* text : {out->pPrinterName, out->pPortName, out->pDriverName, out->pPrintProcessor,
                       out->pDatatype, out->pComment}) {
        ASSERT_NE(text, nullptr);
        EXPECT_GE(reinterpret_cast<BYTE*>(text), buffer.data() + sizeof(PRINTER_INFO_2A));
        EXPECT_LT(reinterpret_cast<BYTE*>(text) + std::strlen(text), buffer.data() + needed);
    }
    EXPECT_STREQ(out->pPrinterName, "Test Printer");
    EXPECT_STREQ(out->pDatatype, "RAW");
    EXPECT_STREQ(out->pComment, "front desk");
    EXPECT_EQ(out->pLocation, nullptr);
    EXPECT_EQ(out->pServerName, nullptr);
    EXPECT_EQ(out->Attributes, static_cast<DWORD>(PRINTER_ATTRIBUTE_QUEUED | PRINTER_ATTRIBUTE_LOCAL));
    EXPECT_EQ(out->Priority, 5u);
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.GetPrinterA(printer, 1, buffer.data(), needed, &needed));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL)) << "not simulated";
    EXPECT_TRUE(sim.ClosePrinter(printer));
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.GetPrinterA(printer, 2, buffer.data(), needed, &needed));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

// Wine does not check what a printer handle was opened for.
TEST_F(SimSpooler, PrinterHandlesKeepTheirRights) {
    ASSERT_TRUE(addDriver("Test Driver"));
    addPrinter("Test Printer");
    HANDLE user = nullptr;
    ASSERT_TRUE(sim.OpenPrinterA(s("test printer"), &user, nullptr));
    DWORD needed = 0;
    sim.GetPrinterA(user, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(sim.GetPrinterA(user, 2, buffer.data(), needed, &needed));
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.SetPrinterA(user, 2, buffer.data(), 0));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.DeletePrinter(user));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    PRINTER_DEFAULTSA all = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE admin = nullptr;
    ASSERT_TRUE(sim.OpenPrinterA(s("Test Printer"), &admin, &all));
    auto* record = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
    record->pComment = s("changed");
    EXPECT_TRUE(sim.SetPrinterA(admin, 2, buffer.data(), 0));
    EXPECT_EQ(sim.spooler().printer("Test Printer")->comment, "changed");
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.SetPrinterA(admin, 2, buffer.data(), 1));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_COMMAND));
    EXPECT_TRUE(sim.DeletePrinter(admin));
    EXPECT_EQ(sim.spooler().printer("Test Printer"), nullptr);
    EXPECT_TRUE(sim.ClosePrinter(admin));
    EXPECT_TRUE(sim.ClosePrinter(user));

    addPrinter("Again");
    sim.machine().administrator = false;
    HANDLE denied = nullptr;
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.OpenPrinterA(s("Again"), &denied, &all));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.OpenPrinterA(s("Nobody"), &denied, nullptr));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
}

// --- The default printer -------------------------------------------------------------

TEST_F(SimSpooler, TheDefaultPrinterIsTheDeviceEntryOfWinIni) {
    ASSERT_TRUE(addDriver("Test Driver"));
    addPrinter("First");
    addPrinter("Second");
    DWORD size = 0;
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.GetDefaultPrinterA(nullptr, &size));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.SetDefaultPrinterA("Nobody"));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
    ASSERT_TRUE(sim.SetDefaultPrinterA("second"));
    EXPECT_EQ(winIniDevice(), "Second,winspool,Ne00:");

    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.GetDefaultPrinterA(nullptr, &size));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(size, 7u);
    char name[7];
    size = 6;
    EXPECT_FALSE(sim.GetDefaultPrinterA(name, &size));
    EXPECT_EQ(size, 7u);
    ASSERT_TRUE(sim.GetDefaultPrinterA(name, &size));
    EXPECT_STREQ(name, "Second");
    EXPECT_EQ(size, 7u);

    // No name keeps the default; without one it picks the first printer.
    EXPECT_TRUE(sim.SetDefaultPrinterA(nullptr));
    EXPECT_EQ(winIniDevice(), "Second,winspool,Ne00:");
    PRINTER_DEFAULTSA all = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    ASSERT_TRUE(sim.OpenPrinterA(s("Second"), &printer, &all));
    ASSERT_TRUE(sim.DeletePrinter(printer));
    sim.ClosePrinter(printer);
    EXPECT_EQ(winIniDevice(), "");
    EXPECT_TRUE(sim.SetDefaultPrinterA(""));
    EXPECT_EQ(winIniDevice(), "First,winspool,Ne00:");

    // A program written for NT 4.0 writes the entry itself.
    ASSERT_TRUE(sim.WriteProfileStringA("Windows", "Device", "Second,TDRV,LPT1:"));
    size = sizeof name;
    ASSERT_TRUE(sim.GetDefaultPrinterA(name, &size));
    EXPECT_STREQ(name, "Second");
    sim.files().writeFile(sim.machine().windowsDirectory + "\\win.ini",
                          "[Windows]\r\nload=\r\n Device = First,TDRV,LPT1:\r\n[Devices]\r\n");
    size = sizeof name;
    ASSERT_TRUE(sim.GetDefaultPrinterA(name, &size));
    EXPECT_STREQ(name, "First");
}

TEST_F(SimSpooler98, TheDefaultFlagMakesThePrinterTheDefault) {
    DRIVER_INFO_3A driver = testDriver();
    ASSERT_TRUE(sim.AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&driver)));
    addPrinter("First");
    addPrinter("Second");

    HANDLE printer = nullptr;
    ASSERT_TRUE(sim.OpenPrinterA(s("Second"), &printer, nullptr));
    DWORD needed = 0;
    sim.GetPrinterA(printer, 2, nullptr, 0, &needed);
    EXPECT_EQ(needed, sizeof(PRINTER_INFO_2A) + 7 + 6 + 12 + 9 + 4) << "ANSI sizes on 9x";
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(sim.GetPrinterA(printer, 2, buffer.data(), needed, &needed));
    auto* record = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
    EXPECT_EQ(record->Attributes & PRINTER_ATTRIBUTE_DEFAULT, 0u);
    record->Attributes |= PRINTER_ATTRIBUTE_DEFAULT;
    ASSERT_TRUE(sim.SetPrinterA(printer, 2, buffer.data(), 0)) << "9x checks no rights";
    EXPECT_EQ(winIniDevice(), "Second,Test Driver,LPT1:");
    EXPECT_NE(sim.spooler().printer("Second")->attributes & PRINTER_ATTRIBUTE_DEFAULT, 0u);
    EXPECT_EQ(sim.spooler().printer("First")->attributes & PRINTER_ATTRIBUTE_DEFAULT, 0u);
    std::fill(buffer.begin(), buffer.end(), 0);
    ASSERT_TRUE(sim.GetPrinterA(printer, 2, buffer.data(), needed, &needed));
    EXPECT_NE(record->Attributes & PRINTER_ATTRIBUTE_DEFAULT, 0u);
    sim.ClosePrinter(printer);
}

TEST_F(SimSpooler, TheNtFamilyIgnoresTheDefaultFlag) {
    ASSERT_TRUE(addDriver("Test Driver"));
    addPrinter("Test Printer");
    PRINTER_DEFAULTSA all = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    ASSERT_TRUE(sim.OpenPrinterA(s("Test Printer"), &printer, &all));
    PRINTER_INFO_2A info = printerRecord("Test Printer");
    info.Attributes = PRINTER_ATTRIBUTE_DEFAULT;
    ASSERT_TRUE(sim.SetPrinterA(printer, 2, reinterpret_cast<LPBYTE>(&info), 0));
    EXPECT_EQ(winIniDevice(), "");
    EXPECT_EQ(sim.spooler().printer("Test Printer")->attributes,
              static_cast<DWORD>(PRINTER_ATTRIBUTE_LOCAL));
    sim.ClosePrinter(printer);
}

}  // namespace
