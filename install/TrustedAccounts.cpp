#include "install/TrustedAccounts.h"

#include "os/Os.h"

namespace install {

SdTrusted trustedAccounts(const std::vector<BYTE>& ownSid) {
    OSVERSIONINFOA version;
    SdTrusted trusted;
    trusted.own = ownSid.empty() ? nullptr : ownSid.data();
    trusted.powerUsers = os::runningVersion(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
                         sdPowerUsersTrusted(version.dwMajorVersion, version.dwMinorVersion);
    return trusted;
}

}  // namespace install
