// Who besides the administrators may change what a security descriptor
// guards: the one judgement behind the install log's folder, the unattended
// guard and the package's installation folder. Descriptors are made by the
// simulated Windows' own writer, as Windows hands them out.
#include <gtest/gtest.h>

#include "install/SecurityDescriptor.h"
#include "os/sim/Security.h"

namespace {

using os::sim::AccessEntry;
using os::sim::Descriptor;
namespace wellKnown = os::sim::wellKnown;

const DWORD kFull = 0x1F01FF, kModify = 0x1301BF, kReadAndExecute = 0x1200A9, kAddFile = 0x2, kAddFolder = 0x4;
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
        {"Power Users may change it (Windows 2000 to 2003)",
         withList(wellKnown::kAdministrators, plus({wellKnown::kPowerUsers, kModify, 3})), false, false},
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
        EXPECT_EQ(sdOpenToOthers(bytes.data(), bytes.size(), SD_WRITE_RIGHTS, row.own ? own.data() : nullptr) != 0,
                  row.open);
    }
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
