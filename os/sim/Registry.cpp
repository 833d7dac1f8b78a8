#include "os/sim/Registry.h"

#include <cstring>

namespace os::sim {
namespace {

// Splits a key path into its names; a trailing backslash is accepted, a
// leading one is not (Windows answers ERROR_BAD_PATHNAME).
bool splitPath(const std::string& path, std::vector<std::string>* names) {
    names->clear();
    if (!path.empty() && path[0] == '\\') return false;
    std::string name;
    for (char c : path) {
        if (c == '\\') {
            if (!name.empty()) names->push_back(name);
            name.clear();
        } else {
            name += c;
        }
    }
    if (!name.empty()) names->push_back(name);
    return true;
}

}  // namespace

Registry::Registry() {
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS}) {
        auto key = std::make_shared<Key>();
        key->machine = root == HKEY_LOCAL_MACHINE;
        roots_[reinterpret_cast<uintptr_t>(root)] = key;
    }
}

std::shared_ptr<Registry::Key> Registry::root(HKEY predefined) const {
    auto it = roots_.find(reinterpret_cast<uintptr_t>(predefined));
    return it == roots_.end() ? nullptr : it->second;
}

LONG Registry::open(const std::shared_ptr<Key>& base, const std::string& subKey,
                    std::shared_ptr<Key>* key) const {
    std::vector<std::string> names;
    if (!splitPath(subKey, &names)) return ERROR_BAD_PATHNAME;
    std::shared_ptr<Key> k = base;
    for (const auto& name : names) {
        auto it = k->subKeys.find(name);
        if (it == k->subKeys.end()) return ERROR_FILE_NOT_FOUND;
        k = it->second;
    }
    *key = k;
    return ERROR_SUCCESS;
}

LONG Registry::create(const std::shared_ptr<Key>& base, const std::string& subKey,
                      std::shared_ptr<Key>* key, bool* created) {
    std::vector<std::string> names;
    if (!splitPath(subKey, &names)) return ERROR_BAD_PATHNAME;
    std::shared_ptr<Key> k = base;
    if (created) *created = false;
    for (const auto& name : names) {
        auto& child = k->subKeys[name];
        if (!child) {
            child = std::make_shared<Key>();
            child->name = name;
            child->machine = k->machine;
            if (created) *created = true;
        }
        k = child;
    }
    *key = k;
    return ERROR_SUCCESS;
}

LONG Registry::remove(const std::shared_ptr<Key>& base, const std::string& subKey) {
    std::vector<std::string> names;
    if (!splitPath(subKey, &names)) return ERROR_BAD_PATHNAME;
    if (names.empty()) return ERROR_ACCESS_DENIED;
    std::shared_ptr<Key> parent = base;
    for (size_t i = 0; i + 1 < names.size(); ++i) {
        auto it = parent->subKeys.find(names[i]);
        if (it == parent->subKeys.end()) return ERROR_FILE_NOT_FOUND;
        parent = it->second;
    }
    auto it = parent->subKeys.find(names.back());
    if (it == parent->subKeys.end()) return ERROR_FILE_NOT_FOUND;
    if (!it->second->subKeys.empty()) return ERROR_ACCESS_DENIED;
    it->second->deleted = true;
    parent->subKeys.erase(it);
    return ERROR_SUCCESS;
}

void Registry::setValue(HKEY rootKey, const std::string& path, const std::string& name,
                        DWORD type, const std::vector<uint8_t>& data) {
    std::shared_ptr<Key> key;
    create(root(rootKey), path, &key, nullptr);
    key->values[name] = Value{type, data};
}

void Registry::setString(HKEY rootKey, const std::string& path, const std::string& name,
                         const std::string& value) {
    std::vector<uint8_t> data(value.begin(), value.end());
    data.push_back(0);
    setValue(rootKey, path, name, REG_SZ, data);
}

void Registry::setDword(HKEY rootKey, const std::string& path, const std::string& name,
                        DWORD value) {
    std::vector<uint8_t> data(4);
    std::memcpy(data.data(), &value, 4);
    setValue(rootKey, path, name, REG_DWORD, data);
}

bool Registry::exists(HKEY rootKey, const std::string& path) const {
    std::shared_ptr<Key> key;
    return open(root(rootKey), path, &key) == ERROR_SUCCESS;
}

bool Registry::getValue(HKEY rootKey, const std::string& path, const std::string& name,
                        Value* value) const {
    std::shared_ptr<Key> key;
    if (open(root(rootKey), path, &key) != ERROR_SUCCESS) return false;
    auto it = key->values.find(name);
    if (it == key->values.end()) return false;
    *value = it->second;
    return true;
}

std::string Registry::getString(HKEY rootKey, const std::string& path,
                                const std::string& name) const {
    Value v;
    if (!getValue(rootKey, path, name, &v)) return "";
    std::string text(v.data.begin(), v.data.end());
    size_t end = text.find('\0');
    return end == std::string::npos ? text : text.substr(0, end);
}

DWORD Registry::getDword(HKEY rootKey, const std::string& path, const std::string& name,
                         DWORD missing) const {
    Value v;
    if (!getValue(rootKey, path, name, &v) || v.data.size() < 4) return missing;
    DWORD result = 0;
    std::memcpy(&result, v.data.data(), 4);
    return result;
}

std::vector<std::string> Registry::subKeyNames(HKEY rootKey, const std::string& path) const {
    std::vector<std::string> names;
    std::shared_ptr<Key> key;
    if (open(root(rootKey), path, &key) != ERROR_SUCCESS) return names;
    for (const auto& entry : key->subKeys) names.push_back(entry.second->name);
    return names;
}

std::vector<std::string> Registry::valueNames(HKEY rootKey, const std::string& path) const {
    std::vector<std::string> names;
    std::shared_ptr<Key> key;
    if (open(root(rootKey), path, &key) != ERROR_SUCCESS) return names;
    for (const auto& entry : key->values) names.push_back(entry.first);
    return names;
}

void Registry::removeTree(HKEY rootKey, const std::string& path) {
    for (const auto& name : subKeyNames(rootKey, path)) removeTree(rootKey, path + "\\" + name);
    remove(root(rootKey), path);
}

}  // namespace os::sim
