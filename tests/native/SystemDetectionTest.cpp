// The running-system detection, the OS page's choice for each Windows, the
// product-name test that tells Server 2008 from Vista, and the compatibility
// record the program leaves on Vista; with the registry and version calls
// failing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/CompatibilityRecord.h"
#include "os/DisplaySettings.h"
#include "os/SystemDetection.h"
#include "os/RunningSystem.h"
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
    const char* name;  // also the name the program gives the system
    Machine machine;
    int targetOs;     // running-system detection
    bool marked;      // the OS page marks a radio button
    bool unknown;     // the OS page says the platform is unknown
};

Machine server(Machine m, DWORD build, const char* product) {
    m.productType = 3;
    m.build = build;
    m.productName = product;
    return m;
}

std::vector<SystemCase> systems() {
    Machine r2 = Machine::windows2003();
    r2.productName = "Microsoft Windows Server 2003 R2";
    Machine xp64 = Machine::windows2003();
    xp64.productType = 1;
    // A program whose manifest names no system after 7 is told 6.2 from
    // Windows 8.1 on; the detection goes by the version Windows runs as.
    Machine windows10Unnamed = Machine::windows10();
    windows10Unnamed.manifestNames = 0x0601;
    Machine windows81Unnamed = Machine::windows81();
    windows81Unnamed.manifestNames = 0;
    return {
        {"Windows 95", Machine::windows95(), 0, false, false},
        {"Windows 98", Machine::windows98(), 0, true, false},
        {"Windows Me", Machine::windowsMe(), 0, true, false},
        {"Windows NT 4.0", Machine::windowsNt4(), 1, true, false},
        {"Windows 2000", Machine::windows2000(), 2, true, false},
        {"Windows XP", Machine::windowsXp(), 3, true, false},
        {"Windows Server 2003", Machine::windows2003(), 4, true, false},
        {"Windows Server 2003", r2, 4, true, false},
        {"Windows XP Professional x64 Edition", xp64, 4, true, false},
        {"Windows Vista", Machine::windowsVista(), 5, true, false},
        {"Windows Server 2008", Machine::windows2008(), 6, true, false},
        {"Windows 7", Machine::windows7(), 7, true, false},
        {"Windows Server 2008 R2", server(Machine::windows7(), 7601, "Windows Server 2008 R2 Standard"), 7, true, false},
        // The newer systems take Windows 7's rules, the newest a medium describes.
        {"Windows 8", Machine::windows8(), 7, true, false},
        {"Windows Server 2012", Machine::windowsServer2012(), 7, true, false},
        {"Windows 8.1", Machine::windows81(), 7, true, false},
        {"Windows 8.1", windows81Unnamed, 7, true, false},
        {"Windows Server 2012 R2", server(Machine::windows81(), 9600, "Windows Server 2012 R2 Standard"), 7, true, false},
        {"Windows 10", Machine::windows10(), 7, true, false},
        {"Windows 10", windows10Unnamed, 7, true, false},
        {"Windows Server 2016", server(Machine::windows10(), 14393, "Windows Server 2016 Standard"), 7, true, false},
        {"Windows Server 2019", server(Machine::windows10(), 17763, "Windows Server 2019 Standard"), 7, true, false},
        // Windows 11 by its build: its product name still says Windows 10.
        {"Windows 11", Machine::windows11(), 7, true, false},
        {"Windows 11", Machine::windows11v24h2(), 7, true, false},
        {"Windows Server 2022", Machine::windowsServer2022(), 7, true, false},
        {"Windows Server 2025", server(Machine::windows10(), 26100, "Windows Server 2025 Standard"), 7, true, false},
        {"Windows NT 4.1", withVersion(VER_PLATFORM_WIN32_NT, 4, 1), 0, false, false},
        {"Windows NT 5.3", withVersion(VER_PLATFORM_WIN32_NT, 5, 3), 0, false, false},
        {"Windows NT 6.4", withVersion(VER_PLATFORM_WIN32_NT, 6, 4), 0, false, false},
        {"Windows NT 11.0", withVersion(VER_PLATFORM_WIN32_NT, 11, 0), 0, false, false},
        {"a Windows of platform 0", withVersion(VER_PLATFORM_WIN32s, 3, 10), 0, false, true},
        {"a Windows of platform 3", withVersion(3, 5, 0), 0, false, true},
    };
}

TEST(SystemDetectionTest, EveryWindowsGivesItsTargetOsAndTheOsPageMarksItOrNothing) {
    for (const SystemCase& c : systems()) {
        SCOPED_TRACE(c.name);
        SimOs sim(c.machine);
        os::ScopedSystem scope(sim);
        EXPECT_EQ(app::detectTargetOs(), c.targetOs);

        const os::RunningSystem system = os::runningSystem();
        EXPECT_EQ(app::systemName(system), c.name);
        app::OsPageChoice choice = app::osPageChoice(system);
        EXPECT_EQ(choice.targetOs, c.targetOs);
        EXPECT_EQ(choice.marked, c.marked);
        EXPECT_EQ(choice.unknownPlatform, c.unknown);
        EXPECT_EQ(choice.vista, c.targetOs == app::kWindowsVista);
        EXPECT_EQ(sim.openHandles(), 0u);
    }
}

