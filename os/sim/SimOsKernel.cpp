// Named mutexes, handles, tokens and security identifiers of the simulation.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "os/sim/SimObjects.h"

namespace os::sim {
namespace {

const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

size_t sidLength(PSID sid) { return 8 + 4 * static_cast<const BYTE*>(sid)[1]; }

}  // namespace

size_t SimOs::openHandles() const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    size_t kept = 0;
    for (const auto& [handle, object] : objects_)
        if (dynamic_cast<const ModuleObject*>(object.get()) && keptLoaded(reinterpret_cast<HMODULE>(handle))) kept++;
    return objects_.size() - kept + keys_.size();
}

namespace {

// What a mutex made without a descriptor gets from its maker's token: its
// default owner, and an access list for that owner and the system.
Descriptor tokenDefaults(const Machine& machine) {
    Descriptor security;
    security.owner = defaultOwner(machine);
    security.daclPresent = true;
    security.dacl = {{security.owner, GENERIC_ALL, 0}, {wellKnown::kSystem, GENERIC_ALL, 0}};
    return security;
}

}  // namespace

void SimOs::holdMutexElsewhere(const std::string& name) {
    Machine administrator;
    holdMutexElsewhere(name, tokenDefaults(administrator));
}

void SimOs::holdMutexElsewhere(const std::string& name, const Descriptor& security) {
    SIM_LOCK();
    NamedMutex& mutex = mutexes_[name];
    if (mutex.handles++ == 0) mutex.security = security;
}

