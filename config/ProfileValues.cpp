#include "config/ProfileValues.h"

#include "config/AsciiCase.h"

#include <climits>
#include <vector>

#include "os/Os.h"

namespace config {
namespace {

// A section's key names as the system lists them, read into `size`
// characters; false when the list fills them and may have been cut.
bool listKeyNames(const std::string& file, const std::string& section, size_t size,
                  std::vector<std::string>* names) {
    std::vector<char> list(size, '\0');
    DWORD length = os::sys().GetPrivateProfileStringA(section.c_str(), nullptr, "", list.data(),
                                                      static_cast<DWORD>(size), file.c_str());
    if (length + 2 >= size) return false;
    names->clear();
    for (size_t at = 0; at < length && list[at] != '\0'; at += names->back().size() + 1)
        names->emplace_back(&list[at]);
    return true;
}

}  // namespace

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

std::vector<std::string> readKeyNames(const std::string& file, const std::string& section) {
    std::vector<std::string> names;
    // A list that fills the buffer may have been cut: read it again, larger.
    for (size_t size = 4096; size <= (1u << 24); size *= 4)
        if (listKeyNames(file, section, size, &names)) return names;
    return std::vector<std::string>();
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

namespace {

std::string trimSpaces(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool quoted(const std::string& text) {
    return !text.empty() && (text.front() == '"' || text.front() == '\'' || text.back() == '"' ||
                             text.back() == '\'');
}

// The whole file, or false when it cannot be read.
bool readWholeFile(const std::string& path, std::string* bytes) {
    os::Os& sys = os::sys();
    // Shared as the profile functions open it: a file open for writing is still read.
    HANDLE file = sys.CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    DWORD size = sys.GetFileSize(file, &high);
    bool read = size != INVALID_FILE_SIZE && high == 0 && size < (1u << 24);
    if (read) {
        bytes->assign(size, '\0');
        DWORD total = 0;
        while (read && total < size) {
            DWORD got = 0;
            read = sys.ReadFile(file, &(*bytes)[total], size - total, &got, nullptr) != FALSE && got > 0;
            total += got;
        }
    }
    sys.CloseHandle(file);
    return read;
}

// The lines of a file of printable ASCII, each ended by CR LF or LF (the
// last one may have no end); false for any other byte.
bool plainLines(const std::string& bytes, std::vector<std::string>* lines) {
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\n') {
            size_t end = i > start && bytes[i - 1] == '\r' ? i - 1 : i;
            lines->push_back(bytes.substr(start, end - start));
            start = i + 1;
        } else if (c == '\r') {
            if (i + 1 >= bytes.size() || bytes[i + 1] != '\n') return false;
        } else if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    if (start < bytes.size()) lines->push_back(bytes.substr(start));
    return true;
}

}  // namespace

bool SectionSnapshot::read(const std::string& file, const std::string& section) {
    keyNames_.clear();
    values_.clear();
    std::string bytes;
    std::vector<std::string> lines;
    if (!readWholeFile(file, &bytes) || !plainLines(bytes, &lines)) return false;
    const std::string wanted = upperAscii(trimSpaces(section));
    int found = 0;
    bool inside = false;
    for (const std::string& raw : lines) {
        const std::string line = trimSpaces(raw);
        if (line.empty()) continue;
        if (line.front() == '[') {
            if (line.back() != ']') return false;
            inside = upperAscii(trimSpaces(line.substr(1, line.size() - 2))) == wanted;
            if (inside) ++found;
            continue;
        }
        if (!inside) continue;
        // A comment is no key anywhere, and no key asked for begins with ';'.
        if (line.front() == ';') continue;
        size_t equals = line.find('=');
        // A line without a value is read differently by different systems.
        if (equals == std::string::npos) return false;
        std::string key = trimSpaces(line.substr(0, equals));
        std::string value = trimSpaces(line.substr(equals + 1));
        if (key.empty() || quoted(key) || quoted(value)) return false;
        keyNames_.push_back(key);
        values_.emplace(upperAscii(key), value);
    }
    if (found != 1) return false;
    // The system's own list of the section's keys, which must be the one read here.
    std::vector<std::string> names;
    return listKeyNames(file, section, bytes.size() + 2, &names) && names == keyNames_;
}

std::string SectionSnapshot::value(const std::string& key, size_t room) const {
    auto found = values_.find(upperAscii(trimSpaces(key)));
    std::string value = found == values_.end() ? "0" : found->second;
    return value.substr(0, room);
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
