// Cabinets of the simulation: real cabinet files on its disks, iterated with
// Windows' notifications, extracted files written to its disks.
#include <cstring>

#include "os/sim/Cabinet.h"
#include "os/sim/SimObjects.h"

namespace os::sim {
namespace {

// A handler that aborts without naming an error leaves its own last error.
const DWORD kHandlersOwnError = 0xFFFFFFFFu;

// Windows reports a cabinet it cannot open, for whatever reason, as not found.
DWORD loadCabinet(SimOs& os, const std::string& full, Cabinet* contents) {
    std::shared_ptr<FileSystem::Opening> opening;
    if (os.files().open(full, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0, &opening))
        return ERROR_FILE_NOT_FOUND;
    std::vector<uint8_t> bytes = opening->node->data;
    os.files().close(opening);
    return readCabinet(bytes, contents);
}

std::string folderOf(const std::string& full) {
    std::string folder = FileSystem::parentOf(full);
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

class Iteration {
public:
    Iteration(SimOs& os, const std::string& passed, const std::string& full,
              PSP_FILE_CALLBACK_A handler, PVOID context)
        : os_(os), passed_(passed), full_(full), handler_(handler), context_(context) {}

    // 0 when every file was offered and every chosen one extracted.
    DWORD run(const Cabinet& cabinet) {
        std::string folder = folderOf(full_);
        CABINET_INFO_A info{folder.c_str(), "", "", cabinet.setId, cabinet.number};
        if (UINT answer = notify(SPFILENOTIFY_CABINETINFO, &info, 0)) return answer;
        for (const CabinetEntry& entry : cabinet.files)
            if (DWORD error = offer(entry)) return error;
        return cabinet.errorAfterFiles;
    }

private:
    UINT notify(UINT notification, const void* param1, UINT_PTR param2) {
        return handler_(context_, notification, reinterpret_cast<UINT_PTR>(param1), param2);
    }

    DWORD offer(const CabinetEntry& entry) {
        FILE_IN_CABINET_INFO_A file;
        std::memset(&file, 0, sizeof file);
        file.NameInCabinet = entry.name.c_str();
        file.FileSize = entry.size;
        file.DosDate = entry.dosDate;
        file.DosTime = entry.dosTime;
        file.DosAttribs = entry.attributes;
        UINT answer = notify(SPFILENOTIFY_FILEINCABINET, &file,
                             reinterpret_cast<UINT_PTR>(passed_.c_str()));
        if (answer == FILEOP_ABORT) return file.Win32Error ? file.Win32Error : kHandlersOwnError;
        // Anything but "do it" leaves the file where it is.
        if (answer != FILEOP_DOIT) return 0;
        // The handler may have filled the whole name without a terminator.
        std::string target(file.FullTargetName, strnlen(file.FullTargetName, MAX_PATH));
        if (target.empty()) return ERROR_PATH_NOT_FOUND;
        return extract(entry, target);
    }

    // Windows tells the handler about a failed extraction too, then stops.
    DWORD extract(const CabinetEntry& entry, const std::string& target) {
        DWORD error = entry.error ? entry.error : write(target, entry.data);
        FILEPATHS_A paths{target.c_str(), passed_.c_str(), error, 0};
        UINT answer = notify(SPFILENOTIFY_FILEEXTRACTED, &paths, 0);
        return answer ? answer : error;
    }

    DWORD write(const std::string& target, const std::vector<uint8_t>& data) {
        std::lock_guard<std::recursive_mutex> lock(os_.mutex());
        std::shared_ptr<FileSystem::Opening> opening;
        if (DWORD error = os_.files().open(os_.programPath(target), GENERIC_WRITE, 0, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, &opening))
            return error;
        DWORD written = 0;
        DWORD error = os_.files().write(*opening, data.data(), static_cast<DWORD>(data.size()),
                                        &written);
        os_.files().close(opening);
        return error;
    }

    SimOs& os_;
    const std::string& passed_;
    const std::string& full_;
    PSP_FILE_CALLBACK_A handler_;
    PVOID context_;
};

}  // namespace

BOOL SimOs::SetupIterateCabinetA(PCSTR cabinet, DWORD, PSP_FILE_CALLBACK_A handler,
                                 PVOID context) {
    if (!lookUp(SystemFunction::SetupIterateCabinetA)) return FALSE;
    std::string passed = cabinet ? cabinet : "";
    std::string full;
    Cabinet contents;
    {
        SIM_LOCK();
        full = programPath(passed);
        if (enter("SetupIterateCabinetA", full)) return FALSE;
        if (cabinet == nullptr) {
            fail(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (DWORD error = loadCabinet(*this, full, &contents)) {
            fail(error);
            return FALSE;
        }
    }
    // Windows answers a missing handler as it answers a handler that fails.
    if (handler == nullptr) {
        fail(ERROR_INVALID_DATA);
        return FALSE;
    }
    // The handler runs without the machine's lock: it may call the machine,
    // or wait for a thread that does.
    DWORD error = Iteration(*this, passed, full, handler, context).run(contents);
    if (error == 0) return TRUE;
    if (error != kHandlersOwnError) fail(error);
    return FALSE;
}

}  // namespace os::sim
