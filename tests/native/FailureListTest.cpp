// The list of the failures the program knows (tests/FAILURES.md): every row
// names a test that covers it, every test named (and every row of its table
// and end-to-end scenario named) exists, and what the row says is shown, each
// message key and each quoted text of its "Shown" column, is in what those
// tests check: their own bodies, and the rows of their tables that the row
// names. The list can go stale neither when a test is renamed or removed nor
// when a test stops checking the text its row claims.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string fileText(const std::string& file) {
    static std::map<std::string, std::string> read;
    auto found = read.find(file);
    if (found != read.end()) return found->second;
    std::ifstream in(std::string(SOURCE_ROOT_DIR) + "/" + file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return read[file] = text.str();
}

// The body of test "Suite.Name": from its declaration to the next test's;
// empty when the file declares no such test.
std::string testBody(const std::string& text, const std::string& suiteAndName) {
    const std::string suite = suiteAndName.substr(0, suiteAndName.find('.'));
    const std::string name = suiteAndName.substr(suiteAndName.find('.') + 1);
    const std::regex declared("TEST(?:_F|_P)?\\(\\s*" + suite + ",\\s*" + name + "\\s*\\)");
    std::smatch match;
    if (!std::regex_search(text, match, declared)) return "";
    const size_t start = match.position(0);
    static const std::regex next(R"(\nTEST(?:_F|_P)?\()");
    std::smatch following;
    const std::string rest = text.substr(start + 1);
    if (std::regex_search(rest, following, next)) return text.substr(start, following.position(0) + 1);
    return text.substr(start);
}

// A row of a test's table named by its first text: from that text to where
// the next row of the table begins, or its table ends.
std::string tableRow(const std::string& text, const std::string& rowName) {
    const size_t start = text.find("\"" + rowName + "\"");
    if (start == std::string::npos) return "";
    static const std::regex nextRow(R"(\n\s*(?:\w+\{|\{)\s*"|\n\s*\};|\n\s*\}\),)");
    std::smatch following;
    const std::string rest = text.substr(start);
    if (std::regex_search(rest, following, nextRow)) return rest.substr(0, following.position(0));
    return rest;
}

// An end-to-end scenario: from its name to the scenario after it.
std::string scenarioBody(const std::string& text, const std::string& name) {
    const size_t start = text.find("s.name = \"" + name + "\";");
    if (start == std::string::npos) return "";
    const size_t end = text.find("all.push_back(s);", start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::vector<std::string> cells(const std::string& line) {
    std::vector<std::string> result;
    std::istringstream in(line.substr(1));
    std::string cell;
    while (std::getline(in, cell, '|')) {
        size_t first = cell.find_first_not_of(' '), last = cell.find_last_not_of(' ');
        result.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
    }
    return result;
}

// What a row claims is shown: its message keys ("IDS_...") and quoted texts.
std::vector<std::string> claimedTexts(const std::string& shown) {
    std::vector<std::string> texts;
    static const std::regex key(R"(IDS_\w+)");
    for (std::sregex_iterator it(shown.begin(), shown.end(), key), end; it != end; ++it) texts.push_back(it->str());
    static const std::regex quoted(R"("([^"]+)\")");
    for (std::sregex_iterator it(shown.begin(), shown.end(), quoted), end; it != end; ++it)
        texts.push_back((*it)[1].str());
    return texts;
}

TEST(FailureListTest, EveryFailureNamesTestsThatCheckWhatItSays) {
    std::ifstream list(FAILURE_LIST);
    ASSERT_TRUE(list) << FAILURE_LIST;
    // `tests/<file>` `Suite.Name` followed by the rows of its table in quotes,
    // or an end-to-end scenario: `tests/e2e/<file>` scenario `Name`.
    const std::regex reference(R"(`(tests/[^`]+)` (?:`(\w+\.\w+)`|scenario `(\w+)`)(.*))");
    const std::regex quoted(R"("([^"]+)\")");
    std::set<std::string> failures;
    std::string line;
    while (std::getline(list, line)) {
        if (line.rfind("| ", 0) != 0) continue;
        const std::vector<std::string> row = cells(line);
        if (row[0] == "Failure") continue;  // a table's heading
        SCOPED_TRACE(row[0]);
        ASSERT_EQ(row.size(), 4u) << "a failure, what is shown, the result and the tests";
        EXPECT_TRUE(failures.insert(row[0]).second) << "listed twice";
        std::istringstream tests(row[3]);
        std::string test, checked;
        int named = 0;
        while (std::getline(tests, test, ';')) {
            std::smatch parts;
            if (!std::regex_search(test, parts, reference)) continue;
            ++named;
            const std::string file = parts[1], text = fileText(file);
            ASSERT_FALSE(text.empty()) << "no file " << file;
            const std::string body = parts[2].matched ? testBody(text, parts[2]) : scenarioBody(text, parts[3]);
            EXPECT_FALSE(body.empty()) << (parts[2].matched ? parts[2].str() : "scenario " + parts[3].str())
                                       << " not in " << file;
            checked += body;
            const std::string rows = parts[4];
            for (std::sregex_iterator it(rows.begin(), rows.end(), quoted), end; it != end; ++it) {
                const std::string rowText = tableRow(text, (*it)[1].str());
                EXPECT_FALSE(rowText.empty()) << "no row " << (*it)[0] << " in " << file;
                checked += rowText;
            }
        }
        EXPECT_GT(named, 0) << "no test named";
        for (const std::string& claimed : claimedTexts(row[1]))
            EXPECT_NE(checked.find(claimed), std::string::npos)
                << "the row says \"" << claimed << "\" is shown; no test it names checks it";
    }
    EXPECT_FALSE(failures.empty());
}

}  // namespace
