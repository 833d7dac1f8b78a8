#include "app/ArchitectureCheck.h"

#include "config/Wordings.h"

namespace app {

std::string architectureRefusal(const os::RunningSystem& system) {
    if (!system.isNt() || system.architecture == os::Architecture::X86) return std::string();
    if (system.architecture == os::Architecture::Other) return shownText(kUnknownProcessorRefused);
    if (system.architecture != os::Architecture::X64)
        return shownText(kProcessorRefused, {os::architectureName(system.architecture)});
    // XP and Server 2003 x64 are 5.2, Vista and Server 2008 6.0: their
    // spoolers and driver signing differ from those the x64 files are made for.
    if (system.ntAtLeast(6, 1)) return std::string();
    return shownText(kEarly64BitRefused);
}

}  // namespace app