HANDLE SimOs::CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL, LPCSTR name) {
    SIM_LOCK();
    std::string text = name ? name : "";
    if (enter("CreateMutexA", text)) return nullptr;
    Descriptor security = tokenDefaults(machine_);
    if (attributes != nullptr && attributes->lpSecurityDescriptor != nullptr && machine_.isNt()) {
        if (!readDescriptor(attributes->lpSecurityDescriptor, &security)) {
            fail(1338);  // ERROR_INVALID_SECURITY_DESCR
            return nullptr;
        }
        if (security.owner.empty()) {
            security.owner = defaultOwner(machine_);
        } else if (!mayOwn(machine_, security.owner)) {
            fail(ERROR_INVALID_OWNER);
            return nullptr;
        }
    }
    auto existing = mutexes_.find(text);
    // An existing one is opened for every right, which its access list must give.
    if (!text.empty() && existing != mutexes_.end() && machine_.isNt() &&
        (grantedRights(machine_, existing->second.security, MUTEX_ALL_ACCESS) & MUTEX_ALL_ACCESS) != MUTEX_ALL_ACCESS) {
        fail(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    auto mutex = std::make_shared<MutexObject>();
    mutex->name = text;
    HANDLE handle = addObject(mutex);
    if (text.empty()) {
        mutex->security = security;
        fail(ERROR_SUCCESS);
        return handle;
    }
    NamedMutex& named = mutexes_[text];
    fail(named.handles > 0 ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    if (named.handles++ == 0) named.security = security;
    return handle;
}

BOOL SimOs::CloseHandle(HANDLE handle) {
    SIM_LOCK();
    if (enter("CloseHandle")) return FALSE;
    auto it = objects_.find(reinterpret_cast<uintptr_t>(handle));
    if (it == objects_.end() || dynamic_cast<FindObject*>(it->second.get()) ||
        dynamic_cast<PrinterObject*>(it->second.get()) ||
        dynamic_cast<ManagerObject*>(it->second.get()) ||
        dynamic_cast<ServiceObject*>(it->second.get()) ||
        dynamic_cast<ModuleObject*>(it->second.get()) ||
        dynamic_cast<CryptObject*>(it->second.get()) || dynamic_cast<BitmapObject*>(it->second.get())) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (auto* file = dynamic_cast<FileObject*>(it->second.get())) files_.close(file->opening);
    if (auto* mutex = dynamic_cast<MutexObject*>(it->second.get())) {
        if (!mutex->name.empty() && --mutexes_[mutex->name].handles == 0) mutexes_.erase(mutex->name);
    }
    objects_.erase(it);
    return TRUE;
}

void SimOs::endProgram() {
    SIM_LOCK();
    std::vector<HANDLE> mutexes;
    for (const auto& [handle, object] : objects_)
        if (dynamic_cast<MutexObject*>(object.get())) mutexes.push_back(reinterpret_cast<HANDLE>(handle));
    for (HANDLE mutex : mutexes) CloseHandle(mutex);
    // Its libraries go with it, and what it had looked up.
    for (auto it = objects_.begin(); it != objects_.end();) {
        if (dynamic_cast<ModuleObject*>(it->second.get()) && keptLoaded(reinterpret_cast<HMODULE>(it->first)))
            it = objects_.erase(it);
        else
            ++it;
    }
    forgetLookUps();
    // The next run's token has its privileges as the account holds them.
    machine_.enabledPrivileges.clear();
}

DWORD SimOs::WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    SIM_LOCK();
    if (enter("WaitForSingleObject")) return WAIT_FAILED;
    auto* process = object<ProcessObject>(handle);
    if (process == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    const DWORD now = clock_.now();
    if (process->endsAt <= now) return WAIT_OBJECT_0;
    const DWORD left = process->endsAt - now;
    if (milliseconds != INFINITE && milliseconds < left) {
        clock_.sleep(milliseconds);
        return WAIT_TIMEOUT;
    }
    // A process that never ends is waited for without a limit only by a
    // program that hangs: the simulation says so rather than waiting.
    if (process->endsAt == Desktop::kForever) {
        fail(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    clock_.sleep(left);
    return WAIT_OBJECT_0;
}

BOOL SimOs::CryptAcquireContextA(HCRYPTPROV* provider, LPCSTR, LPCSTR, DWORD type, DWORD flags) {
    if (!lookUp(SystemFunction::CryptAcquireContextA)) return FALSE;
    SIM_LOCK();
    if (enter("CryptAcquireContextA")) return FALSE;
    if (provider == nullptr || type != PROV_RSA_FULL || !(flags & CRYPT_VERIFYCONTEXT)) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *provider = reinterpret_cast<HCRYPTPROV>(addObject(std::make_shared<CryptObject>()));
    return TRUE;
}

BOOL SimOs::CryptGenRandom(HCRYPTPROV provider, DWORD length, BYTE* buffer) {
    if (!lookUp(SystemFunction::CryptGenRandom)) return FALSE;
    SIM_LOCK();
    if (enter("CryptGenRandom")) return FALSE;
    if (object<CryptObject>(reinterpret_cast<HANDLE>(provider)) == nullptr || buffer == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    for (DWORD i = 0; i < length; ++i) {
        // xorshift32: plenty for names that must differ from run to run.
        randomState_ ^= randomState_ << 13;
        randomState_ ^= randomState_ >> 17;
        randomState_ ^= randomState_ << 5;
        buffer[i] = static_cast<BYTE>(randomState_);
    }
    return TRUE;
}

BOOL SimOs::CryptReleaseContext(HCRYPTPROV provider, DWORD) {
    if (!lookUp(SystemFunction::CryptReleaseContext)) return FALSE;
    SIM_LOCK();
    if (enter("CryptReleaseContext")) return FALSE;
    if (object<CryptObject>(reinterpret_cast<HANDLE>(provider)) == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    objects_.erase(static_cast<uintptr_t>(provider));
    return TRUE;
}

HANDLE SimOs::GetCurrentThread() { return kCurrentThread; }

HANDLE SimOs::GetCurrentProcess() { return kCurrentProcess; }

BOOL SimOs::OpenThreadToken(HANDLE thread, DWORD, BOOL, PHANDLE token) {
    SIM_LOCK();
    if (enter("OpenThreadToken")) return FALSE;
    if (thread != kCurrentThread || token == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!machine_.impersonating) {
        fail(ERROR_NO_TOKEN);
        return FALSE;
    }
    *token = addObject(std::make_shared<TokenObject>());
    return TRUE;
}

BOOL SimOs::OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) {
    SIM_LOCK();
    if (enter("OpenProcessToken")) return FALSE;
    if (process != kCurrentProcess || token == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto object = std::make_shared<TokenObject>();
    object->access = access;
    *token = addObject(object);
    return TRUE;
}

namespace {

// The privileges the simulation knows, with the identifiers Windows gives them.
struct KnownPrivilege {
    const char* name;
    DWORD luid;
};
const KnownPrivilege kKnownPrivileges[] = {
    {"SeLoadDriverPrivilege", 10}, {"SeShutdownPrivilege", 19}, {"SeChangeNotifyPrivilege", 23}};

const char* privilegeName(const LUID& luid) {
    for (const KnownPrivilege& known : kKnownPrivileges)
        if (luid.HighPart == 0 && luid.LowPart == known.luid) return known.name;
    return nullptr;
}

// Whether the process token holds a privilege at all (enabled or not).
bool tokenHolds(const Machine& machine, const std::string& privilege) {
    if (privilege == "SeLoadDriverPrivilege") return machine.administrator || machine.systemAccount;
    return true;
}

}  // namespace

BOOL SimOs::LookupPrivilegeValueA(LPCSTR system, LPCSTR name, PLUID luid) {
    if (!lookUp(SystemFunction::LookupPrivilegeValueA)) return FALSE;
    SIM_LOCK();
    if (enter("LookupPrivilegeValueA", name ? name : "")) return FALSE;
    if (refusedOffNtOrRemote(system)) return FALSE;
    if (name == nullptr || luid == nullptr) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (const KnownPrivilege& known : kKnownPrivileges) {
        if (!equalsNoCase(name, known.name)) continue;
        luid->LowPart = known.luid;
        luid->HighPart = 0;
        return TRUE;
    }
    fail(ERROR_NO_SUCH_PRIVILEGE);
    return FALSE;
}

// Only what the program passes is modelled: no previous state asked for.
BOOL SimOs::AdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState, DWORD,
                                  PTOKEN_PRIVILEGES previousState, PDWORD) {
    if (!lookUp(SystemFunction::AdjustTokenPrivileges)) return FALSE;
    SIM_LOCK();
    std::string subject;
    for (DWORD i = 0; !disableAll && newState != nullptr && i < newState->PrivilegeCount; ++i) {
        const char* name = privilegeName(newState->Privileges[i].Luid);
        subject += (subject.empty() ? "" : " ") + std::string(name ? name : "?");
    }
    if (enter("AdjustTokenPrivileges", subject)) return FALSE;
    if (!machine_.isNt()) {
        fail(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    auto* tokenObject = object<TokenObject>(token);
    if (tokenObject == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!(tokenObject->access & TOKEN_ADJUST_PRIVILEGES)) {
        fail(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if ((!disableAll && newState == nullptr) || previousState != nullptr) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<std::string>& enabled = machine_.enabledPrivileges;
    if (disableAll) {
        enabled.clear();
        fail(ERROR_SUCCESS);
        return TRUE;
    }
    bool allAssigned = true;
    for (DWORD i = 0; i < newState->PrivilegeCount; ++i) {
        const char* name = privilegeName(newState->Privileges[i].Luid);
        if (name == nullptr || !tokenHolds(machine_, name)) {
            allAssigned = false;
            continue;
        }
        auto at = std::find(enabled.begin(), enabled.end(), name);
        const bool enable = (newState->Privileges[i].Attributes & SE_PRIVILEGE_ENABLED) != 0;
        if (enable && at == enabled.end()) enabled.push_back(name);
        if (!enable && at != enabled.end()) enabled.erase(at);
    }
    // Success either way; the last error tells whether every privilege was the token's.
    fail(allAssigned ? ERROR_SUCCESS : ERROR_NOT_ALL_ASSIGNED);
    return TRUE;
}

BOOL SimOs::GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS infoClass, LPVOID buffer,
                                DWORD size, PDWORD returned) {
    SIM_LOCK();
    if (enter("GetTokenInformation")) return FALSE;
    if (object<TokenObject>(token) == nullptr) {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if ((infoClass != TokenGroups && infoClass != TokenUser) || returned == nullptr) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (infoClass == TokenUser) {
        // The local system account, or a user of the machine's own domain.
        const std::vector<BYTE> user = sidBytes(tokenUser(machine_));
        size_t needed = sizeof(TOKEN_USER) + user.size();
        *returned = static_cast<DWORD>(needed);
        if (buffer == nullptr || size < needed) {
            fail(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        auto* record = static_cast<TOKEN_USER*>(buffer);
        BYTE* sid = static_cast<BYTE*>(buffer) + sizeof(TOKEN_USER);
        std::memcpy(sid, user.data(), user.size());
        record->User.Sid = sid;
        record->User.Attributes = 0;
        return TRUE;
    }
    std::vector<std::vector<BYTE>> sids;
    const std::vector<std::string> held = tokenSids(machine_);
    for (size_t i = 1; i < held.size(); ++i) sids.push_back(sidBytes(held[i]));
    size_t header = offsetof(TOKEN_GROUPS, Groups) + sids.size() * sizeof(SID_AND_ATTRIBUTES);
    size_t needed = header;
    for (const auto& sid : sids) needed += sid.size();
    *returned = static_cast<DWORD>(needed);
    if (buffer == nullptr || size < needed) {
        fail(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* groups = static_cast<TOKEN_GROUPS*>(buffer);
    groups->GroupCount = static_cast<DWORD>(sids.size());
    BYTE* next = static_cast<BYTE*>(buffer) + header;
    for (size_t i = 0; i < sids.size(); ++i) {
        std::memcpy(next, sids[i].data(), sids[i].size());
        groups->Groups[i].Sid = next;
        groups->Groups[i].Attributes = SE_GROUP_ENABLED;
        next += sids[i].size();
    }
    return TRUE;
}

BOOL SimOs::AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY authority, BYTE count, DWORD sub0,
                                     DWORD sub1, DWORD sub2, DWORD sub3, DWORD sub4, DWORD sub5,
                                     DWORD sub6, DWORD sub7, PSID* sid) {
    SIM_LOCK();
    if (enter("AllocateAndInitializeSid")) return FALSE;
    if (authority == nullptr || sid == nullptr || count > 8) {
        fail(ERROR_INVALID_SID);
        return FALSE;
    }
    const DWORD subs[8] = {sub0, sub1, sub2, sub3, sub4, sub5, sub6, sub7};
    auto* bytes = static_cast<BYTE*>(std::calloc(8 + 4 * count, 1));
    bytes[0] = 1;
    bytes[1] = count;
    std::memcpy(&bytes[2], authority->Value, 6);
    std::memcpy(&bytes[8], subs, 4 * count);
    *sid = bytes;
    return TRUE;
}

BOOL SimOs::EqualSid(PSID first, PSID second) {
    if (first == nullptr || second == nullptr) return FALSE;
    size_t length = sidLength(first);
    fail(ERROR_SUCCESS);
    return length == sidLength(second) && std::memcmp(first, second, length) == 0;
}

BOOL SimOs::GetKernelObjectSecurity(HANDLE handle, SECURITY_INFORMATION requested, PSECURITY_DESCRIPTOR descriptor,
                                    DWORD size, LPDWORD needed) {
    if (!lookUp(SystemFunction::GetKernelObjectSecurity)) return FALSE;
    SIM_LOCK();
    if (enter("GetKernelObjectSecurity")) return FALSE;
    if (!machine_.isNt()) {
        fail(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    Descriptor security;
    if (auto* file = object<FileObject>(handle)) {
        const DWORD reading = READ_CONTROL | GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE | GENERIC_ALL;
        bool unsecured = false;
        if (!(file->opening->access & reading)) {
            fail(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (!files_.security(file->opening->path, &security.owner, &security.dacl, &unsecured)) {
            fail(ERROR_FILE_NOT_FOUND);
            return FALSE;
        }
        security.daclPresent = !unsecured;
    } else if (auto* mutex = object<MutexObject>(handle)) {
        security = mutex->name.empty() ? mutex->security : mutexes_[mutex->name].security;
    } else {
        fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!(requested & OWNER_SECURITY_INFORMATION)) security.owner.clear();
    if (!(requested & DACL_SECURITY_INFORMATION)) security = Descriptor{security.owner, false, {}, false};
    const std::vector<BYTE> bytes = makeDescriptor(security);
    if (needed == nullptr) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *needed = static_cast<DWORD>(bytes.size());
    if (descriptor == nullptr || size < bytes.size()) {
        fail(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(descriptor, bytes.data(), bytes.size());
    return TRUE;
}

PVOID SimOs::FreeSid(PSID sid) {
    std::free(sid);
    return nullptr;
}

}  // namespace os::sim
