// The base of every window object of the framework: a handle and the few
// operations all windows share. An object bound to a window can be found
// again from the handle, which is how the dialog hands control-colour
// messages back to the control they concern and how the modal loop finds the
// objects that pre-translate a message.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }
    // The object bound to a window, or null.
    static Window* fromHandle(HWND window);

    // Binds this object to an existing window (unbinding any earlier one).
    virtual bool attach(HWND window);
    // Unbinds the object from its window; the window lives on.
    virtual HWND detach();

    int id() const { return hwnd_ ? GetDlgCtrlID(hwnd_) : 0; }
    bool show(int command) const { return hwnd_ && ShowWindow(hwnd_, command) != FALSE; }
    bool enable(bool on) const { return hwnd_ && EnableWindow(hwnd_, on ? TRUE : FALSE) != FALSE; }
    bool isEnabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }
    bool isVisible() const { return hwnd_ && IsWindowVisible(hwnd_); }
    // Text in the ANSI code page, as the language file holds it.
    bool setText(const char* text) const { return hwnd_ && SetWindowTextA(hwnd_, text ? text : ""); }
    std::string text() const;
    std::wstring textW() const;
    void invalidate(bool erase) const;

    // Offered each message of a modal loop whose target is this window or one
    // of its children, innermost first; true when the message is done with.
    virtual bool preTranslateMessage(MSG& message);
    // A control-colour message the parent received for this window, handed
    // back to it; a non-null brush paints the background.
    virtual HBRUSH reflectCtlColor(HDC dc, UINT kind);

protected:
    // Forgets the window without touching it (it is being destroyed).
    void forget();

    HWND hwnd_ = nullptr;
};

// A control window; it can also be subclassed so that its messages reach
// windowProc first.
class Control : public Window {
public:
    ~Control() override;
    HWND detach() override;
    // Binds and routes the window's messages through windowProc.
    bool subclass(HWND window);
    bool isSubclassed() const { return previous_ != nullptr; }

protected:
    virtual LRESULT windowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT defaultProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void unsubclass();

    WNDPROC previous_ = nullptr;
};

// The top-level window a window belongs to (itself when it is one): its
// parents followed up to the first window that is not a child.
// GetAncestor(GA_ROOT) does the same from Windows 98 and 2000 on only, and
// the program must load on NT 4.0 too.
HWND rootWindow(HWND window);

// Walks from the message's window up through its parents to `stop`
// (inclusive), offering the message to each bound object; true when one of
// them took it.
bool preTranslate(MSG& message, HWND stop);

}  // namespace ui
