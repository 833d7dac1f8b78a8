#include "os/sim/PeImage.h"

namespace os::sim {
namespace {

const uint16_t kPe32 = 0x10B;
const uint16_t kPe32Plus = 0x20B;
const uint32_t kExportDirectory = 0;
const uint32_t kImportDirectory = 1;
const uint32_t kResourceDirectory = 2;
const uint32_t kVersionType = 16;  // RT_VERSION
const uint32_t kSubdirectoryBit = 0x80000000u;

// Little-endian reads that answer false instead of reading past the end.
bool read16(const std::vector<uint8_t>& bytes, uint64_t at, uint32_t* value) {
    if (at + 2 > bytes.size()) return false;
    *value = static_cast<uint32_t>(bytes[at] | (bytes[at + 1] << 8));
    return true;
}

bool read32(const std::vector<uint8_t>& bytes, uint64_t at, uint32_t* value) {
    if (at + 4 > bytes.size()) return false;
    *value = static_cast<uint32_t>(bytes[at]) | (static_cast<uint32_t>(bytes[at + 1]) << 8) |
             (static_cast<uint32_t>(bytes[at + 2]) << 16) |
             (static_cast<uint32_t>(bytes[at + 3]) << 24);
    return true;
}

}  // namespace

bool PeImage::parse(const std::vector<uint8_t>& bytes) {
    bytes_ = bytes;
    sections_.clear();
    machine_ = 0;
    exportRva_ = exportSize_ = resourceRva_ = resourceSize_ = importRva_ = importSize_ = 0;
    uint32_t peOffset = 0;
    uint32_t signature = 0;
    if (bytes.size() < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') return false;
    if (!read32(bytes, 0x3C, &peOffset) || !read32(bytes, peOffset, &signature)) return false;
    if (signature != 0x00004550) return false;  // "PE\0\0"

    uint64_t fileHeader = static_cast<uint64_t>(peOffset) + 4;
    uint32_t sectionCount = 0;
    uint32_t optionalSize = 0;
    uint32_t magic = 0;
    uint32_t machine = 0;
    if (!read16(bytes, fileHeader, &machine) || !read16(bytes, fileHeader + 2, &sectionCount) ||
        !read16(bytes, fileHeader + 16, &optionalSize))
        return false;
    machine_ = static_cast<uint16_t>(machine);
    uint64_t optional = fileHeader + 20;
    if (!read16(bytes, optional, &magic) || (magic != kPe32 && magic != kPe32Plus)) return false;

    // The data directories follow the fields that differ in width between
    // the 32- and 64-bit headers.
    uint64_t countAt = optional + (magic == kPe32 ? 92 : 108);
    uint32_t directoryCount = 0;
    if (!read32(bytes, countAt, &directoryCount)) return false;
    auto directory = [&](uint32_t index, uint32_t* rva, uint32_t* size) {
        if (index >= directoryCount) return;
        uint64_t at = countAt + 4 + 8 * static_cast<uint64_t>(index);
        if (at + 8 > optional + optionalSize) return;
        if (!read32(bytes, at, rva) || !read32(bytes, at + 4, size)) *rva = *size = 0;
    };
    directory(kExportDirectory, &exportRva_, &exportSize_);
    directory(kImportDirectory, &importRva_, &importSize_);
    directory(kResourceDirectory, &resourceRva_, &resourceSize_);

    uint64_t table = optional + optionalSize;
    for (uint32_t i = 0; i < sectionCount; ++i) {
        uint64_t at = table + 40 * static_cast<uint64_t>(i);
        Section section{};
        if (!read32(bytes, at + 8, &section.virtualSize) ||
            !read32(bytes, at + 12, &section.virtualAddress) ||
            !read32(bytes, at + 16, &section.rawSize) || !read32(bytes, at + 20, &section.rawOffset))
            return false;
        sections_.push_back(section);
    }
    return true;
}

std::vector<std::string> PeImage::imports() const {
    std::vector<std::string> names;
    uint32_t at = importRva_ ? offsetOf(importRva_) : 0;
    if (at == 0) return names;
    // IMAGE_IMPORT_DESCRIPTOR: 20 bytes each, the name's address at 12; a
    // descriptor of zeros ends the table.
    for (uint64_t entry = at; names.size() < 1024; entry += 20) {
        uint32_t lookup = 0, nameRva = 0, thunks = 0;
        if (!read32(bytes_, entry, &lookup) || !read32(bytes_, entry + 12, &nameRva) ||
            !read32(bytes_, entry + 16, &thunks))
            break;
        if (lookup == 0 && nameRva == 0 && thunks == 0) break;
        uint32_t name = nameRva ? offsetOf(nameRva) : 0;
        if (name == 0) break;
        std::string text;
        for (uint64_t c = name; c < bytes_.size() && bytes_[c] != 0 && text.size() < 256; ++c)
            text += static_cast<char>(bytes_[c]);
        names.push_back(text);
    }
    return names;
}

uint32_t PeImage::offsetOf(uint32_t rva) const {
    for (const auto& s : sections_) {
        uint32_t extent = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
        if (rva < s.virtualAddress || rva - s.virtualAddress >= extent) continue;
        uint32_t within = rva - s.virtualAddress;
        // Past the raw data the section is zero-filled in memory, not in the file.
        if (within >= s.rawSize) return 0;
        uint64_t offset = static_cast<uint64_t>(s.rawOffset) + within;
        return offset < bytes_.size() ? static_cast<uint32_t>(offset) : 0;
    }
    return 0;
}

bool PeImage::exports(const std::string& function) const {
    if (exportRva_ == 0) return false;
    uint32_t directory = offsetOf(exportRva_);
    uint32_t nameCount = 0;
    uint32_t namesRva = 0;
    if (directory == 0 || !read32(bytes_, directory + 24ull, &nameCount) ||
        !read32(bytes_, directory + 32ull, &namesRva))
        return false;
    uint32_t names = offsetOf(namesRva);
    if (names == 0) return false;
    for (uint32_t i = 0; i < nameCount; ++i) {
        uint32_t nameRva = 0;
        if (!read32(bytes_, names + 4ull * i, &nameRva)) return false;
        uint32_t at = offsetOf(nameRva);
        if (at == 0) continue;
        // Export names are compared with case, as GetProcAddress does.
        size_t n = 0;
        while (at + n < bytes_.size() && bytes_[at + n] != 0 && n <= function.size()) ++n;
        if (n == function.size() && at + n < bytes_.size() && bytes_[at + n] == 0 &&
            function.compare(0, n, reinterpret_cast<const char*>(&bytes_[at]), n) == 0)
            return true;
    }
    return false;
}

bool PeImage::firstEntry(uint32_t directory, bool wantType, uint32_t* entry) const {
    uint32_t named = 0;
    uint32_t ids = 0;
    uint32_t base = offsetOf(resourceRva_);
    if (base == 0 || !read16(bytes_, base + directory + 12ull, &named) ||
        !read16(bytes_, base + directory + 14ull, &ids))
        return false;
    for (uint32_t i = 0; i < named + ids; ++i) {
        uint32_t id = 0;
        uint32_t target = 0;
        uint64_t at = base + directory + 16ull + 8ull * i;
        if (!read32(bytes_, at, &id) || !read32(bytes_, at + 4, &target)) return false;
        if (wantType && id != kVersionType) continue;
        *entry = target;
        return true;
    }
    return false;
}

bool PeImage::versionResource(std::vector<uint8_t>* data) const {
    if (resourceRva_ == 0) return false;
    // Type, then name, then language: each level a subdirectory, the last a data entry.
    uint32_t entry = 0;
    if (!firstEntry(0, true, &entry) || !(entry & kSubdirectoryBit)) return false;
    if (!firstEntry(entry & ~kSubdirectoryBit, false, &entry) || !(entry & kSubdirectoryBit))
        return false;
    if (!firstEntry(entry & ~kSubdirectoryBit, false, &entry) || (entry & kSubdirectoryBit))
        return false;
    uint32_t base = offsetOf(resourceRva_);
    uint32_t dataRva = 0;
    uint32_t size = 0;
    if (!read32(bytes_, base + static_cast<uint64_t>(entry), &dataRva) ||
        !read32(bytes_, base + static_cast<uint64_t>(entry) + 4, &size))
        return false;
    uint32_t at = offsetOf(dataRva);
    if (at == 0 || static_cast<uint64_t>(at) + size > bytes_.size()) return false;
    data->assign(bytes_.begin() + at, bytes_.begin() + at + size);
    return true;
}

bool PeImage::hasResources() const { return resourceRva_ != 0 && offsetOf(resourceRva_) != 0; }

}  // namespace os::sim
