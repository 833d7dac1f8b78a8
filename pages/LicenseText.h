// The licence agreement's text: the whole file as raw bytes, line breaks as
// stored, in the ANSI code page it was written in.
#pragma once

#include <string>

namespace pages {

enum class LicenseRead {
    Read,        // `text` holds the whole file
    Unreadable,  // missing, or it could not be sized or read
    NoMemory,    // no memory for the text
};

// Reads a file through the system layer (a relative path from the current
// directory). Everything opened or allocated is released again.
LicenseRead readLicenseText(const char* path, std::string* text);

}  // namespace pages
