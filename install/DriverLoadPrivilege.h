// The privilege AddMonitor's caller must have, by its documentation:
// SeLoadDriverPrivilege, which an administrator's token holds disabled.
#pragma once

namespace install {

// Enables SeLoadDriverPrivilege in the process token on 64-bit Windows; on
// 32-bit Windows nothing is asked. A failure is logged and otherwise left to
// AddMonitor, which then says what it says. True when it is enabled.
bool enableDriverLoadPrivilege();

}  // namespace install
