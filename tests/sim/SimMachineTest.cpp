// The simulated machines: each Windows version as it reports itself, where
// its directories are, and what a user without administrator rights may do.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "os/sim/SimOs.h"

using os::sim::Machine;
using os::sim::SimOs;

namespace {

struct Preset {
    const char* name;
    Machine (*make)();
    DWORD platform, major, minor, build;
    const char* systemDirectory;
    const char* productName;  // "" for none
    BYTE productType;
};

const Preset kPresets[] = {
    {"Windows95", Machine::windows95, 1, 4, 0, 950, "C:\\WINDOWS\\SYSTEM", "", 1},
    {"Windows98", Machine::windows98, 1, 4, 10, 2222, "C:\\WINDOWS\\SYSTEM", "", 1},
    {"WindowsMe", Machine::windowsMe, 1, 4, 90, 3000, "C:\\WINDOWS\\SYSTEM", "", 1},
    {"WindowsNt4", Machine::windowsNt4, 2, 4, 0, 1381, "C:\\WINNT\\system32", "", 1},
    {"Windows2000", Machine::windows2000, 2, 5, 0, 2195, "C:\\WINNT\\system32",
     "Microsoft Windows 2000", 1},
    {"WindowsXp", Machine::windowsXp, 2, 5, 1, 2600, "C:\\WINDOWS\\system32",
     "Microsoft Windows XP", 1},
    {"Windows2003", Machine::windows2003, 2, 5, 2, 3790, "C:\\WINDOWS\\system32",
     "Microsoft Windows Server 2003", 3},
    {"WindowsVista", Machine::windowsVista, 2, 6, 0, 6002, "C:\\Windows\\system32",
     "Windows Vista (TM) Business", 1},
    {"Windows2008", Machine::windows2008, 2, 6, 0, 6002, "C:\\Windows\\system32",
     "Windows Server (R) 2008 Standard", 3},
    {"Windows7", Machine::windows7, 2, 6, 1, 7601, "C:\\Windows\\system32",
     "Windows 7 Professional", 1},
    {"Windows8", Machine::windows8, 2, 6, 2, 9200, "C:\\Windows\\system32", "Windows 8 Pro", 1},
};

class SimPresets : public ::testing::TestWithParam<Preset> {};

std::string productName(SimOs& os) {
    HKEY key = nullptr;
    if (os.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                         KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return "";
    char name[256] = {};
    DWORD size = sizeof name;
    LONG error = os.RegQueryValueExA(key, "ProductName", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(name), &size);
    os.RegCloseKey(key);
    return error == ERROR_SUCCESS ? name : "";
}

}  // namespace

TEST_P(SimPresets, ReportTheirVersionDirectoriesAndProductName) {
    const Preset& p = GetParam();
    SimOs os(p.make());
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(os.GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, p.platform);
    EXPECT_EQ(info.dwMajorVersion, p.major);
    EXPECT_EQ(info.dwMinorVersion, p.minor);
    // The 9x family keeps its version in the high word of the build number.
    DWORD build = p.platform == VER_PLATFORM_WIN32_WINDOWS
                      ? (p.major << 24 | p.minor << 16 | p.build)
                      : p.build;
    EXPECT_EQ(info.dwBuildNumber, build);

    char directory[MAX_PATH] = {};
    os.GetSystemDirectoryA(directory, MAX_PATH);
    EXPECT_STREQ(directory, p.systemDirectory);
    EXPECT_NE(os.GetFileAttributesA(directory), INVALID_FILE_ATTRIBUTES);
    os.GetTempPathA(MAX_PATH, directory);
    EXPECT_NE(os.GetFileAttributesA(directory), INVALID_FILE_ATTRIBUTES) << directory;
    EXPECT_EQ(productName(os), p.productName);

    if (p.platform == VER_PLATFORM_WIN32_NT) {
        BYTE extended[156] = {};
        reinterpret_cast<OSVERSIONINFOA*>(extended)->dwOSVersionInfoSize = sizeof extended;
        ASSERT_TRUE(os.GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(extended)));
        EXPECT_EQ(extended[154], p.productType);
        WORD pack = static_cast<WORD>(extended[148] | extended[149] << 8);
        EXPECT_EQ(pack, std::string(info.szCSDVersion).empty() ? 0 : info.szCSDVersion[13] - '0');
    }
}

