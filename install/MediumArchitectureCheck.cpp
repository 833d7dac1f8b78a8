#include "install/MediumArchitectureCheck.h"

#include <cstdio>
#include <cstring>

#include "config/AsciiCase.h"
#include "config/ProfileValues.h"
#include "config/Wordings.h"
#include "install/ComponentInstallers.h"
#include "install/FileStaging.h"
#include "os/Os.h"

namespace install {
namespace {

// The loader takes no NT header further into the file than this.
const DWORD kFarthestNtHeader = 256u * 1024 * 1024;

// A server at the other end of what is opened may learn who the program is,
// but never act as it.
const DWORD kNoImpersonation = SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;

enum class Read { Whole, Short, Failed };

Read readAt(HANDLE file, DWORD offset, BYTE* buffer, DWORD size) {
    os::Os& sys = os::sys();
    if (sys.SetFilePointer(file, static_cast<LONG>(offset), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return Read::Failed;
    DWORD total = 0;
    while (total < size) {
        DWORD got = 0;
        if (!sys.ReadFile(file, buffer + total, size - total, &got, nullptr)) return Read::Failed;
        if (got == 0) return Read::Short;
        total += got;
    }
    return Read::Whole;
}

WORD word(const BYTE* bytes) { return static_cast<WORD>(bytes[0] | bytes[1] << 8); }
DWORD dword(const BYTE* bytes) { return word(bytes) | static_cast<DWORD>(word(bytes + 2)) << 16; }

// The machine of the PE image open as `file`, into `check`.
void readMachine(HANDLE file, MediumFileCheck* check) {
    BYTE dosHeader[64] = {};
    Read read = readAt(file, 0, dosHeader, sizeof dosHeader);
    DWORD ntHeader = dword(dosHeader + 0x3C);
    BYTE signature[6] = {};
    if (read == Read::Whole && dosHeader[0] == 'M' && dosHeader[1] == 'Z' && ntHeader < kFarthestNtHeader)
        read = readAt(file, ntHeader, signature, sizeof signature);
    else if (read == Read::Whole)
        read = Read::Short;
    if (read == Read::Failed) {
        check->build = MediumBuild::Unreadable;
        check->error = os::sys().GetLastError();
    } else if (read == Read::Short || std::memcmp(signature, "PE\0\0", 4) != 0) {
        check->build = MediumBuild::NotAProgram;
    } else {
        check->machine = word(signature + 4);
    }
}

WORD machineOfFolder(const std::string& folder) {
    return folder == "X64" ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;
}

std::string machineName(WORD machine) {
    switch (machine) {
        case IMAGE_FILE_MACHINE_I386: return "x86";
        case IMAGE_FILE_MACHINE_AMD64: return "x64";
        case IMAGE_FILE_MACHINE_ARM64: return "ARM64";
        case IMAGE_FILE_MACHINE_IA64: return "Itanium";
        default: {
            char code[8];
            std::snprintf(code, sizeof code, "0x%04X", machine);
            return std::string("machine ") + code;
        }
    }
}

bool isNoneOrEmpty(const char* name) { return name == nullptr || config::isNone(name); }

// Adds the medium's program file `name`, once, unless Windows supplies it
// for the target system. A name that reaches out of its folder is opened
// nowhere: the install sequence refuses it before it copies anything.
void addProgram(std::vector<std::string>* files, const char* name, int targetOs) {
    if (isNoneOrEmpty(name) || !isProgramFile(name) || comesFromWindows(name, targetOs)) return;
    if (!isPlainFileName(name)) return;
    const std::string upper = config::upperAscii(name);
    for (const std::string& known : *files)
        if (known == upper) return;
    files->push_back(upper);
}

// A monitor's files, unless the monitor is Windows' own, which is never
// copied.
void addMonitor(std::vector<std::string>* files, const MONITOR_INFO_2A& monitor, const std::string& uiDll,
                int targetOs) {
    if (isNoneOrEmpty(monitor.pName) || isWindowsOwnComponent(monitor.pName)) return;
    addProgram(files, monitor.pDLLName, targetOs);
    addProgram(files, uiDll.c_str(), targetOs);
}

}  // namespace

MediumFileCheck checkMediumProgramFile(const std::string& name, os::Architecture architecture) {
    const std::string folder = mediumFolderOf(name, architecture);
    std::string source;
    if (!mediumSource(name, architecture, &source)) {
        MediumFileCheck check;
        check.path = folder + "\\" + name;
        check.expected = machineOfFolder(folder);
        check.build = MediumBuild::Unreadable;
        check.error = os::sys().GetLastError();
        return check;
    }
    return checkProgramImage(source, folder + "\\" + name, machineOfFolder(folder));
}

MediumFileCheck checkProgramImage(const std::string& source, const std::string& shownPath, WORD machine) {
    MediumFileCheck check;
    check.path = shownPath;
    check.expected = machine;
    os::Os& sys = os::sys();
    HANDLE file = sys.CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | kNoImpersonation, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = sys.GetLastError();
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        check.build = missing ? MediumBuild::Missing : MediumBuild::Unreadable;
        check.error = missing ? 0 : error;
        return check;
    }
    readMachine(file, &check);
    sys.CloseHandle(file);
    if (check.build == MediumBuild::Fits && check.machine != machine) check.build = MediumBuild::OtherMachine;
    return check;
}

std::string describeMismatch(const MediumFileCheck& check, app::Voice say) {
    switch (check.build) {
        case MediumBuild::Fits: return std::string();
        case MediumBuild::Missing: return say(app::kFileMissing, {check.path});
        case MediumBuild::OtherMachine:
            return say(app::kFileBuiltForOther, {check.path, machineName(check.machine), machineName(check.expected)});
        case MediumBuild::NotAProgram: return say(app::kFileNoProgram, {check.path});
        case MediumBuild::Unreadable: return say(app::kFileUnreadable, {check.path, std::to_string(check.error)});
    }
    return std::string();
}

std::vector<std::string> mediumProgramFiles(InstallJob& job) {
    const InstallSelection& s = job.selection;
    std::vector<std::string> files;
    const config::DriverFileList& f = job.files;
    for (const std::string* name : {&f.driver, &f.config, &f.data, &f.help, &f.dataDll, &f.uiPlugin, &f.pluginDll,
                                    &f.pluginSettings, &f.fontFile, &f.usbIdentityFile})
        addProgram(&files, name->c_str(), s.targetOs);
    const DRIVER_INFO_3A& driver = job.driver;
    for (const char* name : {driver.pDriverPath, driver.pDataFile, driver.pConfigFile, driver.pHelpFile})
        addProgram(&files, name, s.targetOs);
    for (const char* name = driver.pDependentFiles; name && *name; name += std::strlen(name) + 1)
        addProgram(&files, name, s.targetOs);
    const char* processor = job.printer.pPrintProcessor;
    if (isNoneOrEmpty(processor) || !isWindowsOwnComponent(processor))
        addProgram(&files, f.processor.c_str(), s.targetOs);
    if (s.portKind == config::kParallel) return files;
    config::PortMonitorSet monitors;
    job.config.buildPortMonitors(s.targetOs, &monitors);
    if (s.portKind == config::kSerial) addMonitor(&files, monitors.serial, monitors.serialUiDll, s.targetOs);
    if (s.portKind != config::kUsb) return files;
    addMonitor(&files, monitors.usb, monitors.usbUiDll, s.targetOs);
    addMonitor(&files, job.languageMonitor, std::string(), s.targetOs);
    return files;
}

std::string mediumArchitectureRefusal(const std::string& model, const std::vector<std::string>& files,
                                      os::Architecture architecture, app::Voice say) {
    std::string missing, missingFolder, faults;
    for (const std::string& name : files) {
        const MediumFileCheck check = checkMediumProgramFile(name, architecture);
        switch (check.build) {
            case MediumBuild::Fits:
                break;
            case MediumBuild::Missing:
                missing += (missing.empty() ? "" : ", ") + name;
                missingFolder = mediumFolderOf(name, architecture);
                break;
            case MediumBuild::OtherMachine:
            case MediumBuild::NotAProgram:
            case MediumBuild::Unreadable:
                faults += "; " + describeMismatch(check, say);
                break;
        }
    }
    if (missing.empty() && faults.empty()) return std::string();
    if (!missing.empty()) faults = say(app::kFolderLacks, {missingFolder, missing}) + faults;
    else faults.erase(0, 2);
    if (architecture == os::Architecture::X64) return say(app::kMediumLacks64BitBuilds, {model, faults});
    return say(app::kMediumLacksBuildsFor, {model, faults, os::architectureName(architecture)});
}

}  // namespace install
