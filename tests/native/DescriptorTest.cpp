// The records built for a model, target system, flavour and port kind.
#include <cstring>

#include "config/DriverConfig.h"
#include "support/SimMachine.h"

using config::DriverConfig;
using testing_support::SimMachineTest;

namespace {

// The names of a zero-separated list that ends with an empty name.
std::vector<std::string> dependentNames(const char* list) {
    std::vector<std::string> names;
    while (*list) {
        names.push_back(list);
        list += std::strlen(list) + 1;
    }
    return names;
}

const char* const kModelSections =
    "[M.98]\r\nGDIDriverName=M 98\r\nDriverNameU=unused\r\nGDIDriverPath=D98.DRV\r\n"
    "GDI2KDDKDEV=1\r\nATTRIBUTES=0x10\r\n"
    "[M.NT]\r\nGDIDriverName=M NT\r\nSTDDriverPath=DNT.DLL\r\n"
    "[M.XP]\r\nDriverNameS=M Serial\r\nDriverNameP=M Parallel\r\nDriverNameU=M USB\r\n"
    "STDDriverPath=STD.DLL\r\nSTDDataFile=STD.GPD\r\nSTDConfigFile=STDUI.DLL\r\nSTDHelpFile=STD.HLP\r\n"
    "GDIDriverPath=UNIDRV.DLL\r\nGDIDataFile=M.GPD\r\nGDIConfigFile=UNIDRVUI.DLL\r\n"
    "GDIHelpFile=UNIDRV.HLP\r\nGDIDataFileDLLName=MRES.DLL\r\nGDIDataOemuiDLL=0\r\n"
    "GDIDataOemuniDLL=MUNI.DLL\r\nGDIDataOemuniini=MUNI.INI\r\nGDIProcessorDLLName=MPROC.DLL\r\n"
    "GDIPrintProcessor=MProc\r\nSTDPrintProcessor=WinPrint\r\nGDI2KDDKDEV=1\r\nSTD2KDDKDEV=0\r\n"
    "ATTRIBUTES=16 \r\nControlFontFile=MFONT.BIN\r\nUSBInternalID=0\r\n"
    "[M.2K]\r\nDriverNameP=M 2K\r\nSTDDataFile=S2K.GPD\r\nGDI2KDDKDEV=0\r\nSTD2KDDKDEV=1\r\n"
    "[M.Win7]\r\nDriverNameP=M 7\r\nSTDDataFile=S7.GPD\r\nGDI2KDDKDEV=1\r\n";

}  // namespace

class DescriptorTest : public SimMachineTest {
protected:
    void SetUp() override {
        write("C:\\MEDIUM\\DRVCONFIG\\setup_ticket.ini", kModelSections);
        config.setCategory(1);
    }
    DriverConfig config;
};

TEST_F(DescriptorTest, WindowsXpUsbGdiDriverRecord) {
    DRIVER_INFO_3A record = {};
    config.buildDriverDescriptor("M", 3, &record, config::kGdi, config::kUsb);
    EXPECT_EQ(record.cVersion, 3u);
    EXPECT_STREQ(record.pName, "M USB");
    EXPECT_EQ(record.pEnvironment, nullptr);
    EXPECT_STREQ(record.pDriverPath, "UNIDRV.DLL");
    EXPECT_STREQ(record.pDataFile, "M.GPD");
    EXPECT_STREQ(record.pConfigFile, "UNIDRVUI.DLL");
    EXPECT_STREQ(record.pHelpFile, "UNIDRV.HLP");
    EXPECT_EQ(record.pMonitorName, nullptr);
    EXPECT_EQ(record.pDefaultDataType, nullptr);
    EXPECT_EQ(dependentNames(record.pDependentFiles),
              (std::vector<std::string>{"M.GPD", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD",
                                        "MRES.DLL", "MUNI.DLL", "MUNI.INI"}));
    EXPECT_EQ(config.currentCategoryPath(), "C:\\MEDIUM\\DRVCONFIG\\setup_ticket.ini");
}

TEST_F(DescriptorTest, DriverNameFollowsThePortFrom2000On) {
    DRIVER_INFO_3A record = {};
    config.buildDriverDescriptor("M", 3, &record, config::kStd, config::kSerial);
    EXPECT_STREQ(record.pName, "M Serial");
    config.buildDriverDescriptor("M", 3, &record, config::kStd, config::kParallel);
    EXPECT_STREQ(record.pName, "M Parallel");
    EXPECT_STREQ(record.pDriverPath, "STD.DLL");
}

TEST_F(DescriptorTest, NinetyEightUsesItsOwnEnvironmentAndNoDependentFiles) {
    DRIVER_INFO_3A record = {};
    config.buildDriverDescriptor("M", 0, &record, config::kGdi, config::kUsb);
    EXPECT_EQ(record.cVersion, 0u);
    EXPECT_STREQ(record.pEnvironment, "Windows 4.0");
    EXPECT_STREQ(record.pName, "M 98");
    EXPECT_STREQ(record.pDriverPath, "D98.DRV");
    EXPECT_STREQ(record.pDataFile, "0");  // a missing key reads "0"
    EXPECT_EQ(record.pDependentFiles[0], '\0');
    EXPECT_EQ(record.pDependentFiles[1], '\0');
}

