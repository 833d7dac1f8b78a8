// Profile behaviour that Windows has and Wine does not show, so it is pinned
// on the simulation alone.
#include <gtest/gtest.h>

#include "os/sim/SimOs.h"

using os::sim::SimOs;

namespace {

std::string content(SimOs& sim, const std::string& path) {
    std::string text;
    return sim.files().readFile(path, &text) ? text : "<missing>";
}

}  // namespace

// Windows leaves an empty file behind when a write only deletes; Wine
// creates nothing.
TEST(ProfileSimulation, DeletingFromAMissingFileLeavesItEmpty) {
    SimOs sim;
    EXPECT_TRUE(sim.WritePrivateProfileStringA("S", nullptr, nullptr, "C:\\one.ini"));
    EXPECT_EQ(content(sim, "C:\\one.ini"), "");
    EXPECT_TRUE(sim.WritePrivateProfileStringA("S", "key", nullptr, "C:\\two.ini"));
    EXPECT_EQ(content(sim, "C:\\two.ini"), "");
}

// Wine running as root writes read-only files regardless; Windows refuses.
TEST(ProfileSimulation, ReadOnlyFilesAndMediaAreNotWritten) {
    SimOs sim;
    sim.files().writeFile("C:\\fixed.ini", std::string("[S]\r\nkey=old\r\n"));
    ASSERT_TRUE(sim.SetFileAttributesA("C:\\fixed.ini", FILE_ATTRIBUTE_READONLY));
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.WritePrivateProfileStringA("S", "key", "new", "C:\\fixed.ini"));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(content(sim, "C:\\fixed.ini"), "[S]\r\nkey=old\r\n");

    sim.files().writeFile("C:\\medium\\DRVCONFIG\\setup.ini", std::string("[S]\r\nkey=1\r\n"));
    sim.files().find("C:\\medium\\DRVCONFIG")->readOnlyMedium = true;
    sim.SetLastError(0xdeadbeef);
    EXPECT_FALSE(sim.WritePrivateProfileStringA("S", "new", "1", "C:\\medium\\DRVCONFIG\\x.ini"));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}
