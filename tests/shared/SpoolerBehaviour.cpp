// The print spooler as Windows has it, on every backend: its directories,
// ports, monitors, drivers, printers and the default printer. Under Wine
// these tests register our stand-in DLLs (tools/standins) with the real
// spooler and remove what they added.
#include "install/InstalledDrivers.h"
#include "support/Backend.h"
#include "support/BuiltData.h"

#include <algorithm>
#include <cstring>

using testing_support::BackendTest;

namespace {

char* s(const char* text) { return const_cast<char*>(text); }

bool endsWithNoCase(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           os::sim::equalsNoCase(text.substr(text.size() - end.size()), end);
}

// PORT_INFO_2A, which the native declarations lack.
struct PortRecord2 {
    LPSTR pPortName;
    LPSTR pMonitorName;
    LPSTR pDescription;
    DWORD fPortType;
    DWORD Reserved;
};

const char* const kMonitorName = "Stand-in Test Monitor";
const char* const kMonitorDll = "standin-monitor.dll";
const char* const kDriverName = "Stand-in Test Driver";
const char* const kDriverDll = "standin-driverui.dll";
const char* const kDataFile = "standin-driver.ini";
const char* const kPrinterName = "Stand-in Test Printer";

class SpoolerBehaviour : public BackendTest {
protected:
    // The stand-in DLLs come with the Windows build.
    bool haveStandIn(const char* name) { return fileExists(dataFile(name)); }

    // The room an ANSI spooler call asks for a string. Windows NT runs the
    // Unicode call in the caller's buffer and converts in place, so it asks
    // for the Unicode size (Wine's own notes and conformance tests say so
    // for GetPrinterDriverDirectoryA, GetPrinterA and EnumPrinterDriversA);
    // Wine 8 asks for the ANSI size only. The simulation follows Windows.
    DWORD textBytes(const std::string& text) {
        return static_cast<DWORD>(text.size() + 1) * (isSim() ? 2 : 1);
    }

    std::string systemDirectory() {
        char buffer[MAX_PATH] = {};
        EXPECT_GT(sys().GetSystemDirectoryA(buffer, MAX_PATH), 0u);
        return buffer;
    }
    // A directory query: the path, or "error N".
    std::string directory(bool driver, const char* environment, DWORD* needed = nullptr) {
        std::vector<BYTE> buffer(1024);
        DWORD size = 0;
        BOOL ok = driver ? sys().GetPrinterDriverDirectoryA(nullptr, s(environment), 1, buffer.data(),
                                                            static_cast<DWORD>(buffer.size()), &size)
                         : sys().GetPrintProcessorDirectoryA(nullptr, s(environment), 1,
                                                             buffer.data(),
                                                             static_cast<DWORD>(buffer.size()), &size);
        if (needed) *needed = size;
        if (!ok) return "error " + std::to_string(sys().GetLastError());
        return reinterpret_cast<char*>(buffer.data());
    }
    std::vector<std::string> ports(DWORD* neededOut = nullptr) {
        DWORD needed = 0, returned = 0;
        sys().EnumPortsA(nullptr, 1, nullptr, 0, &needed, &returned);
        std::vector<BYTE> buffer(needed);
        EXPECT_TRUE(sys().EnumPortsA(nullptr, 1, buffer.data(), needed, &needed, &returned))
            << sys().GetLastError();
        std::vector<std::string> names;
        for (DWORD i = 0; i < returned; ++i)
            names.push_back(reinterpret_cast<PORT_INFO_1A*>(buffer.data())[i].pName);
        if (neededOut) *neededOut = needed;
        return names;
    }
    static bool contains(const std::vector<std::string>& list, const std::string& item) {
        for (const auto& entry : list)
            if (os::sim::equalsNoCase(entry, item)) return true;
        return false;
    }
    void copyIn(const char* standIn, const std::string& target) {
        ASSERT_TRUE(sys().CopyFileA(dataFile(standIn).c_str(), target.c_str(), FALSE))
            << target << " error " << sys().GetLastError();
        // The test data lies on a read-only medium; the copy must be removable.
        sys().SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
};

TEST_P(SpoolerBehaviour, DirectoriesLieBelowTheSystemDirectory) {
    DWORD needed = 0;
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().GetPrinterDriverDirectoryA(nullptr, nullptr, 1, nullptr, 0, &needed));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    std::string drivers = directory(true, nullptr);
    EXPECT_TRUE(endsWithNoCase(drivers, "\\spool\\drivers\\w32x86")) << drivers;
    EXPECT_TRUE(os::sim::equalsNoCase(drivers.substr(0, systemDirectory().size()), systemDirectory()));
    EXPECT_EQ(needed, textBytes(drivers));
    std::vector<BYTE> buffer(needed);
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().GetPrinterDriverDirectoryA(nullptr, nullptr, 1, buffer.data(), needed - 1,
                                                  &needed));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_TRUE(sys().GetPrinterDriverDirectoryA(nullptr, nullptr, 1, buffer.data(), needed, &needed));

