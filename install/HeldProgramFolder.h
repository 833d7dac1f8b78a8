// The program's own folder, when the program runs there as the local system
// account: setup.exe, the USB library it loads and the programs it starts
// lie there, so nobody but the trusted may change what it holds, and nobody
// may take it or a folder above it off its path (delete or rename it and put
// a link or another folder in its place) while the program runs. Checked as
// the package's custom action checks its installation folder (the same
// judgement, install/SecurityDescriptor.h):
//   - every folder above it: no link, a trusted owner, and nobody else may
//     delete or rename the next folder down (others may add to it, as to a
//     drive's root or Program Files);
//   - the folder itself, every folder below it and every file in them: no
//     link, a trusted owner, and nobody else may write, delete, rename or
//     re-own it.
// Every folder is opened as itself (a link is not followed) and held
// without delete sharing until release().
#pragma once

#include <string>
#include <vector>

#include "install/SecurityDescriptor.h"
#include "os/WinApi.h"

namespace install {

enum class FolderCheck {
    Kept,
    OnAShare,  // a network share, the administrator's to choose: not checked
    Refused,
};

class HeldProgramFolder {
public:
    HeldProgramFolder() = default;
    ~HeldProgramFolder() { release(); }
    HeldProgramFolder(const HeldProgramFolder&) = delete;
    HeldProgramFolder& operator=(const HeldProgramFolder&) = delete;

    // `folder` is a full path without a trailing backslash.
    FolderCheck hold(const std::string& folder, const SdTrusted& trusted);
    void release();
    // What a refusal is about and why ("C:\Deploy may be deleted or ...").
    const std::string& refusal() const { return refusal_; }

private:
    bool openOne(const std::string& path, bool folder, unsigned long rights, const SdTrusted& trusted);
    bool holdTree(const std::string& folder, int depth, const SdTrusted& trusted);
    bool refuse(const std::string& path, const std::string& why);

    std::vector<HANDLE> held_;
    std::string refusal_;
};

}  // namespace install
