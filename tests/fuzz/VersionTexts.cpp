// Version texts: the comparison of two texts, and the FileVersion text of a
// file read through the simulation's PE reader and version functions. Input:
// two version texts, then the file: with a first byte 'R' the rest is a
// version resource, which the target wraps in a PE image of one resource
// section; otherwise the file's bytes as they are.
#include <cstring>

#include "install/UsbClassDriver.h"
#include "support/SimMachine.h"
#include "FuzzInput.h"

namespace {

// A PE32 image whose resource section holds `resource` as the first
// RT_VERSION resource (name 1, language 0x409).
std::vector<uint8_t> imageWithVersion(const std::string& resource) {
    const uint32_t kSection = 0x200, kRva = 0x1000, kData = 0x60;
    const uint32_t extent = kData + static_cast<uint32_t>(resource.size());
    std::vector<uint8_t> image(kSection + extent, 0);
    auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&image[at], &v, 2); };
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&image[at], &v, 4); };
    image[0] = 'M';
    image[1] = 'Z';
    put32(0x3C, 0x40);
    put32(0x40, 0x00004550);
    put16(0x46, 1);
    put16(0x54, 0xE0);
    put16(0x58, 0x10B);
    put32(0x58 + 92, 16);
    put32(0x58 + 96 + 16, kRva);  // the resource directory
    put32(0x58 + 100 + 16, extent);
    const size_t header = 0x58 + 0xE0;
    put32(header + 8, extent);
    put32(header + 12, kRva);
    put32(header + 16, extent);
    put32(header + 20, kSection);
    // Type, name and language directories of one entry each, then the data entry.
    const uint32_t kSubdirectory = 0x80000000u;
    const uint32_t entries[3][2] = {{16, kSubdirectory | 0x18}, {1, kSubdirectory | 0x30}, {0x409, 0x48}};
    for (uint32_t level = 0; level < 3; ++level) {
        const size_t directory = kSection + level * 0x18;
        put16(directory + 14, 1);
        put32(directory + 16, entries[level][0]);
        put32(directory + 20, entries[level][1]);
    }
    put32(kSection + 0x48, kRva + kData);
    put32(kSection + 0x4C, static_cast<uint32_t>(resource.size()));
    std::memcpy(&image[kSection + kData], resource.data(), resource.size());
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts = fuzzing::splitInput(data, size, 3);
    const std::string& first = parts[0];
    const std::string& second = parts[1];
    // An order: antisymmetric, and every text equal to itself.
    FUZZ_CHECK(install::compareVersionTexts(first, second) == -install::compareVersionTexts(second, first));
    FUZZ_CHECK(install::compareVersionTexts(first, first) == 0);

    testing_support::SimMachine machine;
    const std::string& file = parts[2];
    if (!file.empty() && file[0] == 'R')
        machine.sim.files().writeFile("C:\\MEDIUM\\bulkusb.sys", imageWithVersion(file.substr(1)));
    else
        machine.write("C:\\MEDIUM\\bulkusb.sys", file);
    std::string version = install::FileVersionText("C:\\MEDIUM\\bulkusb.sys");
    // A text to show and compare: never empty, never cut by a zero inside.
    FUZZ_CHECK(!version.empty() && version.find('\0') == std::string::npos);
    return 0;
}
