#include "install/FileStaging.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "config/TextTable.h"
#include "config/AsciiCase.h"
#include "install/DriverStore.h"
#include "install/InstallLog.h"
#include "install/PrivateFolder.h"
#include "os/Os.h"
#include "os/RunningSystem.h"
#include "os/World.h"

namespace install {
namespace {

const char* const kUnidrvCabinetNames[] = {"unidrvui.dll", "unidrv.dll",   "unires.dll",
                                           "unidrv.hlp",   "stdnames.gpd", "ttfsub.gpd"};

std::string message(const char* key) { return app::MessageTexts().GetText(key); }

bool isUnidrvFile(const std::string& upperName) {
    for (const char* part : {"UNIDRV", "STDNAMES", "TTFSUB", "UNIRES"})
        if (upperName.find(part) != std::string::npos) return true;
    return false;
}

using SpoolerDirectoryCall = BOOL (os::Os::*)(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD);

// A spooler directory of the environment of `architecture` (named on 64-bit
// Windows, where none is the program's x86 one), read into `size` bytes.
bool spoolerDirectory(SpoolerDirectoryCall call, size_t size, std::string* directory,
                      os::Architecture architecture) {
    std::vector<char> buffer(size, '\0');
    DWORD needed = 0;
    if (!(os::sys().*call)(nullptr, os::environmentFor(architecture), 1, reinterpret_cast<BYTE*>(buffer.data()),
                           static_cast<DWORD>(size), &needed))
        return false;
    buffer.back() = '\0';
    *directory = buffer.data();
    return true;
}

bool driverDirectory(std::string* directory, os::Architecture architecture) {
    return spoolerDirectory(&os::Os::GetPrinterDriverDirectoryA, 260, directory, architecture);
}

// A directory-reporting call that fits its buffer; 0 or a length beyond it is a failure.
template <typename Call>
bool directoryOf(Call call, size_t size, std::string* directory) {
    std::vector<char> buffer(size, '\0');
    UINT n = call(buffer.data(), static_cast<UINT>(size));
    if (n == 0 || n >= size) return false;
    *directory = buffer.data();
    return true;
}

}  // namespace

bool processorDirectory(std::string* directory) {
    return spoolerDirectory(&os::Os::GetPrintProcessorDirectoryA, 256, directory, os::machineArchitecture());
}

bool systemDirectory(std::string* directory) {
    return directoryOf([](char* b, UINT n) { return os::sys().GetSystemDirectoryA(b, n); }, 256,
                       directory);
}

namespace {

bool windowsDirectory(std::string* directory) {
    return directoryOf([](char* b, UINT n) { return os::sys().GetWindowsDirectoryA(b, n); }, 260,
                       directory);
}

bool currentDirectory(std::string* directory) {
    return directoryOf(
        [](char* b, UINT n) { return static_cast<UINT>(os::sys().GetCurrentDirectoryA(n, b)); },
        256, directory);
}

bool tempDirectory(std::string* directory) {
    return directoryOf(
        [](char* b, UINT n) { return static_cast<UINT>(os::sys().GetTempPathA(n, b)); }, 260,
        directory);
}

std::string copyFailure(const std::string& name, DWORD error, const std::string& source) {
    return message("IDS_ERR_COPYFIEL") + name + "  er = " + std::to_string(error) + source;
}

// The destination directory of a copy target, or false with the message.
bool targetDirectory(int target, std::string* directory, std::string& errorText,
                     os::Architecture architecture) {
    switch (target) {
        case kDriverDirectory:
        case kVersion3Directory:
            if (!driverDirectory(directory, architecture)) {
                errorText = message("IDS_ERR_GETDRIVERDIR");
                return false;
            }
            if (target == kVersion3Directory) *directory += "\\3";
            return true;
        case kProcessorDirectory:
            if (!processorDirectory(directory)) {
                errorText = message("IDS_ERR_GETPRODIR");
                return false;
            }
            return true;
        case kSystemDirectory:
            if (!systemDirectory(directory)) {
                errorText = message("IDS_ERR_GETSYSDIR");
                return false;
            }
            return true;
        case kInfDirectory:
            if (!windowsDirectory(directory)) {
                errorText = message("IDS_ERR_GETWINDIR");
                return false;
            }
            *directory += "\\inf";
            return true;
        default:
            errorText = message("IDS_ERR_DIRTYPE");
            return false;
    }
}

// A clean system may lack an environment's version folder: a 64-bit Windows
// that never had an x86 driver has no w32x86\3. It is made before the
// first copy into it, under the driver folder, whose access list it takes.
// 0, or the system's error code.
DWORD makeVersionFolder(const std::string& folder) {
    if (os::sys().CreateDirectoryA(folder.c_str(), nullptr)) {
        logStep("folder " + folder + " made");
        return ERROR_SUCCESS;
    }
    const DWORD error = os::sys().GetLastError();
    return error == ERROR_ALREADY_EXISTS ? static_cast<DWORD>(ERROR_SUCCESS) : error;
}

int copyFromMedium(const std::string& name, int target, bool prefixed, std::string& errorText,
                   os::Architecture architecture) {
    if (name.empty() || name[0] == '0') return kCopyFailed;
    if (!mediumNameAccepted(name, errorText)) return kCopyFailed;
    std::string directory;
    if (!targetDirectory(target, &directory, errorText, architecture)) return kCopyFailed;
    std::string source;
    if (!mediumSource(name, architecture, &source)) {
        errorText = message("IDS_ERR_GETCURDIR");
        return kCopyFailed;
    }
    const std::string fileName = (prefixed ? "n" : "") + name;
    const std::string destination = directory + "\\" + fileName;
    // Windows 98's driver folder is the system folder, without version folders.
    const bool versionFolder = target == kVersion3Directory && os::runningSystem().isNt();
    DWORD error = versionFolder ? makeVersionFolder(directory) : ERROR_SUCCESS;
    if (error != ERROR_SUCCESS) {
        errorText = copyFailure(fileName, error, source);
        return kCopyFailed;
    }
    // The system directory's files are the spooler's monitors and their
    // UI: on 64-bit Windows they go to its native directory, which the
    // program reaches with redirection off for this copy alone.
    os::NativeSystemDirectory native(target == kSystemDirectory ? architecture : os::Architecture::X86);
    if (!native.reached()) {
        errorText = copyFailure(fileName, native.error(), source);
        return kCopyFailed;
    }
    // Files copied from a disc arrive read-only; a later copy must replace them.
    os::sys().SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    const bool copied = os::sys().CopyFileA(source.c_str(), destination.c_str(), FALSE) != FALSE;
    error = copied ? 0 : os::sys().GetLastError();
    if (!native.restore()) {
        logStep("redirection of the system directory could not be turned back on (system error " +
                std::to_string(native.error()) + ")");
        errorText = copyFailure(fileName, native.error(), source);
        return kCopyFailed;
    }
    if (copied) return kCopied;
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED)
        return static_cast<int>(error);
    errorText = copyFailure(fileName, error, source);
    return kCopyFailed;
}

// Windows 2000, XP and 2003 keep the Unidrv files in the cabinets of their
// driver cache; the extraction puts them into a folder of this run's own,
// once. Only what it put there is taken: the spooler loads these files as
// the system account, so nothing anyone else left anywhere may stand in.
int copyFromDriverCache(const std::string& name, int target, bool prefixed, std::string& errorText) {
    DriverCacheState& cache = driverCache();
    if (cache.extractionPending) {
        cache.extractionPending = false;
        if (!extractDriverCache()) return copyFromMedium(name, target, prefixed, errorText, os::Architecture::X86);
    }
    if (cache.folder.empty()) return copyFromMedium(name, target, prefixed, errorText, os::Architecture::X86);
    std::string directory;
    if (!driverDirectory(&directory, os::Architecture::X86)) {
        errorText = message("IDS_ERR_GETDRIVERDIR");
        return kCopyFailed;
    }
    const std::string source = cache.folder + "\\" + name;
    const std::string destination = directory + "\\" + name;
    if (os::sys().CopyFileA(source.c_str(), destination.c_str(), FALSE)) return kCopied;
    return copyFromMedium(name, target, prefixed, errorText, os::Architecture::X86);
}

// 32-bit Vista, 2008 and 7 keep them in the driver store's "ntprint" package.
int copyFromDriverStore(const std::string& name, std::string& errorText) {
    std::string windows;
    windowsDirectory(&windows);
    const std::string repository = windows + "\\System32\\DriverStore\\FileRepository\\";
    WIN32_FIND_DATAA found;
    HANDLE search = os::sys().FindFirstFileA((repository + "ntprint*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        errorText = "Couldn't find system fiels.";
        return kCopyFailed;
    }
    const std::string source = repository + found.cFileName + "\\I386\\" + name;
    std::string directory;
    int result = kCopied;
    if (!driverDirectory(&directory, os::Architecture::X86)) {
        errorText = message("IDS_ERR_GETDRIVERDIR");
        result = kCopyFailed;
    } else if (!os::sys().CopyFileA(source.c_str(), (directory + "\\" + name).c_str(), FALSE)) {
        DWORD error = os::sys().GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) {
            result = static_cast<int>(error);
        } else {
            errorText = copyFailure(name, error, source);
            result = kCopyFailed;
        }
    }
    // The search is closed on every path, not only after a successful copy.
    if (!os::sys().FindClose(search) && result == kCopied) {
        errorText = "Couldn't close search handle.";
        return kCopyFailed;
    }
    return result;
}

// Windows 8 and later, and 64-bit Windows 7, keep them in the package of the
// architecture installed for: the first "ntprint*" folder may be one of the
// version-4 model's, one of the other architecture, or a version an update
// left behind.
int copyFromNtprintPackage(const std::string& name, std::string& errorText, os::Architecture architecture) {
    std::string windows;
    windowsDirectory(&windows);
    const std::string repository = windows + "\\System32\\DriverStore\\FileRepository\\";
    std::string source;
    if (!findInNtprintPackage(repository, architecture, name, &source)) {
        errorText = "Couldn't find system fiels.";
        return kCopyFailed;
    }
    std::string directory;
    if (!driverDirectory(&directory, architecture)) {
        errorText = message("IDS_ERR_GETDRIVERDIR");
        return kCopyFailed;
    }
    if (os::sys().CopyFileA(source.c_str(), (directory + "\\" + name).c_str(), FALSE)) return kCopied;
    DWORD error = os::sys().GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) return static_cast<int>(error);
    errorText = copyFailure(name, error, source);
    return kCopyFailed;
}

