// The serial line settings of a printer on a serial port, written where
// each system keeps the settings of its ports.
#pragma once

#include <string>

#include "os/WinApi.h"

namespace install {

struct SerialSettings {
    std::string port;      // with its colon, as the settings are keyed: "COM1:"
    int baudRate = 9600;
    int dataBits = 8;
    double stopBits = 1.0;  // 1, 1.5 or 2
    char parity = 'n';      // n, o, e, m, s
    char flowControl = 'p';  // x Xon/Xoff, p hardware, blank none
};

// "9600,n,8,1,p"; with 1.5 stop bits "19200,e,7,1.5,x".
std::string serialSettingsText(const SerialSettings& settings);
// The device-control block Windows 98/Me keeps for its first serial ports.
DCB serialDcb(const SerialSettings& settings);

// Windows 98/Me: the block into the class key of serial port 1 or 2, the
// text into win.ini's "Ports" section, then a broadcast and a flush.
void writeSerialSettings98(int portNumber, const SerialSettings& settings);
// The NT family: the text under HKLM "...\Windows NT\CurrentVersion\Ports".
void writeSerialSettingsNt(const SerialSettings& settings);

}  // namespace install
