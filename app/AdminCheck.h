// Whether the program runs with administrator rights: whether its token
// holds the built-in Administrators group.
#pragma once

#include <vector>

#include "os/WinApi.h"

namespace app {

// Looks at the thread's token when the thread impersonates, else at the
// process's. Any call that fails means "not an administrator"; the group's
// attributes are not examined.
bool isAdministrator();

// Windows 2000 to 7 let only an administrator install: whether the system
// the program runs on (its TargetOs) asks for one and the program is not
// one. The other systems ask for nothing.
bool administratorMissing(int runningOs);

// Whether the program runs as the local system account (as a deployment
// agent starts it). Any call that fails means "not the system account".
bool isLocalSystem();

// The SID of the account the program runs as; empty when the token cannot
// be read.
std::vector<BYTE> runningAccountSid();

}  // namespace app
