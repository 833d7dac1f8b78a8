#include "install/DriverStore.h"

#include <vector>

#include "config/AsciiCase.h"
#include "os/Os.h"

namespace install {
namespace {

// What the package's folder name begins with, and where below it the
// files of the architecture lie.
struct PackageLayout {
    std::string prefix;
    std::string subfolder;
};

PackageLayout layoutOf(os::Architecture architecture) {
    if (architecture == os::Architecture::X64) return {"ntprint.inf_amd64_", "Amd64"};
    return {"ntprint.inf_x86_", "I386"};
}

std::string nameOf(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string parentOf(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool beginsWith(const std::string& text, const std::string& start) {
    return text.size() >= start.size() && config::equalIgnoringCase(text.substr(0, start.size()), start);
}

// Windows' own answer: the "ntprint.inf" of its "inf" folder in the store.
std::string packageWindowsNames() {
    std::vector<char> buffer(MAX_PATH, '\0');
    DWORD needed = 0;
    os::Os& sys = os::sys();
    BOOL found = sys.SetupGetInfDriverStoreLocationA("ntprint.inf", nullptr, nullptr, buffer.data(),
                                                     static_cast<DWORD>(buffer.size()), &needed);
    if (!found && sys.GetLastError() == ERROR_INSUFFICIENT_BUFFER && needed > buffer.size()) {
        buffer.assign(needed, '\0');
        found = sys.SetupGetInfDriverStoreLocationA("ntprint.inf", nullptr, nullptr, buffer.data(), needed, &needed);
    }
    if (!found) return "";
    buffer.back() = '\0';
    return parentOf(buffer.data());
}

// The first folder of the layout in the store that holds the file.
std::string searchedPackage(const std::string& repository, const PackageLayout& layout, const std::string& file) {
    WIN32_FIND_DATAA found;
    HANDLE search = os::sys().FindFirstFileA((repository + layout.prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return "";
    std::string package;
    do {
        const std::string folder = repository + found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && os::isFile(folder + "\\" + layout.subfolder + "\\" + file))
            package = folder;
    } while (package.empty() && os::sys().FindNextFileA(search, &found));
    os::sys().FindClose(search);
    return package;
}

}  // namespace

bool findInNtprintPackage(const std::string& repository, os::Architecture architecture, const std::string& file,
                          std::string* source) {
    const PackageLayout layout = layoutOf(architecture);
    std::string package = packageWindowsNames();
    if (package.empty() || !beginsWith(nameOf(package), layout.prefix) ||
        !os::isFile(package + "\\" + layout.subfolder + "\\" + file))
        package = searchedPackage(repository, layout, file);
    if (package.empty()) return false;
    *source = package + "\\" + layout.subfolder + "\\" + file;
    return true;
}

}  // namespace install
