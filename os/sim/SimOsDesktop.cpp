// Libraries, other programs' windows, the shell, broadcasts, restart and
// message boxes of the simulation.
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

}  // namespace

// The simulated winspool.drv's exports act on the machine that loaded it
// last; a machine that goes away takes them with it.
void releaseLibraries(SimOs* owner) {
    if (libraryOwner == owner) libraryOwner = nullptr;
}

namespace {

// A window that has closed by now is gone for every call, not only for FindWindowA.
Desktop::Window* openWindow(Desktop& desktop, const Clock& clock, HWND handle) {
    Desktop::Window* w = desktop.window(handle);
    return w != nullptr && clock.now() < w->closesAt ? w : nullptr;
}

}  // namespace

BOOL SimOs::SetDllDirectoryA(LPCSTR directory) {
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

BOOL SimOs::SetDefaultDllDirectories(DWORD flags) {
    SIM_LOCK();
    if (enter("SetDefaultDllDirectories")) return FALSE;
    const bool windows8 = machine_.major > 6 || (machine_.major == 6 && machine_.minor >= 2);
    const bool updated = machine_.major == 6 && machine_.minor < 2 && machine_.dllDirectoriesUpdate;
    if (!machine_.isNt() || (!windows8 && !updated)) {
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

HMODULE SimOs::LoadLibraryExA(LPCSTR fileName, HANDLE file, DWORD flags) {
    SIM_LOCK();
    if (enter("LoadLibraryExA", text(fileName))) return nullptr;
    // What the program asks for: a full path, whose own imports are looked
    // for beside it first (which the simulation does not model).
    if (file != nullptr || (flags & ~static_cast<DWORD>(LOAD_WITH_ALTERED_SEARCH_PATH)) != 0) {
        fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return LoadLibraryA(fileName);
}

HMODULE SimOs::LoadLibraryA(LPCSTR fileName) {
    SIM_LOCK();
    std::string name = text(fileName);
    if (enter("LoadLibraryA", name)) return nullptr;
    // A bare name is looked for where Windows looks: beside the program, in
    // the system and Windows directories, then in the current directory.
    // SetDllDirectoryA takes the current directory out and puts its own
    // folder, if any, right after the program's; SetDefaultDllDirectories
    // leaves the system directory alone.
    std::string found;
    if (name.find_first_of("\\/") != std::string::npos) {
        if (files_.isFile(programPath(name))) found = programPath(name);
    } else if (!name.empty() && systemDirectoryOnly_) {
        std::string candidate = programPath(FileSystem::fullPath(name, machine_.systemDirectory));
        if (files_.isFile(candidate)) found = candidate;
    } else if (!name.empty()) {
        for (const std::string& dir :
             {FileSystem::parentOf(machine_.modulePath), dllDirectorySet_ ? dllDirectory_ : std::string(),
              machine_.systemDirectory, machine_.windowsDirectory,
              dllDirectorySet_ ? std::string() : machine_.currentDirectory}) {
            if (dir.empty()) continue;
            std::string candidate = programPath(FileSystem::fullPath(name, dir));
            if (files_.isFile(candidate)) {
                found = candidate;
                break;
            }
        }
    }
    if (found.empty()) {
        fail(ERROR_MOD_NOT_FOUND);
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
        // Every program file starts with the "MZ" of its DOS header.
        std::vector<uint8_t> bytes;
        files_.readFile(found, &bytes);
        if (bytes.size() < 2 || bytes[0] != 'M' || bytes[1] != 'Z') {
            fail(ERROR_BAD_EXE_FORMAT);
            return nullptr;
        }
        // The program's process is an x86 one: a 64-bit library (a native
        // one reached with redirection off) does not load in it.
        PeImage image;
        if (image.parse(bytes) && image.machine() != IMAGE_FILE_MACHINE_I386) {
            fail(ERROR_BAD_EXE_FORMAT);
            return nullptr;
        }
        auto made = std::make_shared<ModuleObject>();
        made->path = found;
        std::string base = FileSystem::nameOf(found);
        if (equalsNoCase(base, "HvUsbInt.dll"))
            made->kind = ModuleObject::Usb;
        else if (equalsNoCase(base, "winspool.drv"))
            made->kind = ModuleObject::Winspool;
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

HWND SimOs::FindWindowA(LPCSTR className, LPCSTR windowName) {
    SIM_LOCK();
    std::string cls = text(className), title = text(windowName);
    if (enter("FindWindowA", title)) return nullptr;
    return desktop_.findWindow(className ? &cls : nullptr, windowName ? &title : nullptr,
                               clock_.now());
}

BOOL SimOs::SetForegroundWindow(HWND window) {
    SIM_LOCK();
    if (enter("SetForegroundWindow")) return FALSE;
    Desktop::Window* w = openWindow(desktop_, clock_, window);
    if (w == nullptr) return FALSE;
    w->foregroundRequests++;
    return TRUE;
}

BOOL SimOs::OpenIcon(HWND window) {
    SIM_LOCK();
    if (enter("OpenIcon")) return FALSE;
    Desktop::Window* w = openWindow(desktop_, clock_, window);
    if (w == nullptr) {
        fail(1400);  // ERROR_INVALID_WINDOW_HANDLE
        return FALSE;
    }
    w->minimised = false;
    w->restoreRequests++;
    return TRUE;
}

BOOL SimOs::BringWindowToTop(HWND window) {
    SIM_LOCK();
    if (enter("BringWindowToTop")) return FALSE;
    Desktop::Window* w = openWindow(desktop_, clock_, window);
    if (w == nullptr) {
        fail(1400);
        return FALSE;
    }
    w->bringToTopRequests++;
    return TRUE;
}

HINSTANCE SimOs::ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                               LPCSTR directory, INT showCommand) {
    SIM_LOCK();
    Desktop::ShellRun run{owner,           text(verb),      text(file), text(parameters),
                          text(directory), showCommand};
    if (enter("ShellExecuteA", run.file)) {
        return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(GetLastError()));
    }
    desktop_.shellRuns().push_back(run);
    // A file that does not exist cannot be opened (addresses are not files).
    bool isAddress = run.file.find("://") != std::string::npos;
    std::string base = run.directory.empty() ? machine_.currentDirectory
                                             : FileSystem::fullPath(run.directory,
                                                                    machine_.currentDirectory);
    if (!isAddress && !files_.isFile(FileSystem::fullPath(run.file, base))) {
        fail(ERROR_FILE_NOT_FOUND);
        return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(ERROR_FILE_NOT_FOUND));
    }
    if (desktop_.onShellExecute) return desktop_.onShellExecute(run);
    return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(42));
}

BOOL SimOs::ShellExecuteExA(LPSHELLEXECUTEINFOA info) {
    SIM_LOCK();
    if (info == nullptr || info->cbSize != sizeof *info) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    HINSTANCE result = ShellExecuteA(info->hwnd, info->lpVerb, info->lpFile, info->lpParameters,
                                     info->lpDirectory, info->nShow);
    info->hInstApp = result;
    info->hProcess = nullptr;
    if (reinterpret_cast<uintptr_t>(result) <= 32) return FALSE;  // the last error is ShellExecuteA's
    if (info->fMask & SEE_MASK_NOCLOSEPROCESS) {
        auto process = std::make_shared<ProcessObject>();
        process->endsAt = desktop_.programRunsFor == Desktop::kForever ? Desktop::kForever
                                                                         : clock_.now() + desktop_.programRunsFor;
        info->hProcess = addObject(process);
    }
    return TRUE;
}

BOOL SimOs::ExitWindowsEx(UINT flags, DWORD) {
    SIM_LOCK();
    if (enter("ExitWindowsEx")) return FALSE;
    desktop_.restartRequests().push_back(flags);
    if (machine_.isNt() && !machine_.shutdownPrivilege) {
        fail(ERROR_PRIVILEGE_NOT_HELD);
        return FALSE;
    }
    return TRUE;
}

LRESULT SimOs::SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT flags, UINT timeout, PDWORD_PTR result) {
    SIM_LOCK();
    if (enter("SendMessageTimeoutA")) return 0;
    const char* textParam = reinterpret_cast<const char*>(lParam);
    desktop_.broadcasts().push_back({window, message, wParam, textParam != nullptr,
                                     text(textParam), false, flags, timeout});
    if (result) *result = 0;
    return 1;
}

BOOL SimOs::SendNotifyMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SIM_LOCK();
    if (enter("SendNotifyMessageA")) return FALSE;
    const char* textParam = reinterpret_cast<const char*>(lParam);
    // The system's own messages that carry a pointer cannot be delivered
    // asynchronously to other programs, so Windows refuses them here.
    bool pointer = message == WM_WININICHANGE && textParam != nullptr;
    desktop_.broadcasts().push_back(
        {window, message, wParam, textParam != nullptr, text(textParam), true, 0, 0, !pointer});
    if (pointer) {
        fail(1159);  // ERROR_MESSAGE_SYNC_ONLY
        return FALSE;
    }
    return TRUE;
}

int SimOs::MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    SIM_LOCK();
    std::string body = text ? text : "";
    if (enter("MessageBoxA", body)) return 0;
    int answer = desktop_.nextAnswer(type);
    desktop_.messageBoxes().push_back(
        {owner, body, caption != nullptr, caption ? caption : "", type, answer});
    return answer;
}

}  // namespace os::sim
