#include "app/UnattendedGuard.h"

#include <vector>

#include "app/AdminCheck.h"
#include "install/SecurityDescriptor.h"
#include "os/Os.h"

namespace app {
namespace {

const char* const kGuardName = "HALVERN Printer Driver Setup unattended";

// Windows 2000 on have the Global\ namespace; the older systems have one
// namespace for all.
bool hasGlobalNamespace() {
    OSVERSIONINFOA version;
    return os::runningVersion(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           version.dwMajorVersion >= 5;
}

// The owner and access list of a mutex; empty when they cannot be read.
std::vector<BYTE> securityOf(HANDLE mutex) {
    os::Os& sys = os::sys();
    const SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    if (sys.GetKernelObjectSecurity(mutex, wanted, nullptr, 0, &needed) || needed == 0) return {};
    std::vector<BYTE> descriptor(needed);
    if (!sys.GetKernelObjectSecurity(mutex, wanted, descriptor.data(), needed, &needed)) return {};
    return descriptor;
}

// Whether anyone but the administrators, the system and the program's own
// account owns the guard, or may open it at all.
bool openToOthers(HANDLE guard) {
    const std::vector<BYTE> descriptor = securityOf(guard), own = runningAccountSid();
    return descriptor.empty() || sdOpenToOthers(descriptor.data(), descriptor.size(), SD_ANY_RIGHT,
                                                own.empty() ? nullptr : own.data()) != 0;
}

// Windows 95, 98 and Me know no owners: there, as before, whoever made it.
bool madeByAnAdministrator(HANDLE mutex) {
    const std::vector<BYTE> descriptor = securityOf(mutex), own = runningAccountSid();
    return descriptor.empty() ||
           sdOwnedByTrusted(descriptor.data(), descriptor.size(), own.empty() ? nullptr : own.data()) != 0;
}

// The guard of the unattended modes. Never closed once taken: it marks this
// process for its whole life.
bool guardHeldElsewhere(std::string* notes) {
    os::Os& sys = os::sys();
    if (!hasGlobalNamespace()) {
        sys.CreateMutexA(nullptr, TRUE, kGuardName);
        return sys.GetLastError() == ERROR_ALREADY_EXISTS;
    }
    const std::string name = std::string("Global\\") + kGuardName;
    HANDLE guard = createAdministratorsMutex(name, FALSE);
    if (guard == nullptr) {
        // The administrators' guard lets an administrator and the system in.
        const DWORD error = sys.GetLastError();
        *notes += "the single-instance guard " + name +
                  (error == ERROR_ACCESS_DENIED ? std::string(" was made by someone else, who lets no administrator use it")
                                                : " could not be made (system error " + std::to_string(error) + ")") +
                  ": going on without it. ";
        return false;
    }
    if (sys.GetLastError() != ERROR_ALREADY_EXISTS) return false;
    const bool others = openToOthers(guard);
    sys.CloseHandle(guard);
    if (others) *notes += "the single-instance guard " + name + " was made by someone who is no administrator: going on without it. ";
    return !others;
}

// The wizard's mutex, made by an administrator's wizard (the wizard needs
// one), or by this run for a wizard started meanwhile to find.
bool wizardRuns(const std::string& wizardMutex, std::string* notes) {
    os::Os& sys = os::sys();
    HANDLE mutex = sys.CreateMutexA(nullptr, TRUE, wizardMutex.c_str());
    if (mutex == nullptr && sys.GetLastError() == ERROR_ACCESS_DENIED) {
        // An administrator's wizard lets the administrators in.
        *notes += "the mutex " + wizardMutex + " was made by someone else, who lets no administrator use it: "
                  "not taken for a running wizard. ";
        return false;
    }
    if (mutex == nullptr || sys.GetLastError() != ERROR_ALREADY_EXISTS) return false;
    if (madeByAnAdministrator(mutex)) return true;
    *notes += "the mutex " + wizardMutex + " was made by someone who is no administrator: not taken for a running wizard. ";
    return false;
}

}  // namespace

HANDLE createAdministratorsMutex(const std::string& name, BOOL initialOwner) {
    os::Os& sys = os::sys();
    unsigned char descriptor[128];
    for (int administrators = 1; administrators >= 0; --administrators) {
        const size_t size = sdAdministratorsAndSystem(descriptor, sizeof descriptor, MUTEX_ALL_ACCESS, 0, administrators);
        SECURITY_ATTRIBUTES attributes = {sizeof attributes, size ? descriptor : nullptr, FALSE};
        HANDLE mutex = sys.CreateMutexA(&attributes, initialOwner, name.c_str());
        if (mutex != nullptr || sys.GetLastError() != ERROR_INVALID_OWNER) return mutex;
    }
    return nullptr;
}

GuardResult takeUnattendedGuard(const std::string& wizardMutex, std::string* notes) {
    notes->clear();
    const bool anotherCopy = guardHeldElsewhere(notes) || wizardRuns(wizardMutex, notes);
    while (!notes->empty() && notes->back() == ' ') notes->pop_back();
    return anotherCopy ? GuardResult::AnotherCopyRuns : GuardResult::Taken;
}

}  // namespace app
