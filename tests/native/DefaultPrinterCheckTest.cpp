// Whether a default printer held on the systems that may undo it, and
// whether Windows manages the default there.
#include <gtest/gtest.h>

#include "install/DefaultPrinterCheck.h"
#include "support/SimMachine.h"

namespace {

using os::sim::Machine;

TEST(DefaultPrinterCheckTest, WindowsTenAndLaterAreAskedWhatTheyNameAndWhetherTheyManageIt) {
    struct Case {
        const char* what;
        Machine machine;
        const char* defaultPrinter;  // made the default before the check; null: none
        DWORD legacyMode;            // LegacyDefaultPrinterMode; 0xFFFFFFFF: missing
        const char* readFails;       // GetDefaultPrinterA fails with this error; null: it answers
        const char* outcome;         // null: the system is not one that undoes a default
    };
    const char* const manages =
        "; Windows manages the default printer (\"Let Windows manage my default printer\") and may choose another "
        "one later";
    const Case cases[] = {
        {"Windows 7", Machine::windows7(), "M(P)", 0xFFFFFFFF, nullptr, nullptr},
        {"Windows 8.1", Machine::windows81(), "M(P)", 0xFFFFFFFF, nullptr, nullptr},
        {"Windows 10, managed by Windows's default", Machine::windows10(), "M(P)", 0xFFFFFFFF, nullptr,
         "the default printer held: Windows names M(P)"},
        {"Windows 11, the user chose to manage it", Machine::windows11(), "M(P)", 1, nullptr,
         "the default printer held: Windows names M(P)"},
        {"Windows Server 2022, another printer named", Machine::windowsServer2022(), "Other", 0, nullptr,
         "the default printer did not hold: Windows names Other"},
        {"Windows 10, no default at all", Machine::windows10(), nullptr, 1, nullptr,
         "the default printer did not hold: Windows names none"},
        {"Windows 10, the default unreadable", Machine::windows10(), "M(P)", 1, "5",
         "the default printer could not be read back (system error 5)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::SimMachine m(c.machine);
        for (const char* name : {"M(P)", "Other"}) {
            os::sim::Spooler::Printer printer;
            printer.name = name;
            printer.port = "LPT1:";
            m.sim.spooler().printers.push_back(printer);
        }
        if (c.defaultPrinter) {
            ASSERT_TRUE(m.sim.SetDefaultPrinterA(c.defaultPrinter));
        }
        if (c.legacyMode != 0xFFFFFFFF) {
            m.sim.registry().setDword(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows",
                                      "LegacyDefaultPrinterMode", c.legacyMode);
        }
        if (c.readFails) m.sim.faults().fail("GetDefaultPrinterA", static_cast<DWORD>(std::stoul(c.readFails)));
        EXPECT_EQ(install::windowsManagesDefaults(), c.outcome != nullptr);
        if (c.outcome) {
            EXPECT_EQ(install::defaultPrinterOutcome("M(P)"),
                      std::string(c.outcome) + (c.legacyMode == 1 ? "" : manages));
        }
        EXPECT_EQ(m.sim.openHandles(), 0u);
    }
}

}  // namespace
