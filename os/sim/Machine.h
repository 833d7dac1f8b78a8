// The simulated machine's identity: which Windows it is, where its
// directories are, and who runs the program.
#pragma once

#include <string>
#include <vector>

#include "os/WinApi.h"

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
    // The program runs as the local system account (under a deployment agent).
    bool systemAccount = false;
    // Vista, 2008 and 7 with the update that brings SetDefaultDllDirectories.
    bool dllDirectoriesUpdate = false;
    // Files Windows deletes when it next starts (MoveFileExA).
    std::vector<std::string> deletedAtRestart;

    // The machine's own architecture (IMAGE_FILE_MACHINE_*). The program, an
    // x86 one, runs under WOW64 where it is another.
    WORD nativeMachine = IMAGE_FILE_MACHINE_I386;

    bool isNt() const { return platform == VER_PLATFORM_WIN32_NT; }
    bool wow64() const { return nativeMachine != IMAGE_FILE_MACHINE_I386; }
    // Where a 32-bit program's access to the system directory lands on 64-bit Windows.
    std::string wow64Directory() const { return windowsDirectory + "\\SysWOW64"; }
    // Windows 10 1709 and later have IsWow64Process2; XP and later GetNativeSystemInfo.
    bool hasIsWow64Process2() const { return major >= 10 && build >= 16299; }
    bool hasNativeSystemInfo() const { return isNt() && (major > 5 || (major == 5 && minor >= 1)); }
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
    // Version 6.2, which the system does not know.
    static Machine windows8();
    // The 64-bit edition of a Windows on an x64 (or another) processor: its
    // native system directory, the 32-bit one in SysWOW64 and 32-bit
    // programs in "Program Files (x86)".
    static Machine sixtyFourBit(Machine base, WORD nativeMachine = IMAGE_FILE_MACHINE_AMD64);
};

}  // namespace os::sim
