#include "os/sim/Text.h"

#include <algorithm>
#include <cstring>

namespace os::sim {

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string toUpper(std::string text) {
    for (char& c : text) c = upperAscii(c);
    return text;
}

bool equalsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && toUpper(a) == toUpper(b);
}

bool containsNoCase(const std::string& text, const std::string& part) {
    return toUpper(text).find(toUpper(part)) != std::string::npos;
}

bool LessNoCase::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) {
                                            return static_cast<unsigned char>(upperAscii(x)) <
                                                   static_cast<unsigned char>(upperAscii(y));
                                        });
}

size_t copyTruncated(const std::string& text, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return 0;
    size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return n;
}

}  // namespace os::sim
