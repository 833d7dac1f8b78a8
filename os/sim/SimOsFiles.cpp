// Files and directories of the simulation.
#include <cstring>

#include "os/sim/SimObjects.h"

namespace os::sim {
namespace {

std::string text(LPCSTR s) { return s ? std::string(s) : std::string(); }

void fillFindData(const FileSystem::Entry& entry, LPWIN32_FIND_DATAA data) {
    std::memset(data, 0, sizeof *data);
    data->dwFileAttributes = entry.attributes;
    data->nFileSizeLow = entry.size;
    copyTruncated(entry.name, data->cFileName, sizeof data->cFileName);
}

}  // namespace

HANDLE SimOs::CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES,
                          DWORD disposition, DWORD flagsAndAttributes, HANDLE) {
    SIM_LOCK();
    std::string full = fullPath(text(path));
    if (enter("CreateFileA", full)) return INVALID_HANDLE_VALUE;
    if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING) {
        fail(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    bool existed = files_.isFile(full);
    std::shared_ptr<FileSystem::Opening> opening;
    if (DWORD error = files_.open(full, access, shareMode, disposition,
                                  flagsAndAttributes & 0xFFFF, &opening)) {
        fail(error);
        return INVALID_HANDLE_VALUE;
    }
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
    std::string full = fullPath(text(path));
    if (enter("DeleteFileA", full)) return FALSE;
    if (DWORD error = files_.remove(full)) {
        fail(error);
        return FALSE;
    }
    return TRUE;
}

BOOL SimOs::CopyFileA(LPCSTR existing, LPCSTR target, BOOL failIfExists) {
    SIM_LOCK();
    std::string from = fullPath(text(existing));
    std::string to = fullPath(text(target));
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
    std::string full = fullPath(text(path));
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
    std::string full = fullPath(text(path));
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
    std::string full = fullPath(directory);
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

BOOL SimOs::CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES) {
    SIM_LOCK();
    std::string full = fullPath(text(path));
    if (enter("CreateDirectoryA", full)) return FALSE;
    if (DWORD error = files_.makeDirectory(full)) {
        fail(error);
        return FALSE;
    }
    return TRUE;
}

BOOL SimOs::RemoveDirectoryA(LPCSTR path) {
    SIM_LOCK();
    std::string full = fullPath(text(path));
    if (enter("RemoveDirectoryA", full)) return FALSE;
    if (DWORD error = files_.removeDirectory(full)) {
        fail(error);
        return FALSE;
    }
    return TRUE;
}

}  // namespace os::sim
