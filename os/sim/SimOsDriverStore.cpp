// The driver store of the simulation: where the packages of the system's
// INF files lie (Machine::driverStorePackages).
#include <cstring>

#include "os/sim/SimObjects.h"

namespace os::sim {

BOOL SimOs::SetupGetInfDriverStoreLocationA(PCSTR fileName, const void* platform, PCSTR, PSTR buffer, DWORD size,
                                            PDWORD required) {
    if (!lookUp(SystemFunction::SetupGetInfDriverStoreLocationA)) return FALSE;
    SIM_LOCK();
    const std::string given = fileName ? fileName : "";
    if (enter("SetupGetInfDriverStoreLocationA", given)) return FALSE;
    // Windows Vista brought the driver store.
    if (!machine_.ntAtLeast(6, 0)) {
        fail(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    if (fileName == nullptr || platform != nullptr) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // An INF of the Windows "inf" folder, named with or without its path.
    const std::string name = FileSystem::nameOf(given);
    auto package = machine_.driverStorePackages.find(name);
    if (package == machine_.driverStorePackages.end()) {
        fail(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    const std::string location = package->second + "\\" + name;
    const DWORD needed = static_cast<DWORD>(location.size() + 1);
    if (required) *required = needed;
    if (buffer == nullptr || size < needed) {
        fail(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(buffer, location.c_str(), needed);
    return TRUE;
}

}  // namespace os::sim
