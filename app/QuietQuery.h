// The detection rule of a deployment tool: whether the model is installed
// as this medium installs it, said by the exit code alone. It shows
// nothing, takes no guard against another copy, records nothing and keeps
// no log but the one /log names.
#pragma once

#include "app/CommandLine.h"

namespace app {

// 0 installed and as new as the medium's or newer; 1 installed, but
// something older than the medium's; 1605 not installed (or no such model
// on this medium).
int runQuery(const CommandLine& line);

}  // namespace app
