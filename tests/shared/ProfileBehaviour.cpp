// Initialisation files as Windows reads and writes them, on every backend.
#include <cstring>

#include "support/Backend.h"

using testing_support::BackendTest;

namespace {

// The GB2312/GBK bytes of "简体中文", and two characters whose second bytes
// are '@' and '\' in ASCII.
const char kChinese[] = "\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4";
const char kTrailBytes[] = "\x81\x40\xD5\x5C";

}  // namespace

class ProfileBehaviour : public BackendTest {
protected:
    std::string ini(const std::string& name = "setup.ini") { return scratch() + "\\" + name; }

    // GetPrivateProfileStringA into a buffer of `size`; the copied length in `length`.
    std::string get(const char* section, const char* key, const char* defaultText,
                    const std::string& file, DWORD size = 256) {
        std::vector<char> buffer(size + 1, '#');
        length = sys().GetPrivateProfileStringA(section, key, defaultText, buffer.data(), size,
                                                file.c_str());
        return std::string(buffer.data());
    }
    // A zero-separated list as it lies in the buffer: `bytes` bytes of it.
    std::string list(const char* section, DWORD size, const std::string& file, size_t bytes) {
        std::vector<char> buffer(size + 1, '#');
        length = sys().GetPrivateProfileStringA(section, nullptr, "none", buffer.data(), size,
                                                file.c_str());
        return std::string(buffer.data(), bytes);
    }
    UINT number(const char* key, INT defaultValue = 77) {
        return sys().GetPrivateProfileIntA("Numbers", key, defaultValue, ini().c_str());
    }

    DWORD length = 0;
};

TEST_P(ProfileBehaviour, ReadsSectionsAndKeysWithoutCaseAndTrimsBlanksAndQuotes) {
    writeFile(ini(), "; set-up texts\r\n"
                     "  [ Setup ]  \r\n"
                     "  Caption  =  Printer set-up  \r\n"
                     "\tTabbed\t=\tvalue\t\r\n"
                     "Double=\"  kept blanks  \"\r\n"
                     "Single='x'\r\n"
                     "Open=\"half\r\n"
                     "Inner=\"a\" and \"b\"\r\n"
                     "Empty=\r\n"
                     "Comment=text ; stays\r\n");
    EXPECT_EQ(get("setup", "CAPTION", "-", ini()), "Printer set-up");
    EXPECT_EQ(length, 14u);
    EXPECT_EQ(get("SETUP", "tabbed", "-", ini()), "value");
    EXPECT_EQ(get("Setup", "Double", "-", ini()), "  kept blanks  ");
    EXPECT_EQ(get("Setup", "Single", "-", ini()), "x");
    EXPECT_EQ(get("Setup", "Open", "-", ini()), "\"half");
    EXPECT_EQ(get("Setup", "Inner", "-", ini()), "a\" and \"b");
    EXPECT_EQ(get("Setup", "Empty", "-", ini()), "");
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(get("Setup", "Comment", "-", ini()), "text ; stays");
}

TEST_P(ProfileBehaviour, ReadsFilesWithLfLineEnds) {
    writeFile(ini(), "[A]\nfirst=1\nsecond=2\n[B]\nthird=3");
    EXPECT_EQ(get("A", "second", "-", ini()), "2");
    EXPECT_EQ(get("B", "third", "-", ini()), "3");
}

TEST_P(ProfileBehaviour, TheFirstOfDuplicateSectionsAndKeysWins) {
    writeFile(ini(), "[Ports]\r\nCOM=first\r\ncom=second\r\n[PORTS]\r\nCOM=third\r\n");
    EXPECT_EQ(get("Ports", "Com", "-", ini()), "first");
}

TEST_P(ProfileBehaviour, GivesTheDefaultWhenFileSectionOrKeyIsMissing) {
    writeFile(ini(), "[Setup]\r\nCaption=Set-up\r\nNoEquals\r\n[Empty]\r\n");
    sys().SetLastError(0xdeadbeef);
    EXPECT_EQ(get("Setup", "Caption", "fallback", ini("missing.ini")), "fallback");
    EXPECT_EQ(length, 8u);
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(get("Other", "Caption", "fallback", ini()), "fallback");
    EXPECT_EQ(get("Setup", "Title", "fallback", ini()), "fallback");
    // A line without '=' is no key.
    EXPECT_EQ(get("Setup", "NoEquals", "fallback", ini()), "fallback");
    EXPECT_EQ(get("Empty", "Caption", "fallback", ini()), "fallback");

    EXPECT_EQ(get("Setup", "Title", nullptr, ini()), "");
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(get("Setup", "Title", "two words  ", ini()), "two words");
    EXPECT_EQ(length, 9u);
    EXPECT_EQ(get("Setup", "Title", "  leading", ini()), "  leading");
}

