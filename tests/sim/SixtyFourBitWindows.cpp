// 64-bit Windows as the simulation shows it to this 32-bit program: the
// system directory redirected to SysWOW64 but for the folders both worlds
// share, Sysnative, redirection the calling thread turns off, the 32-bit
// registry view of HKLM\SOFTWARE, and a spooler of the machine's own
// environment beside the one x86 callers get by default. 32-bit Windows is
// left as it was.
#include <gtest/gtest.h>

#include <thread>

#include "os/sim/SimOs.h"

using os::sim::Machine;
using os::sim::SimOs;
using os::sim::Spooler;

namespace {

char* s(const char* text) { return const_cast<char*>(text); }

Machine windows7x64() { return Machine::sixtyFourBit(Machine::windows7()); }

// What the program reads at `path`: the marker of the file it reaches.
std::string reached(SimOs& sim, const std::string& path) {
    if (!sim.CopyFileA(path.c_str(), "C:\\reached.txt", FALSE)) return "error " + std::to_string(sim.GetLastError());
    std::string content;
    sim.files().readFile("C:\\reached.txt", &content);
    sim.files().remove("C:\\reached.txt");
    return content;
}

// A file of the same name in the native system directory and in SysWOW64.
void layBoth(SimOs& sim, const std::string& relative) {
    const Machine& m = sim.machine();
    sim.files().writeFile(m.systemDirectory + "\\" + relative, std::string("native"));
    if (m.wow64()) sim.files().writeFile(m.wow64Directory() + "\\" + relative, std::string("32-bit"));
}

TEST(SixtyFourBitWindows, TheSystemDirectoryOfA32BitProgramIsSysWow64ButForSharedFolders) {
    struct Row {
        const char* what;
        Machine machine;
        const char* path;  // below the Windows directory
        bool redirectionOff;
        const char* expected;
    } rows[] = {
        {"a system file", windows7x64(), "system32\\probe.dll", false, "32-bit"},
        {"a driver", windows7x64(), "system32\\drivers\\probe.sys", false, "32-bit"},
        {"the spooler's folders", windows7x64(), "system32\\spool\\probe.dll", false, "native"},
        {"the hosts folder", windows7x64(), "system32\\drivers\\etc\\probe", false, "native"},
        {"the driver store on 7", windows7x64(), "system32\\DriverStore\\probe.inf", false, "native"},
        {"the driver store on Vista", Machine::sixtyFourBit(Machine::windowsVista()),
         "system32\\DriverStore\\probe.inf", false, "32-bit"},
        {"Sysnative", windows7x64(), "Sysnative\\probe.dll", false, "native"},
        {"redirection off", windows7x64(), "system32\\probe.dll", true, "native"},
        {"Sysnative with redirection off", windows7x64(), "Sysnative\\probe.dll", true,
         "error 3"},
        {"32-bit Windows 7", Machine::windows7(), "system32\\probe.dll", false, "native"},
        {"32-bit Windows 7, Sysnative", Machine::windows7(), "Sysnative\\probe.dll", false,
         "error 3"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SimOs sim(row.machine);
        std::string relative = row.path;
        relative = relative.substr(relative.find('\\') + 1);
        layBoth(sim, relative);
        PVOID previous = nullptr;
        if (row.redirectionOff) {
            ASSERT_TRUE(sim.Wow64DisableWow64FsRedirection(&previous));
        }
        EXPECT_EQ(reached(sim, sim.machine().windowsDirectory + "\\" + row.path), row.expected);
    }
}

TEST(SixtyFourBitWindows, RedirectionIsTheCallingThreadsAndComesBackAsItWas) {
    SimOs sim(windows7x64());
    layBoth(sim, "probe.dll");
    const std::string probe = sim.machine().systemDirectory + "\\probe.dll";
    PVOID outer = nullptr, inner = nullptr;
    // Looked up before, as the program does: nothing loads with redirection off.
    ASSERT_NE(sim.lookUp(os::SystemFunction::Wow64RevertWow64FsRedirection), nullptr);
    ASSERT_TRUE(sim.Wow64DisableWow64FsRedirection(&outer));
    ASSERT_TRUE(sim.Wow64DisableWow64FsRedirection(&inner));
    std::string elsewhere;
    std::thread([&] { elsewhere = reached(sim, probe); }).join();
    EXPECT_EQ(elsewhere, "32-bit");
    EXPECT_TRUE(sim.Wow64RevertWow64FsRedirection(inner));
    EXPECT_EQ(reached(sim, probe), "native") << "the outer turn-off still holds";
    EXPECT_TRUE(sim.Wow64RevertWow64FsRedirection(outer));
    EXPECT_EQ(reached(sim, probe), "32-bit");
}

TEST(SixtyFourBitWindows, ThirtyTwoBitWindowsHasNoRedirectionToTurnOff) {
    struct Row {
        const char* what;
        Machine machine;
        DWORD error;
    } rows[] = {
        {"Windows 2000 lacks the call", Machine::windows2000(), ERROR_CALL_NOT_IMPLEMENTED},
        {"32-bit XP lacks it", Machine::windowsXp(), ERROR_CALL_NOT_IMPLEMENTED},
        {"32-bit Windows 7 refuses it", Machine::windows7(), ERROR_INVALID_FUNCTION},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SimOs sim(row.machine);
        PVOID previous = nullptr;
        sim.SetLastError(0);
        EXPECT_FALSE(sim.Wow64DisableWow64FsRedirection(&previous));
        EXPECT_EQ(sim.GetLastError(), row.error);
    }
}

TEST(SixtyFourBitWindows, A64BitLibraryDoesNotLoadInThe32BitProgram) {
    SimOs sim(windows7x64());
    const Machine& m = sim.machine();
    sim.files().writeFile(m.systemDirectory + "\\probe.dll",
                          Spooler::dllExporting({"Probe"}, IMAGE_FILE_MACHINE_AMD64));
    sim.files().writeFile(m.wow64Directory() + "\\probe.dll", Spooler::dllExporting({"Probe"}));
    PVOID previous = nullptr;
    ASSERT_NE(sim.lookUp(os::SystemFunction::Wow64RevertWow64FsRedirection), nullptr);
    ASSERT_TRUE(sim.Wow64DisableWow64FsRedirection(&previous));
    sim.SetLastError(0);
    EXPECT_EQ(sim.LoadLibraryA((m.systemDirectory + "\\probe.dll").c_str()), nullptr);
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
    // Windows' own libraries too: with redirection off the load reaches the
    // native ones (Windows documents that loads fail; the code is assumed).
    sim.SetLastError(0);
    EXPECT_EQ(sim.LoadLibraryExA((m.systemDirectory + "\\kernel32.dll").c_str(), nullptr,
                                 LOAD_WITH_ALTERED_SEARCH_PATH), nullptr);
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
    EXPECT_EQ(sim.lookedUpWithRedirectionOff().size(), 2u);
    ASSERT_TRUE(sim.Wow64RevertWow64FsRedirection(previous));
    HMODULE module = sim.LoadLibraryA((m.systemDirectory + "\\probe.dll").c_str());
    EXPECT_NE(module, nullptr);
    sim.FreeLibrary(module);
}

TEST(SixtyFourBitWindows, HklmSoftwareHasAViewForEachWorld) {
    struct Row {
        const char* what;
        Machine machine;
        const char* key;
        REGSAM view;
        LONG result;
        const char* landsAt;  // the key as the machine keeps it
    } rows[] = {
        {"32-bit view by default", windows7x64(), "SOFTWARE\\Maker\\Ports", 0, ERROR_SUCCESS,
         "SOFTWARE\\Wow6432Node\\Maker\\Ports"},
        {"64-bit view asked for", windows7x64(), "SOFTWARE\\Maker\\Ports", KEY_WOW64_64KEY,
         ERROR_SUCCESS, "SOFTWARE\\Maker\\Ports"},
        {"SYSTEM is shared", windows7x64(), "SYSTEM\\Maker", 0, ERROR_SUCCESS, "SYSTEM\\Maker"},
        {"32-bit XP ignores the flag", Machine::windowsXp(), "SOFTWARE\\Maker\\Ports",
         KEY_WOW64_64KEY, ERROR_SUCCESS, "SOFTWARE\\Maker\\Ports"},
        {"Windows 2000 refuses it", Machine::windows2000(), "SOFTWARE\\Maker\\Ports",
         KEY_WOW64_64KEY, ERROR_ACCESS_DENIED, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SimOs sim(row.machine);
        HKEY key = nullptr;
        EXPECT_EQ(sim.RegCreateKeyExA(HKEY_LOCAL_MACHINE, row.key, 0, nullptr, 0,
                                      KEY_WRITE | row.view, nullptr, &key, nullptr),
                  row.result);
        if (row.result != ERROR_SUCCESS) continue;
        sim.RegCloseKey(key);
        EXPECT_TRUE(sim.registry().exists(HKEY_LOCAL_MACHINE, row.landsAt));
        // Read back in the same view; the other view has its own.
        EXPECT_EQ(sim.RegOpenKeyExA(HKEY_LOCAL_MACHINE, row.key, 0, KEY_READ | row.view, &key),
                  ERROR_SUCCESS);
        sim.RegCloseKey(key);
        if (sim.machine().wow64() && std::string(row.key).rfind("SOFTWARE", 0) == 0) {
            REGSAM other = row.view ? 0 : KEY_WOW64_64KEY;
            EXPECT_EQ(sim.RegOpenKeyExA(HKEY_LOCAL_MACHINE, row.key, 0, KEY_READ | other, &key),
                      ERROR_FILE_NOT_FOUND);
        }
    }
}

TEST(SixtyFourBitWindows, TheSpoolerKeepsEachEnvironmentInItsOwnFolders) {
    struct Row {
        const char* what;
        Machine machine;
        const char* environment;
        const char* folder;  // "" where the call fails with 1805
    } rows[] = {
        {"x86 callers by default", windows7x64(), nullptr, "W32X86"},
        {"x86 named", windows7x64(), "Windows NT x86", "W32X86"},
        {"the machine's own", windows7x64(), "Windows x64", "x64"},
        {"another machine's", windows7x64(), "Windows IA64", ""},
        {"an unknown one", windows7x64(), "Windows 64", ""},
        {"x64 on 32-bit XP", Machine::windowsXp(), "Windows x64", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SimOs sim(row.machine);
        for (bool processor : {false, true}) {
            char buffer[MAX_PATH] = {};
            DWORD needed = 0;
            sim.SetLastError(0);
            BOOL done = processor ? sim.GetPrintProcessorDirectoryA(nullptr, s(row.environment), 1,
                                                                    reinterpret_cast<LPBYTE>(buffer),
                                                                    sizeof buffer, &needed)
                                  : sim.GetPrinterDriverDirectoryA(nullptr, s(row.environment), 1,
                                                                   reinterpret_cast<LPBYTE>(buffer),
                                                                   sizeof buffer, &needed);
            if (*row.folder == '\0') {
                EXPECT_FALSE(done);
                EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_ENVIRONMENT));
                continue;
            }
            ASSERT_TRUE(done);
            EXPECT_EQ(std::string(buffer), sim.machine().systemDirectory + "\\spool\\" +
                                               (processor ? "PRTPROCS\\" : "DRIVERS\\") + row.folder);
        }
    }
}

TEST(SixtyFourBitWindows, TheSpoolerLoadsOnlyNativeMonitorsFromTheNativeSystemDirectory) {
    struct Row {
        const char* what;
        const char* environment;
        bool native, wow64;  // where a DLL lies
        uint16_t machine;    // what it was built for
        DWORD error;         // 0: added
    } rows[] = {
        {"the caller's environment by default", nullptr, true, false, IMAGE_FILE_MACHINE_AMD64,
         ERROR_INVALID_ENVIRONMENT},
        {"x86 named", "Windows NT x86", true, false, IMAGE_FILE_MACHINE_AMD64,
         ERROR_INVALID_ENVIRONMENT},
        {"only in SysWOW64", "Windows x64", false, true, IMAGE_FILE_MACHINE_AMD64, ERROR_MOD_NOT_FOUND},
        {"an x86 build", "Windows x64", true, false, IMAGE_FILE_MACHINE_I386, ERROR_BAD_EXE_FORMAT},
        {"an x64 build in system32", "Windows x64", true, false, IMAGE_FILE_MACHINE_AMD64, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SimOs sim(windows7x64());
        const Machine& m = sim.machine();
        auto dll = Spooler::dllExporting({"InitializePrintMonitor2"}, row.machine);
        if (row.native) sim.files().writeFile(m.systemDirectory + "\\MON.DLL", dll);
        if (row.wow64) sim.files().writeFile(m.wow64Directory() + "\\MON.DLL", dll);
        MONITOR_INFO_2A info = {s("Maker Port"), s(row.environment), s("MON.DLL")};
        sim.SetLastError(0);
        EXPECT_EQ(sim.AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&info)) != FALSE, row.error == 0);
        EXPECT_EQ(sim.GetLastError(), row.error);
        if (row.error != 0) continue;
        // Its removal names the same environment.
        sim.SetLastError(0);
        EXPECT_FALSE(sim.DeleteMonitorA(nullptr, nullptr, s("Maker Port")));
        EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_ENVIRONMENT));
        EXPECT_TRUE(sim.DeleteMonitorA(nullptr, s("Windows x64"), s("Maker Port")));
    }
}

