// A machine with a complete medium for one model "M" of the receipt
// category, and an install job prepared for it the way the install command
// prepares one.
#pragma once

#include <atomic>

#include "install/ComponentInstallers.h"
#include "install/InstallJob.h"
#include "install/InstallPreparation.h"
#include "support/EngineFixture.h"
#include "support/MonitorImage.h"

namespace testing_support {

inline os::sim::Machine machineFor(int targetOs) {
    using os::sim::Machine;
    switch (targetOs) {
        case 0: return Machine::windows98();
        case 1: return Machine::windowsNt4();
        case 2: return Machine::windows2000();
        case 3: return Machine::windowsXp();
        case 4: return Machine::windows2003();
        case 5: return Machine::windowsVista();
        case 6: return Machine::windows2008();
        default: return Machine::windows7();
    }
}

// The machine, its medium and the job; usable outside a test, by the benchmark.
class InstallScenario : public EngineMachine {
public:
    explicit InstallScenario(int targetOs = 3) : EngineMachine(machineFor(targetOs)), targetOs_(targetOs) {
        writeConfiguration();
        writeMedium();
        auto& ports = sim.spooler().monitorDllPorts;
        for (const char* dll : {"SER.DLL", "nSER.DLL"}) ports[dll] = {"HVCOM1:", "HVCOM2:", "HVCOM3:"};
        for (const char* dll : {"USBPM.DLL", "nUSBPM.DLL"}) ports[dll] = {"USB_M_1", "USB_M_2"};
    }

    // With the stand-in printers' command signature, or without one.
    static std::string monitorSections(const char* usbSignature = "50 4C 48 44") {
        std::string text = "[DEVICENAME]\r\nDEVICENUMBER=1\r\nDEVICENAME1=M-ReceiptPrinter\r\n"
                           "[ProcessorVersion]\r\nDriverVersion=2\r\n";
        if (usbSignature) text += std::string("[USBIDENTITY]\r\nSIGNATURE=") + usbSignature + "\r\n";
        for (const char* os : {"98", "NT", "2K", "XP", "2003", "Vista", "2008", "Win7"}) {
            text += std::string("[COMMON-MONITOR.") + os + "]\r\n";
            text += "COMMONitorPName=Serial Mon\r\nCOMMONitorPDLLName=SER.DLL\r\n"
                    "COMMONitorPUIDLLName=SERUI.DLL\r\nCOMMONitorVersion=3\r\n"
                    "USBMONitorPName=Usb Mon\r\nUSBMONitorPDLLName=USBPM.DLL\r\n"
                    "USBMONitorPUIDLLName=USBUI.DLL\r\nUSBMONitorVersion=3\r\n"
                    "USBLMONitorName=Stand-in Language Monitor\r\nUSBLMONitorDLLName=LMON.DLL\r\nUSBLMONitorVersion=2\r\n";
        }
        return text;
    }

    // The model's sections; `extra` keys come first, so they win over the
    // defaults that follow them.
    static std::string modelSections(const std::string& extra = "") {
        std::string text = "[M.PORT]\r\nUSBSUPPORTED=1\r\nLPTSUPPORTED=1\r\nCOMSUPPORTED=1\r\n";
        for (const char* os : {"98", "NT", "2K", "XP", "2003", "Vista", "2008", "Win7"}) {
            text += std::string("[M.") + os + "]\r\n" + extra;
            text += "GDIDriverName=M Old\r\nDriverNameS=M Serial\r\nDriverNameP=M Parallel\r\n"
                    "DriverNameU=M USB\r\nSTDDriverPath=DRV.DLL\r\nSTDDataFile=M.GPD\r\n"
                    "STDConfigFile=DRVUI.DLL\r\nSTDHelpFile=DRV.HLP\r\nSTDProcessorDLLName=MPROC.DLL\r\n"
                    "STDPrintProcessor=MProc\r\nSTD2KDDKDEV=0\r\nGDI2KDDKDEV=0\r\nATTRIBUTES=0\r\n";
        }
        return text;
    }

    void writeConfiguration(const std::string& extraModelKeys = "") {
        write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", monitorSections());
        write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", modelSections(extraModelKeys));
    }

    void writeMedium() {
        // The Windows build makes the stand-in; a native build alone has the
        // smallest image the spooler accepts.
        std::vector<uint8_t> monitor = testData("standin-monitor.dll");
        if (monitor.empty()) monitor = minimalMonitorImage();
        // The medium's copies carry a mark, to tell them from installed ones.
        const std::string mark = "medium copy";
        monitor.insert(monitor.end(), mark.begin(), mark.end());
        for (const char* dll : {"SER.DLL", "USBPM.DLL", "LMON.DLL"})
            sim.files().writeFile("C:\\MEDIUM\\W32\\" + std::string(dll), monitor);
        // Windows 98/Me also takes ICONLIB.DLL and UNIDRV.DLL from the medium.
        for (const char* file : {"SERUI.DLL", "USBUI.DLL", "MPROC.DLL", "DRV.DLL", "M.GPD", "DRVUI.DLL",
                                 "DRV.HLP", "ICONLIB.DLL", "UNIDRV.DLL"})
            onMedium(file, std::string("content of ") + file);
    }

