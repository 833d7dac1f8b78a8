// When the spooler refuses a driver, a monitor or a print processor on
// Windows 11 22H2 (build 22621) or later, the log names what Windows may
// have refused it for, beside the call's error code: protected print mode
// (build 26100 on) and the printer driver policies, each with what Windows
// documents it to apply to.
#pragma once

#include <string>

#include "os/WinApi.h"

namespace install {

// Logs the possible causes of `call`'s refusal with `error` on those
// builds, nothing on older ones. The thread's last error is `error` again
// afterwards, for the caller's own report.
void logDriverPolicyCauses(const std::string& call, DWORD error);

}  // namespace install
