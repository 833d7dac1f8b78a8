#include "install/GuardedFile.h"

#include "config/AsciiCase.h"
#include "install/SecurityDescriptor.h"
#include "install/TrustedAccounts.h"
#include "os/Os.h"

namespace install {
namespace {

// A server at the other end of what is opened (a named pipe) may learn who
// the program is, but never act as it.
const DWORD kNoImpersonation = SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;

bool isSeparator(char c) { return c == '\\' || c == '/'; }

bool isNtFamily() {
    OSVERSIONINFOA version;
    return os::runningVersion(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::string currentDirectory() {
    char folder[MAX_PATH + 1] = {};
    DWORD length = os::sys().GetCurrentDirectoryA(sizeof folder, folder);
    return length > 0 && length < sizeof folder ? std::string(folder, length) : std::string();
}

// The names of a path below its root, "." and ".." taken as Windows takes them.
void appendNames(const std::string& rest, std::vector<std::string>* names) {
    std::string name;
    for (size_t i = 0; i <= rest.size(); ++i) {
        if (i < rest.size() && !isSeparator(rest[i])) {
            name += rest[i];
            continue;
        }
        if (name == "..") {
            if (!names->empty()) names->pop_back();
        } else if (!name.empty() && name != ".") {
            names->push_back(name);
        }
        name.clear();
    }
}

// "C:\" or "\\server\share\" and the names below it, of a path made full
// against the current directory; false for a device's path ("\\.\",
// "\\?\"), a pipe's ("\\server\pipe\") and a path without a name.
bool splitPath(const std::string& path, std::string* root, std::vector<std::string>* names, int depth = 0) {
    names->clear();
    if (path.empty() || depth > 1) return false;
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        const size_t serverEnd = path.find_first_of("\\/", 2);
        if (serverEnd == std::string::npos || serverEnd == 2) return false;
        const std::string server = path.substr(2, serverEnd - 2);
        if (server == "." || server == "?") return false;
        const size_t shareEnd = path.find_first_of("\\/", serverEnd + 1);
        const std::string share = path.substr(serverEnd + 1, shareEnd == std::string::npos ? std::string::npos
                                                                                            : shareEnd - serverEnd - 1);
        if (share.empty() || config::equalIgnoringCase(share, "pipe")) return false;
        *root = "\\\\" + server + "\\" + share + "\\";
        if (shareEnd != std::string::npos) appendNames(path.substr(shareEnd + 1), names);
    } else if (path.size() >= 3 && path[1] == ':' && isSeparator(path[2])) {
        *root = path.substr(0, 2) + "\\";
        appendNames(path.substr(3), names);
    } else {
        // Relative to the current directory, to its drive's root, or (for
        // "C:name") to the drive's root when the current directory lies elsewhere.
        const std::string current = currentDirectory();
        std::string full;
        if (path.size() >= 2 && path[1] == ':')
            full = config::equalIgnoringCase(current.substr(0, 2), path.substr(0, 2)) ? current + "\\" + path.substr(2)
                                                                                    : path.substr(0, 2) + "\\" + path.substr(2);
        else if (isSeparator(path[0]))
            full = current.substr(0, 2) + path;
        else
            full = current + "\\" + path;
        return splitPath(full, root, names, depth + 1);
    }
    return !names->empty();
}

std::string joined(const std::string& root, const std::vector<std::string>& names, size_t count) {
    std::string path = root;
    for (size_t i = 0; i < count; ++i) path += (i ? "\\" : "") + names[i];
    return path;
}

// A folder, and not a link to one.
bool isFolderOfItsOwn(HANDLE folder) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!os::sys().GetFileInformationByHandle(folder, &info)) return false;
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A file that is a file and nothing else: not a folder, not a link to
// somewhere else, not another name of a file kept elsewhere.
bool isPlainFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!os::sys().GetFileInformationByHandle(file, &info)) return false;
    const DWORD other = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    return (info.dwFileAttributes & other) == 0 && info.nNumberOfLinks == 1;
}

// Where an open file or folder really lies ("C:\A\b.log", "\\server\share\b.log"),
// without a trailing backslash; empty where the system cannot tell (before Vista).
std::string finalPath(HANDLE handle) {
    char path[4 * MAX_PATH] = {};
    const DWORD length = os::sys().GetFinalPathNameByHandleA(handle, path, sizeof path, 0);
    if (length == 0 || length >= sizeof path) return std::string();
    // Vista's ANSI form counts the terminator too: the text decides.
    std::string result(path);
    if (result.compare(0, 8, "\\\\?\\UNC\\") == 0)
        result = "\\\\" + result.substr(8);
    else if (result.compare(0, 4, "\\\\?\\") == 0)
        result = result.substr(4);
    while (!result.empty() && result.back() == '\\') result.pop_back();
    return result;
}

// Whether someone besides the administrators, the system and the program's
// own account may write in the folder, or make it his: a folder whose
// access list cannot be read counts as such.
bool othersMayWrite(HANDLE folder, const FolderRule& rule) {
    os::Os& sys = os::sys();
    const SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    if (sys.GetKernelObjectSecurity(folder, wanted, nullptr, 0, &needed) || needed == 0) return true;
    std::vector<BYTE> descriptor(needed);
    if (!sys.GetKernelObjectSecurity(folder, wanted, descriptor.data(), needed, &needed)) return true;
    const SdTrusted trusted = trustedAccounts(rule.ownSid);
    return sdOpenToOthersThan(descriptor.data(), descriptor.size(), SD_WRITE_RIGHTS, &trusted) != 0;
}

}  // namespace

