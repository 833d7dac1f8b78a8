// The registry as Windows keeps it, on every backend. Every key lives below
// the test's scratch key under HKEY_CURRENT_USER.
#include <cstring>
#include <vector>

#include "support/Backend.h"

using testing_support::BackendTest;

class RegistryBehaviour : public BackendTest {
protected:
    void TearDown() override {
        // Deepest first: Windows deletes only keys without sub-keys.
        for (auto it = made_.rbegin(); it != made_.rend(); ++it)
            sys().RegDeleteKeyA(HKEY_CURRENT_USER, it->c_str());
        BackendTest::TearDown();
    }

    std::string key(const std::string& below) const { return scratchKey() + "\\" + below; }

    // Creates `below` (and its parents), remembering them for the clean-up.
    HKEY create(const std::string& below, DWORD* disposition = nullptr,
                REGSAM access = KEY_ALL_ACCESS) {
        std::string path = scratchKey();
        remember(path);
        size_t start = 0;
        while (start <= below.size()) {
            size_t end = below.find('\\', start);
            if (end == std::string::npos) end = below.size();
            if (end > start) remember(path += "\\" + below.substr(start, end - start));
            start = end + 1;
        }
        HKEY result = nullptr;
        LONG error = sys().RegCreateKeyExA(HKEY_CURRENT_USER, key(below).c_str(), 0, nullptr,
                                           REG_OPTION_NON_VOLATILE, access, nullptr, &result,
                                           disposition);
        EXPECT_EQ(error, ERROR_SUCCESS) << below;
        return result;
    }

