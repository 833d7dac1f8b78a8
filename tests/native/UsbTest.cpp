// The USB printer's identity, the USB class driver's version and the
// program's USB port record, on the simulated machine.
#include <gtest/gtest.h>

#include <functional>

#include "app/Startup.h"
#include "install/RegistryKey.h"
#include "install/UsbClassDriver.h"
#include "install/UsbIdentity.h"
#include "install/UsbPortRegistry.h"
#include "support/BuiltData.h"
#include "support/EngineFixture.h"
#include "os/sim/StandinPrinter.h"

using testing_support::EngineTest;

namespace {

const install::UsbCommandSignature kSignature = {STANDIN_PRINTER_SIGNATURE};

class UsbIdentityTest : public EngineTest {
protected:
    UsbIdentityTest() {
        write("C:\\MEDIUM\\language\\setup.ini", "[Message]\r\nIDS_ERR_ONEPRINTER=<IDS_ERR_ONEPRINTER>\r\n");
        app::reopenMessageTexts();
        write("C:\\MEDIUM\\HvUsbInt.dll", "MZ stand-in");
    }
    // Nothing of the library or its devices is left open, whatever happened.
    void expectAllReleased() {
        EXPECT_EQ(sim.openHandles(), 0u);
        for (int i = 0; i < 8; ++i)
            if (auto* printer = sim.usb().at(i)) EXPECT_EQ(printer->opens, printer->closes) << i;
    }
};

TEST_F(UsbIdentityTest, EveryFailureIsToldAndReleasesTheLibrary) {
    struct Row {
        const char* what;
        std::function<void(os::sim::SimOs&)> arrange;
        int readResult;
        const char* readMessage;  // null: nothing shown
        bool writeResult;
        const char* writeMessage;
    } rows[] = {
        {"no library", [](os::sim::SimOs& s) { s.files().remove("C:\\MEDIUM\\HvUsbInt.dll"); },
         -1, "Can not load HvUsbInt.dll", false, "Can not load HvUsbInt.dll"},
        {"no OpenDeviceX", [](os::sim::SimOs& s) { s.usb().missingFunctions().insert("OpenDeviceX"); },
         -1, "open function error", false, "open function error"},
        {"no CloseDevice", [](os::sim::SimOs& s) { s.usb().missingFunctions().insert("CloseDevice"); },
         -1, "open function error", false, "open function error"},
        {"no GetDescriptor", [](os::sim::SimOs& s) {
             s.usb().attach(0x0102);
             s.usb().missingFunctions().insert("GetDescriptor");
         },
         -1, "open function error", true, nullptr},
        {"no uWrite", [](os::sim::SimOs& s) {
             s.usb().attach(0x0102);
             s.usb().missingFunctions().insert("uWrite");
         },
         0x0102, nullptr, false, "open function error"},
        {"no printer", [](os::sim::SimOs&) {}, -1, nullptr, false, "Can not find USB device."},
        {"two printers", [](os::sim::SimOs& s) {
             s.usb().attach(0x0102, 2);
             s.usb().attach(0x0103, 6);
         },
         -2, "<IDS_ERR_ONEPRINTER>", true, nullptr},
        {"descriptor unreadable", [](os::sim::SimOs& s) { s.usb().attach(0x0102).descriptorReadable = false; },
         -1, "Get Device ID error", true, nullptr},
        {"writes refused", [](os::sim::SimOs& s) { s.usb().attach(0x0102).acceptsWrites = false; },
         0x0102, nullptr, false, "write ID error"},
    };
    for (const Row& row : rows) {
        for (bool reading : {true, false}) {
            SCOPED_TRACE(std::string(row.what) + (reading ? ", read" : ", write"));
            sim.usb().missingFunctions().clear();
            for (int i = 0; i < 8; ++i) sim.usb().detach(i);
            write("C:\\MEDIUM\\HvUsbInt.dll", "MZ stand-in");
            sim.desktop().messageBoxes().clear();
            row.arrange(sim);
            std::vector<WORD> before;
            for (int i = 0; i < 8; ++i)
                if (auto* printer = sim.usb().at(i)) before.push_back(printer->deviceValue());
            const char* expected = reading ? row.readMessage : row.writeMessage;
            if (reading)
                EXPECT_EQ(install::ReadUsbDeviceId(), row.readResult);
            else
                EXPECT_EQ(install::WriteUsbDeviceId(3, kSignature), row.writeResult);
            // A refused or failed change leaves every printer's number as it was.
            std::vector<WORD> after;
            for (int i = 0; i < 8; ++i)
                if (auto* printer = sim.usb().at(i)) after.push_back(printer->deviceValue());
            if (reading || !row.writeResult) EXPECT_EQ(after, before);
            if (expected) {
                ASSERT_EQ(messages().size(), 1u);
                EXPECT_EQ(messages()[0], expected);
                // An application box: its OK gets the exclamation mark.
                EXPECT_EQ(sim.desktop().messageBoxes()[0].type & 0xF0u, UINT(MB_ICONEXCLAMATION));
            } else {
                EXPECT_TRUE(messages().empty());
            }
            expectAllReleased();
        }
    }
}

TEST_F(UsbIdentityTest, SeveralPrintersAreCountedWithoutReadingADescriptor) {
    auto& first = sim.usb().attach(0x0102, 1);
    first.descriptorReadable = false;  // a read would show its own message
    sim.usb().attach(0x0103, 4);
    EXPECT_EQ(install::ReadUsbDeviceId(), install::kSeveralUsbPrinters);
    EXPECT_EQ(messages(), std::vector<std::string>{"<IDS_ERR_ONEPRINTER>"});
    EXPECT_EQ(sim.usb().at(4)->opens, 1);  // probing stopped at the second printer
}

TEST_F(UsbIdentityTest, TheDeviceValueGivesThePortNumberAndAWrittenNumberReadsBack) {
    sim.usb().attach(0x0102, 3);
    int value = install::ReadUsbDeviceId();
    EXPECT_EQ(value, 258);
    EXPECT_EQ(install::usbPortNumber(value), 3);

    ASSERT_TRUE(install::WriteUsbDeviceId(4, kSignature));
    const std::vector<BYTE>& command = sim.usb().at(3)->received.back();
    ASSERT_EQ(command.size(), 10u);
    EXPECT_EQ(command[9], 3);
    EXPECT_EQ(install::usbPortNumber(install::ReadUsbDeviceId()), 4);
    expectAllReleased();
}

TEST_F(UsbIdentityTest, NumbersOutsideOneToEightAreRefusedSilently) {
    sim.usb().attach(0x0102);
    for (unsigned char number : {0, 9, 255}) {
        EXPECT_FALSE(install::WriteUsbDeviceId(number, kSignature)) << int(number);
    }
    EXPECT_TRUE(messages().empty());
    EXPECT_TRUE(sim.usb().at(0)->received.empty());
    EXPECT_TRUE(sim.loadedLibraries().empty()) << "nothing loaded";
    EXPECT_TRUE(install::WriteUsbDeviceId(8, kSignature));
}

// The maker's library may need libraries of its own, beside it on the
// medium: they are found on every system, also where the program has
// limited every load by name to the system directory (Windows 8, and 7 with
// its update); one of the same name planted in the current directory is not.
struct CompanionCase {
    const char* name;
    os::sim::Machine (*machine)();
    bool dllDirectoriesUpdate;
};

class UsbLibraryCompanionTest : public ::testing::TestWithParam<CompanionCase>, public testing_support::EngineMachine {
protected:
    UsbLibraryCompanionTest() : EngineMachine(GetParam().machine()) {
        sim.machine().dllDirectoriesUpdate = GetParam().dllDirectoriesUpdate;
    }
};

TEST_P(UsbLibraryCompanionTest, TheLibrarysOwnLibrariesAreFoundBesideIt) {
    const std::vector<uint8_t> library = testData("pe/withcompanion.dll"), companion = testData("pe/companion.dll");
    REQUIRE_BUILT_DATA(!library.empty() && !companion.empty(), "the PE test libraries");
    sim.files().writeFile("C:\\MEDIUM\\HvUsbInt.dll", library);
    sim.files().writeFile("C:\\MEDIUM\\companion.dll", companion);
    sim.files().writeFile("C:\\ELSEWHERE\\companion.dll", companion);
    ASSERT_TRUE(sim.SetCurrentDirectoryA("C:\\ELSEWHERE"));
    app::restrictLibrarySearch();
    sim.usb().attach(0x0102);
    EXPECT_EQ(install::ReadUsbDeviceId(), 0x0102);
    EXPECT_EQ(messages(), std::vector<std::string>{});
    std::vector<std::string> companions;
    for (const std::string& loaded : sim.everLoaded())
        if (os::sim::FileSystem::nameOf(loaded) == "companion.dll") companions.push_back(loaded);
    EXPECT_EQ(companions, std::vector<std::string>{"C:\\MEDIUM\\companion.dll"});
}

INSTANTIATE_TEST_SUITE_P(Systems, UsbLibraryCompanionTest,
                         ::testing::Values(CompanionCase{"WindowsXp", os::sim::Machine::windowsXp, false},
                                           CompanionCase{"Windows7", os::sim::Machine::windows7, false},
                                           CompanionCase{"Windows7Updated", os::sim::Machine::windows7, true},
                                           CompanionCase{"Windows8", os::sim::Machine::windows8, false}),
                         [](const ::testing::TestParamInfo<CompanionCase>& info) { return std::string(info.param.name); });

// --- The class driver's version ---------------------------------------------

class UsbClassDriverTest : public EngineTest {
protected:
    void place(const char* testLibrary, const std::string& path) {
        if (testLibrary) sim.files().writeFile(path, testData(std::string("pe/") + testLibrary + ".dll"));
    }
};

TEST_F(UsbClassDriverTest, TheMediumsCopyIsInstalledWhenNoneIsOrItIsNewer) {
    struct Row {
        const char* installed;  // test library placed as the installed copy, or none
        const char* medium;
        int expected;
    } rows[] = {
        {nullptr, "ver1002", -1},       // nothing installed
        {"ver1001", "ver1002", 1},      // newer on the medium
        {"ver1002", "ver1001", 0},      // older on the medium
        {nullptr, nullptr, 0},          // neither: equal texts
        {"ver5126", "ver1009", 0},      // 5.1.2600.0 is newer than 1.0.0.9
        {"ver1001", nullptr, 0},        // nothing on the medium
        {"ver1002", "ver1002", 0},      // the same
        {"emptyver", "ver1001", -1},    // an empty version string counts as none
        {"nores", "ver1001", -1},       // so does a file without a version resource
        // Each part is a number: 1.0.0.10 is newer than 1.0.0.9, not older.
        {"ver1009", "ver10010", 1},
        {"ver10010", "ver1009", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.installed ? row.installed : "none") + " installed, " +
                     (row.medium ? row.medium : "none") + " on the medium");
        sim.files().remove(install::installedUsbDriverPath());
        sim.files().remove(install::mediumUsbDriverPath());
        place(row.installed, install::installedUsbDriverPath());
        place(row.medium, install::mediumUsbDriverPath());
        EXPECT_EQ(install::CompareUsbDriverVersions(), row.expected);
    }
}

