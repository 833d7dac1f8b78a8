#include "install/UsbPortRegistry.h"

#include "config/ConfigNames.h"
#include "config/ProfileValues.h"
#include "install/RegistryKey.h"
#include "os/World.h"

namespace install {

const char* const kPortNameKey = "SOFTWARE\\HALVERN\\PORTNAME\\";
const char* const kPrinterPortKey = "SOFTWARE\\HALVERN\\PRINTERPORT\\";

std::string spoolerPortName(const std::string& portName) {
    if (portName.find("KPX-D7") == std::string::npos) return portName;
    return "USB_KPX-D7_" + portName.substr(portName.size() - 1);
}

REGSAM portRecordView() { return os::nativeRegistryView(os::machineArchitecture()); }

void RegisterUsbPort(const std::string& portName) {
    const std::string setupIni = config::moduleDirectory() + config::kSetupFile;
    UINT value = os::sys().GetPrivateProfileIntA("SUPPORTED-USB-DEVICE", portName.c_str(), 0,
                                                 setupIni.c_str());
    const REGSAM view = portRecordView();
    RegistryKey key;
    if (OpenOrCreate(&key, HKEY_LOCAL_MACHINE, kPortNameKey, view)) key.SetDword(portName, value);
    key.Close();
    if (OpenOrCreate(&key, HKEY_LOCAL_MACHINE, kPrinterPortKey, view)) {
        for (const char* slot : {"D1", "D2", "D3", "D4", "D5", "D6", "D7", "D8"})
            key.SetDword(slot, 0);
    }
}

}  // namespace install
