#include "os/Os.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include "os/win32/Win32Os.h"
#endif

namespace os {
namespace {

std::atomic<Os*> installed{nullptr};
std::atomic<unsigned> installations{0};

Os* defaultSystem() {
#ifdef _WIN32
    static Win32Os real;
    return &real;
#else
    return nullptr;
#endif
}

}  // namespace

Os& sys() {
    Os* current = installed.load();
    if (current == nullptr) current = defaultSystem();
    if (current == nullptr) {
        std::fputs("os::sys(): no system installed (the native build has only the simulation)\n",
                   stderr);
        std::abort();
    }
    return *current;
}

Os* install(Os* system) {
    installations++;
    return installed.exchange(system);
}

unsigned installation() { return installations.load(); }

bool runningVersion(OSVERSIONINFOA* version) {
    *version = OSVERSIONINFOA();
    version->dwOSVersionInfoSize = sizeof *version;
    return sys().GetVersionExA(version) != FALSE;
}

bool isFile(const std::string& path) {
    const DWORD attributes = sys().GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace os