    // The job as the install command assembles it for a port.
    install::InstallJob& prepare(const std::string& port, int flavour = config::kStd) {
        install::InstallSelection& s = job.selection;
        s.targetOs = targetOs_;
        s.category = 0;
        s.modelName = "M";
        s.portName = port;
        s.flavour = flavour;
        s.portKind = port.find("USB_") != std::string::npos ? config::kUsb
                     : port.find("COM") != std::string::npos ? config::kSerial
                                                              : config::kParallel;
        s.baudRate = 9600;
        job.config.setCategory(0);
        job.files = config::DriverFileList();
        job.driver = DRIVER_INFO_3A();
        job.printer = PRINTER_INFO_2A();
        job.config.buildFileList("M", targetOs_, &job.files, flavour);
        job.config.buildDriverDescriptor("M", targetOs_, &job.driver, flavour, s.portKind);
        job.config.buildPrinterDescriptor("M", targetOs_, &job.printer, flavour, s.portKind);
        job.setPrinterPort(port);
        config::LanguageMonitorDescriptor monitor;
        job.config.buildLanguageMonitor(targetOs_, &monitor, s.portKind);
        job.keepLanguageMonitor(monitor.info);
        const char* suffix = s.portKind == config::kSerial ? "(S)" : s.portKind == config::kParallel ? "(P)" : "(U) 1";
        if (s.portKind == config::kUsb) job.driver.pMonitorName = job.languageMonitor.pName;
        job.setPrinterName(std::string("M") + suffix);
        return job;
    }

    // What the wizard's pages leave in the job before Install is pressed.
    void select(int targetOs, const std::string& port, int mode = 1, const std::string& model = "M",
                int flavour = config::kStd) {
        install::InstallSelection& s = job.selection;
        s.targetOs = targetOs;
        s.category = 0;
        s.modelName = model;
        s.installMode = mode;
        s.portName = port;
        s.flavour = flavour;
        job.config.setCategory(0);
    }
    // Install pressed: the selection prepared as the install command prepares
    // it, its boxes owned by the wizard (0x4242).
    bool prepareForInstall(int runningOs) {
        install::PreparationContext context;
        context.owner = reinterpret_cast<HWND>(0x4242);
        context.categoryPath = "C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini";
        context.runningOs = runningOs;
        return install::prepareInstallation(job, context);
    }

    // Runs the sequence; true when it succeeded.
    bool install() {
        install::InstallMessage().clear();
        install::WorkerParams params{&job, &status};
        install::InstallWorker(&params);
        return status.load() == install::kInstallSucceeded;
    }
    std::string message() { return install::InstallMessage(); }

    DWORD installedVersion(const std::string& key) {
        return sim.registry().getDword(HKEY_LOCAL_MACHINE, key, "DriverVersion");
    }
    std::string driverValue(const std::string& key) {
        return sim.registry().getString(HKEY_LOCAL_MACHINE, key, "Driver");
    }
    int targetOs_;
    install::InstallJob job;
    std::atomic<int> status{install::kInstallRunning};
};

class InstallTest : public ::testing::Test, public InstallScenario {
protected:
    explicit InstallTest(int targetOs = 3) : InstallScenario(targetOs) {}

    // A monitor of an older version installed before, its DLL loaded by the spooler.
    void installedOlderMonitor(const std::string& name, const std::string& dll) {
        sim.files().writeFile(systemDirectory() + "\\" + dll, testData("standin-monitor.dll"));
        std::string monitorName = name, dllName = dll;
        MONITOR_INFO_2A info = {&monitorName[0], nullptr, &dllName[0]};
        ASSERT_TRUE(sim.AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&info))) << sim.GetLastError();
        sim.registry().setDword(HKEY_LOCAL_MACHINE, install::monitorKey(name), "DriverVersion", 1);
    }
    // A print processor of an older version installed before.
    void installedOlderProcessor(const std::string& name, const std::string& dll) {
        write(processorDirectory() + "\\" + dll, "old processor");
        std::string processorName = name, dllName = dll;
        ASSERT_TRUE(sim.AddPrintProcessorA(nullptr, nullptr, &dllName[0], &processorName[0]))
            << sim.GetLastError();
        sim.registry().setDword(HKEY_LOCAL_MACHINE, install::processorKey(targetOs_, name),
                                "DriverVersion", 1);
    }

};

}  // namespace testing_support
