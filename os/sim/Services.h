// The simulated service control manager's services. A service moves
// through the states of the real one (stopped 1, start pending 2, stop
// pending 3, running 4) on the virtual clock; its answers to status
// queries, starts and stops can be scripted.
//
// The operations here are the service control manager's side of
// StartServiceA, ControlService(SERVICE_CONTROL_STOP) and
// QueryServiceStatus: they return the Win32 error code (0 for success).
// Handles, access rights and the last error are SimOs's.
#pragma once

#include <deque>
#include <map>
#include <string>

#include "os/WinApi.h"
#include "os/sim/Text.h"

// Codes of the service control manager that the native declarations lack.
#ifndef ERROR_CALL_NOT_IMPLEMENTED
#define ERROR_CALL_NOT_IMPLEMENTED 120L
#endif
#ifndef ERROR_INVALID_SERVICE_CONTROL
#define ERROR_INVALID_SERVICE_CONTROL 1052L
#endif
#ifndef ERROR_SERVICE_CANNOT_ACCEPT_CTRL
#define ERROR_SERVICE_CANNOT_ACCEPT_CTRL 1061L
#endif
#ifndef ERROR_DATABASE_DOES_NOT_EXIST
#define ERROR_DATABASE_DOES_NOT_EXIST 1065L
#endif
#ifndef RPC_X_NULL_REF_POINTER
#define RPC_X_NULL_REF_POINTER 1780L
#endif
#ifndef SERVICE_CONTROL_INTERROGATE
#define SERVICE_CONTROL_INTERROGATE 0x00000004
#endif

namespace os::sim {

class Services {
public:
    struct Service {
        std::string name;
        DWORD state = SERVICE_STOPPED;
        // How long a start or a stop stays pending on the virtual clock.
        DWORD startDelay = 40;
        DWORD stopDelay = 50;
        // States that the next status queries report instead of the real
        // one, in order ("running at the third query": {2, 2, 4}). The
        // service itself takes each state it reports, so after the script
        // it stays in the last one (a pending state then ends after its
        // delay, as any other).
        std::deque<DWORD> scriptedQueries;
        // When not 0, StartServiceA / ControlService(STOP) fail with this code.
        DWORD startError = 0;
        DWORD stopError = 0;
        // A service whose start never completes stays start pending.
        bool startHangs = false;
        int queries = 0;
        int starts = 0;
        int stops = 0;
        // When the pending state ends (virtual time) and what it becomes.
        DWORD pendingUntil = 0;
        DWORD pendingTarget = 0;
    };

    Service& add(const std::string& name, DWORD state);
    Service* find(const std::string& name);
    Service& spooler() { return *find("Spooler"); }

    // Brings every pending service up to the clock. Returns true when the
    // Spooler's running state (loaded or not) changed.
    bool advance(DWORD now);

    // StartServiceA: ERROR_SERVICE_ALREADY_RUNNING unless the service is
    // stopped; otherwise it is start pending until startDelay has passed.
    DWORD start(Service& service, DWORD now);
    // ControlService(SERVICE_CONTROL_STOP): ERROR_SERVICE_NOT_ACTIVE when
    // stopped, ERROR_SERVICE_CANNOT_ACCEPT_CTRL while pending; otherwise it
    // is stop pending until stopDelay has passed. `filled` tells whether
    // Windows fills the caller's status record for this outcome.
    DWORD stop(Service& service, DWORD now, bool* filled);
    // QueryServiceStatus: the state now, or the next scripted one.
    DWORD query(Service& service, DWORD now);
    // The status record of the service's current state.
    static SERVICE_STATUS status(const Service& service, DWORD now);

    // Whether the service holds what it loaded: every state but stopped.
    static bool isActive(const Service& service) { return service.state != SERVICE_STOPPED; }

private:
    void settle(Service& service, DWORD now);
    std::map<std::string, Service, LessNoCase> services_;
};

}  // namespace os::sim
