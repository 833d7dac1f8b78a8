// Texts the program words itself and shows in a window or message box: each
// is read from the language file like every other text, under a key of its
// own in section "Message", and a file without the key (an older medium's)
// gets the plain English text. Figures (a path, a list of files, a number)
// stand in a text as %1 to %9.
#pragma once

#include <string>
#include <vector>

namespace app {

struct Wording {
    const char* key;      // in section "Message"; null for a text only a log shows
    const char* english;  // where the file has none, with its placeholders
};

// `pattern` with each %1 to %9 replaced by the figure of that number, in one
// pass: a figure is inserted as it is and never read for placeholders, and
// a % before anything else stays. The pattern is never given to a format
// function. A figure the pattern does not name is appended after a blank,
// so that a translation without a placeholder still shows every figure.
std::string withFigures(const std::string& pattern, const std::vector<std::string>& figures);

// A text with its figures: shown in the language file's words, logged in English.
class Notice {
public:
    Notice() = default;
    explicit Notice(const Wording& wording, std::vector<std::string> figures = {});

    std::string shown() const;
    std::string english() const;

private:
    const Wording* wording_ = nullptr;
    std::vector<std::string> figures_;
};

// The language file's text of `wording` (its English where the file has
// none) with its figures.
std::string shownText(const Wording& wording, const std::vector<std::string>& figures = {});
// Its English with its figures, for a log.
std::string englishText(const Wording& wording, const std::vector<std::string>& figures = {});

// One of the two: a text made of texts is worded in one language throughout.
using Voice = std::string (*)(const Wording&, const std::vector<std::string>&);

}  // namespace app
