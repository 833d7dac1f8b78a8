// Finding and working the real setup.exe's windows from another process, as
// a person would: windows are found by the process that owns them; a click
// is sent only once the window is visible (one sent before is lost); list
// choices are made with CB_SETCURSEL and the CBN_SELCHANGE the list would
// send; a message box is read and answered like any other window. Used by
// the screenshot walker and by the end-to-end tests.
#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace setupwindows {

// Milliseconds for anything to appear.
constexpr DWORD kPatience = 20000;

// The control ids the walkers need, as the program's templates give them.
enum ControlId {
    kBack = 1002,
    kAgreementText = 1081,
    kAccept = 1057,
    kReceipt = 1019,
    kModelLists = 1030,  // receipt; ticket 1031, label 1032, embedded 1074
    kDefaultPrinter = 1046,
    kTypical = 1066,
    kAdvanced = 1067,
    kOs2000 = 1028,
    kPortList = 1049,
    kBaudList = 1041,
    kRaster = 1052,
    kMessageText = 0xFFFF,  // the text of a message box
};

inline std::string textOf(HWND window) {
    wchar_t wide[2048] = {};
    SendMessageW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(wide));
    char utf8[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

// Polls until `condition` gives a window, or gives up after `patience`.
template <class Condition>
HWND waitFor(Condition condition, DWORD patience = kPatience) {
    for (DWORD waited = 0; waited < patience; waited += 50) {
        if (HWND window = condition()) return window;
        Sleep(50);
    }
    return nullptr;
}

class SetupProcess {
public:
    // Starts `program` in `directory` (null: this process's own).
    bool start(const std::string& program, const char* directory = nullptr) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::vector<char> command(program.begin(), program.end());
        command.push_back('\0');
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, directory,
                            &startup, &process_))
            return false;
        return true;
    }
    ~SetupProcess() {
        if (process_.hProcess) {
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
    }
    HANDLE handle() const { return process_.hProcess; }
    bool running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
    // Waits for the program to end; its exit code, or -1 when it did not end.
    long wait(DWORD patience = kPatience) const {
        if (WaitForSingleObject(process_.hProcess, patience) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<long>(code);
    }
    void kill() const {
        if (running()) TerminateProcess(process_.hProcess, 1);
    }

    std::vector<HWND> visibleWindows() const {
        Found found{process_.dwProcessId, {}};
        EnumWindows(collect, reinterpret_cast<LPARAM>(&found));
        return found.windows;
    }
    // The wizard: the top-level window with a Back button.
    HWND wizard() const {
        for (HWND w : visibleWindows())
            if (GetDlgItem(w, kBack)) return w;
        return nullptr;
    }
    // A message box: a dialog with the message text control, no Back and no
    // progress bar (the progress window's text has the same number).
    HWND messageBox() const {
        for (HWND w : visibleWindows())
            if (GetDlgItem(w, kMessageText) && !GetDlgItem(w, kBack) &&
                !FindWindowExA(w, nullptr, "msctls_progress32", nullptr))
                return w;
        return nullptr;
    }

private:
    struct Found {
        DWORD process;
        std::vector<HWND> windows;
    };
    static BOOL CALLBACK collect(HWND window, LPARAM parameter) {
        auto* found = reinterpret_cast<Found*>(parameter);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == found->process && IsWindowVisible(window)) found->windows.push_back(window);
        return TRUE;
    }

    PROCESS_INFORMATION process_ = {};
};

struct ControlSearch {
    int id;
    HWND found;
};

inline BOOL CALLBACK matchVisibleControl(HWND child, LPARAM parameter) {
    auto* search = reinterpret_cast<ControlSearch*>(parameter);
    if (GetDlgCtrlID(child) != search->id || !IsWindowVisible(child)) return TRUE;
    search->found = child;
    return FALSE;
}

// The control with this id on the page now shown in the wizard.
inline HWND visibleControl(HWND frame, int id) {
    ControlSearch search{id, nullptr};
    EnumChildWindows(frame, matchVisibleControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Posted rather than sent: what the click starts (a message box, an
// installation) must not hold this process until it is over.
inline void click(HWND button) {
    if (button) PostMessageW(button, BM_CLICK, 0, 0);
}

// Whether a window's thread takes messages now (not busy in a handler).
inline bool responsive(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 200, &result) != 0;
}

// The items of a list box of a combo box, as UTF-8.
inline std::vector<std::string> listItems(HWND list) {
    std::vector<std::string> items;
    LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t wide[512] = {};
        // The wide form: the A form hands out UTF-16 across processes.
        if (SendMessageW(list, CB_GETLBTEXTLEN, i, 0) >= 512) continue;
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide));
        char utf8[1024] = {};
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
        items.push_back(utf8);
    }
    return items;
}

// Chooses the item with this text, as the list would tell its page.
inline bool choose(HWND list, const std::string& text) {
    std::vector<std::string> items = listItems(list);
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] != text) continue;
        SendMessageW(list, CB_SETCURSEL, i, 0);
        SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        return true;
    }
    return false;
}

// Saves the screen's picture of a window (of the whole screen for null) as
// a 24-bit bitmap file.
inline bool capture(HWND window, const std::string& path) {
    RECT rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (window && !GetWindowRect(window, &rect)) return false;
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as bitmap files are
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    DWORD rowBytes = ((width * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + rowBytes * height;
    FILE* out = std::fopen(path.c_str(), "wb");
    bool written = out != nullptr;
    if (out) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        std::fwrite(bits, rowBytes, height, out);
        std::fclose(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return written;
}

// Answers the message boxes that come up until setup.exe ends or its wizard
// waits for the user again (enabled, not minimised, taking messages, no box,
// for a second). `answer` gets each box and its text before it is answered
// and gives the button to press (IDOK, IDYES, IDNO), or 0 when it answered
// the box itself (by a key). False when setup.exe
// neither ended nor settled within `patience`, or a box did not close.
inline bool answerUntilSettled(const SetupProcess& setup, HWND frame,
                               const std::function<int(HWND box, const std::string& text)>& answer,
                               DWORD patience = 120000) {
    DWORD quiet = 0;
    for (DWORD waited = 0; setup.running(); waited += 50) {
        if (waited > patience) return false;
        HWND box = setup.messageBox();
        if (box == nullptr) {
            bool idle = frame && IsWindowEnabled(frame) && !IsIconic(frame) && responsive(frame);
            quiet = idle ? quiet + 50 : 0;
            if (quiet >= 1000) return true;
            Sleep(50);
            continue;
        }
        quiet = 0;
        Sleep(100);  // visible and ready for its click
        int button = answer(box, textOf(GetDlgItem(box, kMessageText)));
        if (button != 0) click(GetDlgItem(box, button));
        if (!waitFor([&] { return IsWindow(box) && IsWindowVisible(box) ? nullptr : GetDesktopWindow(); }, 5000))
            return false;
    }
    return true;
}

}  // namespace setupwindows
