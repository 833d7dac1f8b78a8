// Other programs' windows, the shell, broadcasts, restart and message
// boxes of the simulation.
#include "os/sim/SimObjects.h"

namespace os::sim {
namespace {

std::string text(LPCSTR s) { return s ? std::string(s) : std::string(); }

// A window that has closed by now is gone for every call, not only for FindWindowA.
Desktop::Window* openWindow(Desktop& desktop, const Clock& clock, HWND handle) {
    Desktop::Window* w = desktop.window(handle);
    return w != nullptr && clock.now() < w->closesAt ? w : nullptr;
}

}  // namespace

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

// Only the high contrast setting is kept. A record of another size, or
// none, is refused as Windows refuses it.
BOOL SimOs::SystemParametersInfoA(UINT action, UINT uiParam, PVOID pvParam, UINT) {
    SIM_LOCK();
    if (enter("SystemParametersInfoA")) return FALSE;
    auto* contrast = static_cast<LPHIGHCONTRASTA>(pvParam);
    if (action != SPI_GETHIGHCONTRAST || contrast == nullptr || contrast->cbSize != sizeof(HIGHCONTRASTA) ||
        uiParam != sizeof(HIGHCONTRASTA)) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    contrast->dwFlags = desktop_.highContrast ? HCF_HIGHCONTRASTON : 0;
    contrast->lpszDefaultScheme = nullptr;
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
    // A box drawn with the visual styles (Windows XP on) has the theme
    // library loaded by name, wherever the process's search finds it first.
    if (machine_.isNt() && (machine_.major > 5 || (machine_.major == 5 && machine_.minor >= 1)))
        loadForTheSystem("uxtheme.dll");
    int answer = desktop_.nextAnswer(type);
    desktop_.messageBoxes().push_back(
        {owner, body, caption != nullptr, caption ? caption : "", type, answer});
    return answer;
}

}  // namespace os::sim
