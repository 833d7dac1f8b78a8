#include "os/sim/Machine.h"

namespace os::sim {
namespace {

Machine nt(DWORD major, DWORD minor, DWORD build, const char* product, const char* pack,
           BYTE productType = 1) {
    Machine m;
    m.productType = productType;
    m.platform = VER_PLATFORM_WIN32_NT;
    m.major = major;
    m.minor = minor;
    m.build = build;
    m.productName = product;
    m.servicePack = pack;
    if (major >= 6) {
        m.windowsDirectory = "C:\\Windows";
        m.systemDirectory = "C:\\Windows\\system32";
        m.tempDirectory = "C:\\Users\\Admin\\AppData\\Local\\Temp\\";
    } else if (major == 5 && minor == 0) {
        m.windowsDirectory = "C:\\WINNT";
        m.systemDirectory = "C:\\WINNT\\system32";
        m.tempDirectory = "C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp\\";
    } else if (major == 4) {
        m.windowsDirectory = "C:\\WINNT";
        m.systemDirectory = "C:\\WINNT\\system32";
        m.tempDirectory = "C:\\TEMP\\";
    } else {
        m.tempDirectory = "C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp\\";
    }
    return m;
}

Machine nine(DWORD minor, DWORD build, const char* pack) {
    Machine m;
    m.platform = VER_PLATFORM_WIN32_WINDOWS;
    m.major = 4;
    m.minor = minor;
    m.build = build;
    m.servicePack = pack;
    m.productName = "";
    m.windowsDirectory = "C:\\WINDOWS";
    m.systemDirectory = "C:\\WINDOWS\\SYSTEM";
    m.tempDirectory = "C:\\WINDOWS\\TEMP\\";
    return m;
}

}  // namespace

Machine Machine::windows95() { return nine(0, 950, ""); }
Machine Machine::windows98() { return nine(10, 2222, " A "); }
Machine Machine::windowsMe() { return nine(90, 3000, " "); }
Machine Machine::windowsNt4() { return nt(4, 0, 1381, "", "Service Pack 6"); }
Machine Machine::windows2000() {
    return nt(5, 0, 2195, "Microsoft Windows 2000", "Service Pack 4");
}
Machine Machine::windowsXp() { return nt(5, 1, 2600, "Microsoft Windows XP", "Service Pack 3"); }
Machine Machine::windows2003() {
    return nt(5, 2, 3790, "Microsoft Windows Server 2003", "Service Pack 2", 3);
}
Machine Machine::windowsVista() { return nt(6, 0, 6002, "Windows Vista (TM) Business", "Service Pack 2"); }
Machine Machine::windows2008() {
    return nt(6, 0, 6002, "Windows Server (R) 2008 Standard", "Service Pack 2", 3);
}
Machine Machine::windows7() { return nt(6, 1, 7601, "Windows 7 Professional", "Service Pack 1"); }
Machine Machine::windows8() { return nt(6, 2, 9200, "Windows 8 Pro", ""); }
Machine Machine::windows81() { return nt(6, 3, 9600, "Windows 8.1 Pro", ""); }
Machine Machine::windows10() { return nt(10, 0, 19045, "Windows 10 Pro", ""); }
// Windows 11 still calls itself Windows 10 in the registry.
Machine Machine::windows11() { return nt(10, 0, 22631, "Windows 10 Pro", ""); }
Machine Machine::windows11v24h2() { return nt(10, 0, 26100, "Windows 10 Pro", ""); }
Machine Machine::windowsServer2012() { return nt(6, 2, 9200, "Windows Server 2012 Standard", "", 3); }
Machine Machine::windowsServer2022() { return nt(10, 0, 20348, "Windows Server 2022 Standard", "", 3); }

std::string Machine::environment() const {
    if (nativeMachine == IMAGE_FILE_MACHINE_AMD64) return "Windows x64";
    if (nativeMachine == IMAGE_FILE_MACHINE_ARM64) return "Windows ARM64";
    if (nativeMachine == IMAGE_FILE_MACHINE_IA64) return "Windows IA64";
    return callerEnvironment();
}

Machine Machine::sixtyFourBit(Machine base, WORD machine) {
    base.nativeMachine = machine;
    return base;
}

}  // namespace os::sim