TEST_F(UsbClassDriverTest, VersionTextsComeFromTheFirstTranslation) {
    EXPECT_EQ(install::installedUsbDriverPath(), "C:\\WINDOWS\\system32\\drivers\\bulkusb.sys");
    EXPECT_EQ(install::mediumUsbDriverPath(), "C:\\MEDIUM\\USBDRV\\bulkusb.sys");
    place("ver5126", "C:\\x.dll");
    EXPECT_EQ(install::FileVersionText("C:\\x.dll"), "5.1.2600.0");
    EXPECT_EQ(install::FileVersionText("C:\\missing.dll"), "0.0.0.0");
    sim.faults().fail("VerQueryValueA", ERROR_RESOURCE_TYPE_NOT_FOUND);
    EXPECT_EQ(install::FileVersionText("C:\\x.dll"), "0.0.0.0");
}

// --- The USB port record -----------------------------------------------------

class UsbPortRecordTest : public EngineTest {
protected:
    bool hasValue(const char* key, const char* name) {
        os::sim::Registry::Value value;
        return sim.registry().getValue(HKEY_LOCAL_MACHINE, key, name, &value);
    }
};

TEST_F(UsbPortRecordTest, RegisterUsbPortRecordsThePortAndResetsTheSlots) {
    write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", "[SUPPORTED-USB-DEVICE]\r\nUSB_M_2=5\r\n");
    auto dword = [&](const char* key, const char* name) {
        return sim.registry().getDword(HKEY_LOCAL_MACHINE, key, name);
    };
    install::RegisterUsbPort("USB_M_2");
    EXPECT_EQ(dword(install::kPortNameKey, "USB_M_2"), 5u);
    for (const char* slot : {"D1", "D4", "D8"}) EXPECT_EQ(dword(install::kPrinterPortKey, slot), 0u);

    // A second printer: its port missing from the table records 0; the slots
    // are reset again and the first port's entries stay.
    install::RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, install::kPrinterPortKey));
    key.SetDword("D3", 7);
    key.SetDword("USB_M_2", 0);
    key.Close();
    install::RegisterUsbPort("USB_N_1");
    EXPECT_EQ(dword(install::kPortNameKey, "USB_N_1"), 0u);
    EXPECT_TRUE(hasValue(install::kPortNameKey, "USB_N_1"));
    EXPECT_EQ(dword(install::kPortNameKey, "USB_M_2"), 5u);
    EXPECT_EQ(dword(install::kPrinterPortKey, "D3"), 0u);
    EXPECT_TRUE(hasValue(install::kPrinterPortKey, "USB_M_2"));
}

TEST_F(UsbPortRecordTest, RegisterUsbPortGoesOnWhenTheKeysCannotBeMade) {
    sim.faults().fail("RegCreateKeyExA", ERROR_ACCESS_DENIED);
    install::RegisterUsbPort("USB_M_1");
    EXPECT_FALSE(hasValue(install::kPortNameKey, "USB_M_1"));
    EXPECT_TRUE(messages().empty());
}

}  // namespace
