#include "os/sim/Security.h"

#include <cstdlib>
#include <cstring>

namespace os::sim {
namespace {

template <typename T>
T readAt(const BYTE* bytes, size_t offset) {
    T value;
    std::memcpy(&value, bytes + offset, sizeof value);
    return value;
}

template <typename T>
void put(std::vector<BYTE>& bytes, T value) {
    BYTE raw[sizeof value];
    std::memcpy(raw, &value, sizeof value);
    bytes.insert(bytes.end(), raw, raw + sizeof value);
}

const WORD kSelfRelative = 0x8000, kDaclPresent = 0x0004, kDaclProtected = 0x1000;
const BYTE kObjectInherit = 0x01, kContainerInherit = 0x02, kInheritOnly = 0x08;
const BYTE kToFilesAndFolders = kObjectInherit | kContainerInherit;
const BYTE kOnlyToWhatItHolds = kToFilesAndFolders | kInheritOnly;

// Full control; modify; read and execute; and the rights Users have in a
// drive's root and in the system's temporary folder: to add folders, and
// to add files and folders and pass through.
const DWORD kFull = 0x001F01FF, kModify = 0x001301BF, kReadAndExecute = 0x001200A9, kAddFolder = 0x0004,
            kAddFile = 0x0002, kAddAndTraverse = 0x0026;

}  // namespace

std::vector<BYTE> sidBytes(const std::string& text) {
    // "S-1-<authority>-<sub>..."
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t dash = text.find('-'); dash != std::string::npos; dash = text.find('-', start)) {
        parts.push_back(text.substr(start, dash - start));
        start = dash + 1;
    }
    parts.push_back(text.substr(start));
    if (parts.size() < 3 || parts[0] != "S" || parts[1] != "1") return {};
    const unsigned long long authority = std::strtoull(parts[2].c_str(), nullptr, 10);
    std::vector<BYTE> sid = {1, static_cast<BYTE>(parts.size() - 3)};
    for (int shift = 40; shift >= 0; shift -= 8) sid.push_back(static_cast<BYTE>(authority >> shift));
    for (size_t i = 3; i < parts.size(); ++i) put(sid, static_cast<DWORD>(std::strtoul(parts[i].c_str(), nullptr, 10)));
    return sid;
}

std::string sidText(const BYTE* sid) {
    unsigned long long authority = 0;
    for (int i = 2; i < 8; ++i) authority = (authority << 8) | sid[i];
    std::string result = "S-1-" + std::to_string(authority);
    for (BYTE i = 0; i < sid[1]; ++i) result += "-" + std::to_string(readAt<DWORD>(sid, 8 + 4 * i));
    return result;
}

bool readDescriptor(const void* bytes, Descriptor* descriptor) {
    const BYTE* sd = static_cast<const BYTE*>(bytes);
    const WORD control = readAt<WORD>(sd, 2);
    if (sd[0] != 1 || !(control & kSelfRelative)) return false;
    *descriptor = Descriptor();
    descriptor->isProtected = (control & kDaclProtected) != 0;
    if (DWORD owner = readAt<DWORD>(sd, 4)) descriptor->owner = sidText(sd + owner);
    const DWORD daclOffset = readAt<DWORD>(sd, 16);
    descriptor->daclPresent = (control & kDaclPresent) && daclOffset != 0;
    if (!descriptor->daclPresent) return true;
    const BYTE* acl = sd + daclOffset;
    const WORD count = readAt<WORD>(acl, 4);
    const BYTE* ace = acl + 8;
    for (WORD i = 0; i < count; ++i) {
        const WORD size = readAt<WORD>(ace, 2);
        if (ace[0] != 0 || size < 8 + 8) return false;  // ACCESS_ALLOWED_ACE_TYPE only
        descriptor->dacl.push_back({sidText(ace + 8), readAt<DWORD>(ace, 4), ace[1]});
        ace += size;
    }
    return true;
}

std::vector<BYTE> makeDescriptor(const Descriptor& descriptor) {
    const std::vector<BYTE> owner = descriptor.owner.empty() ? std::vector<BYTE>() : sidBytes(descriptor.owner);
    std::vector<BYTE> acl;
    for (const AccessEntry& entry : descriptor.dacl) {
        const std::vector<BYTE> sid = sidBytes(entry.sid);
        acl.push_back(0);
        acl.push_back(entry.flags);
        put(acl, static_cast<WORD>(8 + sid.size()));
        put(acl, entry.mask);
        acl.insert(acl.end(), sid.begin(), sid.end());
    }
    WORD control = kSelfRelative;
    if (descriptor.daclPresent) control |= kDaclPresent;
    if (descriptor.isProtected) control |= kDaclProtected;
    std::vector<BYTE> bytes = {1, 0};
    put(bytes, control);
    put(bytes, static_cast<DWORD>(owner.empty() ? 0 : 20));
    put(bytes, DWORD{0});
    put(bytes, DWORD{0});
    put(bytes, static_cast<DWORD>(descriptor.daclPresent ? 20 + owner.size() : 0));
    bytes.insert(bytes.end(), owner.begin(), owner.end());
    if (descriptor.daclPresent) {
        bytes.push_back(2);  // ACL_REVISION
        bytes.push_back(0);
        put(bytes, static_cast<WORD>(8 + acl.size()));
        put(bytes, static_cast<WORD>(descriptor.dacl.size()));
        put(bytes, WORD{0});
        bytes.insert(bytes.end(), acl.begin(), acl.end());
    }
    return bytes;
}

