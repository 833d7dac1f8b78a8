#include "install/HeldProgramFolder.h"

#include "os/Os.h"

namespace install {
namespace {

// How deep below the program's folder the medium's folders go (USBDrv\X64
// is two): deeper is no medium of ours.
const int kMostDepth = 8;

// A server at the other end of what is opened may learn who the program is,
// but never act as it.
const DWORD kNoImpersonation = SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;

bool isShare(const std::string& path) {
    if (path.compare(0, 8, "\\\\?\\UNC\\") == 0) return true;
    return path.size() > 2 && path[0] == '\\' && path[1] == '\\' && path[2] != '?' && path[2] != '.';
}

// "C:\name\..." with no empty name, "." or "..": each folder above is its
// own name, as Windows reads it.
bool isPlainDrivePath(const std::string& path) {
    if (path.size() < 4 || path[1] != ':' || path[2] != '\\' || path.back() == '\\') return false;
    size_t start = 3;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        const std::string name = path.substr(start, end - start);
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) return false;
        start = end + 1;
    }
    return true;
}

std::vector<BYTE> securityOf(HANDLE handle) {
    os::Os& sys = os::sys();
    const SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    if (sys.GetKernelObjectSecurity(handle, wanted, nullptr, 0, &needed) || needed == 0) return {};
    std::vector<BYTE> descriptor(needed);
    if (!sys.GetKernelObjectSecurity(handle, wanted, descriptor.data(), needed, &needed)) return {};
    return descriptor;
}

// A link, or not the kind (folder or file) its listing said it was.
bool isLink(HANDLE handle, bool folder) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!os::sys().GetFileInformationByHandle(handle, &info)) return true;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
    return folder != ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
}

}  // namespace

FolderCheck HeldProgramFolder::hold(const std::string& folder, const SdTrusted& trusted) {
    release();
    refusal_.clear();
    if (isShare(folder)) return FolderCheck::OnAShare;
    if (!isPlainDrivePath(folder)) {
        refuse(folder, "is no plain path on a drive of this computer");
        return FolderCheck::Refused;
    }
    // From the drive's root down: the folders above to the rule of the way
    // down, the program's folder to the whole.
    for (size_t at = 3; at <= folder.size(); ++at) {
        if (at > 3 && at < folder.size() && folder[at] != '\\') continue;
        const bool own = at == folder.size();
        if (!openOne(folder.substr(0, at), true, own ? SD_WRITE_RIGHTS : SD_KEEP_RIGHTS, trusted))
            return FolderCheck::Refused;
    }
    return holdTree(folder, 0, trusted) ? FolderCheck::Kept : FolderCheck::Refused;
}

// A folder is opened as itself and held; a file is looked at and let go.
bool HeldProgramFolder::openOne(const std::string& path, bool folder, unsigned long rights, const SdTrusted& trusted) {
    os::Os& sys = os::sys();
    const DWORD access = (folder ? FILE_LIST_DIRECTORY : 0) | FILE_READ_ATTRIBUTES | READ_CONTROL;
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | (folder ? 0 : FILE_SHARE_DELETE);
    HANDLE handle = sys.CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT | kNoImpersonation,
                                    nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return refuse(path, "could not be opened to be checked (system error " +
                                std::to_string(sys.GetLastError()) + ")");
    if (folder) held_.push_back(handle);
    const bool link = isLink(handle, folder);
    const std::vector<BYTE> descriptor = link ? std::vector<BYTE>() : securityOf(handle);
    if (!folder) sys.CloseHandle(handle);
    if (link) return refuse(path, "is a link to somewhere else, or not what its folder lists");
    if (descriptor.empty()) return refuse(path, "has an access list that could not be read");
    if (sdOpenToOthersThan(descriptor.data(), descriptor.size(), rights, &trusted) != 0)
        return refuse(path, rights == SD_KEEP_RIGHTS
                                ? "may be deleted or renamed by users who are not administrators (its access "
                                  "list, its owner or its folder's lets them)"
                                : "may be changed by users who are not administrators (its access list or its "
                                  "owner lets them)");
    return true;
}

bool HeldProgramFolder::holdTree(const std::string& folder, int depth, const SdTrusted& trusted) {
    os::Os& sys = os::sys();
    if (depth > kMostDepth) return refuse(folder, "lies deeper than any medium's folders");
    WIN32_FIND_DATAA found;
    HANDLE search = sys.FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return refuse(folder, "could not be listed to be checked");
    bool kept = true;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const std::string path = folder + "\\" + name;
        kept = openOne(path, isFolder, SD_WRITE_RIGHTS, trusted) && (!isFolder || holdTree(path, depth + 1, trusted));
    } while (kept && sys.FindNextFileA(search, &found));
    sys.FindClose(search);
    return kept;
}

bool HeldProgramFolder::refuse(const std::string& path, const std::string& why) {
    release();
    refusal_ = path + " " + why;
    return false;
}

void HeldProgramFolder::release() {
    for (HANDLE folder : held_) os::sys().CloseHandle(folder);
    held_.clear();
}

}  // namespace install
