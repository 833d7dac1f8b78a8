// The privilege the spooler's calls that load code into it want of their
// caller, by their documentation: SeLoadDriverPrivilege, for
// AddPrinterDriver(Ex), AddPrintProcessor, AddMonitor and DeleteMonitor. An
// administrator's token holds it disabled.
#pragma once

namespace install {

// Enables SeLoadDriverPrivilege in the process token on the NT family, once
// in a run (the first call asks; later ones answer as it did); Windows 95,
// 98 and Me have no privileges. Called before each of those calls, so that
// the first of them, whichever it is, finds it enabled. A failure (a token
// that does not hold it, say) is logged and otherwise left to the call,
// which then says what it says. True when it is enabled.
bool enableDriverLoadPrivilege();

}  // namespace install
