// Named mutexes, handles, tokens and security identifiers as Windows has
// them, on every backend.
#include <cstring>
#include <vector>

#include "install/SecurityDescriptor.h"
#include "support/Backend.h"

using testing_support::BackendTest;

namespace {

const DWORD kUntouched = 0xdeadbeef;

// A name no other test or program uses.
std::string uniqueName(const char* what) {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("PrinterSetupTest-") + what + "-" + info->name();
}

}  // namespace

class KernelBehaviour : public BackendTest {
protected:
    HANDLE createMutex(const std::string& name, DWORD* error) {
        sys().SetLastError(kUntouched);
        HANDLE h = sys().CreateMutexA(nullptr, TRUE, name.empty() ? nullptr : name.c_str());
        *error = sys().GetLastError();
        return h;
    }

    PSID administrators() {
        SID_IDENTIFIER_AUTHORITY nt = {SECURITY_NT_AUTHORITY};
        PSID sid = nullptr;
        EXPECT_TRUE(sys().AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                                   DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                                   &sid));
        return sid;
    }
};

TEST_P(KernelBehaviour, ASecondMutexOfTheSameNameReportsAlreadyExists) {
    const std::string name = uniqueName("mutex");
    DWORD error = 0;
    HANDLE first = createMutex(name, &error);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SUCCESS));

    HANDLE second = createMutex(name, &error);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_ALREADY_EXISTS));

    // Named kernel objects compare with case: another spelling is another mutex.
    std::string other = name;
    for (char& c : other) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    HANDLE third = createMutex(other, &error);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SUCCESS));

    // Once every handle is closed the name is free again.
    EXPECT_TRUE(sys().CloseHandle(first));
    EXPECT_TRUE(sys().CloseHandle(second));
    EXPECT_TRUE(sys().CloseHandle(third));
    HANDLE again = createMutex(name, &error);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_TRUE(sys().CloseHandle(again));

    // Unnamed mutexes never meet.
    HANDLE a = createMutex("", &error);
    HANDLE b = createMutex("", &error);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_TRUE(sys().CloseHandle(a));
    EXPECT_TRUE(sys().CloseHandle(b));
}

TEST_P(KernelBehaviour, ClosingAHandleTwiceIsAnInvalidHandle) {
    DWORD error = 0;
    HANDLE h = createMutex(uniqueName("close"), &error);
    ASSERT_NE(h, nullptr);
    sys().SetLastError(kUntouched);
    EXPECT_TRUE(sys().CloseHandle(h));
    EXPECT_EQ(sys().GetLastError(), kUntouched);
    EXPECT_FALSE(sys().CloseHandle(h));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    sys().SetLastError(kUntouched);
    EXPECT_FALSE(sys().CloseHandle(nullptr));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_P(KernelBehaviour, AThreadWithoutImpersonationHasNoTokenOfItsOwn) {
    HANDLE token = nullptr;
    sys().SetLastError(kUntouched);
    EXPECT_FALSE(sys().OpenThreadToken(sys().GetCurrentThread(), TOKEN_QUERY, FALSE, &token));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_NO_TOKEN));
    sys().SetLastError(kUntouched);
    EXPECT_FALSE(sys().OpenThreadToken(sys().GetCurrentThread(), TOKEN_QUERY, TRUE, &token));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_NO_TOKEN));
}

