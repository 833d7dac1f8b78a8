// Text helpers of the simulation: Windows compares names (files, keys,
// sections, services, printers) without regard to case.
#pragma once

#include <string>

namespace os::sim {

char upperAscii(char c);
std::string toUpper(std::string text);
bool equalsNoCase(const std::string& a, const std::string& b);
bool containsNoCase(const std::string& text, const std::string& part);

// Orders names as Windows does when it compares them without case.
struct LessNoCase {
    bool operator()(const std::string& a, const std::string& b) const;
};

// Copies `text` into a caller's buffer of `size` bytes, always terminated.
// Returns the number of characters copied (without the terminator).
size_t copyTruncated(const std::string& text, char* buffer, size_t size);

}  // namespace os::sim
