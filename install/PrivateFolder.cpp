#include "install/PrivateFolder.h"

#include <cstdio>

#include "install/SecurityDescriptor.h"
#include "os/Os.h"

namespace install {
namespace {

// Sixteen hexadecimal digits from the system's random numbers; empty when it has none.
std::string randomName() {
    os::Os& sys = os::sys();
    HCRYPTPROV provider = 0;
    if (!sys.CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
        return std::string();
    BYTE random[8] = {};
    const bool made = sys.CryptGenRandom(provider, sizeof random, random) != FALSE;
    sys.CryptReleaseContext(provider, 0);
    if (!made) return std::string();
    char name[2 * sizeof random + 1];
    for (size_t i = 0; i < sizeof random; ++i) std::snprintf(name + 2 * i, 3, "%02X", random[i]);
    return name;
}

}  // namespace

std::vector<BYTE> administratorsAndSystemOnly() {
    const unsigned long fileAllAccess = 0x001F01FF;
    const unsigned char toFilesAndFolders = 0x01 | 0x02;
    std::vector<BYTE> descriptor(128);
    descriptor.resize(sdAdministratorsAndSystem(descriptor.data(), descriptor.size(), fileAllAccess,
                                                toFilesAndFolders, 0));
    return descriptor;
}

std::string makePrivateFolder(const std::string& parent) {
    std::vector<BYTE> descriptor = administratorsAndSystemOnly();
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor.data(), FALSE};
    // A name already taken, by chance or by someone who guessed it, is never
    // used: another is drawn.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::string name = randomName();
        if (name.empty()) return std::string();
        const std::string folder = parent + "PDS" + name;
        if (os::sys().CreateDirectoryA(folder.c_str(), &attributes)) return folder;
        if (os::sys().GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
    }
    return std::string();
}

}  // namespace install
