// Cabinets decoded in the MinGW build, where libmspack is not at hand:
// Windows' own SetupIterateCabinetA extracts a temporary real copy, and the
// extracted bytes are read back into memory.
#ifdef _WIN32

#include <cstdio>
#include <fstream>
#include <iterator>

#include "os/sim/Cabinet.h"

namespace os::sim {
namespace {

struct Extraction {
    Cabinet* cabinet;
    std::string folder;
    std::string pending;  // the file being extracted, until it is read back
};

std::vector<uint8_t> readHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void noteFile(Extraction& x, const FILE_IN_CABINET_INFO_A& info) {
    CabinetEntry entry;
    entry.name = info.NameInCabinet;
    entry.size = info.FileSize;
    entry.dosDate = info.DosDate;
    entry.dosTime = info.DosTime;
    entry.attributes = info.DosAttribs;
    // Marked undecoded until its bytes arrive.
    entry.error = ERROR_INVALID_DATA;
    x.cabinet->files.push_back(entry);
    x.pending = x.folder + "\\" + std::to_string(x.cabinet->files.size()) + ".bin";
}

UINT CALLBACK extractAll(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR) {
    auto& x = *static_cast<Extraction*>(context);
    if (notification == SPFILENOTIFY_CABINETINFO) {
        const auto* info = reinterpret_cast<const CABINET_INFO_A*>(param1);
        x.cabinet->setId = info->SetId;
        x.cabinet->number = info->CabinetNumber;
    } else if (notification == SPFILENOTIFY_FILEINCABINET) {
        auto* info = reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1);
        noteFile(x, *info);
        snprintf(info->FullTargetName, MAX_PATH, "%s", x.pending.c_str());
        return FILEOP_DOIT;
    } else if (notification == SPFILENOTIFY_FILEEXTRACTED) {
        const auto* paths = reinterpret_cast<const FILEPATHS_A*>(param1);
        CabinetEntry& entry = x.cabinet->files.back();
        if (paths->Win32Error == NO_ERROR) {
            entry.data = readHostFile(x.pending);
            if (entry.data.size() == entry.size) entry.error = 0;
        }
        DeleteFileA(x.pending.c_str());
    }
    return NO_ERROR;
}

}  // namespace

DWORD readCabinet(const std::vector<uint8_t>& bytes, Cabinet* cabinet) {
    char temp[MAX_PATH] = {};
    if (GetTempPathA(MAX_PATH, temp) == 0) return GetLastError();
    char folder[MAX_PATH] = {};
    if (GetTempFileNameA(temp, "cab", 0, folder) == 0) return GetLastError();
    // The unique name becomes a folder of its own.
    DeleteFileA(folder);
    if (!CreateDirectoryA(folder, nullptr)) return GetLastError();
    std::string copy = std::string(folder) + "\\cabinet.cab";
    {
        std::ofstream out(copy, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    *cabinet = Cabinet();
    Extraction x{cabinet, folder, ""};
    BOOL complete = SetupIterateCabinetA(copy.c_str(), 0, extractAll, &x);
    if (!x.pending.empty()) DeleteFileA(x.pending.c_str());
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(folder);
    if (complete) return 0;
    if (cabinet->files.empty()) return ERROR_INVALID_DATA;
    cabinet->errorAfterFiles = ERROR_INVALID_DATA;
    return 0;
}

}  // namespace os::sim

#endif  // _WIN32
