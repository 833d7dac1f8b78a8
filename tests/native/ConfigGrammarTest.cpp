// The grammar of the configuration files as DriverConfig reads it.
#include <climits>

#include "config/ConfigNames.h"
#include "app/Startup.h"
#include "config/DriverConfig.h"
#include "config/ModelEntry.h"
#include "config/ProfileValues.h"
#include "support/SimMachine.h"

using config::DriverConfig;
using testing_support::SimMachineTest;

namespace {

int split(std::string* entry) { return config::splitModelEntry(entry); }

}  // namespace

TEST(ModelEntryTest, SuffixGivesCategoryAndCutsTheName) {
    std::string entry = "X-LabelPrinter";
    EXPECT_EQ(split(&entry), 2);
    EXPECT_EQ(entry, "X");
    entry = "X-LabelPrinter-2";
    EXPECT_EQ(split(&entry), 2);
    EXPECT_EQ(entry, "X");
    entry = "RP 80-EmbeddedPrinter";
    EXPECT_EQ(split(&entry), 3);
    EXPECT_EQ(entry, "RP 80");
}

TEST(ModelEntryTest, SuffixIsCaseSensitiveAndAnEntryWithoutOneStaysWhole) {
    std::string entry = "X-labelprinter";
    EXPECT_EQ(split(&entry), -1);
    EXPECT_EQ(entry, "X-labelprinter");
    entry = "0";
    EXPECT_EQ(split(&entry), -1);
    EXPECT_EQ(entry, "0");
}

TEST(ModelEntryTest, TwoSuffixesTakeTheFirstInCategoryOrderNotInTheText) {
    std::string entry = "A-TicketPrinter-ReceiptPrinter";
    EXPECT_EQ(split(&entry), 0);
    EXPECT_EQ(entry, "A-TicketPrinter");
}

TEST(ConfigNamesTest, SectionNames) {
    EXPECT_EQ(config::modelSection("A B", 3), "A B.XP");
    EXPECT_EQ(config::modelSection("M", 0), "M.98");
    EXPECT_EQ(config::modelSection("M", 7), "M.Win7");
    EXPECT_EQ(config::portSection("M"), "M.PORT");
    EXPECT_EQ(config::monitorSection(4), "COMMON-MONITOR.2003");
    EXPECT_EQ(config::monitorSection(5), "COMMON-MONITOR.Vista");
    EXPECT_STREQ(config::osSuffix(1), "NT");
    EXPECT_STREQ(config::osSuffix(2), "2K");
    EXPECT_STREQ(config::osSuffix(6), "2008");
}

TEST(ParseDecimalTest, ReadsLeadingDigitsOnly) {
    EXPECT_EQ(config::parseDecimal("0x10"), 0);
    EXPECT_EQ(config::parseDecimal("16 "), 16);
    EXPECT_EQ(config::parseDecimal("  -5"), -5);
    EXPECT_EQ(config::parseDecimal("+7abc"), 7);
    EXPECT_EQ(config::parseDecimal("abc"), 0);
    EXPECT_EQ(config::parseDecimal(""), 0);
    EXPECT_EQ(config::parseDecimal("0"), 0);
}

TEST(ParseDecimalTest, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(config::parseDecimal("99999999999999999999"), INT_MAX);
    EXPECT_EQ(config::parseDecimal("-99999999999999999999"), INT_MIN);
    EXPECT_EQ(config::parseDecimal("2147483647"), INT_MAX);
    EXPECT_EQ(config::parseDecimal("-2147483648"), INT_MIN);
}

