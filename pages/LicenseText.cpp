#include "pages/LicenseText.h"

#include "os/Os.h"

namespace pages {
namespace {

// The file's size: from its start to its end, then back to its start.
bool sizeOf(HANDLE file, DWORD* size) {
    os::Os& sys = os::sys();
    DWORD end = sys.SetFilePointer(file, 0, nullptr, FILE_END);
    if (end == INVALID_SET_FILE_POINTER) return false;
    if (sys.SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
    *size = end;
    return true;
}

bool readAll(HANDLE file, char* buffer, DWORD size, DWORD* total) {
    *total = 0;
    while (*total < size) {
        DWORD read = 0;
        if (!os::sys().ReadFile(file, buffer + *total, size - *total, &read, nullptr)) return false;
        if (read == 0) break;  // the file got shorter since it was sized
        *total += read;
    }
    return true;
}

}  // namespace

LicenseRead readLicenseText(const char* path, std::string* text) {
    os::Os& sys = os::sys();
    text->clear();
    // Shared as the C runtime's fopen shares: a licence open in an editor is still read.
    HANDLE file = sys.CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LicenseRead::Unreadable;

    LicenseRead result = LicenseRead::Unreadable;
    DWORD size = 0;
    if (sizeOf(file, &size)) {
        // Room for a terminating zero, as the edit control takes a C text.
        char* buffer = size < 0xFFFFFFFFu ? static_cast<char*>(sys.LocalAlloc(LMEM_FIXED, size + 1))
                                         : nullptr;
        if (buffer == nullptr) {
            result = LicenseRead::NoMemory;
        } else {
            DWORD total = 0;
            if (readAll(file, buffer, size, &total)) {
                text->assign(buffer, total);
                result = LicenseRead::Read;
            }
            sys.LocalFree(buffer);
        }
    }
    sys.CloseHandle(file);
    return result;
}

}  // namespace pages
