// The systems a behaviour test runs on: the simulated Windows on every
// build, and the real Win32 calls (Wine's) on the Windows build. A test
// written against BackendTest runs once per backend, with a fresh scratch
// directory and registry key, so the simulation is pinned to what Windows does.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "os/Os.h"
#include "os/sim/SimOs.h"

namespace testing_support {

enum class BackendKind { Sim, Win32 };

// What a test primes the last error with, to see that a call set its own.
constexpr DWORD kUntouched = 0xdeadbeef;
// Whether the real calls are Wine's (its ntdll names its version).
bool onWine();

std::string backendName(const ::testing::TestParamInfo<BackendKind>& info);
// The backends of this build.
::testing::internal::ParamGenerator<BackendKind> allBackends();

class BackendTest : public ::testing::TestWithParam<BackendKind> {
protected:
    void SetUp() override;
    void TearDown() override;

    os::Os& sys() { return *system_; }
    bool isSim() const { return GetParam() == BackendKind::Sim; }
    // The simulation, when this run is on it (null on Win32).
    os::sim::SimOs* sim() { return sim_; }
    // A fresh, empty directory of this test (no trailing backslash).
    const std::string& scratch() const { return scratch_; }
    // A registry path under HKEY_CURRENT_USER that this test may fill.
    const std::string& scratchKey() const { return scratchKey_; }
    // The path of a test data file (cabinets, PE files, stand-in DLLs).
    std::string dataFile(const std::string& name) const;

    // Helpers written with the backend's own calls.
    void writeFile(const std::string& path, const std::string& content);
    std::string readFile(const std::string& path);
    bool fileExists(const std::string& path);
    void removeTree(const std::string& path);
    void removeKey(HKEY root, const std::string& path);

private:
    std::unique_ptr<os::Os> owned_;
    os::Os* system_ = nullptr;
    os::sim::SimOs* sim_ = nullptr;
    std::string scratch_;
    std::string scratchKey_;
    std::string dataDirectory_;
    std::vector<std::string> createdKeys_;
};

}  // namespace testing_support

#define INSTANTIATE_BACKENDS(suite) \
    INSTANTIATE_TEST_SUITE_P(On, suite, ::testing_support::allBackends(), \
                             ::testing_support::backendName)
