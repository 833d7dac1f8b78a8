// The texts the program words itself: read from the language file under
// their keys, in English where the file has none, with their figures put
// where the text places them and appended where it names none.
#include "config/ShownText.h"
#include "support/SimMachine.h"

TEST(WithFiguresTest, PutsEachFigureWhereItsPlaceholderStandsAndAppendsTheRest) {
    const struct {
        std::string pattern, first, text;
    } rows[] = {
        {"%2 <- %1, %2", "A", "B <- A, B"},       // reordered and repeated
        {"no figures.", "A", "no figures. A B"},  // a translation without placeholders
        {"only %2", "A", "only B A"},
        {"[%1]", "%2%s", "[%2%s] B"},              // a figure is never read for placeholders
        {"100% %0 %s %3 %", "A", "100% %0 %s %3 % A B"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(app::withFigures(row.pattern, {row.first, "B"}), row.text) << row.pattern;
}

class ShownTextTest : public testing_support::SimMachineTest {
protected:
    const app::Wording copy_ = {"IDS_TEST_COPY", "Copy %1 to %2."};
};

// A file in another code page than the system's, or with a text far longer
// than its buffer, gives the text cut at 2047 bytes as they are, and its
// figures still follow it.
TEST_F(ShownTextTest, TheFileWordsTheTextEnglishStandsWhereItHasNoneAndNothingOverruns) {
    std::string foreign;  // UTF-8 and GBK bytes, ending in a lead byte cut off from its pair
    while (foreign.size() < 2100) foreign += "\xe6\x89\x93\xb4\xf2";
    foreign.resize(2046);
    foreign += "\x81";
    const struct {
        std::string file, shown;
    } rows[] = {
        {"IDS_TEST_COPY=%2\\1<- %1", "B\r\n<- A"},  // line-break markers as in every text
        {"ids_test_copy=copied", "copied A B"},
        {"IDS_OTHER=x", "Copy A to B."},  // no key: an older medium
        {"IDS_TEST_COPY=", "Copy A to B."},
        {"IDS_TEST_COPY=" + std::string(2100, 'x') + "%1", std::string(2047, 'x') + " A B"},
        {"IDS_TEST_COPY=%2%1" + std::string(3000, 'y'), "BA" + std::string(2043, 'y')},
        {"IDS_TEST_COPY=" + foreign + "%1%2", foreign + " A B"},
    };
    for (const auto& row : rows) {
        write("C:\\MEDIUM\\language\\setup.ini", "[Message]\r\n" + row.file + "\r\n");
        EXPECT_EQ(app::shownText(copy_, {"A", "B"}), row.shown) << row.file.substr(0, 40);
    }
    // A notice shows the file's text and logs its English; a figure that
    // looks like a line-break marker stays as it is.
    const app::Notice notice(copy_, {"C:\\1", "B"});
    EXPECT_EQ(notice.shown(), foreign + " C:\\1 B");
    EXPECT_EQ(notice.english(), "Copy C:\\1 to B.");
}
