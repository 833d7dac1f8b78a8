// The simulation's reader of PE files, on the libraries built from
// tests/data/pe and on images made here byte by byte.
#include <gtest/gtest.h>

#include "support/BuiltData.h"

#include <cstring>

#include "os/sim/FileSystem.h"
#include "os/sim/PeImage.h"

using os::sim::PeImage;

namespace {

std::vector<uint8_t> library(const std::string& name) {
    os::sim::FileSystem disks;
    std::vector<uint8_t> bytes;
    if (disks.mount("D:\\", TESTDATA_DIR)) disks.readFile("D:\\pe\\" + name + ".dll", &bytes);
    return bytes;
}

void put16(std::vector<uint8_t>& bytes, size_t at, uint16_t value) {
    std::memcpy(&bytes[at], &value, sizeof value);
}

void put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    std::memcpy(&bytes[at], &value, sizeof value);
}

// A 64-bit image with one section holding an export table that names "Entry64".
std::vector<uint8_t> pe32Plus() {
    std::vector<uint8_t> bytes(0x400, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    put32(bytes, 0x3C, 0x80);
    put32(bytes, 0x80, 0x00004550);
    put16(bytes, 0x84, 0x8664);  // machine
    put16(bytes, 0x86, 1);       // sections
    put16(bytes, 0x94, 0xF0);    // optional header size
    const size_t optional = 0x98;
    put16(bytes, optional, 0x20B);
    put32(bytes, optional + 108, 16);      // data directories
    put32(bytes, optional + 112, 0x1000);  // export table
    put32(bytes, optional + 116, 0x100);
    const size_t section = optional + 0xF0;
    std::memcpy(&bytes[section], ".edata", 6);
    put32(bytes, section + 8, 0x200);    // virtual size
    put32(bytes, section + 12, 0x1000);  // virtual address
    put32(bytes, section + 16, 0x200);   // raw size
    put32(bytes, section + 20, 0x200);   // raw offset
    put32(bytes, 0x200 + 24, 1);         // one name
    put32(bytes, 0x200 + 32, 0x1040);    // the names' table
    put32(bytes, 0x240, 0x1050);
    std::memcpy(&bytes[0x250], "Entry64", 8);
    return bytes;
}

class PeImageReading : public ::testing::Test {
protected:
    void SetUp() override {
        exporting = library("ver1001");
        REQUIRE_BUILT_DATA(!exporting.empty(), "the PE test libraries");
    }
    std::vector<uint8_t> exporting;
};

}  // namespace

TEST_F(PeImageReading, ExportsAreTheNamesTheLibraryExportsWithCase) {
    PeImage image;
    ASSERT_TRUE(image.parse(exporting));
    EXPECT_TRUE(image.exports("StandInEntry"));
    EXPECT_FALSE(image.exports("standinentry"));
    EXPECT_FALSE(image.exports("StandIn"));
    EXPECT_FALSE(image.exports("StandInEntryAndMore"));

    PeImage silent;
    ASSERT_TRUE(silent.parse(library("ver1002")));
    EXPECT_FALSE(silent.exports("StandInEntry"));
}

TEST_F(PeImageReading, SixtyFourBitHeadersPlaceTheirDirectoriesFurtherOn) {
    PeImage image;
    ASSERT_TRUE(image.parse(pe32Plus()));
    EXPECT_TRUE(image.exports("Entry64"));
    EXPECT_FALSE(image.exports("Entry32"));
    std::vector<uint8_t> resource;
    EXPECT_FALSE(image.versionResource(&resource));
    EXPECT_FALSE(image.hasResources());
}

TEST_F(PeImageReading, FindsTheVersionResourceOnlyWhereThereIsOne) {
    PeImage image;
    ASSERT_TRUE(image.parse(exporting));
    std::vector<uint8_t> resource;
    ASSERT_TRUE(image.versionResource(&resource));
    ASSERT_GT(resource.size(), 40u);
    uint16_t length = 0;
    std::memcpy(&length, resource.data(), sizeof length);
    EXPECT_LE(length, resource.size());
    const char key[] = "V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0";
    EXPECT_EQ(std::memcmp(resource.data() + 6, key, sizeof key - 1), 0);

    PeImage strings;
    ASSERT_TRUE(strings.parse(library("strings")));
    EXPECT_FALSE(strings.versionResource(&resource));
    EXPECT_TRUE(strings.hasResources());
    PeImage bare;
    ASSERT_TRUE(bare.parse(library("nores")));
    EXPECT_FALSE(bare.versionResource(&resource));
    EXPECT_FALSE(bare.hasResources());

    PeImage text;
    EXPECT_FALSE(text.parse(std::vector<uint8_t>{'M', 'Z', 'n', 'o', 't', ' ', 'P', 'E'}));
    EXPECT_FALSE(text.exports("StandInEntry"));
}

// Every cut of a real image and every damaged byte in its headers is read
// without reading past the bytes; what is found is what the whole file has.
TEST_F(PeImageReading, CutAndDamagedImagesAreReadWithinTheirBytes) {
    PeImage whole;
    ASSERT_TRUE(whole.parse(exporting));
    std::vector<uint8_t> full;
    ASSERT_TRUE(whole.versionResource(&full));
    for (size_t size = 0; size < exporting.size(); size += 61) {
        std::vector<uint8_t> cut(exporting.begin(), exporting.begin() + size);
        PeImage image;
        if (!image.parse(cut)) continue;
        std::vector<uint8_t> resource;
        if (image.versionResource(&resource)) EXPECT_EQ(resource, full) << size;
        if (image.exports("StandInEntry")) EXPECT_GT(size, 0x200u);
    }
    uint32_t seed = 12345;
    for (int round = 0; round < 400; ++round) {
        std::vector<uint8_t> damaged = exporting;
        seed = seed * 1103515245u + 12345u;
        size_t at = (seed >> 8) % 0x400;  // the headers and the section table
        damaged[at] = static_cast<uint8_t>(seed >> 24);
        PeImage image;
        if (!image.parse(damaged)) continue;
        std::vector<uint8_t> resource;
        image.versionResource(&resource);
        EXPECT_LE(resource.size(), damaged.size());
        image.exports("StandInEntry");
    }
}