TEST(SixtyFourBitWindows, ALocalPrinterNeedsTheDriverOfTheMachinesEnvironment) {
    SimOs sim(windows7x64());
    auto addDriver = [&](const char* environment, const char* folder) {
        const std::string drivers = sim.machine().systemDirectory + "\\spool\\DRIVERS\\" + folder;
        for (const char* file : {"TDRV.DLL", "TDRV.GPD", "TUI.DLL"})
            sim.files().writeFile(drivers + "\\" + file, std::string("driver file"));
        DRIVER_INFO_3A info = {};
        info.cVersion = 3;
        info.pName = s("Test Driver");
        info.pEnvironment = s(environment);
        info.pDriverPath = s("TDRV.DLL");
        info.pDataFile = s("TDRV.GPD");
        info.pConfigFile = s("TUI.DLL");
        return sim.AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&info));
    };
    PRINTER_INFO_2A printer = {};
    printer.pPrinterName = s("Receipt");
    printer.pPortName = s("LPT1:");
    printer.pDriverName = s("Test Driver");
    printer.pPrintProcessor = s("WinPrint");

    ASSERT_TRUE(addDriver(nullptr, "W32X86"));
    EXPECT_TRUE(sim.files().isFile(sim.machine().systemDirectory + "\\spool\\DRIVERS\\W32X86\\3\\TDRV.DLL"));
    sim.SetLastError(0);
    EXPECT_EQ(sim.AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&printer)), nullptr);
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER));

    ASSERT_TRUE(addDriver("Windows x64", "x64"));
    EXPECT_TRUE(sim.files().isFile(sim.machine().systemDirectory + "\\spool\\DRIVERS\\x64\\3\\TDRV.DLL"));
    HANDLE added = sim.AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&printer));
    EXPECT_NE(added, nullptr) << sim.GetLastError();
    if (added) sim.ClosePrinter(added);
}

}  // namespace
