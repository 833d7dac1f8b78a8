// Reading 32- and 64-bit Portable Executable files as Windows' loader and
// version functions do: the sections, the export table and the resource
// directory. The simulation reads the real files, so a version resource or
// an export is there exactly when the file carries it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace os::sim {

class PeImage {
public:
    // False when the bytes are not a PE image.
    bool parse(const std::vector<uint8_t>& bytes);

    // Whether the export table names `function`.
    bool exports(const std::string& function) const;
    // The names of the DLLs the import table names, in its order.
    std::vector<std::string> imports() const;
    // The raw data of the first RT_VERSION resource (first name, first
    // language), as GetFileVersionInfoA copies it; false when there is none.
    bool versionResource(std::vector<uint8_t>* data) const;
    // Whether the image has a resource section at all: Windows tells a file
    // without one (1812) from one without a version resource (1813).
    bool hasResources() const;
    // The file header's machine (IMAGE_FILE_MACHINE_*): which loader takes it.
    uint16_t machine() const { return machine_; }

private:
    std::vector<uint8_t> bytes_;
    struct Section {
        uint32_t virtualAddress;
        uint32_t virtualSize;
        uint32_t rawOffset;
        uint32_t rawSize;
    };
    std::vector<Section> sections_;
    uint16_t machine_ = 0;
    uint32_t exportRva_ = 0;
    uint32_t exportSize_ = 0;
    uint32_t resourceRva_ = 0;
    uint32_t resourceSize_ = 0;
    uint32_t importRva_ = 0;
    uint32_t importSize_ = 0;
    // File offset of a relative virtual address, or 0 when it maps nowhere.
    uint32_t offsetOf(uint32_t rva) const;
    // The target of the first entry of the resource directory at `directory`
    // (an offset into the resource section); with `wantType` the first entry
    // of type RT_VERSION.
    bool firstEntry(uint32_t directory, bool wantType, uint32_t* entry) const;
};

}  // namespace os::sim
