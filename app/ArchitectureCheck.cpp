#include "app/ArchitectureCheck.h"

namespace app {

std::string architectureRefusal(const os::RunningSystem& system) {
    if (!system.isNt() || system.architecture == os::Architecture::X86) return std::string();
    if (system.architecture != os::Architecture::X64) {
        const char* processors = system.architecture == os::Architecture::Other
                                     ? "unknown"
                                     : os::architectureName(system.architecture);
        return std::string("This setup cannot install on Windows for ") + processors +
               " processors: its printer drivers, port monitors and print processor are built "
               "for x86 and x64 Windows only.";
    }
    // XP and Server 2003 x64 are 5.2, Vista and Server 2008 6.0: their
    // spoolers and driver signing differ from those the x64 files are made for.
    if (system.ntAtLeast(6, 1)) return std::string();
    return "This setup installs on 64-bit Windows from Windows 7 and Windows Server 2008 R2 on. "
           "It cannot install on the 64-bit editions of Windows XP, Server 2003, Vista and "
           "Server 2008.";
}

}  // namespace app
