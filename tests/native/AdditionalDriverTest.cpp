// 64-bit Windows: the x86 driver registered beside the machine's own under
// the same name, for 32-bit clients, when all its files can be placed; the
// privilege the 64-bit spooler asks of AddMonitor; and the removal of the
// drivers of both environments.
#include <algorithm>
#include <functional>

#include "install/DriverLoadPrivilege.h"
#include "install/InstallLog.h"
#include "install/Removal.h"
#include "support/InstallFixture.h"

using os::sim::Machine;
using testing_support::InstallScenario;

namespace {

const char kX64[] = "Windows x64";
const char kX86[] = "Windows NT x86";

// Model M of a medium with X64 builds of its programs, a Unidrv minidriver
// with a resource DLL of its own, installed on a serial port of 64-bit
// Windows 10 whose driver store holds Windows' x64 and x86 printing packages.
class SixtyFourBitInstall : public InstallScenario {
public:
    explicit SixtyFourBitInstall(const Machine& machine) : InstallScenario(7) {
        sim.machine() = machine;
        writeConfiguration("STD2KDDKDEV=1\r\nGDI2KDDKDEV=1\r\nSTDDataFileDLLName=MRES.DLL\r\n");
        // The driver's x86 programs are i386 images, each its own.
        for (const char* file : {"DRV.DLL", "DRVUI.DLL", "MRES.DLL"})
            sim.files().writeFile(std::string("C:\\MEDIUM\\W32\\") + file,
                                  os::sim::Spooler::dllExporting({file}, IMAGE_FILE_MACHINE_I386));
        for (const char* file : {"DRV.DLL", "DRVUI.DLL", "MPROC.DLL", "SERUI.DLL", "MRES.DLL"})
            onMediumX64(file, std::string("x64 ") + file);
        sim.files().writeFile("C:\\MEDIUM\\X64\\SER.DLL",
                              os::sim::Spooler::dllExporting({"InitializePrintMonitor2"}, IMAGE_FILE_MACHINE_AMD64));
        for (const char* package : {"ntprint.inf_amd64_1\\Amd64", "ntprint.inf_x86_1\\I386"}) packageFiles(package);
    }

