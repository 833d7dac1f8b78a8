#include "os/sim/Services.h"

namespace os::sim {

Services::Service& Services::add(const std::string& name, DWORD state) {
    Service& s = services_[name];
    s.name = name;
    s.state = state;
    return s;
}

Services::Service* Services::find(const std::string& name) {
    auto it = services_.find(name);
    return it == services_.end() ? nullptr : &it->second;
}

void Services::settle(Service& s, DWORD now) {
    if (s.pendingTarget == 0 || now < s.pendingUntil) return;
    if (s.pendingTarget == SERVICE_RUNNING && s.startHangs) return;
    s.state = s.pendingTarget;
    s.pendingTarget = 0;
}

bool Services::advance(DWORD now) {
    bool spoolerChanged = false;
    for (auto& entry : services_) {
        Service& s = entry.second;
        bool wasActive = isActive(s);
        settle(s, now);
        if (equalsNoCase(s.name, "Spooler") && wasActive != isActive(s)) spoolerChanged = true;
    }
    return spoolerChanged;
}

DWORD Services::start(Service& s, DWORD now) {
    settle(s, now);
    s.starts++;
    if (s.startError) return s.startError;
    // A service that is still stopping has a process that has not ended:
    // the manager refuses a second instance just as for a running one.
    if (s.state != SERVICE_STOPPED) return ERROR_SERVICE_ALREADY_RUNNING;
    s.state = SERVICE_START_PENDING;
    s.pendingTarget = SERVICE_RUNNING;
    s.pendingUntil = now + s.startDelay;
    return 0;
}

DWORD Services::stop(Service& s, DWORD now, bool* filled) {
    settle(s, now);
    s.stops++;
    *filled = false;
    if (s.stopError) return s.stopError;
    *filled = true;
    if (s.state == SERVICE_STOPPED) return ERROR_SERVICE_NOT_ACTIVE;
    if (s.state != SERVICE_RUNNING) return ERROR_SERVICE_CANNOT_ACCEPT_CTRL;
    s.state = SERVICE_STOP_PENDING;
    s.pendingTarget = SERVICE_STOPPED;
    s.pendingUntil = now + s.stopDelay;
    return 0;
}

DWORD Services::query(Service& s, DWORD now) {
    settle(s, now);
    s.queries++;
    if (s.scriptedQueries.empty()) return s.state;
    DWORD reported = s.scriptedQueries.front();
    s.scriptedQueries.pop_front();
    // The service takes the state it reported; a pending one runs its course.
    s.state = reported;
    s.pendingTarget = 0;
    if (reported == SERVICE_START_PENDING) {
        s.pendingTarget = SERVICE_RUNNING;
        s.pendingUntil = now + s.startDelay;
    } else if (reported == SERVICE_STOP_PENDING) {
        s.pendingTarget = SERVICE_STOPPED;
        s.pendingUntil = now + s.stopDelay;
    }
    return reported;
}

SERVICE_STATUS Services::status(const Service& s, DWORD now) {
    SERVICE_STATUS st = {};
    st.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    st.dwCurrentState = s.state;
    st.dwControlsAccepted = s.state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    st.dwWin32ExitCode = NO_ERROR;
    if (s.pendingTarget != 0) {
        st.dwCheckPoint = 1;
        st.dwWaitHint = s.pendingUntil > now ? s.pendingUntil - now : 0;
    }
    return st;
}

}  // namespace os::sim
