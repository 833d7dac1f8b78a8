// The kernel and service objects behind the simulation's handles.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "os/sim/FileSystem.h"
#include "os/sim/SimOs.h"

namespace os::sim {

struct SimOs::Object {
    virtual ~Object() = default;
};

struct FileObject : SimOs::Object {
    std::shared_ptr<FileSystem::Opening> opening;
};

struct FindObject : SimOs::Object {
    std::vector<FileSystem::Entry> entries;
    size_t next = 0;
};

struct MutexObject : SimOs::Object {
    std::string name;
    Descriptor security;  // of an unnamed one; a named one's is the name's
};

// A client's end of a named pipe that another program serves.
struct PipeObject : SimOs::Object {
    std::string name;
};

struct TokenObject : SimOs::Object {
    DWORD access = 0;  // as the token was opened
};

struct PrinterObject : SimOs::Object {
    std::string name;
};

struct ModuleObject : SimOs::Object {
    // Windows' own libraries export every function the machine has: the
    // simulation answers their calls itself.
    enum Kind { Usb, Winspool, System, Other } kind = Other;
    std::string path;
    int references = 1;  // LoadLibraryA of a loaded module counts up, FreeLibrary down
    std::vector<std::string> imports;  // what its load loaded with it, which goes with it
};

// A program started through the shell: it ends at a moment of the machine's time.
struct ProcessObject : SimOs::Object {
    DWORD endsAt = 0;
};

struct CryptObject : SimOs::Object {};

struct BitmapObject : SimOs::Object {};

struct ManagerObject : SimOs::Object {
    DWORD access = 0;
};

struct ServiceObject : SimOs::Object {
    std::string name;
    DWORD access = 0;
};

template <typename T>
T* SimOs::object(HANDLE handle) {
    auto it = objects_.find(reinterpret_cast<uintptr_t>(handle));
    return it == objects_.end() ? nullptr : dynamic_cast<T*>(it->second.get());
}

// Locks the machine for the duration of one call.
#define SIM_LOCK() std::lock_guard<std::recursive_mutex> simLock_(mutex())

}  // namespace os::sim
