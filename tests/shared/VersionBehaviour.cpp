// Version resources as Windows reads them, on every backend, from small
// libraries built with windres from tests/data/pe.
#include <cstring>

#include "support/Backend.h"
#include "support/BuiltData.h"

using testing_support::BackendTest;

namespace {

const char kFileVersion[] = "\\StringFileInfo\\040904b0\\FileVersion";
const DWORD kUntouched = 0xdeadbeef;

}  // namespace

class VersionBehaviour : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (HasFatalFailure()) return;
        REQUIRE_BUILT_DATA(fileExists(library("ver1001")), "the PE test libraries");
    }

    std::string library(const std::string& name) { return dataFile("pe\\" + name + ".dll"); }

    // The version block of a file as a caller gets it, sized as Windows says.
    std::vector<char> versionBlock(const std::string& path) {
        DWORD handle = kUntouched;
        DWORD size = sys().GetFileVersionInfoSizeA(path.c_str(), &handle);
        EXPECT_EQ(handle, 0u);
        std::vector<char> block(size);
        if (size == 0) return block;
        EXPECT_TRUE(sys().GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
            << path << " error " << sys().GetLastError();
        return block;
    }

    // A text value; `length` is what VerQueryValueA reports.
    std::string text(std::vector<char>& block, const char* subBlock, UINT* length = nullptr) {
        void* value = nullptr;
        UINT size = 0;
        if (!sys().VerQueryValueA(block.data(), subBlock, &value, &size)) return "<none>";
        if (length) *length = size;
        EXPECT_TRUE(inside(block, value)) << subBlock;
        return static_cast<const char*>(value);
    }

    static bool inside(const std::vector<char>& block, const void* pointer) {
        auto* p = static_cast<const char*>(pointer);
        return p >= block.data() && p < block.data() + block.size();
    }

    // The size of a resource as it says in its first word.
    static DWORD ownLength(const std::vector<char>& block) {
        uint16_t length = 0;
        std::memcpy(&length, block.data(), sizeof length);
        return length;
    }

    DWORD errorOfSize(const std::string& path) {
        DWORD handle = kUntouched;
        sys().SetLastError(kUntouched);
        EXPECT_EQ(sys().GetFileVersionInfoSizeA(path.c_str(), &handle), 0u) << path;
        EXPECT_EQ(handle, 0u);
        return sys().GetLastError();
    }

    DWORD errorOfInfo(const std::string& path) {
        std::vector<char> block(4096);
        sys().SetLastError(kUntouched);
        EXPECT_FALSE(sys().GetFileVersionInfoA(path.c_str(), 0, 4096, block.data())) << path;
        return sys().GetLastError();
    }
};

TEST_P(VersionBehaviour, ReadsTheFixedInfoOfEachLibrary) {
    struct Case {
        const char* name;
        DWORD mostSignificant;
        DWORD leastSignificant;
    };
    for (const Case& c : {Case{"ver1001", 0x00010000, 0x00000001},
                          Case{"ver1002", 0x00010000, 0x00000002},
                          Case{"ver5126", 0x00050001, 0x0A280000}}) {
        SCOPED_TRACE(c.name);
        std::vector<char> block = versionBlock(library(c.name));
        ASSERT_FALSE(block.empty());
        // Windows asks for twice the resource and four bytes: room for the
        // ANSI copies of its strings.
        EXPECT_EQ(block.size(), 2 * ownLength(block) + 4);
        void* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(sys().VerQueryValueA(block.data(), "\\", &value, &length));
        ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
        VS_FIXEDFILEINFO fixed;
        std::memcpy(&fixed, value, sizeof fixed);
        EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(fixed.dwFileVersionMS, c.mostSignificant);
        EXPECT_EQ(fixed.dwFileVersionLS, c.leastSignificant);
    }
}

