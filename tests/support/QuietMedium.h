// What an unattended run needs of a medium beside the install sequence's:
// its texts, and a side picture Windows reads.
#pragma once

#include <cstdint>
#include <string>

#include "support/EngineFixture.h"

namespace testing_support {

// The texts an unattended run ends with, beside the install sequence's.
inline std::string quietLanguageFile() {
    std::string file = testing_support::engineLanguageFile();
    for (const char* key : {"IDS_ERR_NOLEFT", "IDS_ADMIN", "IDS_ERR_NOLICENSE", "IDS_NOTSUPPORT2003", "IDS_NOTSUPPORTWin7",
                            "IDS_TYPICAL_NOTES", "IDS_ERR_NOSUPPORTINTERFACE", "IDS_INF_CHANGEID"})
        file += std::string(key) + "=<" + key + ">\r\n";
    return file + "[Setup]\r\nClose=<Close>\r\nNonsupport=<Nonsupport>\r\nPortNull=<PortNull>\r\n";
}

// A picture of one pixel, as a bitmap file Windows reads.
inline std::string onePixelBitmap() {
    std::string file = "BM";
    auto put = [&file](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    put(14 + 40 + 4, 4);
    put(0, 4);
    put(14 + 40, 4);                           // where the pixels begin
    put(40, 4);                                // BITMAPINFOHEADER
    put(1, 4), put(1, 4), put(1, 2), put(24, 2);  // 1 x 1, one plane, 24 bits
    put(0, 4), put(4, 4), put(0, 4), put(0, 4), put(0, 4), put(0, 4);
    put(0x00FF0000, 4);
    return file;
}

}  // namespace testing_support
