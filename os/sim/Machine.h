// The simulated machine's identity: which Windows it is, where its
// directories are, and who runs the program.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "os/WinApi.h"
#include "os/sim/Text.h"

namespace os::sim {

struct Machine {
    DWORD platform = VER_PLATFORM_WIN32_NT;
    DWORD major = 5;
    DWORD minor = 1;
    DWORD build = 2600;
    std::string servicePack = "Service Pack 3";
    // HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProductName (NT only;
    // empty: the value does not exist).
    std::string productName = "Microsoft Windows XP";
    // wProductType of OSVERSIONINFOEXA: 1 workstation, 3 server.
    BYTE productType = 1;
    // The version above is the one Windows runs as, which RtlGetVersion
    // answers. GetVersionExA answers it too, but from Windows 8.1 on only
    // to a program whose manifest names the system: to others it answers
    // Windows 8 (6.2, build 9200), or the newest system the manifest names.
    // The newest Windows the program's manifest names, as major << 8 | minor
    // (0x0A00: Windows 10, as setup.exe's does; 0: none).
    DWORD manifestNames = 0x0A00;
    // The machine's own processor (IMAGE_FILE_MACHINE_I386, _AMD64, _ARM64
    // or _IA64). The program, an x86 one, runs under WOW64 where it is another.
    WORD nativeMachine = IMAGE_FILE_MACHINE_I386;
    // Windows protected print mode switched on in Settings (Windows 11
    // version 24H2 on); the group policy's value is in the registry.
    bool protectedPrintSwitchedOn = false;
    // The driver store's packages of the INF files in the Windows "inf"
    // folder, by the INF's name: the package's folder.
    std::map<std::string, std::string, LessNoCase> driverStorePackages;
    std::string windowsDirectory = "C:\\WINDOWS";
    std::string systemDirectory = "C:\\WINDOWS\\system32";
    std::string tempDirectory = "C:\\WINDOWS\\Temp\\";
    std::string modulePath = "C:\\MEDIUM\\setup.exe";
    std::string currentDirectory = "C:\\MEDIUM";
    bool administrator = true;
    // The thread impersonates (has a token of its own).
    bool impersonating = false;
    // The process holds the shutdown privilege (ExitWindowsEx succeeds).
    bool shutdownPrivilege = false;
    // The privileges the process token has enabled (AdjustTokenPrivileges),
    // by name. An administrator's token or the system account's holds
    // SeLoadDriverPrivilege, disabled until enabled; another user's does not.
    std::vector<std::string> enabledPrivileges;
    // The program runs as the local system account (under a deployment agent).
    bool systemAccount = false;
    // Otherwise the account it runs as, by its SID ("S-1-5-21-..."); empty:
    // the machine's user (wellKnown::kUser). Another administrator's run
    // names another.
    std::string user;
    // Vista, 2008 and 7 with the update that brings SetDefaultDllDirectories.
    bool dllDirectoriesUpdate = false;
    // The spooler's version folder "3" of each environment it keeps a driver
    // folder for. A clean system may lack one, w32x86\3 on 64-bit Windows in
    // particular, which has no x86 driver of its own; the spooler makes a
    // version folder as it adds a driver of that version.
    bool versionFolders = true;
    // Files Windows deletes when it next starts (MoveFileExA).
    std::vector<std::string> deletedAtRestart;

    bool isNt() const { return platform == VER_PLATFORM_WIN32_NT; }
    bool wow64() const { return nativeMachine != IMAGE_FILE_MACHINE_I386; }
    // Where a 32-bit program's access to the system directory lands on 64-bit Windows.
    std::string wow64Directory() const { return windowsDirectory + "\\SysWOW64"; }
    // The NT family at this version or later.
    bool ntAtLeast(DWORD wantedMajor, DWORD wantedMinor) const {
        return isNt() && (major > wantedMajor || (major == wantedMajor && minor >= wantedMinor));
    }
    // Windows 10 1709 and later have IsWow64Process2; XP and later GetNativeSystemInfo.
    bool hasIsWow64Process2() const { return ntAtLeast(10, 0) && build >= 16299; }
    bool hasNativeSystemInfo() const { return ntAtLeast(5, 1); }
    // The spooler's own environment name, that of the DLLs it loads.
    std::string environment() const;
    // The environment of this program's own architecture, which the spooler
    // takes where a call names none.
    std::string callerEnvironment() const { return isNt() ? "Windows NT x86" : "Windows 4.0"; }

    static Machine windows95();
    static Machine windows98();
    static Machine windowsMe();
    static Machine windowsNt4();
    static Machine windows2000();
    static Machine windowsXp();
    static Machine windows2003();
    static Machine windowsVista();
    static Machine windows2008();
    static Machine windows7();
    static Machine windows8();
    static Machine windows81();
    static Machine windows10();
    // 23H2, build 22631.
    static Machine windows11();
    // 24H2, build 26100: the first with protected print mode.
    static Machine windows11v24h2();
    static Machine windowsServer2012();
    static Machine windowsServer2022();
    // The 64-bit edition of a Windows on an x64 (or another) processor: its
    // native system directory, the 32-bit one in SysWOW64 and 32-bit
    // programs in "Program Files (x86)".
    static Machine sixtyFourBit(Machine base, WORD nativeMachine = IMAGE_FILE_MACHINE_AMD64);
};

}  // namespace os::sim
