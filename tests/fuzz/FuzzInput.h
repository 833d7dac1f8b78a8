// How a fuzz input becomes the files a target writes: its parts are
// separated by lines of four dashes ("\n----\n"); missing parts are empty
// and the last part takes the rest, separators included. Corpus files stay
// readable and editable as text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzzing {

inline std::vector<std::string> splitInput(const uint8_t* data, size_t size, size_t parts) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string separator = "\n----\n";
    std::vector<std::string> result;
    size_t start = 0;
    while (result.size() + 1 < parts) {
        size_t at = input.find(separator, start);
        if (at == std::string::npos) break;
        result.push_back(input.substr(start, at - start));
        start = at + separator.size();
    }
    result.push_back(input.substr(start));
    result.resize(parts);
    return result;
}

// One of `count` choices, written as a digit in the corpus files.
inline int choice(uint8_t byte, int count) { return static_cast<uint8_t>(byte - '0') % count; }

}  // namespace fuzzing

// A fuzz target's own check: a broken promise of the program is a crash.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)
