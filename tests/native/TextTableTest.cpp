// Language texts: lookups by section and key, line-break markers, and the
// result buffer that the install worker and the user interface share.
#include <thread>

#include "config/TextTable.h"
#include "support/SimMachine.h"

using app::TextTable;
using testing_support::SimMachineTest;

class TextTableTest : public SimMachineTest {
protected:
    void language(const std::string& body) { write("C:\\MEDIUM\\language\\setup.ini", body); }
};

TEST_F(TextTableTest, ReadsTheKeyOfItsSectionFromTheCurrentDirectory) {
    language("[Setup]\r\nCaption=Printer Driver Setup\r\n[Message]\r\nIDS_ADMIN=Need rights\r\n");
    EXPECT_STREQ(TextTable("Setup").GetText("Caption"), "Printer Driver Setup");
    EXPECT_STREQ(TextTable("setup").GetText("CAPTION"), "Printer Driver Setup");
    EXPECT_STREQ(TextTable("Message").GetText("IDS_ADMIN"), "Need rights");
    EXPECT_EQ(TextTable("Setup").path(), "C:\\MEDIUM\\language\\setup.ini");
}

TEST_F(TextTableTest, MissingFileSectionOrKeyGivesTheEmptyText) {
    EXPECT_STREQ(TextTable("Setup").GetText("Caption"), "");
    language("[Setup]\r\nCaption=x\r\n");
    EXPECT_STREQ(TextTable("Setup").GetText("Nonsupport"), "");
    EXPECT_STREQ(TextTable("Legal").GetText("Caption"), "");
}

TEST_F(TextTableTest, EachMarkerBreaksTheLineOnceInOrder) {
    language("[M]\r\nThree=one\\1two\\2three\r\nTwice=a\\1b\\1c\r\nOther=a\\4b\\3c\\0d\r\n");
    TextTable table("M");
    EXPECT_STREQ(table.GetText("Three"), "one\r\ntwo\r\nthree");
    EXPECT_STREQ(table.GetText("Twice"), "a\r\nb\\1c");
    EXPECT_STREQ(table.GetText("Other"), "a\\4b\r\nc\\0d");
}

TEST_F(TextTableTest, ALongTextIsCutTo2047Characters) {
    language("[M]\r\nLong=" + std::string(3000, 'x') + "\r\n");
    EXPECT_EQ(std::string(TextTable("M").GetText("Long")).size(), 2047u);
}

TEST_F(TextTableTest, ALookupOverwritesTheLastResultOfItsOwnThreadOnly) {
    language("[M]\r\nA=first\r\nB=second\r\nC=worker\r\n");
    TextTable table("M");
    const char* first = table.GetText("A");
    table.GetText("B");
    EXPECT_STREQ(first, "second");
    std::string seenByWorker;
    std::thread worker([&] { seenByWorker = table.GetText("C"); });
    worker.join();
    EXPECT_EQ(seenByWorker, "worker");
    EXPECT_STREQ(first, "second");
}

TEST_F(TextTableTest, ACurrentDirectoryTooLongForThePathGivesEmptyTexts) {
    std::string deep = "C:\\" + std::string(245, 'd');
    sim.files().makeDirectories(deep);
    write(deep + "\\language\\setup.ini", "[M]\r\nA=found\r\n");
    ASSERT_TRUE(sim.SetCurrentDirectoryA(deep.c_str()));
    TextTable table("M");
    EXPECT_EQ(table.path(), "");
    EXPECT_STREQ(table.GetText("A"), "");

    // So does a current directory that cannot be read at all.
    ASSERT_TRUE(sim.SetCurrentDirectoryA("C:\\MEDIUM"));
    language("[M]\r\nA=found\r\n");
    sim.faults().fail("GetCurrentDirectoryA", ERROR_ACCESS_DENIED);
    TextTable unreadable("M");
    EXPECT_EQ(unreadable.path(), "");
    EXPECT_STREQ(unreadable.GetText("A"), "");
}

TEST_F(TextTableTest, GbkTextPassesThroughUnchanged) {
    const std::string chinese = "\xb4\xf2\xd3\xa1\xbb\xfa";  // 打印机 in GB2312
    language("[Setup]\r\nCaption=" + chinese + "\r\n");
    EXPECT_EQ(std::string(TextTable("Setup").GetText("Caption")), chinese);
}
