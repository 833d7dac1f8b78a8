#include "config/ProfileValues.h"

#include <climits>
#include <vector>

#include "os/Os.h"

namespace config {

std::string readValue(const std::string& file, const std::string& section,
                      const std::string& key, size_t room, unsigned* length) {
    std::vector<char> buffer(room + 1, '\0');
    DWORD n = os::sys().GetPrivateProfileStringA(section.c_str(), key.c_str(), "0", buffer.data(),
                                                 static_cast<DWORD>(buffer.size()), file.c_str());
    if (length) *length = n;
    buffer.back() = '\0';
    return std::string(buffer.data());
}

int readInteger(const std::string& file, const std::string& section, const std::string& key,
                size_t room) {
    return parseDecimal(readValue(file, section, key, room));
}

int parseDecimal(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                               text[i] == '\r' || text[i] == '\v' || text[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

std::string moduleDirectory() {
    char path[200] = {};
    DWORD n = os::sys().GetModuleFileNameA(nullptr, path, sizeof path);
    // A path that fills the buffer may come back without a terminator
    // (Windows XP); it is cut to the buffer rather than read beyond it.
    if (n >= sizeof path) path[sizeof path - 1] = '\0';
    std::string text(path);
    size_t slash = text.find_last_of('\\');
    return slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
}

}  // namespace config
