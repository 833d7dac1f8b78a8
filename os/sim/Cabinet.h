// A cabinet file as the simulation's SetupIterateCabinetA needs it: the
// header fields it reports and each file, in cabinet order, with its bytes.
//
// Natively the bytes are decoded with libmspack, in memory. In the MinGW
// build, where libmspack is not at hand, Windows' own SetupIterateCabinetA
// decodes a temporary copy and the bytes are read back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "os/WinApi.h"

namespace os::sim {

struct CabinetEntry {
    std::string name;  // as stored, folders separated by '\'
    DWORD size = 0;    // uncompressed, as the directory says
    WORD dosDate = 0;
    WORD dosTime = 0;
    WORD attributes = 0;
    std::vector<uint8_t> data;
    // ERROR_INVALID_DATA when the file's bytes could not be decoded.
    DWORD error = 0;
};

struct Cabinet {
    WORD setId = 0;
    WORD number = 0;
    std::vector<CabinetEntry> files;
    // The decoder gave up after the files listed (0 when it did not).
    DWORD errorAfterFiles = 0;
};

// Reads a whole cabinet from its bytes. Returns 0, or ERROR_INVALID_DATA when
// the bytes are no cabinet or its directory cannot be read.
DWORD readCabinet(const std::vector<uint8_t>& bytes, Cabinet* cabinet);

}  // namespace os::sim