    EXPECT_TRUE(endsWithNoCase(directory(true, "Windows 4.0"), "\\spool\\drivers\\win40"));
    EXPECT_TRUE(endsWithNoCase(directory(true, "windows nt x86"), "\\spool\\drivers\\w32x86"));
    EXPECT_EQ(directory(true, "invalid_env"), "error 1805");
    std::string processors = directory(false, nullptr, &needed);
    EXPECT_TRUE(endsWithNoCase(processors, "\\spool\\prtprocs\\w32x86")) << processors;
    // Here Wine, too, asks for room for the Unicode path.
    EXPECT_EQ(needed, 2 * (processors.size() + 1));
    EXPECT_EQ(directory(false, "invalid_env"), "error 1805");
}

TEST_P(SpoolerBehaviour, EnumPortsReportsTheSizeItNeeds) {
    DWORD needed = 0, returned = 0;
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().EnumPortsA(nullptr, 1, nullptr, 0, &needed, &returned));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    DWORD filled = 0;
    std::vector<std::string> names = ports(&filled);
    EXPECT_EQ(filled, needed);
    EXPECT_TRUE(contains(names, "LPT1:"));
    EXPECT_TRUE(contains(names, "COM1:"));
    DWORD expected = 0;
    for (const auto& name : names) expected += sizeof(PORT_INFO_1A) + textBytes(name);
    EXPECT_EQ(needed, expected);
    std::vector<BYTE> buffer(needed);
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().EnumPortsA(nullptr, 1, buffer.data(), needed - 1, &needed, &returned));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    sys().EnumPortsA(nullptr, 2, nullptr, 0, &needed, &returned);
    buffer.assign(needed, 0);
    ASSERT_TRUE(sys().EnumPortsA(nullptr, 2, buffer.data(), needed, &needed, &returned));
    ASSERT_EQ(returned, names.size());
    auto* records = reinterpret_cast<PortRecord2*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
        EXPECT_EQ(std::string(records[i].pPortName), names[i]);
        EXPECT_NE(records[i].pMonitorName, nullptr);
    }
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().EnumPortsA(nullptr, 3, buffer.data(), needed, &needed, &returned));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
}

TEST_P(SpoolerBehaviour, AMonitorRegistersOnceAndOffersItsPorts) {
    REQUIRE_BUILT_DATA(haveStandIn(kMonitorDll), "the stand-in DLLs");
    // What the stand-in's EnumPorts offers, told to the simulation.
    if (sim()) sim()->spooler().monitorDllPorts[kMonitorDll] = {"STANDIN1:", "STANDIN2:"};
    const std::string dll = systemDirectory() + "\\" + kMonitorDll;
    copyIn(kMonitorDll, dll);

    MONITOR_INFO_2A info = {s(kMonitorName), nullptr, s("standin-missing.dll")};
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&info)));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));

    info.pDLLName = s(kMonitorDll);
    ASSERT_TRUE(sys().AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&info)))
        << sys().GetLastError();
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&info)));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_PRINT_MONITOR_ALREADY_INSTALLED));
    std::vector<std::string> names = ports();
    EXPECT_TRUE(contains(names, "STANDIN1:"));
    EXPECT_TRUE(contains(names, "STANDIN2:"));

    DWORD needed = 0, returned = 0;
    sys().EnumMonitorsA(nullptr, 2, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(sys().EnumMonitorsA(nullptr, 2, buffer.data(), needed, &needed, &returned));
    bool listed = false;
    for (DWORD i = 0; i < returned; ++i) {
        const auto& m = reinterpret_cast<MONITOR_INFO_2A*>(buffer.data())[i];
        if (os::sim::equalsNoCase(m.pName, kMonitorName)) {
            listed = true;
            EXPECT_TRUE(endsWithNoCase(m.pDLLName, kMonitorDll)) << m.pDLLName;
        }
    }
    EXPECT_TRUE(listed);

    EXPECT_TRUE(sys().DeleteMonitorA(nullptr, nullptr, s(kMonitorName))) << sys().GetLastError();
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().DeleteMonitorA(nullptr, nullptr, s(kMonitorName)));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINT_MONITOR));
    EXPECT_FALSE(contains(ports(), "STANDIN1:"));
    EXPECT_TRUE(sys().DeleteFileA(dll.c_str())) << "unloaded: " << sys().GetLastError();
}

