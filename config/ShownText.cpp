#include "config/ShownText.h"

#include "config/TextTable.h"

namespace app {
namespace {

// The number of the placeholder at `text[at]`, or 0 when none stands there.
size_t placeholderAt(const std::string& text, size_t at, size_t figureCount) {
    if (text[at] != '%' || at + 1 >= text.size()) return 0;
    const char digit = text[at + 1];
    if (digit < '1' || digit > '9') return 0;
    const size_t number = static_cast<size_t>(digit - '0');
    return number <= figureCount ? number : 0;
}

}  // namespace

std::string withFigures(const std::string& pattern, const std::vector<std::string>& figures) {
    std::string text;
    std::vector<bool> named(figures.size(), false);
    for (size_t at = 0; at < pattern.size(); ++at) {
        const size_t number = placeholderAt(pattern, at, figures.size());
        if (number == 0) {
            text += pattern[at];
            continue;
        }
        text += figures[number - 1];
        named[number - 1] = true;
        ++at;
    }
    for (size_t i = 0; i < figures.size(); ++i)
        if (!named[i]) text += " " + figures[i];
    return text;
}

Notice::Notice(const Wording& wording, std::vector<std::string> figures)
    : wording_(&wording), figures_(std::move(figures)) {}

std::string Notice::shown() const { return wording_ ? shownText(*wording_, figures_) : std::string(); }

std::string Notice::english() const { return wording_ ? englishText(*wording_, figures_) : std::string(); }

std::string shownText(const Wording& wording, const std::vector<std::string>& figures) {
    std::string pattern;
    // A fresh table: the text follows the current directory, the medium's
    // once the program has entered it.
    if (wording.key != nullptr) pattern = TextTable("Message").GetText(wording.key);
    if (pattern.empty()) pattern = wording.english;
    return withFigures(pattern, figures);
}

std::string englishText(const Wording& wording, const std::vector<std::string>& figures) {
    return withFigures(wording.english, figures);
}

}  // namespace app
