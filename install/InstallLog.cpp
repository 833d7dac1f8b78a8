#include "install/InstallLog.h"

#include <cstdio>

#include "config/AsciiCase.h"
#include "install/GuardedFile.h"
#include "os/Os.h"

namespace install {
namespace {

// The default log's bound: a few hundred runs' lines.
const DWORD kLogSizeBound = 1024 * 1024;

struct LogFile {
    LogPlace place;
    std::string path;  // where the lines go
    GuardedFile file;
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

// Why a path was not taken, as the log says it.
std::string refusal(PathCheck check, const GuardedFile& file) {
    const std::string error = " (system error " + std::to_string(file.error()) + ")";
    switch (check) {
        case PathCheck::LinkOnTheWay:
            return "the folder " + file.folder() + " on the way to it is a link to somewhere else";
        case PathCheck::OpenToOthers:
            return "its folder " + file.folder() + " may be written by users who are not administrators";
        case PathCheck::NotAFilePath:
            return "it is not the path of a file on a disk or a share";
        case PathCheck::NotPlain:
            return "it is not a plain file of its own, and no new file could be made beside it";
        default:
            if (!file.folder().empty()) return "the folder " + file.folder() + " on the way to it cannot be opened" + error;
            return "it cannot be opened" + error;
    }
}

// Opens `path`, or a new file beside it where its last name is not a plain
// file of its own. Returns how the path itself fared; `*kept` is where the
// lines go, `*note` what the log must say about it.
PathCheck openBeside(LogFile& log, const std::string& path, const FolderRule& rule, std::string* kept,
                     std::string* note) {
    PathCheck check = log.file.open(path, OPEN_ALWAYS, rule);
    if (check == PathCheck::Opened) *kept = path;
    if (check != PathCheck::NotPlain) return check;
    // A new file beside it, never one that is there already, whatever it is.
    for (int number = 2; number <= 99; ++number) {
        const std::string beside = besideName(path, number);
        if (log.file.open(beside, CREATE_NEW, rule) != PathCheck::Opened) continue;
        *kept = beside;
        *note += path + " is not a plain file of its own (a folder, a link or a second name of another file): "
                        "this log is kept in " + beside;
        break;
    }
    return check;
}

// "name.1.log" for "C:\folder\name.log": where the earlier lines go.
std::string earlierName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name + ".1" : name.substr(0, dot) + ".1" + name.substr(dot);
}

// A startup script runs the program at every start: the default log is kept
// small. One that has reached the bound as a run begins is moved aside to
// its earlier file, in place of the one before, and a new one is begun.
void keepSmall(LogFile& log, const std::string& kept, std::string* note) {
    os::Os& sys = os::sys();
    DWORD high = 0;
    sys.SetLastError(ERROR_SUCCESS);
    const DWORD size = sys.GetFileSize(log.file.handle(), &high);
    if ((size == INVALID_FILE_SIZE && sys.GetLastError() != ERROR_SUCCESS) || (high == 0 && size < kLogSizeBound))
        return;
    const std::string aside = earlierName(kept);
    DWORD moveError = 0;
    if (log.file.moveAside(aside, &moveError) != PathCheck::Opened) return;
    const size_t slash = kept.find_last_of("\\/");
    const std::string asidePath = (slash == std::string::npos ? std::string() : kept.substr(0, slash + 1)) + aside;
    if (!note->empty()) *note += "; ";
    *note += moveError == ERROR_SUCCESS
                 ? "the earlier lines of this log are in " + asidePath
                 : "this log has reached its bound, but could not be moved to " + asidePath + " (system error " +
                       std::to_string(moveError) + "): it is appended to";
}

// The log's own failures never stop an installation. A path that cannot be
// taken, for whatever reason, sends the log to the default place; only
// where that fails too is no log kept.
void openLog(LogFile& log) {
    DWORD error = os::sys().GetLastError();
    log.opened = true;
    FolderRule rule;
    rule.administratorsOnly = log.place.administratorsOnly;
    rule.ownSid = log.place.ownSid;
    std::string kept, note;
    const PathCheck check = openBeside(log, log.place.path, rule, &kept, &note);
    const std::string& fallback = log.place.fallback;
    bool atDefault = !fallback.empty() && config::equalIgnoringCase(fallback, log.place.path);
    if (kept.empty() && !fallback.empty() && !atDefault) {
        const std::string why = refusal(check, log.file);
        // The default place is the program's own choice: any folder of it will do.
        std::string besideNote;
        openBeside(log, fallback, FolderRule(), &kept, &besideNote);
        note = "this log was meant for " + log.place.path + ", but " + why + ": it is kept in " + kept;
        if (!besideNote.empty()) note += "; " + besideNote;
        atDefault = true;
    }
    if (atDefault && log.file.handle() != INVALID_HANDLE_VALUE) keepSmall(log, kept, &note);
    log.path = kept.empty() ? log.place.path : kept;
    if (log.file.handle() != INVALID_HANDLE_VALUE && !note.empty()) writeRaw(log.file.handle(), note);
    os::sys().SetLastError(error);
}

void writeLine(const std::string& text) {
    LogFile& log = logFile();
    if (log.place.path.empty()) return;
    if (!log.opened) openLog(log);
    // Written as each step is done: a line written is the system's even when
    // the program does not end normally.
    if (log.file.handle() != INVALID_HANDLE_VALUE) writeRaw(log.file.handle(), text);
}

}  // namespace

void setInstallLog(const LogPlace& place) {
    LogFile& log = logFile();
    log.file.close();
    log.opened = false;
    log.place = place;
    log.path = place.path;
}

void setInstallLog(const std::string& path) {
    LogPlace place;
    place.path = path;
    setInstallLog(place);
}

const std::string& installLogPath() { return logFile().path; }

void logStep(const std::string& what) { writeLine(what); }

void logFailure(const std::string& what, const std::string& text, DWORD error) {
    writeLine(what + " failed: " + text + " (system error " + std::to_string(error) + ")");
}

}  // namespace install
