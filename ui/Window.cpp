#include "ui/Window.h"

#include <unordered_map>
#include <vector>

namespace ui {
namespace {

// Which object each window is bound to, kept in the process rather than as
// a window property: the dialog and subclass procedures look their object
// up for every message they get, and under Wine every property read or
// write is a round trip to the window server. Windows of other threads may
// be bound too, hence the lock.
class Bindings {
public:
    Bindings() { InitializeCriticalSection(&lock_); }
    Window* find(HWND window) {
        Locked locked(lock_);
        auto found = objects_.find(window);
        return found == objects_.end() ? nullptr : found->second;
    }
    void bind(HWND window, Window* object) {
        Locked locked(lock_);
        objects_[window] = object;
    }
    // Only the object's own binding: another object may have taken the window since.
    void unbind(HWND window, const Window* object) {
        Locked locked(lock_);
        auto found = objects_.find(window);
        if (found != objects_.end() && found->second == object) objects_.erase(found);
    }

private:
    struct Locked {
        explicit Locked(CRITICAL_SECTION& lock) : lock(lock) { EnterCriticalSection(&lock); }
        ~Locked() { LeaveCriticalSection(&lock); }
        CRITICAL_SECTION& lock;
    };
    CRITICAL_SECTION lock_;
    std::unordered_map<HWND, Window*> objects_;
};

// Never destroyed: windows may still be unbound while the process ends.
Bindings& bindings() {
    static Bindings* const all = new Bindings;
    return *all;
}

}  // namespace

Window::~Window() {
    if (hwnd_) bindings().unbind(hwnd_, this);
}

Window* Window::fromHandle(HWND window) {
    if (window == nullptr) return nullptr;
    Window* object = bindings().find(window);
    // A bound control destroyed with its dialog is not unbound until its
    // object goes: its handle names no window any more, and no object.
    return object != nullptr && IsWindow(window) ? object : nullptr;
}

bool Window::attach(HWND window) {
    if (window == nullptr || !IsWindow(window)) return false;
    if (hwnd_ && hwnd_ != window) detach();
    hwnd_ = window;
    bindings().bind(window, this);
    return true;
}

HWND Window::detach() {
    HWND window = hwnd_;
    if (window) bindings().unbind(window, this);
    hwnd_ = nullptr;
    return window;
}

void Window::forget() {
    if (hwnd_) bindings().unbind(hwnd_, this);
    hwnd_ = nullptr;
}

std::string Window::text() const {
    if (!hwnd_) return std::string();
    int length = GetWindowTextLengthA(hwnd_);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(hwnd_, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

std::wstring Window::textW() const {
    if (!hwnd_) return std::wstring();
    int length = GetWindowTextLengthW(hwnd_);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(hwnd_, buffer.data(), length + 1);
    return std::wstring(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void Window::invalidate(bool erase) const {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, erase ? TRUE : FALSE);
}

bool Window::preTranslateMessage(MSG&) { return false; }

HBRUSH Window::reflectCtlColor(HDC, UINT) { return nullptr; }

Control::~Control() { unsubclass(); }

HWND Control::detach() {
    unsubclass();
    return Window::detach();
}

bool Control::subclass(HWND window) {
    // Not the virtual attach: controls that bind by subclassing call this from it.
    if (!Window::attach(window)) return false;
    if (previous_ == nullptr) {
        previous_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&subclassProc)));
    }
    return previous_ != nullptr;
}

void Control::unsubclass() {
    if (hwnd_ && previous_) {
        // Only put the old procedure back when nobody subclassed after us.
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC)) == &subclassProc)
            SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    }
    previous_ = nullptr;
}

LRESULT Control::windowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return defaultProc(message, wParam, lParam);
}

LRESULT Control::defaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (previous_) return CallWindowProcW(previous_, hwnd_, message, wParam, lParam);
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Control::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = dynamic_cast<Control*>(Window::fromHandle(window));
    if (self == nullptr || self->previous_ == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        WNDPROC previous = self->previous_;
        self->unsubclass();
        self->forget();
        return CallWindowProcW(previous, window, message, wParam, lParam);
    }
    return self->windowProc(message, wParam, lParam);
}

HWND rootWindow(HWND window) {
    while (window && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) {
        HWND parent = GetParent(window);
        if (parent == nullptr) break;
        window = parent;
    }
    return window;
}

bool preTranslate(MSG& message, HWND stop) {
    for (HWND window = message.hwnd; window != nullptr; window = GetParent(window)) {
        Window* object = Window::fromHandle(window);
        if (object && object->preTranslateMessage(message)) return true;
        if (window == stop) break;
    }
    return false;
}

}  // namespace ui
