#include "install/SerialSettings.h"

#include <cstdio>
#include <cstring>

#include "install/RegistryKey.h"
#include "os/Os.h"

namespace install {
namespace {

bool hasParity(char parity) { return parity == 'o' || parity == 'e' || parity == 'm' || parity == 's'; }

BYTE parityCode(char parity) {
    switch (parity) {
        case 'o':
            return ODDPARITY;
        case 'e':
            return EVENPARITY;
        case 'm':
            return MARKPARITY;
        case 's':
            return SPACEPARITY;
        default:
            return NOPARITY;
    }
}

BYTE stopBitsCode(double stopBits) {
    if (stopBits == 1.5) return ONE5STOPBITS;
    if (stopBits == 2.0) return TWOSTOPBITS;
    return ONESTOPBIT;
}

// The class keys of Windows 98/Me list the ports; "PortSubClass" 1 marks a
// serial one. `wanted` is 1 for the first serial port, 2 for the second.
void storeDcbInClassKey(int wanted, const DCB& dcb) {
    int serialSeen = 0;
    for (int i = 0; i < 4; ++i) {
        RegistryKey key;
        char path[64];
        std::snprintf(path, sizeof path, "System\\CurrentControlSet\\Services\\Class\\Ports\\000%d", i);
        key.Open(HKEY_LOCAL_MACHINE, path);
        BYTE subClass[3];
        key.GetBytes("PortSubClass", subClass, sizeof subClass);
        if (subClass[0] != 1 || ++serialSeen != wanted) continue;
        key.SetBytes("DCB", REG_NONE, reinterpret_cast<const BYTE*>(&dcb), sizeof dcb);
        return;
    }
}

}  // namespace

std::string serialSettingsText(const SerialSettings& s) {
    char text[64];
    const char* format = s.stopBits == 1.5 ? "%d,%c,%d,%.1f,%c" : "%d,%c,%d,%.0f,%c";
    std::snprintf(text, sizeof text, format, s.baudRate, s.parity, s.dataBits, s.stopBits,
                  s.flowControl);
    return text;
}

DCB serialDcb(const SerialSettings& s) {
    DCB dcb;
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = static_cast<DWORD>(s.baudRate);
    dcb.ByteSize = static_cast<BYTE>(s.dataBits);
    dcb.StopBits = stopBitsCode(s.stopBits);
    dcb.Parity = parityCode(s.parity);
    dcb.fBinary = 1;
    if (hasParity(s.parity)) {
        dcb.fParity = 1;
        dcb.fErrorChar = 1;
    }
    if (s.flowControl == 'p') {
        dcb.fOutxCtsFlow = 1;
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
    } else if (s.flowControl == 'x') {
        dcb.fOutX = 1;
        dcb.fInX = 1;
        dcb.XonChar = 17;
        dcb.XoffChar = 19;
    }
    return dcb;
}

void writeSerialSettings98(int portNumber, const SerialSettings& settings) {
    DCB dcb = serialDcb(settings);
    if (portNumber == 1 || portNumber == 2) storeDcbInClassKey(portNumber, dcb);
    const std::string text = serialSettingsText(settings);
    os::sys().WriteProfileStringA("Ports", settings.port.c_str(), text.c_str());
    os::sys().SendNotifyMessageA(HWND_BROADCAST, WM_WININICHANGE, 0,
                                 reinterpret_cast<LPARAM>("Ports"));
    os::sys().WriteProfileStringA(nullptr, nullptr, nullptr);
}

void writeSerialSettingsNt(const SerialSettings& settings) {
    RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports"))
        key.SetString(settings.port, serialSettingsText(settings));
}

}  // namespace install
