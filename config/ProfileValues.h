// Reading configuration values the way the whole system does: through the
// platform's profile functions with the default "0", cut to the room each
// value is given, integers decimal up to the first other character.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace config {

// Room (characters, without the terminator) values are read with.
constexpr size_t kNameRoom = 49;      // driver, processor and monitor names
constexpr size_t kFileRoom = 199;     // file names, model entries, port-section values
constexpr size_t kIntegerRoom = 9;    // version numbers and other integers

// Reads a value with the default "0", cut to `room` characters. `length`
// receives what the profile function returned (the characters copied).
std::string readValue(const std::string& file, const std::string& section,
                      const std::string& key, size_t room, unsigned* length = nullptr);
// Reads a value and converts it as a decimal integer.
int readInteger(const std::string& file, const std::string& section, const std::string& key,
                size_t room = kIntegerRoom);

// The names of a section's keys in file order, as the system lists them; none
// when the section is missing or its list is too long to read.
std::vector<std::string> readKeyNames(const std::string& file, const std::string& section);

// Decimal conversion: leading blanks skipped, an optional sign, the digits up
// to the first other character; no digits give 0. A value beyond the range of
// an int saturates rather than wrapping.
int parseDecimal(const std::string& text);

// "None" in the configuration: a missing value reads "0", and a name whose
// first character is the digit 0 also counts as none.
inline bool isNone(const std::string& value) { return value.empty() || value[0] == '0'; }

// One section of a configuration file, read from the file at once. A list of
// N entries read one profile call per entry costs N lookups, each of which
// walks the section from its start in Wine's profile functions: a thousand
// entries took seconds. Read here, the section gives the values the profile
// functions give, but only where the file leaves no doubt about them: plain
// lines of printable ASCII, the section once, no line without a value in it,
// no quoted values, and the system's own list of the section's keys the one
// found here. Anywhere else read() fails and the caller reads each
// value with readValue.
class SectionSnapshot {
public:
    bool read(const std::string& file, const std::string& section);
    // What readValue(file, section, key, room) reads, for a key of printable ASCII.
    std::string value(const std::string& key, size_t room) const;
    // The section's key names in file order, duplicates included.
    const std::vector<std::string>& keyNames() const { return keyNames_; }

private:
    std::vector<std::string> keyNames_;
    // The first value of each key, by its name in capitals.
    std::map<std::string, std::string> values_;
};

// The program file's directory with its trailing backslash (the module path
// read into 200 characters and cut after its last backslash), or empty when
// the path holds no backslash.
std::string moduleDirectory();

}  // namespace config
