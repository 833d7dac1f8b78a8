#include "ui/Application.h"

#include <vector>

#include "os/Os.h"
#include "ui/Window.h"

namespace ui {
namespace {

Window* mainWindowObject = nullptr;

// Should the program's path be unavailable, boxes are still captioned with
// the name the program is shipped under.
const char kFallbackName[] = "setup";

}  // namespace

std::string applicationName() {
    // A path longer than the buffer comes back cut (and, on XP, without its
    // terminating zero): grow the buffer until the whole path fits.
    std::vector<char> path;
    DWORD length = 0;
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        path.assign(size + 1, '\0');
        length = os::sys().GetModuleFileNameA(nullptr, path.data(), size);
        if (length == 0) return kFallbackName;
        if (length < size) break;
    }
    std::string full(path.data(), length < path.size() ? length : path.size() - 1);
    size_t slash = full.find_last_of("\\/");
    std::string name = slash == std::string::npos ? full : full.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name.empty() ? std::string(kFallbackName) : name;
}

void setMainWindow(Window* window) { mainWindowObject = window; }

HWND mainWindow() {
    HWND window = mainWindowObject ? mainWindowObject->hwnd() : nullptr;
    return window && IsWindow(window) ? window : nullptr;
}

int appMessageBox(const char* text, UINT type) {
    HWND owner = mainWindow();
    if (owner) owner = GetLastActivePopup(GetAncestor(owner, GA_ROOT));
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            type |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            type |= MB_ICONQUESTION;
            break;
        default:
            break;
        }
    }
    std::string caption = applicationName();
    return os::sys().MessageBoxA(owner, text ? text : "", caption.c_str(), type | MB_APPLMODAL);
}

int wizardMessageBox(HWND owner, const char* text) {
    std::string caption = applicationName();
    return os::sys().MessageBoxA(owner, text ? text : "", caption.c_str(), MB_OK);
}

}  // namespace ui
