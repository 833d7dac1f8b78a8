// The smallest PE image the simulated spooler accepts as a monitor: one
// section holding an export table that names the monitor's entry point. It
// stands in for the Windows build's stand-in monitor where the native side
// is built alone.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace testing_support {

inline std::vector<uint8_t> minimalMonitorImage() {
    std::vector<uint8_t> image(0x300, 0);
    auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&image[at], &v, 2); };
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&image[at], &v, 4); };
    image[0] = 'M';
    image[1] = 'Z';
    put32(0x3C, 0x40);
    put32(0x40, 0x00004550);  // "PE\0\0"
    put16(0x44, 0x14C);       // i386
    put16(0x46, 1);           // one section
    put16(0x54, 0xE0);        // the optional header's size
    put16(0x58, 0x10B);       // PE32
    put32(0x58 + 92, 16);     // data directories
    put32(0x58 + 96, 0x1000);  // the export table's address and size
    put32(0x58 + 100, 0x100);
    const size_t section = 0x58 + 0xE0;
    put32(section + 8, 0x100);    // virtual size
    put32(section + 12, 0x1000);  // virtual address
    put32(section + 16, 0x100);   // raw size
    put32(section + 20, 0x200);   // raw offset
    put32(0x200 + 24, 1);         // one name, its address in the names table at 0x1040
    put32(0x200 + 32, 0x1040);
    put32(0x240, 0x1050);
    std::memcpy(&image[0x250], "InitializePrintMonitor2", 24);
    return image;
}

}  // namespace testing_support
