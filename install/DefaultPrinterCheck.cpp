#include "install/DefaultPrinterCheck.h"

#include <vector>

#include "config/AsciiCase.h"
#include "os/Os.h"
#include "os/RunningSystem.h"

namespace install {
namespace {

const char* const kWindowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

// The default printer's name (empty: there is none), or false with the
// system's error code.
bool readDefaultPrinter(std::string* name, DWORD* error) {
    os::Os& sys = os::sys();
    DWORD size = 0;
    if (!sys.GetDefaultPrinterA(nullptr, &size) && sys.GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        *error = sys.GetLastError();
        name->clear();
        return *error == ERROR_FILE_NOT_FOUND;
    }
    std::vector<char> buffer(size + 1, '\0');
    size = static_cast<DWORD>(buffer.size());
    if (!sys.GetDefaultPrinterA(buffer.data(), &size)) {
        *error = sys.GetLastError();
        return false;
    }
    buffer.back() = '\0';
    *name = buffer.data();
    return true;
}

// The user left the choice to Windows: the value is not 1 (missing, it is
// Windows' own default, which manages).
bool userLetsWindowsManage() {
    HKEY key = nullptr;
    if (os::sys().RegOpenKeyExA(HKEY_CURRENT_USER, kWindowsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return true;
    DWORD value = 0, size = sizeof value, type = 0;
    LONG read = os::sys().RegQueryValueExA(key, "LegacyDefaultPrinterMode", nullptr, &type,
                                           reinterpret_cast<BYTE*>(&value), &size);
    os::sys().RegCloseKey(key);
    return !(read == ERROR_SUCCESS && type == REG_DWORD && value == 1);
}

}  // namespace

bool windowsManagesDefaults() { return os::runningSystem().ntAtLeast(10, 0); }

std::string defaultPrinterOutcome(const std::string& printer) {
    std::string named;
    DWORD error = 0;
    std::string outcome;
    if (!readDefaultPrinter(&named, &error))
        outcome = "the default printer could not be read back (system error " + std::to_string(error) + ")";
    else if (config::equalIgnoringCase(named, printer))
        outcome = "the default printer held: Windows names " + named;
    else
        outcome = "the default printer did not hold: Windows names " + (named.empty() ? "none" : named);
    if (userLetsWindowsManage())
        outcome += "; Windows manages the default printer (\"Let Windows manage my default printer\") and may "
                   "choose another one later";
    return outcome;
}

}  // namespace install
