// Reading the agreement text for the wizard's agreement page: the whole file
// as raw bytes from the current directory, and each way it can fail, with
// the file closed and the memory freed afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/LicenseText.h"
#include "support/SimMachine.h"

namespace {

using pages::LicenseRead;

class WizardLicenseTextTest : public testing_support::SimMachineTest {};

TEST_F(WizardLicenseTextTest, TheWholeFileComesBackByteForByteFromTheCurrentDirectory) {
    std::string bytes = "Licence\r\n\r\n1. Use\r\n\xb0\xe6\xc8\xa8 GBK bytes\nLF only\r\n";
    bytes += std::string(70000, 'x');  // beyond any one read's size
    write("C:\\MEDIUM\\License.txt", bytes);
    std::string text;
    EXPECT_EQ(pages::readLicenseText("License.txt", &text), LicenseRead::Read);
    EXPECT_EQ(text, bytes);
    EXPECT_EQ(sim.openHandles(), 0u);

    write("C:\\MEDIUM\\License.txt", "");
    text = "stale";
    EXPECT_EQ(pages::readLicenseText("License.txt", &text), LicenseRead::Read);
    EXPECT_EQ(text, "");

    // Another current directory, another licence.
    write("C:\\OTHER\\License.txt", "other");
    ASSERT_TRUE(sim.SetCurrentDirectoryA("C:\\OTHER"));
    EXPECT_EQ(pages::readLicenseText("License.txt", &text), LicenseRead::Read);
    EXPECT_EQ(text, "other");
}

TEST_F(WizardLicenseTextTest, AMissingOrUnreadableFileAndNoMemoryAreToldApart) {
    std::string text = "stale";
    EXPECT_EQ(pages::readLicenseText("License.txt", &text), LicenseRead::Unreadable);
    EXPECT_EQ(text, "");

    write("C:\\MEDIUM\\License.txt", "terms");
    struct Case {
        const char* call;
        int after;
        LicenseRead result;
    };
    for (const Case& c : std::vector<Case>{{"CreateFileA", 0, LicenseRead::Unreadable},
                                          {"SetFilePointer", 0, LicenseRead::Unreadable},
                                          {"SetFilePointer", 1, LicenseRead::Unreadable},
                                          {"ReadFile", 0, LicenseRead::Unreadable},
                                          {"LocalAlloc", 0, LicenseRead::NoMemory}}) {
        SCOPED_TRACE(std::string(c.call) + " after " + std::to_string(c.after));
        sim.faults().clear();
        sim.faults().fail(c.call, c.call == std::string("LocalAlloc") ? ERROR_NOT_ENOUGH_MEMORY
                                                                      : ERROR_ACCESS_DENIED)
            .after(c.after);
        text = "stale";
        EXPECT_EQ(pages::readLicenseText("License.txt", &text), c.result);
        EXPECT_EQ(text, "");
        EXPECT_EQ(sim.openHandles(), 0u);
    }
}

TEST_F(WizardLicenseTextTest, AFileHeldOpenForWritingByAnotherProgramIsStillRead) {
    write("C:\\MEDIUM\\License.txt", "terms");
    // An editor that has it open, allowing others to read.
    HANDLE editor = sim.CreateFileA("C:\\MEDIUM\\License.txt", GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(editor, INVALID_HANDLE_VALUE);
    std::string text;
    EXPECT_EQ(pages::readLicenseText("License.txt", &text), LicenseRead::Read);
    EXPECT_EQ(text, "terms");
    sim.CloseHandle(editor);
}

}  // namespace
