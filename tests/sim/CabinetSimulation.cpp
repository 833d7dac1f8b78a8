// Cabinet behaviour Windows has and Wine 8 does not show, pinned on the
// simulation, and the simulation's own promises about its handler calls.
#include <gtest/gtest.h>

#include "support/BuiltData.h"

#include <thread>

#include "os/sim/SimOs.h"
#include "support/CabinetRecorder.h"

using os::sim::SimOs;
using testing_support::CabinetRecorder;

namespace {

const char kStored[] = "D:\\stored.cab";

class CabinetSimulation : public ::testing::Test {
protected:
    void SetUp() override {
        sim.files().mount("D:\\", TESTDATA_DIR);
        REQUIRE_BUILT_DATA(sim.files().isFile(kStored), "the cabinets of tests/data");
        sim.files().makeDirectories("C:\\out");
    }

    BOOL iterate(const char* cabinet, CabinetRecorder& recorder) {
        sim.SetLastError(0xdeadbeef);
        return sim.SetupIterateCabinetA(cabinet, 0, &CabinetRecorder::handle, &recorder);
    }

    SimOs sim;
};

}  // namespace

struct AbortContext {
    CabinetRecorder recorder;
    SimOs* sim;
};

// Sets its own last error before it aborts, as SetupAPI asks handlers to.
UINT CALLBACK abortWithOwnError(PVOID context, UINT notification, UINT_PTR param1,
                                UINT_PTR param2) {
    auto* abort = static_cast<AbortContext*>(context);
    if (notification == SPFILENOTIFY_FILEINCABINET) abort->sim->SetLastError(4242);
    return CabinetRecorder::handle(&abort->recorder, notification, param1, param2);
}

TEST_F(CabinetSimulation, AnAbortWithoutAnErrorLeavesTheHandlersLastError) {
    AbortContext context{{}, &sim};
    context.recorder.abortAt = "unires.dll";
    sim.SetLastError(0);
    EXPECT_FALSE(sim.SetupIterateCabinetA(kStored, 0, abortWithOwnError, &context));
    EXPECT_EQ(sim.GetLastError(), 4242u);
    EXPECT_EQ(context.recorder.offeredNames(),
              (std::vector<std::string>{"unidrv.dll", "unires.dll"}));
}

TEST_F(CabinetSimulation, AnErrorAnswerToANotificationEndsTheWalkWithIt) {
    CabinetRecorder atInfo;
    atInfo.cabinetInfoAnswer = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(iterate(kStored, atInfo));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(atInfo.offers.empty());

    CabinetRecorder atExtracted;
    atExtracted.targets["unidrv.dll"] = "C:\\out\\unidrv.dll";
    atExtracted.targets["unires.dll"] = "C:\\out\\unires.dll";
    atExtracted.extractedAnswer = ERROR_WRITE_PROTECT;
    EXPECT_FALSE(iterate(kStored, atExtracted));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_WRITE_PROTECT));
    EXPECT_EQ(atExtracted.offeredNames(), std::vector<std::string>{"unidrv.dll"});
    EXPECT_TRUE(sim.files().isFile("C:\\out\\unidrv.dll"));
}

TEST_F(CabinetSimulation, AFailedExtractionIsReportedToTheHandlerFirst) {
    CabinetRecorder recorder;
    recorder.targets["unidrv.dll"] = "D:\\on the medium.dll";
    EXPECT_FALSE(iterate(kStored, recorder));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ASSERT_EQ(recorder.extracted.size(), 1u);
    EXPECT_EQ(recorder.extracted[0].target, "D:\\on the medium.dll");
    EXPECT_EQ(recorder.extracted[0].error, static_cast<UINT>(ERROR_ACCESS_DENIED));
}

TEST_F(CabinetSimulation, CabinetsAndTargetsMayBeRelativeToTheCurrentDirectory) {
    ASSERT_TRUE(sim.SetCurrentDirectoryA("D:\\"));
    CabinetRecorder fromMedium;
    fromMedium.targets["readme.txt"] = "C:\\out\\readme.txt";
    ASSERT_TRUE(iterate("stored.cab", fromMedium)) << sim.GetLastError();
    EXPECT_EQ(fromMedium.infoPath, "D:\\");
    EXPECT_EQ(fromMedium.offers[0].cabinet, "stored.cab");
    EXPECT_EQ(fromMedium.extracted[0].source, "stored.cab");

    ASSERT_TRUE(sim.SetCurrentDirectoryA("C:\\out"));
    CabinetRecorder intoCurrent;
    intoCurrent.targets["unires.dll"] = "unires.dll";
    ASSERT_TRUE(iterate(kStored, intoCurrent)) << sim.GetLastError();
    std::string content;
    ASSERT_TRUE(sim.files().readFile("C:\\out\\unires.dll", &content));
    EXPECT_EQ(content, "Stand-in resource DLL.\n");
}

TEST_F(CabinetSimulation, BadArgumentsFailAsOnWindows) {
    EXPECT_FALSE(sim.SetupIterateCabinetA(nullptr, 0, &CabinetRecorder::handle, nullptr));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // Windows treats a missing handler like one that fails.
    EXPECT_FALSE(sim.SetupIterateCabinetA(kStored, 0, nullptr, nullptr));
    EXPECT_EQ(sim.GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
}

struct WaitContext {
    SimOs* sim;
    int waited = 0;
};

// Waits, for every file, for a thread that asks the machine something.
UINT CALLBACK waitForAnotherThread(PVOID context, UINT notification, UINT_PTR, UINT_PTR) {
    auto* wait = static_cast<WaitContext*>(context);
    if (notification != SPFILENOTIFY_FILEINCABINET) return NO_ERROR;
    std::thread other([wait] { wait->sim->GetFileAttributesA(kStored); });
    other.join();
    ++wait->waited;
    return FILEOP_SKIP;
}

// The handler runs without the machine's lock, so it may wait for another
// thread that uses the machine (a progress window, say).
TEST_F(CabinetSimulation, TheHandlerMayWaitForAnotherThreadUsingTheMachine) {
    WaitContext context{&sim};
    EXPECT_TRUE(sim.SetupIterateCabinetA(kStored, 0, waitForAnotherThread, &context));
    EXPECT_EQ(context.waited, 3);
}
