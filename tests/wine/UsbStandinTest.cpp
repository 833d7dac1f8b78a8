// The program's USB code on the real Win32 calls (Wine's) against our test
// stand-ins: the identity of the attached printer read and written through
// the stand-in HvUsbInt.dll that the real loader finds, the class driver's
// versions read from real version resources, and the driver installer
// started as setup.exe starts it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "config/TextTable.h"
#include "install/UsbClassDriver.h"
#include "config/ProgramFolder.h"
#include "install/UsbIdentity.h"
#include "os/sim/StandinPrinter.h"

namespace {

std::string windowsPath(const char* hostPath) {
    std::string path = hostPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return "Z:" + path;
}

std::string dataFile(const std::string& name) { return windowsPath(TESTDATA_DIR) + "\\" + name; }
std::string mediumFile(const std::string& name) { return windowsPath(MEDIUM_DIR) + "\\" + name; }

std::string fileContent(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string content(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!content.empty())
        ReadFile(file, &content[0], static_cast<DWORD>(content.size()), &read, nullptr);
    CloseHandle(file);
    return content;
}

void writeText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string freshFolder(const std::string& name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// Deletes files, retrying a while: a program that has just closed its window
// may still hold its own image open.
void removeFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        for (int attempt = 0; attempt < 50 && !DeleteFileA(path.c_str()) &&
                              GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
             ++attempt)
            Sleep(100);
    }
}

// Answers every message box this thread shows with OK, keeping its text. The
// boxes are Windows' own: a timer of the thread fires inside their modal loop.
class BoxAnswerer {
public:
    BoxAnswerer() {
        current = this;
        timer_ = SetTimer(nullptr, 0, 50, &BoxAnswerer::tick);
    }
    ~BoxAnswerer() {
        KillTimer(nullptr, timer_);
        current = nullptr;
    }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    std::vector<std::string> texts;

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(GetCurrentThreadId(), &BoxAnswerer::answer, 0);
    }
    static BOOL CALLBACK answer(HWND window, LPARAM) {
        char kind[16] = {};
        GetClassNameA(window, kind, sizeof kind);
        if (current == nullptr || std::string(kind) != "#32770" || !IsWindowVisible(window))
            return TRUE;
        // A message box's text is its static control 0xFFFF, on Windows as in Wine.
        char text[512] = {};
        GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
        current->texts.push_back(text);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        return TRUE;
    }

    static BoxAnswerer* current;
    UINT_PTR timer_;
};

BoxAnswerer* BoxAnswerer::current = nullptr;

const char kOnePrinterText[] = "Only one USB printer, please.";

}  // namespace

// The stand-in library beside the test program, where the program loads it
// from by its full path as setup.exe loads it from its own folder, with a
// language file, the folder made the current directory.
class UsbStandinLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetModuleHandleA("HvUsbInt.dll"), nullptr)
            << "an earlier test left the library loaded";
        folder_ = config::programFolder();
        CreateDirectoryA((folder_ + "\\language").c_str(), nullptr);
        writeText(folder_ + "\\language\\setup.ini",
                  std::string("[Message]\r\nIDS_ERR_ONEPRINTER=") + kOnePrinterText + "\r\n");
        ASSERT_TRUE(CopyFileA(dataFile("HvUsbInt.dll").c_str(), library().c_str(), FALSE));
        GetCurrentDirectoryA(MAX_PATH, previous_);
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
        app::reopenMessageTexts();
    }
    void TearDown() override {
        SetCurrentDirectoryA(previous_);
        app::reopenMessageTexts();
        removeFiles({library(), state(), folder_ + "\\language\\setup.ini"});
        RemoveDirectoryA((folder_ + "\\language").c_str());
    }

    std::string library() const { return folder_ + "\\HvUsbInt.dll"; }
    std::string state() const { return folder_ + "\\HvUsbInt.ini"; }
    int storedDeviceValue() const {
        return static_cast<int>(
            GetPrivateProfileIntA("Printer0", "DeviceValue", -1, state().c_str()));
    }

    // The program released the library on its way out: no module of that
    // name is left, and the file can go (a loaded DLL cannot be deleted, on
    // Windows as in Wine, which refuses with 5).
    void expectReleased() {
        EXPECT_EQ(GetModuleHandleA("HvUsbInt.dll"), nullptr);
        EXPECT_TRUE(DeleteFileA(library().c_str())) << "error " << GetLastError();
    }

    std::string folder_;
    char previous_[MAX_PATH] = {};
};

