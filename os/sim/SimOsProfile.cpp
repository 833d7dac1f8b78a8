// Initialisation files of the simulation, read from and written to its disks.
#include <cstring>

#include "os/sim/IniFile.h"
#include "os/sim/SimObjects.h"

namespace os::sim {
namespace {

// The file a profile call works on. A bare name lives in the Windows
// directory; anything with a path is taken from the current directory.
std::string profilePath(SimOs& os, LPCSTR fileName) {
    std::string name = fileName ? fileName : "win.ini";
    if (name.find_first_of("\\/:") == std::string::npos)
        return FileSystem::fullPath(os.machine().windowsDirectory + "\\" + name,
                                    os.machine().currentDirectory);
    return os.fullPath(name);
}

std::string winIniPath(SimOs& os) { return profilePath(os, "win.ini"); }

// Reads the file as another program may have left it open: it must allow
// reading, and it may be writing.
DWORD loadProfile(SimOs& os, const std::string& full, IniFile* ini) {
    std::shared_ptr<FileSystem::Opening> opening;
    DWORD error = os.files().open(full, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  OPEN_EXISTING, 0, &opening);
    if (error) return error;
    const auto& data = opening->node->data;
    *ini = IniFile(std::string(data.begin(), data.end()));
    os.files().close(opening);
    return 0;
}

// A value in matching single or double quotes is handed out without them.
std::string unquoted(const std::string& value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

// The default as Windows uses it: none is the empty text, and trailing
// blanks are dropped.
std::string defaultOf(LPCSTR defaultText) {
    std::string text = defaultText ? defaultText : "";
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return unquoted(text);
}

DWORD copyValue(const std::string& text, LPSTR buffer, DWORD size) {
    return static_cast<DWORD>(copyTruncated(text, buffer, size));
}

// Names, each zero-terminated, the list ended by a second zero. When they do
// not fit, the last one is cut so that both zeros fit, and the result is size - 2.
DWORD copyList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
    std::string packed;
    for (const auto& name : names) packed += name + '\0';
    if (packed.size() + 1 < size) {
        std::memcpy(buffer, packed.data(), packed.size());
        buffer[packed.size()] = '\0';
        return static_cast<DWORD>(packed.size());
    }
    if (size < 2) {
        if (size == 1) buffer[0] = '\0';
        return 0;
    }
    DWORD room = size - 2;
    std::memcpy(buffer, packed.data(), room);
    buffer[room] = '\0';
    buffer[room + 1] = '\0';
    return room;
}

DWORD readProfile(SimOs& os, const std::string& full, LPCSTR section, LPCSTR key,
                  LPCSTR defaultText, LPSTR buffer, DWORD size) {
    if (buffer == nullptr || size == 0) return 0;
    IniFile ini;
    DWORD error = loadProfile(os, full, &ini);
    // Windows reports a missing file this way even though the call answers.
    if (error) os.fail(error);
    if (section == nullptr) {
        if (error) return copyList({}, buffer, size);
        return copyList(ini.sectionNames(), buffer, size);
    }
    if (key == nullptr) {
        std::vector<std::string> names;
        if (!error && ini.keyNames(section, &names) && !names.empty())
            return copyList(names, buffer, size);
        return copyValue(defaultOf(defaultText), buffer, size);
    }
    std::string value;
    if (!error && ini.value(section, key, &value)) return copyValue(unquoted(value), buffer, size);
    return copyValue(defaultOf(defaultText), buffer, size);
}

bool isDigitOf(char c, unsigned base, unsigned* digit) {
    unsigned value = 99;
    if (c >= '0' && c <= '9') value = static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f') value = static_cast<unsigned>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') value = static_cast<unsigned>(c - 'A' + 10);
    *digit = value;
    return value < base;
}

// The number at the start of a value, as Windows converts it: an optional
// sign, then decimal digits, or hexadecimal, octal or binary after "0x",
// "0o" or "0b", up to the first other character, in 32 bits that wrap.
UINT profileNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        char mark = upperAscii(text[i + 1]);
        base = mark == 'X' ? 16 : mark == 'O' ? 8 : mark == 'B' ? 2 : 10;
        if (base != 10) i += 2;
    }
    uint32_t number = 0;
    unsigned digit = 0;
    for (; i < text.size() && isDigitOf(text[i], base, &digit); ++i)
        number = number * base + digit;
    return negative ? 0u - number : number;
}

BOOL writeProfile(SimOs& os, const std::string& full, LPCSTR section, LPCSTR key, LPCSTR value) {
    // Three nulls ask Windows to flush its cache of the file; the simulation
    // keeps none. Windows documents the result of a flush as zero.
    if (section == nullptr && key == nullptr && value == nullptr) return FALSE;
    if (section == nullptr) {
        os.fail(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    // Windows creates the file even when the call only deletes something.
    std::shared_ptr<FileSystem::Opening> opening;
    DWORD error = os.files().open(full, GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS, 0, &opening);
    if (error) {
        os.fail(error);
        return FALSE;
    }
    auto& data = opening->node->data;
    IniFile ini(std::string(data.begin(), data.end()));
    if (key == nullptr)
        ini.removeSection(section);
    else if (value == nullptr)
        ini.removeKey(section, key);
    else
        ini.set(section, key, value);
    std::string bytes = ini.bytes();
    data.assign(bytes.begin(), bytes.end());
    os.files().close(opening);
    return TRUE;
}

}  // namespace

DWORD SimOs::GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText,
                                      LPSTR buffer, DWORD size, LPCSTR fileName) {
    SIM_LOCK();
    std::string full = profilePath(*this, fileName);
    if (enter("GetPrivateProfileStringA", full)) return copyValue("", buffer, size);
    return readProfile(*this, full, section, key, defaultText, buffer, size);
}

UINT SimOs::GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue,
                                  LPCSTR fileName) {
    SIM_LOCK();
    std::string full = profilePath(*this, fileName);
    if (enter("GetPrivateProfileIntA", full)) return static_cast<UINT>(defaultValue);
    // A list of names is no number.
    if (section == nullptr || key == nullptr) return static_cast<UINT>(defaultValue);
    char text[64];
    if (readProfile(*this, full, section, key, "", text, sizeof text) == 0)
        return static_cast<UINT>(defaultValue);
    return profileNumber(text);
}

BOOL SimOs::WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value,
                                       LPCSTR fileName) {
    SIM_LOCK();
    std::string full = profilePath(*this, fileName);
    if (enter("WritePrivateProfileStringA", full)) return FALSE;
    return writeProfile(*this, full, section, key, value);
}

DWORD SimOs::GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer,
                               DWORD size) {
    SIM_LOCK();
    std::string full = winIniPath(*this);
    if (enter("GetProfileStringA", full)) return copyValue("", buffer, size);
    return readProfile(*this, full, section, key, defaultText, buffer, size);
}

BOOL SimOs::WriteProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value) {
    SIM_LOCK();
    std::string full = winIniPath(*this);
    if (enter("WriteProfileStringA", full)) return FALSE;
    return writeProfile(*this, full, section, key, value);
}

}  // namespace os::sim
