// The driver-file copier and the staging of the Unidrv support files.
#include "install/ComponentInstallers.h"
#include "install/FileStaging.h"
#include "support/EngineFixture.h"

using install::copyDriverFile;
using testing_support::EngineTest;

class FileStagingTest : public EngineTest {
protected:
    int copy(std::string name, int target, int targetOs = 3, bool prefixed = false) {
        lastName = name;
        return copyDriverFile(lastName, target, targetOs, prefixed, error);
    }
    std::string error;
    std::string lastName;
};

TEST_F(FileStagingTest, CopiesFromTheMediumUnderTheUpperCaseName) {
    onMedium("posdrv.dll", "driver");
    char name[] = "posdrv.dll";
    EXPECT_EQ(copyDriverFile(name, install::kDriverDirectory, 3, false, error), 1);
    EXPECT_STREQ(name, "POSDRV.DLL");
    EXPECT_EQ(read(driverDirectory() + "\\POSDRV.DLL"), "driver");
    EXPECT_EQ(error, "");
}

TEST_F(FileStagingTest, EachTargetHasItsDirectory) {
    onMedium("A.BIN", "a");
    EXPECT_EQ(copy("A.BIN", install::kProcessorDirectory), 1);
    EXPECT_TRUE(exists(processorDirectory() + "\\A.BIN"));
    EXPECT_EQ(copy("A.BIN", install::kSystemDirectory), 1);
    EXPECT_TRUE(exists(systemDirectory() + "\\A.BIN"));
    sim.files().makeDirectories(windowsDirectory() + "\\inf");
    EXPECT_EQ(copy("A.BIN", install::kInfDirectory), 1);
    EXPECT_TRUE(exists(windowsDirectory() + "\\inf\\A.BIN"));
    EXPECT_EQ(copy("A.BIN", install::kVersion3Directory), 1);
    EXPECT_TRUE(exists(driverDirectory() + "\\3\\A.BIN"));
    EXPECT_EQ(copy("A.BIN", 12345), 0);
    EXPECT_EQ(error, "<IDS_ERR_DIRTYPE>");
}

TEST_F(FileStagingTest, AMissingNameCopiesNothingAndSaysNothing) {
    error = "earlier";
    EXPECT_EQ(copy("0", install::kDriverDirectory), 0);
    EXPECT_EQ(copy("0ABC.DLL", install::kDriverDirectory), 0);
    EXPECT_EQ(copyDriverFile(static_cast<char*>(nullptr), install::kDriverDirectory, 3, false, error), 0);
    EXPECT_EQ(error, "earlier");
    EXPECT_TRUE(sim.calls("CopyFileA").empty());
}

TEST_F(FileStagingTest, ThePrefixedCopyIsNamedNPlusTheName) {
    onMedium("POSCOM.DLL");
    EXPECT_EQ(copy("POSCOM.DLL", install::kSystemDirectory, 3, true), 1);
    EXPECT_TRUE(exists(systemDirectory() + "\\nPOSCOM.DLL"));
    EXPECT_EQ(lastName, "POSCOM.DLL");
}

TEST_F(FileStagingTest, NamesLongerThanEighteenCharactersArePrefixedWhole) {
    const std::string name = "A_VERY_LONG_MONITOR_NAME.DLL";
    onMedium(name);
    EXPECT_EQ(copy(name, install::kSystemDirectory, 3, true), 1);
    EXPECT_TRUE(exists(systemDirectory() + "\\n" + name));
}

