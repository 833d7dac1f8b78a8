// The running-system detection, the OS page's choice for each Windows, the
// product-name test that tells Server 2008 from Vista, and the compatibility
// record the program leaves on Vista; with the registry and version calls
// failing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/SystemDetection.h"
#include "os/sim/SimOs.h"

namespace {

using os::sim::Machine;
using os::sim::SimOs;

const char* const kCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

Machine withVersion(DWORD platform, DWORD major, DWORD minor) {
    Machine m = Machine::windowsXp();
    m.platform = platform;
    m.major = major;
    m.minor = minor;
    return m;
}

struct SystemCase {
    const char* name;
    Machine machine;
    int targetOs;     // running-system detection
    bool marked;      // the OS page marks a radio button
    bool unknown;     // the OS page says the platform is unknown
};

std::vector<SystemCase> systems() {
    Machine r2 = Machine::windows2003();
    r2.productName = "Microsoft Windows Server 2003 R2";
    return {
        {"Windows 95", Machine::windows95(), 0, false, false},
        {"Windows 98", Machine::windows98(), 0, true, false},
        {"Windows Me", Machine::windowsMe(), 0, true, false},
        {"Windows NT 4.0", Machine::windowsNt4(), 1, true, false},
        {"Windows 2000", Machine::windows2000(), 2, true, false},
        {"Windows XP", Machine::windowsXp(), 3, true, false},
        {"Windows Server 2003", Machine::windows2003(), 4, true, false},
        {"Windows Server 2003 R2", r2, 4, true, false},
        {"Windows Vista", Machine::windowsVista(), 5, true, false},
        {"Windows Server 2008", Machine::windows2008(), 6, true, false},
        {"Windows 7", Machine::windows7(), 7, true, false},
        {"version 6.2", Machine::windows8(), 0, false, false},
        {"NT 4.1", withVersion(VER_PLATFORM_WIN32_NT, 4, 1), 0, false, false},
        {"NT 5.3", withVersion(VER_PLATFORM_WIN32_NT, 5, 3), 0, false, false},
        {"NT 10.0", withVersion(VER_PLATFORM_WIN32_NT, 10, 0), 0, false, false},
        {"Win32s", withVersion(VER_PLATFORM_WIN32s, 3, 10), 0, false, true},
        {"platform 3", withVersion(3, 5, 0), 0, false, true},
    };
}

OSVERSIONINFOA versionOf(SimOs& sim) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    EXPECT_TRUE(sim.GetVersionExA(&version));
    return version;
}

TEST(SystemDetectionTest, EveryWindowsGivesItsTargetOsAndTheOsPageMarksItOrNothing) {
    for (const SystemCase& c : systems()) {
        SCOPED_TRACE(c.name);
        SimOs sim(c.machine);
        os::ScopedSystem scope(sim);
        EXPECT_EQ(app::detectTargetOs(), c.targetOs);

        app::OsPageChoice choice = app::osPageChoice(versionOf(sim));
        EXPECT_EQ(choice.targetOs, c.targetOs);
        EXPECT_EQ(choice.marked, c.marked);
        EXPECT_EQ(choice.unknownPlatform, c.unknown);
        EXPECT_EQ(choice.vista, c.targetOs == app::kWindowsVista);
        EXPECT_EQ(sim.openHandles(), 0u);
    }
}

TEST(SystemDetectionTest, AVersionThatCannotBeReadIsTreatedAsUnknown) {
    SimOs sim(Machine::windows7());
    os::ScopedSystem scope(sim);
    sim.faults().fail("GetVersionExA", ERROR_INVALID_PARAMETER);
    EXPECT_EQ(app::detectTargetOs(), 0);
    // The OS page reads a zeroed version: a platform it does not know.
    OSVERSIONINFOA zeroed = {};
    EXPECT_TRUE(app::osPageChoice(zeroed).unknownPlatform);
}