TEST_P(KernelBehaviour, TheProcessTokenListsTheAdministratorsGroup) {
    HANDLE token = nullptr;
    ASSERT_TRUE(sys().OpenProcessToken(sys().GetCurrentProcess(), TOKEN_QUERY, &token));

    // The size query fails with ERROR_INSUFFICIENT_BUFFER and tells the size,
    // with no buffer and with one too small alike.
    DWORD needed = 0;
    sys().SetLastError(kUntouched);
    EXPECT_FALSE(sys().GetTokenInformation(token, TokenGroups, nullptr, 0, &needed));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    ASSERT_GT(needed, sizeof(TOKEN_GROUPS));
    std::vector<BYTE> small(sizeof(TOKEN_GROUPS));
    DWORD again = 0;
    EXPECT_FALSE(sys().GetTokenInformation(token, TokenGroups, small.data(),
                                           static_cast<DWORD>(small.size()), &again));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(again, needed);

    std::vector<BYTE> buffer(needed);
    DWORD returned = 0;
    ASSERT_TRUE(sys().GetTokenInformation(token, TokenGroups, buffer.data(), needed, &returned));
    EXPECT_EQ(returned, needed);
    auto* groups = reinterpret_cast<TOKEN_GROUPS*>(buffer.data());
    ASSERT_GT(groups->GroupCount, 0u);

    // Wine runs every program as an administrator, as does the simulation by default.
    PSID admins = administrators();
    ASSERT_NE(admins, nullptr);
    int matches = 0;
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
        sys().SetLastError(kUntouched);
        if (sys().EqualSid(groups->Groups[i].Sid, admins)) ++matches;
        EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    }
    EXPECT_EQ(matches, 1);
    EXPECT_EQ(sys().FreeSid(admins), nullptr);
    EXPECT_TRUE(sys().CloseHandle(token));
}

TEST_P(KernelBehaviour, SidsCompareByTheirAuthorityAndEverySubAuthority) {
    SID_IDENTIFIER_AUTHORITY nt = {SECURITY_NT_AUTHORITY};
    PSID admins = administrators();
    PSID users = nullptr, admins2 = nullptr, shortOne = nullptr;
    ASSERT_TRUE(sys().AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                               DOMAIN_ALIAS_RID_USERS, 0, 0, 0, 0, 0, 0, &users));
    ASSERT_TRUE(sys().AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                               DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                               &admins2));
    // Sub-authorities past the count are not part of the SID.
    ASSERT_TRUE(sys().AllocateAndInitializeSid(&nt, 1, SECURITY_BUILTIN_DOMAIN_RID,
                                               DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                               &shortOne));
    EXPECT_TRUE(sys().EqualSid(admins, admins2));
    EXPECT_FALSE(sys().EqualSid(admins, users));
    EXPECT_FALSE(sys().EqualSid(admins, shortOne));
    const BYTE* bytes = static_cast<const BYTE*>(admins);
    EXPECT_EQ(bytes[0], 1);  // revision
    EXPECT_EQ(bytes[1], 2);  // sub-authority count
    EXPECT_EQ(bytes[7], 5);  // NT authority

    PSID tooMany = nullptr;
    sys().SetLastError(kUntouched);
    EXPECT_FALSE(sys().AllocateAndInitializeSid(&nt, 9, 0, 0, 0, 0, 0, 0, 0, 0, &tooMany));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INVALID_SID));

    for (PSID sid : {admins, users, admins2, shortOne}) EXPECT_EQ(sys().FreeSid(sid), nullptr);
}

// A mutex keeps the owner and the access list it was made with, and hands
// them out as a self-relative descriptor; too small a buffer gets the size.
TEST_P(KernelBehaviour, AMutexKeepsTheOwnerAndAccessListItWasMadeWith) {
    unsigned char made[128];
    const size_t size = sdAdministratorsAndSystem(made, sizeof made, MUTEX_ALL_ACCESS, 0, 1);
    ASSERT_GT(size, 0u);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, made, FALSE};
    HANDLE mutex = sys().CreateMutexA(&attributes, FALSE, uniqueName("guarded").c_str());
    ASSERT_NE(mutex, nullptr) << sys().GetLastError();
    const SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    sys().SetLastError(kUntouched);
    EXPECT_FALSE(sys().GetKernelObjectSecurity(mutex, wanted, nullptr, 0, &needed));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    ASSERT_GT(needed, 20u);
    std::vector<unsigned char> read(needed);
    ASSERT_TRUE(sys().GetKernelObjectSecurity(mutex, wanted, read.data(), needed, &needed));
    const unsigned char* owner = sdOwner(read.data(), read.size());
    ASSERT_NE(owner, nullptr);
    char text[64];
    sdSidText(owner, read.size() - static_cast<size_t>(owner - read.data()), text, sizeof text);
    EXPECT_STREQ(text, "S-1-5-32-544");
    EXPECT_EQ(sdOpenToOthers(read.data(), read.size(), SD_ANY_RIGHT, nullptr), 0);
    EXPECT_TRUE(sys().CloseHandle(mutex));
}

INSTANTIATE_BACKENDS(KernelBehaviour);
