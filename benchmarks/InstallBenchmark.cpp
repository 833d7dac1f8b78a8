// The install sequence's own cost. Every wait of the sequence is virtual
// (the simulated clock), so the real time measured here is what the
// sequence spends beyond its mandated waits; the waits themselves are
// reported beside it as a counter.
#include <benchmark/benchmark.h>

#include "support/InstallFixture.h"

using testing_support::InstallScenario;

namespace {

struct Selection {
    int targetOs;
    const char* port;
    bool olderSerialMonitor;  // an installed serial monitor older than the medium's
};

const Selection kSelections[] = {
    {3, "HVCOM1:", false},  // Windows XP, serial, first installation
    {3, "HVCOM1:", true},   // Windows XP, serial, monitor replaced around a Spooler restart
    {3, "USB_M_1", false},  // Windows XP, USB with port and language monitors
    {7, "LPT1:", false},    // Windows 7, parallel
    {0, "COM1:", false},    // Windows 98/Me, serial
};

void olderSerialMonitor(InstallScenario& scenario) {
    auto& sim = scenario.sim;
    sim.files().writeFile(sim.machine().systemDirectory + "\\SER.DLL",
                          InstallScenario::testData("standin-monitor.dll"));
    char name[] = "Serial Mon", dll[] = "SER.DLL";
    MONITOR_INFO_2A info = {name, nullptr, dll};
    sim.AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    sim.registry().setDword(HKEY_LOCAL_MACHINE, install::monitorKey("Serial Mon"), "DriverVersion", 1);
}

void installSequence(benchmark::State& state) {
    const Selection& selection = kSelections[state.range(0)];
    double mandatedWaits = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto scenario = std::make_unique<InstallScenario>(selection.targetOs);
        if (selection.olderSerialMonitor) olderSerialMonitor(*scenario);
        scenario->prepare(selection.port);
        DWORD before = scenario->sim.clock().now();
        state.ResumeTiming();

        bool installed = scenario->install();

        state.PauseTiming();
        if (!installed) state.SkipWithError(scenario->message().c_str());
        mandatedWaits = scenario->sim.clock().now() - before;
        scenario.reset();
        state.ResumeTiming();
    }
    state.counters["mandated_wait_ms"] = mandatedWaits;
    state.SetLabel(std::string("TargetOs ") + std::to_string(selection.targetOs) + " " +
                   selection.port + (selection.olderSerialMonitor ? " (monitor update)" : ""));
}

}  // namespace

BENCHMARK(installSequence)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
