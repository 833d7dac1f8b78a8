// Case in the texts the program compares: names from the medium, the
// spooler and the command line, compared as Windows compares them in the
// ASCII range, whatever the locale.
#pragma once

#include <string>

namespace config {

inline char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string upperAscii(std::string text) {
    for (char& c : text) c = upperAscii(c);
    return text;
}

inline std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

inline bool equalIgnoringCase(const std::string& a, const std::string& b) {
    return upperAscii(a) == upperAscii(b);
}

}  // namespace config
