// Start-up and the printer page's model lists over fuzzed configuration and
// language files. Input: a digit choosing the Windows version of the machine
// (0 Windows 98 ... 7 Windows 7, as the target systems are numbered), then
// setup.ini, the four category files and language\setup.ini.
#include "app/Startup.h"
#include "config/TextTable.h"
#include "config/DriverConfig.h"
#include "support/InstallFixture.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::vector<std::string> files = fuzzing::splitInput(data + 1, size - 1, 6);
    testing_support::SimMachine machine(testing_support::machineFor(fuzzing::choice(data[0], 8)));
    machine.write("C:\\MEDIUM\\DRVCONFIG\\setup.ini", files[0]);
    for (int category = 0; category < config::kCategoryCount; ++category)
        machine.write(std::string("C:\\MEDIUM\\") + config::categoryFileLower(category), files[1 + category]);
    machine.write("C:\\MEDIUM\\language\\setup.ini", files[5]);
    app::reopenMessageTexts();

    config::DriverConfig list;
    // However large the count, no more entries are read than the file holds.
    const int count = list.modelCount();
    app::StartupResult result = app::checkStartup();
    app::readStartupSettings();
    // Each refusal is said once; going on or giving way to the first copy says nothing.
    const size_t said = machine.messages().size();
    const bool silent = result == app::StartupResult::Run || result == app::StartupResult::SecondInstance;
    FUZZ_CHECK(said == (silent ? 0u : 1u));

    // The category picks the page's list: it must be one of them or none;
    // and the list read at once is the list read entry by entry.
    std::string name;
    std::vector<std::pair<int, std::string>> entries;
    for (int n : list.entryNumbers(count)) {
        int category = list.modelEntry(n, &name);
        FUZZ_CHECK(category >= config::kNoCategory && category < config::kCategoryCount);
        if (category != config::kNoCategory) entries.emplace_back(category, name);
    }
    FUZZ_CHECK(list.models() == entries);
    int category = list.defaultModel(&name);
    FUZZ_CHECK(category >= config::kNoCategory && category < config::kCategoryCount);
    return 0;
}
