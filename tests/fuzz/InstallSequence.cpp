// The descriptors and the whole install sequence over a fuzzed setup.ini and
// category file, for model "M" of the receipt category. Input: a digit for
// the target system (0 to 7), a digit for the port (0 serial, 1 parallel,
// 2 USB), then setup.ini and setup_receipt.ini.
#include "support/InstallFixture.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    std::vector<std::string> files = fuzzing::splitInput(data + 2, size - 2, 2);
    testing_support::InstallScenario scenario(fuzzing::choice(data[0], 8));
    scenario.write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", files[0]);
    scenario.write("C:\\MEDIUM\\DRVCONFIG\\setup_receipt.ini", files[1]);
    static const char* const ports[] = {"COM1:", "LPT1:", "USB_M_1"};
    scenario.prepare(ports[fuzzing::choice(data[1], 3)]);
    const size_t handles = scenario.sim.openHandles();
    bool succeeded = scenario.install();
    // Whatever the files say, the sequence releases every handle it opened
    // and reports failures in words.
    FUZZ_CHECK(scenario.sim.openHandles() == handles);
    FUZZ_CHECK(succeeded || !scenario.message().empty());
    // An installation that reports success has its printer, under the name
    // it reports; one that fails has none.
    const auto& printers = scenario.sim.spooler().printers;
    FUZZ_CHECK(succeeded == !printers.empty());
    if (succeeded) FUZZ_CHECK(scenario.sim.spooler().printer(scenario.job.selection.modelName) != nullptr);
    return 0;
}