INSTANTIATE_TEST_SUITE_P(Machines, SimPresets, ::testing::ValuesIn(kPresets),
                         [](const ::testing::TestParamInfo<Preset>& info) {
                             return std::string(info.param.name);
                         });

TEST(SimMachine, ModuleFileNameFollowsTheVersionsRuleForShortBuffers) {
    SimOs xp;
    char buffer[8];
    xp.SetLastError(77);
    EXPECT_EQ(xp.GetModuleFileNameA(nullptr, buffer, 0), 0u);
    EXPECT_EQ(xp.GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    SimOs seven(Machine::windows7());
    EXPECT_EQ(seven.GetModuleFileNameA(nullptr, buffer, 0), 0u);
    EXPECT_EQ(seven.GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(seven.GetModuleFileNameA(nullptr, buffer, sizeof buffer), sizeof buffer);
    EXPECT_STREQ(buffer, "C:\\MEDI");
}

TEST(SimMachine, AUserWithoutAdministratorRightsCannotChangeTheMachinesKeys) {
    Machine user = Machine::windowsXp();
    user.administrator = false;
    SimOs os(user);
    HKEY key = nullptr;
    EXPECT_EQ(os.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft", 0, KEY_ALL_ACCESS, &key),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(os.RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", 0, nullptr, 0,
                                 KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_ACCESS_DENIED);
    // Reading is allowed, and an existing key can be "created" for reading.
    ASSERT_EQ(os.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &key), ERROR_SUCCESS);
    HKEY below = nullptr;
    EXPECT_EQ(os.RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft", 0, nullptr, 0,
                                 KEY_READ, nullptr, &below, nullptr),
              ERROR_SUCCESS);
    os.RegCloseKey(below);
    // A handle below the machine's root gives no more rights than the root.
    EXPECT_EQ(os.RegOpenKeyExA(key, "Microsoft", 0, KEY_SET_VALUE, &below), ERROR_ACCESS_DENIED);
    EXPECT_EQ(os.RegCreateKeyExA(key, "New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &below,
                                 nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(os.RegDeleteKeyA(key, "Microsoft\\Windows\\CurrentVersion"), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(os.registry().exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\New"));
    EXPECT_TRUE(os.registry().exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"));
    os.RegCloseKey(key);
    // The user's own keys are the user's.
    EXPECT_EQ(os.RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Mine", 0, nullptr, 0,
                                 KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    os.RegCloseKey(key);
}

TEST(SimMachine, TheTokenOfAUserWithoutRightsLacksTheAdministratorsGroup) {
    Machine user = Machine::windows7();
    user.administrator = false;
    user.impersonating = true;
    SimOs os(user);
    HANDLE token = nullptr;
    // An impersonating thread has a token of its own.
    ASSERT_TRUE(os.OpenThreadToken(os.GetCurrentThread(), TOKEN_QUERY, FALSE, &token));
    DWORD needed = 0;
    EXPECT_FALSE(os.GetTokenInformation(token, TokenGroups, nullptr, 0, &needed));
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(os.GetTokenInformation(token, TokenGroups, buffer.data(), needed, &needed));
    auto* groups = reinterpret_cast<TOKEN_GROUPS*>(buffer.data());
    SID_IDENTIFIER_AUTHORITY nt = {SECURITY_NT_AUTHORITY};
    PSID admins = nullptr;
    ASSERT_TRUE(os.AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                            DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &admins));
    ASSERT_GT(groups->GroupCount, 0u);
    for (DWORD i = 0; i < groups->GroupCount; ++i)
        EXPECT_FALSE(os.EqualSid(groups->Groups[i].Sid, admins)) << i;
    os.FreeSid(admins);
    os.CloseHandle(token);
}
