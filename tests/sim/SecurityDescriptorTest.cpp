// Who besides the administrators may change what a security descriptor
// guards: the one judgement behind the install log's folder, the unattended
// guard, the package's installation folder and the program's own folder.
// Descriptors are made by the simulated Windows' own writer, as Windows
// hands them out. Built for the Wine tier too, where unsigned long has 32
// bits and a sum of offsets can wrap.
#include <gtest/gtest.h>

#include "install/SecurityDescriptor.h"
#include "os/sim/Security.h"

namespace {

using os::sim::AccessEntry;
using os::sim::Descriptor;
namespace wellKnown = os::sim::wellKnown;

const DWORD kFull = 0x1F01FF, kModify = 0x1301BF, kReadAndExecute = 0x1200A9, kAddFile = 0x2, kAddFolder = 0x4,
            kDeleteChild = 0x40, kDelete = 0x10000, kWriteDac = 0x40000, kWriteOwner = 0x80000;
const BYTE kInheritOnly = 0x08, kToFilesAndFolders = 0x03;
// A denying entry: the simulation's writer makes allowing ones only.
const BYTE kDenied = 1;

Descriptor withList(const std::string& owner, std::vector<AccessEntry> dacl) {
    Descriptor descriptor;
    descriptor.owner = owner;
    descriptor.daclPresent = true;
    descriptor.dacl = std::move(dacl);
    return descriptor;
}

TEST(SecurityDescriptorTest, OnlyTheAdministratorsAndTheSystemMayChangeWhatIsTrusted) {
    const std::vector<AccessEntry> administrators = {{wellKnown::kAdministrators, kFull, kToFilesAndFolders},
                                                     {wellKnown::kSystem, kFull, kToFilesAndFolders}};
    auto plus = [&](AccessEntry entry) {
        std::vector<AccessEntry> list = administrators;
        list.push_back(entry);
        return list;
    };
    struct Row {
        const char* what;
        Descriptor descriptor;
        bool own;  // the running account is the machine's user
        bool open;
        bool powerUsersTrusted = false;
    } rows[] = {
        {"the administrators' alone", withList(wellKnown::kAdministrators, administrators), false, false},
        {"users may read and run", withList(wellKnown::kAdministrators, plus({wellKnown::kUsers, kReadAndExecute, 3})),
         false, false},
        {"users may add files", withList(wellKnown::kAdministrators, plus({wellKnown::kUsers, kAddFile, 2})), false,
         true},
        {"users may add folders", withList(wellKnown::kAdministrators, plus({wellKnown::kUsers, kAddFolder, 0})), false,
         true},
        {"signed-in users may change it", withList(wellKnown::kAdministrators, plus({wellKnown::kAuthenticatedUsers, kModify, 0})),
         false, true},
        {"everyone has generic write", withList(wellKnown::kAdministrators, plus({wellKnown::kEveryone, GENERIC_WRITE, 0})),
         false, true},
        // What it passes on binds only what it holds.
        {"users may change only what it holds",
         withList(wellKnown::kAdministrators, plus({wellKnown::kUsers, kModify, kToFilesAndFolders | kInheritOnly})),
         false, false},
        {"another user owns it", withList(wellKnown::kOtherUser, administrators), false, true},
        {"its owner's rights stand for the owner",
         withList(wellKnown::kAdministrators, plus({wellKnown::kCreatorOwner, kFull, 0})), false, false},
        {"Windows' installer service owns it", withList(wellKnown::kTrustedInstaller, administrators), false, false},
        {"Power Users may change it on Windows 2000 to 2003",
         withList(wellKnown::kAdministrators, plus({wellKnown::kPowerUsers, kModify, 3})), false, false, true},
        {"Power Users may change it from Vista on",
         withList(wellKnown::kAdministrators, plus({wellKnown::kPowerUsers, kModify, 3})), false, true},
        {"Power Users own it from Vista on", withList(wellKnown::kPowerUsers, administrators), false, true},
        {"the account itself may change it", withList(wellKnown::kUser, plus({wellKnown::kUser, kFull, 0})), true,
         false},
        {"the same account when another runs", withList(wellKnown::kUser, plus({wellKnown::kUser, kFull, 0})), false,
         true},
        {"no access list: everyone may do everything", Descriptor{wellKnown::kAdministrators, false, {}, false}, false,
         true},
        {"an empty access list: nobody may", withList(wellKnown::kAdministrators, {}), false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::vector<BYTE> bytes = os::sim::makeDescriptor(row.descriptor);
        const std::vector<BYTE> own = os::sim::sidBytes(wellKnown::kUser);
        const SdTrusted trusted = {row.own ? own.data() : nullptr, row.powerUsersTrusted};
        EXPECT_EQ(sdOpenToOthersThan(bytes.data(), bytes.size(), SD_WRITE_RIGHTS, &trusted) != 0, row.open);
    }
}

// Windows 2000, XP and 2003 give the Power Users the system's folders;
// the systems before and after do not.
TEST(SecurityDescriptorTest, PowerUsersAreTrustedOnWindows2000To2003Alone) {
    const struct {
        unsigned long major, minor;
        bool trusted;
    } rows[] = {{4, 0, false}, {5, 0, true}, {5, 1, true}, {5, 2, true}, {6, 0, false}, {6, 1, false}, {10, 0, false}};
    for (const auto& row : rows)
        EXPECT_EQ(sdPowerUsersTrusted(row.major, row.minor) != 0, row.trusted) << row.major << "." << row.minor;
}

// A folder above a program's own keeps its way down when nobody else may
// delete or rename it or what it holds, nor take its access list or owner:
// adding to it stays allowed, as every user may add to C:\.
TEST(SecurityDescriptorTest, AFolderOnTheWayKeepsItsPathWhenOnlyAddingIsAllowed) {
    const std::vector<AccessEntry> administrators = {{wellKnown::kAdministrators, kFull, kToFilesAndFolders},
                                                     {wellKnown::kSystem, kFull, kToFilesAndFolders}};
    auto plus = [&](AccessEntry entry) {
        std::vector<AccessEntry> list = administrators;
        list.push_back(entry);
        return list;
    };
    struct Row {
        const char* what;
        Descriptor descriptor;
        bool open;
    } rows[] = {
        {"users may add files and folders",
         withList(wellKnown::kAdministrators, plus({wellKnown::kUsers, kAddFile | kAddFolder | kReadAndExecute, 0})),
         false},
        {"users have generic write, which adds", withList(wellKnown::kAdministrators, plus({wellKnown::kUsers, GENERIC_WRITE, 0})),
         false},
        {"users may change what it holds only",
         withList(wellKnown::kAdministrators, plus({wellKnown::kAuthenticatedUsers, kModify, kToFilesAndFolders | kInheritOnly})),
         false},
        {"users may delete what it holds", withList(wellKnown::kAdministrators, plus({wellKnown::kUsers, kDeleteChild, 0})),
         true},
        {"users may delete or rename it", withList(wellKnown::kAdministrators, plus({wellKnown::kUsers, kDelete, 0})), true},
        {"users may change its access list", withList(wellKnown::kAdministrators, plus({wellKnown::kUsers, kWriteDac, 0})),
         true},
        {"users may take it", withList(wellKnown::kAdministrators, plus({wellKnown::kUsers, kWriteOwner, 0})), true},
        {"users have every right", withList(wellKnown::kAdministrators, plus({wellKnown::kUsers, GENERIC_ALL, 0})), true},
        {"another user owns it", withList(wellKnown::kOtherUser, administrators), true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::vector<BYTE> bytes = os::sim::makeDescriptor(row.descriptor);
        EXPECT_EQ(sdOpenToOthersThan(bytes.data(), bytes.size(), SD_KEEP_RIGHTS, nullptr) != 0, row.open);
    }
}

// An access list's offset near the top of 32 bits lies outside the
// descriptor, and is judged as unreadable, never from the bytes before it:
// here an empty access list (nobody may) just in front of the descriptor.
TEST(SecurityDescriptorTest, AnAccessListOutsideTheDescriptorIsNeverRead) {
    const std::vector<BYTE> descriptor = os::sim::makeDescriptor(withList(wellKnown::kAdministrators, {}));
    for (DWORD offset : {0xFFFFFFF8u, 0xFFFFFFFCu, 0xFFFFFFFFu, 0x80000000u}) {
        std::vector<BYTE> memory = {2, 0, 8, 0, 0, 0, 0, 0};
        memory.insert(memory.end(), descriptor.begin(), descriptor.end());
        BYTE* at = memory.data() + 8;
        for (int i = 0; i < 4; ++i) at[16 + i] = static_cast<BYTE>(offset >> (8 * i));
        EXPECT_NE(sdOpenToOthers(at, descriptor.size(), SD_WRITE_RIGHTS, nullptr), 0) << std::hex << offset;
    }
    // An access list whose size reaches past the descriptor's end.
    std::vector<BYTE> cut = descriptor;
    const size_t acl = cut[16];
    cut[acl + 2] = 0xF8;
    cut[acl + 3] = 0xFF;
    EXPECT_NE(sdOpenToOthers(cut.data(), cut.size(), SD_WRITE_RIGHTS, nullptr), 0);
}

// A denying entry grants nothing, and what cannot be read is open.
TEST(SecurityDescriptorTest, DenyingEntriesGrantNothingAndWhatCannotBeReadIsOpen) {
    std::vector<BYTE> bytes =
        os::sim::makeDescriptor(withList(wellKnown::kAdministrators, {{wellKnown::kUsers, kModify, 0}}));
    EXPECT_NE(sdOpenToOthers(bytes.data(), bytes.size(), SD_WRITE_RIGHTS, nullptr), 0);
    // The entry's type byte lies at the start of the access list's first entry.
    const size_t ace = 20 + 16 + 8;
    ASSERT_EQ(bytes[ace], 0);
    bytes[ace] = kDenied;
    EXPECT_EQ(sdOpenToOthers(bytes.data(), bytes.size(), SD_WRITE_RIGHTS, nullptr), 0);
    for (size_t cut : {size_t{0}, size_t{10}, bytes.size() - 1})
        EXPECT_NE(sdOpenToOthers(bytes.data(), cut, SD_WRITE_RIGHTS, nullptr), 0) << cut;
}

}  // namespace
