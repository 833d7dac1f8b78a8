// Security identifiers, access lists and security descriptors of the
// simulated machine: the well-known accounts and groups, who the program
// runs as, descriptors in the self-relative form Windows takes and hands
// out, the access lists a fresh machine's folders have, and the access
// check a named object makes when it is opened.
#pragma once

#include <string>
#include <vector>

#include "os/WinApi.h"
#include "os/sim/FileSystem.h"
#include "os/sim/Machine.h"

namespace os::sim {

using AccessEntry = FileSystem::Node::Access;

namespace wellKnown {
inline const char* const kEveryone = "S-1-1-0";
inline const char* const kCreatorOwner = "S-1-3-0";
inline const char* const kAuthenticatedUsers = "S-1-5-11";
inline const char* const kSystem = "S-1-5-18";
inline const char* const kAdministrators = "S-1-5-32-544";
inline const char* const kUsers = "S-1-5-32-545";
inline const char* const kPowerUsers = "S-1-5-32-547";
inline const char* const kTrustedInstaller = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
// The machine's user account, a member of Users (and of Administrators when
// the machine says so).
inline const char* const kUser = "S-1-5-21-1-2-3-1000";
// Another user of the machine, who is no administrator.
inline const char* const kOtherUser = "S-1-5-21-1-2-3-1001";
// Another administrator of the machine (Machine::user, with `administrator`).
inline const char* const kOtherAdministrator = "S-1-5-21-1-2-3-1002";
}  // namespace wellKnown

std::vector<BYTE> sidBytes(const std::string& text);
// "S-1-5-32-544" of a SID's bytes.
std::string sidText(const BYTE* sid);

struct Descriptor {
    std::string owner;         // empty: none named
    bool daclPresent = false;  // false, or present without a list: everyone may do everything
    std::vector<AccessEntry> dacl;
    bool isProtected = false;
};

// A self-relative descriptor (the only form the program gives); false for
// anything else, which Windows would refuse too.
bool readDescriptor(const void* bytes, Descriptor* descriptor);
std::vector<BYTE> makeDescriptor(const Descriptor& descriptor);

// The account the program runs as, and every SID its token holds.
std::string tokenUser(const Machine& machine);
std::vector<std::string> tokenSids(const Machine& machine);
// Who owns what the program makes without naming an owner, its token's
// default owner: a user's objects belong to him, and so do an
// administrator's on Windows XP, whose policy "Default owner for objects
// created by members of the Administrators group" is "Object creator" as
// installed; elsewhere (2000, 2003, an elevated token from Vista on) an
// administrator's, and the system account's, belong to the Administrators
// group.
std::string defaultOwner(const Machine& machine);
// Whether the owner a descriptor names may be given by this program.
bool mayOwn(const Machine& machine, const std::string& owner);

// The rights an access list grants the token, its generic rights mapped to
// `allRights` (the object kind's full access); an owner may always read and
// change the list.
DWORD grantedRights(const Machine& machine, const Descriptor& descriptor, DWORD allRights);

// The access lists of a fresh machine's drive root, Windows folder and the
// temporary folder of the system account, as Windows 2000 to 2003 and Vista
// on set them.
void secureFreshMachine(const Machine& machine, FileSystem& files);

}  // namespace os::sim