std::string tokenUser(const Machine& machine) {
    if (machine.systemAccount) return wellKnown::kSystem;
    return machine.user.empty() ? wellKnown::kUser : machine.user;
}

std::vector<std::string> tokenSids(const Machine& machine) {
    std::vector<std::string> sids = {tokenUser(machine), wellKnown::kEveryone, wellKnown::kUsers,
                                     wellKnown::kAuthenticatedUsers};
    if (machine.administrator) sids.push_back(wellKnown::kAdministrators);
    return sids;
}

std::string defaultOwner(const Machine& machine) {
    // The policy is about the administrators' own accounts: the system
    // account's objects stay the Administrators group's.
    const bool windowsXp = machine.isNt() && machine.major == 5 && machine.minor == 1;
    if (!machine.administrator || (windowsXp && !machine.systemAccount)) return tokenUser(machine);
    return wellKnown::kAdministrators;
}

bool mayOwn(const Machine& machine, const std::string& owner) {
    return owner == tokenUser(machine) || (owner == wellKnown::kAdministrators && machine.administrator);
}

DWORD grantedRights(const Machine& machine, const Descriptor& descriptor, DWORD allRights) {
    if (!descriptor.daclPresent) return allRights;
    const std::vector<std::string> sids = tokenSids(machine);
    auto held = [&sids](const std::string& sid) {
        for (const std::string& own : sids)
            if (own == sid) return true;
        return false;
    };
    DWORD granted = 0;
    for (const AccessEntry& entry : descriptor.dacl) {
        if ((entry.flags & kInheritOnly) || !held(entry.sid)) continue;
        DWORD mask = entry.mask;
        if (mask & GENERIC_ALL) mask |= allRights;
        if (mask & (GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE)) mask |= READ_CONTROL | SYNCHRONIZE;
        granted |= mask & allRights;
    }
    if (!descriptor.owner.empty() && held(descriptor.owner)) granted |= READ_CONTROL | WRITE_DAC;
    return granted;
}

void secureFreshMachine(const Machine& machine, FileSystem& files) {
    using namespace wellKnown;
    if (!machine.isNt()) return;
    const bool vistaOn = machine.major >= 6;
    std::vector<AccessEntry> root = {{kAdministrators, kFull, kToFilesAndFolders},
                                     {kSystem, kFull, kToFilesAndFolders},
                                     {kUsers, kReadAndExecute, kToFilesAndFolders}};
    if (vistaOn) {
        // Any signed-in user may make a folder in the root, and change what is in it.
        root.push_back({kAuthenticatedUsers, kModify, kOnlyToWhatItHolds});
        root.push_back({kAuthenticatedUsers, kAddFolder, 0});
    } else {
        // Users may make folders, and files in the folders below.
        root.push_back({kCreatorOwner, kFull, kOnlyToWhatItHolds});
        root.push_back({kEveryone, kReadAndExecute, 0});
        root.push_back({kUsers, kAddFolder, kContainerInherit});
        root.push_back({kUsers, kAddFile, kContainerInherit | kInheritOnly});
    }
    files.setSecurity("C:\\", kAdministrators, root, true);
    std::vector<AccessEntry> windows = {{kAdministrators, kFull, kToFilesAndFolders},
                                        {kSystem, kFull, kToFilesAndFolders},
                                        {kUsers, kReadAndExecute, kToFilesAndFolders},
                                        {kCreatorOwner, kFull, kOnlyToWhatItHolds}};
    if (!vistaOn) windows.push_back({kPowerUsers, kModify, kToFilesAndFolders});
    if (vistaOn) windows.push_back({kTrustedInstaller, kFull, kToFilesAndFolders});
    files.setSecurity(machine.windowsDirectory, vistaOn ? kTrustedInstaller : kAdministrators, windows, true);
    // The program files folders: users may read and run what is there, and
    // add nothing; on 2000 to 2003 the Power Users may change it, from Vista
    // on it belongs to TrustedInstaller.
    std::vector<AccessEntry> programs = {{kAdministrators, kFull, kToFilesAndFolders},
                                         {kSystem, kFull, kToFilesAndFolders},
                                         {kUsers, kReadAndExecute, kToFilesAndFolders},
                                         {kCreatorOwner, kFull, kOnlyToWhatItHolds}};
    programs.push_back(vistaOn ? AccessEntry{kTrustedInstaller, kFull, kToFilesAndFolders}
                               : AccessEntry{kPowerUsers, kModify, kToFilesAndFolders});
    for (const char* folder : {"C:\\Program Files", "C:\\Program Files (x86)"}) {
        if (std::string(folder).find("x86") != std::string::npos && !machine.wow64()) continue;
        files.makeDirectories(folder);
        files.setSecurity(folder, vistaOn ? kTrustedInstaller : kAdministrators, programs, true);
    }
    // The system account's temporary folder: every user may put files there.
    const std::string temp = FileSystem::fullPath(machine.windowsDirectory + "\\Temp", "C:\\");
    if (files.isDirectory(temp)) files.setSecurity(temp, kAdministrators, {{kUsers, kAddAndTraverse, kContainerInherit}}, false);
}

}  // namespace os::sim
