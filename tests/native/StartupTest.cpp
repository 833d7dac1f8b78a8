// Start-up: single instance, uninstaller, refused systems and the
// port-support check, each with what it shows.
#include <algorithm>

#include "app/Captions.h"
#include "app/QuietInstall.h"
#include "config/MessageBoxes.h"
#include "app/Startup.h"
#include "config/TextTable.h"
#include "config/ProgramFolder.h"
#include "support/SimMachine.h"

using app::StartupResult;
using os::sim::Machine;
using testing_support::SimMachineTest;

namespace {

const char* const kLanguage =
    "[Setup]\r\nClose=<Close>\r\nNonsupport=<Nonsupport>\r\nPortNull=<PortNull>\r\n";
const char* const kOneModel =
    "[DEVICENAME]\r\nDEVICENUMBER=1\r\nDEVICENAME1=RP-ReceiptPrinter\r\n";

}  // namespace

class StartupTest : public SimMachineTest {
protected:
    explicit StartupTest(const Machine& machine = Machine::windowsXp()) : SimMachineTest(machine) {}
    void SetUp() override {
        write("C:\\MEDIUM\\language\\setup.ini", kLanguage);
        write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", kOneModel);
        write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", "[RP.PORT]\r\nLPTSUPPORTED=1\r\n");
    }
};

TEST_F(StartupTest, AFreshStartRunsTheWizardHoldingItsMutex) {
    EXPECT_EQ(app::checkStartup(), StartupResult::Run);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(sim.calls("CreateMutexA"), std::vector<std::string>{"setup"});
}

// The wizard's mutex is made as the unattended guard is; where Windows
// refuses that (an owner the account may not give, a descriptor it does
// not take), with the token's defaults. A mutex that is there and not the
// program's to open is not made again.
TEST_F(StartupTest, TheWizardsMutexFallsBackToTheDefaultsOnlyWhereItsOwnFails) {
    struct Row {
        const char* what;
        DWORD refusal;  // of the first CreateMutexA; 0: none
        size_t calls;
        bool made;
    } rows[] = {
        {"made with the guard's descriptor", 0, 1, true},
        {"an owner the account may not give", ERROR_INVALID_OWNER, 2, true},
        {"a descriptor Windows does not take", 1338, 2, true},
        {"there, and closed to the administrators", ERROR_ACCESS_DENIED, 1, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        sim.endProgram();
        sim.clearJournal();
        sim.faults().clear();
        if (row.refusal) sim.faults().fail("CreateMutexA", row.refusal).times(1);
        EXPECT_EQ(app::checkStartup(), StartupResult::Run);
        EXPECT_EQ(sim.calls("CreateMutexA").size(), row.calls);
        EXPECT_EQ(app::checkStartup(), row.made ? StartupResult::SecondInstance : StartupResult::Run);
    }
}

TEST_F(StartupTest, ASecondCopyBringsTheFirstForwardAndEndsSilently) {
    sim.holdMutexElsewhere("setup");
    auto& first = sim.desktop().openWindow(app::kWizardTitle);
    first.minimised = true;
    EXPECT_EQ(app::checkStartup(), StartupResult::SecondInstance);
    EXPECT_TRUE(messages().empty());
    auto* window = sim.desktop().window(sim.FindWindowA(nullptr, app::kWizardTitle));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->foregroundRequests, 1);
    EXPECT_EQ(window->restoreRequests, 1);
    EXPECT_FALSE(window->minimised);
}

TEST_F(StartupTest, ASecondCopyFindsTheChineseTitleToo) {
    sim.holdMutexElsewhere("setup");
    HWND first = sim.desktop().openWindow(app::kWizardTitleChinese).handle;
    EXPECT_EQ(app::checkStartup(), StartupResult::SecondInstance);
    EXPECT_EQ(sim.desktop().window(first)->foregroundRequests, 1);
}

TEST_F(StartupTest, ASecondCopyBringsNothingForwardWhenTheFirstHasAnotherTitle) {
    sim.holdMutexElsewhere("setup");
    HWND other = sim.desktop().openWindow("Druckertreiber-Installation").handle;
    EXPECT_EQ(app::checkStartup(), StartupResult::SecondInstance);
    EXPECT_EQ(sim.desktop().window(other)->foregroundRequests, 0);
    EXPECT_TRUE(sim.calls("SetForegroundWindow").empty());
}