TEST_P(ProfileBehaviour, CutsTheResultToTheBuffer) {
    writeFile(ini(), "[Setup]\r\nName=value\r\n");
    char untouched[8] = "kumquat";
    EXPECT_EQ(sys().GetPrivateProfileStringA("Setup", "Name", "-", untouched, 0, ini().c_str()),
              0u);
    EXPECT_STREQ(untouched, "kumquat");
    EXPECT_EQ(get("Setup", "Name", "-", ini(), 1), "");
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(get("Setup", "Name", "-", ini(), 4), "val");
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(get("Setup", "Name", "-", ini(), 6), "value");
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(get("Setup", "Missing", "default", ini(), 4), "def");
    EXPECT_EQ(length, 3u);
}

TEST_P(ProfileBehaviour, ListsSectionNamesAndTheKeyNamesOfASection) {
    writeFile(ini(), "[section1]\r\nname1=a\r\nname2=\r\nname3\r\n;name5=hidden\r\nname4=c\r\n"
                     "[ section2 ]\r\n");
    EXPECT_EQ(list(nullptr, 100, ini(), 19), std::string("section1\0section2\0\0", 19));
    EXPECT_EQ(length, 18u);
    EXPECT_EQ(list("SECTION1", 100, ini(), 19), std::string("name1\0name2\0name4\0\0", 19));
    EXPECT_EQ(length, 18u);

    // Cut lists end in two zeros and report size - 2, even when only the
    // final zero is missing. (Wine writes only the first of the two zeros.)
    size_t checked = isSim() ? 16 : 15;
    EXPECT_EQ(list(nullptr, 16, ini(), checked), std::string("section1\0secti\0\0", checked));
    EXPECT_EQ(length, 14u);
    EXPECT_EQ(list("section1", 16, ini(), checked), std::string("name1\0name2\0na\0\0", checked));
    EXPECT_EQ(length, 14u);
    list("section1", 19, ini(), 0);
    EXPECT_EQ(length, 17u);
    list("section1", 20, ini(), 0);
    EXPECT_EQ(length, 18u);
}

TEST_P(ProfileBehaviour, ListsOfMissingThingsAreEmptyOrTheDefault) {
    writeFile(ini(), "[Empty]\r\n[Full]\r\nkey=1\r\n");
    EXPECT_EQ(list(nullptr, 10, ini("missing.ini"), 1), std::string("\0", 1));
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(get("Other", nullptr, "fallback", ini()), "fallback");
    EXPECT_EQ(get("Empty", nullptr, "fallback", ini()), "fallback");
}

TEST_P(ProfileBehaviour, ReadsNumbersAsWindowsConvertsThem) {
    writeFile(ini(), "[Numbers]\r\nplain=16 \r\nsigned=  +7\r\nnegative=-5\r\nletters=abc\r\n"
                     "mixed=42abc\r\nhex=0x20\r\nquoted=\"12\"\r\nwraps=4294967297\r\n"
                     "empty=\r\n");
    EXPECT_EQ(number("plain"), 16u);
    EXPECT_EQ(number("signed"), 7u);
    EXPECT_EQ(number("negative"), static_cast<UINT>(-5));
    EXPECT_EQ(number("letters"), 0u);
    EXPECT_EQ(number("mixed"), 42u);
    EXPECT_EQ(number("hex"), 32u);
    EXPECT_EQ(number("quoted"), 12u);
    EXPECT_EQ(number("wraps"), 1u);
    EXPECT_EQ(number("empty"), 77u);
    EXPECT_EQ(number("missing"), 77u);
    EXPECT_EQ(number("missing", -1), static_cast<UINT>(-1));
    EXPECT_EQ(sys().GetPrivateProfileIntA("Numbers", "plain", 3, ini("none.ini").c_str()), 3u);
}