// The log's line names the system as it runs, its processor, and what the
// program is told.
TEST(SystemDetectionTest, TheDescriptionGivesBothAnswersAndTheProcessor) {
    struct Case {
        Machine machine;
        WORD processor;
        DWORD manifestNames;
        const char* described;
    };
    const Case cases[] = {
        {Machine::windows11(), IMAGE_FILE_MACHINE_AMD64, 0x0A00, "Windows 11 (10.0.22631) x64; GetVersionEx 10.0"},
        {Machine::windows10(), IMAGE_FILE_MACHINE_I386, 0x0601, "Windows 10 (10.0.19045) x86; GetVersionEx 6.2"},
        {Machine::windows10(), IMAGE_FILE_MACHINE_I386, 0x0603, "Windows 10 (10.0.19045) x86; GetVersionEx 6.3"},
        {Machine::windows81(), IMAGE_FILE_MACHINE_AMD64, 0x0601, "Windows 8.1 (6.3.9600) x64; GetVersionEx 6.2"},
        {Machine::windows7(), IMAGE_FILE_MACHINE_I386, 0x0601, "Windows 7 (6.1.7601) x86; GetVersionEx 6.1"},
        {Machine::windows98(), IMAGE_FILE_MACHINE_I386, 0, "Windows 98 (4.10.2222); GetVersionEx 4.10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.described);
        Machine m = c.machine;
        m.nativeMachine = c.processor;
        m.manifestNames = c.manifestNames;
        SimOs sim(m);
        os::ScopedSystem scope(sim);
        EXPECT_EQ(app::describeSystem(os::runningSystem()), c.described);
    }
}

// IsWow64Process2 where Windows has it, which alone tells an x86 program
// the truth on ARM64; GetNativeSystemInfo before it; x86 before that.
TEST(SystemDetectionTest, TheProcessorIsTheMachinesNotTheProgramsOwn) {
    struct Case {
        const char* what;
        Machine machine;
        WORD processor;
        os::Architecture expected;
    };
    Machine windows10v1507 = Machine::windows10();
    windows10v1507.build = 10240;
    const Case cases[] = {
        {"x86 Windows 10", Machine::windows10(), IMAGE_FILE_MACHINE_I386, os::Architecture::X86},
        {"x64 Windows 10", Machine::windows10(), IMAGE_FILE_MACHINE_AMD64, os::Architecture::X64},
        {"x64 Windows 10 before 1511", windows10v1507, IMAGE_FILE_MACHINE_AMD64, os::Architecture::X64},
        {"x64 Windows 8.1", Machine::windows81(), IMAGE_FILE_MACHINE_AMD64, os::Architecture::X64},
        {"ARM64 Windows 11, which emulates x64 too", Machine::windows11(), IMAGE_FILE_MACHINE_ARM64,
         os::Architecture::Arm64},
        {"x64 Windows 7", Machine::windows7(), IMAGE_FILE_MACHINE_AMD64, os::Architecture::X64},
        {"Windows 2000", Machine::windows2000(), IMAGE_FILE_MACHINE_I386, os::Architecture::X86},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Machine m = c.machine;
        m.nativeMachine = c.processor;
        SimOs sim(m);
        os::ScopedSystem scope(sim);
        EXPECT_EQ(os::machineArchitecture(), c.expected);
    }
}

TEST(SystemDetectionTest, AVersionThatCannotBeReadIsTreatedAsUnknown) {
    SimOs sim(Machine::windows7());
    os::ScopedSystem scope(sim);
    sim.faults().fail("GetVersionExA", ERROR_INVALID_PARAMETER);
    EXPECT_EQ(app::detectTargetOs(), 0);
    // The OS page reads no version: a platform it does not know.
    EXPECT_TRUE(app::osPageChoice(os::runningSystem()).unknownPlatform);
}

// Where ntdll does not answer, GetVersionExA's version stands.
TEST(SystemDetectionTest, WithoutRtlGetVersionGetVersionExDecides) {
    Machine m = Machine::windows81();
    m.manifestNames = 0;
    SimOs sim(m);
    os::ScopedSystem scope(sim);
    sim.faults().fail("RtlGetVersion", 0);
    const os::RunningSystem system = os::runningSystem();
    EXPECT_EQ(app::describeSystem(system), "Windows 8 (6.2.9200) x86; GetVersionEx 6.2");
    EXPECT_EQ(app::targetOsOf(system), app::kWindows7);
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

// High contrast, as the colours the program picks itself ask for it; a
// system that cannot answer the query has it off.
TEST(HighContrast, FollowsTheUsersSettingAndIsOffWhereTheQueryFails) {
    SimOs sim(Machine::windowsXp());
    os::ScopedSystem scope(sim);
    EXPECT_FALSE(os::highContrastOn());
    sim.desktop().highContrast = true;
    EXPECT_TRUE(os::highContrastOn());
    sim.faults().fail("SystemParametersInfoA", ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(os::highContrastOn());
}