TEST_F(StartupTest, AnOpenUninstallerIsReported) {
    sim.desktop().openWindow(app::kUninstallerTitle);
    EXPECT_EQ(app::checkStartup(), StartupResult::UninstallerOpen);
    EXPECT_EQ(messages(), std::vector<std::string>{"<Close>"});
    const auto& box = sim.desktop().messageBoxes().front();
    EXPECT_EQ(box.caption, "setup");
    EXPECT_EQ(box.type & MB_TYPEMASK, static_cast<UINT>(MB_OK));
}

TEST_F(StartupTest, AnOpenChineseUninstallerIsReported) {
    sim.desktop().openWindow(app::kUninstallerTitleChinese);
    EXPECT_EQ(app::checkStartup(), StartupResult::UninstallerOpen);
    EXPECT_EQ(messages(), std::vector<std::string>{"<Close>"});
}

TEST_F(StartupTest, TheInstanceMutexOutlivesTheChecks) {
    // The mutex is held for the whole run: a second start in the same
    // session finds it, whatever the first start decided.
    sim.desktop().openWindow(app::kUninstallerTitle);
    EXPECT_EQ(app::checkStartup(), StartupResult::UninstallerOpen);
    EXPECT_EQ(app::checkStartup(), StartupResult::SecondInstance);
    EXPECT_EQ(messages().size(), 1u);
}

TEST_F(StartupTest, TheUninstallerIsCheckedBeforeTheSystem) {
    sim.machine().platform = VER_PLATFORM_WIN32_WINDOWS;
    sim.machine().major = 4;
    sim.machine().minor = 10;
    sim.desktop().openWindow(app::kUninstallerTitle);
    EXPECT_EQ(app::checkStartup(), StartupResult::UninstallerOpen);
    EXPECT_EQ(messages(), std::vector<std::string>{"<Close>"});
}

// Only x86 and x64 Windows install, x64 from Windows 7 and Server 2008 R2
// on; the refusal says why and comes before anything is looked at further.
// It is the language file's text where the file has one (the processor
// where the text places it), else English.
TEST(StartupArchitectureTest, RefusesOtherProcessorsAndEarly64BitEditions) {
    const std::string early = "This setup installs on 64-bit Windows from Windows 7 and Windows Server 2008 R2 "
                              "on. It cannot install on the 64-bit editions of Windows XP, Server 2003, Vista "
                              "and Server 2008.";
    const std::string keys = "[Message]\r\nIDS_ERR_PROCESSOR=<%1 processor>\r\n"
                             "IDS_ERR_UNKNOWNPROCESSOR=<unknown processor>\r\nIDS_ERR_EARLYX64=<early x64>\r\n";
    struct Row {
        const char* what;
        Machine machine;
        std::string refusal;  // empty: the wizard runs
        std::string worded;   // with the language file's texts
    } rows[] = {
        {"32-bit XP", Machine::windowsXp(), "", ""},
        {"32-bit Windows 7", Machine::windows7(), "", ""},
        {"64-bit Windows 7", Machine::sixtyFourBit(Machine::windows7()), "", ""},
        {"64-bit XP", Machine::sixtyFourBit(Machine::windowsXp()), early, "<early x64>"},
        {"64-bit Server 2003", Machine::sixtyFourBit(Machine::windows2003()), early, "<early x64>"},
        {"64-bit Vista", Machine::sixtyFourBit(Machine::windowsVista()), early, "<early x64>"},
        {"64-bit Server 2008", Machine::sixtyFourBit(Machine::windows2008()), early, "<early x64>"},
        {"Windows 7 on Itanium", Machine::sixtyFourBit(Machine::windows7(), IMAGE_FILE_MACHINE_IA64),
         "This setup cannot install on Windows for unknown processors: its printer drivers, port monitors "
         "and print processor are built for x86 and x64 Windows only.",
         "<unknown processor>"},
        {"Windows on ARM64", Machine::sixtyFourBit(Machine::windows10(), IMAGE_FILE_MACHINE_ARM64),
         "This setup cannot install on Windows for ARM64 processors: its printer drivers, port monitors "
         "and print processor are built for x86 and x64 Windows only.",
         "<ARM64 processor>"},
    };
    for (const Row& row : rows) {
        for (bool worded : {false, true}) {
            SCOPED_TRACE(std::string(row.what) + (worded ? ", worded by the file" : ""));
            testing_support::SimMachine machine(row.machine);
            machine.write("C:\\MEDIUM\\language\\setup.ini", kLanguage + (worded ? keys : std::string()));
            machine.write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", kOneModel);
            machine.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", "[RP.PORT]\r\nLPTSUPPORTED=1\r\n");
            const std::string& refusal = worded ? row.worded : row.refusal;
            EXPECT_EQ(app::checkStartup(),
                      refusal.empty() ? StartupResult::Run : StartupResult::UnsupportedArchitecture);
            EXPECT_EQ(machine.messages(),
                      refusal.empty() ? std::vector<std::string>{} : std::vector<std::string>{refusal});
            machine.sim.endProgram();
        }
    }
}

