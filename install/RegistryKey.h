// One open registry key and the last error code of its calls. Reads and
// writes on a key that is not open do nothing and return false, so a failed
// open silently skips the writes that follow it.
#pragma once

#include <string>

#include "os/Os.h"

namespace install {

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens `path` under `root` with full access, closing any key already open;
    // `view` is a registry view flag (os::nativeRegistryView) or nothing.
    bool Open(HKEY root, const std::string& path, REGSAM view = 0);
    void Close();
    bool IsOpen() const { return key_ != nullptr; }
    bool SetDword(const std::string& name, DWORD value);
    // A REG_SZ value stored with its terminating zero.
    bool SetString(const std::string& name, const std::string& value);
    bool DeleteValue(const std::string& name);
    bool GetDword(const std::string& name, DWORD* value);
    bool GetString(const std::string& name, std::string* value);
    // Raw bytes of any type, as many as fit `size`; `data` is cleared first.
    bool GetBytes(const std::string& name, BYTE* data, DWORD size);
    bool SetBytes(const std::string& name, DWORD type, const BYTE* data, DWORD size);
    LONG LastError() const { return lastError_; }

private:
    HKEY key_ = nullptr;
    LONG lastError_ = ERROR_SUCCESS;
};

// Creates `path` under `root` (no class, non-volatile, full access) and
// closes it again at once.
bool CreateRegistryKey(HKEY root, const std::string& path, REGSAM view = 0);

// Opens `path`, creating it first when it cannot be opened.
bool OpenOrCreate(RegistryKey* key, HKEY root, const std::string& path, REGSAM view = 0);

}  // namespace install
