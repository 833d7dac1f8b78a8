// The driver store's printing package ("ntprint"), where Windows keeps the
// Unidrv files from Vista on, as Windows 8 and later lay it out: its folders
// are "ntprint.inf_{x86|amd64}_" and a hash (on Windows 7
// "ntprint.inf_{x86|amd64}_neutral_" and a hash), beside "ntprint4.inf_"
// folders of the version-4 driver model that hold none of these files; and
// updates leave several versions.
#pragma once

#include <string>

#include "os/RunningSystem.h"

namespace install {

// The full path of `file` in the package of `architecture`: in the folder
// Windows names for its "ntprint.inf" where it can (Vista on) and that
// folder is one of the architecture holding the file; else in the first
// folder of the architecture in `repository` (with its closing backslash)
// that holds it. Below the package the files lie in "I386" (x86) or
// "Amd64" (x64). False when no package holds the file.
bool findInNtprintPackage(const std::string& repository, os::Architecture architecture, const std::string& file,
                          std::string* source);

}  // namespace install
