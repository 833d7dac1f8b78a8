#include "os/sim/IniFile.h"

#include "os/sim/Text.h"

namespace os::sim {
namespace {

const size_t npos = std::string::npos;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trim(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && isBlank(text[first])) ++first;
    while (last > first && isBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

}  // namespace

IniFile::IniFile(const std::string& bytes) {
    size_t start = 0;
    while (start < bytes.size()) {
        size_t newline = bytes.find('\n', start);
        if (newline == npos) {
            lines_.push_back({bytes.substr(start), ""});
            break;
        }
        bool crlf = newline > start && bytes[newline - 1] == '\r';
        size_t textEnd = crlf ? newline - 1 : newline;
        lines_.push_back({bytes.substr(start, textEnd - start), crlf ? "\r\n" : "\n"});
        start = newline + 1;
    }
}

std::string IniFile::bytes() const {
    std::string result;
    for (const auto& line : lines_) result += line.text + line.end;
    return result;
}

IniFile::Parsed IniFile::parse(const std::string& text) {
    Parsed parsed;
    std::string line = trim(text);
    if (line.empty()) {
        parsed.kind = Kind::Blank;
        return parsed;
    }
    // A '[' without a closing ']' does not open a section; the line is read
    // like any other.
    size_t close = line.rfind(']');
    if (line[0] == '[' && close != npos) {
        parsed.kind = Kind::Section;
        parsed.name = trim(line.substr(1, close - 1));
        return parsed;
    }
    size_t equals = line.find('=');
    if (equals == npos) return parsed;
    parsed.kind = Kind::Key;
    parsed.name = trim(line.substr(0, equals));
    parsed.value = trim(line.substr(equals + 1));
    return parsed;
}

size_t IniFile::findSection(const std::string& section) const {
    std::string wanted = trim(section);
    for (size_t i = 0; i < lines_.size(); ++i) {
        Parsed parsed = parse(lines_[i].text);
        if (parsed.kind == Kind::Section && equalsNoCase(parsed.name, wanted)) return i;
    }
    return npos;
}

size_t IniFile::sectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < lines_.size() && parse(lines_[i].text).kind != Kind::Section) ++i;
    return i;
}

size_t IniFile::findKey(size_t header, const std::string& key) const {
    std::string wanted = trim(key);
    size_t end = sectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        Parsed parsed = parse(lines_[i].text);
        if (parsed.kind == Kind::Key && equalsNoCase(parsed.name, wanted)) return i;
    }
    return npos;
}

bool IniFile::value(const std::string& section, const std::string& key,
                    std::string* value) const {
    size_t header = findSection(section);
    if (header == npos) return false;
    size_t line = findKey(header, key);
    if (line == npos) return false;
    *value = parse(lines_[line].text).value;
    return true;
}

std::vector<std::string> IniFile::sectionNames() const {
    std::vector<std::string> names;
    for (const auto& line : lines_) {
        Parsed parsed = parse(line.text);
        if (parsed.kind == Kind::Section && !parsed.name.empty()) names.push_back(parsed.name);
    }
    return names;
}

bool IniFile::keyNames(const std::string& section, std::vector<std::string>* names) const {
    names->clear();
    size_t header = findSection(section);
    if (header == npos) return false;
    size_t end = sectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        Parsed parsed = parse(lines_[i].text);
        // An empty name would end the zero-separated list early.
        if (parsed.kind != Kind::Key || parsed.name.empty() || parsed.name[0] == ';') continue;
        names->push_back(parsed.name);
    }
    return true;
}

void IniFile::insertLine(size_t at, const std::string& text) {
    if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = "\r\n";
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{text, "\r\n"});
}

void IniFile::set(const std::string& section, const std::string& key, const std::string& value) {
    size_t header = findSection(section);
    if (header == npos) {
        insertLine(lines_.size(), "[" + trim(section) + "]");
        insertLine(lines_.size(), trim(key) + "=" + value);
        return;
    }
    size_t line = findKey(header, key);
    if (line != npos) {
        lines_[line].text = parse(lines_[line].text).name + "=" + value;
        return;
    }
    // After the section's last line that says something, so that a blank
    // line separating it from the next section stays where it is.
    size_t at = sectionEnd(header);
    while (at > header + 1 && parse(lines_[at - 1].text).kind == Kind::Blank) --at;
    insertLine(at, trim(key) + "=" + value);
}

void IniFile::removeKey(const std::string& section, const std::string& key) {
    size_t header = findSection(section);
    if (header == npos) return;
    size_t line = findKey(header, key);
    if (line != npos) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(line));
}

void IniFile::removeSection(const std::string& section) {
    size_t header = findSection(section);
    if (header == npos) return;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(sectionEnd(header)));
}

}  // namespace os::sim
