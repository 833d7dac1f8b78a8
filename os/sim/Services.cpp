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

bool Services::advance(DWORD) { return false; }

}  // namespace os::sim
