// Whom the program trusts with what it runs or writes as an administrator
// or the system account: besides the administrators, the system and
// TrustedInstaller, its own account, and on Windows 2000 to 2003 the Power
// Users, who may change the Windows and system folders there anyway. From
// Vista on a member of that group has no administrator's rights.
#pragma once

#include <vector>

#include "install/SecurityDescriptor.h"
#include "os/WinApi.h"

namespace install {

// `ownSid` (empty: none) must outlive the answer, which points into it.
SdTrusted trustedAccounts(const std::vector<BYTE>& ownSid);

}  // namespace install
