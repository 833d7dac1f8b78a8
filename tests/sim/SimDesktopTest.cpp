// What the simulated desktop records and scripts: message boxes and their
// answers, programs started through the shell, windows of other programs
// that close at a virtual time, broadcasts and restart requests.
#include <gtest/gtest.h>

#include "os/sim/SimOs.h"

using os::sim::Desktop;
using os::sim::Machine;
using os::sim::SimOs;

TEST(SimMessageBoxes, ScriptedAnswersInOrderThenTheFirstButton) {
    SimOs os;
    os.desktop().answer(IDNO);
    os.desktop().answer(IDCANCEL);
    HWND owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x4242));
    EXPECT_EQ(os.MessageBoxA(owner, "Restart now?", "setup", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(os.MessageBoxA(nullptr, "Copy failed", nullptr, MB_OKCANCEL), IDCANCEL);
    // Unscripted boxes take their first button.
    EXPECT_EQ(os.MessageBoxA(nullptr, "a", "c", MB_YESNO), IDYES);
    EXPECT_EQ(os.MessageBoxA(nullptr, "b", "c", MB_YESNOCANCEL), IDYES);
    EXPECT_EQ(os.MessageBoxA(nullptr, "c", "c", MB_OKCANCEL), IDOK);
    EXPECT_EQ(os.MessageBoxA(nullptr, "d", "c", 2 /* MB_ABORTRETRYIGNORE */), IDABORT);
    EXPECT_EQ(os.MessageBoxA(nullptr, "e", "c", 5 /* MB_RETRYCANCEL */), IDRETRY);
    EXPECT_EQ(os.MessageBoxA(nullptr, "f", "c", MB_OK | MB_ICONERROR), IDOK);

    const auto& boxes = os.desktop().messageBoxes();
    ASSERT_EQ(boxes.size(), 8u);
    EXPECT_EQ(boxes[0].owner, owner);
    EXPECT_EQ(boxes[0].text, "Restart now?");
    EXPECT_TRUE(boxes[0].hasCaption);
    EXPECT_EQ(boxes[0].caption, "setup");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(boxes[0].answer, IDNO);
    EXPECT_EQ(boxes[1].owner, nullptr);
    EXPECT_FALSE(boxes[1].hasCaption);
    EXPECT_EQ(os.desktop().messageTexts().front(), "Restart now?");
    EXPECT_EQ(os.desktop().messageTexts().back(), "f");
}

TEST(SimShell, StartingAProgramIsRecordedAndAnsweredByTheHook) {
    SimOs os;
    os.files().writeFile("C:\\MEDIUM\\USBDrv\\Install.exe", std::string("MZ"));
    HINSTANCE result = os.ShellExecuteA(nullptr, "open", "C:\\MEDIUM\\USBDrv\\Install.exe", "2",
                                        nullptr, SW_SHOWNORMAL);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(result), 42u);
    ASSERT_EQ(os.desktop().shellRuns().size(), 1u);
    const Desktop::ShellRun& run = os.desktop().shellRuns()[0];
    EXPECT_EQ(run.verb, "open");
    EXPECT_EQ(run.parameters, "2");
    EXPECT_EQ(run.show, SW_SHOWNORMAL);

    // The hook decides what starting does: here the installer opens its window.
    os.desktop().onShellExecute = [&](const Desktop::ShellRun& r) {
        os.desktop().openWindow("USB driver installer", "", os.clock().now() + 3000);
        EXPECT_EQ(r.file, ".\\help.chm");
        return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(33));
    };
    os.files().writeFile("C:\\MEDIUM\\help.chm", std::string("ITSF"));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(
                  os.ShellExecuteA(nullptr, "open", ".\\help.chm", nullptr, nullptr, SW_SHOW)),
              33u);
    EXPECT_NE(os.FindWindowA(nullptr, "USB driver installer"), nullptr);

    // A file that is not there is not started, and the hook is not asked.
    EXPECT_EQ(reinterpret_cast<uintptr_t>(os.ShellExecuteA(nullptr, "open", "missing.chm", nullptr,
                                                           nullptr, SW_SHOW)),
              static_cast<uintptr_t>(ERROR_FILE_NOT_FOUND));
    // A relative file is looked for in the directory given.
    os.desktop().onShellExecute = nullptr;
    os.files().writeFile("C:\\docs\\guide.pdf", std::string("%PDF"));
    EXPECT_GT(reinterpret_cast<uintptr_t>(
                  os.ShellExecuteA(nullptr, "open", "guide.pdf", nullptr, "C:\\docs", SW_SHOW)),
              32u);
    EXPECT_EQ(os.desktop().shellRuns().size(), 4u);
}

