// Placeholder: not yet simulated (ERROR_CALL_NOT_IMPLEMENTED).
#include "os/sim/SimObjects.h"

namespace os::sim {

BOOL SimOs::SetupIterateCabinetA(PCSTR, DWORD, PSP_FILE_CALLBACK_A, PVOID) {
    fail(120);
    return FALSE;
}

}  // namespace os::sim
