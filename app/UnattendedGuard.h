// The single-instance guard of the unattended modes, the quiet installation
// and the removal, which deployment tools run as an administrator or as the
// system account. The wizard's mutex is named after the program file
// ("setup"), and anyone may make it first and keep it: a user who did would
// have every deployment end as "another copy running". The unattended
// modes take a guard of their own: a mutex of the program's own name in the
// Global\ namespace, made with an access list that lets only the
// administrators and the system open it, and owned by the Administrators
// group, so that no other user can hold it. Anyone may still make a mutex
// of either name first; one that no administrator made is not taken for
// another copy of the program, and the run goes on without it.
#pragma once

#include <string>

#include "os/WinApi.h"

namespace app {

// A named mutex made with the guard's access list (the administrators and
// the system alone), owned by the Administrators group where the account
// may give it them (an administrator, the system), else by the account
// itself. Null where it cannot be made, with the system's error code.
HANDLE createAdministratorsMutex(const std::string& name, BOOL initialOwner);

enum class GuardResult {
    Taken,            // held until the program ends
    AnotherCopyRuns,  // an administrator's copy holds the guard, or a wizard its mutex
};

// Takes the guard and the wizard's mutex (`wizardMutex`), so that a wizard
// started meanwhile ends as it does beside another copy. `notes` says what
// was found that no administrator made.
GuardResult takeUnattendedGuard(const std::string& wizardMutex, std::string* notes);

}  // namespace app
