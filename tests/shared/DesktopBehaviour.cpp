// Libraries, other programs' windows, the shell and broadcasts as Windows
// has them, on every backend.
#include <cstring>

#include "support/Backend.h"

using testing_support::BackendTest;

namespace {

const DWORD kUntouched = 0xdeadbeef;
const char* const kTitle = "Printer Setup Test Window";

}  // namespace

class DesktopBehaviour : public BackendTest {
protected:
    void TearDown() override {
#ifdef _WIN32
        if (window_) ::DestroyWindow(window_);
#endif
        BackendTest::TearDown();
    }

    // A top-level window of another program with this title: a real, hidden
    // window on Windows, the simulated desktop's window otherwise.
    HWND openWindow(const char* title) {
        if (isSim()) return sim()->desktop().openWindow(title, "TestClass").handle;
#ifdef _WIN32
        WNDCLASSA cls;
        std::memset(&cls, 0, sizeof cls);
        cls.lpfnWndProc = DefWindowProcA;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "TestClass";
        RegisterClassA(&cls);  // already registered by an earlier test: fine
        window_ = CreateWindowExA(0, "TestClass", title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                  nullptr, nullptr, cls.hInstance, nullptr);
        return window_;
#else
        return nullptr;
#endif
    }

private:
    HWND window_ = nullptr;
};

// The high contrast query fills a record of its own size, and only such a
// record (the test machines have high contrast off).
TEST_P(DesktopBehaviour, TheHighContrastQueryTakesARecordOfItsOwnSize) {
    HIGHCONTRASTA contrast = {};
    contrast.cbSize = sizeof contrast;
    contrast.dwFlags = kUntouched;
    EXPECT_TRUE(sys().SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0));
    EXPECT_EQ(contrast.dwFlags & HCF_HIGHCONTRASTON, 0u);
    contrast.cbSize = sizeof contrast + 4;
    EXPECT_FALSE(sys().SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0));
}

TEST_P(DesktopBehaviour, LoadingAMissingLibraryIsModuleNotFound) {
    for (std::string name : {std::string("NoSuchLibrary.dll"), scratch() + "\\NoSuchLibrary.dll",
                             scratch() + "\\nodir\\NoSuchLibrary.dll"}) {
        sys().SetLastError(kUntouched);
        EXPECT_EQ(sys().LoadLibraryA(name.c_str()), nullptr) << name;
        EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND)) << name;
    }
}

TEST_P(DesktopBehaviour, AFileThatIsNoProgramDoesNotLoad) {
    std::string text = scratch() + "\\text.dll";
    writeFile(text, "this is not a program");
    sys().SetLastError(kUntouched);
    EXPECT_EQ(sys().LoadLibraryA(text.c_str()), nullptr);
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
}

TEST_P(DesktopBehaviour, FunctionsAreLookedUpByTheirExactName) {
    HMODULE spooler = sys().LoadLibraryA("winspool.drv");
    ASSERT_NE(spooler, nullptr) << sys().GetLastError();
    // Loading it again gives the same module.
    HMODULE again = sys().LoadLibraryA("WINSPOOL.DRV");
    EXPECT_EQ(again, spooler);

    sys().SetLastError(kUntouched);
    EXPECT_NE(sys().GetProcAddress(spooler, "SetDefaultPrinterA"), nullptr);
    EXPECT_EQ(sys().GetLastError(), kUntouched);
    for (const char* missing : {"NoSuchFunction", "setdefaultprintera", "SetDefaultPrinter"}) {
        sys().SetLastError(kUntouched);
        EXPECT_EQ(sys().GetProcAddress(spooler, missing), nullptr) << missing;
        EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND)) << missing;
    }
    // An ordinal the library does not have.
    sys().SetLastError(kUntouched);
    EXPECT_EQ(sys().GetProcAddress(spooler, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(9999))),
              nullptr);
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

    EXPECT_TRUE(sys().FreeLibrary(again));
    EXPECT_TRUE(sys().FreeLibrary(spooler));
}

TEST_P(DesktopBehaviour, FindWindowMatchesTheWholeTitleWithoutRegardToCase) {
    HWND window = openWindow(kTitle);
    ASSERT_NE(window, nullptr);
    sys().SetLastError(kUntouched);
    EXPECT_EQ(sys().FindWindowA(nullptr, kTitle), window);
    EXPECT_EQ(sys().GetLastError(), kUntouched);
    EXPECT_EQ(sys().FindWindowA("TestClass", kTitle), window);
    EXPECT_EQ(sys().FindWindowA("testclass", kTitle), window);
    EXPECT_EQ(sys().FindWindowA("OtherClass", kTitle), nullptr);

    // Microsoft documents the search as not case-sensitive.
    EXPECT_EQ(sys().FindWindowA(nullptr, "PRINTER SETUP TEST WINDOW"), window);
    EXPECT_EQ(sys().FindWindowA(nullptr, "printer setup test window"), window);

    // The whole title: neither a part of it nor more.
    EXPECT_EQ(sys().FindWindowA(nullptr, "Printer Setup Test"), nullptr);
    EXPECT_EQ(sys().FindWindowA(nullptr, "Printer Setup Test Window 2"), nullptr);
    EXPECT_EQ(sys().FindWindowA(nullptr, "Printer Setup Test Window "), nullptr);
}

TEST_P(DesktopBehaviour, ShellExecuteOfAMissingFileReturnsFileNotFound) {
    std::string missing = scratch() + "\\missing-document.txt";
    HINSTANCE result = sys().ShellExecuteA(nullptr, "open", missing.c_str(), nullptr, nullptr,
                                           SW_SHOW);
    // Values up to 32 are errors; SE_ERR_FNF is 2.
    EXPECT_EQ(reinterpret_cast<uintptr_t>(result), 2u);
}

TEST_P(DesktopBehaviour, ASettingChangeWithItsSectionNameIsBroadcastOnlySynchronously) {
    DWORD_PTR answer = 0;
    EXPECT_NE(sys().SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0,
                                        reinterpret_cast<LPARAM>("windows"), SMTO_NORMAL, 1000,
                                        &answer),
              0);
    // A message below WM_USER whose parameter is a pointer cannot go
    // asynchronously: SendNotifyMessageA refuses it (ERROR_MESSAGE_SYNC_ONLY).
    sys().SetLastError(kUntouched);
    EXPECT_FALSE(sys().SendNotifyMessageA(HWND_BROADCAST, WM_WININICHANGE, 0,
                                          reinterpret_cast<LPARAM>("Ports")));
    EXPECT_EQ(sys().GetLastError(), 1159u);
}

INSTANTIATE_BACKENDS(DesktopBehaviour);