TEST_F(UsbStandinLibraryTest, TheProgramReadsThePrintersTheStateFileAttaches) {
    const std::string printer = "[Printer0]\r\nDeviceValue=258\r\n";
    struct Case {
        const char* name;
        std::string stateFile;  // empty: no state file, no printer
        int expected;
        size_t boxes;
        const char* boxText;  // null: any text
    };
    const Case cases[] = {
        {"no printer", "", install::kNoUsbPrinter, 0, nullptr},
        {"one printer", "[Printers]\r\nCount=1\r\n" + printer, 258, 0, nullptr},
        {"two printers", "[Printers]\r\nCount=2\r\n" + printer + "[Printer1]\r\nDeviceValue=3\r\n",
         install::kSeveralUsbPrinters, 1, kOnePrinterText},
        {"unreadable descriptor", "[Printers]\r\nCount=1\r\n" + printer + "Descriptor=0\r\n",
         install::kNoUsbPrinter, 1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.stateFile.empty())
            DeleteFileA(state().c_str());
        else
            writeText(state(), c.stateFile);
        ASSERT_TRUE(CopyFileA(dataFile("HvUsbInt.dll").c_str(), library().c_str(), FALSE));
        BoxAnswerer boxes;
        EXPECT_EQ(install::ReadUsbDeviceId(), c.expected);
        ASSERT_EQ(boxes.texts.size(), c.boxes);
        if (c.boxText != nullptr) {
            EXPECT_EQ(boxes.texts[0], c.boxText);
        }
        expectReleased();
    }
}

TEST_F(UsbStandinLibraryTest, AnAcceptedNumberIsStoredInThePrinterAndReadBack) {
    struct Case {
        const char* name;
        const char* writes;
        bool accepted;
    };
    for (const Case& c :
         {Case{"accepting printer", "1", true}, Case{"refusing printer", "0", false}}) {
        SCOPED_TRACE(c.name);
        writeText(state(),
                  std::string("[Printers]\r\nCount=1\r\n[Printer0]\r\nDeviceValue=258\r\nWrites=") +
                      c.writes + "\r\n");
        ASSERT_TRUE(CopyFileA(dataFile("HvUsbInt.dll").c_str(), library().c_str(), FALSE));
        BoxAnswerer boxes;
        EXPECT_EQ(install::WriteUsbDeviceId(4, {STANDIN_PRINTER_SIGNATURE}), c.accepted);
        const int stored = storedDeviceValue();
        if (c.accepted) {
            EXPECT_EQ(install::usbPortNumber(stored), 4) << stored;
            // Only the port number's three bits are the printer's to change.
            EXPECT_EQ(stored / 8, 258 / 8) << stored;
            EXPECT_TRUE(boxes.texts.empty());
            EXPECT_EQ(install::ReadUsbDeviceId(), stored);
        } else {
            EXPECT_EQ(stored, 258);
            EXPECT_EQ(boxes.texts.size(), 1u);
        }
        expectReleased();
    }
}

TEST(UsbStandinClassDriverTest, TheMediumCarriesTheNewerOfTwoRealVersionResources) {
    const std::string older = install::FileVersionText(dataFile("bulkusb-1.0.0.9.sys"));
    const std::string newer = install::FileVersionText(dataFile("bulkusb-1.0.0.10.sys"));
    EXPECT_EQ(older, "1.0.0.9");
    EXPECT_EQ(newer, "1.0.0.10");
    EXPECT_GT(install::compareVersionTexts(newer, older), 0);
    EXPECT_LT(install::compareVersionTexts(older, newer), 0);
    EXPECT_EQ(install::FileVersionText(mediumFile("USBDrv\\bulkusb.sys")), newer);
}

