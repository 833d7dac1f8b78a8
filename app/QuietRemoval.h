// The unattended removal: the printers this program installed for one model
// and what nothing uses any more once they are gone. It runs after the same
// start-up checks as an installation; nothing is shown, every step goes to
// the log.
#pragma once

#include "app/CommandLine.h"

namespace app {

// Returns 0 removed, 3010 removed but a file goes only when Windows starts
// again, 1605 nothing of the model installed (or no such model on this
// disc), 1603 failed, or a start-up check's code.
int runQuietRemoval(const CommandLine& line);

}  // namespace app
