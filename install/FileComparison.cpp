#include "install/FileComparison.h"

#include <vector>

#include "install/FileStaging.h"
#include "os/Os.h"

namespace install {
namespace {

// The whole file, or false when it cannot be opened or read.
bool readWhole(const std::string& path, std::vector<char>* bytes) {
    HANDLE file = os::sys().CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    const DWORD size = os::sys().GetFileSize(file, &high);
    bool done = size != INVALID_FILE_SIZE && high == 0;
    if (done) {
        bytes->resize(size);
        DWORD read = 0;
        done = size == 0 || (os::sys().ReadFile(file, bytes->data(), size, &read, nullptr) && read == size);
    }
    os::sys().CloseHandle(file);
    return done;
}

}  // namespace

bool fileVersion(const std::string& path, uint64_t* version) {
    DWORD handle = 0;
    const DWORD size = os::sys().GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) return false;
    std::vector<BYTE> block(size);
    if (!os::sys().GetFileVersionInfoA(path.c_str(), handle, size, block.data())) return false;
    void* value = nullptr;
    UINT length = 0;
    if (!os::sys().VerQueryValueA(block.data(), "\\", &value, &length) || value == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO))
        return false;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    *version = (static_cast<uint64_t>(fixed->dwFileVersionMS) << 32) | fixed->dwFileVersionLS;
    return true;
}

std::string versionText(uint64_t version) {
    return std::to_string(version >> 48) + "." + std::to_string((version >> 32) & 0xFFFF) + "." +
           std::to_string((version >> 16) & 0xFFFF) + "." + std::to_string(version & 0xFFFF);
}

Standing compareWithMedium(const std::string& installed, const std::string& medium, std::string* how) {
    uint64_t there = 0, ours = 0;
    const std::string name = installed.substr(installed.find_last_of('\\') + 1);
    if (isProgramFile(name) && fileVersion(installed, &there) && fileVersion(medium, &ours)) {
        *how = versionText(there) + ", the medium's " + versionText(ours);
        return there < ours ? Standing::Older : there > ours ? Standing::Newer : Standing::Same;
    }
    std::vector<char> a, b;
    if (!readWhole(installed, &a)) {
        *how = "not there";
        return Standing::Missing;
    }
    if (!readWhole(medium, &b)) {
        *how = "the medium's copy cannot be read";
        return Standing::Different;
    }
    const bool same = a == b;
    *how = same ? "the medium's size and content" : "another size or content than the medium's";
    return same ? Standing::Same : Standing::Different;
}

}  // namespace install
