#include "os/sim/FileSystem.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace os::sim {
namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

bool hasInvalidCharacter(const std::string& name) {
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || std::strchr("<>:\"|?*", c) != nullptr) return true;
    }
    return false;
}

// The data rights that sharing is about, generic or specific
// (FILE_READ_DATA 1, FILE_EXECUTE 0x20, FILE_WRITE_DATA 2, FILE_APPEND_DATA 4).
bool wantsRead(DWORD access) { return (access & (GENERIC_READ | GENERIC_ALL | 0x21)) != 0; }
bool wantsWrite(DWORD access) { return (access & (GENERIC_WRITE | GENERIC_ALL | 0x6)) != 0; }
bool wantsDelete(DWORD access) { return (access & (DELETE | GENERIC_ALL)) != 0; }
// An opening without any of them (a query of attributes) takes no part in sharing.
bool takesPartInSharing(DWORD access) {
    return wantsRead(access) || wantsWrite(access) || wantsDelete(access);
}

}  // namespace

FileSystem::FileSystem() { drive('C', true); }

std::shared_ptr<FileSystem::Node> FileSystem::drive(char letter, bool create) {
    letter = upperAscii(letter);
    auto it = drives_.find(letter);
    if (it != drives_.end()) return it->second;
    if (!create) return nullptr;
    auto root = std::make_shared<Node>();
    root->directory = true;
    root->attributes = FILE_ATTRIBUTE_DIRECTORY;
    root->name = std::string(1, letter) + ":";
    drives_[letter] = root;
    return root;
}

std::string FileSystem::fullPath(const std::string& path, const std::string& currentDirectory) {
    if (path.empty()) return "";
    std::string drive;
    std::string rest;
    if (path.size() >= 2 && path[1] == ':') {
        drive = std::string(1, upperAscii(path[0])) + ":";
        rest = path.substr(2);
        // "C:name" is relative to the current directory when that is on C:.
        bool sameDrive = currentDirectory.size() >= 2 &&
                         upperAscii(currentDirectory[0]) == drive[0] && currentDirectory[1] == ':';
        if (rest.empty() || !isSeparator(rest[0]))
            rest = (sameDrive ? currentDirectory.substr(2) : std::string()) + "\\" + rest;
    } else if (isSeparator(path[0])) {
        if (currentDirectory.size() < 2) return "";
        drive = currentDirectory.substr(0, 2);
        rest = path;
    } else {
        if (currentDirectory.size() < 2) return "";
        drive = currentDirectory.substr(0, 2);
        rest = currentDirectory.substr(2) + "\\" + path;
    }
    std::vector<std::string> parts;
    std::string part;
    auto flush = [&]() {
        // Windows drops trailing dots and blanks of each name.
        while (!part.empty() && (part.back() == '.' || part.back() == ' ') && part != "." &&
               part != "..")
            part.pop_back();
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    };
    for (char c : rest) {
        if (isSeparator(c))
            flush();
        else
            part += c;
    }
    flush();
    std::string result = drive;
    if (parts.empty()) return result + "\\";
    for (const auto& p : parts) result += "\\" + p;
    return result;
}

std::string FileSystem::parentOf(const std::string& full) {
    size_t slash = full.find_last_of('\\');
    if (slash == std::string::npos) return "";
    if (slash <= 2) return full.substr(0, 3);
    return full.substr(0, slash);
}

std::string FileSystem::nameOf(const std::string& full) {
    size_t slash = full.find_last_of('\\');
    return slash == std::string::npos ? full : full.substr(slash + 1);
}

