#include "install/UsbClassDriver.h"

#include <array>
#include <cstdio>
#include <vector>

#include "config/ProfileValues.h"
#include "os/Os.h"
#include "os/World.h"

namespace install {
namespace {

const char kNoVersion[] = "0.0.0.0";

// Up to four dot-separated decimal numbers from the start of the text; a part
// that is missing or has no digits is 0, and what follows the fourth is
// ignored ("5.1.2600.0 (xpsp.080413-2111)").
std::array<unsigned long, 4> versionParts(const std::string& text) {
    std::array<unsigned long, 4> parts{};
    size_t at = 0;
    for (unsigned long& part : parts) {
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            // Saturates instead of wrapping: no real version comes near.
            if (part < 100000000ul) part = part * 10 + static_cast<unsigned long>(text[at] - '0');
            ++at;
        }
        if (at >= text.size() || text[at] != '.') break;
        ++at;
    }
    return parts;
}

bool x64() { return os::machineArchitecture() == os::Architecture::X64; }

}  // namespace

std::string FileVersionText(const std::string& path) {
    std::string result = kNoVersion;
    DWORD handle = 0;
    DWORD size = os::sys().GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) return result;
    std::vector<BYTE> block(size);
    if (!os::sys().GetFileVersionInfoA(path.c_str(), handle, size, block.data())) return result;
    void* value = nullptr;
    UINT length = 0;
    if (!os::sys().VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length) ||
        value == nullptr || length < 4)
        return result;
    const WORD* translation = static_cast<const WORD*>(value);
    char subBlock[64];
    std::snprintf(subBlock, sizeof subBlock, "\\StringFileInfo\\%04x%04x\\FileVersion",
                  translation[0], translation[1]);
    if (os::sys().VerQueryValueA(block.data(), subBlock, &value, &length) && value != nullptr &&
        length > 0) {
        // The length counts characters, the terminating zero included where
        // the resource has one; never read past it.
        const char* text = static_cast<const char*>(value);
        std::string version(text, length);
        version.resize(version.find('\0') == std::string::npos ? version.size() : version.find('\0'));
        if (!version.empty()) result = version;
    }
    return result;
}

std::string usbDriverFolder() { return x64() ? "USBDrv\\X64\\" : "USBDrv\\"; }

std::string mediumUsbDriverPath() {
    return config::moduleDirectory() + (x64() ? "USBDRV\\X64\\bulkusb.sys" : "USBDRV\\bulkusb.sys");
}

std::string installedUsbDriverPath() {
    char windows[200] = {};
    UINT length = os::sys().GetWindowsDirectoryA(windows, sizeof windows);
    if (length >= sizeof windows) length = 0;
    const char* system = os::sixtyFourBit(os::machineArchitecture()) ? "\\Sysnative" : "\\system32";
    return std::string(windows, length) + system + "\\drivers\\bulkusb.sys";
}

std::vector<std::string> missingX64UsbDriverFiles(const std::string& medium) {
    std::vector<std::string> missing;
    for (const char* file : {"Install.exe", "BULKUSB.INF", "BULKUSB.CAT", "bulkusb.sys"}) {
        const std::string name = std::string("USBDrv\\X64\\") + file;
        if (!os::isFile(medium + "\\" + name)) missing.push_back(name);
    }
    return missing;
}

bool usbClassDriverInstalled() { return os::isFile(installedUsbDriverPath()); }

int compareVersionTexts(const std::string& first, const std::string& second) {
    std::array<unsigned long, 4> a = versionParts(first), b = versionParts(second);
    return a < b ? -1 : a > b ? 1 : 0;
}

int CompareUsbDriverVersions() {
    const std::string medium = FileVersionText(mediumUsbDriverPath());
    const std::string installed = FileVersionText(installedUsbDriverPath());
    if (medium == installed) return 0;
    if (compareVersionTexts(installed, kNoVersion) == 0) return -1;
    return compareVersionTexts(medium, installed) > 0 ? 1 : 0;
}

}  // namespace install
