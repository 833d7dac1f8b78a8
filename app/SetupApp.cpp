#include "app/SetupApp.h"

#include "app/Startup.h"

namespace app {

bool SetupApp::InitInstance() {
    if (checkStartup() != StartupResult::Run) return false;
    StartupSettings settings = readStartupSettings();
    (void)settings;  // the wizard frame and its pages take these
    return false;
}

}  // namespace app
