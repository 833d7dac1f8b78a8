// The simulated machine's disks: drives of directories and files, names
// compared without regard to case, attributes, files held open by this
// program or by others (a loaded DLL, another process), and host folders
// mounted read-only, as an installation medium is.
//
// Operations return a Win32 error code (0 for success); the SimOs wrappers
// turn that into the result and last error of the Win32 call.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "os/WinApi.h"
#include "os/sim/Text.h"

namespace os::sim {

class FileSystem {
public:
    struct Node {
        bool directory = false;
        std::string name;  // as created, case kept
        DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
        bool readOnlyMedium = false;  // lies on a mounted medium: never written
        std::vector<uint8_t> data;
        // When its content was last written, in FILETIME units: each write
        // of the machine is later than every one before it, and a copy keeps
        // its source's, as CopyFile keeps the last-write time.
        uint64_t written = 0;
        std::map<std::string, std::shared_ptr<Node>, LessNoCase> children;
        // Names the file has (hard links); a reparse point's target, which
        // opening it reaches unless the opening asks for the point itself.
        DWORD links = 1;
        std::string reparseTarget;
        // The access list a directory was created with (none: inherited),
        // each entry a SID in "S-1-5-..." form and its access mask, and
        // whether it is protected from what its parent passes on.
        struct Access {
            std::string sid;
            DWORD mask;
            BYTE flags;
        };
        std::vector<Access> dacl;
        bool daclProtected = false;
        // Its owner's SID; empty: the Administrators group, which owns
        // what the machine and its administrators made.
        std::string owner;
    };

    // One opening of a file: by this program through a handle, or by someone
    // else (a DLL loaded by the spooler, another program) through hold().
    struct Opening {
        std::shared_ptr<Node> node;
        std::string path;
        DWORD access = 0;
        DWORD share = 0;
        bool locked = false;  // writers get ERROR_ACCESS_DENIED instead of a sharing violation
        DWORD position = 0;
    };

    struct Entry {
        std::string name;
        DWORD attributes = 0;
        DWORD size = 0;
        uint64_t written = 0;
    };

    FileSystem();

    // Full path of `path` resolved against `currentDirectory`: separators
    // made backslashes, "." and ".." resolved, no trailing backslash except
    // at a drive root. Empty when the path cannot be resolved.
    static std::string fullPath(const std::string& path, const std::string& currentDirectory);
    // The directory part of a full path ("C:\A\b.txt" -> "C:\A"; "C:\" for a root entry).
    static std::string parentOf(const std::string& fullPath);
    static std::string nameOf(const std::string& fullPath);
    // Windows' wildcard match of * and ?, without regard to case.
    static bool matches(const std::string& pattern, const std::string& name);

    // Lookups on full paths. A link on the way (a junction, a symbolic link
    // to a folder) is followed, as Windows follows every link but the last
    // name's; the last name is what it is, a link itself included.
    std::shared_ptr<Node> find(const std::string& fullPath) const;
    // The path with every link on the way resolved (the last name as it is).
    std::string resolvedPath(const std::string& fullPath) const;
    bool isFile(const std::string& fullPath) const;
    bool isDirectory(const std::string& fullPath) const;

    // Win32 operations on full paths.
    // A reparse point is followed to its target unless `reparsePoint` asks
    // for the point itself. A folder is opened only with `folderToo` (what
    // FILE_FLAG_BACKUP_SEMANTICS asks for), and only as it is.
    DWORD open(const std::string& fullPath, DWORD access, DWORD share, DWORD disposition,
               DWORD attributes, std::shared_ptr<Opening>* opening, bool reparsePoint = false,
               bool folderToo = false);
    void close(const std::shared_ptr<Opening>& opening);
    DWORD read(Opening& opening, void* buffer, DWORD toRead, DWORD* read);
    DWORD write(Opening& opening, const void* buffer, DWORD toWrite, DWORD* written);
    DWORD copy(const std::string& from, const std::string& to, bool failIfExists);
    DWORD remove(const std::string& fullPath);
    // MoveFileEx's rename within a drive: names are moved, never what a
    // link leads to. With `replace` a file (or a link, or one name of a
    // file with several) at `to` gives way; a folder at either end never does.
    DWORD rename(const std::string& from, const std::string& to, bool replace);
    DWORD getAttributes(const std::string& fullPath, DWORD* attributes) const;
    DWORD setAttributes(const std::string& fullPath, DWORD attributes);
    DWORD makeDirectory(const std::string& fullPath, std::shared_ptr<Node>* made = nullptr);
    DWORD removeDirectory(const std::string& fullPath);
    // The entries of a directory matching a pattern ("C:\dir\*.cab"), in the
    // order NTFS returns them (by name without case), "." and ".." first.
    DWORD list(const std::string& fullPattern, std::vector<Entry>* entries) const;

