#include "config/ProgramFolder.h"

#include <vector>

#include "os/Os.h"

namespace config {

std::string programFolder() {
    // The buffer grows until the path fits: a result that fills it may be cut.
    for (DWORD size = 260; size <= 32768; size *= 2) {
        std::vector<char> path(size, '\0');
        DWORD length = os::sys().GetModuleFileNameA(nullptr, path.data(), size);
        if (length == 0) return std::string();
        if (length >= size) continue;
        std::string text(path.data(), length);
        size_t slash = text.find_last_of('\\');
        return slash == std::string::npos ? std::string() : text.substr(0, slash);
    }
    return std::string();
}

bool programPathFits() {
    char path[200] = {};
    DWORD length = os::sys().GetModuleFileNameA(nullptr, path, sizeof path);
    return length > 0 && length < sizeof path;
}

}  // namespace config
