// An unattended run as the local system account (as a deployment agent or
// the package starts it) holds its own program folder to the rules of
// install/HeldProgramFolder.h before it changes anything, and keeps it held
// until the run has ended. Any other account runs from wherever it was
// started, as before: it can do nothing a folder's other users could not.
#pragma once

#include "install/HeldProgramFolder.h"

namespace app {

// 0 to go on, the folder held in `held` where it was checked; else the
// exit code of the refusal, logged with its reason.
int holdProgramFolder(install::HeldProgramFolder& held);

}  // namespace app
