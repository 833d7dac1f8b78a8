// The installation operations against the real Win32 calls (Wine's): a
// Unidrv file from a real cabinet of the driver cache, a port monitor DLL of
// our own, a driver and a printer registered with the real spooler.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "config/TextTable.h"
#include "install/FileStaging.h"
#include "install/SpoolerRegistration.h"
#include "os/Os.h"

namespace {

std::string dataFile(const std::string& name) {
    std::string path = TESTDATA_DIR;
    for (char& c : path)
        if (c == '/') c = '\\';
    return "Z:" + path + "\\" + name;
}

std::string directoryOf(BOOL(WINAPI* get)(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD)) {
    char buffer[MAX_PATH] = {};
    DWORD needed = 0;
    get(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(buffer), sizeof buffer, &needed);
    return buffer;
}

std::string fileContent(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string content(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!content.empty()) ReadFile(file, &content[0], static_cast<DWORD>(content.size()), &read, nullptr);
    CloseHandle(file);
    return content;
}

void writeText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

class EngineOnWineTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        GetCurrentDirectoryA(MAX_PATH, previous_);
        medium_ = std::string(temp) + "engine-medium-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(medium_.c_str(), nullptr);
        CreateDirectoryA((medium_ + "\\language").c_str(), nullptr);
        CreateDirectoryA((medium_ + "\\W32").c_str(), nullptr);
        writeText(medium_ + "\\language\\setup.ini",
                  "[Message]\r\nIDS_ERR_COPYFIEL=copy failed \r\nIDS_ERR_ADDMONITOR=monitor failed\r\n"
                  "IDS_ERR_ADDPRNDRV3=driver failed\r\nIDS_ERR_ADDPRINTER=printer failed \r\n");
        ASSERT_TRUE(CopyFileA(dataFile("standin-monitor.dll").c_str(), (medium_ + "\\W32\\ENGMON.DLL").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(dataFile("standin-driverui.dll").c_str(), (medium_ + "\\W32\\ENGDRV.DLL").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(dataFile("standin-driverui.dll").c_str(), (medium_ + "\\W32\\ENGUI.DLL").c_str(), FALSE));
        writeText(medium_ + "\\W32\\ENG.GPD", "*% stand-in printer description\r\n");
        writeText(medium_ + "\\W32\\ENG.HLP", "stand-in help\r\n");
        ASSERT_TRUE(SetCurrentDirectoryA(medium_.c_str()));
        app::reopenMessageTexts();
        install::resetDriverCache();
    }

    void TearDown() override {
        SetCurrentDirectoryA(previous_);
        for (const char* name : {"language\\setup.ini", "W32\\ENGMON.DLL", "W32\\ENGDRV.DLL", "W32\\ENGUI.DLL",
                                 "W32\\ENG.GPD", "W32\\ENG.HLP"})
            DeleteFileA((medium_ + "\\" + name).c_str());
        RemoveDirectoryA((medium_ + "\\language").c_str());
        RemoveDirectoryA((medium_ + "\\W32").c_str());
        RemoveDirectoryA(medium_.c_str());
        app::reopenMessageTexts();
    }

    int copy(const std::string& file, int target, int targetOs = 3) {
        std::string name = file;
        return install::copyDriverFile(name, target, targetOs, false, error);
    }

    std::string medium_;
    char previous_[MAX_PATH] = {};
    std::string error;
};

TEST_F(EngineOnWineTest, AUnidrvFileComesFromARealDriverCacheCabinet) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string cache = std::string(windows) + "\\Driver Cache\\i386";
    CreateDirectoryA((std::string(windows) + "\\Driver Cache").c_str(), nullptr);
    CreateDirectoryA(cache.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(dataFile("stored.cab").c_str(), (cache + "\\engine.cab").c_str(), FALSE));

    EXPECT_EQ(copy("unires.dll", install::kDriverDirectory), 1) << error;
    const std::string driverDirectory = directoryOf(&GetPrinterDriverDirectoryA);
    // The cabinet's entry, not a file of the medium (there is none).
    EXPECT_EQ(fileContent(driverDirectory + "\\UNIRES.DLL"), "Stand-in resource DLL.\n");
    EXPECT_FALSE(install::driverCache().extractionPending);
    EXPECT_EQ(install::driverCache().cabinets.size(), 1u);

    DeleteFileA((driverDirectory + "\\UNIRES.DLL").c_str());
    DeleteFileA((cache + "\\engine.cab").c_str());
}

TEST_F(EngineOnWineTest, RegistersAMonitorADriverAndAPrinterOfOurOwn) {
    EXPECT_EQ(copy("engmon.dll", install::kSystemDirectory), 1) << error;
    char monitorName[] = "Engine Test Monitor", monitorDll[] = "ENGMON.DLL";
    MONITOR_INFO_2A monitor = {monitorName, nullptr, monitorDll};
    ASSERT_TRUE(install::addMonitor(&monitor, error)) << error;
    ASSERT_TRUE(install::addMonitor(&monitor, error)) << "an installed monitor counts as added: " << error;

    for (const char* file : {"ENGDRV.DLL", "ENGUI.DLL", "ENG.GPD", "ENG.HLP"})
        ASSERT_EQ(copy(file, install::kDriverDirectory), 1) << file << " " << error;
    char driverName[] = "Engine Test Driver", driverPath[] = "ENGDRV.DLL", dataFile[] = "ENG.GPD",
         configFile[] = "ENGUI.DLL", helpFile[] = "ENG.HLP", dependent[] = "\0";
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = driverName;
    driver.pDriverPath = driverPath;
    driver.pDataFile = dataFile;
    driver.pConfigFile = configFile;
    driver.pHelpFile = helpFile;
    driver.pDependentFiles = dependent;
    ASSERT_TRUE(install::addPrinterDriver(&driver, error)) << error;

    // The record names no datatype, as the configuration leaves it; on the
    // system's own processor the printer gets "RAW".
    char printerName[] = "Engine Test Printer", port[] = "STANDIN1:", processor[] = "winprint";
    PRINTER_INFO_2A printer = {};
    printer.pPrinterName = printerName;
    printer.pPortName = port;
    printer.pDriverName = driverName;
    printer.pPrintProcessor = processor;
    std::string numbered;
    ASSERT_TRUE(install::addPrinter(&printer, 2, false, error, numbered)) << error;
    EXPECT_EQ(printer.pDatatype, nullptr);

    HANDLE handle = nullptr;
    ASSERT_TRUE(OpenPrinterA(printerName, &handle, nullptr));
    DWORD needed = 0;
    GetPrinterA(handle, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(GetPrinterA(handle, 2, buffer.data(), needed, &needed));
    auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
    EXPECT_STREQ(info->pPortName, "STANDIN1:");
    EXPECT_STREQ(info->pDriverName, "Engine Test Driver");
    EXPECT_STREQ(info->pDatatype, "RAW");

    EXPECT_TRUE(DeletePrinter(handle));
    ClosePrinter(handle);
    EXPECT_TRUE(DeletePrinterDriverA(nullptr, nullptr, driverName));
    EXPECT_TRUE(DeleteMonitorA(nullptr, nullptr, monitorName));
}
