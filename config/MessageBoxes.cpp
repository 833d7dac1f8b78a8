#include "config/MessageBoxes.h"

#include <atomic>
#include <vector>

namespace app {
namespace {

std::atomic<OwnerLookup> ownerLookup{nullptr};
std::atomic<MessageBoxHandler> boxHandler{nullptr};

// The handler's answer, or 0 when the box is to be shown.
int handled(const std::string& text, UINT type) {
    MessageBoxHandler handler = boxHandler;
    return handler ? handler(text, type & MB_TYPEMASK) : 0;
}

// Should the program's path be unavailable, boxes are still captioned with
// the name the program is shipped under.
const char kFallbackName[] = "setup";

UINT withIcon(UINT type) {
    const UINT iconMask = 0x000000F0;
    if (type & iconMask) return type;
    switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            return type | MB_ICONEXCLAMATION;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            return type | MB_ICONQUESTION;
        default:
            return type;
    }
}

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

void setApplicationBoxOwner(OwnerLookup owner) { ownerLookup = owner; }

void setMessageBoxHandler(MessageBoxHandler handler) { boxHandler = handler; }

int applicationMessageBox(const std::string& text, UINT type) {
    if (int answer = handled(text, type)) return answer;
    OwnerLookup lookup = ownerLookup;
    HWND owner = lookup ? lookup() : nullptr;
    return os::sys().MessageBoxA(owner, text.c_str(), applicationName().c_str(),
                                 withIcon(type) | MB_APPLMODAL);
}

int wizardMessageBox(HWND owner, const std::string& text) {
    if (int answer = handled(text, MB_OK)) return answer;
    return os::sys().MessageBoxA(owner, text.c_str(), applicationName().c_str(), MB_OK);
}

}  // namespace app
