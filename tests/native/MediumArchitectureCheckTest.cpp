// On 64-bit Windows, Install takes the medium's program files from its X64
// folder only when every one the chosen flavour and port kind copies is
// there and built for x64: otherwise it refuses, naming the files, before
// anything on the machine is changed. 32-bit Windows takes W32 as before.
#include <functional>

#include "install/InstallPreparation.h"
#include "install/UsbClassDriver.h"
#include "os/sim/Spooler.h"
#include "support/InstallFixture.h"

using os::sim::Machine;
using testing_support::InstallScenario;

namespace {

const char* const kCategoryFile = "C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini";

// The raster flavour: Windows' Unidrv with the model's resource DLL and
// rendering plug-in, and Windows' own print processor named with its DLL.
const char* const kRasterKeys =
    "GDIDriverPath=UNIDRV.DLL\r\nGDIDataFile=M.GPD\r\nGDIConfigFile=UNIDRVUI.DLL\r\nGDIHelpFile=UNIDRV.HLP\r\n"
    "GDIDataFileDLLName=MRES.DLL\r\nGDIDataOemuiDLL=0\r\nGDIDataOemuniDLL=MUNI.DLL\r\nGDIDataOemuniini=MUNI.INI\r\n"
    "GDIProcessorDLLName=WINPRINT.DLL\r\nGDIPrintProcessor=WinPrint\r\nGDI2KDDKDEV=1\r\n";

const char* const kEveryProgram[] = {"SER.DLL", "SERUI.DLL", "USBPM.DLL", "USBUI.DLL", "LMON.DLL",
                                     "MPROC.DLL", "DRV.DLL",  "DRVUI.DLL",  "MRES.DLL",  "MUNI.DLL"};

std::vector<uint8_t> image(WORD machine) {
    return os::sim::Spooler::dllExporting({"InitializePrintMonitor2"}, machine);
}

// A DOS header whose NT header would lie beyond the file's end.
std::vector<uint8_t> cutShortImage() {
    std::vector<uint8_t> bytes(64, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    bytes[0x3D] = 0x10;  // at 0x1000
    return bytes;
}

class X64Medium : public InstallScenario {
public:
    explicit X64Medium(const Machine& machine) : InstallScenario(7) {
        sim.machine() = machine;
        write("C:\\MEDIUM\\language\\setup.ini", testing_support::engineLanguageFile() +
                                                     "[Setup]\r\nCaptionName=USB driver installer\r\n");
        app::reopenMessageTexts();
        write(kCategoryFile, "[M.PORT]\r\nSystemWin7Supported=1\r\n" + modelSections(kRasterKeys));
        for (const char* file : {"MRES.DLL", "MUNI.DLL", "MUNI.INI"}) onMedium(file, std::string("content of ") + file);
        for (const char* file : kEveryProgram)
            sim.files().writeFile(std::string("C:\\MEDIUM\\X64\\") + file, image(IMAGE_FILE_MACHINE_AMD64));
        // The medium's USB class driver is newer: a USB installation that
        // gets past the check runs its installer.
        write("C:\\MEDIUM\\HvUsbInt.dll", "MZ stand-in");
        write("C:\\MEDIUM\\USBDrv\\Install.exe", "MZ installer");
        for (const char* file : {"Install.exe", "BULKUSB.INF", "BULKUSB.CAT", "bulkusb.sys"})
            write(std::string("C:\\MEDIUM\\USBDrv\\X64\\") + file, std::string("content of ") + file);
        sim.files().writeFile("C:\\MEDIUM\\USBDrv\\X64\\Install.exe", image(IMAGE_FILE_MACHINE_AMD64));
        sim.files().writeFile(install::installedUsbDriverPath(), testData("pe/ver1001.dll"));
        sim.files().writeFile(install::mediumUsbDriverPath(), testData("pe/ver1002.dll"));
        sim.usb().attach(8);  // number 1
    }

    void withoutX64() {
        for (const char* file : kEveryProgram) sim.files().remove(std::string("C:\\MEDIUM\\X64\\") + file);
        sim.files().removeDirectory("C:\\MEDIUM\\X64");
    }

    bool prepare(const std::string& port, int flavour) {
        select(7, port, 1, "M", flavour);
        return prepareForInstall(7);
    }
};

// What changes a machine, as the program calls it.
const char* const kChanges[] = {"CopyFileA",       "MoveFileExA",       "DeleteFileA",     "CreateDirectoryA",
                                "SetFileAttributesA", "RegCreateKeyExA", "RegSetValueExA",  "RegDeleteKeyA",
                                "RegDeleteValueA", "AddMonitorA",       "AddPrintProcessorA", "AddPrinterDriverA",
                                "AddPrinterA",     "ShellExecuteA",     "WritePrivateProfileStringA"};

TEST(MediumArchitectureCheckTest, AProgramFileMissingOrNotBuiltForX64IsRefusedByNameBeforeAnyChange) {
    const std::string head = "M cannot be installed on 64-bit Windows from this medium; ";
    const Machine x64 = Machine::sixtyFourBit(Machine::windows10());
    struct Row {
        const char* what;
        Machine machine;
        const char* port;
        int flavour;
        std::function<void(X64Medium&)> arrange;
        std::string refusal;  // empty: prepared
    } rows[] = {
        {"complete, a USB port", x64, "USB_M_1", config::kStd, nullptr, ""},
        {"complete, raster: the Unidrv files and the print processor are Windows'", x64, "LPT1:", config::kGdi,
         nullptr, ""},
        {"no X64 folder, a parallel port: the driver's files and the processor, no monitor", x64, "LPT1:",
         config::kStd, [](X64Medium& m) { m.withoutX64(); },
         head + "its X64 folder lacks DRV.DLL, DRVUI.DLL, MPROC.DLL."},
        {"raster without the plug-in", x64, "LPT1:", config::kGdi,
         [](X64Medium& m) { m.sim.files().remove("C:\\MEDIUM\\X64\\MUNI.DLL"); },
         head + "its X64 folder lacks MUNI.DLL."},
        {"a serial port without its monitor's UI", x64, "HVCOM2:", config::kStd,
         [](X64Medium& m) { m.sim.files().remove("C:\\MEDIUM\\X64\\SERUI.DLL"); },
         head + "its X64 folder lacks SERUI.DLL."},
        {"a parallel port needs no serial monitor", x64, "LPT1:", config::kStd,
         [](X64Medium& m) { m.sim.files().remove("C:\\MEDIUM\\X64\\SERUI.DLL"); }, ""},
        {"a USB port without the language monitor, nor the serial monitor it does not need", x64, "USB_M_1",
         config::kStd,
         [](X64Medium& m) {
             for (const char* file : {"LMON.DLL", "SER.DLL"})
                 m.sim.files().remove(std::string("C:\\MEDIUM\\X64\\") + file);
         },
         head + "its X64 folder lacks LMON.DLL."},
        {"builds for other machines and files that are none", x64, "USB_M_1", config::kStd,
         [](X64Medium& m) {
             m.sim.files().writeFile("C:\\MEDIUM\\X64\\DRV.DLL", std::string("content of DRV.DLL"));
             m.sim.files().writeFile("C:\\MEDIUM\\X64\\DRVUI.DLL", cutShortImage());
             m.sim.files().writeFile("C:\\MEDIUM\\X64\\USBPM.DLL", image(IMAGE_FILE_MACHINE_I386));
             m.sim.files().writeFile("C:\\MEDIUM\\X64\\LMON.DLL", image(IMAGE_FILE_MACHINE_ARM64));
         },
         head.substr(0, head.size() - 2) + "; X64\\DRV.DLL is not a program file; X64\\DRVUI.DLL is not a program file"
                                           "; X64\\USBPM.DLL is built for x86, not for x64"
                                           "; X64\\LMON.DLL is built for ARM64, not for x64."},
        {"a file that cannot be read", x64, "LPT1:", config::kStd,
         [](X64Medium& m) { m.sim.faults().fail("CreateFileA", ERROR_SHARING_VIOLATION).when("X64\\MPROC.DLL"); },
         head.substr(0, head.size() - 2) + "; X64\\MPROC.DLL cannot be read (error 32)."},
        // The install sequence refuses such a name before it copies anything.
        {"a name that reaches out of its folder is looked for nowhere", x64, "LPT1:", config::kGdi,
         [](X64Medium& m) {
             const std::string outside = std::string("GDIDataFileDLLName=..\\MRES.DLL\r\n") + kRasterKeys;
             m.write(kCategoryFile,
                     "[M.PORT]\r\nSystemWin7Supported=1\r\n" + InstallScenario::modelSections(outside));
             m.sim.files().writeFile("C:\\MEDIUM\\MRES.DLL", image(IMAGE_FILE_MACHINE_I386));
         },
         ""},
        // 32-bit Windows takes W32's files as it always has, whatever they are.
        {"32-bit Windows 10 without X64", Machine::windows10(), "USB_M_1", config::kStd,
         [](X64Medium& m) { m.withoutX64(); }, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        X64Medium medium(row.machine);
        medium.sim.desktop().onShellExecute = [](const os::sim::Desktop::ShellRun&) {
            return reinterpret_cast<HINSTANCE>(42);
        };
        if (row.arrange) row.arrange(medium);
        medium.sim.clearJournal();
        const bool prepared = medium.prepare(row.port, row.flavour);
        EXPECT_EQ(prepared, row.refusal.empty());
        EXPECT_EQ(medium.job.refusedAsNotSupported, !row.refusal.empty());
        if (prepared) {
            EXPECT_TRUE(medium.messages().empty());
            continue;
        }
        ASSERT_EQ(medium.messages(), std::vector<std::string>{row.refusal});
        EXPECT_EQ(medium.sim.desktop().messageBoxes().back().owner, reinterpret_cast<HWND>(0x4242));
        for (const char* change : kChanges) EXPECT_TRUE(medium.sim.calls(change).empty()) << change;
        EXPECT_TRUE(medium.sim.usb().at(0)->received.empty());
    }
}

}  // namespace
