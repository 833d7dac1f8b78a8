// Fault injection for the simulated Windows: any call can be told to fail
// with a chosen error code, optionally only for a subject (a path, key or
// name containing a text), after a number of matching calls, a number of times.
#pragma once

#include <string>
#include <vector>

#include "os/WinApi.h"

namespace os::sim {

class Faults {
public:
    class Rule {
    public:
        // Only calls whose subject contains `text` (without regard to case).
        Rule& when(const std::string& text);
        // Let `count` matching calls through before failing.
        Rule& after(int count);
        // Fail `count` times, then let calls through again (default: always).
        Rule& times(int count);

    private:
        friend class Faults;
        std::string call_;
        std::string subject_;
        DWORD error_ = 0;
        int skip_ = 0;
        int remaining_ = -1;
    };

    // Makes `call` (the Win32 name, e.g. "CopyFileA") fail with `error`.
    Rule& fail(const std::string& call, DWORD error);
    void clear();

    // Called by the simulation at the start of each operation. Returns true
    // and the error code when the call must fail.
    bool take(const char* call, const std::string& subject, DWORD* error);

private:
    std::vector<Rule> rules_;
};

}  // namespace os::sim
