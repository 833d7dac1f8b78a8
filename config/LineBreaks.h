// Where a language text breaks its lines: the markers "\1", "\2" and "\3" in
// the language file. Kept apart, with nothing else, so that the end-to-end
// tests word the texts they expect with the program's own rule.
#pragma once

#include <cstring>
#include <initializer_list>

namespace app {

// Replaces the first occurrence of each of "\1", "\2", "\3", in that order,
// by a carriage return and line feed, in place.
inline void applyLineBreaks(char* text) {
    for (const char* marker : {"\\1", "\\2", "\\3"}) {
        char* at = std::strstr(text, marker);
        if (at != nullptr) {
            at[0] = '\r';
            at[1] = '\n';
        }
    }
}

}  // namespace app
