// The sample installation medium: it passes the start-up checks, offers its
// models, and its language files give every text the program looks up.
#include <algorithm>

#include "app/Startup.h"
#include "config/TextTable.h"
#include "config/Wordings.h"
#include "config/DriverConfig.h"
#include "support/LanguageKeys.h"
#include "support/SimMachine.h"

using testing_support::kLanguageKeys;
using testing_support::SimMachineTest;

class SampleMediumTest : public SimMachineTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.files().mount("D:\\", MEDIUM_SOURCE_DIR));
        sim.machine().modulePath = "D:\\setup.exe";
        ASSERT_TRUE(sim.SetCurrentDirectoryA("D:\\"));
    }

    void expectEveryText(const std::string& languageDirectory) {
        ASSERT_TRUE(sim.SetCurrentDirectoryA(languageDirectory.c_str()));
        for (const auto& [section, keys] : kLanguageKeys) {
            app::TextTable table(section);
            for (const auto& key : keys)
                EXPECT_STRNE(table.GetText(key), "") << languageDirectory << " [" << section << "] " << key;
        }
    }
};

TEST_F(SampleMediumTest, PassesTheStartUpChecksAndStartsWithTheAgreement) {
    EXPECT_EQ(app::checkStartup(), app::StartupResult::Run);
    EXPECT_TRUE(messages().empty());
    auto settings = app::readStartupSettings();
    EXPECT_TRUE(settings.loadLicense);
    EXPECT_FALSE(settings.alternateFont);
}

TEST_F(SampleMediumTest, OffersModelsInEveryCategory) {
    config::DriverConfig list;
    int perCategory[4] = {};
    std::string name;
    for (int n = 1; n <= list.modelCount(); ++n) {
        int category = list.modelEntry(n, &name);
        ASSERT_GE(category, 0) << "entry " << n;
        perCategory[category]++;
    }
    for (int category = 0; category < 4; ++category) EXPECT_GT(perCategory[category], 0) << category;
    EXPECT_EQ(list.defaultModel(&name), 0);
}

TEST_F(SampleMediumTest, BothLanguageFilesGiveEveryText) {
    expectEveryText("D:\\");
    expectEveryText("D:\\zh");
}

TEST_F(SampleMediumTest, FlowControlTextsAreTheOnesThePortPageRecognises) {
    // The port page maps these three texts to flow-control codes letter for
    // letter, in every language.
    for (const char* directory : {"D:\\", "D:\\zh"}) {
        ASSERT_TRUE(sim.SetCurrentDirectoryA(directory));
        app::TextTable confirm("Confirm");
        EXPECT_STREQ(confirm.GetText("Protocol.None"), "None") << directory;
        EXPECT_STREQ(confirm.GetText("Protocol.Xonoff"), "Xon/Xoff") << directory;
        EXPECT_STREQ(confirm.GetText("Protocol.Hardware"), "Hardware") << directory;
        // The parity code is the text's first letter.
        EXPECT_EQ(confirm.GetText("Parity.Odd")[0], 'O') << directory;
    }
}

// A translation may place a text's figures as its language needs, but the
// sample files, which makers copy, name every figure the English names; the
// Chinese one words every text in Chinese.
TEST_F(SampleMediumTest, BothLanguageFilesPlaceEveryFigureOfTheTextsTheProgramWordsItself) {
    for (const char* directory : {"D:\\", "D:\\zh"}) {
        ASSERT_TRUE(sim.SetCurrentDirectoryA(directory));
        app::TextTable texts("Message");
        for (const app::Wording* wording : app::keyedWordings()) {
            const std::string text = texts.GetText(wording->key);
            const bool chinese = std::any_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; });
            EXPECT_EQ(chinese, std::string(directory) == "D:\\zh") << directory << " " << wording->key;
            for (const char* placeholder : {"%1", "%2", "%3"}) {
                const bool named = std::string(wording->english).find(placeholder) != std::string::npos;
                EXPECT_EQ(text.find(placeholder) != std::string::npos, named)
                    << directory << " " << wording->key << " " << placeholder;
            }
        }
    }
}
