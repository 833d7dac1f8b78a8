// Drives the real setup.exe from another process, as a person would, and
// keeps a picture of the wizard at each step: the agreement, the printer,
// mode, OS and port pages, the About box, and the agreement again after
// walking back. It then cancels the wizard.
//
//   wizard-driver.exe OUTDIR     (run in the folder that holds setup.exe)
//
// Windows are found by the process that owns them; a click is sent only once
// the window is visible (one sent before is lost); list choices are made
// with CB_SETCURSEL and the CBN_SELCHANGE the list would send. Pictures are
// 24-bit bitmaps of the window's rectangle on the screen, named after the step.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

DWORD setupProcess = 0;
const DWORD kPatience = 20000;  // milliseconds for anything to appear

struct Found {
    DWORD process;
    std::vector<HWND> windows;
};

BOOL CALLBACK collectTopLevel(HWND window, LPARAM parameter) {
    auto* found = reinterpret_cast<Found*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == found->process && IsWindowVisible(window)) found->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> visibleWindowsOfSetup() {
    Found found{setupProcess, {}};
    EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

// Polls until `condition` gives a window, or gives up.
template <class Condition>
HWND waitFor(Condition condition, const char* what) {
    for (DWORD waited = 0; waited < kPatience; waited += 50) {
        if (HWND window = condition()) return window;
        Sleep(50);
    }
    std::printf("gave up waiting for %s\n", what);
    return nullptr;
}

std::string textOf(HWND window) {
    wchar_t wide[512] = {};
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(wide));
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK matchVisibleControl(HWND child, LPARAM parameter) {
    auto* search = reinterpret_cast<ControlSearch*>(parameter);
    if (GetDlgCtrlID(child) != search->id || !IsWindowVisible(child)) return TRUE;
    search->found = child;
    return FALSE;
}

// The control with this id on the page now shown in the wizard.
HWND visibleControl(HWND frame, int id) {
    ControlSearch search{id, nullptr};
    EnumChildWindows(frame, matchVisibleControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void click(HWND button) {
    if (button == nullptr) return;
    SendMessageW(button, BM_CLICK, 0, 0);
}

void settle() { Sleep(700); }

bool capture(HWND window, const std::string& path) {
    RECT rect;
    if (!GetWindowRect(window, &rect)) return false;
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
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

// Reports what the wizard shows and keeps its picture.
void shot(HWND window, const std::string& outDirectory, const std::string& name) {
    settle();
    std::printf("%s: \"%s\"", name.c_str(), textOf(window).c_str());
    for (int id : {1002, IDOK, IDCANCEL}) {
        HWND button = GetDlgItem(window, id);
        if (button)
            std::printf(" [%s%s]", textOf(button).c_str(), IsWindowEnabled(button) ? "" : " (disabled)");
    }
    std::printf("\n");
    if (!capture(window, outDirectory + "\\" + name + ".bmp")) std::printf("  could not save the picture\n");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: wizard-driver.exe OUTDIR\n");
        return 2;
    }
    std::string out = argv[1];
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    char command[] = "setup.exe";
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::printf("setup.exe could not be started (%lu)\n", GetLastError());
        return 1;
    }
    setupProcess = process.dwProcessId;
    int failures = 0;

    HWND frame = waitFor(
        [] {
            for (HWND w : visibleWindowsOfSetup())
                if (GetDlgItem(w, 1002)) return w;  // the wizard has Back
            return HWND(nullptr);
        },
        "the wizard");
    if (frame == nullptr) {
        TerminateProcess(process.hProcess, 1);
        return 1;
    }
    auto onPage = [&](int id, const char* page) {
        HWND control = waitFor([&] { return visibleControl(frame, id); }, page);
        if (control == nullptr) ++failures;
        return control != nullptr;
    };

    if (onPage(1081, "the agreement page")) shot(frame, out, "1-agreement");
    click(visibleControl(frame, 1057));  // accept
    click(GetDlgItem(frame, IDOK));
    if (onPage(1019, "the printer page")) shot(frame, out, "2-printer");
    click(GetDlgItem(frame, IDOK));
    if (onPage(1066, "the mode page")) {
        click(visibleControl(frame, 1067));  // advanced: every remark line shows
        shot(frame, out, "3-mode");
    }
    click(GetDlgItem(frame, IDOK));
    if (onPage(1028, "the OS page")) shot(frame, out, "4-os");
    click(GetDlgItem(frame, IDOK));
    if (onPage(1049, "the port page")) shot(frame, out, "5-port");

    PostMessageW(frame, WM_SYSCOMMAND, 0x0010, 0);  // About, from the system menu
    HWND about = waitFor(
        [&] {
            for (HWND w : visibleWindowsOfSetup())
                if (w != frame) return w;
            return HWND(nullptr);
        },
        "the About box");
    if (about) {
        shot(about, out, "6-about");
        click(GetDlgItem(about, IDOK));
        waitFor([&] { return IsWindow(about) && IsWindowVisible(about) ? HWND(nullptr) : frame; }, "the About box to close");
    } else {
        ++failures;
    }

    for (int back = 0; back < 4; ++back) {
        click(GetDlgItem(frame, 1002));
        Sleep(200);
    }
    if (onPage(1081, "the agreement page again")) shot(frame, out, "7-back-on-agreement");

    click(GetDlgItem(frame, IDCANCEL));
    if (WaitForSingleObject(process.hProcess, kPatience) != WAIT_OBJECT_0) {
        std::printf("setup.exe did not end after Cancel\n");
        TerminateProcess(process.hProcess, 1);
        ++failures;
    } else {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        std::printf("setup.exe ended with %lu after Cancel\n", code);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return failures == 0 ? 0 : 1;
}
