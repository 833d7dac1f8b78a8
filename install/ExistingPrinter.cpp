#include "install/ExistingPrinter.h"

#include <algorithm>
#include <vector>

#include "config/AsciiCase.h"
#include "install/InstallLog.h"
#include "install/InstalledDrivers.h"
#include "os/Os.h"

namespace install {

bool localPrinterNames(std::vector<std::string>* names) {
    DWORD needed = 0, returned = 0;
    if (!os::sys().EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &returned) &&
        os::sys().GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return false;
    if (needed == 0) return true;
    std::vector<BYTE> buffer(needed);
    if (!os::sys().EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, buffer.data(), needed, &needed, &returned))
        return false;
    const auto* printers = reinterpret_cast<const PRINTER_INFO_4A*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i)
        if (printers[i].pPrinterName) names->push_back(printers[i].pPrinterName);
    return true;
}

DWORD readPrinterRecord(const std::string& name, PrinterRecord* record) {
    std::string printerName = name;
    PRINTER_DEFAULTSA defaults = {nullptr, nullptr, PRINTER_ACCESS_USE};
    HANDLE printer = nullptr;
    if (!os::sys().OpenPrinterA(&printerName[0], &printer, &defaults)) return os::sys().GetLastError();
    DWORD needed = 0, error = ERROR_SUCCESS;
    os::sys().GetPrinterA(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed < sizeof(PRINTER_INFO_2A) || !os::sys().GetPrinterA(printer, 2, buffer.data(), needed, &needed)) {
        error = os::sys().GetLastError();
        if (error == ERROR_SUCCESS) error = ERROR_INVALID_DATA;
    } else {
        const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
        record->port = info->pPortName ? info->pPortName : "";
        record->driver = info->pDriverName ? info->pDriverName : "";
        record->processor = info->pPrintProcessor ? info->pPrintProcessor : "";
    }
    os::sys().ClosePrinter(printer);
    return error;
}

bool isModelDriver(const ModelParts& parts, const std::string& driver, os::Architecture architecture) {
    auto own = std::find_if(parts.drivers.begin(), parts.drivers.end(), [&](const ModelParts::Driver& d) {
        return config::equalIgnoringCase(d.name, driver);
    });
    if (own == parts.drivers.end()) return false;
    std::vector<InstalledDriver> installed;
    if (!installedDrivers(&installed, architecture)) return false;
    bool found = false;
    for (const InstalledDriver& record : installed) {
        if (!config::equalIgnoringCase(record.name, driver)) continue;
        if (std::find(own->fileLists.begin(), own->fileLists.end(), record.files) == own->fileLists.end())
            return false;
        found = true;
    }
    return found;
}

bool printerIsTheModelsInstallation(const InstallJob& job) {
    const std::string name = job.printer.pPrinterName ? job.printer.pPrinterName : "";
    const std::string port = job.printer.pPortName ? job.printer.pPortName : "";
    PrinterRecord found;
    const DWORD error = readPrinterRecord(name, &found);
    if (error == ERROR_INVALID_PRINTER_NAME) return false;
    const std::string added = ": it is not this model's installation, and the printer is added as at a first installation";
    if (error != ERROR_SUCCESS) {
        logStep("printer " + name + " exists but could not be read (system error " + std::to_string(error) + ")" +
                added);
        return false;
    }
    if (!config::equalIgnoringCase(found.port, port)) {
        logStep("printer " + name + " exists on " + found.port + ", not on " + port + added);
        return false;
    }
    // A configuration of its own: building records refills the buffers the
    // job's records point into.
    config::DriverConfig config;
    config.setCategory(job.selection.category);
    const ModelParts parts = readModelParts(config, job.selection.modelName, job.selection.targetOs);
    if (!isModelDriver(parts, found.driver)) {
        logStep("printer " + name + " on " + port + " prints through " + found.driver + ", which is not a driver of " +
                job.selection.modelName + " from this medium" + added);
        return false;
    }
    logStep("printer " + name + " on " + port + " is there already, printing through " + found.driver +
            ": it is kept, and no printer is added");
    return true;
}

}  // namespace install