TEST_P(ProfileBehaviour, GbkTextPassesThroughUnchanged) {
    std::string text = std::string(kChinese) + " " + kTrailBytes;
    writeFile(ini(), std::string("[Language]\r\nTitle=") + text + "\r\n");
    EXPECT_EQ(get("Language", "Title", "-", ini()), text);
    EXPECT_EQ(length, text.size());

    ASSERT_TRUE(sys().WritePrivateProfileStringA("Language", "Other", kChinese, ini().c_str()));
    EXPECT_EQ(get("Language", "Other", "-", ini()), kChinese);
    EXPECT_EQ(readFile(ini()), std::string("[Language]\r\nTitle=") + text + "\r\nOther=" +
                                   kChinese + "\r\n");
}

// A language file in another code page than the system's, with a text far
// longer than the program's buffer: whatever Windows makes of its bytes, the
// text comes back cut within the buffer, ended by its zero, and nothing
// beyond the buffer is written.
TEST_P(ProfileBehaviour, AValueOutsideTheCodePageAndLongerThanTheBufferStaysWithinIt) {
    std::string text;
    while (text.size() < 3000) text += "\xe6\x89\x93\xe5\x8d\xb0 " + std::string(kTrailBytes) + "\x81\xff\xa0";
    writeFile(ini(), "[Message]\r\nLong=" + text + "\r\n");
    const DWORD size = 2048;
    std::vector<char> buffer(size + 16, '#');
    length = sys().GetPrivateProfileStringA("Message", "Long", "", buffer.data(), size, ini().c_str());
    EXPECT_LE(length, size - 1);
    EXPECT_GT(length, size / 2);
    EXPECT_EQ(std::strlen(buffer.data()), length);
    EXPECT_EQ(std::string(buffer.data() + size, 16), std::string(16, '#'));
}

TEST_P(ProfileBehaviour, WritesFilesSectionsAndKeysInWindowsLayout) {
    std::string file = ini("written.ini");
    ASSERT_TRUE(sys().WritePrivateProfileStringA("App1", "key1", "string1", file.c_str()));
    EXPECT_EQ(readFile(file), "[App1]\r\nkey1=string1\r\n");
    ASSERT_TRUE(sys().WritePrivateProfileStringA("App1", "key2", "string2", file.c_str()));
    ASSERT_TRUE(sys().WritePrivateProfileStringA("App2", "key3", "", file.c_str()));
    ASSERT_TRUE(sys().WritePrivateProfileStringA("app1", "KEY1", "changed", file.c_str()));
    EXPECT_EQ(readFile(file), "[App1]\r\nkey1=changed\r\nkey2=string2\r\n[App2]\r\nkey3=\r\n");

    ASSERT_TRUE(sys().WritePrivateProfileStringA("App1", "key1", nullptr, file.c_str()));
    ASSERT_TRUE(sys().WritePrivateProfileStringA("App1", "absent", nullptr, file.c_str()));
    EXPECT_EQ(readFile(file), "[App1]\r\nkey2=string2\r\n[App2]\r\nkey3=\r\n");
    // A null key deletes the section; its value is not looked at.
    ASSERT_TRUE(sys().WritePrivateProfileStringA("APP1", nullptr, "ignored", file.c_str()));
    EXPECT_EQ(readFile(file), "[App2]\r\nkey3=\r\n");
}

TEST_P(ProfileBehaviour, WritingKeepsTheRestOfAHandWrittenFile) {
    writeFile(ini(), "; comment\n[A]\nx=1\n\n[B]\ny=2");
    ASSERT_TRUE(sys().WritePrivateProfileStringA("A", "z", "3", ini().c_str()));
    ASSERT_TRUE(sys().WritePrivateProfileStringA("B", "w", "4", ini().c_str()));
    ASSERT_TRUE(sys().WritePrivateProfileStringA("C", "v", "5", ini().c_str()));
    EXPECT_EQ(get("A", "x", "-", ini()), "1");
    EXPECT_EQ(get("A", "z", "-", ini()), "3");
    EXPECT_EQ(get("B", "y", "-", ini()), "2");
    EXPECT_EQ(get("B", "w", "-", ini()), "4");
    EXPECT_EQ(get("C", "v", "-", ini()), "5");
    EXPECT_EQ(readFile(ini()).rfind("; comment", 0), 0u);
    EXPECT_EQ(list(nullptr, 100, ini(), 7), std::string("A\0B\0C\0", 7));
}