// A medium of the test's own with the installer, the class driver and the
// INF of the assembled sample medium, and a caption of its own; the installed
// copies in the prefix are put back afterwards.
class UsbStandinInstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        medium_ = freshFolder("usb-medium");
        caption_ = "USB installer stand-in test " + std::to_string(GetCurrentProcessId());
        CreateDirectoryA((medium_ + "\\language").c_str(), nullptr);
        CreateDirectoryA((medium_ + "\\USBDrv").c_str(), nullptr);
        writeText(medium_ + "\\language\\setup.ini", "[Setup]\r\nCaptionName=" + caption_ + "\r\n");
        for (const char* name : {"Install.exe", "bulkusb.sys", "BULKUSB.INF"})
            ASSERT_TRUE(CopyFileA(mediumFile(std::string("USBDrv\\") + name).c_str(),
                                  (medium_ + "\\USBDrv\\" + name).c_str(), FALSE))
                << name;
        char windows[MAX_PATH] = {};
        GetWindowsDirectoryA(windows, MAX_PATH);
        installedInf_ = std::string(windows) + "\\inf\\BULKUSB.INF";
        for (const std::string& installed : {install::installedUsbDriverPath(), installedInf_}) {
            saved_.push_back(fileContent(installed));
            SetFileAttributesA(installed.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(installed.c_str());
        }
        GetCurrentDirectoryA(MAX_PATH, previous_);
        ASSERT_TRUE(SetCurrentDirectoryA(medium_.c_str()));
    }
    void TearDown() override {
        SetCurrentDirectoryA(previous_);
        const std::string installed[] = {install::installedUsbDriverPath(), installedInf_};
        removeFiles({installed[0], installed[1]});
        for (size_t i = 0; i < saved_.size(); ++i)
            if (saved_[i] != "<missing>") writeText(installed[i], saved_[i]);
        removeFiles({medium_ + "\\USBDrv\\Install.exe", medium_ + "\\USBDrv\\bulkusb.sys",
                     medium_ + "\\USBDrv\\BULKUSB.INF", medium_ + "\\language\\setup.ini"});
        RemoveDirectoryA((medium_ + "\\USBDrv").c_str());
        RemoveDirectoryA((medium_ + "\\language").c_str());
        RemoveDirectoryA(medium_.c_str());
    }

    std::string medium_, caption_, installedInf_;
    std::vector<std::string> saved_;
    char previous_[MAX_PATH] = {};
};

TEST_F(UsbStandinInstallerTest, ShowsItsCaptionWhileItReplacesAReadOnlyOlderDriver) {
    // An older driver left read-only, as a copy from a CD is. Windows' CopyFileA
    // refuses to replace it, and so does Wine's for any user but root.
    const std::string driver = install::installedUsbDriverPath();
    ASSERT_TRUE(CopyFileA(dataFile("bulkusb-1.0.0.9.sys").c_str(), driver.c_str(), FALSE));
    ASSERT_TRUE(SetFileAttributesA(driver.c_str(), FILE_ATTRIBUTE_READONLY));

    // As setup.exe starts it: the medium's root is the current directory.
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    const std::string program = std::string(current) + "\\USBDrv\\Install.exe";
    HINSTANCE started =
        ShellExecuteA(nullptr, "open", program.c_str(), "2", nullptr, SW_SHOWNORMAL);
    ASSERT_GT(reinterpret_cast<INT_PTR>(started), 32);

    HWND window = nullptr;
    for (int waited = 0; waited < 20000 && window == nullptr; waited += 20) {
        window = FindWindowA(nullptr, caption_.c_str());
        if (window == nullptr) Sleep(20);
    }
    ASSERT_NE(window, nullptr) << "no window titled " << caption_;
    const DWORD found = GetTickCount();
    while (IsWindow(window) && GetTickCount() - found < 20000) Sleep(20);
    const DWORD shown = GetTickCount() - found;
    EXPECT_FALSE(IsWindow(window)) << "the window stays";
    // setup.exe looks for the window 500 ms after starting the installer.
    EXPECT_GE(shown, 500u);

    EXPECT_EQ(install::FileVersionText(driver), "1.0.0.10");
    EXPECT_EQ(fileContent(installedInf_), fileContent(medium_ + "\\USBDrv\\BULKUSB.INF"));
}