TEST_P(SpoolerBehaviour, APrintProcessorIsRegisteredUnderItsEnvironment) {
    const char* const dll = "standin-processor.dll";
    const char* const name = "Stand-in Test Processor";
    REQUIRE_BUILT_DATA(haveStandIn(dll), "the stand-in DLLs");
    const std::string path = directory(false, nullptr) + "\\" + dll;
    const std::string key = std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\") +
                            "Windows NT x86\\Print Processors\\" + name;
    copyIn(dll, path);
    ASSERT_TRUE(sys().AddPrintProcessorA(nullptr, nullptr, s(dll), s(name))) << sys().GetLastError();
    HKEY registered = nullptr;
    ASSERT_EQ(sys().RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &registered), 0);
    char value[MAX_PATH] = {};
    DWORD size = sizeof value, type = 0;
    EXPECT_EQ(sys().RegQueryValueExA(registered, "Driver", nullptr, &type,
                                     reinterpret_cast<LPBYTE>(value), &size), 0);
    EXPECT_STREQ(value, dll);
    sys().RegCloseKey(registered);
    // Windows refuses a second registration with 3005 and a missing DLL with
    // 126; Wine 8 registers either, so SimSpooler pins those.
    EXPECT_TRUE(sys().DeletePrintProcessorA(nullptr, nullptr, s(name))) << sys().GetLastError();
    // Wine 8's DeletePrintProcessorA is a stub that succeeds and leaves the
    // registration; Windows takes it away, as the simulation does.
    if (!isSim()) EXPECT_EQ(sys().RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str()), 0);
    EXPECT_NE(sys().RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &registered), 0);
    // The spooler has let go of the DLL.
    EXPECT_TRUE(sys().DeleteFileA(path.c_str())) << sys().GetLastError();
}

// Removes the test's printer, driver and files whatever the test reached.
class PrinterCleanup {
public:
    PrinterCleanup(os::Os& system, std::vector<std::string> files)
        : sys_(system), files_(std::move(files)) {}
    ~PrinterCleanup() {
        PRINTER_DEFAULTSA all = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        HANDLE printer = nullptr;
        if (sys_.OpenPrinterA(s(kPrinterName), &printer, &all)) {
            sys_.DeletePrinter(printer);
            sys_.ClosePrinter(printer);
        }
        sys_.DeletePrinterDriverA(nullptr, nullptr, s(kDriverName));
        for (const auto& file : files_) sys_.DeleteFileA(file.c_str());
    }

private:
    os::Os& sys_;
    std::vector<std::string> files_;
};

