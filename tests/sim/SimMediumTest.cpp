// The simulated disks beyond what Windows itself shows: a host folder
// mounted read-only as the installation medium, and files held open by
// others (a DLL the spooler loaded, another program).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "os/sim/SimOs.h"

using os::sim::SimOs;
namespace fs = std::filesystem;

namespace {

class SimMedium : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        host_ = fs::temp_directory_path() / (std::string("sim-medium-") + info->name());
        fs::remove_all(host_);
        fs::create_directories(host_ / "DRVCONFIG");
        fs::create_directories(host_ / "W32");
        std::ofstream(host_ / "DRVCONFIG" / "setup.ini", std::ios::binary) << "[DEVICENAME]\r\n";
        std::ofstream(host_ / "W32" / "Driver.dll", std::ios::binary) << "MZdriver";
        std::ofstream(host_ / "License.txt", std::ios::binary) << "licence";
        ASSERT_TRUE(os_.files().mount("E:\\", host_.string()));
    }
    void TearDown() override { fs::remove_all(host_); }

    SimOs os_;
    fs::path host_;
};

}  // namespace

TEST_F(SimMedium, FilesOfTheMediumAreThereReadOnlyWithTheirContent) {
    EXPECT_EQ(os_.GetFileAttributesA("E:\\w32\\DRIVER.DLL"),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(os_.GetFileAttributesA("E:\\DRVCONFIG"),
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
    std::string content;
    ASSERT_TRUE(os_.files().readFile("E:\\License.txt", &content));
    EXPECT_EQ(content, "licence");

    HANDLE h = os_.CreateFileA("E:\\DRVCONFIG\\setup.ini", GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    char buffer[32] = {};
    DWORD read = 0;
    EXPECT_TRUE(os_.ReadFile(h, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), "[DEVICENAME]\r\n");
    EXPECT_TRUE(os_.CloseHandle(h));

    WIN32_FIND_DATAA data;
    HANDLE search = os_.FindFirstFileA("E:\\W32\\*.dll", &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "Driver.dll");
    EXPECT_EQ(data.nFileSizeLow, 8u);
    EXPECT_TRUE(os_.FindClose(search));
}

TEST_F(SimMedium, NothingOnTheMediumCanBeWritten) {
    auto refused = [&](BOOL result, const char* what) {
        EXPECT_FALSE(result) << what;
        EXPECT_EQ(os_.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << what;
    };
    refused(os_.CreateFileA("E:\\License.txt", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                            nullptr) != INVALID_HANDLE_VALUE,
            "open for writing");
    refused(os_.CreateFileA("E:\\new.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr) !=
                INVALID_HANDLE_VALUE,
            "create");
    refused(os_.DeleteFileA("E:\\License.txt"), "delete");
    // Clearing the read-only attribute does not help on a medium.
    refused(os_.SetFileAttributesA("E:\\License.txt", FILE_ATTRIBUTE_NORMAL), "attributes");
    refused(os_.CreateDirectoryA("E:\\W32\\new", nullptr), "directory");
    refused(os_.RemoveDirectoryA("E:\\DRVCONFIG"), "remove directory");
    os_.files().writeFile("C:\\local.txt", std::string("local"));
    refused(os_.CopyFileA("C:\\local.txt", "E:\\License.txt", FALSE), "copy onto");
    refused(os_.CopyFileA("C:\\local.txt", "E:\\W32\\copy.txt", FALSE), "copy into");
    std::string content;
    ASSERT_TRUE(os_.files().readFile("E:\\License.txt", &content));
    EXPECT_EQ(content, "licence");
    EXPECT_FALSE(os_.files().isFile("E:\\W32\\copy.txt"));
}

TEST_F(SimMedium, ACopyFromTheMediumIsReadOnlyButWritableAfterClearingIt) {
    ASSERT_TRUE(os_.CopyFileA("E:\\W32\\Driver.dll", "C:\\Driver.dll", FALSE));
    EXPECT_EQ(os_.GetFileAttributesA("C:\\Driver.dll"),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_FALSE(os_.CopyFileA("E:\\W32\\Driver.dll", "C:\\Driver.dll", FALSE));
    EXPECT_EQ(os_.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ASSERT_TRUE(os_.SetFileAttributesA("C:\\Driver.dll", FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(os_.CopyFileA("E:\\W32\\Driver.dll", "C:\\Driver.dll", FALSE));
}

TEST(SimMount, AMissingHostFolderIsNotMounted) {
    SimOs os;
    EXPECT_FALSE(os.files().mount("F:\\", "/no/such/host/folder"));
    EXPECT_EQ(os.GetFileAttributesA("F:\\"), INVALID_FILE_ATTRIBUTES);
}

TEST(SimHold, AFileHeldByAnotherProgramRefusesWritersWithASharingViolation) {
    SimOs os;
    os.files().writeFile("C:\\spool\\monitor.dll", std::string("MZold"));
    os.files().writeFile("C:\\new.dll", std::string("MZnew"));
    auto held = os.files().hold("C:\\spool\\monitor.dll");
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(os.files().openings("C:\\SPOOL\\MONITOR.DLL"), 1u);

    EXPECT_FALSE(os.CopyFileA("C:\\new.dll", "C:\\spool\\monitor.dll", FALSE));
    EXPECT_EQ(os.GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(os.DeleteFileA("C:\\spool\\monitor.dll"));
    EXPECT_EQ(os.GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    // Reading alongside is allowed by its share mode.
    HANDLE reader = os.CreateFileA("C:\\spool\\monitor.dll", GENERIC_READ, FILE_SHARE_READ,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    os.CloseHandle(reader);

    os.files().release(held);
    EXPECT_EQ(os.files().openings("C:\\spool\\monitor.dll"), 0u);
    EXPECT_TRUE(os.CopyFileA("C:\\new.dll", "C:\\spool\\monitor.dll", FALSE));
}

TEST(SimHold, ALockedFileRefusesWritersWithAccessDenied) {
    SimOs os;
    os.files().writeFile("C:\\locked.dll", std::string("MZ"));
    os.files().writeFile("C:\\new.dll", std::string("MZnew"));
    auto held = os.files().hold("C:\\locked.dll", FILE_SHARE_READ | FILE_SHARE_WRITE, true);
    ASSERT_NE(held, nullptr);
    EXPECT_FALSE(os.CopyFileA("C:\\new.dll", "C:\\locked.dll", FALSE));
    EXPECT_EQ(os.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(os.CreateFileA("C:\\locked.dll", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(os.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    os.files().release(held);
    EXPECT_TRUE(os.CopyFileA("C:\\new.dll", "C:\\locked.dll", FALSE));
    // Nothing can be held that is not there.
    EXPECT_EQ(os.files().hold("C:\\missing.dll"), nullptr);
}
