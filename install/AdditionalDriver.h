// The x86 driver that 64-bit Windows keeps beside its own under the same
// name, its "additional driver" for the 32-bit clients of a shared printer.
// Nothing on the machine itself needs it (its 32-bit programs print through
// the x64 driver), so an installation that cannot add it goes on without.
#pragma once

#include <string>

#include "config/Descriptors.h"
#include "os/WinApi.h"

namespace install {

// On 64-bit Windows, once the machine's own driver `driver` is registered:
// places every file of the medium's x86 build of it (the record's files,
// the model's other files `files`, the Unidrv files when it needs them) in
// the folder of "Windows NT x86", then registers the record there under the
// same file names. When a file cannot be placed, or the spooler refuses, it
// logs why and adds nothing. True when the x86 driver was registered; false
// also on 32-bit Windows, which has none.
// How the log names it: "x86 driver NAME for 32-bit clients".
std::string x86DriverLabel(const std::string& name);

bool addX86AdditionalDriver(const DRIVER_INFO_3A& driver, const config::DriverFileList& files, int targetOs,
                            bool needsUnidrvFiles);

}  // namespace install
