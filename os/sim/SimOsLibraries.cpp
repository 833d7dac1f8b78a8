// Libraries of the simulation: where a name is looked for, the libraries a
// library imports, and those Windows loads for the program by name.
#include "os/sim/PeImage.h"
#include "os/sim/SimObjects.h"

namespace os::sim {
namespace {

SimOs* libraryOwner = nullptr;

BOOL WINAPI setDefaultPrinter(LPCSTR name) {
    return libraryOwner ? libraryOwner->SetDefaultPrinterA(name) : FALSE;
}

std::string text(LPCSTR s) { return s ? std::string(s) : std::string(); }

// A procedure name whose high word is zero is an ordinal, not a string.
bool isOrdinal(LPCSTR name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

// A chain of imports ends somewhere: deeper than this is a loop.
const int kImportDepth = 16;

// What GetProcAddress hands out for a function of Windows' own libraries:
// the simulation answers the call itself, so the address only says that the
// function is there.
void WINAPI systemExport() {}

}  // namespace

// The simulated winspool.drv's exports act on the machine that loaded it
// last; a machine that goes away takes them with it.
void releaseLibraries(SimOs* owner) {
    if (libraryOwner == owner) libraryOwner = nullptr;
}

BOOL SimOs::SetDllDirectoryA(LPCSTR directory) {
    if (!lookUp(SystemFunction::SetDllDirectoryA)) return FALSE;
    SIM_LOCK();
    if (enter("SetDllDirectoryA", text(directory))) return FALSE;
    // Windows XP SP1 and Server 2003 brought it.
    if (!machine_.isNt() || machine_.major < 5 || (machine_.major == 5 && machine_.minor == 0)) {
        fail(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    dllDirectorySet_ = directory != nullptr;
    dllDirectory_ = directory ? fullPath(directory) : std::string();
    if (directory != nullptr && *directory == '\0') dllDirectory_.clear();
    return TRUE;
}

bool SimOs::hasSearchFlags() const {
    const bool windows8 = machine_.major > 6 || (machine_.major == 6 && machine_.minor >= 2);
    const bool updated = machine_.major == 6 && machine_.minor < 2 && machine_.dllDirectoriesUpdate;
    return machine_.isNt() && (windows8 || updated);
}

BOOL SimOs::SetDefaultDllDirectories(DWORD flags) {
    if (!lookUp(SystemFunction::SetDefaultDllDirectories)) return FALSE;
    SIM_LOCK();
    if (enter("SetDefaultDllDirectories")) return FALSE;
    if (!hasSearchFlags()) {
        fail(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    // Only the system directory is modelled among the places it can name.
    if (flags != LOAD_LIBRARY_SEARCH_SYSTEM32) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    systemDirectoryOnly_ = true;
    return TRUE;
}

// A bare name is looked for where Windows looks: among the libraries loaded
// already (by their names alone), then, with LOAD_LIBRARY_SEARCH flags, in
// the folders they name; after SetDefaultDllDirectories, in the system
// directory; else beside the program (beside the library itself for a
// load with the altered search path), in the SetDllDirectoryA folder, the
// system and Windows directories, and the current directory unless
// SetDllDirectoryA took it out.
std::string SimOs::findLibrary(const std::string& name, const LibrarySearch& search) const {
    if (name.find_first_of("\\/") != std::string::npos) {
        const std::string full = programPath(name);
        return files_.isFile(full) ? full : std::string();
    }
    if (name.empty()) return std::string();
    for (const std::string& loaded : loadedLibraries())
        if (equalsNoCase(FileSystem::nameOf(loaded), name)) return loaded;
    std::vector<std::string> folders;
    if (search.flags & (LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        if (search.flags & LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR) folders.push_back(search.libraryFolder);
        if (search.flags & LOAD_LIBRARY_SEARCH_SYSTEM32) folders.push_back(machine_.systemDirectory);
    } else if (systemDirectoryOnly_) {
        folders = {machine_.systemDirectory};
    } else {
        const bool altered = (search.flags & LOAD_WITH_ALTERED_SEARCH_PATH) && !search.libraryFolder.empty();
        folders = {altered ? search.libraryFolder : FileSystem::parentOf(machine_.modulePath),
                   dllDirectorySet_ ? dllDirectory_ : std::string(), machine_.systemDirectory,
                   machine_.windowsDirectory, dllDirectorySet_ ? std::string() : machine_.currentDirectory};
    }
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        const std::string candidate = programPath(FileSystem::fullPath(name, folder));
        if (files_.isFile(candidate)) return candidate;
    }
    return std::string();
}

std::vector<std::string> SimOs::loadedLibraries() const {
    std::vector<std::string> paths;
    for (const auto& [handle, object] : objects_) {
        if (auto* module = dynamic_cast<const ModuleObject*>(object.get())) {
            paths.push_back(module->path);
            paths.insert(paths.end(), module->imports.begin(), module->imports.end());
        }
    }
    paths.insert(paths.end(), systemLoads_.begin(), systemLoads_.end());
    return paths;
}

// Every library `path` imports, and theirs, found as its load finds them;
// false (and nothing loaded) when one is missing or not a program file.
bool SimOs::loadImports(const std::string& path, const LibrarySearch& search, int depth,
                        std::vector<std::string>* found) {
    std::vector<uint8_t> bytes;
    files_.readFile(path, &bytes);
    if (bytes.size() < 2 || bytes[0] != 'M' || bytes[1] != 'Z') {
        fail(ERROR_BAD_EXE_FORMAT);
        return false;
    }
    PeImage image;
    if (!image.parse(bytes)) return true;  // no import table to read
    // The program's process is an x86 one: a 64-bit library (a native one
    // reached with redirection off) does not load in it.
    if (image.machine() != IMAGE_FILE_MACHINE_I386) {
        fail(ERROR_BAD_EXE_FORMAT);
        return false;
    }
    for (const std::string& name : image.imports()) {
        std::string import = findLibrary(name, search);
        for (const std::string& known : *found)
            if (import.empty() && equalsNoCase(FileSystem::nameOf(known), name)) import = known;
        if (import.empty() || depth >= kImportDepth) {
            fail(ERROR_MOD_NOT_FOUND);
            return false;
        }
        bool loaded = false;
        for (const std::string& known : loadedLibraries()) loaded = loaded || equalsNoCase(known, import);
        for (const std::string& known : *found) loaded = loaded || equalsNoCase(known, import);
        if (loaded) continue;
        found->push_back(import);
        if (!loadImports(import, search, depth + 1, found)) return false;
    }
    return true;
}

void SimOs::loadForTheSystem(const std::string& name) {
    const std::string path = findLibrary(name, LibrarySearch());
    if (path.empty()) return;
    for (const std::string& loaded : loadedLibraries())
        if (equalsNoCase(loaded, path)) return;
    std::vector<std::string> imports;
    if (!loadImports(path, LibrarySearch(), 0, &imports)) return;
    systemLoads_.insert(systemLoads_.end(), imports.begin(), imports.end());
    systemLoads_.push_back(path);
    loadHistory_.insert(loadHistory_.end(), imports.begin(), imports.end());
    loadHistory_.push_back(path);
}

namespace {

// Whether `name` is one of Windows' own libraries that the program looks up
// functions in (Os::lookUp), and `function` one of them that it exports.
bool lookedUpIn(const std::string& library, const std::string& function = std::string()) {
    for (int i = 0; i < static_cast<int>(SystemFunction::Count); ++i) {
        const auto known = static_cast<SystemFunction>(i);
        if (equalsNoCase(library, systemFunctionLibrary(known)) &&
            (function.empty() || function == systemFunctionName(known)))
            return true;
    }
    return false;
}

}  // namespace

// Whether this Windows has that library: ntdll and setupapi are the NT
// family's, combase came with Windows 8.
bool SimOs::hasOwnLibrary(const std::string& base) const {
    if (!lookedUpIn(base)) return false;
    if (equalsNoCase(base, "ntdll.dll") || equalsNoCase(base, "setupapi.dll")) return machine_.isNt();
    if (equalsNoCase(base, "combase.dll")) return machine_.ntAtLeast(6, 2);
    return true;
}

// One of those libraries named by its full path in the system directory:
// the program's view of it (SysWOW64's on 64-bit Windows), whatever files a
// test laid out; empty for any other name, or a library this Windows lacks.
std::string SimOs::ownLibrary(const std::string& name) const {
    const std::string full = fullPath(name);
    if (!equalsNoCase(FileSystem::parentOf(full), machine_.systemDirectory)) return std::string();
    return hasOwnLibrary(FileSystem::nameOf(full)) ? programPath(full) : std::string();
}

void SimOs::noteLookUp(const char* call, const std::string& subject) {
    if (redirectionOffHere()) lookedUpWithRedirectionOff_.push_back(std::string(call) + " " + subject);
}

HMODULE SimOs::LoadLibraryExA(LPCSTR fileName, HANDLE file, DWORD flags) {
    SIM_LOCK();
    if (enter("LoadLibraryExA", text(fileName))) return nullptr;
    noteLookUp("LoadLibraryExA", text(fileName));
    const DWORD searchFlags = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;
    // What the program asks for: a full path, whose own imports are looked
    // for beside it first, or in the folders the search flags name where
    // the system has them.
    const bool known = (flags & ~static_cast<DWORD>(LOAD_WITH_ALTERED_SEARCH_PATH | searchFlags)) == 0;
    const bool mixed = (flags & LOAD_WITH_ALTERED_SEARCH_PATH) && (flags & searchFlags);
    const bool fullPathNeeded = flags & (LOAD_WITH_ALTERED_SEARCH_PATH | LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR);
    const std::string name = text(fileName);
    if (file != nullptr || !known || mixed || ((flags & searchFlags) && !hasSearchFlags()) ||
        (fullPathNeeded && name.find_first_of("\\/") == std::string::npos)) {
        fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LibrarySearch search;
    search.flags = flags;
    search.libraryFolder = FileSystem::parentOf(fullPath(name));
    return loadLibrary(name, search);
}

HMODULE SimOs::LoadLibraryA(LPCSTR fileName) {
    SIM_LOCK();
    std::string name = text(fileName);
    if (enter("LoadLibraryA", name)) return nullptr;
    noteLookUp("LoadLibraryA", name);
    return loadLibrary(name, LibrarySearch());
}

HMODULE SimOs::loadLibrary(const std::string& name, const LibrarySearch& search) {
    const std::string own = ownLibrary(name);
    const std::string found = own.empty() ? findLibrary(name, search) : own;
    if (found.empty()) {
        fail(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // Windows documents that library loading fails while the thread has
    // redirection off: the load reaches the native system directory, whose
    // libraries are 64-bit ones. The code is an assumption (the
    // documentation names none): ERROR_BAD_EXE_FORMAT, as for any 64-bit
    // library in this 32-bit process.
    if (redirectionOffHere() && (equalsNoCase(found, machine_.systemDirectory) ||
                                 equalsNoCase(FileSystem::parentOf(found), machine_.systemDirectory))) {
        fail(ERROR_BAD_EXE_FORMAT);
        return nullptr;
    }
    ModuleObject* module = nullptr;
    HMODULE result = nullptr;
    for (auto& [handle, object] : objects_) {
        auto* loaded = dynamic_cast<ModuleObject*>(object.get());
        if (loaded != nullptr && equalsNoCase(loaded->path, found)) {
            loaded->references++;
            module = loaded;
            result = reinterpret_cast<HMODULE>(handle);
            break;
        }
    }
    if (module == nullptr) {
        std::vector<std::string> imports;
        if (own.empty() && !loadImports(found, search, 0, &imports)) return nullptr;
        auto made = std::make_shared<ModuleObject>();
        made->path = found;
        made->imports = imports;
        loadHistory_.insert(loadHistory_.end(), imports.begin(), imports.end());
        loadHistory_.push_back(found);
        std::string base = FileSystem::nameOf(found);
        if (equalsNoCase(base, "HvUsbInt.dll"))
            made->kind = ModuleObject::Usb;
        else if (equalsNoCase(base, "winspool.drv"))
            made->kind = ModuleObject::Winspool;
        else if (!own.empty() || (hasOwnLibrary(base) && (equalsNoCase(FileSystem::parentOf(found), machine_.systemDirectory) ||
                                                        equalsNoCase(FileSystem::parentOf(found), machine_.wow64Directory()))))
            made->kind = ModuleObject::System;
        module = made.get();
        result = reinterpret_cast<HMODULE>(addObject(made));
    }
    // The libraries' exports act on the machine that loaded them last.
    if (module->kind == ModuleObject::Usb) usb_.activate();
    if (module->kind == ModuleObject::Winspool) libraryOwner = this;
    return result;
}

FARPROC SimOs::GetProcAddress(HMODULE handle, LPCSTR procName) {
    SIM_LOCK();
    // The simulated libraries export by name only.
    std::string name = isOrdinal(procName)
                           ? "#" + std::to_string(reinterpret_cast<uintptr_t>(procName))
                           : text(procName);
    if (enter("GetProcAddress", name)) return nullptr;
    noteLookUp("GetProcAddress", name);
    auto* module = object<ModuleObject>(handle);
    if (module == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    FARPROC proc = nullptr;
    if (module->kind == ModuleObject::Usb && usb_.missingFunctions().count(name) == 0)
        proc = UsbBus::function(name);
    // SetDefaultPrinterA came with Windows 2000.
    if (module->kind == ModuleObject::Winspool && name == "SetDefaultPrinterA" &&
        machine_.isNt() && machine_.major >= 5)
        proc = reinterpret_cast<FARPROC>(&setDefaultPrinter);
    else if ((module->kind == ModuleObject::Winspool || module->kind == ModuleObject::System) &&
             lookedUpIn(FileSystem::nameOf(module->path), name))
        proc = reinterpret_cast<FARPROC>(&systemExport);
    if (proc == nullptr) fail(ERROR_PROC_NOT_FOUND);
    return proc;
}

BOOL SimOs::FreeLibrary(HMODULE handle) {
    SIM_LOCK();
    if (enter("FreeLibrary")) return FALSE;
    auto* module = object<ModuleObject>(reinterpret_cast<HANDLE>(handle));
    if (module == nullptr) {
        fail(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    if (--module->references == 0) objects_.erase(reinterpret_cast<uintptr_t>(handle));
    return TRUE;
}

}  // namespace os::sim
