// The descriptor builders of DriverConfig.
#include "config/Descriptors.h"
#include "os/World.h"

#include "config/DriverConfig.h"
#include "config/ProfileValues.h"

namespace config {
namespace {

// cVersion of the driver record by target system: Windows 98/Me drivers are
// version 0, NT 4.0 drivers version 2, later ones version 3.
DWORD driverVersion(int targetOs) {
    if (targetOs == 1) return 2;
    if (targetOs >= 2 && targetOs <= 7) return 3;
    return 0;
}

bool isNtFamilyFrom2000(int targetOs) { return targetOs >= 2 && targetOs <= 7; }

// The NT family's records name the machine's own environment on 64-bit
// Windows, where the spooler would otherwise take the caller's, x86.
LPSTR environmentFor(int targetOs) {
    return targetOs >= 1 && targetOs <= 7 ? os::spoolerEnvironment() : windows40Environment();
}

LPSTR text(std::string& buffer) { return &buffer[0]; }

// Appends a name and its terminating zero to a list of names.
void appendName(std::string* list, const std::string& name) {
    list->append(name);
    list->push_back('\0');
}

}  // namespace

LPSTR windows40Environment() {
    static char environment[] = "Windows 4.0";
    return environment;
}

LPSTR emptyText() {
    static char empty[1] = {'\0'};
    return empty;
}

std::string DriverConfig::readModelValue(const std::string& section, const std::string& key,
                                         size_t room) {
    return readValue(currentCategoryPath_, section, key, room);
}

std::string DriverConfig::readMonitorValue(int targetOs, const std::string& key, size_t room,
                                           unsigned* length) {
    return readValue(setupPath_, monitorSection(targetOs), key, room, length);
}

std::string DriverConfig::driverNameKey(int targetOs, int portKind) {
    if (!isNtFamilyFrom2000(targetOs)) return "GDIDriverName";
    if (portKind == kSerial) return "DriverNameS";
    if (portKind == kParallel) return "DriverNameP";
    return "DriverNameU";
}

std::string DriverConfig::flavourKey(int flavour, const std::string& name) {
    return (flavour == kGdi ? "GDI" : "STD") + name;
}

void DriverConfig::buildDriverDescriptor(const std::string& model, int targetOs,
                                         DRIVER_INFO_3A* record, int flavour, int portKind) {
    const std::string section = modelSection(model, targetOs);
    record->cVersion = driverVersion(targetOs);
    useCategoryFile();
    DriverBuffers& b = driver_;
    b.name = readModelValue(section, driverNameKey(targetOs, portKind), kNameRoom);
    b.driverPath = readModelValue(section, flavourKey(flavour, "DriverPath"), kFileRoom);
    b.dataFile = readModelValue(section, flavourKey(flavour, "DataFile"), kFileRoom);
    b.helpFile = readModelValue(section, flavourKey(flavour, "HelpFile"), kFileRoom);
    b.configFile = readModelValue(section, flavourKey(flavour, "ConfigFile"), kFileRoom);
    b.dataDll = readModelValue(section, flavourKey(flavour, "DataFileDLLName"), kFileRoom);
    b.uiPlugin = readModelValue(section, flavourKey(flavour, "DataOemuiDLL"), kFileRoom);
    b.renderPlugin = readModelValue(section, flavourKey(flavour, "DataOemuniDLL"), kFileRoom);
    b.pluginSettings = readModelValue(section, flavourKey(flavour, "DataOemuniini"), kFileRoom);
    record->pEnvironment = environmentFor(targetOs);
    record->pName = text(b.name);
    record->pDriverPath = text(b.driverPath);
    record->pDataFile = text(b.dataFile);
    record->pConfigFile = text(b.configFile);
    record->pHelpFile = text(b.helpFile);

    // The Unidrv support files: GDI2KDDKDEV decides in both flavours. The
    // list grows as needed rather than being cut at a fixed size.
    int needsUnidrv = parseDecimal(readModelValue(section, "GDI2KDDKDEV", kIntegerRoom));
    b.dependentFiles.clear();
    if (needsUnidrv != 0 && isNtFamilyFrom2000(targetOs)) {
        appendName(&b.dependentFiles, b.dataFile);
        appendName(&b.dependentFiles, "TTFSUB.GPD");
        appendName(&b.dependentFiles, "UNIRES.DLL");
        appendName(&b.dependentFiles, "STDNAMES.GPD");
        for (const std::string* extra : {&b.dataDll, &b.uiPlugin, &b.renderPlugin, &b.pluginSettings})
            if (!isNone(*extra)) appendName(&b.dependentFiles, *extra);
    }
    // An empty list is two zero characters; a built one ends with one more.
    b.dependentFiles.append(b.dependentFiles.empty() ? 2 : 1, '\0');
    record->pDependentFiles = text(b.dependentFiles);
}

void DriverConfig::buildPrinterDescriptor(const std::string& model, int targetOs,
                                          PRINTER_INFO_2A* record, int flavour, int portKind) {
    const std::string section = modelSection(model, targetOs);
    useCategoryFile();
    PrinterBuffers& b = printer_;
    std::string key = driverNameKey(targetOs, portKind);
    if (key == "GDIDriverName") key = "GDIDRIVERNAME";
    b.driverName = readModelValue(section, key, kNameRoom);
    b.printProcessor = readModelValue(section, flavourKey(flavour, "PrintProcessor"), kNameRoom);
    std::string attributes = readModelValue(section, "ATTRIBUTES", kNameRoom);
    record->Attributes = static_cast<DWORD>(parseDecimal(attributes));
    record->pDriverName = text(b.driverName);
    record->pPrintProcessor = text(b.printProcessor);
    setPrinterName(record, model);
}

void DriverConfig::setPrinterName(PRINTER_INFO_2A* record, const std::string& name) {
    printer_.printerName = name;
    record->pPrinterName = text(printer_.printerName);
}

void DriverConfig::buildFileList(const std::string& model, int targetOs, DriverFileList* list,
                                 int flavour) {
    const std::string section = modelSection(model, targetOs);
    useCategoryFile();
    auto read = [&](const std::string& key) { return readModelValue(section, key, kFileRoom); };
    list->data = read(flavourKey(flavour, "DataFile"));
    list->config = read(flavourKey(flavour, "ConfigFile"));
    list->help = read(flavourKey(flavour, "HelpFile"));
    list->processor = read(flavourKey(flavour, "ProcessorDLLName"));
    list->driver = read(flavourKey(flavour, "DriverPath"));
    list->dataDll = read(flavourKey(flavour, "DataFileDLLName"));
    list->uiPlugin = read(flavourKey(flavour, "DataOemuiDLL"));
    list->pluginDll = read(flavourKey(flavour, "DataOemuniDLL"));
    list->pluginSettings = read(flavourKey(flavour, "DataOemuniini"));
    list->fontFile = read("ControlFontFile");
    list->usbIdentityFile = read("USBInternalID");
}

void DriverConfig::buildLanguageMonitor(int targetOs, LanguageMonitorDescriptor* record,
                                        int portKind) {
    if (portKind != kUsb) {
        record->info.pName = emptyText();
        record->info.pDLLName = emptyText();
        return;
    }
    unsigned nameLength = 0, dllLength = 0, versionLength = 0;
    LanguageMonitorBuffers& b = languageMonitor_;
    b.name = readMonitorValue(targetOs, "USBLMONitorName", kNameRoom, &nameLength);
    b.dll = readMonitorValue(targetOs, "USBLMONitorDLLName", kFileRoom, &dllLength);
    std::string version = readMonitorValue(targetOs, "USBLMONitorVersion", kIntegerRoom, &versionLength);
    // Each key read back as one character, as the default "0" does: no monitor.
    if (nameLength == 1 && dllLength == 1 && versionLength == 1) {
        record->info.pName = emptyText();
        record->info.pDLLName = emptyText();
        record->version = 0;
    } else {
        record->version = parseDecimal(version);
        record->info.pName = text(b.name);
        record->info.pDLLName = text(b.dll);
    }
    record->info.pEnvironment = environmentFor(targetOs);
}

void DriverConfig::buildPortMonitors(int targetOs, PortMonitorSet* record) {
    PortMonitorBuffers& b = portMonitors_;
    b.usbName = readMonitorValue(targetOs, "USBMONitorPName", kNameRoom);
    b.usbDll = readMonitorValue(targetOs, "USBMONitorPDLLName", kFileRoom);
    record->usbUiDll = readMonitorValue(targetOs, "USBMONitorPUIDLLName", kNameRoom);
    record->usbVersion = parseDecimal(readMonitorValue(targetOs, "USBMONitorVersion", kIntegerRoom));
    b.serialName = readMonitorValue(targetOs, "COMMONitorPName", kNameRoom);
    b.serialDll = readMonitorValue(targetOs, "COMMONitorPDLLName", kFileRoom);
    record->serialUiDll = readMonitorValue(targetOs, "COMMONitorPUIDLLName", kNameRoom);
    record->serialVersion = parseDecimal(readMonitorValue(targetOs, "COMMONitorVersion", kIntegerRoom));
    record->serial.pName = text(b.serialName);
    record->serial.pEnvironment = environmentFor(targetOs);
    record->serial.pDLLName = text(b.serialDll);
    record->usb.pName = text(b.usbName);
    record->usb.pEnvironment = environmentFor(targetOs);
    record->usb.pDLLName = text(b.usbDll);
}

}  // namespace config
