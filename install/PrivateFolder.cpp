#include "install/PrivateFolder.h"

#include <cstdio>
#include <cstring>

#include "os/Os.h"

namespace install {
namespace {

const WORD kSelfRelative = 0x8000, kDaclPresent = 0x0004, kDaclProtected = 0x1000;
const BYTE kAccessAllowed = 0, kInheritedByFilesAndFolders = 0x01 | 0x02;
const DWORD kFileAllAccess = 0x001F01FF;

template <typename T>
void put(std::vector<BYTE>& bytes, T value) {
    BYTE raw[sizeof value];
    std::memcpy(raw, &value, sizeof value);
    bytes.insert(bytes.end(), raw, raw + sizeof value);
}

// A SID of the NT authority with its sub-authorities.
std::vector<BYTE> ntSid(std::initializer_list<DWORD> subAuthorities) {
    std::vector<BYTE> sid = {1, static_cast<BYTE>(subAuthorities.size()), 0, 0, 0, 0, 0, 5};
    for (DWORD sub : subAuthorities) put(sid, sub);
    return sid;
}

void putAce(std::vector<BYTE>& bytes, const std::vector<BYTE>& sid) {
    bytes.push_back(kAccessAllowed);
    bytes.push_back(kInheritedByFilesAndFolders);
    put(bytes, static_cast<WORD>(8 + sid.size()));
    put(bytes, kFileAllAccess);
    bytes.insert(bytes.end(), sid.begin(), sid.end());
}

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
    const std::vector<BYTE> administrators = ntSid({32, 544}), system = ntSid({18});
    std::vector<BYTE> acl;
    putAce(acl, administrators);
    putAce(acl, system);
    std::vector<BYTE> descriptor = {1, 0};
    put(descriptor, static_cast<WORD>(kSelfRelative | kDaclPresent | kDaclProtected));
    put(descriptor, DWORD{0});   // no owner: the creator's
    put(descriptor, DWORD{0});   // no group
    put(descriptor, DWORD{0});   // no system access list
    put(descriptor, DWORD{20});  // the access list follows
    descriptor.push_back(2);     // ACL_REVISION
    descriptor.push_back(0);
    put(descriptor, static_cast<WORD>(8 + acl.size()));
    put(descriptor, WORD{2});
    put(descriptor, WORD{0});
    descriptor.insert(descriptor.end(), acl.begin(), acl.end());
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
