// The checks the wizard makes when the user leaves the printer page and the
// OS page: which category file and port section they read, the advanced-mode
// rule, the model's support for each target system and the baud preset with
// its list table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/WizardChecks.h"
#include "support/SimMachine.h"

namespace {

class WizardChecksTest : public testing_support::SimMachineTest {
protected:
    // A model's port section in the receipt file.
    void receiptModel(const std::string& model, const std::string& keys) {
        write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", "[" + model + ".PORT]\r\n" + keys);
    }
    size_t profileReads() { return sim.calls("GetPrivateProfileStringA").size(); }

    app::WizardChecks checks;
};

TEST_F(WizardChecksTest, TheModelsCategoryFileBesideTheProgramAndItsPortSectionAreRemembered) {
    const char* files[] = {"DRVCONFIG\\setup_receipt.ini", "DRVCONFIG\\setup_Ticket.ini",
                           "DRVCONFIG\\setup_Lable.ini", "DRVCONFIG\\setup_Embedded.ini"};
    // The program runs from elsewhere than the current directory.
    sim.machine().modulePath = "D:\\DISC\\setup.exe";
    for (int category = 0; category < 4; ++category) {
        checks.leavePrinterPage(category, "TK-300");
        EXPECT_EQ(checks.checkPath(), std::string("D:\\DISC\\") + files[category]);
        EXPECT_EQ(checks.checkSection(), "TK-300.PORT");
    }
    // No category: the directory alone, which reads as no file.
    EXPECT_FALSE(checks.leavePrinterPage(-1, "TK-300"));
    EXPECT_EQ(checks.checkPath(), "D:\\DISC\\");
}

TEST_F(WizardChecksTest, AdvancedModeNeedsAnAdvancedSetupOtherThanZero) {
    struct Case {
        const char* keys;
        bool advanced;
    };
    for (const Case& c : std::vector<Case>{{"AdvancedSetup=1\r\n", true},
                                          {"AdvancedSetup=2\r\n", true},
                                          {"AdvancedSetup=1 ; comment\r\n", true},
                                          {"AdvancedSetup=0\r\n", false},
                                          {"AdvancedSetup=\r\n", false},
                                          {"AdvancedSetup=yes\r\n", false},
                                          {"USBSUPPORTED=1\r\n", false}}) {
        receiptModel("RP-80", c.keys);
        EXPECT_EQ(checks.leavePrinterPage(0, "RP-80"), c.advanced) << c.keys;
    }
    // Another model's section is not this model's.
    receiptModel("RP-80", "AdvancedSetup=1\r\n");
    EXPECT_FALSE(checks.leavePrinterPage(0, "RP-8"));
    // A configuration that cannot be read allows the typical mode only.
    sim.faults().fail("GetPrivateProfileStringA", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(checks.leavePrinterPage(0, "RP-80"));
}

TEST_F(WizardChecksTest, EachTargetNeedsItsOwnSupportKeyAnd98XpAnd2000NeedNone) {
    struct Target {
        int targetOs;
        const char* key;
        const char* refusal;
    };
    const std::vector<Target> targets = {
        {0, nullptr, nullptr},
        {1, "SystemNTSupported", "IDS_NOTSUPPORTNT"},
        {2, nullptr, nullptr},
        {3, nullptr, nullptr},
        {4, "System2003Supported", "IDS_NOTSUPPORT2003"},
        {5, "SystemVistaSupported", "IDS_NOTSUPPORTVISTA"},
        {6, "System2008Supported", "IDS_NOTSUPPORT2008"},
        {7, "SystemWin7Supported", "IDS_NOTSUPPORTWin7"},
    };
    const char* allKeys[] = {"SystemNTSupported", "System2003Supported", "SystemVistaSupported",
                             "System2008Supported", "SystemWin7Supported"};
    for (const Target& t : targets) {
        SCOPED_TRACE(t.targetOs);
        // Every key 1 except the target's own.
        std::string keys = "BaudRate=9600\r\n";
        for (const char* key : allKeys)
            keys += std::string(key) + "=" + (t.key && std::string(key) == t.key ? "0" : "1") + "\r\n";
        receiptModel("RP-80", keys);
        checks.leavePrinterPage(0, "RP-80");
        app::WizardChecks::OsPageOutcome outcome = checks.leaveOsPage(t.targetOs);
        if (t.refusal)
            EXPECT_STREQ(outcome.refusal, t.refusal);
        else
            EXPECT_EQ(outcome.refusal, nullptr);

        // With every key 1 the model passes.
        std::string all;
        for (const char* key : allKeys) all += std::string(key) + "=1\r\n";
        receiptModel("RP-80", all);
        EXPECT_EQ(checks.leaveOsPage(t.targetOs).refusal, nullptr);

        // Without any key only the targets that need none pass.
        receiptModel("RP-80", "");
        EXPECT_EQ(checks.leaveOsPage(t.targetOs).refusal == nullptr, t.key == nullptr);
    }
}

TEST_F(WizardChecksTest, Windows98XpAnd2000ConsultNoSupportKeyOnceTheBaudRateIsPreset) {
    receiptModel("RP-80", "BaudRate=9600\r\n");
    checks.leavePrinterPage(0, "RP-80");
    checks.leaveOsPage(3);  // the preset reads BaudRate once
    for (int target : {0, 2, 3}) {
        size_t before = profileReads();
        EXPECT_EQ(checks.leaveOsPage(target).refusal, nullptr);
        EXPECT_EQ(profileReads(), before) << target;
    }
}

TEST_F(WizardChecksTest, TheBaudListShowsEveryListedRateAndAnyOtherAs38400) {
    struct Case {
        int rate;
        int index;
    };
    for (const Case& c : std::vector<Case>{{110, 0},   {300, 1},   {1200, 2},   {2400, 3},
                                          {4800, 4},  {9600, 5},  {19200, 6},  {38400, 7},
                                          {57600, 8}, {115200, 9}, {0, 7},     {1000, 7},
                                          {-9600, 7}, {230400, 7}})
        EXPECT_EQ(app::baudListIndex(c.rate), c.index) << c.rate;
}

TEST_F(WizardChecksTest, TheBaudRateIsPresetOnceAfterEachChoiceOfModel) {
    receiptModel("RP-80", "BaudRate=9600\r\n");
    checks.leavePrinterPage(0, "RP-80");
    ASSERT_TRUE(checks.baudPresetPending());
    auto first = checks.leaveOsPage(3);
    EXPECT_TRUE(first.presetBaud);
    EXPECT_EQ(first.baudRate, 9600);
    EXPECT_EQ(first.baudIndex, 5);
    EXPECT_FALSE(checks.baudPresetPending());

    // Back to the OS page and on again: the rate is the user's now.
    EXPECT_FALSE(checks.leaveOsPage(3).presetBaud);

    // Back to the printer page: another model, preset again from its section.
    checks.backToPrinterPage();
    write("C:\\MEDIUM\\DRVCONFIG\\setup_ticket.ini", "[TK-300.PORT]\r\nUSBSUPPORTED=1\r\n");
    checks.leavePrinterPage(1, "TK-300");
    auto again = checks.leaveOsPage(3);
    EXPECT_TRUE(again.presetBaud);
    EXPECT_EQ(again.baudRate, 0);  // missing: stored as 0, shown as 38400
    EXPECT_EQ(again.baudIndex, 7);

    // An unlisted rate is kept as configured.
    checks.backToPrinterPage();
    receiptModel("RP-80", "BaudRate=1000\r\n");
    checks.leavePrinterPage(0, "RP-80");
    auto unlisted = checks.leaveOsPage(3);
    EXPECT_EQ(unlisted.baudRate, 1000);
    EXPECT_EQ(unlisted.baudIndex, 7);
}

}  // namespace