bool FileSystem::matches(const std::string& pattern, const std::string& name) {
    if (pattern == "*" || pattern == "*.*") return true;
    // "*." names the files without an extension.
    if (pattern.size() >= 2 && pattern.back() == '.' && name.find('.') == std::string::npos)
        return matches(pattern.substr(0, pattern.size() - 1), name);
    // "name.*" takes "name" itself too: the dot of a pattern may stand for the end.
    if (pattern.size() >= 3 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
        name.find('.') == std::string::npos &&
        matches(pattern.substr(0, pattern.size() - 2), name))
        return true;
    size_t p = 0, n = 0, star = std::string::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || upperAscii(pattern[p]) == upperAscii(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::shared_ptr<FileSystem::Node> FileSystem::walk(const std::string& full, std::string* real, int hops) const {
    if (full.size() < 3 || full[1] != ':') return nullptr;
    auto it = drives_.find(upperAscii(full[0]));
    if (it == drives_.end()) return nullptr;
    std::shared_ptr<Node> node = it->second;
    std::string path = full.substr(0, 3);
    size_t pos = 3;
    while (pos < full.size()) {
        size_t next = full.find('\\', pos);
        std::string name = full.substr(pos, next == std::string::npos ? std::string::npos : next - pos);
        if (!node->directory) return nullptr;
        auto child = node->children.find(name);
        if (child == node->children.end()) return nullptr;
        node = child->second;
        path += (path.size() == 3 ? "" : "\\") + node->name;
        if (next == std::string::npos) break;
        pos = next + 1;
        if (!node->reparseTarget.empty()) {
            // A chain of links ends somewhere: Windows gives up after a few dozen.
            if (hops <= 0) return nullptr;
            const std::string& target = node->reparseTarget;
            return walk(target + (target.back() == '\\' ? "" : "\\") + full.substr(pos), real, hops - 1);
        }
    }
    if (real) *real = path;
    return node;
}

std::shared_ptr<FileSystem::Node> FileSystem::find(const std::string& full) const { return walk(full, nullptr, 32); }

std::shared_ptr<FileSystem::Node> FileSystem::findFolder(const std::string& full, std::string* real) const {
    std::string path = full;
    for (int hops = 0; hops < 32; ++hops) {
        auto node = walk(path, real, 32);
        if (!node || node->reparseTarget.empty()) return node;
        path = node->reparseTarget;
    }
    return nullptr;
}

std::string FileSystem::resolvedPath(const std::string& full) const {
    std::string real;
    if (walk(full, &real, 32)) return real;
    // A name not there yet: where it would be made.
    const std::string parent = parentOf(full);
    if (parent.empty() || parent == full || !findFolder(parent, &real)) return std::string();
    return real + (real.back() == '\\' ? "" : "\\") + nameOf(full);
}

bool FileSystem::isFile(const std::string& full) const {
    auto node = find(full);
    return node && !node->directory;
}

bool FileSystem::isDirectory(const std::string& full) const {
    auto node = find(full);
    return node && node->directory;
}

std::shared_ptr<FileSystem::Node> FileSystem::findParent(const std::string& full,
                                                         DWORD* error) const {
    std::string parent = parentOf(full);
    auto node = parent.empty() ? nullptr : findFolder(parent, nullptr);
    if (!node || !node->directory) {
        *error = ERROR_PATH_NOT_FOUND;
        return nullptr;
    }
    *error = 0;
    return node;
}

DWORD FileSystem::checkSharing(const Node* node, DWORD access, DWORD share) const {
    if (!takesPartInSharing(access)) return 0;
    for (const auto& o : openings_) {
        if (o->node.get() != node || !takesPartInSharing(o->access)) continue;
        if (o->locked && wantsWrite(access)) return ERROR_ACCESS_DENIED;
        if (wantsRead(access) && !(o->share & FILE_SHARE_READ)) return ERROR_SHARING_VIOLATION;
        if (wantsWrite(access) && !(o->share & FILE_SHARE_WRITE)) return ERROR_SHARING_VIOLATION;
        if (wantsDelete(access) && !(o->share & FILE_SHARE_DELETE)) return ERROR_SHARING_VIOLATION;
        if (wantsRead(o->access) && !(share & FILE_SHARE_READ)) return ERROR_SHARING_VIOLATION;
        if (wantsWrite(o->access) && !(share & FILE_SHARE_WRITE)) return ERROR_SHARING_VIOLATION;
        if (wantsDelete(o->access) && !(share & FILE_SHARE_DELETE)) return ERROR_SHARING_VIOLATION;
    }
    return 0;
}

DWORD FileSystem::checkWritable(const Node& node) const {
    if (node.readOnlyMedium) return ERROR_ACCESS_DENIED;
    if (node.directory) return ERROR_ACCESS_DENIED;
    if (node.attributes & FILE_ATTRIBUTE_READONLY) return ERROR_ACCESS_DENIED;
    return 0;
}

DWORD FileSystem::open(const std::string& full, DWORD access, DWORD share, DWORD disposition,
                       DWORD attributes, std::shared_ptr<Opening>* opening, bool reparsePoint, bool folderToo) {
    if (full.empty()) return ERROR_PATH_NOT_FOUND;
    // A chain of links ends somewhere: Windows gives up after a few dozen.
    std::string target = full;
    for (int hops = 0; !reparsePoint && hops < 32; ++hops) {
        auto point = find(target);
        if (!point || point->reparseTarget.empty()) break;
        // A link whose target exists or may be created: CREATE_NEW refuses the link itself.
        if (disposition == CREATE_NEW) return ERROR_FILE_EXISTS;
        target = point->reparseTarget;
    }
    if (target != full) return open(target, access, share, disposition, attributes, opening, true, folderToo);
    auto folder = find(full);
    if (folder && folder->directory) {
        if (!folderToo) return ERROR_ACCESS_DENIED;
        if (disposition == CREATE_NEW) return ERROR_ALREADY_EXISTS;
        if (disposition != OPEN_EXISTING && disposition != OPEN_ALWAYS) return ERROR_ACCESS_DENIED;
        if (DWORD e = checkSharing(folder.get(), access, share)) return e;
        *opening = addOpening(folder, resolvedPath(full), access, share);
        return 0;
    }
    if (hasInvalidCharacter(nameOf(full))) return ERROR_INVALID_NAME;
    DWORD error = 0;
    auto parent = findParent(full, &error);
    if (!parent) return error;
    std::string name = nameOf(full);
    auto existing = find(full);
    if (existing && existing->directory) return ERROR_ACCESS_DENIED;
    if (existing) {
        if (disposition == CREATE_NEW) return ERROR_FILE_EXISTS;
        if (wantsWrite(access) || disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING) {
            if (DWORD e = checkWritable(*existing)) return e;
        }
        // Replacing a hidden or system file must name those attributes again.
        const DWORD guarded = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if (disposition == CREATE_ALWAYS && (existing->attributes & guarded & ~attributes))
            return ERROR_ACCESS_DENIED;
        if (DWORD e = checkSharing(existing.get(), access, share)) return e;
        if (disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING) {
            existing->data.clear();
            existing->written = nextWrite();
            if (disposition == CREATE_ALWAYS)
                existing->attributes =
                    (attributes & ~(FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_DIRECTORY)) |
                    FILE_ATTRIBUTE_ARCHIVE;
        }
    } else {
        if (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING)
            return ERROR_FILE_NOT_FOUND;
        if (parent->readOnlyMedium) return ERROR_ACCESS_DENIED;
        existing = std::make_shared<Node>();
        existing->name = name;
        existing->written = nextWrite();
        DWORD a = attributes & ~(FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_DIRECTORY);
        existing->attributes = a | FILE_ATTRIBUTE_ARCHIVE;
        parent->children[name] = existing;
    }
    *opening = addOpening(existing, resolvedPath(full), access, share);
    return 0;
}

std::shared_ptr<FileSystem::Opening> FileSystem::addOpening(const std::shared_ptr<Node>& node,
                                                            const std::string& path, DWORD access, DWORD share) {
    auto o = std::make_shared<Opening>();
    o->node = node;
    o->path = path;
    o->access = access;
    o->share = share;
    openings_.push_back(o);
    return o;
}

void FileSystem::close(const std::shared_ptr<Opening>& opening) { release(opening); }

DWORD FileSystem::read(Opening& o, void* buffer, DWORD toRead, DWORD* read) {
    if (!wantsRead(o.access)) return ERROR_ACCESS_DENIED;
    const auto& data = o.node->data;
    DWORD available = o.position < data.size() ? static_cast<DWORD>(data.size() - o.position) : 0;
    DWORD n = std::min(available, toRead);
    if (n > 0) std::memcpy(buffer, data.data() + o.position, n);
    o.position += n;
    if (read) *read = n;
    return 0;
}

DWORD FileSystem::write(Opening& o, const void* buffer, DWORD toWrite, DWORD* written) {
    if (!wantsWrite(o.access)) return ERROR_ACCESS_DENIED;
    auto& data = o.node->data;
    // Opened to append only: every write lands at the end, wherever the pointer is.
    if ((o.access & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA)) == 0) o.position = static_cast<DWORD>(data.size());
    if (data.size() < o.position + toWrite) data.resize(o.position + toWrite);
    if (toWrite > 0) std::memcpy(data.data() + o.position, buffer, toWrite);
    o.node->written = nextWrite();
    o.position += toWrite;
    if (written) *written = toWrite;
    return 0;
}

DWORD FileSystem::copy(const std::string& from, const std::string& to, bool failIfExists) {
    if (from.empty() || to.empty()) return ERROR_PATH_NOT_FOUND;
    DWORD error = 0;
    if (!findParent(from, &error)) return error;
    auto source = find(from);
    if (!source) return ERROR_FILE_NOT_FOUND;
    if (source->directory) return ERROR_ACCESS_DENIED;
    if (DWORD e = checkSharing(source.get(), GENERIC_READ, FILE_SHARE_READ)) return e;
    if (hasInvalidCharacter(nameOf(to))) return ERROR_INVALID_NAME;
    auto parent = findParent(to, &error);
    if (!parent) return error;
    auto target = find(to);
    if (target) {
        if (target == source) return ERROR_SHARING_VIOLATION;
        if (failIfExists) return ERROR_FILE_EXISTS;
        if (DWORD e = checkWritable(*target)) return e;
        if (target->attributes & FILE_ATTRIBUTE_HIDDEN) return ERROR_ACCESS_DENIED;
        if (DWORD e = checkSharing(target.get(), GENERIC_WRITE, 0)) return e;
    } else {
        if (parent->readOnlyMedium) return ERROR_ACCESS_DENIED;
        target = std::make_shared<Node>();
        target->name = nameOf(to);
        parent->children[target->name] = target;
    }
    target->data = source->data;
    target->written = source->written;
    // The copy takes the source's attributes: a file copied from a medium stays read-only.
    target->attributes = (source->attributes & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_ARCHIVE;
    return 0;
}

DWORD FileSystem::remove(const std::string& full) {
    DWORD error = 0;
    auto parent = findParent(full, &error);
    if (!parent) return error;
    auto node = find(full);
    if (!node) return ERROR_FILE_NOT_FOUND;
    if (node->directory || node->readOnlyMedium) return ERROR_ACCESS_DENIED;
    if (node->attributes & FILE_ATTRIBUTE_READONLY) return ERROR_ACCESS_DENIED;
    // DeleteFileA opens for deletion sharing everything: only openings that
    // do not share deletion stand in its way.
    if (DWORD e = checkSharing(node.get(), DELETE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
        return e;
    parent->children.erase(node->name);
    if (node->links > 1) node->links--;
    return 0;
}

DWORD FileSystem::rename(const std::string& from, const std::string& to, bool replace) {
    const DWORD everyone = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    DWORD error = 0;
    auto fromParent = findParent(from, &error);
    if (!fromParent) return error;
    auto source = fromParent->children.find(nameOf(from));
    if (source == fromParent->children.end()) return ERROR_FILE_NOT_FOUND;
    const std::shared_ptr<Node> node = source->second;
    if (node->readOnlyMedium) return ERROR_ACCESS_DENIED;
    // Renaming opens for deletion: an opening that does not share it stands in the way.
    if (DWORD e = checkSharing(node.get(), DELETE, everyone)) return e;
    auto toParent = findParent(to, &error);
    if (!toParent) return error;
    if (std::toupper(static_cast<unsigned char>(from[0])) != std::toupper(static_cast<unsigned char>(to[0])))
        return ERROR_NOT_SAME_DEVICE;
    auto target = toParent->children.find(nameOf(to));
    if (target != toParent->children.end() && target->second != node) {
        const std::shared_ptr<Node> existing = target->second;
        if (!replace) return ERROR_ALREADY_EXISTS;
        if (existing->directory || node->directory || existing->readOnlyMedium ||
            (existing->attributes & FILE_ATTRIBUTE_READONLY))
            return ERROR_ACCESS_DENIED;
        // A file in use is not replaced.
        if (checkSharing(existing.get(), DELETE, everyone) != 0) return ERROR_ACCESS_DENIED;
        toParent->children.erase(target);
        if (existing->links > 1) existing->links--;
    }
    fromParent->children.erase(source);
    if (node->links == 1) node->name = nameOf(to);
    toParent->children[nameOf(to)] = node;
    return 0;
}

DWORD FileSystem::getAttributes(const std::string& full, DWORD* attributes) const {
    if (full.empty()) return ERROR_PATH_NOT_FOUND;
    auto node = find(full);
    if (!node) {
        DWORD error = 0;
        if (full.size() > 3 && !findParent(full, &error)) return error;
        return ERROR_FILE_NOT_FOUND;
    }
    *attributes = node->attributes;
    return 0;
}

DWORD FileSystem::setAttributes(const std::string& full, DWORD attributes) {
    DWORD current = 0;
    if (DWORD e = getAttributes(full, &current)) return e;
    auto node = find(full);
    if (node->readOnlyMedium) return ERROR_ACCESS_DENIED;
    const DWORD settable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                           FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY;
    DWORD kept = node->attributes & FILE_ATTRIBUTE_DIRECTORY;
    node->attributes = kept | (attributes & settable);
    if (node->attributes == 0) node->attributes = FILE_ATTRIBUTE_NORMAL;
    return 0;
}

DWORD FileSystem::makeDirectory(const std::string& full, std::shared_ptr<Node>* made) {
    if (full.empty()) return ERROR_PATH_NOT_FOUND;
    if (find(full)) return ERROR_ALREADY_EXISTS;
    if (hasInvalidCharacter(nameOf(full))) return ERROR_INVALID_NAME;
    DWORD error = 0;
    auto parent = findParent(full, &error);
    if (!parent) return error;
    if (parent->readOnlyMedium) return ERROR_ACCESS_DENIED;
    auto node = std::make_shared<Node>();
    node->directory = true;
    node->name = nameOf(full);
    node->attributes = FILE_ATTRIBUTE_DIRECTORY;
    parent->children[node->name] = node;
    if (made) *made = node;
    return 0;
}

DWORD FileSystem::link(const std::string& existingFull, const std::string& newFull) {
    auto node = find(existingFull);
    if (!node) return ERROR_FILE_NOT_FOUND;
    if (node->directory) return ERROR_ACCESS_DENIED;
    if (find(newFull)) return ERROR_ALREADY_EXISTS;
    DWORD error = 0;
    auto parent = findParent(newFull, &error);
    if (!parent) return error;
    parent->children[nameOf(newFull)] = node;
    node->links++;
    return 0;
}

DWORD FileSystem::symlink(const std::string& full, const std::string& target) {
    if (find(full)) return ERROR_ALREADY_EXISTS;
    DWORD error = 0;
    auto parent = findParent(full, &error);
    if (!parent) return error;
    auto node = std::make_shared<Node>();
    node->name = nameOf(full);
    node->attributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT;
    node->reparseTarget = target;
    parent->children[node->name] = node;
    return 0;
}

DWORD FileSystem::junction(const std::string& full, const std::string& target) {
    auto node = find(full);
    if (!node) {
        if (DWORD error = makeDirectory(full)) return error;
        node = find(full);
    } else if (!node->directory || !node->reparseTarget.empty()) {
        return ERROR_ALREADY_EXISTS;
    } else if (!node->children.empty()) {
        // Only an empty folder can be made a junction where it stands.
        return ERROR_DIR_NOT_EMPTY;
    }
    node->attributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    node->reparseTarget = target;
    return 0;
}

namespace {

const char* const kCreatorOwner = "S-1-3-0";
const char* const kAdministrators = "S-1-5-32-544";
const BYTE kObjectInherit = 0x01, kContainerInherit = 0x02, kNoPropagate = 0x04, kInheritOnly = 0x08,
           kInherited = 0x10;

// What a folder's entries pass on to a file or folder in it.
void inheritInto(const std::vector<FileSystem::Node::Access>& parent, bool folder,
                 std::vector<FileSystem::Node::Access>* into) {
    for (const auto& entry : parent) {
        BYTE flags = entry.flags;
        if (!folder) {
            if (flags & kObjectInherit) into->push_back({entry.sid, entry.mask, kInherited});
        } else if (flags & kContainerInherit) {
            flags = flags & kNoPropagate ? 0 : static_cast<BYTE>(flags & ~kInheritOnly);
            into->push_back({entry.sid, entry.mask, static_cast<BYTE>(flags | kInherited)});
        } else if ((flags & kObjectInherit) && !(flags & kNoPropagate)) {
            into->push_back({entry.sid, entry.mask, static_cast<BYTE>(flags | kInheritOnly | kInherited)});
        }
    }
}

// CREATOR OWNER, where it takes effect, stands for the owner; passed on
// further, it stays itself.
std::vector<FileSystem::Node::Access> withOwner(const std::vector<FileSystem::Node::Access>& entries,
                                                const std::string& owner) {
    std::vector<FileSystem::Node::Access> result;
    for (const auto& entry : entries) {
        if (entry.sid != kCreatorOwner || (entry.flags & kInheritOnly)) {
            result.push_back(entry);
            continue;
        }
        result.push_back({owner, entry.mask, static_cast<BYTE>(entry.flags & ~(kObjectInherit | kContainerInherit))});
        if (entry.flags & (kObjectInherit | kContainerInherit))
            result.push_back({entry.sid, entry.mask, static_cast<BYTE>(entry.flags | kInheritOnly)});
    }
    return result;
}

}  // namespace

bool FileSystem::security(const std::string& full, std::string* owner, std::vector<Node::Access>* dacl,
                          bool* unsecured) const {
    std::string real;
    if (!walk(full, &real, 32)) return false;
    std::shared_ptr<Node> node = drives_.at(upperAscii(real[0]));
    // A drive whose root was given no access list is one without security
    // (FAT, as on a USB stick): no owner, everyone may do everything.
    *unsecured = !node->daclProtected;
    if (*unsecured) {
        owner->clear();
        dacl->clear();
        return true;
    }
    std::vector<Node::Access> inForce = node->dacl;
    size_t pos = 3;
    while (pos < real.size()) {
        size_t next = real.find('\\', pos);
        node = node->children.at(real.substr(pos, next == std::string::npos ? std::string::npos : next - pos));
        std::vector<Node::Access> entries = node->dacl;
        if (!node->daclProtected) inheritInto(inForce, node->directory, &entries);
        inForce = withOwner(entries, node->owner.empty() ? kAdministrators : node->owner);
        if (next == std::string::npos) break;
        pos = next + 1;
    }
    *owner = node->owner.empty() ? kAdministrators : node->owner;
    *dacl = inForce;
    return true;
}

void FileSystem::setSecurity(const std::string& full, const std::string& owner, const std::vector<Node::Access>& dacl,
                             bool isProtected) {
    auto node = find(full);
    if (!node) return;
    node->owner = owner;
    node->dacl = dacl;
    node->daclProtected = isProtected;
}

DWORD FileSystem::removeDirectory(const std::string& full) {
    DWORD error = 0;
    auto parent = findParent(full, &error);
    if (!parent) return error;
    auto node = find(full);
    if (!node) return ERROR_FILE_NOT_FOUND;
    if (!node->directory) return ERROR_DIRECTORY;
    if (node->readOnlyMedium) return ERROR_ACCESS_DENIED;
    if (!node->children.empty()) return ERROR_DIR_NOT_EMPTY;
    // RemoveDirectoryA opens the folder for deletion, sharing everything.
    if (DWORD e = checkSharing(node.get(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
        return e;
    parent->children.erase(node->name);
    return 0;
}

DWORD FileSystem::list(const std::string& fullPattern, std::vector<Entry>* entries) const {
    entries->clear();
    std::string directory = parentOf(fullPattern);
    std::string pattern = nameOf(fullPattern);
    // The folder listed is the one a link there leads to.
    auto node = directory.empty() ? nullptr : findFolder(directory, nullptr);
    if (!node || !node->directory) return ERROR_PATH_NOT_FOUND;
    bool isRoot = directory.size() == 3;
    if (!isRoot) {
        for (const char* dot : {".", ".."})
            if (matches(pattern, dot)) entries->push_back({dot, FILE_ATTRIBUTE_DIRECTORY, 0});
    }
    for (const auto& [name, child] : node->children) {
        if (!matches(pattern, child->name)) continue;
        entries->push_back(
            {child->name, child->attributes, static_cast<DWORD>(child->data.size()), child->written});
    }
    return entries->empty() ? ERROR_FILE_NOT_FOUND : 0;
}

void FileSystem::makeDirectories(const std::string& full) {
    if (full.size() < 3 || full[1] != ':') return;
    auto node = drive(full[0], true);
    size_t pos = 3;
    while (pos < full.size()) {
        size_t next = full.find('\\', pos);
        std::string name = full.substr(pos, next == std::string::npos ? std::string::npos : next - pos);
        auto& child = node->children[name];
        if (!child) {
            child = std::make_shared<Node>();
            child->directory = true;
            child->name = name;
            child->attributes = FILE_ATTRIBUTE_DIRECTORY;
        }
        node = child;
        if (next == std::string::npos) break;
        pos = next + 1;
    }
}

void FileSystem::writeFile(const std::string& full, const std::string& content) {
    writeFile(full, std::vector<uint8_t>(content.begin(), content.end()));
}

void FileSystem::writeFile(const std::string& full, const std::vector<uint8_t>& content) {
    makeDirectories(parentOf(full));
    auto parent = find(parentOf(full));
    auto& node = parent->children[nameOf(full)];
    if (!node) {
        node = std::make_shared<Node>();
        node->name = nameOf(full);
    }
    node->data = content;
    node->written = nextWrite();
}

void FileSystem::setWritten(const std::string& full, uint64_t written) {
    if (auto node = find(full)) node->written = written;
}

uint64_t FileSystem::writtenOf(const std::string& full) const {
    auto node = find(full);
    return node ? node->written : 0;
}

bool FileSystem::readFile(const std::string& full, std::string* content) const {
    auto node = find(full);
    if (!node || node->directory) return false;
    content->assign(node->data.begin(), node->data.end());
    return true;
}

bool FileSystem::readFile(const std::string& full, std::vector<uint8_t>* content) const {
    auto node = find(full);
    if (!node || node->directory) return false;
    *content = node->data;
    return true;
}

bool FileSystem::mount(const std::string& full, const std::string& hostFolder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(hostFolder, ec)) return false;
    makeDirectories(full);
    std::shared_ptr<Node> root = find(full);
    root->readOnlyMedium = true;
    std::vector<std::pair<fs::path, std::shared_ptr<Node>>> pending{{hostFolder, root}};
    while (!pending.empty()) {
        auto [host, node] = pending.back();
        pending.pop_back();
        for (const auto& entry : fs::directory_iterator(host, ec)) {
            auto child = std::make_shared<Node>();
            child->name = entry.path().filename().string();
            child->readOnlyMedium = true;
            child->written = nextWrite();
            if (entry.is_directory(ec)) {
                child->directory = true;
                child->attributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY;
                pending.emplace_back(entry.path(), child);
            } else {
                std::ifstream in(entry.path(), std::ios::binary);
                child->data.assign(std::istreambuf_iterator<char>(in), {});
                child->attributes = FILE_ATTRIBUTE_READONLY;
            }
            node->children[child->name] = child;
        }
    }
    return true;
}

std::shared_ptr<FileSystem::Opening> FileSystem::hold(const std::string& full, DWORD share,
                                                      bool locked) {
    auto node = find(full);
    if (!node) return nullptr;
    auto o = addOpening(node, full, GENERIC_READ, share);
    o->locked = locked;
    return o;
}

void FileSystem::release(const std::shared_ptr<Opening>& opening) {
    openings_.erase(std::remove(openings_.begin(), openings_.end(), opening), openings_.end());
}

size_t FileSystem::openings(const std::string& full) const {
    auto node = find(full);
    return std::count_if(openings_.begin(), openings_.end(),
                         [&](const auto& o) { return node && o->node == node; });
}

}  // namespace os::sim
