// The simulated service control manager's services. A service moves
// through the states of the real one (stopped 1, start pending 2, stop
// pending 3, running 4) on the virtual clock; its answers to status
// queries, starts and stops can be scripted.
#pragma once

#include <deque>
#include <map>
#include <string>

#include "os/WinApi.h"
#include "os/sim/Text.h"

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
        // service itself takes the last state reported.
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

private:
    std::map<std::string, Service, LessNoCase> services_;
};

}  // namespace os::sim
