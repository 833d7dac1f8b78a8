// How an installed file stands against the medium's copy of it: a program
// by the file version of its version resource, any other file (or a program
// without a version) by its size and content, which can only tell the same
// from another.
#pragma once

#include <cstdint>
#include <string>

namespace install {

// The file version of the version resource's fixed part, its four parts in
// one number; false when the file has no version resource.
bool fileVersion(const std::string& path, uint64_t* version);
// "1.2.3.4"
std::string versionText(uint64_t version);

enum class Standing { Missing, Older, Same, Newer, Different };

// `installed` against `medium`; `how` says it for the log ("1.0.0.2, the
// medium's 1.0.0.3"). Missing when the installed file cannot be read.
Standing compareWithMedium(const std::string& installed, const std::string& medium, std::string* how);

}  // namespace install
