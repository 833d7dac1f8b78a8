#include "app/ArchitectureCheck.h"

namespace app {

std::string architectureRefusal(const OSVERSIONINFOA& version, os::Architecture machine) {
    if (machine == os::Architecture::x86) return std::string();
    if (machine != os::Architecture::x64)
        return std::string("This setup cannot install on Windows for ") +
               os::architectureName(machine) +
               " processors: its printer drivers, port monitors and print processor are built "
               "for x86 and x64 Windows only.";
    // XP and Server 2003 x64 are 5.2, Vista and Server 2008 6.0: their
    // spoolers and driver signing differ from those the x64 files are made for.
    const bool sevenOrLater = version.dwMajorVersion > 6 ||
                              (version.dwMajorVersion == 6 && version.dwMinorVersion >= 1);
    if (sevenOrLater) return std::string();
    return "This setup installs on 64-bit Windows from Windows 7 and Windows Server 2008 R2 on. "
           "It cannot install on the 64-bit editions of Windows XP, Server 2003, Vista and "
           "Server 2008.";
}

}  // namespace app
