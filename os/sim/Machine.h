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

    bool isNt() const { return platform == VER_PLATFORM_WIN32_NT; }
    // The spooler's own environment name.
    std::string environment() const { return isNt() ? "Windows NT x86" : "Windows 4.0"; }

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
};

}  // namespace os::sim
