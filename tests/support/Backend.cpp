#include "support/Backend.h"

#include <atomic>

#ifdef _WIN32
#include "os/win32/Win32Os.h"
#endif

namespace testing_support {
namespace {

std::atomic<int> counter{0};

#ifdef _WIN32
// The test data folder as the Windows side names it: Wine shows the Linux
// root as drive Z:.
std::string hostDataDirectory() {
    std::string path = TESTDATA_DIR;
    for (char& c : path)
        if (c == '/') c = '\\';
    if (!path.empty() && path[0] == '\\') path = "Z:" + path;
    return path;
}
#endif

}  // namespace

bool onWine() {
#ifdef _WIN32
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

std::string backendName(const ::testing::TestParamInfo<BackendKind>& info) {
    return info.param == BackendKind::Sim ? "sim" : "win32";
}

::testing::internal::ParamGenerator<BackendKind> allBackends() {
#ifdef _WIN32
    return ::testing::Values(BackendKind::Sim, BackendKind::Win32);
#else
    return ::testing::Values(BackendKind::Sim);
#endif
}

void BackendTest::SetUp() {
    int n = ++counter;
    if (GetParam() == BackendKind::Sim) {
        auto sim = std::make_unique<os::sim::SimOs>();
        sim_ = sim.get();
        // The test data lies on a read-only drive D:, as a medium would.
        sim_->files().mount("D:\\", TESTDATA_DIR);
        dataDirectory_ = "D:";
        owned_ = std::move(sim);
        system_ = owned_.get();
    } else {
#ifdef _WIN32
        owned_ = std::make_unique<os::Win32Os>();
        system_ = owned_.get();
        dataDirectory_ = hostDataDirectory();
#endif
    }
    char temp[MAX_PATH] = {};
    ASSERT_GT(system_->GetTempPathA(MAX_PATH, temp), 0u);
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string unique = std::string("setup-test-") + std::to_string(n) + "-" +
                         std::to_string(reinterpret_cast<uintptr_t>(this) & 0xFFFF);
    scratch_ = std::string(temp) + unique;
    removeTree(scratch_);
    ASSERT_TRUE(system_->CreateDirectoryA(scratch_.c_str(), nullptr)) << scratch_;
    scratchKey_ = std::string("Software\\PrinterSetupTests\\") + info->name() + "-" +
                  std::to_string(n);
    for (char& c : scratchKey_)
        if (c == '/') c = '_';
}

void BackendTest::TearDown() {
    if (system_ == nullptr) return;
    removeTree(scratch_);
    removeKey(HKEY_CURRENT_USER, scratchKey_);
}

std::string BackendTest::dataFile(const std::string& name) const {
    return dataDirectory_ + "\\" + name;
}

void BackendTest::writeFile(const std::string& path, const std::string& content) {
    HANDLE file = sys().CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path << " error " << sys().GetLastError();
    DWORD written = 0;
    EXPECT_TRUE(sys().WriteFile(file, content.data(), static_cast<DWORD>(content.size()),
                                &written, nullptr));
    EXPECT_EQ(written, content.size());
    sys().CloseHandle(file);
}

std::string BackendTest::readFile(const std::string& path) {
    HANDLE file = sys().CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string content(sys().GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!content.empty()) sys().ReadFile(file, &content[0], static_cast<DWORD>(content.size()), &read, nullptr);
    sys().CloseHandle(file);
    content.resize(read);
    return content;
}

bool BackendTest::fileExists(const std::string& path) {
    return sys().GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void BackendTest::removeTree(const std::string& path) {
    DWORD attributes = sys().GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        WIN32_FIND_DATAA data;
        std::vector<std::string> names;
        HANDLE search = sys().FindFirstFileA((path + "\\*").c_str(), &data);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string name = data.cFileName;
                if (name != "." && name != "..") names.push_back(name);
            } while (sys().FindNextFileA(search, &data));
            sys().FindClose(search);
        }
        for (const auto& name : names) removeTree(path + "\\" + name);
        sys().RemoveDirectoryA(path.c_str());
    } else {
        sys().SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        sys().DeleteFileA(path.c_str());
    }
}

void BackendTest::removeKey(HKEY root, const std::string& path) {
    // Tests name the keys they make below their scratch key; remove the
    // scratch key and its parent when they are empty.
    sys().RegDeleteKeyA(root, path.c_str());
}

}  // namespace testing_support