class ProductNameTest : public ::testing::Test {
protected:
    ProductNameTest() : scope_(sim) {}
    void setName(const std::string& name) {
        sim.registry().setString(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProductName", name);
    }
    SimOs sim{Machine::windowsVista()};

private:
    os::ScopedSystem scope_;
};

TEST_F(ProductNameTest, OnlyTheDigits2008AnywhereInTheNameMakeAServer2008) {
    struct Case {
        std::string name;
        bool is2008;
    };
    for (const Case& c : std::vector<Case>{{"Windows Server (R) 2008 Standard", true},
                                          {"Windows Web Server 2008", true},
                                          {"2008", true},
                                          {"Windows Vista (TM) Ultimate", false},
                                          {"Windows Server 200 8", false},
                                          {"", false}}) {
        setName(c.name);
        EXPECT_EQ(app::productNameHas2008(), c.is2008) << c.name;
        EXPECT_EQ(app::detectTargetOs(), c.is2008 ? 6 : 5) << c.name;
    }
    EXPECT_EQ(sim.openHandles(), 0u);
}

TEST_F(ProductNameTest, ANameThatCannotBeReadIsNotServer2008) {
    setName("Windows Server (R) 2008 Standard");
    ASSERT_TRUE(app::productNameHas2008());

    sim.faults().fail("RegOpenKeyExA", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(app::productNameHas2008());
    sim.faults().clear();

    sim.faults().fail("RegQueryValueExA", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(app::productNameHas2008());
    sim.faults().clear();
    EXPECT_EQ(sim.openHandles(), 0u);  // the key is closed after a failed read too

    // Missing altogether.
    sim.registry().removeTree(HKEY_LOCAL_MACHINE, kCurrentVersion);
    EXPECT_FALSE(app::productNameHas2008());
}

TEST_F(ProductNameTest, ANameLongerThanTheBufferIsReadAsNoNameAndNothingIsOverrun) {
    // 300 characters with "2008" at the end: it does not fit the 255 the
    // test reads, so the read fails and the name counts as unreadable.
    setName(std::string(296, 'x') + "2008");
    EXPECT_FALSE(app::productNameHas2008());
    // A name of exactly 255 characters fits, terminator or not.
    std::vector<uint8_t> unterminated(251, 'y');
    for (char c : std::string("2008")) unterminated.push_back(static_cast<uint8_t>(c));
    sim.registry().setValue(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProductName", REG_SZ, unterminated);
    EXPECT_TRUE(app::productNameHas2008());
}

class CompatibilityRecordTest : public ::testing::Test {
protected:
    CompatibilityRecordTest() : scope_(sim) {}
    DWORD record(const std::string& program) {
        return sim.registry().getDword(HKEY_CURRENT_USER, app::kCompatibilityKey, program);
    }
    SimOs sim{Machine::windowsVista()};

private:
    os::ScopedSystem scope_;
};

TEST_F(CompatibilityRecordTest, TheProgramsPathIsRecordedWithOneAndTheKeyIsMadeWhenMissing) {
    ASSERT_FALSE(sim.registry().exists(HKEY_CURRENT_USER, app::kCompatibilityKey));
    app::recordVistaCompatibility();
    EXPECT_EQ(record("C:\\MEDIUM\\setup.exe"), 1u);
    {
        os::sim::Registry::Value value;
        ASSERT_TRUE(sim.registry().getValue(HKEY_CURRENT_USER, app::kCompatibilityKey,
                                            "C:\\MEDIUM\\setup.exe", &value));
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(value.data.size(), 4u);
    }
    // Another program's record stays; running again changes nothing.
    sim.registry().setDword(HKEY_CURRENT_USER, app::kCompatibilityKey, "D:\\other.exe", 3);
    app::recordVistaCompatibility();
    EXPECT_EQ(record("D:\\other.exe"), 3u);
    EXPECT_EQ(sim.registry().valueNames(HKEY_CURRENT_USER, app::kCompatibilityKey).size(), 2u);
    EXPECT_EQ(sim.openHandles(), 0u);
}

TEST_F(CompatibilityRecordTest, FailuresLeaveTheRecordMissingAndNothingElseWritten) {
    struct Case {
        const char* call;
        DWORD error;
    };
    for (const Case& c : std::vector<Case>{{"GetModuleFileNameA", ERROR_ACCESS_DENIED},
                                          {"RegCreateKeyExA", ERROR_ACCESS_DENIED},
                                          {"RegOpenKeyExA", ERROR_ACCESS_DENIED},
                                          {"RegSetValueExA", ERROR_ACCESS_DENIED}}) {
        SCOPED_TRACE(c.call);
        sim.registry().removeTree(HKEY_CURRENT_USER, app::kCompatibilityKey);
        sim.faults().clear();
        sim.faults().fail(c.call, c.error);
        app::recordVistaCompatibility();
        EXPECT_EQ(record("C:\\MEDIUM\\setup.exe"), 0xFFFFFFFFu);
        if (sim.registry().exists(HKEY_CURRENT_USER, app::kCompatibilityKey)) {
            EXPECT_TRUE(sim.registry().valueNames(HKEY_CURRENT_USER, app::kCompatibilityKey).empty());
        }
        EXPECT_EQ(sim.openHandles(), 0u);
    }
}

TEST_F(CompatibilityRecordTest, APathTooLongForItsBufferIsNotRecordedCut) {
    std::string deep = "C:\\" + std::string(280, 'd') + "\\setup.exe";
    sim.machine().modulePath = deep;
    app::recordVistaCompatibility();
    EXPECT_FALSE(sim.registry().exists(HKEY_CURRENT_USER, app::kCompatibilityKey) &&
                 !sim.registry().valueNames(HKEY_CURRENT_USER, app::kCompatibilityKey).empty());
    // A path of 259 characters still fits.
    std::string longest = "C:\\" + std::string(259 - 3 - 10, 'e') + "\\setup.exe";
    ASSERT_EQ(longest.size(), 259u);
    sim.machine().modulePath = longest;
    app::recordVistaCompatibility();
    EXPECT_EQ(record(longest), 1u);
}

}  // namespace
