// The program's own folder, as the system account runs from it: the folders
// above it keep their way down, the folder and all it holds are the
// administrators' alone, no link anywhere, and every folder is held until
// it is let go.
#include "install/HeldProgramFolder.h"
#include "install/TrustedAccounts.h"
#include "os/sim/Security.h"
#include "support/SimMachine.h"

namespace {

using os::sim::AccessEntry;
using os::sim::Machine;
using os::sim::SimOs;
namespace wellKnown = os::sim::wellKnown;

const DWORD kFull = 0x1F01FF, kModify = 0x1301BF, kReadAndExecute = 0x1200A9, kAddFolder = 0x4;
const BYTE kToFilesAndFolders = 3;
const std::vector<AccessEntry> kAdministrators = {{wellKnown::kAdministrators, kFull, kToFilesAndFolders},
                                                  {wellKnown::kSystem, kFull, kToFilesAndFolders},
                                                  {wellKnown::kUsers, kReadAndExecute, kToFilesAndFolders}};
const char* const kInstalled = "C:\\Program Files\\Halvern\\Setup";
const char* const kDeployed = "C:\\Deploy\\Printer";

// A medium's folders and files in `folder`, given the administrators' own
// access list as the package gives its folder.
void medium(SimOs& sim, const std::string& folder) {
    for (const char* file : {"setup.exe", "HvUsbInt.dll", "W32\\MON.DLL", "DRVCONFIG\\setup.ini",
                             "USBDrv\\X64\\Install.exe", "language\\setup.ini"})
        sim.files().writeFile(folder + "\\" + file, std::string("MZ"));
    sim.files().setSecurity(folder, wellKnown::kAdministrators, kAdministrators, true);
}

// C:\Deploy as an administrator makes it under the drive's root: it takes
// what the root passes on.
void deployed(SimOs& sim) {
    sim.files().makeDirectories("C:\\Deploy");
    medium(sim, kDeployed);
}

void withAccess(SimOs& sim, const std::string& path, const std::string& owner, std::vector<AccessEntry> extra) {
    std::vector<AccessEntry> list = kAdministrators;
    list.insert(list.end(), extra.begin(), extra.end());
    sim.files().setSecurity(path, owner, list, true);
}

struct FolderCase {
    const char* what;
    Machine (*machine)();
    const char* folder;
    void (*arrange)(SimOs&);
    install::FolderCheck check;
    const char* refusal;  // the start of the refusal's text
};

void PrintTo(const FolderCase& c, std::ostream* out) { *out << c.what; }

class ProgramFolderTest : public testing_support::SimMachine, public ::testing::TestWithParam<FolderCase> {
protected:
    ProgramFolderTest() : SimMachine(GetParam().machine()) {}
};

TEST_P(ProgramFolderTest, OnlyAFolderNobodyElseMayChangeOrMoveIsKept) {
    const FolderCase& c = GetParam();
    sim.machine().systemAccount = true;
    c.arrange(sim);
    const std::vector<BYTE> own = os::sim::sidBytes(wellKnown::kSystem);
    {
        install::HeldProgramFolder held;
        EXPECT_EQ(held.hold(c.folder, install::trustedAccounts(own)), c.check);
        EXPECT_EQ(held.refusal().rfind(c.refusal, 0), 0u) << held.refusal();
        if (c.check == install::FolderCheck::Kept) {
            // Held as itself: neither the folder, nor one above it, nor one
            // below it can be taken away while the program runs.
            const std::string folder = c.folder;
            for (const std::string& path : {folder, folder.substr(0, folder.rfind('\\')), folder + "\\W32"})
                EXPECT_EQ(sim.files().openings(path), 1u) << path;
            EXPECT_EQ(sim.files().remove(folder + "\\W32\\MON.DLL"), 0u);
            EXPECT_EQ(sim.files().removeDirectory(folder + "\\W32"), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        } else {
            EXPECT_EQ(sim.openHandles(), 0u);
        }
    }
    EXPECT_EQ(sim.openHandles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, ProgramFolderTest,
    ::testing::Values(
        FolderCase{"UnderProgramFilesOnXp", Machine::windowsXp, kInstalled,
                   [](SimOs& sim) { medium(sim, kInstalled); }, install::FolderCheck::Kept, ""},
        FolderCase{"UnderProgramFilesOnWindows7", Machine::windows7, kInstalled,
                   [](SimOs& sim) { medium(sim, kInstalled); }, install::FolderCheck::Kept, ""},
        // Every signed-in user may change what the root of a Vista drive holds.
        FolderCase{"UnderAFolderUsersMayRenameOnWindows7", Machine::windows7, kDeployed, deployed,
                   install::FolderCheck::Refused, "C:\\Deploy may be deleted or renamed"},
        FolderCase{"UnderAFolderAUserOwns", Machine::windowsXp, kDeployed,
                   [](SimOs& sim) {
                       deployed(sim);
                       withAccess(sim, "C:\\Deploy", wellKnown::kOtherUser, {});
                   },
                   install::FolderCheck::Refused, "C:\\Deploy may be deleted or renamed"},
        FolderCase{"UnderAFolderUsersMayOnlyAddTo", Machine::windows7, kDeployed,
                   [](SimOs& sim) {
                       deployed(sim);
                       withAccess(sim, "C:\\Deploy", wellKnown::kAdministrators,
                                  {{wellKnown::kAuthenticatedUsers, kAddFolder, 0}});
                   },
                   install::FolderCheck::Kept, ""},
        FolderCase{"UnderAFolderUsersMayDeleteFrom", Machine::windowsXp, kDeployed,
                   [](SimOs& sim) {
                       deployed(sim);
                       withAccess(sim, "C:\\Deploy", wellKnown::kAdministrators, {{wellKnown::kUsers, 0x40, 0}});
                   },
                   install::FolderCheck::Refused, "C:\\Deploy may be deleted or renamed"},
        // The folder the package locked was renamed and a junction put in its place.
        FolderCase{"UnderAJunction", Machine::windows7, kDeployed,
                   [](SimOs& sim) {
                       medium(sim, "C:\\Program Files\\Elsewhere\\Printer");
                       sim.files().junction("C:\\Deploy", "C:\\Program Files\\Elsewhere");
                   },
                   install::FolderCheck::Refused, "C:\\Deploy is a link"},
        FolderCase{"ASubfolderThatIsAJunction", Machine::windowsXp, kInstalled,
                   [](SimOs& sim) {
                       medium(sim, kInstalled);
                       sim.files().makeDirectories("C:\\Program Files\\Other");
                       sim.files().junction(std::string(kInstalled) + "\\Links", "C:\\Program Files\\Other");
                   },
                   install::FolderCheck::Refused, "C:\\Program Files\\Halvern\\Setup\\Links is a link"},
        // A user made W32 before the package installed: he owns it still.
        FolderCase{"ASubfolderAUserMadeFirst", Machine::windows7, kInstalled,
                   [](SimOs& sim) {
                       medium(sim, kInstalled);
                       sim.files().setSecurity(std::string(kInstalled) + "\\W32", wellKnown::kOtherUser, {}, false);
                   },
                   install::FolderCheck::Refused, "C:\\Program Files\\Halvern\\Setup\\W32 may be changed"},
        FolderCase{"AFileUsersMayWrite", Machine::windowsXp, kInstalled,
                   [](SimOs& sim) {
                       medium(sim, kInstalled);
                       withAccess(sim, std::string(kInstalled) + "\\USBDrv\\X64\\Install.exe",
                                  wellKnown::kAdministrators, {{wellKnown::kUsers, kModify, 0}});
                   },
                   install::FolderCheck::Refused,
                   "C:\\Program Files\\Halvern\\Setup\\USBDrv\\X64\\Install.exe may be changed"},
        FolderCase{"AFolderPowerUsersMayChangeOnXp", Machine::windowsXp, kInstalled,
                   [](SimOs& sim) {
                       medium(sim, kInstalled);
                       withAccess(sim, kInstalled, wellKnown::kAdministrators, {{wellKnown::kPowerUsers, kModify, 3}});
                   },
                   install::FolderCheck::Kept, ""},
        FolderCase{"AFolderPowerUsersMayChangeOnWindows7", Machine::windows7, kInstalled,
                   [](SimOs& sim) {
                       medium(sim, kInstalled);
                       withAccess(sim, kInstalled, wellKnown::kAdministrators, {{wellKnown::kPowerUsers, kModify, 3}});
                   },
                   install::FolderCheck::Refused, "C:\\Program Files\\Halvern\\Setup may be changed"},
        FolderCase{"OnAShare", Machine::windowsXp, "\\\\server\\deploy\\Printer", [](SimOs&) {},
                   install::FolderCheck::OnAShare, ""},
        FolderCase{"ADotOnTheWay", Machine::windowsXp, "C:\\Program Files\\..\\Deploy\\Printer", deployed,
                   install::FolderCheck::Refused, "C:\\Program Files\\..\\Deploy\\Printer is no plain path"},
        FolderCase{"AnAccessListThatCannotBeRead", Machine::windowsXp, kInstalled,
                   [](SimOs& sim) {
                       medium(sim, kInstalled);
                       sim.faults().fail("GetKernelObjectSecurity", ERROR_ACCESS_DENIED).after(8);
                   },
                   install::FolderCheck::Refused,
                   "C:\\Program Files\\Halvern\\Setup\\DRVCONFIG has an access list that could not be read"},
        FolderCase{"AFolderThatCannotBeListed", Machine::windowsXp, kInstalled,
                   [](SimOs& sim) {
                       medium(sim, kInstalled);
                       sim.faults().fail("FindFirstFileA", ERROR_ACCESS_DENIED).when("USBDrv");
                   },
                   install::FolderCheck::Refused,
                   "C:\\Program Files\\Halvern\\Setup\\USBDrv could not be listed to be checked"},
        FolderCase{"AFolderThatCannotBeOpened", Machine::windowsXp, kInstalled,
                   [](SimOs& sim) {
                       medium(sim, kInstalled);
                       sim.faults().fail("CreateFileA", ERROR_ACCESS_DENIED).when("Halvern");
                   },
                   install::FolderCheck::Refused, "C:\\Program Files\\Halvern could not be opened to be checked"}),
    [](const ::testing::TestParamInfo<FolderCase>& info) { return std::string(info.param.what); });

}  // namespace
