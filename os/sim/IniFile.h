// The text of an initialisation file as the profile functions see it:
// "[section]" headers, "key=value" lines, and everything else (comments,
// blank lines, lines without '=') kept as it was written.
//
// The file is held as its lines, each with its own line end, so an edit
// changes only the lines it is about: comments, LF-only line ends and the
// bytes of other values (ANSI, e.g. GBK) are written back untouched. New
// lines get CR LF, as Windows writes them.
#pragma once

#include <string>
#include <vector>

namespace os::sim {

class IniFile {
public:
    IniFile() = default;
    explicit IniFile(const std::string& bytes);

    std::string bytes() const;

    // The value of `key` in the first section named `section`, blanks around
    // it trimmed, quotes kept; false when there is no such key. Names compare
    // without regard to case, blanks around them ignored.
    bool value(const std::string& section, const std::string& key, std::string* value) const;
    // Every section name in file order, duplicates included.
    std::vector<std::string> sectionNames() const;
    // The key names of the first section named `section`, in file order;
    // false when there is no such section. Comment lines are not listed.
    bool keyNames(const std::string& section, std::vector<std::string>* names) const;

    // Creates the section and the key as needed.
    void set(const std::string& section, const std::string& key, const std::string& value);
    void removeKey(const std::string& section, const std::string& key);
    void removeSection(const std::string& section);

private:
    struct Line {
        std::string text;  // without its line end
        std::string end;   // "\r\n", "\n", or "" for a last line without one
    };
    enum class Kind { Blank, Section, Key, Other };
    struct Parsed {
        Kind kind = Kind::Other;
        std::string name;   // section or key name, trimmed
        std::string value;  // key value, trimmed
    };

    static Parsed parse(const std::string& text);
    // Index of the header of the first section named `section`, or npos.
    size_t findSection(const std::string& section) const;
    // The index past the last line of the section whose header is at `header`.
    size_t sectionEnd(size_t header) const;
    size_t findKey(size_t header, const std::string& key) const;
    void insertLine(size_t at, const std::string& text);

    std::vector<Line> lines_;
};

}  // namespace os::sim
