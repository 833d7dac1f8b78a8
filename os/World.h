// Which world a call of this 32-bit program is made in. On 64-bit Windows
// the program runs under WOW64: its system directory is SysWOW64, the
// machine's software keys are those under Wow6432Node, and the spooler
// takes "Windows NT x86" where a call names no environment. What must reach
// the machine's own components (the spooler's monitors and drivers, the
// port records a 64-bit monitor reads) names the machine's world.
#pragma once

#include <initializer_list>

#include "os/Os.h"
#include "os/RunningSystem.h"
#include "os/WinApi.h"

namespace os {

inline bool sixtyFourBit(Architecture machine) { return machine != Architecture::X86; }

// The access flag that opens the machine's own registry view: KEY_WOW64_64KEY
// on 64-bit Windows, nothing on 32-bit Windows (Windows 2000 refuses the flag).
REGSAM nativeRegistryView(Architecture machine);

// The spooler environment of the machine's own components: "Windows x64" on
// x64; null on 32-bit Windows, where the spooler's default is the machine's.
const char* nativeEnvironment(Architecture machine);

// nativeEnvironment of this machine (os::machineArchitecture), as the
// spooler calls take it.
LPSTR spoolerEnvironment();

// The spooler environment of x86 components, named.
extern const char* const kX86Environment;

// The environment of components built for `installed` on this machine: the
// machine's own (spoolerEnvironment), or "Windows NT x86" for the x86
// additional driver of 64-bit Windows.
LPSTR environmentFor(Architecture installed);

// Turns the redirection of the system directory off for the calling thread
// for the scope's life, on 64-bit Windows only, so that a copy reaches the
// native system directory. Windows documents that libraries fail to load
// while redirection is off: nothing may be loaded or looked up inside. So
// the scope opens only once the function that closes it, and every function
// looked up at run time that the work inside calls (`needed`), has been
// found; where one is missing it does not open.
class NativeSystemDirectory {
public:
    NativeSystemDirectory(Architecture machine, std::initializer_list<SystemFunction> needed = {});
    // Restores redirection if restore() has not.
    ~NativeSystemDirectory();
    NativeSystemDirectory(const NativeSystemDirectory&) = delete;
    NativeSystemDirectory& operator=(const NativeSystemDirectory&) = delete;

    // False where redirection had to be turned off and could not be; error() says why.
    bool reached() const { return error_ == 0; }
    DWORD error() const { return error_; }
    // Turns redirection back on, keeping the last error of the work inside.
    // False when it stays off (error() says why): the thread must then do
    // nothing more, and redirectionLeftOff() says so from now on.
    bool restore();

private:
    bool turnedOff_ = false;
    PVOID previous_ = nullptr;
    DWORD error_ = 0;
};

// Whether a thread of this run could not turn redirection back on: the
// installation or removal then ends as failed, whatever step it is in.
bool redirectionLeftOff();

}  // namespace os