TEST_F(DescriptorTest, Nt4IsVersionTwoWithTheSpoolersOwnEnvironment) {
    DRIVER_INFO_3A record = {};
    config.buildDriverDescriptor("M", 1, &record, config::kStd, config::kSerial);
    EXPECT_EQ(record.cVersion, 2u);
    EXPECT_EQ(record.pEnvironment, nullptr);
    EXPECT_STREQ(record.pName, "M NT");
}

TEST_F(DescriptorTest, TheGdiKeyDecidesTheDependentFilesInBothFlavours) {
    DRIVER_INFO_3A record = {};
    config.buildDriverDescriptor("M", 7, &record, config::kStd, config::kParallel);
    // All four extra keys missing: only the data file and the three Unidrv files.
    EXPECT_EQ(dependentNames(record.pDependentFiles),
              (std::vector<std::string>{"S7.GPD", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD"}));
    config.buildDriverDescriptor("M", 2, &record, config::kStd, config::kParallel);
    EXPECT_TRUE(dependentNames(record.pDependentFiles).empty()) << "STD2KDDKDEV alone decides nothing";
}

TEST_F(DescriptorTest, ALongDependentListIsKeptWhole) {
    std::string longName(190, 'L');
    write("C:\\MEDIUM\\DRVCONFIG\\setup_ticket.ini",
          "[M.XP]\r\nGDIDataFile=" + longName + "\r\nGDIDataFileDLLName=" + longName +
              "\r\nGDI2KDDKDEV=1\r\n");
    DRIVER_INFO_3A record = {};
    config.buildDriverDescriptor("M", 3, &record, config::kGdi, config::kUsb);
    auto names = dependentNames(record.pDependentFiles);
    ASSERT_EQ(names.size(), 5u);
    EXPECT_EQ(names.back(), longName);
}

TEST_F(DescriptorTest, PrinterRecord) {
    PRINTER_INFO_2A record = {};
    record.Priority = 7;
    config.buildPrinterDescriptor("M", 3, &record, config::kGdi, config::kUsb);
    EXPECT_STREQ(record.pPrinterName, "M");
    EXPECT_STREQ(record.pDriverName, "M USB");
    EXPECT_STREQ(record.pPrintProcessor, "MProc");
    EXPECT_EQ(record.Attributes, 16u);  // "16 " reads as 16
    EXPECT_EQ(record.pPortName, nullptr);
    EXPECT_EQ(record.pDatatype, nullptr);
    EXPECT_EQ(record.Priority, 7u) << "fields the builder does not set stay as the caller left them";
    config.buildPrinterDescriptor("M", 0, &record, config::kStd, config::kSerial);
    EXPECT_STREQ(record.pDriverName, "M 98");
    EXPECT_EQ(record.Attributes, 0u);  // "0x10" reads as 0
    EXPECT_STREQ(record.pPrintProcessor, "0");
    config.buildPrinterDescriptor("M", 2, &record, config::kStd, config::kParallel);
    EXPECT_EQ(record.Attributes, 0u) << "missing ATTRIBUTES";
}

TEST_F(DescriptorTest, RecordsOfDifferentBuildersStayValidTogether) {
    DRIVER_INFO_3A driver = {};
    PRINTER_INFO_2A printer = {};
    config.buildDriverDescriptor("M", 3, &driver, config::kGdi, config::kSerial);
    config.buildPrinterDescriptor("M", 3, &printer, config::kGdi, config::kUsb);
    EXPECT_STREQ(driver.pName, "M Serial");
    EXPECT_STREQ(printer.pDriverName, "M USB");
    config.setPrinterName(&printer, "M(U) 1");
    EXPECT_STREQ(printer.pPrinterName, "M(U) 1");
}

TEST_F(DescriptorTest, FileList) {
    config::DriverFileList list;
    config.buildFileList("M", 3, &list, config::kGdi);
    EXPECT_EQ(list.driver, "UNIDRV.DLL");
    EXPECT_EQ(list.data, "M.GPD");
    EXPECT_EQ(list.config, "UNIDRVUI.DLL");
    EXPECT_EQ(list.help, "UNIDRV.HLP");
    EXPECT_EQ(list.processor, "MPROC.DLL");
    EXPECT_EQ(list.dataDll, "MRES.DLL");
    EXPECT_EQ(list.uiPlugin, "0");
    EXPECT_EQ(list.pluginDll, "MUNI.DLL");
    EXPECT_EQ(list.pluginSettings, "MUNI.INI");
    EXPECT_EQ(list.fontFile, "MFONT.BIN");
    EXPECT_EQ(list.usbIdentityFile, "0");
    config.buildFileList("M", 3, &list, config::kStd);
    EXPECT_EQ(list.driver, "STD.DLL");
    EXPECT_EQ(list.processor, "0");
    EXPECT_EQ(list.fontFile, "MFONT.BIN") << "the font file is read in both flavours";
}

class MonitorDescriptorTest : public SimMachineTest {
protected:
    void monitors(const std::string& sections) {
        write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", sections);
    }
    DriverConfig config;
};

TEST_F(MonitorDescriptorTest, LanguageMonitorOfAUsbPort) {
    monitors("[COMMON-MONITOR.XP]\r\nUSBLMONitorName=LM\r\nUSBLMONitorDLLName=LM.DLL\r\n"
             "USBLMONitorVersion=12\r\n[COMMON-MONITOR.98]\r\nUSBLMONitorName=LM98\r\n");
    config::LanguageMonitorDescriptor record;
    config.buildLanguageMonitor(3, &record, config::kUsb);
    EXPECT_STREQ(record.info.pName, "LM");
    EXPECT_STREQ(record.info.pDLLName, "LM.DLL");
    EXPECT_EQ(record.info.pEnvironment, nullptr);
    EXPECT_EQ(record.version, 12);
    // Name set, the other two keys missing: present, with DLL "0" and version 0.
    config.buildLanguageMonitor(0, &record, config::kUsb);
    EXPECT_STREQ(record.info.pName, "LM98");
    EXPECT_STREQ(record.info.pDLLName, "0");
    EXPECT_STREQ(record.info.pEnvironment, "Windows 4.0");
    EXPECT_EQ(record.version, 0);
}

TEST_F(MonitorDescriptorTest, LanguageMonitorAbsentWhenEveryKeyReadsOneCharacter) {
    monitors("[COMMON-MONITOR.XP]\r\nUSBLMONitorName=L\r\n");
    config::LanguageMonitorDescriptor record;
    record.version = 5;
    config.buildLanguageMonitor(3, &record, config::kUsb);
    EXPECT_STREQ(record.info.pName, "");
    EXPECT_STREQ(record.info.pDLLName, "");
    EXPECT_EQ(record.version, 0);
}

TEST_F(MonitorDescriptorTest, LanguageMonitorOfOtherPortsIsEmptyAndLeavesTheRest) {
    monitors("[COMMON-MONITOR.XP]\r\nUSBLMONitorName=LM\r\nUSBLMONitorDLLName=LM.DLL\r\n");
    config::LanguageMonitorDescriptor record;
    char environment[] = "kept";
    record.info.pEnvironment = environment;
    record.version = 9;
    config.buildLanguageMonitor(3, &record, config::kSerial);
    EXPECT_STREQ(record.info.pName, "");
    EXPECT_STREQ(record.info.pDLLName, "");
    EXPECT_EQ(record.info.pEnvironment, environment);
    EXPECT_EQ(record.version, 9);
}

TEST_F(MonitorDescriptorTest, PortMonitorsAreReadWhateverThePort) {
    monitors("[COMMON-MONITOR.2003]\r\nCOMMONitorPName=Serial Mon\r\nCOMMONitorPDLLName=SER.DLL\r\n"
             "COMMONitorPUIDLLName=SERUI.DLL\r\nCOMMONitorVersion=3\r\nUSBMONitorPName=Usb Mon\r\n"
             "USBMONitorPDLLName=USB.DLL\r\nUSBMONitorVersion=4x\r\n");
    config::PortMonitorSet set;
    config.buildPortMonitors(4, &set);
    EXPECT_STREQ(set.serial.pName, "Serial Mon");
    EXPECT_STREQ(set.serial.pDLLName, "SER.DLL");
    EXPECT_EQ(set.serial.pEnvironment, nullptr);
    EXPECT_EQ(set.serialUiDll, "SERUI.DLL");
    EXPECT_EQ(set.serialVersion, 3);
    EXPECT_STREQ(set.usb.pName, "Usb Mon");
    EXPECT_STREQ(set.usb.pDLLName, "USB.DLL");
    EXPECT_EQ(set.usbUiDll, "0");
    EXPECT_EQ(set.usbVersion, 4);
    config.buildPortMonitors(0, &set);
    EXPECT_STREQ(set.serial.pName, "0");
    EXPECT_STREQ(set.usb.pEnvironment, "Windows 4.0");
}

TEST_F(MonitorDescriptorTest, NamesAreCutToFortyNineCharacters) {
    monitors("[COMMON-MONITOR.XP]\r\nUSBMONitorPName=" + std::string(80, 'n') +
             "\r\nUSBMONitorPDLLName=" + std::string(80, 'd') + "\r\n");
    config::PortMonitorSet set;
    config.buildPortMonitors(3, &set);
    EXPECT_EQ(std::strlen(set.usb.pName), 49u);
    EXPECT_EQ(std::strlen(set.usb.pDLLName), 80u);
}
