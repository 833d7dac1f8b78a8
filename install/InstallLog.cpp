#include "install/InstallLog.h"

#include <cstdio>

#include "os/Os.h"

namespace install {
namespace {

std::string& logPath() {
    static std::string path;
    return path;
}

// The texts carry line breaks for the boxes that show them; a log line holds one line.
std::string oneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        line += c == '\n' ? ' ' : c;
    }
    return line;
}

// Opened for each line and closed again, so that a line written is on the
// disk even when the program does not end normally; the log's own failures
// never stop an installation.
void writeLine(const std::string& text) {
    const std::string& path = logPath();
    if (path.empty()) return;
    // Whatever the steps leave as their last error stays theirs.
    DWORD error = os::sys().GetLastError();
    SYSTEMTIME now;
    os::sys().GetLocalTime(&now);
    char stamp[64];  // room for any value of the fields, not only a real date
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u.%03u  ", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    const std::string line = stamp + oneLine(text) + "\r\n";
    HANDLE file = os::sys().CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        os::sys().SetFilePointer(file, 0, nullptr, FILE_END);
        DWORD written = 0;
        os::sys().WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        os::sys().CloseHandle(file);
    }
    os::sys().SetLastError(error);
}

}  // namespace

void setInstallLog(const std::string& path) { logPath() = path; }

const std::string& installLogPath() { return logPath(); }

void logStep(const std::string& what) { writeLine(what); }

void logFailure(const std::string& what, const std::string& text, DWORD error) {
    writeLine(what + " failed: " + text + " (system error " + std::to_string(error) + ")");
}

}  // namespace install