TEST_P(SpoolerBehaviour, ADriverAndAPrinterRegisterAndReadBack) {
    REQUIRE_BUILT_DATA(haveStandIn(kDriverDll), "the stand-in DLLs");
    const std::string drivers = directory(true, nullptr);
    PrinterCleanup cleanup(sys(), {drivers + "\\" + kDriverDll, drivers + "\\" + kDataFile,
                                   drivers + "\\3\\" + kDriverDll, drivers + "\\3\\" + kDataFile});
    copyIn(kDriverDll, drivers + "\\" + kDriverDll);
    writeFile(drivers + "\\" + kDataFile, "[stand-in]\r\n");

    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = s(kDriverName);
    driver.pDriverPath = s(kDriverDll);
    driver.pDataFile = s(kDataFile);
    driver.pConfigFile = s(kDriverDll);
    driver.pDefaultDataType = s("RAW");
    ASSERT_TRUE(sys().AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&driver)))
        << sys().GetLastError();
    // The spooler keeps a version-3 driver's files in the directory "3".
    EXPECT_TRUE(fileExists(drivers + "\\3\\" + kDriverDll));
    EXPECT_TRUE(fileExists(drivers + "\\3\\" + kDataFile));

    // Listed among the drivers with the files it names, where the spooler
    // keeps them: what tells it from another product's driver of its name.
    DWORD listed = 0, count = 0;
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().EnumPrinterDriversA(nullptr, nullptr, 3, nullptr, 0, &listed, &count));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    std::vector<BYTE> driverList(listed);
    ASSERT_TRUE(sys().EnumPrinterDriversA(nullptr, nullptr, 3, driverList.data(), listed, &listed, &count))
        << sys().GetLastError();
    const auto* records = reinterpret_cast<const DRIVER_INFO_3A*>(driverList.data());
    const DRIVER_INFO_3A* listedDriver = std::find_if(records, records + count, [](const DRIVER_INFO_3A& d) {
        return d.pName != nullptr && std::strcmp(d.pName, kDriverName) == 0;
    });
    ASSERT_NE(listedDriver, records + count);
    EXPECT_EQ(listedDriver->cVersion, 3u);
    EXPECT_TRUE(endsWithNoCase(listedDriver->pDataFile, std::string("\\3\\") + kDataFile)) << listedDriver->pDataFile;
    EXPECT_EQ(install::driverFileNames(*listedDriver),
              (std::vector<std::string>{"STANDIN-DRIVER.INI", "STANDIN-DRIVERUI.DLL"}));
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().EnumPrinterDriversA(nullptr, s("invalid_env"), 3, driverList.data(), listed, &listed, &count));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INVALID_ENVIRONMENT));

    // WinPrint and RAW named, as Wine's AddPrinterA needs them.
    PRINTER_INFO_2A record = {};
    record.pPrinterName = s(kPrinterName);
    record.pPortName = s("LPT1:");
    record.pDriverName = s(kDriverName);
    record.pPrintProcessor = s("WinPrint");
    record.pDatatype = s("RAW");
    record.pComment = s("added by a test");
    HANDLE added = sys().AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&record));
    ASSERT_NE(added, nullptr) << sys().GetLastError();
    EXPECT_TRUE(sys().ClosePrinter(added));

    HANDLE printer = nullptr;
    ASSERT_TRUE(sys().OpenPrinterA(s(kPrinterName), &printer, nullptr)) << sys().GetLastError();
    DWORD needed = 0;
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().GetPrinterA(printer, 2, nullptr, 0, &needed));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    // Wine adds a DEVMODE from the driver; the simulation keeps none.
    DWORD strings = 0;
    for (const char* text : {kPrinterName, "LPT1:", kDriverName, "WinPrint", "RAW", "added by a test"})
        strings += textBytes(text);
    if (isSim())
        EXPECT_EQ(needed, sizeof(PRINTER_INFO_2A) + strings);
    else
        EXPECT_GE(needed, sizeof(PRINTER_INFO_2A) + strings);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(sys().GetPrinterA(printer, 2, buffer.data(), needed, &needed)) << sys().GetLastError();
    const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    EXPECT_STREQ(info->pPrinterName, kPrinterName);
    EXPECT_STREQ(info->pPortName, "LPT1:");
    EXPECT_STREQ(info->pDriverName, kDriverName);
    EXPECT_TRUE(os::sim::equalsNoCase(info->pPrintProcessor, "WinPrint")) << info->pPrintProcessor;
    EXPECT_STREQ(info->pDatatype, "RAW");
    EXPECT_STREQ(info->pComment, "added by a test");
    for (const char* text : {info->pPrinterName, info->pPortName, info->pDriverName}) {
        EXPECT_GE(reinterpret_cast<const BYTE*>(text), buffer.data() + sizeof(PRINTER_INFO_2A));
        EXPECT_LT(reinterpret_cast<const BYTE*>(text), buffer.data() + needed);
    }
    EXPECT_TRUE(sys().ClosePrinter(printer));

    // Listed among the local printers, with the driver it prints through.
    needed = 0;
    DWORD returned = 0;
    sys().EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &returned);
    std::vector<BYTE> list(needed);
    ASSERT_TRUE(sys().EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, list.data(), needed, &needed, &returned))
        << sys().GetLastError();
    const auto* printers = reinterpret_cast<const PRINTER_INFO_4A*>(list.data());
    EXPECT_TRUE(std::any_of(printers, printers + returned,
                            [](const PRINTER_INFO_4A& p) { return std::strcmp(p.pPrinterName, kPrinterName) == 0; }));
    ASSERT_TRUE(sys().OpenPrinterA(s(kPrinterName), &printer, nullptr)) << sys().GetLastError();
    needed = 0;
    EXPECT_FALSE(sys().GetPrinterDriverA(printer, nullptr, 3, nullptr, 0, &needed));
    std::vector<BYTE> driverRecord(needed);
    ASSERT_TRUE(sys().GetPrinterDriverA(printer, nullptr, 3, driverRecord.data(), needed, &needed))
        << sys().GetLastError();
    const auto* read = reinterpret_cast<const DRIVER_INFO_3A*>(driverRecord.data());
    EXPECT_STREQ(read->pName, kDriverName);
    EXPECT_TRUE(endsWithNoCase(read->pDriverPath, std::string("\\3\\") + kDriverDll)) << read->pDriverPath;
    EXPECT_TRUE(read->pMonitorName == nullptr || read->pMonitorName[0] == '\0');
    EXPECT_TRUE(sys().ClosePrinter(printer));

    // Windows keeps a driver that a printer uses (ERROR_PRINTER_DRIVER_IN_USE)
    // and reports an unknown one (ERROR_UNKNOWN_PRINTER_DRIVER); Wine 8 deletes
    // it anyway and sets no error for an unknown one, so SimSpooler pins both.
    PRINTER_DEFAULTSA all = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    ASSERT_TRUE(sys().OpenPrinterA(s(kPrinterName), &printer, &all));
    EXPECT_TRUE(sys().DeletePrinter(printer)) << sys().GetLastError();
    EXPECT_TRUE(sys().ClosePrinter(printer));
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().OpenPrinterA(s(kPrinterName), &printer, nullptr));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
    // Windows 2000 and later delete, with DPD_DELETE_UNUSED_FILES, the files
    // no other driver names, as the simulation does; Wine 8 refuses the flag
    // with 87, where the program deletes the driver alone.
    const BOOL deleted = sys().DeletePrinterDriverExA(nullptr, nullptr, s(kDriverName), DPD_DELETE_UNUSED_FILES, 0);
    if (isSim()) {
        EXPECT_TRUE(deleted) << sys().GetLastError();
        EXPECT_FALSE(fileExists(drivers + "\\3\\" + kDataFile));
    } else {
        EXPECT_FALSE(deleted);
        EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        EXPECT_TRUE(sys().DeletePrinterDriverA(nullptr, nullptr, s(kDriverName))) << sys().GetLastError();
    }
    EXPECT_FALSE(sys().DeletePrinterDriverA(nullptr, nullptr, s(kDriverName)));
}