TEST_P(ProfileBehaviour, WritesFailAsWindowsFailsThem) {
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().WritePrivateProfileStringA(nullptr, "key", "value", ini().c_str()));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(fileExists(ini()));

    sys().SetLastError(0xdeadbeef);
    std::string deep = scratch() + "\\no such folder\\setup.ini";
    EXPECT_FALSE(sys().WritePrivateProfileStringA("S", "key", "value", deep.c_str()));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    // An empty name is the Windows directory itself.
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().WritePrivateProfileStringA("S", "key", "value", ""));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    writeFile(ini(), "[S]\r\nkey=old\r\n");
    HANDLE held = sys().CreateFileA(ini().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    sys().SetLastError(0xdeadbeef);
    EXPECT_FALSE(sys().WritePrivateProfileStringA("S", "key", "new", ini().c_str()));
    EXPECT_EQ(sys().GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    // Reading only needs the holder to share reading.
    EXPECT_EQ(get("S", "key", "-", ini()), "old");
    sys().CloseHandle(held);
}

TEST_P(ProfileBehaviour, ThreeNullsFlushAndChangeNothing) {
    writeFile(ini(), "[S]\r\nkey=value\r\n");
    // Windows documents the result of a flush as zero, and Wine gives that;
    // callers must not take it for a failure.
    EXPECT_FALSE(sys().WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini().c_str()));
    EXPECT_FALSE(sys().WriteProfileStringA(nullptr, nullptr, nullptr));
    EXPECT_EQ(readFile(ini()), "[S]\r\nkey=value\r\n");
}

TEST_P(ProfileBehaviour, BareFileNamesLiveInTheWindowsDirectory) {
    char windows[MAX_PATH] = {};
    ASSERT_GT(sys().GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    std::string bare = scratch().substr(scratch().find_last_of('\\') + 1) + ".ini";
    std::string inWindows = std::string(windows) + "\\" + bare;
    ASSERT_TRUE(sys().WritePrivateProfileStringA("S", "key", "value", bare.c_str()));
    EXPECT_EQ(readFile(inWindows), "[S]\r\nkey=value\r\n");
    EXPECT_EQ(get("S", "key", "-", bare), "value");
    sys().DeleteFileA(inWindows.c_str());
}

TEST_P(ProfileBehaviour, RelativePathsWithAFolderStartInTheCurrentDirectory) {
    char previous[MAX_PATH] = {};
    ASSERT_GT(sys().GetCurrentDirectoryA(MAX_PATH, previous), 0u);
    ASSERT_TRUE(sys().CreateDirectoryA((scratch() + "\\DRVCONFIG").c_str(), nullptr));
    writeFile(scratch() + "\\DRVCONFIG\\setup.ini", "[S]\r\nkey=from medium\r\n");
    ASSERT_TRUE(sys().SetCurrentDirectoryA(scratch().c_str()));
    std::string value = get("S", "key", "-", "DRVCONFIG\\setup.ini");
    std::string dotted = get("S", "key", "-", ".\\DRVCONFIG\\setup.ini");
    ASSERT_TRUE(sys().SetCurrentDirectoryA(previous));
    EXPECT_EQ(value, "from medium");
    EXPECT_EQ(dotted, "from medium");
}

TEST_P(ProfileBehaviour, ProfileCallsUseWinIniInTheWindowsDirectory) {
    std::string section = "SetupTest" + scratch().substr(scratch().find_last_of('-') + 1);
    ASSERT_TRUE(sys().WriteProfileStringA(section.c_str(), "Device", "Printer,winspool,LPT1:"));
    char buffer[64] = {};
    EXPECT_EQ(sys().GetProfileStringA(section.c_str(), "device", "-", buffer, sizeof buffer), 22u);
    EXPECT_STREQ(buffer, "Printer,winspool,LPT1:");
    EXPECT_EQ(get(section.c_str(), "Device", "-", "win.ini"), "Printer,winspool,LPT1:");
    EXPECT_EQ(get(section.c_str(), "Device", "-", "WIN.INI"), "Printer,winspool,LPT1:");

    char windows[MAX_PATH] = {};
    ASSERT_GT(sys().GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    EXPECT_NE(readFile(std::string(windows) + "\\win.ini").find("[" + section + "]"),
              std::string::npos);
    ASSERT_TRUE(sys().WriteProfileStringA(section.c_str(), nullptr, nullptr));
    EXPECT_EQ(sys().GetProfileStringA(section.c_str(), "Device", "-", buffer, sizeof buffer), 1u);
}

INSTANTIATE_BACKENDS(ProfileBehaviour);
