#include "app/MessageBoxes.h"

#include <atomic>

namespace app {
namespace {

std::atomic<HWND> mainWindowHandle{nullptr};

// Without an icon of their own, boxes get the one that fits their buttons.
UINT withIcon(UINT type) {
    const UINT iconMask = 0x000000F0;
    if (type & iconMask) return type;
    switch (type & MB_TYPEMASK) {
        case MB_YESNO:
        case MB_YESNOCANCEL:
            return type | MB_ICONQUESTION;
        default:
            return type | MB_ICONEXCLAMATION;
    }
}

}  // namespace

std::string applicationName() {
    char path[MAX_PATH] = {};
    DWORD n = os::sys().GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n >= MAX_PATH) path[MAX_PATH - 1] = '\0';
    std::string name(path);
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

void setMainWindow(HWND window) { mainWindowHandle = window; }

HWND mainWindow() { return mainWindowHandle; }

int applicationMessageBox(const std::string& text, UINT buttons) {
    return os::sys().MessageBoxA(mainWindow(), text.c_str(), applicationName().c_str(),
                                 withIcon(buttons | MB_APPLMODAL));
}

int wizardMessageBox(HWND owner, const std::string& text) {
    return os::sys().MessageBoxA(owner, text.c_str(), applicationName().c_str(), MB_OK);
}

}  // namespace app
