#include "install/UsbIdentity.h"

#include <string>

#include "config/MessageBoxes.h"
#include "config/TextTable.h"
#include "config/ConfigNames.h"
#include "config/ProfileValues.h"
#include "config/ProgramFolder.h"
#include "os/Os.h"

namespace install {
namespace {

// The maker's library, loaded for one operation and released on every way
// out of it, with the device it found closed first.
class UsbLibrary {
public:
    UsbLibrary() : module_(load()) {}
    ~UsbLibrary() {
        if (device_) close_(device_);
        if (module_) os::sys().FreeLibrary(module_);
    }
    UsbLibrary(const UsbLibrary&) = delete;
    UsbLibrary& operator=(const UsbLibrary&) = delete;

    bool loaded() const { return module_ != nullptr; }

    // Looks up OpenDeviceX, then `middle` ("GetDescriptor" or "uWrite"),
    // then CloseDevice; false at the first one missing.
    bool lookUp(const char* middle, FARPROC* middleFunction) {
        open_ = reinterpret_cast<UsbOpenDeviceXProc>(os::sys().GetProcAddress(module_, "OpenDeviceX"));
        if (open_ == nullptr) return false;
        *middleFunction = os::sys().GetProcAddress(module_, middle);
        if (*middleFunction == nullptr) return false;
        close_ = reinterpret_cast<UsbCloseDeviceProc>(os::sys().GetProcAddress(module_, "CloseDevice"));
        return close_ != nullptr;
    }

    // Probes every index, closing each device again; stops at the second
    // printer found. The number of printers found, at most 2.
    int countPrinters() {
        int found = 0;
        for (int index = 0; index < USB_DEVICE_INDICES && found < 2; ++index) {
            HANDLE device = open_(index);
            if (isDevice(device)) ++found;
            close_(device);
        }
        return found;
    }

    // Opens the printer at the first index that has one; false when none does.
    bool openFirstPrinter() {
        for (int index = 0; index < USB_DEVICE_INDICES; ++index) {
            HANDLE device = open_(index);
            if (isDevice(device)) {
                device_ = device;
                return true;
            }
        }
        return false;
    }

    HANDLE device() const { return device_; }

private:
    static bool isDevice(HANDLE device) { return device != nullptr && device != INVALID_HANDLE_VALUE; }

    // Loaded from the medium by its full path, never searched for by name:
    // a copy anywhere else is not the medium's. What it imports is looked
    // for beside it and in the system directory alone, where the system can
    // (Windows 8 on; Vista and 7 with their update): once the program has
    // limited every load by name to the system directory, the maker's own
    // libraries beside it are found too, and nothing else of the program's
    // folder. Elsewhere its folder comes first in the search as it stands.
    static HMODULE load() {
        os::Os& sys = os::sys();
        const std::string path = config::programFolder() + "\\" USB_LIBRARY_FILE;
        HMODULE module =
            sys.LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (module == nullptr && sys.GetLastError() == ERROR_INVALID_PARAMETER)
            module = sys.LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        return module;
    }

    HMODULE module_;
    UsbOpenDeviceXProc open_ = nullptr;
    UsbCloseDeviceProc close_ = nullptr;
    HANDLE device_ = nullptr;
};

void tell(const char* text) { app::applicationMessageBox(text); }

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

bool readUsbCommandSignature(UsbCommandSignature* signature) {
    const std::string text =
        config::readValue(config::moduleDirectory() + config::kSetupFile, "USBIDENTITY", "SIGNATURE", 49);
    size_t at = 0;
    for (unsigned char& byte : *signature) {
        while (at < text.size() && text[at] == ' ') ++at;
        int high = at < text.size() ? hexDigit(text[at]) : -1;
        int low = at + 1 < text.size() ? hexDigit(text[at + 1]) : -1;
        if (high < 0 || low < 0) return false;
        byte = static_cast<unsigned char>(high * 16 + low);
        at += 2;
        if (at < text.size() && text[at] != ' ') return false;
    }
    while (at < text.size() && text[at] == ' ') ++at;
    return at == text.size();
}

int ReadUsbDeviceId() {
    UsbLibrary library;
    if (!library.loaded()) {
        tell("Can not load " USB_LIBRARY_FILE);
        return kNoUsbPrinter;
    }
    FARPROC function = nullptr;
    if (!library.lookUp("GetDescriptor", &function)) {
        tell("open function error");
        return kNoUsbPrinter;
    }
    if (library.countPrinters() >= 2) {
        tell(app::MessageTexts().GetText("IDS_ERR_ONEPRINTER"));
        return kSeveralUsbPrinters;
    }
    if (!library.openFirstPrinter()) return kNoUsbPrinter;
    unsigned char descriptor[USB_DESCRIPTOR_BUFFER] = {};
    auto getDescriptor = reinterpret_cast<UsbGetDescriptorProc>(function);
    if (getDescriptor(library.device(), descriptor) == 0) {
        tell("Get Device ID error");
        return kNoUsbPrinter;
    }
    return descriptor[USB_DEVICE_VALUE_OFFSET] | (descriptor[USB_DEVICE_VALUE_OFFSET + 1] << 8);
}

bool WriteUsbDeviceId(unsigned char number, const UsbCommandSignature& signature) {
    if (number == 0 || number > 8) return false;
    UsbLibrary library;
    if (!library.loaded()) {
        tell("Can not load " USB_LIBRARY_FILE);
        return false;
    }
    FARPROC function = nullptr;
    if (!library.lookUp("uWrite", &function)) {
        tell("open function error");
        return false;
    }
    if (!library.openFirstPrinter()) {
        tell("Can not find USB device.");
        return false;
    }
    const unsigned char command[USB_SET_IDENTITY_LENGTH] = {
        0x1B, 0x73, signature[0], signature[1], signature[2], signature[3], 0x1D, 0x49, 0x20,
        static_cast<unsigned char>(number - 1)};
    auto write = reinterpret_cast<UsbWriteProc>(function);
    if (write(library.device(), 0, command, USB_SET_IDENTITY_LENGTH) > 0) return true;
    tell("write ID error");
    return false;
}

}  // namespace install
