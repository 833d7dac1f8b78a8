// Reading configuration values the way the whole system does: through the
// platform's profile functions with the default "0", cut to the room each
// value is given, integers decimal up to the first other character.
#pragma once

#include <string>

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

// Decimal conversion: leading blanks skipped, an optional sign, the digits up
// to the first other character; no digits give 0. A value beyond the range of
// an int saturates rather than wrapping.
int parseDecimal(const std::string& text);

// "None" in the configuration: a missing value reads "0", and a name whose
// first character is the digit 0 also counts as none.
inline bool isNone(const std::string& value) { return value.empty() || value[0] == '0'; }

// The program file's directory with its trailing backslash (the module path
// read into 200 characters and cut after its last backslash), or empty when
// the path holds no backslash.
std::string moduleDirectory();

}  // namespace config