struct SystemCase {
    const char* name;
    Machine (*machine)();
    StartupResult expected;
};

class StartupSystemTest : public SimMachineTest, public ::testing::WithParamInterface<SystemCase> {
protected:
    StartupSystemTest() : SimMachineTest(GetParam().machine()) {}
};

TEST_P(StartupSystemTest, RefusesNinetyEightMeAndNt4Only) {
    write("C:\\MEDIUM\\language\\setup.ini", kLanguage);
    write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", kOneModel);
    write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", "[RP.PORT]\r\nCOMSUPPORTED=1\r\n");
    EXPECT_EQ(app::checkStartup(), GetParam().expected);
    if (GetParam().expected == StartupResult::UnsupportedSystem)
        EXPECT_EQ(messages(), std::vector<std::string>{"<Nonsupport>"});
    else
        EXPECT_TRUE(messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Systems, StartupSystemTest,
    ::testing::Values(SystemCase{"Windows95", Machine::windows95, StartupResult::Run},
                      SystemCase{"Windows98", Machine::windows98, StartupResult::UnsupportedSystem},
                      SystemCase{"WindowsMe", Machine::windowsMe, StartupResult::UnsupportedSystem},
                      SystemCase{"WindowsNt4", Machine::windowsNt4, StartupResult::UnsupportedSystem},
                      SystemCase{"Windows2000", Machine::windows2000, StartupResult::Run},
                      SystemCase{"WindowsXp", Machine::windowsXp, StartupResult::Run},
                      SystemCase{"Windows2003", Machine::windows2003, StartupResult::Run},
                      SystemCase{"WindowsVista", Machine::windowsVista, StartupResult::Run},
                      SystemCase{"Windows2008", Machine::windows2008, StartupResult::Run},
                      SystemCase{"Windows7", Machine::windows7, StartupResult::Run},
                      SystemCase{"Windows8", Machine::windows8, StartupResult::Run}),
    [](const ::testing::TestParamInfo<SystemCase>& info) { return std::string(info.param.name); });

TEST_F(StartupTest, TheLastModelDecidesEvenWhenEarlierModelsOfferPorts) {
    write("C:\\MEDIUM\\DRVCONFIG\\setup.ini",
          "[DEVICENAME]\r\nDEVICENUMBER=2\r\nDEVICENAME1=RP-ReceiptPrinter\r\n"
          "DEVICENAME2=LB-LabelPrinter\r\n");
    write("C:\\MEDIUM\\DRVCONFIG\\setup_lable.ini", "[LB.PORT]\r\nUSBSUPPORTED=0\r\n");
    EXPECT_EQ(app::checkStartup(), StartupResult::NoPort);
    EXPECT_EQ(messages(), std::vector<std::string>{"<PortNull>"});
}

TEST_F(StartupTest, APortInAnotherCategorysFilePassesTheCheck) {
    write("C:\\MEDIUM\\DRVCONFIG\\setup.ini",
          "[DEVICENAME]\r\nDEVICENUMBER=1\r\nDEVICENAME1=LB-LabelPrinter\r\n");
    write("C:\\MEDIUM\\DRVCONFIG\\setup_embedded.ini", "[LB.PORT]\r\nCOMSUPPORTED=1\r\n");
    EXPECT_EQ(app::checkStartup(), StartupResult::Run);
}

TEST_F(StartupTest, AListWithoutCategoriesOffersNoPort) {
    write("C:\\MEDIUM\\DRVCONFIG\\setup.ini",
          "[DEVICENAME]\r\nDEVICENUMBER=1\r\nDEVICENAME1=RP-receiptprinter\r\n");
    write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", "[RP-receiptprinter.PORT]\r\nLPTSUPPORTED=1\r\n");
    EXPECT_EQ(app::checkStartup(), StartupResult::NoPort);
    EXPECT_EQ(messages(), std::vector<std::string>{"<PortNull>"});
}

TEST_F(StartupTest, AnEmptyListOffersNoPort) {
    write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", "[DEVICENAME]\r\nDEVICENUMBER=0\r\n");
    EXPECT_EQ(app::checkStartup(), StartupResult::NoPort);
    EXPECT_EQ(messages(), std::vector<std::string>{"<PortNull>"});
}

TEST_F(StartupTest, ALastEntryWithoutSuffixIsLookedUpWhole) {
    // The check takes the buffer as the last entry left it, suffix or not.
    write("C:\\MEDIUM\\DRVCONFIG\\setup.ini",
          "[DEVICENAME]\r\nDEVICENUMBER=2\r\nDEVICENAME1=RP-ReceiptPrinter\r\nDEVICENAME2=Odd\r\n");
    write("C:\\MEDIUM\\DRVCONFIG\\setup_ticket.ini", "[Odd.PORT]\r\nLPTSUPPORTED=1\r\n");
    std::string model;
    EXPECT_TRUE(app::portCheckModel(&model));
    EXPECT_EQ(model, "Odd");
    EXPECT_EQ(app::checkStartup(), StartupResult::Run);
}

// Started from another folder (a deployment agent's is the system folder),
// the program reads its medium from its own folder, which becomes the
// current directory; at a drive's root, the root.
TEST_F(StartupTest, TheProgramsFolderIsTheMediumWhateverTheCurrentDirectory) {
    write("C:\\RUN\\DRVCONFIG\\setup_receipt.ini", "[RP.PORT]\r\nLPTSUPPORTED=0\r\n");
    ASSERT_TRUE(sim.SetCurrentDirectoryA("C:\\RUN"));
    EXPECT_EQ(app::checkStartup(), StartupResult::Run);
    EXPECT_EQ(sim.machine().currentDirectory, "C:\\MEDIUM");

    sim.machine().modulePath = "C:\\setup.exe";
    app::checkStartup();
    EXPECT_EQ(sim.machine().currentDirectory, "C:\\");
}

// A program path that its 200-character configuration paths cannot hold is
// refused with a text of its own, even where the cut path would name a
// parent folder with a configuration of its own.
TEST_F(StartupTest, AProgramPathTooLongForTheConfigurationIsRefused) {
    const std::string folder = "C:\\MEDIUM\\" + std::string(190, 'x');
    write(folder + "\\language\\setup.ini", std::string(kLanguage) + "PathTooLong=<PathTooLong>\r\n");
    write(folder + "\\DRVCONFIG\\setup_receipt.ini", "[RP.PORT]\r\nLPTSUPPORTED=1\r\n");
    sim.machine().modulePath = folder + "\\setup.exe";
    EXPECT_EQ(app::checkStartup(), StartupResult::ProgramPathTooLong);
    EXPECT_EQ(messages(), std::vector<std::string>{"<PathTooLong>"});

    // The path and its terminator in 200 characters: 199 fit, 200 do not.
    for (size_t length : {199u, 200u}) {
        sim.machine().modulePath = "C:\\" + std::string(length - 13, 'x') + "\\setup.exe";
        ASSERT_EQ(sim.machine().modulePath.size(), length);
        EXPECT_EQ(config::programPathFits(), length == 199u) << length;
    }
}

// Where the language file has no text for it, an older medium's, or lies too
// deep to be read at all, the refusal still says why, in plain English, and
// never with the text for a medium without ports.
TEST(StartupPathTest, AProgramPathTooLongIsExplainedWithoutTheLanguageFilesText) {
    struct Row {
        const char* what;
        size_t folderLength;
        const char* language;
    } rows[] = {
        {"a language file without the text", 200, kLanguage},
        {"a language file too deep to be read", 245, "[Setup]\r\nPathTooLong=<PathTooLong>\r\nPortNull=<PortNull>\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        testing_support::SimMachine machine;
        const std::string folder = "C:\\" + std::string(row.folderLength - 3, 'x');
        machine.write(folder + "\\language\\setup.ini", row.language);
        machine.write(folder + "\\DRVCONFIG\\setup.ini", kOneModel);
        machine.write(folder + "\\DRVCONFIG\\setup_receipt.ini", "[RP.PORT]\r\nLPTSUPPORTED=1\r\n");
        machine.sim.machine().modulePath = folder + "\\setup.exe";
        EXPECT_EQ(app::checkStartup(), StartupResult::ProgramPathTooLong);
        ASSERT_EQ(machine.messages().size(), 1u);
        const std::string shown = machine.messages()[0];
        EXPECT_NE(shown.find("too long"), std::string::npos) << shown;
        EXPECT_NE(shown.find("199 characters"), std::string::npos) << shown;
    }
}

TEST_F(StartupTest, AMissingLanguageFileShowsAnEmptyBox) {
    sim.files().remove("C:\\MEDIUM\\language\\setup.ini");
    sim.machine().platform = VER_PLATFORM_WIN32_NT;
    sim.machine().major = 4;
    sim.machine().minor = 0;
    EXPECT_EQ(app::checkStartup(), StartupResult::UnsupportedSystem);
    EXPECT_EQ(messages(), std::vector<std::string>{""});
}

TEST_F(StartupTest, AVersionThatCannotBeReadRefusesNothing) {
    sim.faults().fail("GetVersionExA", ERROR_INVALID_PARAMETER);
    EXPECT_EQ(app::checkStartup(), StartupResult::Run);
    EXPECT_TRUE(messages().empty());
}

TEST_F(StartupTest, SettingsFollowLanguageAndLoadLicense) {
    auto settings = app::readStartupSettings();
    EXPECT_TRUE(settings.alternateFont) << "a missing LANGUAGE means the Chinese font";
    EXPECT_FALSE(settings.loadLicense);
    write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", "[DEVICENAME]\r\nLANGUAGE=1\r\nLOADLICENSE=1\r\n");
    settings = app::readStartupSettings();
    EXPECT_FALSE(settings.alternateFont);
    EXPECT_TRUE(settings.loadLicense);
    write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", "[DEVICENAME]\r\nLANGUAGE=0\r\nLOADLICENSE=0\r\n");
    settings = app::readStartupSettings();
    EXPECT_TRUE(settings.alternateFont);
    EXPECT_FALSE(settings.loadLicense);
}

// The program runs elevated from folders others may write: once started, a
// library planted in the current directory or beside the program is never
// loaded by name in place of a system one. Where the system can, loads by
// name search the system directory alone; elsewhere the current directory
// leaves the search (not on Windows 2000, which cannot). Everywhere, what
// the system's own libraries load by name is loaded from the system
// directory: what windows need at once, what the work needs when the wizard
// has shown.
struct PlantingCase {
    const char* name;
    Machine (*machine)();
    bool dllDirectoriesUpdate;
    bool systemDirectoryOnly;  // SetDefaultDllDirectories took effect
    bool plantedLoads;         // from the current directory
};

class LibraryPlantingTest : public SimMachineTest, public ::testing::WithParamInterface<PlantingCase> {
protected:
    LibraryPlantingTest() : SimMachineTest(GetParam().machine()) {
        sim.machine().dllDirectoriesUpdate = GetParam().dllDirectoriesUpdate;
    }
};

TEST_P(LibraryPlantingTest, ALibraryPlantedBesideTheProgramOrInTheCurrentDirectoryIsNotLoaded) {
    write("C:\\MEDIUM\\language\\setup.ini", kLanguage);
    write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", kOneModel);
    write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", "[RP.PORT]\r\nLPTSUPPORTED=1\r\n");
    write("C:\\ELSEWHERE\\planted.dll", "MZ planted");
    write("C:\\MEDIUM\\beside.dll", "MZ beside the program");
    ASSERT_EQ(app::runCommandLine(app::parseCommandLine("")), app::kRunTheWizard);
    ASSERT_EQ(app::checkStartup(), StartupResult::Run);
    app::loadLibrariesForWork();
    ASSERT_TRUE(sim.SetCurrentDirectoryA("C:\\ELSEWHERE"));
    EXPECT_EQ(sim.LoadLibraryA("planted.dll") != nullptr, GetParam().plantedLoads);
    EXPECT_EQ(sim.LoadLibraryA("beside.dll") == nullptr, GetParam().systemDirectoryOnly);
    const std::vector<std::string> preloaded = sim.calls("LoadLibraryExA");
    ASSERT_FALSE(preloaded.empty());
    for (const std::string& library : preloaded)
        EXPECT_EQ(library.rfind(sim.machine().systemDirectory + "\\", 0), 0u) << library;
    for (const char* library : {"version.dll", "uxtheme.dll", "winspool.drv"})
        EXPECT_NE(std::find(preloaded.begin(), preloaded.end(), sim.machine().systemDirectory + "\\" + library),
                  preloaded.end()) << library;
}

INSTANTIATE_TEST_SUITE_P(
    Systems, LibraryPlantingTest,
    ::testing::Values(PlantingCase{"Windows2000", Machine::windows2000, false, false, true},
                      PlantingCase{"WindowsXp", Machine::windowsXp, false, false, false},
                      // Vista's shell fails with the search limited: it is not limited there.
                      PlantingCase{"VistaUpdated", Machine::windowsVista, true, false, false},
                      PlantingCase{"Windows7", Machine::windows7, false, false, false},
                      PlantingCase{"Windows7Updated", Machine::windows7, true, true, false},
                      PlantingCase{"Windows8", Machine::windows8, false, true, false}),
    [](const ::testing::TestParamInfo<PlantingCase>& info) { return std::string(info.param.name); });

// The library search is restricted before anything else: the usage box
// (/?), the program's first window for that line, is drawn with the
// system's own theme library, not one planted beside the program or in the
// current directory.
class UsageBoxLibraryTest : public SimMachineTest, public ::testing::WithParamInterface<PlantingCase> {
protected:
    UsageBoxLibraryTest() : SimMachineTest(GetParam().machine()) {
        sim.machine().dllDirectoriesUpdate = GetParam().dllDirectoriesUpdate;
    }
};

TEST_P(UsageBoxLibraryTest, TheUsageBoxDrawsWithTheSystemsThemeLibrary) {
    write("C:\\MEDIUM\\uxtheme.dll", "MZ planted beside the program");
    write("C:\\ELSEWHERE\\uxtheme.dll", "MZ planted in the current directory");
    ASSERT_TRUE(sim.SetCurrentDirectoryA("C:\\ELSEWHERE"));
    EXPECT_EQ(app::runCommandLine(app::parseCommandLine("/?")), 0);
    ASSERT_EQ(messages().size(), 1u);
    std::vector<std::string> themes;
    for (const std::string& library : sim.loadedLibraries())
        if (os::sim::FileSystem::nameOf(library) == "uxtheme.dll") themes.push_back(library);
    EXPECT_EQ(themes, std::vector<std::string>{sim.machine().systemDirectory + "\\uxtheme.dll"});
}

INSTANTIATE_TEST_SUITE_P(
    Systems, UsageBoxLibraryTest,
    ::testing::Values(PlantingCase{"WindowsXp", Machine::windowsXp, false, false, false},
                      PlantingCase{"Windows7", Machine::windows7, false, false, false},
                      PlantingCase{"Windows8", Machine::windows8, false, true, false}),
    [](const ::testing::TestParamInfo<PlantingCase>& info) { return std::string(info.param.name); });
