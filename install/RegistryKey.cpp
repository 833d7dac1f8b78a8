#include "install/RegistryKey.h"

#include <algorithm>
#include <vector>

namespace install {

bool RegistryKey::Open(HKEY root, const std::string& path, REGSAM view) {
    Close();
    HKEY key = nullptr;
    lastError_ = os::sys().RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS | view, &key);
    if (lastError_ != ERROR_SUCCESS) return false;
    key_ = key;
    return true;
}

void RegistryKey::Close() {
    if (key_ != nullptr) os::sys().RegCloseKey(key_);
    key_ = nullptr;
}

bool RegistryKey::SetDword(const std::string& name, DWORD value) {
    if (key_ == nullptr) return false;
    lastError_ = os::sys().RegSetValueExA(key_, name.c_str(), 0, REG_DWORD,
                                          reinterpret_cast<const BYTE*>(&value), sizeof value);
    return lastError_ == ERROR_SUCCESS;
}

bool RegistryKey::SetString(const std::string& name, const std::string& value) {
    if (key_ == nullptr) return false;
    lastError_ = os::sys().RegSetValueExA(key_, name.c_str(), 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(value.c_str()),
                                          static_cast<DWORD>(value.size() + 1));
    return lastError_ == ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const std::string& name) {
    if (key_ == nullptr) return false;
    lastError_ = os::sys().RegDeleteValueA(key_, name.c_str());
    return lastError_ == ERROR_SUCCESS;
}

bool RegistryKey::GetDword(const std::string& name, DWORD* value) {
    if (key_ == nullptr) return false;
    DWORD type = 0, size = sizeof *value;
    DWORD data = 0;
    lastError_ = os::sys().RegQueryValueExA(key_, name.c_str(), nullptr, &type,
                                            reinterpret_cast<BYTE*>(&data), &size);
    if (lastError_ != ERROR_SUCCESS) return false;
    *value = data;
    return true;
}

bool RegistryKey::GetString(const std::string& name, std::string* value) {
    if (key_ == nullptr) return false;
    DWORD type = 0, size = 0;
    lastError_ = os::sys().RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size);
    if (lastError_ != ERROR_SUCCESS) return false;
    std::vector<char> data(size + 1, '\0');
    lastError_ = os::sys().RegQueryValueExA(key_, name.c_str(), nullptr, &type,
                                            reinterpret_cast<BYTE*>(data.data()), &size);
    if (lastError_ != ERROR_SUCCESS) return false;
    *value = std::string(data.data());
    return true;
}

bool RegistryKey::GetBytes(const std::string& name, BYTE* data, DWORD size) {
    std::fill(data, data + size, 0);
    if (key_ == nullptr) return false;
    DWORD type = 0;
    lastError_ = os::sys().RegQueryValueExA(key_, name.c_str(), nullptr, &type, data, &size);
    return lastError_ == ERROR_SUCCESS;
}

bool RegistryKey::SetBytes(const std::string& name, DWORD type, const BYTE* data, DWORD size) {
    if (key_ == nullptr) return false;
    lastError_ = os::sys().RegSetValueExA(key_, name.c_str(), 0, type, data, size);
    return lastError_ == ERROR_SUCCESS;
}

bool CreateRegistryKey(HKEY root, const std::string& path, REGSAM view) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG error = os::sys().RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           KEY_ALL_ACCESS | view, nullptr, &key, &disposition);
    if (error != ERROR_SUCCESS) return false;
    os::sys().RegCloseKey(key);
    return true;
}

bool OpenOrCreate(RegistryKey* key, HKEY root, const std::string& path, REGSAM view) {
    if (key->Open(root, path, view)) return true;
    CreateRegistryKey(root, path, view);
    return key->Open(root, path, view);
}

}  // namespace install
