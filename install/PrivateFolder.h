// A folder of the installation's own, for files the system itself will load
// as the system account (the Unidrv files taken out of the driver cache): a
// name nobody can guess in advance, created new (never one that is already
// there, whoever made it), and on the NT family an access list that lets
// only the administrators and the system in.
#pragma once

#include <string>
#include <vector>

#include "os/WinApi.h"

namespace install {

// The self-relative security descriptor the folder is created with: full
// access for the Administrators group and the local system account, passed on
// to what is created inside, and nothing inherited from the parent folder.
std::vector<BYTE> administratorsAndSystemOnly();

// Makes a new folder in `parent` (a path ending in a backslash). Returns its
// full path without a trailing backslash, or empty when no random name could
// be had or no folder could be made.
std::string makePrivateFolder(const std::string& parent);

}  // namespace install
