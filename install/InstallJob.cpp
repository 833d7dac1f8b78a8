#include "install/InstallJob.h"

namespace install {

void InstallJob::keepLanguageMonitor(const MONITOR_INFO_2A& monitor) {
    monitorName_ = monitor.pName ? monitor.pName : "";
    monitorHasEnvironment_ = monitor.pEnvironment != nullptr;
    monitorEnvironment_ = monitorHasEnvironment_ ? monitor.pEnvironment : "";
    monitorDll_ = monitor.pDLLName ? monitor.pDLLName : "";
    languageMonitor.pName = &monitorName_[0];
    // No environment means the spooler's own; keep it that way.
    languageMonitor.pEnvironment = monitorHasEnvironment_ ? &monitorEnvironment_[0] : nullptr;
    languageMonitor.pDLLName = &monitorDll_[0];
}

void InstallJob::setPrinterPort(const std::string& port) {
    printerPort_ = port;
    printer.pPortName = &printerPort_[0];
}

void InstallJob::setPrinterName(const std::string& name) {
    printerName_ = name;
    printer.pPrinterName = &printerName_[0];
}

}  // namespace install