    // Set-up helpers for the machine and for tests.
    void makeDirectories(const std::string& fullPath);
    void writeFile(const std::string& fullPath, const std::string& content);
    void writeFile(const std::string& fullPath, const std::vector<uint8_t>& content);
    // A file's last-write time, set as a test's history needs it; 0 for none.
    void setWritten(const std::string& fullPath, uint64_t written);
    uint64_t writtenOf(const std::string& fullPath) const;
    bool readFile(const std::string& fullPath, std::string* content) const;
    bool readFile(const std::string& fullPath, std::vector<uint8_t>* content) const;
    // Copies a host folder (recursively) into the machine at `fullPath` as a
    // read-only medium: its files are read-only and nothing can be written there.
    // Returns false when the host folder cannot be read.
    bool mount(const std::string& fullPath, const std::string& hostFolder);
    // Another party opens a file, as a loaded DLL or another program does.
    // `share` is what it allows others; `locked` makes writers get
    // ERROR_ACCESS_DENIED. Returns the opening, to be passed to release().
    std::shared_ptr<Opening> hold(const std::string& fullPath, DWORD share = FILE_SHARE_READ,
                                  bool locked = false);
    void release(const std::shared_ptr<Opening>& opening);
    // Another name for an existing file (a hard link), as another user could make.
    DWORD link(const std::string& existingFullPath, const std::string& newFullPath);
    // A symbolic link at `fullPath` to `target` (a reparse point).
    DWORD symlink(const std::string& fullPath, const std::string& target);
    // A junction: a folder at `fullPath` that leads to the folder `target`,
    // as any user may make of a folder he may write in: made new, or an
    // empty folder made one where it stands (its openings then see it so).
    DWORD junction(const std::string& fullPath, const std::string& target);

    // The owner and the access list in force on a file or folder: its own
    // entries, then (unless it is protected) what its folders pass on to
    // it, CREATOR OWNER standing for its owner. A drive whose root has no
    // access list has no security at all (`unsecured`). False when the
    // file or folder is missing.
    bool security(const std::string& fullPath, std::string* owner, std::vector<Node::Access>* dacl,
                  bool* unsecured) const;
    // Gives a file or folder an owner and access entries of its own.
    void setSecurity(const std::string& fullPath, const std::string& owner, const std::vector<Node::Access>& dacl,
                     bool isProtected);
    // How many openings (handles and holds) a file has.
    size_t openings(const std::string& fullPath) const;

private:
    std::shared_ptr<Node> findParent(const std::string& fullPath, DWORD* error) const;
    // The node and its real path, links on the way followed (`hops` deep at most).
    std::shared_ptr<Node> walk(const std::string& fullPath, std::string* real, int hops) const;
    // A folder things are made in or listed: a link there is followed too.
    std::shared_ptr<Node> findFolder(const std::string& fullPath, std::string* real) const;
    DWORD checkSharing(const Node* node, DWORD access, DWORD share) const;
    // Records an open handle's view of `node`, as the sharing checks see it.
    std::shared_ptr<Opening> addOpening(const std::shared_ptr<Node>& node, const std::string& path, DWORD access,
                                        DWORD share);
    DWORD checkWritable(const Node& node) const;
    // The next write's time: later than every earlier one.
    uint64_t nextWrite() { return lastWrite_ += 10000000; }
    std::shared_ptr<Node> drive(char letter, bool create);

    std::map<char, std::shared_ptr<Node>> drives_;
    std::vector<std::shared_ptr<Opening>> openings_;
    // 2020-01-01 in FILETIME units: the machine's files are all written after it.
    uint64_t lastWrite_ = 132223104000000000ull;
};

}  // namespace os::sim
