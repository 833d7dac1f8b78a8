// The real setup.exe on the sample medium, started as a user starts it: it
// tells of an open uninstaller, and a second copy ends at once beside the
// first. (Its refusal of the systems it does not support is an end-to-end
// scenario, in prefixes of their own: tests/e2e.)
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

const DWORD kPatience = 20000;  // milliseconds for a window or an exit

std::string mediumDirectory() {
    std::string path = MEDIUM_DIR;
    for (char& c : path)
        if (c == '/') c = '\\';
    return "Z:" + path;
}

// setup.exe started from its medium, with the medium as current directory.
class SetupProgram {
public:
    SetupProgram() {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string directory = mediumDirectory();
        std::string command = "\"" + directory + "\\setup.exe\"";
        started_ = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  directory.c_str(), &startup, &process_) != FALSE;
    }
    ~SetupProgram() {
        if (!started_) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, kPatience);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    bool started() const { return started_; }

    // The first visible top-level window of this process with the title, or null.
    HWND window(const std::string& title) const {
        Search search{process_.dwProcessId, title, nullptr};
        EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    HWND waitForWindow(const std::string& title) const {
        for (DWORD waited = 0; waited < kPatience; waited += 50) {
            if (HWND found = window(title)) return found;
            if (hasEnded()) return nullptr;
            Sleep(50);
        }
        return nullptr;
    }
    bool hasEnded() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }
    // Waits for the program to end; its exit code, or -1 when it did not end.
    long waitForExit(DWORD milliseconds = kPatience) const {
        if (WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<long>(code);
    }

private:
    struct Search {
        DWORD process;
        std::string title;
        HWND found;
    };
    static BOOL CALLBACK matchWindow(HWND window, LPARAM parameter) {
        auto* search = reinterpret_cast<Search*>(parameter);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char title[256] = {};
        GetWindowTextA(window, title, sizeof title);
        if (process != search->process || !IsWindowVisible(window) || search->title != title)
            return TRUE;
        search->found = window;
        return FALSE;
    }

    bool started_ = false;
    PROCESS_INFORMATION process_ = {};
};

// The text of a message box (its static text control).
std::string messageText(HWND box) {
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

void pressOk(HWND box) {
    HWND ok = GetDlgItem(box, IDOK);
    if (ok == nullptr) ok = GetDlgItem(box, IDCANCEL);
    PostMessageA(ok, BM_CLICK, 0, 0);
}

}  // namespace

TEST(StartupEndToEnd, ASecondCopyEndsAtOnceBesideTheFirst) {
    SetupProgram first;
    ASSERT_TRUE(first.started());
    ASSERT_NE(first.waitForWindow("Printer Driver Setup"), nullptr);
    SetupProgram second;
    ASSERT_TRUE(second.started());
    EXPECT_EQ(second.waitForExit(), 0);
    EXPECT_FALSE(first.hasEnded());
    HWND wizard = first.window("Printer Driver Setup");
    ASSERT_NE(wizard, nullptr);
    PostMessageA(wizard, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(first.waitForExit(), 0);
}

TEST(StartupEndToEnd, AnOpenUninstallerIsReported) {
    HWND uninstaller = CreateWindowA("STATIC", "Uninstall", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(uninstaller, nullptr);
    SetupProgram setup;
    ASSERT_TRUE(setup.started());
    HWND box = setup.waitForWindow("setup");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(messageText(box),
              "A printer uninstaller is running. Please close it, then start the setup again.");
    pressOk(box);
    EXPECT_EQ(setup.waitForExit(), 0);
    DestroyWindow(uninstaller);
}
