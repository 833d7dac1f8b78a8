// Version, module path, system directories and memory as Windows reports
// them, on every backend.
#include <cstddef>
#include <cstring>
#include <string>

#include "os/RunningSystem.h"
#include "support/Backend.h"

using testing_support::BackendTest;

using testing_support::kUntouched;
using testing_support::onWine;

class ProcessBehaviour : public BackendTest {
protected:
    OSVERSIONINFOA version() {
        OSVERSIONINFOA info;
        std::memset(&info, 0, sizeof info);
        info.dwOSVersionInfoSize = sizeof info;
        EXPECT_TRUE(sys().GetVersionExA(&info));
        return info;
    }

    // Runs one of the directory calls, which answer alike: the length
    // without the terminator when the path fits, else the size needed with it.
    template <typename Call>
    void expectSizeRules(Call call, const char* what) {
        char full[MAX_PATH] = {};
        sys().SetLastError(kUntouched);
        DWORD length = call(MAX_PATH, full);
        ASSERT_GT(length, 3u) << what;
        EXPECT_EQ(length, std::strlen(full)) << what;
        EXPECT_EQ(sys().GetLastError(), kUntouched) << what;

        char small[4] = {'x', 'x', 'x', 'x'};
        EXPECT_EQ(call(sizeof small, small), length + 1) << what;
        // Exactly the length leaves no room for the terminator.
        std::string exact(length, 'x');
        EXPECT_EQ(call(length, &exact[0]), length + 1) << what;
        std::string enough(length + 1, 'x');
        EXPECT_EQ(call(length + 1, &enough[0]), length) << what;
        EXPECT_STREQ(enough.c_str(), full) << what;
        EXPECT_EQ(call(0, nullptr), length + 1) << what;
    }
};

TEST_P(ProcessBehaviour, GetVersionExTakesOnlyTheTwoKnownRecordSizes) {
    OSVERSIONINFOA info = version();
    EXPECT_EQ(info.dwOSVersionInfoSize, 148u);
    EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    EXPECT_GE(info.dwMajorVersion, 5u);
    EXPECT_LT(std::strlen(info.szCSDVersion), sizeof info.szCSDVersion);
    if (isSim()) {
        EXPECT_EQ(info.dwMajorVersion, 5u);
        EXPECT_EQ(info.dwMinorVersion, 1u);
        EXPECT_EQ(info.dwBuildNumber, 2600u);
        EXPECT_STREQ(info.szCSDVersion, "Service Pack 3");
    }

    // The extended record (156 bytes) is accepted and says the same.
    BYTE extended[156];
    std::memset(extended, 0, sizeof extended);
    auto* ex = reinterpret_cast<OSVERSIONINFOA*>(extended);
    ex->dwOSVersionInfoSize = sizeof extended;
    ASSERT_TRUE(sys().GetVersionExA(ex));
    EXPECT_EQ(ex->dwMajorVersion, info.dwMajorVersion);
    EXPECT_EQ(ex->dwMinorVersion, info.dwMinorVersion);
    // wProductType: a workstation or a server, never left zero.
    EXPECT_NE(extended[154], 0);

    for (DWORD wrong : {0u, 147u, 149u, 152u, 276u}) {
        OSVERSIONINFOA bad;
        std::memset(&bad, 0, sizeof bad);
        bad.dwOSVersionInfoSize = wrong;
        sys().SetLastError(kUntouched);
        EXPECT_FALSE(sys().GetVersionExA(&bad)) << wrong;
        EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER)) << wrong;
        EXPECT_EQ(bad.dwMajorVersion, 0u) << wrong;
    }
}

// The version Windows runs as is the one GetVersionEx tells a program that
// names the system in its manifest (or runs on Windows 8 or older); the
// longer record adds the product type. The processor is the prefix's x86.
TEST_P(ProcessBehaviour, RtlGetVersionAgreesWithGetVersionExAndTheMachineIsX86) {
    OSVERSIONINFOA told = version();
    RTL_OSVERSIONINFOEXW truth;
    std::memset(&truth, 0xCC, sizeof truth);
    truth.dwOSVersionInfoSize = sizeof truth;
    ASSERT_EQ(sys().RtlGetVersion(&truth), os::kStatusSuccess);
    EXPECT_EQ(truth.dwMajorVersion, told.dwMajorVersion);
    EXPECT_EQ(truth.dwMinorVersion, told.dwMinorVersion);
    EXPECT_EQ(truth.dwBuildNumber, told.dwBuildNumber);
    EXPECT_EQ(truth.dwPlatformId, told.dwPlatformId);
    EXPECT_EQ(truth.wProductType, VER_NT_WORKSTATION);

    // The short form leaves what lies beyond it alone.
    RTL_OSVERSIONINFOEXW shortForm;
    std::memset(&shortForm, 0xCC, sizeof shortForm);
    shortForm.dwOSVersionInfoSize = offsetof(RTL_OSVERSIONINFOEXW, wServicePackMajor);
    ASSERT_EQ(sys().RtlGetVersion(&shortForm), os::kStatusSuccess);
    EXPECT_EQ(shortForm.dwMajorVersion, told.dwMajorVersion);
    EXPECT_EQ(shortForm.wProductType, 0xCC);

    os::ScopedSystem backend(sys());
    EXPECT_EQ(os::machineArchitecture(), os::Architecture::X86);
}

