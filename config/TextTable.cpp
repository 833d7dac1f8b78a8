#include "config/TextTable.h"

#include <cstring>
#include <memory>

#include "os/Os.h"

namespace app {
namespace {

constexpr size_t kPathRoom = 260;
constexpr size_t kSectionRoom = 256;
constexpr size_t kTextRoom = 2048;
const char* const kLanguageFile = "\\language\\setup.ini";

std::unique_ptr<TextTable>& messageTable() {
    static std::unique_ptr<TextTable> table;
    return table;
}

}  // namespace

TextTable::TextTable(const std::string& section) : section_(section.substr(0, kSectionRoom - 1)) {
    char directory[kPathRoom] = {};
    DWORD n = os::sys().GetCurrentDirectoryA(kPathRoom, directory);
    // A directory that cannot be read, or one so long that the language
    // file's path would not fit in 259 characters, leaves the table without
    // a file: its texts are empty rather than read from a cut path.
    if (n == 0 || n >= kPathRoom) return;
    std::string path = std::string(directory) + kLanguageFile;
    if (path.size() < kPathRoom) path_ = path;
}

const char* TextTable::GetText(const std::string& key) const {
    thread_local char text[kTextRoom];
    text[0] = '\0';
    if (!path_.empty()) {
        os::sys().GetPrivateProfileStringA(section_.c_str(), key.c_str(), "", text, kTextRoom,
                                           path_.c_str());
        text[kTextRoom - 1] = '\0';
    }
    applyLineBreaks(text);
    return text;
}

TextTable& MessageTexts() {
    if (!messageTable()) messageTable() = std::make_unique<TextTable>("Message");
    return *messageTable();
}

void reopenMessageTexts() { messageTable() = std::make_unique<TextTable>("Message"); }

}  // namespace app
