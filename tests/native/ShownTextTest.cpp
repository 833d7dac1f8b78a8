// The texts the program words itself: read from the language file under
// their keys, in English where the file has none, with their figures put
// where the text places them and appended where it names none.
#include "config/ShownText.h"
#include "support/SimMachine.h"

using app::withFigures;
using testing_support::SimMachineTest;

TEST(WithFiguresTest, PutsEachFigureWhereItsPlaceholderStandsAndAppendsTheRest) {
    struct Row {
        const char* what;
        std::string pattern;
        std::vector<std::string> figures;
        std::string text;
    } rows[] = {
        {"in order", "copy %1 to %2.", {"A", "B"}, "copy A to B."},
        {"reordered and repeated", "%2 <- %1, %2", {"A", "B"}, "B <- A, B"},
        {"a translation without placeholders", "no figures here.", {"A", "B"}, "no figures here. A B"},
        {"one of two named", "only %2", {"A", "B"}, "only B A"},
        // A figure is never read for placeholders, nor for format sequences.
        {"a figure holding placeholders", "[%1]", {"%2 %s %n", "B"}, "[%2 %s %n] B"},
        {"a % before anything else", "100% %0 %s %x %", {"A"}, "100% %0 %s %x % A"},
        {"a placeholder with no figure", "%1 and %3", {"A"}, "A and %3"},
        {"a last lone %", "%1%", {"A"}, "A%"},
        {"no figures", "plain %1", {}, "plain %1"},
    };
    for (const Row& row : rows) EXPECT_EQ(withFigures(row.pattern, row.figures), row.text) << row.what;
}

namespace {

const app::Wording kCopy = {"IDS_TEST_COPY", "Copy %1 to %2."};
const app::Wording kLogOnly = {nullptr, "logged %1"};

}  // namespace

class ShownTextTest : public SimMachineTest {
protected:
    void language(const std::string& message) {
        write("C:\\MEDIUM\\language\\setup.ini", "[Message]\r\n" + message + "\r\n");
    }
};

TEST_F(ShownTextTest, TheFileWordsTheTextAndEnglishStandsWhereItHasNone) {
    struct Row {
        const char* what;
        std::string file;  // section "Message"
        std::string shown;
    } rows[] = {
        {"the file's text, its markers made line breaks", "IDS_TEST_COPY=%2\\1<- %1", "B\r\n<- A"},
        {"a key of any case", "ids_test_copy=%2 %1", "B A"},
        {"a text without placeholders", "IDS_TEST_COPY=copied", "copied A B"},
        {"no key: an older medium", "IDS_OTHER=x", "Copy A to B."},
        {"an empty text", "IDS_TEST_COPY=", "Copy A to B."},
    };
    for (const Row& row : rows) {
        language(row.file);
        EXPECT_EQ(app::shownText(kCopy, {"A", "B"}), row.shown) << row.what;
    }
    // A figure that looks like a line-break marker stays as it is.
    language("IDS_TEST_COPY=%1");
    EXPECT_EQ(app::shownText(kCopy, {"C:\\1\\2", "B"}), "C:\\1\\2 B");
    // A text only a log shows, and a notice's log line, stay English.
    EXPECT_EQ(app::shownText(kLogOnly, {"A"}), "logged A");
    const app::Notice notice(kCopy, {"A", "B"});
    EXPECT_EQ(notice.shown(), "A B");
    EXPECT_EQ(notice.english(), "Copy A to B.");
}

// A file is read in the system's ANSI code page and cut to the 2047
// characters its buffer holds: a text in another code page, or far longer,
// comes back cut as its bytes are, and its figures still follow it.
TEST_F(ShownTextTest, ATextLongerThanItsBufferOrOutsideTheCodePageIsCutAndKeepsItsFigures) {
    std::string foreign;  // UTF-8 and GBK bytes, ending in a lead byte cut off from its pair
    while (foreign.size() < 2100) foreign += "\xe6\x89\x93\xb4\xf2";
    foreign.resize(2046);
    foreign += "\x81";
    struct Row {
        const char* what;
        std::string text;
        std::string shown;
    } rows[] = {
        {"its placeholder beyond the cut", std::string(2100, 'x') + "%1", std::string(2047, 'x') + " A B"},
        {"its placeholders within it", "%2%1" + std::string(3000, 'y'), "BA" + std::string(2043, 'y')},
        {"bytes of another code page", foreign + "%1%2", foreign + " A B"},
    };
    for (const Row& row : rows) {
        language("IDS_TEST_COPY=" + row.text);
        EXPECT_EQ(app::shownText(kCopy, {"A", "B"}), row.shown) << row.what;
    }
}
