// The USB printers attached to the simulated machine, as the maker's USB
// access library "HvUsbInt.dll" sees them: up to eight device indices, each
// printer with its device descriptor. A printer that accepts the
// set-identity command takes the new port number into its device value.
#pragma once

#include <array>
#include <set>
#include <string>
#include <vector>

#include "os/WinApi.h"

namespace os::sim {

class UsbBus {
public:
    struct Printer {
        std::array<BYTE, 18> descriptor{};
        bool descriptorReadable = true;
        bool acceptsWrites = true;
        std::vector<std::vector<BYTE>> received;  // every uWrite, in order
        int opens = 0;
        int closes = 0;

        WORD deviceValue() const { return static_cast<WORD>(descriptor[12] | (descriptor[13] << 8)); }
        void setDeviceValue(WORD value) {
            descriptor[12] = static_cast<BYTE>(value & 0xFF);
            descriptor[13] = static_cast<BYTE>(value >> 8);
        }
    };

    // Attaches a printer at the first free device index (0 to 7) with a
    // standard device descriptor carrying `deviceValue` as bcdDevice.
    Printer& attach(WORD deviceValue, int index = -1);
    void detach(int index);
    // The printer at a device index, or null.
    Printer* at(int index);
    int attached() const;

    // Library functions that the simulated "HvUsbInt.dll" does not export.
    std::set<std::string>& missingFunctions() { return missing_; }

    UsbBus() = default;
    ~UsbBus();
    UsbBus(const UsbBus&) = delete;
    UsbBus& operator=(const UsbBus&) = delete;

    // The library's entry points: they act on the bus of the machine that
    // loaded the library last (none, once that machine is gone).
    static FARPROC function(const std::string& name);
    void activate();

private:
    std::array<Printer, 8> slots_{};
    std::array<bool, 8> present_{};
    std::set<std::string> missing_;
};

}  // namespace os::sim
