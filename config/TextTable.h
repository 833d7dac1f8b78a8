// The language texts: every text the user sees comes from
// "language\setup.ini" in the current directory, read by section and key.
#pragma once

#include "config/LineBreaks.h"

#include <string>

namespace app {

class TextTable {
public:
    // Opens the table on a section; the file's path is taken from the current
    // directory now.
    explicit TextTable(const std::string& section);

    // The text of `key` (empty when the file, section or key is missing), cut
    // to 2047 characters, with the first "\1", "\2" and "\3" each made a line
    // break. The result lives in a buffer of the calling thread and stays valid
    // until that thread's next lookup: the install worker and the user
    // interface look texts up at the same time.
    const char* GetText(const std::string& key) const;

    const std::string& path() const { return path_; }
    const std::string& section() const { return section_; }

private:
    std::string path_;     // empty when the current directory could not be used
    std::string section_;
};

// The table of section "Message": the source of every IDS_ text.
TextTable& MessageTexts();
// Opens MessageTexts again on the current directory (the program opens it
// once at start; tests move between machines).
void reopenMessageTexts();

}  // namespace app
