// Files and directories of the simulation.
#include <cstring>

#include "os/sim/Security.h"
#include "os/sim/SimObjects.h"

namespace os::sim {
namespace {

std::string text(LPCSTR s) { return s ? std::string(s) : std::string(); }

void fillFindData(const FileSystem::Entry& entry, LPWIN32_FIND_DATAA data) {
    std::memset(data, 0, sizeof *data);
    data->dwFileAttributes = entry.attributes;
    data->nFileSizeLow = entry.size;
    data->ftLastWriteTime.dwLowDateTime = static_cast<DWORD>(entry.written);
    data->ftLastWriteTime.dwHighDateTime = static_cast<DWORD>(entry.written >> 32);
    copyTruncated(entry.name, data->cFileName, sizeof data->cFileName);
}

template <typename T>
T readAt(const BYTE* bytes, size_t offset) {
    T value;
    std::memcpy(&value, bytes + offset, sizeof value);
    return value;
}

// A named pipe's path: "\\\\.\\pipe\\NAME", or "\\\\SERVER\\pipe\\NAME" over the network;
// `name` is NAME, empty for the pipe folder itself.
bool isPipePath(const std::string& path, std::string* name) {
    if (path.size() < 3 || !(path[0] == '\\' || path[0] == '/') || !(path[1] == '\\' || path[1] == '/')) return false;
    size_t server = path.find_first_of("\\/", 2);
    if (server == std::string::npos) return false;
    size_t share = path.find_first_of("\\/", server + 1);
    if (!equalsNoCase(path.substr(server + 1, share == std::string::npos ? std::string::npos : share - server - 1), "pipe"))
        return false;
    *name = share == std::string::npos ? std::string() : path.substr(share + 1);
    return true;
}

}  // namespace

HANDLE SimOs::openPipe(const std::string& path, const std::string& name, DWORD flagsAndAttributes) {
    auto served = pipes_.find(name);
    if (name.empty() || served == pipes_.end()) {
        fail(name.empty() ? ERROR_BAD_NET_NAME : ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    // Without a quality of service of its own, a client lets the server act as it.
    const DWORD level = flagsAndAttributes & SECURITY_SQOS_PRESENT ? (flagsAndAttributes >> 16) & 3 : 2;
    served->second.clientLevels.push_back(level);
    auto pipe = std::make_shared<PipeObject>();
    pipe->name = name;
    (void)path;
    return addObject(pipe);
}

HANDLE SimOs::CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES,
                          DWORD disposition, DWORD flagsAndAttributes, HANDLE) {
    SIM_LOCK();
    std::string pipe;
    if (isPipePath(text(path), &pipe)) {
        if (enter("CreateFileA", text(path))) return INVALID_HANDLE_VALUE;
        return openPipe(text(path), pipe, flagsAndAttributes);
    }
    std::string full = programPath(text(path));
    if (enter("CreateFileA", full)) return INVALID_HANDLE_VALUE;
    if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING) {
        fail(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    // The machine is on no network, and has no devices to open by name.
    const std::string given = text(path);
    if (given.size() >= 2 && (given[0] == '\\' || given[0] == '/') && (given[1] == '\\' || given[1] == '/')) {
        fail(given.size() > 2 && (given[2] == '.' || given[2] == '?') ? ERROR_FILE_NOT_FOUND : ERROR_BAD_NETPATH);
        return INVALID_HANDLE_VALUE;
    }
    bool existed = files_.isFile(full);
    std::shared_ptr<FileSystem::Opening> opening;
    if (DWORD error = files_.open(full, access, shareMode, disposition, flagsAndAttributes & 0xFFFF, &opening,
                                  (flagsAndAttributes & FILE_FLAG_OPEN_REPARSE_POINT) != 0,
                                  (flagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS) != 0)) {
        fail(error);
        return INVALID_HANDLE_VALUE;
    }
    if (!existed && !opening->node->directory && opening->node->owner.empty())
        opening->node->owner = defaultOwner(machine_);
    auto file = std::make_shared<FileObject>();
    file->opening = opening;
    bool reportsExisting = disposition == OPEN_ALWAYS || disposition == CREATE_ALWAYS;
    fail(existed && reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return addObject(file);
}

BOOL SimOs::ReadFile(HANDLE handle, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED) {
    SIM_LOCK();
    if (enter("ReadFile")) return FALSE;
    auto* file = object<FileObject>(handle);
    if (file == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (DWORD error = files_.read(*file->opening, buffer, toRead, read)) {
        fail(error);
        return FALSE;
    }
    return TRUE;
}

BOOL SimOs::WriteFile(HANDLE handle, LPCVOID buffer, DWORD toWrite, LPDWORD written,
                      LPOVERLAPPED) {
    SIM_LOCK();
    if (enter("WriteFile")) return FALSE;
    if (auto* pipe = object<PipeObject>(handle)) {
        pipes_[pipe->name].received.append(static_cast<const char*>(buffer), toWrite);
        if (written) *written = toWrite;
        return TRUE;
    }
    auto* file = object<FileObject>(handle);
    if (file == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (DWORD error = files_.write(*file->opening, buffer, toWrite, written)) {
        fail(error);
        return FALSE;
    }
    return TRUE;
}

DWORD SimOs::GetFileSize(HANDLE handle, LPDWORD sizeHigh) {
    SIM_LOCK();
    if (enter("GetFileSize")) return INVALID_FILE_SIZE;
    auto* file = object<FileObject>(handle);
    if (file == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    if (sizeHigh) *sizeHigh = 0;
    // Success leaves the last error alone, as every call here does.
    return static_cast<DWORD>(file->opening->node->data.size());
}

DWORD SimOs::SetFilePointer(HANDLE handle, LONG distance, PLONG distanceHigh, DWORD moveMethod) {
    SIM_LOCK();
    if (enter("SetFilePointer")) return INVALID_SET_FILE_POINTER;
    auto* file = object<FileObject>(handle);
    if (file == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return INVALID_SET_FILE_POINTER;
    }
    int64_t move = distance;
    if (distanceHigh) move = (static_cast<int64_t>(*distanceHigh) << 32) | static_cast<uint32_t>(distance);
    int64_t base = 0;
    if (moveMethod == FILE_CURRENT) base = file->opening->position;
    if (moveMethod == FILE_END) base = static_cast<int64_t>(file->opening->node->data.size());
    int64_t position = base + move;
    if (moveMethod > FILE_END || position < 0 || position > 0xFFFFFFFE) {
        fail(moveMethod > FILE_END ? ERROR_INVALID_PARAMETER : 131 /* ERROR_NEGATIVE_SEEK */);
        return INVALID_SET_FILE_POINTER;
    }
    file->opening->position = static_cast<DWORD>(position);
    if (distanceHigh) *distanceHigh = 0;
    return static_cast<DWORD>(position);
}

BOOL SimOs::DeleteFileA(LPCSTR path) {
    SIM_LOCK();
    std::string full = programPath(text(path));
    if (enter("DeleteFileA", full)) return FALSE;
    if (DWORD error = files_.remove(full)) {
        fail(error);
        return FALSE;
    }
    return TRUE;
}

BOOL SimOs::CopyFileA(LPCSTR existing, LPCSTR target, BOOL failIfExists) {
    SIM_LOCK();
    std::string from = programPath(text(existing));
    std::string to = programPath(text(target));
    if (enter("CopyFileA", from + " -> " + to)) return FALSE;
    updateServices();
    if (DWORD error = files_.copy(from, to, failIfExists != FALSE)) {
        fail(error);
        return FALSE;
    }
    return TRUE;
}

DWORD SimOs::GetFileAttributesA(LPCSTR path) {
    SIM_LOCK();
    std::string full = programPath(text(path));
    if (enter("GetFileAttributesA", full)) return INVALID_FILE_ATTRIBUTES;
    DWORD attributes = 0;
    if (DWORD error = files_.getAttributes(full, &attributes)) {
        fail(error);
        return INVALID_FILE_ATTRIBUTES;
    }
    return attributes;
}

BOOL SimOs::SetFileAttributesA(LPCSTR path, DWORD attributes) {
    SIM_LOCK();
    std::string full = programPath(text(path));
    if (enter("SetFileAttributesA", full)) return FALSE;
    if (DWORD error = files_.setAttributes(full, attributes)) {
        fail(error);
        return FALSE;
    }
    return TRUE;
}

HANDLE SimOs::FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
    SIM_LOCK();
    std::string raw = text(pattern);
    // The last name is a pattern: resolve only the directory before it.
    size_t slash = raw.find_last_of("\\/");
    std::string directory = slash == std::string::npos ? "." : raw.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? raw : raw.substr(slash + 1);
    std::string full = programPath(directory);
    if (!full.empty() && full.back() != '\\') full += "\\";
    full += name;
    if (enter("FindFirstFileA", full)) return INVALID_HANDLE_VALUE;
    if (name.empty()) {
        fail(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto search = std::make_shared<FindObject>();
    if (DWORD error = files_.list(full, &search->entries)) {
        fail(error);
        return INVALID_HANDLE_VALUE;
    }
    fillFindData(search->entries[0], data);
    search->next = 1;
    return addObject(search);
}

BOOL SimOs::FindNextFileA(HANDLE handle, LPWIN32_FIND_DATAA data) {
    SIM_LOCK();
    if (enter("FindNextFileA")) return FALSE;
    auto* search = object<FindObject>(handle);
    if (search == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (search->next >= search->entries.size()) {
        fail(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    fillFindData(search->entries[search->next++], data);
    return TRUE;
}

BOOL SimOs::FindClose(HANDLE handle) {
    SIM_LOCK();
    if (enter("FindClose")) return FALSE;
    if (object<FindObject>(handle) == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    objects_.erase(reinterpret_cast<uintptr_t>(handle));
    return TRUE;
}

HANDLE SimOs::LoadImageA(HINSTANCE, LPCSTR name, UINT type, int, int, UINT flags) {
    SIM_LOCK();
    std::string full = programPath(text(name));
    if (enter("LoadImageA", full)) return nullptr;
    const UINT bitmap = 0, fromFile = 0x10;  // IMAGE_BITMAP, LR_LOADFROMFILE
    if (type != bitmap || !(flags & fromFile)) {
        fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::vector<uint8_t> bytes;
    if (!files_.readFile(full, &bytes)) {
        fail(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    // BITMAPFILEHEADER, then a BITMAPCOREHEADER or a BITMAPINFOHEADER (or a later one).
    auto at = [&](size_t offset, size_t size) { return offset + size <= bytes.size(); };
    bool readable = at(0, 14 + 12) && bytes[0] == 'B' && bytes[1] == 'M';
    if (readable) {
        const DWORD header = readAt<DWORD>(bytes.data(), 14);
        const DWORD pixels = readAt<DWORD>(bytes.data(), 10);
        long width = 0, height = 0;
        WORD planes = 0, depth = 0;
        if (header == 12) {
            width = readAt<WORD>(bytes.data(), 18);
            height = readAt<WORD>(bytes.data(), 20);
            planes = readAt<WORD>(bytes.data(), 22);
            depth = readAt<WORD>(bytes.data(), 24);
        } else if ((header == 40 || header == 108 || header == 124) && at(14, header)) {
            width = readAt<LONG>(bytes.data(), 18);
            height = readAt<LONG>(bytes.data(), 22);
            planes = readAt<WORD>(bytes.data(), 26);
            depth = readAt<WORD>(bytes.data(), 28);
        }
        const bool knownDepth = depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
        readable = width > 0 && height != 0 && planes == 1 && knownDepth && pixels < bytes.size();
    }
    if (!readable) {
        fail(ERROR_INVALID_DATA);
        return nullptr;
    }
    return addObject(std::make_shared<BitmapObject>());
}

BOOL SimOs::DeleteObject(HANDLE handle) {
    SIM_LOCK();
    if (enter("DeleteObject")) return FALSE;
    if (object<BitmapObject>(handle) == nullptr) return FALSE;
    objects_.erase(reinterpret_cast<uintptr_t>(handle));
    return TRUE;
}

BOOL SimOs::GetFileInformationByHandle(HANDLE handle, LPBY_HANDLE_FILE_INFORMATION info) {
    SIM_LOCK();
    if (enter("GetFileInformationByHandle")) return FALSE;
    auto* file = object<FileObject>(handle);
    if (file == nullptr || info == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const FileSystem::Node& node = *file->opening->node;
    std::memset(info, 0, sizeof *info);
    info->dwFileAttributes = node.attributes;
    info->nFileSizeLow = static_cast<DWORD>(node.data.size());
    info->nNumberOfLinks = node.links;
    const uintptr_t index = reinterpret_cast<uintptr_t>(&node);
    info->nFileIndexLow = static_cast<DWORD>(index);
    info->nFileIndexHigh = static_cast<DWORD>(static_cast<uint64_t>(index) >> 32);
    return TRUE;
}

DWORD SimOs::GetFinalPathNameByHandleA(HANDLE handle, LPSTR path, DWORD size, DWORD flags) {
    if (!lookUp(SystemFunction::GetFinalPathNameByHandleA)) return 0;
    SIM_LOCK();
    if (enter("GetFinalPathNameByHandleA")) return 0;
    // Vista brought it.
    if (!machine_.isNt() || machine_.major < 6) {
        fail(ERROR_CALL_NOT_IMPLEMENTED);
        return 0;
    }
    auto* file = object<FileObject>(handle);
    if (file == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return 0;
    }
    // Only what the program asks for is modelled: the normalised path with its drive letter.
    if (flags != 0) {
        fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::string result = "\\\\?\\" + file->opening->path;
    if (path == nullptr || size < result.size() + 1) return static_cast<DWORD>(result.size() + 1);
    std::memcpy(path, result.c_str(), result.size() + 1);
    // Vista's and 2008's ANSI form counts the terminator too.
    const bool vista = machine_.major == 6 && machine_.minor == 0;
    return static_cast<DWORD>(result.size() + (vista ? 1 : 0));
}

BOOL SimOs::CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES attributes) {
    SIM_LOCK();
    std::string full = programPath(text(path));
    if (enter("CreateDirectoryA", full)) return FALSE;
    Descriptor given;
    if (attributes != nullptr && attributes->lpSecurityDescriptor != nullptr && machine_.isNt() &&
        !readDescriptor(attributes->lpSecurityDescriptor, &given)) {
        fail(1338);  // ERROR_INVALID_SECURITY_DESCR
        return FALSE;
    }
    std::shared_ptr<FileSystem::Node> made;
    if (DWORD error = files_.makeDirectory(full, &made)) {
        fail(error);
        return FALSE;
    }
    made->dacl = given.dacl;
    made->daclProtected = given.isProtected;
    made->owner = given.owner.empty() ? defaultOwner(machine_) : given.owner;
    return TRUE;
}

BOOL SimOs::MoveFileExA(LPCSTR existing, LPCSTR newName, DWORD flags) {
    if (!lookUp(SystemFunction::MoveFileExA)) return FALSE;
    SIM_LOCK();
    std::string full = programPath(text(existing));
    if (enter("MoveFileExA", full)) return FALSE;
    if (!machine_.isNt()) {
        fail(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    // A rename within a drive, and a deletion at the next start, are modelled.
    if (newName != nullptr && (flags & ~MOVEFILE_REPLACE_EXISTING) == 0) {
        if (DWORD error = files_.rename(full, programPath(text(newName)), (flags & MOVEFILE_REPLACE_EXISTING) != 0)) {
            fail(error);
            return FALSE;
        }
        return TRUE;
    }
    if (newName != nullptr || flags != MOVEFILE_DELAY_UNTIL_REBOOT) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!files_.isFile(full)) {
        fail(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    // Windows takes the entry at its next start, in no process's world:
    // Sysnative names nothing there.
    std::string rest;
    const std::string sysnative = machine_.windowsDirectory + "\\Sysnative";
    bool native = full.size() > sysnative.size() && equalsNoCase(full.substr(0, sysnative.size()), sysnative);
    machine_.deletedAtRestart.push_back(native ? fullPath(text(existing)) : full);
    return TRUE;
}

BOOL SimOs::RemoveDirectoryA(LPCSTR path) {
    SIM_LOCK();
    std::string full = programPath(text(path));
    if (enter("RemoveDirectoryA", full)) return FALSE;
    if (DWORD error = files_.removeDirectory(full)) {
        fail(error);
        return FALSE;
    }
    return TRUE;
}

}  // namespace os::sim