UINT CALLBACK cabinetHandler(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR) {
    if (notification != SPFILENOTIFY_FILEINCABINET) return NO_ERROR;
    auto* entry = reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1);
    const std::string& folder = *static_cast<const std::string*>(context);
    for (const char* wanted : kUnidrvCabinetNames) {
        if (std::strcmp(entry->NameInCabinet, wanted) != 0) continue;
        std::snprintf(entry->FullTargetName, sizeof entry->FullTargetName, "%s\\%s", folder.c_str(), wanted);
        return FILEOP_DOIT;
    }
    return FILEOP_SKIP;
}

}  // namespace

bool comesFromWindows(const std::string& name, int targetOs) {
    return targetOs >= 2 && targetOs <= 7 && isUnidrvFile(config::upperAscii(name));
}

bool isProgramFile(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string extension = config::upperAscii(name.substr(dot + 1));
    for (const char* program : {"DLL", "EXE", "SYS", "DRV"})
        if (extension == program) return true;
    return false;
}

namespace {

// The folder of `name` on the medium in `current` (empty: unread, where
// nothing is found).
const char* mediumFolderIn(const std::string& current, const std::string& name, os::Architecture architecture) {
    if (architecture != os::Architecture::X64) return "W32";
    if (isProgramFile(name)) return "X64";
    return !current.empty() && os::isFile(current + "\\X64\\" + name) ? "X64" : "W32";
}

}  // namespace