    void packageFiles(const std::string& package) {
        for (const char* file : {"TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL"})
            write(repository() + package + "\\" + file, package + " " + file);
    }
    std::string repository() { return windowsDirectory() + "\\System32\\DriverStore\\FileRepository\\"; }
    std::string versionFolder(const char* environment) {
        return systemDirectory() + "\\spool\\DRIVERS\\" + (environment == std::string(kX64) ? "x64" : "W32X86") + "\\3\\";
    }
    std::string log() { return read("C:\\install.log"); }
    size_t journalIndex(const std::string& entry) {
        const std::vector<std::string> journal = sim.journal();
        return std::find(journal.begin(), journal.end(), entry) - journal.begin();
    }
};

struct InstallRow {
    const char* what;
    Machine machine;
    std::function<void(SixtyFourBitInstall&)> arrange;
    bool x86Driver;      // the x86 driver is registered beside the x64 one
    const char* logged;  // a line the log holds
    std::function<void(SixtyFourBitInstall&)> leaves = nullptr;  // what else must hold afterwards
};

// The model's control font and USB identity file, which go straight into
// the version folder of each environment.
void versionFolderFiles(SixtyFourBitInstall& s) {
    s.writeConfiguration("STD2KDDKDEV=1\r\nGDI2KDDKDEV=1\r\nSTDDataFileDLLName=MRES.DLL\r\n"
                         "ControlFontFile=FONT.BIN\r\nUSBInternalID=USBID.DAT\r\n");
    s.onMedium("FONT.BIN", "font");
    s.onMedium("USBID.DAT", "identity");
}

TEST(AdditionalDriverTest, TheX86DriverIsRegisteredBesideTheX64OneWhenAllItsFilesCanBePlaced) {
    const Machine windows10 = Machine::sixtyFourBit(Machine::windows10());
    const InstallRow rows[] = {
        {"both printing packages", windows10, nullptr, true, "x86 driver M Serial for 32-bit clients registered"},
        {"no x86 printing package", windows10,
         [](SixtyFourBitInstall& s) {
             for (const char* file : {"TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL"})
                 s.sim.files().remove(s.repository() + "ntprint.inf_x86_1\\I386\\" + file);
         },
         false,
         "x86 driver M Serial for 32-bit clients not registered: STDNAMES.GPD could not be placed in the x86 "
         "driver folder: Couldn't find system fiels."},
        {"the medium's x86 resource DLL missing", windows10,
         [](SixtyFourBitInstall& s) { s.sim.files().remove("C:\\MEDIUM\\W32\\MRES.DLL"); }, false,
         "x86 driver M Serial for 32-bit clients not registered: M Serial cannot be installed for x86 from this "
         "medium; its W32 folder lacks MRES.DLL."},
        {"an x64 build in W32", windows10,
         [](SixtyFourBitInstall& s) {
             s.sim.files().writeFile("C:\\MEDIUM\\W32\\DRVUI.DLL",
                                     os::sim::Spooler::dllExporting({"DRVUI.DLL"}, IMAGE_FILE_MACHINE_AMD64));
         },
         false, "x86 driver M Serial for 32-bit clients not registered: M Serial cannot be installed for x86 from "
                "this medium; W32\\DRVUI.DLL is built for x64, not for x86."},
        {"the spooler refuses the x86 driver", windows10,
         [](SixtyFourBitInstall& s) {
             s.sim.faults().fail("AddPrinterDriverA", ERROR_ACCESS_DENIED).when("M Serial").after(1);
         },
         false, "x86 driver M Serial for 32-bit clients not registered: the spooler refused it (system error 5)"},
        // A clean 64-bit Windows may lack both version folders: they are made for the copies.
        {"neither version folder", windows10,
         [](SixtyFourBitInstall& s) {
             versionFolderFiles(s);
             for (const char* environment : {kX64, kX86}) {
                 std::string folder = s.versionFolder(environment);
                 folder.pop_back();
                 s.sim.files().removeDirectory(folder);
                 ASSERT_FALSE(s.sim.files().isDirectory(folder)) << environment;
             }
         },
         true, "x86 driver M Serial for 32-bit clients registered",
         [](SixtyFourBitInstall& s) {
             for (const char* environment : {kX64, kX86}) {
                 EXPECT_EQ(s.read(s.versionFolder(environment) + "FONT.BIN"), "font") << environment;
                 EXPECT_EQ(s.read(s.versionFolder(environment) + "USBID.DAT"), "identity") << environment;
             }
         }},
        // A newer file there is replaced, as the 32-bit installation replaces it.
        {"a newer control font in the version folder", windows10,
         [](SixtyFourBitInstall& s) {
             versionFolderFiles(s);
             s.write(s.versionFolder(kX64) + "FONT.BIN", "another installation's newer font");
         },
         true, "x86 driver M Serial for 32-bit clients registered",
         [](SixtyFourBitInstall& s) { EXPECT_EQ(s.read(s.versionFolder(kX64) + "FONT.BIN"), "font"); }},
        // Windows 11 22H2 and later: the log names what Windows may have refused it for.
        {"the spooler refuses the x86 driver on Windows 11 24H2", Machine::sixtyFourBit(Machine::windows11v24h2()),
         [](SixtyFourBitInstall& s) {
             s.sim.faults().fail("AddPrinterDriverA", ERROR_ACCESS_DENIED).when("M Serial").after(1);
         },
         false, "AddPrinterDriver refused (system error 5); Windows may refuse it for protected print mode"},
        {"the privilege cannot be enabled", windows10,
         [](SixtyFourBitInstall& s) { s.sim.faults().fail("AdjustTokenPrivileges", ERROR_ACCESS_DENIED); }, true,
         "SeLoadDriverPrivilege not enabled: the token could not be changed (system error 5)"},
    };
    for (const InstallRow& row : rows) {
        SCOPED_TRACE(row.what);
        SixtyFourBitInstall s(row.machine);
        install::setInstallLog("C:\\install.log");
        if (row.arrange) row.arrange(s);
        s.prepare("HVCOM1:");
        ASSERT_TRUE(s.install()) << s.message() << "\n" << s.log();
        install::setInstallLog("");
        EXPECT_NE(s.log().find(row.logged), std::string::npos) << s.log();
        ASSERT_NE(s.sim.spooler().printer("M(S)"), nullptr);
        const os::sim::Spooler::Driver* x64 = s.sim.spooler().driver("M Serial", kX64);
        ASSERT_NE(x64, nullptr);
        EXPECT_EQ(s.read(s.versionFolder(kX64) + "DRV.DLL"), "x64 DRV.DLL");
        EXPECT_EQ(s.read(s.versionFolder(kX64) + "UNIRES.DLL"), "ntprint.inf_amd64_1\\Amd64 UNIRES.DLL");
        const os::sim::Spooler::Driver* x86 = s.sim.spooler().driver("M Serial", kX86);
        ASSERT_EQ(x86 != nullptr, row.x86Driver);
        if (x86) {
            // The same record, its files the medium's x86 builds and Windows' x86 ones.
            EXPECT_EQ(x86->dependentFiles, x64->dependentFiles);
            EXPECT_EQ(x86->driverPath, x64->driverPath);
            EXPECT_EQ(x86->configFile, x64->configFile);
            const std::pair<const char*, std::string> placed[] = {
                {"DRV.DLL", s.read("C:\\MEDIUM\\W32\\DRV.DLL")}, {"DRVUI.DLL", s.read("C:\\MEDIUM\\W32\\DRVUI.DLL")},
                {"M.GPD", "content of M.GPD"},     {"MRES.DLL", s.read("C:\\MEDIUM\\W32\\MRES.DLL")},
                {"UNIRES.DLL", "ntprint.inf_x86_1\\I386 UNIRES.DLL"},
                {"STDNAMES.GPD", "ntprint.inf_x86_1\\I386 STDNAMES.GPD"}};
            for (const auto& [file, content] : placed) EXPECT_EQ(s.read(s.versionFolder(kX86) + file), content) << file;
        }
        // The privilege is enabled before the monitor is added.
        const size_t enabled = s.journalIndex("AdjustTokenPrivileges SeLoadDriverPrivilege");
        ASSERT_LT(enabled, s.sim.journal().size());
        EXPECT_LT(enabled, s.journalIndex("AddMonitorA Serial Mon"));
        EXPECT_EQ(s.sim.openHandles(), 0u);
        if (row.leaves) row.leaves(s);
    }
}

// On 32-bit Windows the driver is the machine's own x86 one: nothing more
// is registered.
TEST(AdditionalDriverTest, ThirtyTwoBitWindowsRegistersItsOneDriverAsBefore) {
    SixtyFourBitInstall s(Machine::windows10());
    s.prepare("HVCOM1:");
    ASSERT_TRUE(s.install()) << s.message();
    EXPECT_EQ(s.sim.calls("AddPrinterDriverA").size(), 1u);
    EXPECT_EQ(s.read(s.versionFolder(kX86) + "DRV.DLL"), s.read("C:\\MEDIUM\\W32\\DRV.DLL"));
}

struct RemovalRow {
    const char* what;
    std::function<void(SixtyFourBitInstall&)> arrange;  // after the installation
    bool x86Removed;
    const char* logged;
};

// The removal takes the model's drivers of both environments, each judged by
// its own files.
TEST(AdditionalDriverTest, TheRemovalTakesTheDriversOfBothEnvironments) {
    const RemovalRow rows[] = {
        {"both the model's", nullptr, true, "x86 driver M Serial for 32-bit clients removed with its files"},
        {"an x86 driver of the name with other files",
         [](SixtyFourBitInstall& s) {
             s.write(s.systemDirectory() + "\\spool\\DRIVERS\\W32X86\\OTHER.DLL", "other");
             DRIVER_INFO_3A other = {};
             other.cVersion = 3;
             other.pName = const_cast<char*>("M Serial");
             other.pEnvironment = const_cast<char*>(kX86);
             other.pDriverPath = other.pDataFile = other.pConfigFile = const_cast<char*>("OTHER.DLL");
             ASSERT_TRUE(s.sim.AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&other)));
         },
         false, "x86 driver M Serial for 32-bit clients kept: its files are not the ones this medium installs"},
    };
    for (const RemovalRow& row : rows) {
        SCOPED_TRACE(row.what);
        SixtyFourBitInstall s(Machine::sixtyFourBit(Machine::windows10()));
        s.prepare("HVCOM1:");
        ASSERT_TRUE(s.install()) << s.message();
        ASSERT_NE(s.sim.spooler().driver("M Serial", kX86), nullptr);
        if (row.arrange) row.arrange(s);
        install::setInstallLog("C:\\install.log");
        const install::RemovalOutcome outcome =
            install::removeModel(install::readModelParts(s.job.config, "M", 7), "", 7);
        install::setInstallLog("");
        EXPECT_EQ(outcome.failure, "");
        EXPECT_NE(s.log().find(row.logged), std::string::npos) << s.log();
        EXPECT_EQ(s.sim.spooler().printer("M(S)"), nullptr);
        EXPECT_EQ(s.sim.spooler().driver("M Serial", kX64), nullptr);
        EXPECT_FALSE(s.exists(s.versionFolder(kX64) + "DRV.DLL"));
        EXPECT_EQ(s.sim.spooler().driver("M Serial", kX86) == nullptr, row.x86Removed);
        EXPECT_EQ(s.exists(s.versionFolder(kX86) + "DRV.DLL"), !row.x86Removed);
        EXPECT_EQ(outcome.drivers, row.x86Removed ? 2 : 1);
    }
}

}  // namespace

