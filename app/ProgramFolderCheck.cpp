#include "app/ProgramFolderCheck.h"

#include "app/AdminCheck.h"
#include "app/CommandLine.h"
#include "app/QuietInstall.h"
#include "config/ProgramFolder.h"
#include "install/InstallLog.h"
#include "install/TrustedAccounts.h"

namespace app {

int holdProgramFolder(install::HeldProgramFolder& held) {
    if (!isLocalSystem()) return 0;
    const std::string folder = config::programFolder();
    const std::vector<BYTE> own = runningAccountSid();
    switch (held.hold(folder, install::trustedAccounts(own))) {
        case install::FolderCheck::Kept:
            install::logStep("the program's folder " + folder +
                             ", what it holds and the folders above it may be changed by the administrators alone");
            return 0;
        case install::FolderCheck::OnAShare:
            install::logStep("the program's folder " + folder +
                             " lies on a network share, the administrator's choice: its access lists were not checked");
            return 0;
        case install::FolderCheck::Refused:
            break;
    }
    return endUnattended(kExitFailed, "the program runs as the local system account from " + folder + ", but " +
                                          held.refusal() +
                                          ": nothing was changed. Run it from a folder only administrators may change.");
}

}  // namespace app
