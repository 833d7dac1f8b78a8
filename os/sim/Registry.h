// The simulated registry: a tree of keys under the predefined roots, names
// compared without regard to case, values kept byte for byte with their type.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "os/WinApi.h"
#include "os/sim/Text.h"

namespace os::sim {

class Registry {
public:
    struct Value {
        DWORD type = REG_NONE;
        std::vector<uint8_t> data;
    };
    struct Key {
        std::string name;
        bool deleted = false;
        // Lies below HKEY_LOCAL_MACHINE, which only administrators may change.
        bool machine = false;
        std::map<std::string, std::shared_ptr<Key>, LessNoCase> subKeys;
        std::map<std::string, Value, LessNoCase> values;
    };

    Registry();

    // The key behind a predefined root handle, or null for any other handle.
    std::shared_ptr<Key> root(HKEY predefined) const;
    // Looks up `subKey` below `base`; a trailing backslash is accepted.
    // Returns 0, ERROR_FILE_NOT_FOUND or ERROR_BAD_PATHNAME.
    LONG open(const std::shared_ptr<Key>& base, const std::string& subKey,
              std::shared_ptr<Key>* key) const;
    // As open(), creating the key and its missing parents.
    LONG create(const std::shared_ptr<Key>& base, const std::string& subKey,
                std::shared_ptr<Key>* key, bool* created);
    // Deletes a key without sub-keys; ERROR_ACCESS_DENIED when it has some.
    LONG remove(const std::shared_ptr<Key>& base, const std::string& subKey);

    // Set-up and inspection helpers for the machine and for tests, with paths
    // below a predefined root such as "SOFTWARE\Microsoft".
    void setString(HKEY root, const std::string& path, const std::string& name,
                   const std::string& value);
    void setDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
    void setValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                  const std::vector<uint8_t>& data);
    bool exists(HKEY root, const std::string& path) const;
    bool getValue(HKEY root, const std::string& path, const std::string& name,
                  Value* value) const;
    // A REG_SZ value without its terminating zero; empty when missing.
    std::string getString(HKEY root, const std::string& path, const std::string& name) const;
    // A REG_DWORD value, or `missing` when there is none.
    DWORD getDword(HKEY root, const std::string& path, const std::string& name,
                   DWORD missing = 0xFFFFFFFF) const;
    // Names of the sub-keys and of the values of a key, in the registry's order.
    std::vector<std::string> subKeyNames(HKEY root, const std::string& path) const;
    std::vector<std::string> valueNames(HKEY root, const std::string& path) const;
    void removeTree(HKEY root, const std::string& path);

private:
    std::map<uintptr_t, std::shared_ptr<Key>> roots_;
};

}  // namespace os::sim
