#include "install/CompatibilityRecord.h"

#include "install/InstallLog.h"
#include "install/RegistryKey.h"
#include "os/Os.h"
#include "os/SystemDetection.h"

namespace app {

const char* const kCompatibilityKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";

void recordVistaCompatibility() {
    char path[260] = {};
    DWORD length = os::sys().GetModuleFileNameA(nullptr, path, sizeof path);
    // Without the program's whole path there is nothing to name: a cut path
    // would name another program, an empty one the key's default value.
    if (length == 0 || length >= sizeof path) return;
    install::CreateRegistryKey(HKEY_CURRENT_USER, kCompatibilityKey);
    install::RegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, kCompatibilityKey)) key.SetDword(path, 1);
    key.Close();
}

void logRunningSystem() { install::logStep("running on " + describeSystem(os::runningSystem())); }

}  // namespace app
