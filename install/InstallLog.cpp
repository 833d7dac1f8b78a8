#include "install/InstallLog.h"

#include <cstdio>

#include "os/Os.h"

namespace install {
namespace {

struct LogFile {
    std::string path;
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool opened = false;  // an opening was tried: it is not tried again for every line
};

LogFile& logFile() {
    static LogFile file;
    return file;
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

bool isNtFamily() {
    OSVERSIONINFOA version;
    return os::runningVersion(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// A file that is a file and nothing else: not a folder, not a link to
// somewhere else, not another name of a file kept elsewhere.
bool isPlainFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!os::sys().GetFileInformationByHandle(file, &info)) return false;
    const DWORD other = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    return (info.dwFileAttributes & other) == 0 && info.nNumberOfLinks == 1;
}

enum class Opening { Opened, NotPlain, Failed };

// Opens the log to append to it, and only to append. The program runs as an
// administrator or as the system account, and the log may lie in a folder
// others can write: a name there that another user has made a link to some
// system file, or a second name of one, is never written through. The link
// itself is what is opened, and looked at before anything is written.
Opening openToAppend(const std::string& path, DWORD disposition, HANDLE* opened) {
    os::Os& sys = os::sys();
    *opened = INVALID_HANDLE_VALUE;
    if (!isNtFamily()) {
        // Windows 95 has neither links nor rights to append with.
        *opened = sys.CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (*opened == INVALID_HANDLE_VALUE) return Opening::Failed;
        sys.SetFilePointer(*opened, 0, nullptr, FILE_END);
        return Opening::Opened;
    }
    const DWORD readAttributes = 0x0080;  // FILE_READ_ATTRIBUTES: to look at what was opened
    HANDLE file = sys.CreateFileA(path.c_str(), FILE_APPEND_DATA | readAttributes, FILE_SHARE_READ, nullptr,
                                  disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // A folder of that name cannot be opened as a file, and is not one.
        DWORD attributes = sys.GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Opening::NotPlain
                                                                                                 : Opening::Failed;
    }
    if (isPlainFile(file)) {
        *opened = file;
        return Opening::Opened;
    }
    sys.CloseHandle(file);
    return Opening::NotPlain;
}

// "name-2.log" beside "name.log": a new file, never one that is there.
std::string besideName(const std::string& path, int number) {
    size_t slash = path.find_last_of("\\/");
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = path.size();
    return path.substr(0, dot) + "-" + std::to_string(number) + path.substr(dot);
}

void writeRaw(HANDLE file, const std::string& text) {
    // Whatever the steps leave as their last error stays theirs.
    DWORD error = os::sys().GetLastError();
    SYSTEMTIME now;
    os::sys().GetLocalTime(&now);
    char stamp[64];  // room for any value of the fields, not only a real date
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u.%03u  ", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    const std::string line = stamp + oneLine(text) + "\r\n";
    DWORD written = 0;
    os::sys().WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    os::sys().SetLastError(error);
}

// The log's own failures never stop an installation: a log that cannot be
// opened is not kept.
void openLog(LogFile& log) {
    DWORD error = os::sys().GetLastError();
    log.opened = true;
    if (openToAppend(log.path, OPEN_ALWAYS, &log.handle) == Opening::NotPlain) {
        // A new file beside it, never one that is there already, whatever it is.
        for (int number = 2; log.handle == INVALID_HANDLE_VALUE && number <= 99; ++number) {
            const std::string beside = besideName(log.path, number);
            if (openToAppend(beside, CREATE_NEW, &log.handle) != Opening::Opened) continue;
            writeRaw(log.handle, log.path + " is not a plain file of its own (a folder, a link or a second "
                                            "name of another file): this log is kept in " + beside);
            log.path = beside;
        }
    }
    os::sys().SetLastError(error);
}

void writeLine(const std::string& text) {
    LogFile& log = logFile();
    if (log.path.empty()) return;
    if (!log.opened) openLog(log);
    // Written as each step is done: a line written is the system's even when
    // the program does not end normally.
    if (log.handle != INVALID_HANDLE_VALUE) writeRaw(log.handle, text);
}

}  // namespace

void setInstallLog(const std::string& path) {
    LogFile& log = logFile();
    if (log.handle != INVALID_HANDLE_VALUE) os::sys().CloseHandle(log.handle);
    log.handle = INVALID_HANDLE_VALUE;
    log.opened = false;
    log.path = path;
}

const std::string& installLogPath() { return logFile().path; }

void logStep(const std::string& what) { writeLine(what); }

void logFailure(const std::string& what, const std::string& text, DWORD error) {
    writeLine(what + " failed: " + text + " (system error " + std::to_string(error) + ")");
}

}  // namespace install