namespace {

struct PrivilegeRow {
    const char* what;
    Machine machine;
    bool administrator;
    bool enabled;        // SeLoadDriverPrivilege enabled in the token afterwards
    const char* logged;  // null: nothing logged
};

// The token of an administrator holds the privilege, disabled; a standard
// user's does not, which AdjustTokenPrivileges tells by its last error alone.
TEST(AdditionalDriverTest, TheDriverLoadPrivilegeIsEnabledWhereTheTokenHoldsIt) {
    const PrivilegeRow rows[] = {
        {"an administrator on 64-bit Windows", Machine::sixtyFourBit(Machine::windows10()), true, true, nullptr},
        {"a standard user on 64-bit Windows", Machine::sixtyFourBit(Machine::windows10()), false, false,
         "SeLoadDriverPrivilege not enabled: the account does not hold it (system error 1300)"},
        {"an administrator on 32-bit Windows", Machine::windows10(), true, true, nullptr},
        {"Windows 98, which has no privileges", Machine::windows98(), true, false, nullptr},
    };
    for (const PrivilegeRow& row : rows) {
        SCOPED_TRACE(row.what);
        testing_support::EngineMachine m(row.machine);
        m.sim.machine().administrator = row.administrator;
        install::setInstallLog("C:\\install.log");
        EXPECT_EQ(install::enableDriverLoadPrivilege(), row.enabled || !m.sim.machine().isNt());
        install::setInstallLog("");
        const std::vector<std::string>& enabled = m.sim.machine().enabledPrivileges;
        EXPECT_EQ(std::count(enabled.begin(), enabled.end(), "SeLoadDriverPrivilege"), row.enabled ? 1 : 0);
        const std::string log = m.read("C:\\install.log");
        EXPECT_EQ(log.find("not enabled") != std::string::npos, row.logged != nullptr) << log;
        if (row.logged) {
            EXPECT_NE(log.find(row.logged), std::string::npos) << log;
        }
        EXPECT_EQ(m.sim.openHandles(), 0u);
    }
}

}  // namespace