TEST(SimWindows, AWindowClosesAtItsVirtualTime) {
    SimOs os;
    Desktop::Window& installer = os.desktop().openWindow("Installing", "", 2500);
    HWND handle = installer.handle;
    // The reference stays good while other windows open.
    for (int i = 0; i < 40; ++i) os.desktop().openWindow("other " + std::to_string(i));
    EXPECT_EQ(installer.title, "Installing");

    EXPECT_EQ(os.FindWindowA(nullptr, "Installing"), handle);
    EXPECT_TRUE(os.SetForegroundWindow(handle));
    EXPECT_TRUE(os.OpenIcon(handle));
    EXPECT_EQ(installer.foregroundRequests, 1);
    EXPECT_EQ(installer.restoreRequests, 1);
    os.Sleep(2499);
    EXPECT_EQ(os.FindWindowA(nullptr, "Installing"), handle);
    os.Sleep(1);
    EXPECT_EQ(os.FindWindowA(nullptr, "Installing"), nullptr);
    // Gone for every call, not only for the search.
    EXPECT_FALSE(os.SetForegroundWindow(handle));
    EXPECT_FALSE(os.BringWindowToTop(handle));
    EXPECT_FALSE(os.OpenIcon(handle));
    EXPECT_EQ(installer.foregroundRequests, 1);

    os.desktop().closeWindow("other 3");
    EXPECT_EQ(os.FindWindowA(nullptr, "other 3"), nullptr);
    EXPECT_NE(os.FindWindowA(nullptr, "other 4"), nullptr);
}

TEST(SimWindows, FindWindowMatchesClassAndTitleEachWhenGiven) {
    SimOs os;
    HWND help = os.desktop().openWindow("Help Guide", "HH Parent").handle;
    HWND other = os.desktop().openWindow("Help Guide", "Notepad").handle;
    EXPECT_EQ(os.FindWindowA("notepad", nullptr), other);
    EXPECT_EQ(os.FindWindowA("HH PARENT", "help guide"), help);
    EXPECT_EQ(os.FindWindowA(nullptr, "Help Guide"), help);  // the first opened
    EXPECT_EQ(os.FindWindowA("Other", nullptr), nullptr);
}

TEST(SimRestart, ExitWindowsNeedsTheShutdownPrivilegeOnNt) {
    SimOs nt;
    nt.SetLastError(0);
    EXPECT_FALSE(nt.ExitWindowsEx(EWX_REBOOT, 0));
    EXPECT_EQ(nt.GetLastError(), static_cast<DWORD>(ERROR_PRIVILEGE_NOT_HELD));

    Machine privileged = Machine::windows7();
    privileged.shutdownPrivilege = true;
    SimOs seven(privileged);
    EXPECT_TRUE(seven.ExitWindowsEx(EWX_REBOOT, 0));
    EXPECT_EQ(seven.desktop().restartRequests(), (std::vector<UINT>{EWX_REBOOT}));

    SimOs me(Machine::windowsMe());
    EXPECT_TRUE(me.ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0));
    EXPECT_EQ(me.desktop().restartRequests(), (std::vector<UINT>{EWX_REBOOT | EWX_FORCE}));
}

TEST(SimBroadcasts, AreRecordedWithTheirTextAndWhetherTheyWentOut) {
    SimOs os;
    DWORD_PTR answer = 7;
    EXPECT_NE(os.SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0,
                                     reinterpret_cast<LPARAM>("windows"), SMTO_NORMAL, 1000,
                                     &answer),
              0);
    EXPECT_FALSE(os.SendNotifyMessageA(HWND_BROADCAST, WM_WININICHANGE, 0,
                                       reinterpret_cast<LPARAM>("Ports")));
    EXPECT_TRUE(os.SendNotifyMessageA(HWND_BROADCAST, WM_WININICHANGE, 0, 0));
    const auto& sent = os.desktop().broadcasts();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].window, HWND_BROADCAST);
    EXPECT_EQ(sent[0].text, "windows");
    EXPECT_FALSE(sent[0].notify);
    EXPECT_EQ(sent[0].flags, static_cast<UINT>(SMTO_NORMAL));
    EXPECT_EQ(sent[0].timeout, 1000u);
    EXPECT_TRUE(sent[0].delivered);
    EXPECT_EQ(sent[1].text, "Ports");
    EXPECT_TRUE(sent[1].notify);
    EXPECT_FALSE(sent[1].delivered);
    EXPECT_FALSE(sent[2].hasText);
    EXPECT_TRUE(sent[2].delivered);
}

TEST(SimLibraries, ModulesAreCountedAndFreedAsOften) {
    SimOs os;
    size_t base = os.openHandles();
    HMODULE first = os.LoadLibraryA("winspool.drv");
    HMODULE second = os.LoadLibraryA("C:\\WINDOWS\\system32\\WINSPOOL.DRV");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(os.openHandles(), base + 1);
    EXPECT_TRUE(os.FreeLibrary(first));
    EXPECT_NE(os.GetProcAddress(first, "SetDefaultPrinterA"), nullptr);
    EXPECT_TRUE(os.FreeLibrary(first));
    EXPECT_EQ(os.openHandles(), base);
    EXPECT_FALSE(os.FreeLibrary(first));
    EXPECT_EQ(os.GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(SimLibraries, SetDefaultPrinterCameWithWindows2000) {
    SimOs nt4(Machine::windowsNt4());
    HMODULE spooler = nt4.LoadLibraryA("winspool.drv");
    ASSERT_NE(spooler, nullptr);
    EXPECT_EQ(nt4.GetProcAddress(spooler, "SetDefaultPrinterA"), nullptr);
    EXPECT_EQ(nt4.GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    SimOs xp;
    EXPECT_NE(xp.GetProcAddress(xp.LoadLibraryA("winspool.drv"), "SetDefaultPrinterA"), nullptr);
}
