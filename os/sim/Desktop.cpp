#include "os/sim/Desktop.h"

#include <algorithm>

#include "os/sim/Text.h"

namespace os::sim {

Desktop::Window& Desktop::openWindow(const std::string& title, const std::string& className,
                                     DWORD closesAt) {
    Window w;
    w.handle = reinterpret_cast<HWND>(nextWindow_);
    nextWindow_ += 0x10;
    w.title = title;
    w.className = className;
    w.closesAt = closesAt;
    windows_.push_back(w);
    return windows_.back();
}

void Desktop::closeWindow(const std::string& title) {
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                  [&](const Window& w) { return w.title == title; }),
                   windows_.end());
}

Desktop::Window* Desktop::window(HWND handle) {
    for (auto& w : windows_)
        if (w.handle == handle) return &w;
    return nullptr;
}

std::vector<std::string> Desktop::messageTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : boxes_) texts.push_back(box.text);
    return texts;
}

void Desktop::removeClosed(DWORD now) {
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                  [&](const Window& w) { return now >= w.closesAt; }),
                   windows_.end());
}

HWND Desktop::findWindow(const std::string* className, const std::string* title,
                         DWORD now) const {
    // Window names and class names compare without regard to case, as in Windows.
    for (const auto& w : windows_) {
        if (now >= w.closesAt) continue;
        if (className && !equalsNoCase(*className, w.className)) continue;
        if (title && !equalsNoCase(*title, w.title)) continue;
        return w.handle;
    }
    return nullptr;
}

int Desktop::nextAnswer(UINT type) {
    if (!answers_.empty()) {
        int id = answers_.front();
        answers_.pop_front();
        return id;
    }
    switch (type & MB_TYPEMASK) {
        case MB_YESNO:
        case MB_YESNOCANCEL:
            return IDYES;
        case 2:  // MB_ABORTRETRYIGNORE
            return IDABORT;
        case 5:  // MB_RETRYCANCEL
            return IDRETRY;
        case 6:  // MB_CANCELTRYCONTINUE
            return IDCANCEL;
        default:
            return IDOK;
    }
}

}  // namespace os::sim
