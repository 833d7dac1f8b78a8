#include "os/sim/Faults.h"

#include "os/sim/Text.h"

namespace os::sim {

Faults::Rule& Faults::Rule::when(const std::string& text) {
    subject_ = text;
    return *this;
}

Faults::Rule& Faults::Rule::after(int count) {
    skip_ = count;
    return *this;
}

Faults::Rule& Faults::Rule::times(int count) {
    remaining_ = count;
    return *this;
}

Faults::Rule& Faults::fail(const std::string& call, DWORD error) {
    rules_.emplace_back();
    rules_.back().call_ = call;
    rules_.back().error_ = error;
    return rules_.back();
}

void Faults::clear() { rules_.clear(); }

bool Faults::take(const char* call, const std::string& subject, DWORD* error) {
    for (Rule& rule : rules_) {
        if (rule.call_ != call || rule.remaining_ == 0) continue;
        if (!rule.subject_.empty() && !containsNoCase(subject, rule.subject_)) continue;
        if (rule.skip_ > 0) {
            --rule.skip_;
            continue;
        }
        if (rule.remaining_ > 0) --rule.remaining_;
        *error = rule.error_;
        return true;
    }
    return false;
}

}  // namespace os::sim