TEST_P(ProcessBehaviour, DirectoryCallsReportTheSizeTheyNeed) {
    expectSizeRules([&](DWORD size, char* b) { return sys().GetCurrentDirectoryA(size, b); },
                    "GetCurrentDirectoryA");
    expectSizeRules([&](DWORD size, char* b) { return sys().GetSystemDirectoryA(b, size); },
                    "GetSystemDirectoryA");
    expectSizeRules([&](DWORD size, char* b) { return sys().GetWindowsDirectoryA(b, size); },
                    "GetWindowsDirectoryA");
    expectSizeRules([&](DWORD size, char* b) { return sys().GetTempPathA(size, b); },
                    "GetTempPathA");

    char temp[MAX_PATH] = {};
    sys().GetTempPathA(MAX_PATH, temp);
    EXPECT_EQ(temp[std::strlen(temp) - 1], '\\');
    char system[MAX_PATH] = {}, windows[MAX_PATH] = {};
    sys().GetSystemDirectoryA(system, MAX_PATH);
    sys().GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_EQ(std::string(system).rfind(windows, 0), 0u) << system << " below " << windows;
    EXPECT_NE(sys().GetFileAttributesA(system) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_P(ProcessBehaviour, ModuleFileNameInAShortBuffer) {
    char full[MAX_PATH] = {};
    DWORD length = sys().GetModuleFileNameA(nullptr, full, MAX_PATH);
    ASSERT_GT(length, 4u);
    EXPECT_EQ(length, std::strlen(full));
    EXPECT_NE(std::string(full).find('\\'), std::string::npos);

    // Windows XP fills a short buffer without a terminator and keeps the last
    // error; Vista and later terminate it and report ERROR_INSUFFICIENT_BUFFER.
    // Wine, whatever version it reports, reports the shortage but leaves the
    // buffer unterminated as XP does.
    bool vista = version().dwMajorVersion >= 6;
    bool terminates = vista && (isSim() || !onWine());
    std::string buffer(length + 4, '#');
    sys().SetLastError(kUntouched);
    EXPECT_EQ(sys().GetModuleFileNameA(nullptr, &buffer[0], 6), 6u);
    EXPECT_EQ(sys().GetLastError(),
              vista ? static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER) : kUntouched);
    if (terminates)
        EXPECT_EQ(buffer.substr(0, 7), std::string(full, 5) + '\0' + '#');
    else
        EXPECT_EQ(buffer.substr(0, 7), std::string(full, 6) + '#');

    // One short of the terminator counts as too short as well.
    buffer.assign(length + 4, '#');
    EXPECT_EQ(sys().GetModuleFileNameA(nullptr, &buffer[0], length), length);
    if (terminates)
        EXPECT_EQ(buffer.substr(0, length), std::string(full, length - 1) + '\0');
    else
        EXPECT_EQ(buffer.substr(0, length), std::string(full));
}

TEST_P(ProcessBehaviour, ZeroInitialisedMemoryBlocks) {
    for (int global = 0; global < 2; ++global) {
        void* block = global ? sys().GlobalAlloc(GPTR, 256) : sys().LocalAlloc(LPTR, 256);
        ASSERT_NE(block, nullptr);
        const BYTE* bytes = static_cast<const BYTE*>(block);
        int nonZero = 0;
        for (int i = 0; i < 256; ++i) nonZero += bytes[i] != 0;
        EXPECT_EQ(nonZero, 0);
        std::memset(block, 0xAB, 256);
        EXPECT_EQ(global ? sys().GlobalFree(block) : sys().LocalFree(block), nullptr);
    }
}

INSTANTIATE_BACKENDS(ProcessBehaviour);
