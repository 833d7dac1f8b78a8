// Files and directories as Windows handles them, on every backend.
#include "support/Backend.h"

using testing_support::BackendTest;

class FilesBehaviour : public BackendTest {};

TEST_P(FilesBehaviour, CopyOntoAFileHeldOpenWithoutShareWriteIsASharingViolation) {
    std::string source = scratch() + "\\source.dll";
    std::string target = scratch() + "\\target.dll";
    writeFile(source, "new");
    writeFile(target, "old");
    HANDLE held = sys().CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().CopyFileA(source.c_str(), target.c_str(), FALSE));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    sys().CloseHandle(held);
    EXPECT_TRUE(sys().CopyFileA(source.c_str(), target.c_str(), FALSE));
    EXPECT_EQ(readFile(target), "new");
}

INSTANTIATE_BACKENDS(FilesBehaviour);
