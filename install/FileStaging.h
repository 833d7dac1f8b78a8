// Putting files where the spooler expects them: the one copier every
// installation step uses, and the Unidrv support files taken from the
// system's own stores.
#pragma once

#include <string>
#include <vector>

#include "os/RunningSystem.h"

namespace install {

// Where copyDriverFile puts a file.
enum CopyTarget {
    kDriverDirectory = 66000,     // the printer driver directory
    kProcessorDirectory = 66001,  // the print processor directory
    kSystemDirectory = 66002,     // the system directory
    kInfDirectory = 100,          // the Windows directory's "inf"
    kVersion3Directory = 999,     // the driver directory's version-3 subdirectory "3"
};

// Copy results besides 1 (copied) and 0 (failed, with a text unless the name
// was missing): the target is in use (32) or locked (5); the caller may
// retry under the prefixed name "n" + name.
constexpr int kCopied = 1;
constexpr int kCopyFailed = 0;
constexpr int kTargetInUse = 32;
constexpr int kTargetLocked = 5;

inline bool inUse(int copyResult) {
    return copyResult == kTargetInUse || copyResult == kTargetLocked;
}

// The print processor directory of the running system's environment and
// the system directory, where the copies put files; false when the system
// cannot say, or says more than the copies' buffers hold.
bool processorDirectory(std::string* directory);
bool systemDirectory(std::string* directory);

// A file name read from the medium names, as it is written, one file of the
// folder it is copied from and of the folder it is copied to (or deleted
// from). Refused: a path separator, a drive, "..", which reach into other
// folders; and what Windows reads as another name: a trailing dot or blank
// (dropped, so "LOCALUI.DLL." is LOCALUI.DLL), "." itself, an 8.3 alias ("~"
// and a digit, which may name another file of the folder) and a device
// (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, CONIN$, CONOUT$, CLOCK$,
// with or without an extension).
bool isPlainFileName(const std::string& name);
// True for a plain file name; otherwise false, with the copy's failure text
// for it (the system's code for an invalid name).
bool mediumNameAccepted(const std::string& name, std::string& errorText);

// A program (DLL, EXE, SYS, DRV): built for one architecture, so taken from
// the medium's folder of the architecture installed for and nowhere else.
bool isProgramFile(const std::string& name);

// Whether the copy takes the file `name` for `targetOs` from Windows' own
// stores (the Unidrv files of the NT family from 2000 to 7) rather than
// from the medium.
bool comesFromWindows(const std::string& name, int targetOs);

// The medium's folder a file for `architecture` comes from: "W32" for x86;
// for x64 "X64" for a program, and for any other file (GPD, PPD, INI, HLP,
// DAT) "X64" where it is there, else "W32".
std::string mediumFolderOf(const std::string& name, os::Architecture architecture);
// The full path of that file below the program's current directory; false
// when the current directory cannot be read.
bool mediumSource(const std::string& name, os::Architecture architecture, std::string* source);

// Copies the file `name` for the target system and the architecture installed
// for (the machine's own unless the x86 additional driver of 64-bit Windows is
// meant): the Unidrv files from the driver cache (2000, XP, 2003) or the
// driver store (Vista and later), every other file from the medium
// (mediumFolderOf) into the folder of that architecture's spooler
// environment. `name` is turned to upper case in place. With `prefixed` the
// destination is named "n" + name. A failure replaces `errorText` with its
// message.
int copyDriverFile(char* name, int target, int targetOs, bool prefixed, std::string& errorText,
                   os::Architecture architecture = os::machineArchitecture());
int copyDriverFile(std::string& name, int target, int targetOs, bool prefixed, std::string& errorText,
                   os::Architecture architecture = os::machineArchitecture());

// Extracts the six Unidrv files from every cabinet of the Windows directory's
// "Driver Cache\i386" into a new folder of the run's own in the temporary
// directory (install/PrivateFolder.h). True when the last cabinet was read
// through.
bool extractDriverCache();
// Removes that folder and what the extraction put there.
void removeDriverCacheFolder();

// Copies the Unidrv support files a driver needs into the driver directory.
void stageUnidrvFiles(int targetOs, bool needsUnidrvFiles, std::string& errorText,
                      os::Architecture architecture = os::machineArchitecture());

// The extraction is attempted once per run; tests start a new run.
struct DriverCacheState {
    bool extractionPending = true;
    std::vector<std::string> cabinets;
    std::string folder;  // where the extraction put its files; empty: nowhere
};
DriverCacheState& driverCache();
void resetDriverCache();

}  // namespace install
