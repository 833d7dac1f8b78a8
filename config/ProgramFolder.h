// Where the program file lies. The medium is the program's folder: its
// configuration, texts, driver files and the USB library are found there,
// whatever folder the program was started from.
#pragma once

#include <string>

namespace config {

// The folder of the program file, whole (however long), without a trailing
// backslash; empty when the program's path cannot be read or holds no
// backslash.
std::string programFolder();

// Whether the program's full path fits the 200 characters its configuration
// paths are built in (the path and its terminator). A path that does not
// fit would be cut, and the configuration read from some other folder.
bool programPathFits();

}  // namespace config
