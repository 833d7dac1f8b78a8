// A file opened to append to through a path that nobody else has turned
// into something else. The program runs as an administrator or as the
// system account, and the file (the install log) may lie in a folder
// others can write: a folder on the way that another user has replaced by a
// junction or a link, a last name made a link to some system file or a
// second name of one, a named pipe whose server would act as the program:
// none of them is ever written through. Every folder on the way is opened
// as itself (a link is not followed) and held open, without letting anyone
// delete or rename it, for as long as the file is open; where the system
// says where an open file really lies (Vista on), that is checked too.
#pragma once

#include <string>
#include <vector>

#include "os/WinApi.h"

namespace install {

enum class PathCheck {
    Opened,
    NotPlain,      // the last name is a folder, a link or a second name of another file
    LinkOnTheWay,  // a folder on the way is a link to somewhere else, or leads elsewhere
    OpenToOthers,  // the file's folder may be written by others than the administrators
    NotAFilePath,  // a device or pipe, not a file on a disk or a share
    Failed,        // a folder is missing, or the file cannot be opened
};

// Whose folder the file may lie in: with `administratorsOnly`, only one
// that no one but the administrators, the system and the account itself
// (its SID in `ownSid`) may write.
struct FolderRule {
    bool administratorsOnly = false;
    std::vector<BYTE> ownSid;
};

class GuardedFile {
public:
    GuardedFile() = default;
    ~GuardedFile() { close(); }
    GuardedFile(const GuardedFile&) = delete;
    GuardedFile& operator=(const GuardedFile&) = delete;

    // Opens `path` (made full against the current directory) to append to,
    // with CreateFileA's `disposition`; on the NT family with the checks
    // above. Anything but Opened leaves nothing open.
    PathCheck open(const std::string& path, DWORD disposition, const FolderRule& rule);
    void close();

    // Moves the open file to `asideName` in its folder, in place of
    // whatever lies there, and opens a new file under its own name with the
    // checks above. The folders stay held throughout, so that both names
    // stay in the folder that was checked. Returns how the new file's
    // opening fared; where the move itself fails, the file is opened again
    // as it is, and `*moveError` is the system's error code (0 when moved).
    PathCheck moveAside(const std::string& asideName, DWORD* moveError);

    HANDLE handle() const { return file_; }
    // The folder a refusal is about.
    const std::string& folder() const { return folder_; }
    // The system error code of a Failed opening.
    DWORD error() const { return error_; }

private:
    PathCheck openOnNt(const std::string& path, DWORD disposition, const FolderRule& rule);
    PathCheck holdFolders(const std::string& root, const std::vector<std::string>& folders);
    PathCheck openFile(const std::string& path, DWORD disposition);
    PathCheck checkWhereItLies();
    std::string filePath(const std::string& name) const;

    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::vector<HANDLE> folders_;  // the root first, the file's own folder last
    std::vector<std::string> folderPaths_;
    std::string folder_;
    std::string name_;  // the file's last name, on the NT family
    DWORD error_ = 0;
};

}  // namespace install