TEST_P(SpoolerBehaviour, SetDefaultPrinterFromWinspoolNamesAnInstalledPrinter) {
    HMODULE winspool = sys().LoadLibraryA("winspool.drv");
    ASSERT_NE(winspool, nullptr) << sys().GetLastError();
    auto setDefault =
        reinterpret_cast<os::SetDefaultPrinterProc>(sys().GetProcAddress(winspool, "SetDefaultPrinterA"));
    ASSERT_NE(setDefault, nullptr) << sys().GetLastError();
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(setDefault("No Printer Of This Name"));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
    sys().FreeLibrary(winspool);

    DWORD size = 0;
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().GetDefaultPrinterA(nullptr, nullptr));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    sys().SetLastError(0xdeadbeef);
    if (!sys().GetDefaultPrinterA(nullptr, &size)) {
        // Either a default whose size is reported, or none at all.
        DWORD error = sys().GetLastError();
        EXPECT_TRUE(error == ERROR_INSUFFICIENT_BUFFER || error == ERROR_FILE_NOT_FOUND) << error;
        if (error == ERROR_INSUFFICIENT_BUFFER) {
            std::vector<char> name(size);
            EXPECT_TRUE(sys().GetDefaultPrinterA(name.data(), &size));
            EXPECT_EQ(std::strlen(name.data()) + 1, size);
        }
    }
}

}  // namespace

INSTANTIATE_BACKENDS(SpoolerBehaviour);