std::string mediumFolderOf(const std::string& name, os::Architecture architecture) {
    std::string current;
    currentDirectory(&current);
    return mediumFolderIn(current, name, architecture);
}

bool mediumSource(const std::string& name, os::Architecture architecture, std::string* source) {
    std::string current;
    if (!currentDirectory(&current)) return false;
    *source = current + "\\" + mediumFolderIn(current, name, architecture) + "\\" + name;
    return true;
}

namespace {

bool reachesAnotherFolder(const std::string& name) {
    return name.find_first_of("\\/:") != std::string::npos || name.find("..") != std::string::npos;
}

bool endsInDotOrBlank(const std::string& name) {
    return !name.empty() && (name.back() == '.' || name.back() == ' ');
}

bool holdsShortNameAlias(const std::string& name) {
    for (size_t tilde = name.find('~'); tilde != std::string::npos; tilde = name.find('~', tilde + 1))
        if (tilde + 1 < name.size() && name[tilde + 1] >= '0' && name[tilde + 1] <= '9') return true;
    return false;
}

// Windows takes a device's name for the device in any folder, with any
// extension and blanks before it ("nul .txt"). The digits include the
// superscripts one, two and three of the ANSI code page, which Windows
// documents as devices too.
bool isDeviceName(const std::string& name) {
    std::string stem = config::upperAscii(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"})
        if (stem == device) return true;
    if (stem.size() != 4 || (stem.compare(0, 3, "COM") != 0 && stem.compare(0, 3, "LPT") != 0)) return false;
    const unsigned char digit = static_cast<unsigned char>(stem[3]);
    return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

}  // namespace

bool isPlainFileName(const std::string& name) {
    return !reachesAnotherFolder(name) && !endsInDotOrBlank(name) && !holdsShortNameAlias(name) &&
           !isDeviceName(name);
}

bool mediumNameAccepted(const std::string& name, std::string& errorText) {
    if (isPlainFileName(name)) return true;
    std::string current;
    currentDirectory(&current);
    errorText = copyFailure(name, ERROR_INVALID_NAME, current + "\\W32\\" + name);
    return false;
}

DriverCacheState& driverCache() {
    static DriverCacheState state;
    return state;
}

void resetDriverCache() { driverCache() = DriverCacheState(); }

int copyDriverFile(std::string& name, int target, int targetOs, bool prefixed, std::string& errorText,
                   os::Architecture architecture) {
    name = config::upperAscii(name);
    if (comesFromWindows(name, targetOs)) {
        if (targetOs <= 4) return copyFromDriverCache(name, target, prefixed, errorText);
        const bool packagesByArchitecture =
            os::runningSystem().ntAtLeast(6, 2) || os::sixtyFourBit(os::machineArchitecture());
        return packagesByArchitecture ? copyFromNtprintPackage(name, errorText, architecture)
                                      : copyFromDriverStore(name, errorText);
    }
    return copyFromMedium(name, target, prefixed, errorText, architecture);
}

int copyDriverFile(char* name, int target, int targetOs, bool prefixed, std::string& errorText,
                   os::Architecture architecture) {
    if (name == nullptr) return kCopyFailed;
    std::string text(name);
    int result = copyDriverFile(text, target, targetOs, prefixed, errorText, architecture);
    std::memcpy(name, text.c_str(), text.size());  // same length: upper case in place
    return result;
}

bool extractDriverCache() {
    std::string windows;
    windowsDirectory(&windows);
    const std::string folder = windows + "\\Driver Cache\\i386\\";
    DriverCacheState& cache = driverCache();
    WIN32_FIND_DATAA found;
    HANDLE search = os::sys().FindFirstFileA((folder + "*.cab").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            cache.cabinets.push_back(found.cFileName);
        } while (os::sys().FindNextFileA(search, &found));
        os::sys().FindClose(search);
    }
    if (cache.cabinets.empty()) return false;
    std::string temp;
    if (tempDirectory(&temp)) {
        if (!temp.empty() && temp.back() != '\\') temp += '\\';
        cache.folder = makePrivateFolder(temp);
    }
    if (cache.folder.empty()) {
        logFailure("a private folder for the driver cache's files", "none made", os::sys().GetLastError());
        return false;
    }
    bool lastSucceeded = false;
    for (const std::string& cabinet : cache.cabinets)
        lastSucceeded = os::sys().SetupIterateCabinetA((folder + cabinet).c_str(), 0, &cabinetHandler,
                                                       &cache.folder) != FALSE;
    return lastSucceeded;
}

void removeDriverCacheFolder() {
    DriverCacheState& cache = driverCache();
    if (cache.folder.empty()) return;
    for (const char* name : kUnidrvCabinetNames) os::sys().DeleteFileA((cache.folder + "\\" + name).c_str());
    os::sys().RemoveDirectoryA(cache.folder.c_str());
    cache.folder.clear();
}

void stageUnidrvFiles(int targetOs, bool needsUnidrvFiles, std::string& errorText,
                      os::Architecture architecture) {
    if (targetOs == 0) {
        std::string iconLibrary = "ICONLIB.DLL";
        copyDriverFile(iconLibrary, kDriverDirectory, targetOs, false, errorText);
        std::string system, windows;
        if (!systemDirectory(&system) || !windowsDirectory(&windows)) {
            errorText = message("IDS_ERR_ALLOCMEMORY");
            return;
        }
        const std::string installed = system + "\\UNIDRV.DLL";
        HANDLE file = os::sys().CreateFileA(installed.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            os::sys().CloseHandle(file);
            return;
        }
        const std::string backup = windows + "\\Sysbckup\\UNIDRV.DLL";
        if (!os::sys().CopyFileA(backup.c_str(), installed.c_str(), TRUE)) {
            std::string unidrv = "UNIDRV.DLL";
            copyDriverFile(unidrv, kDriverDirectory, targetOs, false, errorText);
        }
        return;
    }
    if (targetOs < 2 || targetOs > 7 || !needsUnidrvFiles) return;
    for (const char* file : {"TTFSUB.GPD", "STDNAMES.GPD"}) {
        std::string name = file;
        copyDriverFile(name, kDriverDirectory, targetOs, false, errorText, architecture);
    }
    std::string resources = "UNIRES.DLL", discarded;
    copyDriverFile(resources, kDriverDirectory, targetOs, false, discarded, architecture);
}

}  // namespace install