PathCheck GuardedFile::open(const std::string& path, DWORD disposition, const FolderRule& rule) {
    close();
    folder_.clear();
    name_.clear();
    error_ = 0;
    if (isNtFamily()) return openOnNt(path, disposition, rule);
    // Windows 95, 98 and Me have neither links nor rights to append with.
    file_ = os::sys().CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) {
        error_ = os::sys().GetLastError();
        return PathCheck::Failed;
    }
    os::sys().SetFilePointer(file_, 0, nullptr, FILE_END);
    return PathCheck::Opened;
}

PathCheck GuardedFile::openOnNt(const std::string& path, DWORD disposition, const FolderRule& rule) {
    std::string root;
    std::vector<std::string> names;
    if (!splitPath(path, &root, &names)) return PathCheck::NotAFilePath;
    const std::string name = names.back();
    names.pop_back();
    PathCheck check = holdFolders(root, names);
    if (check == PathCheck::Opened && rule.administratorsOnly && othersMayWrite(folders_.back(), rule)) {
        folder_ = folderPaths_.back();
        check = PathCheck::OpenToOthers;
    }
    if (check == PathCheck::Opened) {
        name_ = name;
        check = openFile(filePath(name), disposition);
    }
    if (check == PathCheck::Opened) check = checkWhereItLies();
    if (check != PathCheck::Opened) close();
    return check;
}

// Each folder from the root to the file's own, opened as itself and held:
// while it is held, nobody can delete it or rename it and put a link in
// its place.
PathCheck GuardedFile::holdFolders(const std::string& root, const std::vector<std::string>& folders) {
    for (size_t count = 0; count <= folders.size(); ++count) {
        const std::string path = joined(root, folders, count);
        HANDLE folder = os::sys().CreateFileA(
            path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE,
            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT | kNoImpersonation,
            nullptr);
        if (folder == INVALID_HANDLE_VALUE) {
            error_ = os::sys().GetLastError();
            folder_ = path;
            return PathCheck::Failed;
        }
        folders_.push_back(folder);
        folderPaths_.push_back(path);
        if (!isFolderOfItsOwn(folder)) {
            folder_ = path;
            return PathCheck::LinkOnTheWay;
        }
    }
    return PathCheck::Opened;
}

// The link itself is what is opened, and looked at before anything is written.
PathCheck GuardedFile::openFile(const std::string& path, DWORD disposition) {
    os::Os& sys = os::sys();
    file_ = sys.CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                            disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | kNoImpersonation,
                            nullptr);
    if (file_ == INVALID_HANDLE_VALUE) {
        error_ = sys.GetLastError();
        // A folder of that name cannot be opened as a file, and is not one.
        const DWORD attributes = sys.GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathCheck::NotPlain
                                                                                                : PathCheck::Failed;
    }
    return isPlainFile(file_) ? PathCheck::Opened : PathCheck::NotPlain;
}

// After the opening, the folders held are still folders of their own, and
// the file lies in the last of them: nothing was made a link between the
// look at a folder and the opening of the file in it.
PathCheck GuardedFile::checkWhereItLies() {
    for (size_t i = 0; i < folders_.size(); ++i) {
        if (isFolderOfItsOwn(folders_[i])) continue;
        folder_ = folderPaths_[i];
        return PathCheck::LinkOnTheWay;
    }
    const std::string folder = finalPath(folders_.back()), file = finalPath(file_);
    if (folder.empty() || file.empty()) return PathCheck::Opened;
    const size_t slash = file.find_last_of('\\');
    if (slash != std::string::npos && config::equalIgnoringCase(file.substr(0, slash), folder)) return PathCheck::Opened;
    folder_ = folderPaths_.back();
    return PathCheck::LinkOnTheWay;
}

std::string GuardedFile::filePath(const std::string& name) const {
    const std::string& folder = folderPaths_.back();
    return folder + (folder.back() == '\\' ? "" : "\\") + name;
}

// A rename moves names, never writes through them: a link or a second name
// of another file at `asideName` is replaced as a name, whatever it leads to.
PathCheck GuardedFile::moveAside(const std::string& asideName, DWORD* moveError) {
    os::Os& sys = os::sys();
    *moveError = ERROR_INVALID_FUNCTION;
    if (file_ == INVALID_HANDLE_VALUE || name_.empty()) return PathCheck::Failed;
    // The file is not opened to be deleted or renamed by others: closed first.
    sys.CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    const std::string path = filePath(name_);
    *moveError = sys.MoveFileExA(path.c_str(), filePath(asideName).c_str(), MOVEFILE_REPLACE_EXISTING)
                     ? 0
                     : sys.GetLastError();
    PathCheck check = openFile(path, OPEN_ALWAYS);
    if (check == PathCheck::Opened) check = checkWhereItLies();
    if (check != PathCheck::Opened) close();
    return check;
}

void GuardedFile::close() {
    if (file_ != INVALID_HANDLE_VALUE) os::sys().CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    for (HANDLE folder : folders_) os::sys().CloseHandle(folder);
    folders_.clear();
    folderPaths_.clear();
}

}  // namespace install