    LONG open(const std::string& path, REGSAM access, HKEY* result) {
        *result = nullptr;
        return sys().RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, result);
    }

    void set(HKEY k, const char* name, DWORD type, const std::vector<BYTE>& data) {
        ASSERT_EQ(sys().RegSetValueExA(k, name, 0, type, data.empty() ? nullptr : data.data(),
                                       static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    }

    std::vector<BYTE> query(HKEY k, const char* name, DWORD* type) {
        DWORD size = 0;
        EXPECT_EQ(sys().RegQueryValueExA(k, name, nullptr, type, nullptr, &size), ERROR_SUCCESS);
        std::vector<BYTE> data(size + 8, 0xCC);
        DWORD capacity = static_cast<DWORD>(data.size());
        EXPECT_EQ(sys().RegQueryValueExA(k, name, nullptr, type, data.data(), &capacity),
                  ERROR_SUCCESS);
        EXPECT_EQ(capacity, size);
        data.resize(capacity);
        return data;
    }

private:
    void remember(const std::string& path) {
        for (const auto& known : made_)
            if (known == path) return;
        made_.push_back(path);
    }
    std::vector<std::string> made_;
};

TEST_P(RegistryBehaviour, KeysAreFoundWithoutRegardToCaseAndWithATrailingBackslash) {
    DWORD disposition = 0;
    HKEY made = create("Port Names\\Model", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(sys().RegCloseKey(made), ERROR_SUCCESS);

    std::string upper = scratchKey() + "\\PORT NAMES\\model";
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    HKEY opened = nullptr;
    EXPECT_EQ(open(upper, KEY_QUERY_VALUE, &opened), ERROR_SUCCESS);
    if (opened) { EXPECT_EQ(sys().RegCloseKey(opened), ERROR_SUCCESS); }
    EXPECT_EQ(open(key("port names\\MODEL\\"), KEY_QUERY_VALUE, &opened), ERROR_SUCCESS);
    if (opened) { EXPECT_EQ(sys().RegCloseKey(opened), ERROR_SUCCESS); }

    // A leading backslash is no path below a key.
    EXPECT_EQ(open("\\" + key("Port Names"), KEY_QUERY_VALUE, &opened), ERROR_BAD_PATHNAME);
    HKEY bad = nullptr;
    EXPECT_EQ(sys().RegCreateKeyExA(HKEY_CURRENT_USER, ("\\" + key("Other")).c_str(), 0, nullptr,
                                    0, KEY_ALL_ACCESS, nullptr, &bad, nullptr),
              ERROR_BAD_PATHNAME);

    // Created again, it is the key that exists.
    made = create("port names\\MODEL\\", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    if (made) { EXPECT_EQ(sys().RegCloseKey(made), ERROR_SUCCESS); }
}

TEST_P(RegistryBehaviour, MissingKeysAndValuesReportFileNotFound) {
    HKEY k = create("Present");
    HKEY opened = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(open(key("Absent"), KEY_QUERY_VALUE, &opened), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(open(key("Absent\\Deeper"), KEY_QUERY_VALUE, &opened), ERROR_FILE_NOT_FOUND);
    DWORD type = 0, size = 0;
    EXPECT_EQ(sys().RegQueryValueExA(k, "Absent", nullptr, &type, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    // The unnamed (default) value exists only once it is set.
    EXPECT_EQ(sys().RegQueryValueExA(k, nullptr, nullptr, &type, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(sys().RegDeleteValueA(k, "Absent"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(sys().RegDeleteKeyA(k, "Absent"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(sys().RegCloseKey(k), ERROR_SUCCESS);
}

TEST_P(RegistryBehaviour, CreatingAKeyCreatesItsMissingParents) {
    DWORD disposition = 0;
    HKEY k = create("One\\Two\\Three", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    EXPECT_EQ(sys().RegCloseKey(k), ERROR_SUCCESS);
    for (const char* below : {"One", "One\\Two", "One\\Two\\Three"}) {
        HKEY opened = nullptr;
        EXPECT_EQ(open(key(below), KEY_READ, &opened), ERROR_SUCCESS) << below;
        if (opened) sys().RegCloseKey(opened);
    }
}

TEST_P(RegistryBehaviour, ValuesKeepTheirTypeAndBytes) {
    HKEY k = create("Values");
    const std::vector<BYTE> text = {'C', 'O', 'M', '1', ':', 0};
    set(k, "Text", REG_SZ, text);
    const std::vector<BYTE> none = {0x00, 0x01, 0xFF, 0x00, 0x7F};
    set(k, "None", REG_NONE, none);
    const std::vector<BYTE> binary = {0xDE, 0xAD, 0x00, 0xBE, 0xEF, 0x00, 0x00};
    set(k, "Binary", REG_BINARY, binary);
    set(k, "Empty", REG_NONE, {});
    const std::vector<BYTE> dword = {0x80, 0x25, 0x00, 0x00};
    set(k, "Number", REG_DWORD, dword);

    DWORD type = 0xFFFF;
    EXPECT_EQ(query(k, "text", &type), text);  // value names without regard to case
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(query(k, "None", &type), none);
    EXPECT_EQ(type, static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(query(k, "BINARY", &type), binary);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_TRUE(query(k, "Empty", &type).empty());
    EXPECT_EQ(type, static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(query(k, "Number", &type), dword);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));

    // A value set again takes the new type and bytes.
    set(k, "Number", REG_SZ, {'9', 0});
    EXPECT_EQ(query(k, "Number", &type), (std::vector<BYTE>{'9', 0}));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    EXPECT_EQ(sys().RegDeleteValueA(k, "NONE"), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(sys().RegQueryValueExA(k, "None", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(sys().RegCloseKey(k), ERROR_SUCCESS);
}

TEST_P(RegistryBehaviour, ASmallBufferGetsMoreDataAndTheSizeNeeded) {
    HKEY k = create("Sizes");
    const std::vector<BYTE> text = {'H', 'V', 'C', 'O', 'M', '2', ':', 0};
    set(k, "Port", REG_SZ, text);

    // A size query with no buffer succeeds with the size and type.
    DWORD type = 0, size = 0;
    EXPECT_EQ(sys().RegQueryValueExA(k, "Port", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, text.size());
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    BYTE small[4] = {};
    size = sizeof small;
    type = 0;
    EXPECT_EQ(sys().RegQueryValueExA(k, "Port", nullptr, &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, text.size());
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    const std::vector<BYTE> binary = {1, 2, 3, 4, 5, 6};
    set(k, "Bytes", REG_BINARY, binary);
    size = 5;
    BYTE five[5] = {};
    EXPECT_EQ(sys().RegQueryValueExA(k, "Bytes", nullptr, nullptr, five, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, binary.size());

    // Exactly enough is enough.
    BYTE exact[6] = {};
    size = sizeof exact;
    EXPECT_EQ(sys().RegQueryValueExA(k, "Bytes", nullptr, nullptr, exact, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::vector<BYTE>(exact, exact + 6), binary);
    EXPECT_EQ(sys().RegCloseKey(k), ERROR_SUCCESS);
}

TEST_P(RegistryBehaviour, AHandleCarriesOnlyTheRightsItWasOpenedWith) {
    HKEY k = create("Rights");
    set(k, "Value", REG_DWORD, {1, 0, 0, 0});
    EXPECT_EQ(sys().RegCloseKey(k), ERROR_SUCCESS);

    HKEY reader = nullptr;
    ASSERT_EQ(open(key("Rights"), KEY_QUERY_VALUE, &reader), ERROR_SUCCESS);
    const BYTE two[4] = {2, 0, 0, 0};
    EXPECT_EQ(sys().RegSetValueExA(reader, "Value", 0, REG_DWORD, two, 4), ERROR_ACCESS_DENIED);
    EXPECT_EQ(sys().RegDeleteValueA(reader, "Value"), ERROR_ACCESS_DENIED);
    DWORD type = 0;
    EXPECT_EQ(query(reader, "Value", &type), (std::vector<BYTE>{1, 0, 0, 0}));
    EXPECT_EQ(sys().RegCloseKey(reader), ERROR_SUCCESS);

    HKEY writer = nullptr;
    ASSERT_EQ(open(key("Rights"), KEY_SET_VALUE, &writer), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(sys().RegQueryValueExA(writer, "Value", nullptr, nullptr, nullptr, &size),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(sys().RegSetValueExA(writer, "Value", 0, REG_DWORD, two, 4), ERROR_SUCCESS);
    EXPECT_EQ(sys().RegCloseKey(writer), ERROR_SUCCESS);
}

TEST_P(RegistryBehaviour, DeletingAKey) {
    HKEY child = create("Parent\\Child");
    EXPECT_EQ(sys().RegCloseKey(child), ERROR_SUCCESS);

    // A key with sub-keys stays; its leaves go first.
    EXPECT_EQ(sys().RegDeleteKeyA(HKEY_CURRENT_USER, key("Parent").c_str()), ERROR_ACCESS_DENIED);
    HKEY parent = nullptr;
    ASSERT_EQ(open(key("Parent"), KEY_ALL_ACCESS, &parent), ERROR_SUCCESS);
    HKEY doomed = nullptr;
    ASSERT_EQ(open(key("Parent\\Child"), KEY_ALL_ACCESS, &doomed), ERROR_SUCCESS);
    EXPECT_EQ(sys().RegDeleteKeyA(parent, "CHILD"), ERROR_SUCCESS);
    HKEY gone = nullptr;
    EXPECT_EQ(open(key("Parent\\Child"), KEY_READ, &gone), ERROR_FILE_NOT_FOUND);

    // A handle still open on the deleted key answers ERROR_KEY_DELETED.
    const BYTE one[4] = {1, 0, 0, 0};
    EXPECT_EQ(sys().RegSetValueExA(doomed, "Value", 0, REG_DWORD, one, 4), 1018);
    DWORD size = 0;
    EXPECT_EQ(sys().RegQueryValueExA(doomed, "Value", nullptr, nullptr, nullptr, &size), 1018);
    EXPECT_EQ(sys().RegCloseKey(doomed), ERROR_SUCCESS);

    EXPECT_EQ(sys().RegDeleteKeyA(HKEY_CURRENT_USER, key("Parent").c_str()), ERROR_SUCCESS);
    EXPECT_EQ(sys().RegCloseKey(parent), ERROR_SUCCESS);
}

TEST_P(RegistryBehaviour, ClosingTwiceIsAnInvalidHandle) {
    HKEY k = create("Closed");
    EXPECT_EQ(sys().RegCloseKey(k), ERROR_SUCCESS);
    EXPECT_EQ(sys().RegCloseKey(k), ERROR_INVALID_HANDLE);
    // The predefined roots are never really closed.
    EXPECT_EQ(sys().RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    HKEY still = nullptr;
    EXPECT_EQ(open(scratchKey(), KEY_READ, &still), ERROR_SUCCESS);
    if (still) sys().RegCloseKey(still);
}

INSTANTIATE_BACKENDS(RegistryBehaviour);
