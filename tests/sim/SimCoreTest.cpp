// The simulated machine's own instruments: fault injection, the journal, the
// virtual clock, handle accounting, named objects held elsewhere and the
// path rules every file call goes through.
#include <gtest/gtest.h>

#include <thread>

#include "os/sim/Security.h"
#include "os/sim/SimOs.h"

using os::sim::FileSystem;
using os::sim::SimOs;

namespace {

void touch(SimOs& os, const std::string& path) { os.files().writeFile(path, std::string("x")); }

}  // namespace

TEST(SimFaults, ARuleFailsItsCallWithItsCodeUntilCleared) {
    SimOs os;
    touch(os, "C:\\a.txt");
    os.faults().fail("DeleteFileA", ERROR_ACCESS_DENIED);
    for (int i = 0; i < 3; ++i) {
        os.SetLastError(0);
        EXPECT_FALSE(os.DeleteFileA("C:\\a.txt"));
        EXPECT_EQ(os.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    // Other calls are not affected, and the file was never touched.
    EXPECT_NE(os.GetFileAttributesA("C:\\a.txt"), INVALID_FILE_ATTRIBUTES);
    os.faults().clear();
    EXPECT_TRUE(os.DeleteFileA("C:\\a.txt"));
}

TEST(SimFaults, WhenAfterAndTimesNarrowARule) {
    SimOs os;
    for (const char* name : {"C:\\one.dll", "C:\\two.dll", "C:\\three.txt", "C:\\four.dll"})
        touch(os, name);
    // Only .DLL subjects (without regard to case), the first one let through,
    // then two failures, then calls pass again.
    os.faults().fail("CopyFileA", ERROR_SHARING_VIOLATION).when(".DLL").after(1).times(2);
    EXPECT_TRUE(os.CopyFileA("C:\\one.dll", "C:\\one.bak", FALSE));
    EXPECT_TRUE(os.CopyFileA("C:\\three.txt", "C:\\three.bak", FALSE));
    EXPECT_FALSE(os.CopyFileA("C:\\two.dll", "C:\\two.bak", FALSE));
    EXPECT_EQ(os.GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(os.CopyFileA("C:\\four.dll", "C:\\four.bak", FALSE));
    EXPECT_TRUE(os.CopyFileA("C:\\four.dll", "C:\\four.bak", FALSE));
    EXPECT_FALSE(os.files().isFile("C:\\two.bak"));
    EXPECT_TRUE(os.files().isFile("C:\\four.bak"));
}

TEST(SimFaults, RegistryCallsReturnTheInjectedCode) {
    SimOs os;
    os.faults().fail("RegOpenKeyExA", ERROR_ACCESS_DENIED).when("Print");
    HKEY key = nullptr;
    EXPECT_EQ(os.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Print", 0,
                               KEY_READ, &key),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(os.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(os.RegCloseKey(key), ERROR_SUCCESS);
}

TEST(SimJournal, RecordsEveryCallWithItsSubjectInOrder) {
    SimOs os;
    os.clearJournal();
    os.CreateDirectoryA("C:\\Staging", nullptr);
    os.SetCurrentDirectoryA("C:\\Staging");
    HANDLE h = os.CreateFileA("new.ini", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    os.CloseHandle(h);
    os.Sleep(250);
    HKEY key = nullptr;
    os.RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Test", 0, nullptr, 0, KEY_ALL_ACCESS,
                       nullptr, &key, nullptr);
    os.RegCloseKey(key);
    EXPECT_EQ(os.journal(), (std::vector<std::string>{
                                "CreateDirectoryA C:\\Staging",
                                "SetCurrentDirectoryA C:\\Staging",
                                "CreateFileA C:\\Staging\\new.ini",  // full path, as resolved
                                "CloseHandle",
                                "Sleep 250",
                                "RegCreateKeyExA Software\\Test",
                                "RegCloseKey",
                            }));
    EXPECT_EQ(os.calls("CreateFileA"), (std::vector<std::string>{"C:\\Staging\\new.ini"}));
    EXPECT_EQ(os.calls("CloseHandle"), (std::vector<std::string>{""}));
    // A name is matched whole: "Create" is no call of its own.
    EXPECT_TRUE(os.calls("Create").empty());
    os.clearJournal();
    EXPECT_TRUE(os.journal().empty());
}

TEST(SimClock, SleepAdvancesTheClockAtOnceAndIsRecordedPerThread) {
    SimOs os;
    DWORD start = os.GetTickCount();
    os.Sleep(500);
    os.Sleep(1000);
    EXPECT_EQ(os.GetTickCount() - start, 1500u);
    std::thread worker([&] { os.Sleep(80); });
    worker.join();
    EXPECT_EQ(os.clock().sleeps(), (std::vector<DWORD>{500, 1000}));
    ASSERT_EQ(os.clock().waits().size(), 3u);
    EXPECT_EQ(os.clock().waits()[2].milliseconds, 80u);
    EXPECT_NE(os.clock().waits()[2].thread, std::this_thread::get_id());
    EXPECT_EQ(os.GetTickCount() - start, 1580u);
    // Time that passes without a Sleep of the program is no wait of its own.
    os.clock().advance(20);
    EXPECT_EQ(os.GetTickCount() - start, 1600u);
    EXPECT_EQ(os.clock().waits().size(), 3u);
}

TEST(SimHandles, EveryKindOfHandleIsCountedUntilClosed) {
    SimOs os;
    size_t base = os.openHandles();
    touch(os, "C:\\f.txt");
    HANDLE file = os.CreateFileA("C:\\f.txt", GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    WIN32_FIND_DATAA data;
    HANDLE search = os.FindFirstFileA("C:\\*", &data);
    HANDLE mutex = os.CreateMutexA(nullptr, TRUE, "setup");
    HKEY key = nullptr;
    os.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &key);
    HANDLE token = nullptr;
    os.OpenProcessToken(os.GetCurrentProcess(), TOKEN_QUERY, &token);
    EXPECT_EQ(os.openHandles(), base + 5);
    // A search handle is closed with FindClose, not CloseHandle.
    EXPECT_FALSE(os.CloseHandle(search));
    EXPECT_EQ(os.GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(os.FindClose(search));
    EXPECT_TRUE(os.CloseHandle(file));
    EXPECT_TRUE(os.CloseHandle(mutex));
    EXPECT_TRUE(os.CloseHandle(token));
    EXPECT_EQ(os.RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(os.openHandles(), base);
    EXPECT_EQ(os.files().openings("C:\\f.txt"), 0u);
}

TEST(SimMutex, AMutexHeldByAnotherProgramMakesTheFirstCreateReportExisting) {
    SimOs os;
    os.holdMutexElsewhere("setup");
    HANDLE h = os.CreateMutexA(nullptr, TRUE, "setup");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(os.GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    // The other program keeps it after this one lets go.
    EXPECT_TRUE(os.CloseHandle(h));
    os.CreateMutexA(nullptr, TRUE, "setup");
    EXPECT_EQ(os.GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    // Another name is free.
    os.CreateMutexA(nullptr, TRUE, "Setup");
    EXPECT_EQ(os.GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
}

// What a mutex made without a descriptor gets is the token's default owner
// and an access list for that owner and the system. On Windows XP (policy
// "Default owner for objects created by members of the Administrators
// group": "Object creator") that owner is the administrator himself, and
// another administrator may not open it; on 2000, 2003 and from Vista on,
// the Administrators group, which every administrator is.
TEST(SimMutex, AnAdministratorsMutexIsHisOwnOnWindowsXpAlone) {
    namespace wellKnown = os::sim::wellKnown;
    struct Row {
        const char* what;
        os::sim::Machine machine;
        const char* owner;
        DWORD anotherAdministrator;  // what his CreateMutexA of the name says
    } rows[] = {
        {"Windows XP", os::sim::Machine::windowsXp(), wellKnown::kUser, ERROR_ACCESS_DENIED},
        {"Windows 2000", os::sim::Machine::windows2000(), wellKnown::kAdministrators, ERROR_ALREADY_EXISTS},
        {"Windows Server 2003", os::sim::Machine::windows2003(), wellKnown::kAdministrators, ERROR_ALREADY_EXISTS},
        {"Windows 7", os::sim::Machine::windows7(), wellKnown::kAdministrators, ERROR_ALREADY_EXISTS},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SimOs os(row.machine);
        HANDLE mine = os.CreateMutexA(nullptr, TRUE, "setup");
        ASSERT_NE(mine, nullptr);
        DWORD needed = 0;
        os.GetKernelObjectSecurity(mine, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
        std::vector<BYTE> bytes(needed);
        ASSERT_TRUE(os.GetKernelObjectSecurity(mine, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                               bytes.data(), needed, &needed));
        os::sim::Descriptor security;
        ASSERT_TRUE(os::sim::readDescriptor(bytes.data(), &security));
        EXPECT_EQ(security.owner, row.owner);
        os.machine().user = wellKnown::kOtherAdministrator;
        HANDLE theirs = os.CreateMutexA(nullptr, TRUE, "setup");
        EXPECT_EQ(os.GetLastError(), row.anotherAdministrator);
        EXPECT_EQ(theirs == nullptr, row.anotherAdministrator == ERROR_ACCESS_DENIED);
    }
}

TEST(SimMemory, AllocationsCanBeMadeToFail) {
    SimOs os;
    os.faults().fail("GlobalAlloc", ERROR_NOT_ENOUGH_MEMORY).times(1);
    EXPECT_EQ(os.GlobalAlloc(GPTR, 100), nullptr);
    EXPECT_EQ(os.GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    void* block = os.GlobalAlloc(GPTR, 100);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(os.GlobalFree(block), nullptr);
    EXPECT_EQ(os.calls("GlobalAlloc"), (std::vector<std::string>{"100", "100"}));
}

TEST(SimPaths, FullPathsAreResolvedAsWindowsDoes) {
    const std::string cwd = "C:\\MEDIUM\\Disk1";
    EXPECT_EQ(FileSystem::fullPath("DRVCONFIG\\setup.ini", cwd), "C:\\MEDIUM\\Disk1\\DRVCONFIG\\setup.ini");
    EXPECT_EQ(FileSystem::fullPath(".\\help.chm", cwd), "C:\\MEDIUM\\Disk1\\help.chm");
    EXPECT_EQ(FileSystem::fullPath("..\\..\\..\\x", cwd), "C:\\x");
    EXPECT_EQ(FileSystem::fullPath("\\USBDrv\\Install.exe", cwd), "C:\\USBDrv\\Install.exe");
    EXPECT_EQ(FileSystem::fullPath("d:/W32//a.dll", cwd), "D:\\W32\\a.dll");
    EXPECT_EQ(FileSystem::fullPath("C:\\dir\\", cwd), "C:\\dir");
    EXPECT_EQ(FileSystem::fullPath("C:\\", cwd), "C:\\");
    // Windows drops trailing dots and blanks of a name.
    EXPECT_EQ(FileSystem::fullPath("C:\\file.txt. .", cwd), "C:\\file.txt");
    // A drive without a backslash means that drive's current directory.
    EXPECT_EQ(FileSystem::fullPath("C:name.txt", cwd), "C:\\MEDIUM\\Disk1\\name.txt");
    EXPECT_EQ(FileSystem::fullPath("D:name.txt", cwd), "D:\\name.txt");

    EXPECT_EQ(FileSystem::parentOf("C:\\A\\b.txt"), "C:\\A");
    EXPECT_EQ(FileSystem::parentOf("C:\\b.txt"), "C:\\");
    EXPECT_EQ(FileSystem::nameOf("C:\\A\\b.txt"), "b.txt");
}

TEST(SimPaths, WildcardsFollowWindows) {
    EXPECT_TRUE(FileSystem::matches("*.*", "noextension"));
    EXPECT_TRUE(FileSystem::matches("*.", "noextension"));
    EXPECT_FALSE(FileSystem::matches("*.", "file.txt"));
    EXPECT_TRUE(FileSystem::matches("name.*", "NAME"));
    EXPECT_TRUE(FileSystem::matches("name.*", "name.txt"));
    EXPECT_FALSE(FileSystem::matches("name.*", "names"));
    EXPECT_TRUE(FileSystem::matches("*DRV*.d?l", "hvUSBdrv1.DLL"));
    EXPECT_FALSE(FileSystem::matches("?.dll", "ab.dll"));
    EXPECT_FALSE(FileSystem::matches("a*b", "a"));
}
