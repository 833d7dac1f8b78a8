// The list of the failures the program knows (tests/FAILURES.md): every row
// names a test that covers it, and every test named, and every row of its
// table named, exists in the file named, so that the list cannot go stale
// when a test or a row is renamed or removed.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

struct Source {
    std::string text;
    std::set<std::string> tests;  // "Suite.Name" of every TEST, TEST_F and TEST_P
};

const Source& source(const std::string& file) {
    static std::map<std::string, Source> read;
    auto found = read.find(file);
    if (found != read.end()) return found->second;
    Source& s = read[file];
    std::ifstream in(std::string(SOURCE_ROOT_DIR) + "/" + file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    s.text = text.str();
    static const std::regex declared(R"(TEST(?:_F|_P)?\(\s*(\w+),\s*(\w+)\s*\))");
    for (std::sregex_iterator it(s.text.begin(), s.text.end(), declared), end; it != end; ++it)
        s.tests.insert((*it)[1].str() + "." + (*it)[2].str());
    return s;
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

TEST(FailureListTest, EveryFailureNamesATestThatExists) {
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
        std::string test;
        int named = 0;
        while (std::getline(tests, test, ';')) {
            std::smatch parts;
            if (!std::regex_search(test, parts, reference)) continue;
            ++named;
            const Source& file = source(parts[1]);
            ASSERT_FALSE(file.text.empty()) << "no file " << parts[1];
            if (parts[2].matched)
                EXPECT_EQ(file.tests.count(parts[2]), 1u) << parts[2] << " not in " << parts[1];
            else
                EXPECT_NE(file.text.find("s.name = \"" + parts[3].str() + "\";"), std::string::npos)
                    << "no scenario " << parts[3] << " in " << parts[1];
            const std::string rows = parts[4];
            for (std::sregex_iterator it(rows.begin(), rows.end(), quoted), end; it != end; ++it)
                EXPECT_NE(file.text.find("\"" + (*it)[1].str() + "\""), std::string::npos)
                    << "no row " << (*it)[0] << " in " << parts[1];
        }
        EXPECT_GT(named, 0) << "no test named";
    }
    EXPECT_FALSE(failures.empty());
}

}  // namespace
