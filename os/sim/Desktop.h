// What the simulated machine shows on its desktop: other programs'
// top-level windows, message boxes with scripted answers, programs started
// through the shell, broadcasts and restart requests.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "os/WinApi.h"

namespace os::sim {

class Desktop {
public:
    static constexpr DWORD kForever = 0xFFFFFFFF;

    struct Window {
        HWND handle = nullptr;
        std::string title;
        std::string className;
        DWORD closesAt = kForever;  // virtual time at which the window goes away
        bool minimised = false;
        int foregroundRequests = 0;
        int restoreRequests = 0;
        int bringToTopRequests = 0;
    };
    struct MessageBox {
        HWND owner;
        std::string text;
        bool hasCaption;
        std::string caption;
        UINT type;
        int answer;
    };
    struct ShellRun {
        HWND owner;
        std::string verb;
        std::string file;
        std::string parameters;
        std::string directory;
        INT show;
    };
    struct Broadcast {
        HWND window;
        UINT message;
        WPARAM wParam;
        bool hasText;
        std::string text;  // lParam as text, when it is not null
        bool notify;       // SendNotifyMessageA rather than SendMessageTimeoutA
        UINT flags;
        UINT timeout;
        bool delivered = true;  // false: refused, as a pointer cannot be posted
    };

    // Opens a top-level window of another program. The reference stays
    // valid while other windows open, until a window is closed.
    Window& openWindow(const std::string& title, const std::string& className = "",
                       DWORD closesAt = kForever);
    void closeWindow(const std::string& title);
    // The window with this exact handle, or null.
    Window* window(HWND handle);
    std::deque<Window>& windows() { return windows_; }

    // Answers for the next message boxes, in order; a box without a scripted
    // answer is answered with its first button (OK, Yes, Abort, Retry or Cancel).
    void answer(int id) { answers_.push_back(id); }
    std::vector<MessageBox>& messageBoxes() { return boxes_; }
    // The texts of the message boxes shown so far.
    std::vector<std::string> messageTexts() const;

    // What starting a program through the shell does; by default it succeeds
    // (result 42) and nothing else happens.
    std::function<HINSTANCE(const ShellRun&)> onShellExecute;
    // How long a program started through the shell runs (kForever: it never ends).
    DWORD programRunsFor = 0;
    std::vector<ShellRun>& shellRuns() { return shellRuns_; }
    std::vector<Broadcast>& broadcasts() { return broadcasts_; }
    std::vector<UINT>& restartRequests() { return restarts_; }
    // The user's high contrast setting (SPI_GETHIGHCONTRAST).
    bool highContrast = false;

    // For SimOs.
    HWND findWindow(const std::string* className, const std::string* title, DWORD now) const;
    int nextAnswer(UINT type);
    void removeClosed(DWORD now);

private:
    std::deque<Window> windows_;
    std::deque<int> answers_;
    std::vector<MessageBox> boxes_;
    std::vector<ShellRun> shellRuns_;
    std::vector<Broadcast> broadcasts_;
    std::vector<UINT> restarts_;
    uintptr_t nextWindow_ = 0x10010;
};

}  // namespace os::sim