class DriverConfigTest : public SimMachineTest {
protected:
    void setupIni(const std::string& body) { write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", body); }
};

TEST_F(DriverConfigTest, ModelListReadsEntriesAndSkipsGaps) {
    setupIni("[DEVICENAME]\r\nDEVICENUMBER=3\r\nDEVICENAME1=A-ReceiptPrinter\r\n"
             "DEVICENAME3=C-TicketPrinter\r\nDEVICENAME4=D-LabelPrinter\r\n");
    DriverConfig config;
    EXPECT_EQ(config.modelCount(), 3);
    std::string text;
    EXPECT_EQ(config.modelEntry(1, &text), 0);
    EXPECT_EQ(text, "A");
    EXPECT_EQ(config.modelEntry(2, &text), -1);
    EXPECT_EQ(text, "0");
    EXPECT_EQ(config.modelEntry(3, &text), 1);
    EXPECT_EQ(text, "C");
}

// The list read at once must be the list read entry by entry, whatever the
// file; files that leave a doubt about their values are read entry by entry.
TEST_F(DriverConfigTest, TheModelListReadAtOnceIsTheListReadEntryByEntry) {
    const std::string longName(250, 'M');
    const struct {
        const char* name;
        std::string file;
        bool atOnce;
    } files[] = {
        {"plain", "[DEVICENAME]\r\nDEVICENUMBER=4\r\nDEVICENAME1=A-ReceiptPrinter\r\n"
                  "DEVICENAME2=B-TicketPrinter\r\nDEVICENAME4=D-LabelPrinter\r\n", true},
        {"comments, blanks, case, spaces, gaps and later keys",
         "; models\n[Other]\nDEVICENAME1=X-ReceiptPrinter\n[ devicename ]\n; the count\n"
         "  devicenumber = 6 \n\n DEVICENAME3 =  C 3-EmbeddedPrinter  \ndeviceName1=A-LabelPrinter\n"
         "DEVICENAME1=second-TicketPrinter\nDEVICENAME01=Zero-ReceiptPrinter\nDEVICENAME5=Odd\n"
         "DEVICENAME6=F-TicketPrinter\nDEVICENAME7=Beyond-ReceiptPrinter\nDEFAULTNAME=3", true},
        {"a value cut to its room", "[DEVICENAME]\r\nDEVICENUMBER=1\r\nDEVICENAME1=" + longName +
                                    "-ReceiptPrinter\r\n", true},
        {"quoted", "[DEVICENAME]\r\nDEVICENUMBER=2\r\nDEVICENAME1=\"A-ReceiptPrinter\"\r\n"
                   "DEVICENAME2=B-TicketPrinter\r\n", false},
        {"a line without a value", "[DEVICENAME]\r\nDEVICENUMBER=2\r\nDEVICENAME1\r\n"
                                   "DEVICENAME2=B-TicketPrinter\r\n", false},
        {"a tab", "[DEVICENAME]\r\nDEVICENUMBER=1\r\nDEVICENAME1=\tA-ReceiptPrinter\r\n", false},
        {"beyond ASCII", "[DEVICENAME]\r\nDEVICENUMBER=1\r\nDEVICENAME1=\xb2\xe2-ReceiptPrinter\r\n",
         false},
        {"the section twice", "[DEVICENAME]\r\nDEVICENUMBER=2\r\nDEVICENAME1=A-ReceiptPrinter\r\n"
                              "[DEVICENAME]\r\nDEVICENAME2=B-TicketPrinter\r\n", false},
        {"a lone carriage return", "[DEVICENAME]\rDEVICENUMBER=1\r\nDEVICENAME1=A-ReceiptPrinter\r\n",
         false},
        {"an empty list", "[DEVICENAME]\r\nDEVICENUMBER=0\r\nDEVICENAME1=A-ReceiptPrinter\r\n", true},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        setupIni(f.file);
        DriverConfig config;
        std::vector<std::pair<int, std::string>> expected;
        std::string text;
        const int count = config.modelCount();
        for (int n = 1; n <= count; ++n) {
            int category = config.modelEntry(n, &text);
            if (category != config::kNoCategory) expected.emplace_back(category, text);
        }
        const size_t before = sim.calls("GetPrivateProfileStringA").size();
        EXPECT_EQ(config.models(), expected);
        const size_t reads = sim.calls("GetPrivateProfileStringA").size() - before;
        config::SectionSnapshot snapshot;
        EXPECT_EQ(snapshot.read("C:\\MEDIUM\\DRVCONFIG\\setup.ini", "DEVICENAME"), f.atOnce);
        // At once: the count and the list of keys, not a read per entry.
        if (f.atOnce) EXPECT_EQ(reads, count > 0 ? 2u : 1u);
    }
    setupIni("[DEVICENAME]\r\nDEVICENUMBER=2\r\nDEVICENAME1=A-ReceiptPrinter\r\n");
    sim.faults().fail("ReadFile", ERROR_ACCESS_DENIED);
    EXPECT_EQ(DriverConfig().models(), (std::vector<std::pair<int, std::string>>{{0, "A"}}));
}

// The count is the medium's word: however large, no more entries are read
// than the file holds, also where it is not read at once.
TEST_F(DriverConfigTest, ACountFarBeyondTheEntriesReadsOnlyTheEntriesThere) {
    setupIni("[DEVICENAME]\r\nDEVICENUMBER=999999999\r\nDEVICENAME1=\tA-ReceiptPrinter\r\n"
             "DEVICENAME999999998=Z-TicketPrinter\r\nDEVICENAME1000000000=Beyond-LabelPrinter\r\n");
    const size_t before = sim.calls("GetPrivateProfileStringA").size();
    EXPECT_EQ(DriverConfig().models(), (std::vector<std::pair<int, std::string>>{{0, "A"}, {1, "Z"}}));
    std::string model;
    EXPECT_TRUE(app::portCheckModel(&model));
    EXPECT_EQ(model, "0") << "the last entry, which the list lacks";
    EXPECT_LT(sim.calls("GetPrivateProfileStringA").size() - before, 20u);
}

TEST_F(DriverConfigTest, AMissingFileSectionOrCountGivesAnEmptyListAndNoDefault) {
    const char* files[] = {
        nullptr,  // no file
        "[Other]\r\nDEVICENUMBER=1\r\nDEVICENAME1=A-ReceiptPrinter\r\nDEFAULTNAME=1\r\n",
        "[DEVICENAME]\r\nDEVICENAME1=A-ReceiptPrinter\r\n",
    };
    for (const char* file : files) {
        SCOPED_TRACE(file ? file : "no file");
        if (file) setupIni(file);
        DriverConfig config;
        EXPECT_EQ(config.modelCount(), 0);
        EXPECT_TRUE(config.models().empty());
        std::string text;
        EXPECT_EQ(config.defaultModel(&text), -1);
        EXPECT_EQ(config.processorVersion(), 0);
    }
}

TEST_F(DriverConfigTest, DefaultModelReadsWhateverEntryItNumbers) {
    setupIni("[DEVICENAME]\r\nDEVICENUMBER=1\r\nDEVICENAME1=A-ReceiptPrinter\r\n"
             "DEVICENAME5=E-EmbeddedPrinter\r\nDEFAULTNAME=5\r\n");
    DriverConfig config;
    std::string text;
    EXPECT_EQ(config.defaultModel(&text), 3);
    EXPECT_EQ(text, "E");
    setupIni("[DEVICENAME]\r\nDEVICENUMBER=1\r\nDEVICENAME1=A-ReceiptPrinter\r\nDEFAULTNAME=0\r\n");
    EXPECT_EQ(DriverConfig().defaultModel(&text), -1);
    setupIni("[DEVICENAME]\r\nDEVICENUMBER=1\r\nDEVICENAME1=A-ReceiptPrinter\r\nDEFAULTNAME=2\r\n");
    EXPECT_EQ(DriverConfig().defaultModel(&text), -1);
}

TEST_F(DriverConfigTest, ValuesAreCutToTheirRoom) {
    std::string longName(250, 'M');
    setupIni("[DEVICENAME]\r\nDEVICENUMBER=1\r\nDEVICENAME1=" + longName +
             "\r\n[ProcessorVersion]\r\nDriverVersion=12345678901\r\n");
    DriverConfig config;
    std::string text;
    EXPECT_EQ(config.modelEntry(1, &text), -1);
    EXPECT_EQ(text.size(), 199u);
    EXPECT_EQ(config.processorVersion(), 123456789);  // nine characters
}

TEST_F(DriverConfigTest, Needs2kDdkFilesTestsTheFirstCharacterOfTheFlavoursKey) {
    write("C:\\MEDIUM\\DRVCONFIG\\setup_lable.ini",
          "[L.XP]\r\nSTD2KDDKDEV=10\r\nGDI2KDDKDEV=2\r\n[L.2K]\r\nGDI2KDDKDEV=1\r\n");
    DriverConfig config;
    config.setCategory(2);
    EXPECT_TRUE(config.needs2kDdkFiles("L", 3, config::kStd));
    EXPECT_FALSE(config.needs2kDdkFiles("L", 3, config::kGdi));
    EXPECT_TRUE(config.needs2kDdkFiles("L", 2, config::kGdi));
    EXPECT_FALSE(config.needs2kDdkFiles("L", 2, config::kStd));
    EXPECT_EQ(config.currentCategoryPath(), "C:\\MEDIUM\\DRVCONFIG\\setup_lable.ini");
}

TEST_F(DriverConfigTest, FilesAreFoundBesideTheProgramNotInTheCurrentDirectory) {
    sim.files().makeDirectories("C:\\ELSEWHERE");
    ASSERT_TRUE(sim.SetCurrentDirectoryA("C:\\ELSEWHERE"));
    setupIni("[DEVICENAME]\r\nDEVICENUMBER=4\r\n");
    write("C:\\ELSEWHERE\\DRVCONFIG\\setup.ini", "[DEVICENAME]\r\nDEVICENUMBER=9\r\nLANGUAGE=7\r\n");
    EXPECT_EQ(DriverConfig().modelCount(), 4);
    // The setup flag passes the relative path on: it reads the current directory's file.
    EXPECT_EQ(config::setupFlag("LANGUAGE"), 7);
}

TEST_F(DriverConfigTest, BothSpellingsOfTheCategoryFilesNameTheSameFile) {
    write("C:\\MEDIUM\\DRVCONFIG\\setup_ticket.ini", "[T.PORT]\r\nUSBSUPPORTED=1\r\n");
    std::string setupPath, categoryPath;
    config::installPaths(1, &setupPath, &categoryPath);
    EXPECT_EQ(setupPath, "C:\\MEDIUM\\DRVCONFIG\\setup.ini");
    EXPECT_EQ(categoryPath, "C:\\MEDIUM\\DRVCONFIG\\setup_Ticket.ini");
    EXPECT_EQ(config::readInteger(categoryPath, "T.PORT", "USBSUPPORTED"), 1);
    EXPECT_EQ(config::readInteger(DriverConfig().categoryPath(1), "T.PORT", "USBSUPPORTED"), 1);
    config::installPaths(4, &setupPath, &categoryPath);
    EXPECT_EQ(categoryPath, "");
}

TEST_F(DriverConfigTest, ModuleDirectoryKeepsItsBackslashAndIsEmptyWithoutOne) {
    EXPECT_EQ(config::moduleDirectory(), "C:\\MEDIUM\\");
    sim.machine().modulePath = "setup.exe";
    EXPECT_EQ(config::moduleDirectory(), "");
}

TEST_F(DriverConfigTest, ALongProgramPathIsCutToTwoHundredCharactersSafely) {
    // Windows XP fills a short buffer without a terminator.
    std::string deep = "C:\\" + std::string(180, 'd') + "\\" + std::string(40, 'e') + "\\setup.exe";
    sim.machine().modulePath = deep;
    std::string directory = config::moduleDirectory();
    EXPECT_EQ(directory, "C:\\" + std::string(180, 'd') + "\\");
}