TEST_P(VersionBehaviour, ReadsTranslationAndStringsInAnsi) {
    std::vector<char> block = versionBlock(library("ver5126"));
    ASSERT_FALSE(block.empty());
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(sys().VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    WORD words[2];
    std::memcpy(words, value, sizeof words);
    EXPECT_EQ(words[0], 0x0409);
    EXPECT_EQ(words[1], 1200);

    // The length counts the terminator.
    EXPECT_EQ(text(block, kFileVersion, &length), "5.1.2600.0");
    EXPECT_EQ(length, 11u);
    // Latin-1 letters come out in the ANSI code page (1252 here).
    EXPECT_EQ(text(block, "\\StringFileInfo\\040904b0\\FileDescription"),
              "Test library, caf\xE9 edition");
    EXPECT_EQ(text(block, "\\StringFileInfo\\040904b0\\ProductVersion"), "5.1.2600.0");
}

TEST_P(VersionBehaviour, AnsiCopiesStayValidAndApartInsideTheCallersBlock) {
    std::vector<char> block = versionBlock(library("ver1001"));
    ASSERT_FALSE(block.empty());
    void* first = nullptr;
    void* second = nullptr;
    UINT length = 0;
    ASSERT_TRUE(sys().VerQueryValueA(block.data(), kFileVersion, &first, &length));
    ASSERT_TRUE(sys().VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\CompanyName",
                                     &second, &length));
    EXPECT_TRUE(inside(block, first));
    EXPECT_TRUE(inside(block, second));
    EXPECT_STREQ(static_cast<const char*>(first), "1.0.0.1");
    EXPECT_STREQ(static_cast<const char*>(second), "Printer set-up test data");
    // Asking again converts again, into the same place.
    void* again = nullptr;
    ASSERT_TRUE(sys().VerQueryValueA(block.data(), kFileVersion, &again, &length));
    EXPECT_EQ(again, first);
    EXPECT_STREQ(static_cast<const char*>(again), "1.0.0.1");
}

TEST_P(VersionBehaviour, FindsSubBlocksWithoutCaseAndSkipsEmptyParts) {
    std::vector<char> block = versionBlock(library("ver1002"));
    ASSERT_FALSE(block.empty());
    EXPECT_EQ(text(block, "\\STRINGFILEINFO\\040904B0\\fileversion"), "1.0.0.2");
    EXPECT_EQ(text(block, "StringFileInfo\\040904b0\\FileVersion"), "1.0.0.2");
    EXPECT_EQ(text(block, "\\\\StringFileInfo\\\\040904b0\\FileVersion\\"), "1.0.0.2");
    // A block with no value of its own answers with length 0.
    UINT length = kUntouched;
    text(block, "\\StringFileInfo", &length);
    EXPECT_EQ(length, 0u);

    void* root = nullptr;
    void* fixed = nullptr;
    ASSERT_TRUE(sys().VerQueryValueA(block.data(), "\\", &fixed, &length));
    ASSERT_TRUE(sys().VerQueryValueA(block.data(), "", &root, &length));
    EXPECT_EQ(root, fixed);
}

TEST_P(VersionBehaviour, MissingSubBlocksFailAndLeaveTheValueAlone) {
    std::vector<char> block = versionBlock(library("ver1002"));
    ASSERT_FALSE(block.empty());
    for (const char* missing : {"\\StringFileInfo\\040904b0\\FileVers",
                                "\\StringFileInfo\\080404b0\\FileVersion", "\\Nothing"}) {
        SCOPED_TRACE(missing);
        void* value = &block;
        UINT length = kUntouched;
        sys().SetLastError(kUntouched);
        EXPECT_FALSE(sys().VerQueryValueA(block.data(), missing, &value, &length));
        EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
        EXPECT_EQ(value, static_cast<void*>(&block));
        EXPECT_EQ(length, 0u);
    }
}

TEST_P(VersionBehaviour, AnEmptyFileVersionIsAnEmptyText) {
    std::vector<char> block = versionBlock(library("emptyver"));
    ASSERT_FALSE(block.empty());
    UINT length = kUntouched;
    EXPECT_EQ(text(block, kFileVersion, &length), "");
    EXPECT_EQ(length, 1u);
    EXPECT_EQ(text(block, "\\StringFileInfo\\040904b0\\CompanyName"), "Printer set-up test data");
}

TEST_P(VersionBehaviour, FilesWithoutAVersionResourceHaveNoSize) {
    std::string textFile = scratch() + "\\text.dll";
    writeFile(textFile, "This is not an image.\r\n");
    for (const std::string& path : {textFile, library("nores")}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(errorOfSize(path), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
        EXPECT_EQ(errorOfInfo(path), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
    }
    // Resources, but none of them a version: Windows names the missing type,
    // Wine reports every file without a version resource as 1812.
    DWORD noType = isSim() ? ERROR_RESOURCE_TYPE_NOT_FOUND : ERROR_RESOURCE_DATA_NOT_FOUND;
    EXPECT_EQ(errorOfSize(library("strings")), noType);
    EXPECT_EQ(errorOfInfo(library("strings")), noType);

    // The simulation is Windows XP, which reports a missing file as one
    // without resources; Wine answers as later versions do.
    DWORD missing = isSim() ? ERROR_RESOURCE_DATA_NOT_FOUND : ERROR_FILE_NOT_FOUND;
    EXPECT_EQ(errorOfSize(scratch() + "\\missing.dll"), missing);
    EXPECT_EQ(errorOfInfo(scratch() + "\\missing.dll"), missing);
}

INSTANTIATE_BACKENDS(VersionBehaviour);