TEST_F(FileStagingTest, AReadOnlyDestinationIsReplaced) {
    onMedium("X.DLL", "new");
    write(driverDirectory() + "\\X.DLL", "old");
    sim.files().setAttributes(driverDirectory() + "\\X.DLL", FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(copy("X.DLL", install::kDriverDirectory), 1);
    EXPECT_EQ(read(driverDirectory() + "\\X.DLL"), "new");
}

TEST_F(FileStagingTest, ADestinationInUseOrLockedIsReportedByItsCodeAlone) {
    onMedium("X.DLL");
    write(systemDirectory() + "\\X.DLL", "loaded");
    auto held = sim.files().hold(systemDirectory() + "\\X.DLL");
    error = "untouched";
    EXPECT_EQ(copy("X.DLL", install::kSystemDirectory), 32);
    sim.files().release(held);
    auto locked = sim.files().hold(systemDirectory() + "\\X.DLL", FILE_SHARE_READ | FILE_SHARE_WRITE, true);
    EXPECT_EQ(copy("X.DLL", install::kSystemDirectory), 5);
    sim.files().release(locked);
    EXPECT_EQ(error, "untouched");
    EXPECT_EQ(read(systemDirectory() + "\\X.DLL"), "loaded");
}

TEST_F(FileStagingTest, AFailedCopyNamesTheFileTheCodeAndTheSource) {
    onMedium("OTHER.DLL");
    EXPECT_EQ(copy("MISSING.DLL", install::kDriverDirectory, 3, true), 0);
    EXPECT_EQ(error, "<IDS_ERR_COPYFIEL>nMISSING.DLL  er = 2C:\\MEDIUM\\W32\\MISSING.DLL");
}

// Only a name that Windows reads as written, in the folder it is copied to,
// is copied or deleted; each rule has its near miss, which passes.
TEST(PlainFileNameTest, NamesWindowsReadsOtherwiseAreRefused) {
    const struct {
        const char* name;
        bool plain;
    } rows[] = {
        {"POSCOM.DLL", true},      {"..\\victim.ini", false}, {"W32/M.INI", false},   {"D:SER.DLL", false},
        {"LOCALUI.DLL.", false},   {"LOCALUI.DLL ", false},   {".", false},           {"M.GPD.INI", true},
        {"LOCALU~1.DLL", false},   {"A~B.DLL", true},         {"CON", false},         {"con.dll", false},
        {"NUL .TXT", false},       {"AUX.X.Y", false},        {"PRN", false},         {"COM1.DLL", false},
        {"LPT9", false},           {"COM\xB9.DLL", false},   {"CONIN$", false},      {"conout$.dll", false},
        {"CLOCK$", false},         {"COM10.DLL", true},       {"LPT0.DLL", true},     {"CONSOLE.DLL", true},
        {"NULL.DLL", true},        {"MY.CON", true},          {"LPT.DLL", true},
    };
    for (const auto& row : rows) EXPECT_EQ(install::isPlainFileName(row.name), row.plain) << row.name;
}

// Windows' own files are known by the name Windows reads: case aside,
// without trailing dots and blanks.
TEST(PlainFileNameTest, WindowsOwnFilesAreKnownAsWindowsReadsTheirNames) {
    const struct {
        const char* name;
        bool own;
    } rows[] = {{"localui.dll", true}, {"LOCALUI.DLL. .", true}, {"LOCALUI.DLL2", false},
                {"LOCALUI", false},    {"...", false},          {"", false}};
    for (const auto& row : rows) EXPECT_EQ(install::isWindowsOwnFile(row.name), row.own) << row.name;
}

TEST_F(FileStagingTest, UnavailableDirectoriesAreReported) {
    onMedium("X.DLL");
    struct Case {
        const char* call;
        int target;
        const char* text;
    } cases[] = {{"GetPrinterDriverDirectoryA", install::kDriverDirectory, "<IDS_ERR_GETDRIVERDIR>"},
                 {"GetPrinterDriverDirectoryA", install::kVersion3Directory, "<IDS_ERR_GETDRIVERDIR>"},
                 {"GetPrintProcessorDirectoryA", install::kProcessorDirectory, "<IDS_ERR_GETPRODIR>"},
                 {"GetSystemDirectoryA", install::kSystemDirectory, "<IDS_ERR_GETSYSDIR>"},
                 {"GetWindowsDirectoryA", install::kInfDirectory, "<IDS_ERR_GETWINDIR>"},
                 {"GetCurrentDirectoryA", install::kDriverDirectory, "<IDS_ERR_GETCURDIR>"}};
    for (const auto& c : cases) {
        sim.faults().fail(c.call, ERROR_ACCESS_DENIED).times(1);
        error.clear();
        EXPECT_EQ(copy("X.DLL", c.target), 0) << c.call;
        EXPECT_EQ(error, c.text) << c.call;
    }
    EXPECT_TRUE(sim.calls("CopyFileA").empty());
}

class DriverCacheTest : public FileStagingTest {
protected:
    std::string cacheFolder() { return windowsDirectory() + "\\Driver Cache\\i386"; }
    void cabinet(const std::string& name, const std::string& testDataName) {
        sim.files().writeFile(cacheFolder() + "\\" + name, testData(testDataName));
    }
};

// The spooler loads these files as the system account: they are extracted
// into a new folder of the run's own, which only administrators and the
// system may enter, taken from there alone, and removed after the install.
TEST_F(DriverCacheTest, UnidrvFilesComeFromTheCabinetsIntoAPrivateFolderOnce) {
    cabinet("sp3.cab", "stored.cab");
    cabinet("driver.cab", "mszip.cab");
    EXPECT_EQ(copy("unires.dll", install::kDriverDirectory), 1);
    EXPECT_EQ(lastName, "UNIRES.DLL");
    EXPECT_EQ(copy("TTFSUB.GPD", install::kDriverDirectory), 1);
    EXPECT_EQ(copy("STDNAMES.GPD", install::kDriverDirectory), 1);
    EXPECT_EQ(sim.calls("SetupIterateCabinetA").size(), 2u) << "the extraction runs once";
    EXPECT_EQ(install::driverCache().cabinets.size(), 2u);
    const std::string folder = install::driverCache().folder;
    const std::string temp = sim.machine().tempDirectory;
    ASSERT_EQ(folder.rfind(temp + "PDS", 0), 0u) << folder;
    EXPECT_EQ(folder.size(), temp.size() + 3 + 16) << "sixteen random hexadecimal digits";
    auto made = sim.files().find(folder);
    ASSERT_TRUE(made && made->directory);
    EXPECT_TRUE(made->daclProtected) << "nothing inherited from the temporary folder";
    ASSERT_EQ(made->dacl.size(), 2u);
    EXPECT_EQ(made->dacl[0].sid, "S-1-5-32-544");
    EXPECT_EQ(made->dacl[1].sid, "S-1-5-18");
    EXPECT_TRUE(exists(folder + "\\unires.dll"));
    EXPECT_FALSE(exists(folder + "\\readme.txt")) << "only the six Unidrv files are extracted";
    EXPECT_TRUE(exists(driverDirectory() + "\\UNIRES.DLL"));
    EXPECT_TRUE(exists(driverDirectory() + "\\STDNAMES.GPD"));
    EXPECT_TRUE(sim.calls("CopyFileA").size() == 3u);
    install::removeDriverCacheFolder();
    EXPECT_FALSE(sim.files().find(folder));

    // A second run draws another name.
    install::resetDriverCache();
    EXPECT_EQ(copy("UNIRES.DLL", install::kDriverDirectory), 1);
    EXPECT_NE(install::driverCache().folder, folder);
}

// Whatever lies in the shared temporary folder, or in a folder of the name
// drawn, is someone else's: it is never taken.
TEST_F(DriverCacheTest, WhatOthersLeftInTheTemporaryFolderIsNeverTaken) {
    struct Row {
        const char* what;
        const char* cabinet;     // in the driver cache; null: none
        const char* fault;       // a call that fails once
        DWORD error;
        const char* expected;    // UNIRES.DLL in the driver directory afterwards
    } rows[] = {
        {"a cabinet that cannot be read", "broken.cab", nullptr, 0, "from the medium"},
        {"no random name to be had", "stored.cab", "CryptGenRandom", ERROR_INVALID_HANDLE, "from the medium"},
        {"no folder can be made", "stored.cab", "CreateDirectoryA", ERROR_ACCESS_DENIED, "from the medium"},
        {"the first name drawn is taken", "stored.cab", "CreateDirectoryA", ERROR_ALREADY_EXISTS, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        install::resetDriverCache();
        sim.files().remove(driverDirectory() + "\\UNIRES.DLL");
        for (const char* name : {"broken.cab", "stored.cab"}) sim.files().remove(cacheFolder() + "\\" + name);
        if (std::string(row.cabinet) == "broken.cab")
            sim.files().writeFile(cacheFolder() + "\\broken.cab", std::string("not a cabinet"));
        else
            cabinet(row.cabinet, "stored.cab");
        onMedium("UNIRES.DLL", "from the medium");
        write(sim.machine().tempDirectory + "UNIRES.DLL", "planted");
        write(sim.machine().tempDirectory + "unires.dll", "planted");
        if (row.fault) sim.faults().fail(row.fault, row.error).times(1);
        EXPECT_EQ(copy("UNIRES.DLL", install::kDriverDirectory, 2), 1) << error;
        const std::string copied = read(driverDirectory() + "\\UNIRES.DLL");
        EXPECT_NE(copied, "planted");
        if (row.expected) EXPECT_EQ(copied, row.expected);
        else EXPECT_NE(copied, "from the medium") << "taken from the cabinet, through a folder of another name";
        install::removeDriverCacheFolder();
    }
}

TEST_F(DriverCacheTest, WithoutCabinetsTheMediumServes) {
    onMedium("UNIDRV.DLL", "from the medium");
    EXPECT_EQ(copy("UNIDRV.DLL", install::kDriverDirectory), 1);
    EXPECT_EQ(read(driverDirectory() + "\\UNIDRV.DLL"), "from the medium");
    EXPECT_FALSE(install::driverCache().extractionPending);
}

TEST_F(DriverCacheTest, AFileMissingFromTheCabinetsComesFromTheMedium) {
    cabinet("sp3.cab", "stored.cab");
    onMedium("UNIDRV.HLP", "help from the medium");
    EXPECT_EQ(copy("UNIDRV.HLP", install::kDriverDirectory, 4), 1);
    EXPECT_EQ(read(driverDirectory() + "\\UNIDRV.HLP"), "help from the medium");
}

class Windows7StagingTest : public EngineTest {
protected:
    Windows7StagingTest() : EngineTest(os::sim::Machine::windows7()) {}
    int copy(const std::string& name) {
        std::string text = name;
        return copyDriverFile(text, install::kDriverDirectory, 7, false, error);
    }
    std::string repository() { return windowsDirectory() + "\\System32\\DriverStore\\FileRepository"; }
    std::string error;
};

TEST_F(Windows7StagingTest, UnidrvFilesComeFromTheFirstNtprintPackage) {
    write(repository() + "\\ntprint.inf_x86_1\\I386\\UNIDRV.DLL", "first");
    write(repository() + "\\ntprint.inf_x86_2\\I386\\UNIDRV.DLL", "second");
    EXPECT_EQ(copy("unidrv.dll"), 1);
    EXPECT_EQ(read(driverDirectory() + "\\UNIDRV.DLL"), "first");
}

TEST_F(Windows7StagingTest, WithoutAPackageThereIsNoFallBackToTheMedium) {
    onMedium("UNIDRV.DLL");
    EXPECT_EQ(copy("UNIDRV.DLL"), 0);
    EXPECT_EQ(error, "Couldn't find system fiels.");
    EXPECT_FALSE(exists(driverDirectory() + "\\UNIDRV.DLL"));
}

TEST_F(Windows7StagingTest, AMissingFileInThePackageIsACopyFailure) {
    sim.files().makeDirectories(repository() + "\\ntprint.inf_x86_1\\I386");
    EXPECT_EQ(copy("TTFSUB.GPD"), 0);
    EXPECT_EQ(error, "<IDS_ERR_COPYFIEL>TTFSUB.GPD  er = 2" + repository() +
                         "\\ntprint.inf_x86_1\\I386\\TTFSUB.GPD");
    EXPECT_EQ(sim.openHandles(), 0u) << "the search is closed on every path";
}

TEST_F(Windows7StagingTest, AnUnclosedSearchFailsTheCopy) {
    write(repository() + "\\ntprint.inf_x86_1\\I386\\UNIRES.DLL", "x");
    sim.faults().fail("FindClose", ERROR_INVALID_HANDLE);
    EXPECT_EQ(copy("UNIRES.DLL"), 0);
    EXPECT_EQ(error, "Couldn't close search handle.");
    EXPECT_TRUE(exists(driverDirectory() + "\\UNIRES.DLL")) << "what was copied stays";
}

TEST_F(Windows7StagingTest, OtherFilesStillComeFromTheMedium) {
    onMedium("POSDRV.DLL");
    EXPECT_EQ(copy("POSDRV.DLL"), 1);
}

// Windows 8 and later, and 64-bit Windows 7: the package of the architecture
// installed for that holds the file, Windows' own answer first; beside it lie packages of the
// version-4 model, of the other architecture, and versions updates left.
TEST(NewerWindowsStagingTest, UnidrvFilesComeFromAPackageOfTheMachinesArchitectureThatHoldsThem) {
    using os::sim::Machine;
    struct Case {
        const char* what;
        Machine machine;
        std::vector<const char*> folders;  // in the store; "+" after the name: it holds the file
        const char* windowsNames;          // the folder Windows gives for its ntprint.inf; null: none
        const char* from;                  // the folder copied from; null: "Couldn't find system fiels."
    };
    const Case cases[] = {
        {"Windows 8, one package", Machine::windows8(), {"ntprint.inf_x86_4d1e+"}, nullptr, "ntprint.inf_x86_4d1e"},
        {"Windows 8.1, a version left without its files first", Machine::windows81(),
         {"ntprint.inf_x86_0a77", "ntprint.inf_x86_b2c1+", "ntprint4.inf_x86_11aa"}, nullptr, "ntprint.inf_x86_b2c1"},
        {"Windows 10, the version-4 package alone", Machine::windows10(), {"ntprint4.inf_x86_11aa"}, nullptr, nullptr},
        {"Windows 10, the other architecture's package first", Machine::windows10(),
         {"ntprint.inf_amd64_0001+", "ntprint.inf_x86_9f3e+"}, nullptr, "ntprint.inf_x86_9f3e"},
        {"Windows 10, Windows names the newer of two versions", Machine::windows10(),
         {"ntprint.inf_x86_1111+", "ntprint.inf_x86_2222+"}, "ntprint.inf_x86_2222", "ntprint.inf_x86_2222"},
        {"Windows 11, Windows names a package without the file", Machine::windows11(),
         {"ntprint.inf_x86_1111+", "ntprint.inf_x86_2222"}, "ntprint.inf_x86_2222", "ntprint.inf_x86_1111"},
        {"Windows 11, Windows names the other architecture's package", Machine::windows11(),
         {"ntprint.inf_amd64_3333+", "ntprint.inf_x86_4444+"}, "ntprint.inf_amd64_3333", "ntprint.inf_x86_4444"},
        {"64-bit Windows 7, the x86 package first", Machine::sixtyFourBit(Machine::windows7()),
         {"ntprint.inf_x86_neutral_5555+", "ntprint.inf_amd64_neutral_6666+"}, nullptr, "ntprint.inf_amd64_neutral_6666"},
        {"64-bit Windows 10, Windows names its x64 package", Machine::sixtyFourBit(Machine::windows10()),
         {"ntprint.inf_x86_7777+", "ntprint.inf_amd64_8888+"}, "ntprint.inf_amd64_8888", "ntprint.inf_amd64_8888"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::EngineMachine m(c.machine);
        const std::string repository = m.windowsDirectory() + "\\System32\\DriverStore\\FileRepository\\";
        for (std::string folder : c.folders) {
            const bool holds = folder.back() == '+';
            if (holds) folder.pop_back();
            const std::string subfolder = folder.find("amd64") != std::string::npos ? "\\Amd64" : "\\I386";
            m.sim.files().makeDirectories(repository + folder + subfolder);
            if (holds) m.write(repository + folder + subfolder + "\\TTFSUB.GPD", folder);
        }
        if (c.windowsNames) m.sim.machine().driverStorePackages["ntprint.inf"] = repository + c.windowsNames;
        std::string name = "ttfsub.gpd", error;
        const int copied = copyDriverFile(name, install::kDriverDirectory, 7, false, error);
        if (c.from) {
            EXPECT_EQ(copied, 1) << error;
            const std::string environmentFolder = c.machine.environment() == "Windows x64" ? "\\x64" : "\\W32X86";
            EXPECT_EQ(m.read(m.sim.machine().systemDirectory + "\\spool\\DRIVERS" + environmentFolder + "\\TTFSUB.GPD"),
                      c.from);
        } else {
            EXPECT_EQ(copied, 0);
            EXPECT_EQ(error, "Couldn't find system fiels.");
        }
        EXPECT_EQ(m.sim.openHandles(), 0u);
    }
}

TEST_F(FileStagingTest, StagingOnXpCopiesTheThreeSupportFiles) {
    onMedium("TTFSUB.GPD");
    onMedium("STDNAMES.GPD");
    install::stageUnidrvFiles(3, true, error);
    EXPECT_TRUE(exists(driverDirectory() + "\\TTFSUB.GPD"));
    EXPECT_TRUE(exists(driverDirectory() + "\\STDNAMES.GPD"));
    // UNIRES.DLL is missing everywhere, and its failure is not reported.
    EXPECT_EQ(error, "");
    size_t copies = sim.calls("CopyFileA").size();
    install::stageUnidrvFiles(3, false, error);
    install::stageUnidrvFiles(1, true, error);
    EXPECT_EQ(sim.calls("CopyFileA").size(), copies) << "nothing to stage";
}

class NinetyEightStagingTest : public EngineTest {
protected:
    NinetyEightStagingTest() : EngineTest(os::sim::Machine::windows98()) {}
    std::string error;
};

TEST_F(NinetyEightStagingTest, AnInstalledUnidrvIsKept) {
    onMedium("ICONLIB.DLL");
    write(systemDirectory() + "\\UNIDRV.DLL", "installed");
    install::stageUnidrvFiles(0, false, error);
    EXPECT_TRUE(exists(systemDirectory() + "\\ICONLIB.DLL")) << "the 98 driver directory is the system directory";
    EXPECT_EQ(read(systemDirectory() + "\\UNIDRV.DLL"), "installed");
    EXPECT_EQ(sim.calls("CopyFileA").size(), 1u);
    EXPECT_EQ(sim.openHandles(), 0u);
}

TEST_F(NinetyEightStagingTest, UnidrvComesFromTheBackupOrElseTheMedium) {
    onMedium("ICONLIB.DLL");
    write(windowsDirectory() + "\\Sysbckup\\UNIDRV.DLL", "backup");
    install::stageUnidrvFiles(0, false, error);
    EXPECT_EQ(read(systemDirectory() + "\\UNIDRV.DLL"), "backup");
    sim.files().remove(systemDirectory() + "\\UNIDRV.DLL");
    sim.files().remove(windowsDirectory() + "\\Sysbckup\\UNIDRV.DLL");
    onMedium("UNIDRV.DLL", "medium");
    install::stageUnidrvFiles(0, false, error);
    EXPECT_EQ(read(systemDirectory() + "\\UNIDRV.DLL"), "medium");
}

TEST_F(NinetyEightStagingTest, AMissingSystemOrWindowsDirectoryIsReportedAsMemory) {
    onMedium("ICONLIB.DLL");
    onMedium("UNIDRV.DLL");
    for (const char* call : {"GetSystemDirectoryA", "GetWindowsDirectoryA"}) {
        SCOPED_TRACE(call);
        error.clear();
        sim.faults().clear();
        sim.faults().fail(call, ERROR_NOT_ENOUGH_MEMORY);
        install::stageUnidrvFiles(0, false, error);
        EXPECT_EQ(error, "<IDS_ERR_ALLOCMEMORY>");
        EXPECT_FALSE(exists(systemDirectory() + "\\UNIDRV.DLL")) << "without the directory Unidrv is not looked for";
        EXPECT_TRUE(sim.calls("CreateFileA").empty());
    }
}
