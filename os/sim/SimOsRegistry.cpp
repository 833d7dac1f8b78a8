// The registry calls of the simulation. Like Windows they return the error
// code instead of setting the last error.
#include <cstring>

#include "os/sim/SimObjects.h"

namespace os::sim {
namespace {

const LONG kKeyDeleted = 1018;  // ERROR_KEY_DELETED
const REGSAM kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | DELETE | WRITE_DAC | WRITE_OWNER;

std::string text(LPCSTR s) { return s ? std::string(s) : std::string(); }

}  // namespace

// Windows 2000 knows no registry views and refuses their flags; later
// 32-bit Windows ignore them.
LONG SimOs::viewRefused(REGSAM access) const {
    bool windows2000 = machine_.isNt() && machine_.major == 5 && machine_.minor == 0;
    return windows2000 && (access & (KEY_WOW64_64KEY | KEY_WOW64_32KEY)) ? ERROR_ACCESS_DENIED
                                                                          : ERROR_SUCCESS;
}

std::shared_ptr<Registry::Key> SimOs::keyOf(HKEY key, REGSAM need, LONG* error) {
    if (auto root = registry_.root(key)) {
        *error = ERROR_SUCCESS;
        return root;
    }
    auto it = keys_.find(reinterpret_cast<uintptr_t>(key));
    if (it == keys_.end()) {
        *error = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    if (it->second.key->deleted) {
        *error = kKeyDeleted;
        return nullptr;
    }
    if ((it->second.access & need) != need) {
        *error = ERROR_ACCESS_DENIED;
        return nullptr;
    }
    *error = ERROR_SUCCESS;
    return it->second.key;
}

LONG SimOs::RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD, REGSAM access, PHKEY result) {
    SIM_LOCK();
    if (enter("RegOpenKeyExA", text(subKey))) return static_cast<LONG>(GetLastError());
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    if (LONG refused = viewRefused(access)) return refused;
    LONG error = 0;
    auto base = keyOf(root, 0, &error);
    if (!base) return error;
    std::shared_ptr<Registry::Key> key;
    if ((error = registry_.open(base, viewedKey(root, text(subKey), access), &key)) != ERROR_SUCCESS)
        return error;
    // Without administrator rights the machine's keys are read-only, however
    // they are reached.
    if (key->machine && !machine_.administrator && (access & kWriteRights))
        return ERROR_ACCESS_DENIED;
    uintptr_t handle = nextHandle_;
    nextHandle_ += 4;
    keys_[handle] = OpenKey{key, access};
    *result = reinterpret_cast<HKEY>(handle);
    return ERROR_SUCCESS;
}

LONG SimOs::RegCreateKeyExA(HKEY root, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access,
                            LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
    SIM_LOCK();
    if (enter("RegCreateKeyExA", text(subKey))) return static_cast<LONG>(GetLastError());
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    if (LONG refused = viewRefused(access)) return refused;
    LONG error = 0;
    auto base = keyOf(root, 0, &error);
    if (!base) return error;
    const std::string path = viewedKey(root, text(subKey), access);
    std::shared_ptr<Registry::Key> existing;
    bool exists = registry_.open(base, path, &existing) == ERROR_SUCCESS;
    if (base->machine && !machine_.administrator && (!exists || (access & kWriteRights)))
        return ERROR_ACCESS_DENIED;
    std::shared_ptr<Registry::Key> key;
    bool created = false;
    if ((error = registry_.create(base, path, &key, &created)) != ERROR_SUCCESS)
        return error;
    uintptr_t handle = nextHandle_;
    nextHandle_ += 4;
    keys_[handle] = OpenKey{key, access};
    *result = reinterpret_cast<HKEY>(handle);
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LONG SimOs::RegCloseKey(HKEY key) {
    SIM_LOCK();
    if (enter("RegCloseKey")) return static_cast<LONG>(GetLastError());
    if (registry_.root(key)) return ERROR_SUCCESS;
    if (keys_.erase(reinterpret_cast<uintptr_t>(key)) == 0) return ERROR_INVALID_HANDLE;
    return ERROR_SUCCESS;
}

LONG SimOs::RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data,
                             LPDWORD dataSize) {
    SIM_LOCK();
    if (enter("RegQueryValueExA", text(valueName))) return static_cast<LONG>(GetLastError());
    if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
    LONG error = 0;
    auto k = keyOf(key, KEY_QUERY_VALUE, &error);
    if (!k) return error;
    auto it = k->values.find(text(valueName));
    if (it == k->values.end()) return ERROR_FILE_NOT_FOUND;
    const auto& value = it->second;
    if (type) *type = value.type;
    DWORD size = static_cast<DWORD>(value.data.size());
    if (data == nullptr) {
        if (dataSize) *dataSize = size;
        return ERROR_SUCCESS;
    }
    if (*dataSize < size) {
        *dataSize = size;
        return ERROR_MORE_DATA;
    }
    if (size) std::memcpy(data, value.data.data(), size);
    *dataSize = size;
    return ERROR_SUCCESS;
}

LONG SimOs::RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data,
                           DWORD dataSize) {
    SIM_LOCK();
    if (enter("RegSetValueExA", text(valueName))) return static_cast<LONG>(GetLastError());
    LONG error = 0;
    auto k = keyOf(key, KEY_SET_VALUE, &error);
    if (!k) return error;
    if (data == nullptr && dataSize > 0) return 998; // ERROR_NOACCESS
    Registry::Value value;
    value.type = type;
    if (dataSize) value.data.assign(data, data + dataSize);
    k->values[text(valueName)] = value;
    return ERROR_SUCCESS;
}

LONG SimOs::RegDeleteValueA(HKEY key, LPCSTR valueName) {
    SIM_LOCK();
    if (enter("RegDeleteValueA", text(valueName))) return static_cast<LONG>(GetLastError());
    LONG error = 0;
    auto k = keyOf(key, KEY_SET_VALUE, &error);
    if (!k) return error;
    if (k->values.erase(text(valueName)) == 0) return ERROR_FILE_NOT_FOUND;
    return ERROR_SUCCESS;
}

LONG SimOs::RegDeleteKeyA(HKEY key, LPCSTR subKey) {
    SIM_LOCK();
    if (enter("RegDeleteKeyA", text(subKey))) return static_cast<LONG>(GetLastError());
    LONG error = 0;
    auto base = keyOf(key, 0, &error);
    if (!base) return error;
    if (base->machine && !machine_.administrator) return ERROR_ACCESS_DENIED;
    // RegDeleteKeyA has no access to name a view: a 32-bit caller deletes
    // in its own unless it holds a key of the other.
    return registry_.remove(base, viewedKey(key, text(subKey), 0));
}

}  // namespace os::sim
