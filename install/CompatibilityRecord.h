// The one thing the program records about itself on Windows Vista, and the
// running system's line of the install log.
#pragma once

namespace app {

// Where Vista's Program Compatibility Assistant keeps the programs it should
// leave alone.
extern const char* const kCompatibilityKey;

// Records the program file's full path under kCompatibilityKey of the
// current user with the DWORD 1, creating the key when it is missing.
// Failures are not reported: the record is then simply missing.
void recordVistaCompatibility();

// Writes the running system's line (describeSystem's) to the install log.
void logRunningSystem();

}  // namespace app
