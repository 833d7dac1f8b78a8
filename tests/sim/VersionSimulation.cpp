// Version resources on the simulation: where Windows versions differ, where
// a bare name is looked for, and what a short buffer gets.
#include <gtest/gtest.h>

#include "support/BuiltData.h"

#include <cstring>

#include "os/sim/SimOs.h"

using os::sim::Machine;
using os::sim::SimOs;

namespace {

const char kLibrary[] = "D:\\pe\\ver1002.dll";
const char kFileVersion[] = "\\StringFileInfo\\040904b0\\FileVersion";

class VersionSimulation : public ::testing::Test {
protected:
    void SetUp() override { mount(sim); }

    static void mount(SimOs& machine) {
        machine.files().mount("D:\\", TESTDATA_DIR);
    }
    bool haveLibraries() { return sim.files().isFile(kLibrary); }

    SimOs sim;
};

}  // namespace

TEST_F(VersionSimulation, BareNamesAreLookedForWhereLoadLibraryLooks) {
    REQUIRE_BUILT_DATA(haveLibraries(), "the PE test libraries");
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(sim.files().readFile(kLibrary, &bytes));
    sim.files().writeFile(sim.machine().systemDirectory + "\\found.dll", bytes);
    EXPECT_GT(sim.GetFileVersionInfoSizeA("found.dll", nullptr), 0u);
    EXPECT_GT(sim.GetFileVersionInfoSizeA("FOUND.DLL", nullptr), 0u);
    EXPECT_EQ(sim.GetFileVersionInfoSizeA("elsewhere.dll", nullptr), 0u);
    EXPECT_EQ(sim.calls("GetFileVersionInfoSizeA")[0],
              sim.machine().systemDirectory + "\\found.dll");
}

TEST_F(VersionSimulation, AMissingFileIsReportedAsTheWindowsVersionReportsIt) {
    sim.SetLastError(0xdeadbeef);
    EXPECT_EQ(sim.GetFileVersionInfoSizeA("C:\\missing.dll", nullptr), 0u);
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));

    SimOs seven(Machine::windows7());
    seven.SetLastError(0xdeadbeef);
    EXPECT_EQ(seven.GetFileVersionInfoSizeA("C:\\missing.dll", nullptr), 0u);
    EXPECT_EQ(seven.GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

// Windows would write the ANSI copy past a buffer smaller than it asked for;
// the simulation refuses instead, and never reads past what it copied.
TEST_F(VersionSimulation, AShortBufferIsNeverReadOrWrittenPastItsEnd) {
    REQUIRE_BUILT_DATA(haveLibraries(), "the PE test libraries");
    DWORD full = sim.GetFileVersionInfoSizeA(kLibrary, nullptr);
    ASSERT_GT(full, 100u);
    DWORD resource = (full - 4) / 2;

    std::vector<char> noRoom(resource + 4);
    ASSERT_TRUE(sim.GetFileVersionInfoA(kLibrary, 0, static_cast<DWORD>(noRoom.size()),
                                        noRoom.data()));
    void* value = nullptr;
    UINT length = 0;
    EXPECT_TRUE(sim.VerQueryValueA(noRoom.data(), "\\", &value, &length));
    EXPECT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.VerQueryValueA(noRoom.data(), kFileVersion, &value, &length));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    std::vector<char> tiny(5);
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.GetFileVersionInfoA(kLibrary, 0, 5, tiny.data()));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    for (DWORD size : {DWORD{6}, DWORD{9}, DWORD{64}, resource / 2, resource - 1}) {
        SCOPED_TRACE(size);
        std::vector<char> cut(size);
        ASSERT_TRUE(sim.GetFileVersionInfoA(kLibrary, 0, size, cut.data()));
        sim.VerQueryValueA(cut.data(), "\\VarFileInfo\\Translation", &value, &length);
        EXPECT_FALSE(sim.VerQueryValueA(cut.data(), kFileVersion, &value, &length));
    }
}
