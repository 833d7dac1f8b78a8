/* The Windows Installer package's custom actions: they run setup.exe from the
 * folder the package installed the medium into, unattended, with the
 * package's public properties as its options.
 *
 *   PrepareSetup  (immediate) reads the properties, takes those not given
 *                 from what the installed package remembered, gives them
 *                 back to the package (which remembers them in its registry
 *                 values) and sets the command lines of the deferred actions.
 *   RunSetup      (deferred, as the system account; also for rollback) runs
 *                 the command line its CustomActionData holds and waits for
 *                 it: 0 and 1605 (nothing to remove) succeed, 3010 succeeds
 *                 and asks the installer for a restart at the end, anything
 *                 else fails the installation with 1603. A setup.exe that
 *                 others than the administrators may change, or whose folder
 *                 or one above it they may change (deploy/FolderChain.h), is
 *                 never started: that fails with 1603 and the reason in the
 *                 installer's log.
 *   CheckFolders  (immediate, before the installation folder is made) the
 *                 same check of the folders that are there already. */
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <stdio.h>
#include <string.h>

#include "deploy/FolderChain.h"
#include "install/SecurityDescriptor.h"

/* Where the package remembers its properties (its Registry table writes
 * them; removing the package removes them). */
#define REMEMBERED_KEY "SOFTWARE\\HALVERN\\Printer Driver Package"

/* A command line is at most 32767 characters for CreateProcess. */
#define LINE_ROOM 32768
#define VALUE_ROOM 1024

struct Option {
    const char *property; /* the package's public property */
    const char *option;   /* setup.exe's option; NULL: built apart */
};

/* The options that take the property's text as their value. */
static const struct Option kValueOptions[] = {
    {"MODEL", "/model"},       {"PORT", "/port"},         {"CATEGORY", "/category"}, {"MODE", "/mode"},
    {"BAUD", "/baud"},         {"DATABITS", "/databits"}, {"PARITY", "/parity"},     {"STOPBITS", "/stopbits"},
    {"FLOW", "/flow"},         {"USBID", "/usbid"},       {"USBTIMEOUT", "/usbtimeout"},
};
/* The switches, given when the property is 1. */
static const struct Option kSwitches[] = {
    {"ACCEPTEULA", "/accepteula"}, {"DEFAULT", "/default"}, {"RESTART", "/restart"},
};
/* Every property the package remembers. */
static const char *const kRemembered[] = {"MODEL",  "PORT",       "CATEGORY", "MODE",    "BAUD",
                                          "DATABITS", "PARITY",   "STOPBITS", "FLOW",    "USBID",
                                          "USBTIMEOUT", "ACCEPTEULA", "DEFAULT", "RESTART", "RASTER", "LOG"};

struct Line {
    char text[LINE_ROOM];
    size_t length;
    int overflow;
};

static void append(struct Line *line, const char *text) {
    size_t n = strlen(text);
    if (line->overflow || line->length + n >= sizeof line->text) {
        line->overflow = 1;
        return;
    }
    memcpy(line->text + line->length, text, n + 1);
    line->length += n;
}

/* A value in double quotes, a quote inside it written twice, as setup.exe
 * reads its arguments. */
static void appendQuoted(struct Line *line, const char *value) {
    const char *c;
    append(line, " \"");
    for (c = value; *c; ++c) {
        char one[2] = {*c, '\0'};
        append(line, *c == '"' ? "\"\"" : one);
    }
    append(line, "\"");
}

/* A property's value; empty when it is not set or does not fit. */
static void property(MSIHANDLE install, const char *name, char *value) {
    DWORD size = VALUE_ROOM;
    if (MsiGetPropertyA(install, name, value, &size) != ERROR_SUCCESS) value[0] = '\0';
}

/* What the installed package remembered for a property; empty when nothing. */
static void remembered(const char *name, char *value) {
    HKEY key = NULL;
    DWORD type = 0, size = VALUE_ROOM - 1;
    value[0] = '\0';
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, REMEMBERED_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE *)value, &size) != ERROR_SUCCESS || type != REG_SZ)
        size = 0;
    value[size < VALUE_ROOM ? size : VALUE_ROOM - 1] = '\0';
    RegCloseKey(key);
}

static void say(MSIHANDLE install, INSTALLMESSAGE kind, const char *text) {
    MSIHANDLE record = MsiCreateRecord(1);
    if (!record) return;
    MsiRecordSetStringA(record, 0, text);
    MsiProcessMessage(install, kind, record);
    MsiCloseHandle(record);
}

/* setup.exe in the package's folder, quoted, and the options every run has. */
static void begin(struct Line *line, const char *folder, const char *log, const char *first) {
    line->length = 0;
    line->overflow = 0;
    line->text[0] = '\0';
    append(line, "\"");
    append(line, folder);
    if (line->length > 1 && line->text[line->length - 1] != '\\') append(line, "\\");
    append(line, "setup.exe\"");
    append(line, first);
    append(line, " /quiet /log");
    appendQuoted(line, log);
}

/* The Users group's name in the system's own language, for the folder's
 * access list (the LockPermissions table names accounts, not SIDs). */
static void nameTheUsersGroup(MSIHANDLE install) {
    static unsigned char users[] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x21, 2, 0, 0}; /* S-1-5-32-545 */
    char name[256], domain[256];
    DWORD nameSize = sizeof name, domainSize = sizeof domain;
    SID_NAME_USE use;
    if (LookupAccountSidA(NULL, (PSID)users, name, &nameSize, domain, &domainSize, &use))
        MsiSetPropertyA(install, "UsersGroup", name);
}

UINT __stdcall PrepareSetup(MSIHANDLE install) {
    static char values[sizeof kRemembered / sizeof kRemembered[0]][VALUE_ROOM];
    static struct Line installLine, removeLine;
    char folder[VALUE_ROOM], log[VALUE_ROOM], windows[VALUE_ROOM];
    size_t i, n = sizeof kRemembered / sizeof kRemembered[0];

    nameTheUsersGroup(install);
    /* A property given now wins; one not given keeps what was remembered,
     * and the package remembers it again. */
    for (i = 0; i < n; ++i) {
        property(install, kRemembered[i], values[i]);
        if (!values[i][0]) {
            remembered(kRemembered[i], values[i]);
            if (values[i][0]) MsiSetPropertyA(install, kRemembered[i], values[i]);
        }
    }
    property(install, "INSTALLDIR", folder);
    property(install, "WindowsFolder", windows);
    /* The deferred actions run as the system account: by default the log
     * goes where only administrators write, as setup.exe's own default. */
    log[0] = '\0';
    for (i = 0; i < n; ++i)
        if (strcmp(kRemembered[i], "LOG") == 0) strcpy(log, values[i]);
    if (!log[0]) {
        _snprintf(log, sizeof log - 1, "%sPrinterDriverSetup.log", windows);
        log[sizeof log - 1] = '\0';
    }

    begin(&installLine, folder, log, "");
    begin(&removeLine, folder, log, " /uninstall");
    for (i = 0; i < n; ++i) {
        const char *name = kRemembered[i], *value = values[i];
        size_t k;
        if (!value[0]) continue;
        for (k = 0; k < sizeof kValueOptions / sizeof kValueOptions[0]; ++k) {
            if (strcmp(kValueOptions[k].property, name) != 0) continue;
            append(&installLine, " ");
            append(&installLine, kValueOptions[k].option);
            appendQuoted(&installLine, value);
        }
        for (k = 0; k < sizeof kSwitches / sizeof kSwitches[0]; ++k) {
            if (strcmp(kSwitches[k].property, name) == 0 && strcmp(value, "1") == 0) {
                append(&installLine, " ");
                append(&installLine, kSwitches[k].option);
            }
        }
        if (strcmp(name, "RASTER") == 0 && (strcmp(value, "0") == 0 || strcmp(value, "1") == 0))
            append(&installLine, strcmp(value, "1") == 0 ? " /raster" : " /noraster");
        /* The removal takes the model's printers on the port it was given;
         * a port setup.exe chose ("auto") is not known here: every port. */
        if (strcmp(name, "MODEL") == 0 || strcmp(name, "CATEGORY") == 0 ||
            (strcmp(name, "PORT") == 0 && _stricmp(value, "auto") != 0)) {
            append(&removeLine, strcmp(name, "MODEL") == 0 ? " /model" : strcmp(name, "PORT") == 0 ? " /port" : " /category");
            appendQuoted(&removeLine, value);
        }
    }
    if (installLine.overflow || removeLine.overflow) {
        say(install, INSTALLMESSAGE_ERROR, "The printer driver package's options are too long for a command line.");
        return ERROR_INSTALL_FAILURE;
    }
    MsiSetPropertyA(install, "RunSetupInstall", installLine.text);
    MsiSetPropertyA(install, "RollbackSetupInstall", removeLine.text);
    MsiSetPropertyA(install, "RunSetupRemove", removeLine.text);
    return ERROR_SUCCESS;
}

/* The account this action runs as (the system account, as Windows
 * Installer runs it), into `sid`; 0 when it cannot be read. */
static int runningAccount(unsigned char *sid, DWORD room) {
    HANDLE token = NULL;
    static unsigned char user[512];
    DWORD size = 0, length;
    int read = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return 0;
    if (GetTokenInformation(token, TokenUser, user, sizeof user, &size)) {
        PSID own = ((TOKEN_USER *)user)->User.Sid;
        length = GetLengthSid(own);
        if (length <= room) {
            memcpy(sid, own, length);
            read = 1;
        }
    }
    CloseHandle(token);
    return read;
}

/* Who the checks trust besides the administrators and the system: the
 * account that installs the package (Windows Installer's UserSID; in an
 * immediate action, the account it runs as), who has it run with the
 * system's rights and could do what it does anyway, and the Power Users
 * where they may change the system's own folders (Windows 2000 to 2003). */
static void whomToTrust(MSIHANDLE install, struct SdTrusted *trusted, unsigned char *sid, DWORD room) {
    char text[256];
    DWORD size = sizeof text;
    PSID given = NULL;
    OSVERSIONINFOA version;
    /* Windows 2000 on read a SID's text; Windows Installer 2.0 runs on NT 4.0 too. */
    typedef BOOL(WINAPI * ReadSid)(LPCSTR, PSID *);
    ReadSid readSid = (ReadSid)(void (*)(void))GetProcAddress(GetModuleHandleA("advapi32.dll"), "ConvertStringSidToSidA");
    trusted->own = NULL;
    if (readSid != NULL && MsiGetPropertyA(install, "UserSID", text, &size) == ERROR_SUCCESS && text[0] &&
        readSid(text, &given)) {
        if (GetLengthSid(given) <= room) {
            memcpy(sid, given, GetLengthSid(given));
            trusted->own = sid;
        }
        LocalFree(given);
    }
    if (trusted->own == NULL && runningAccount(sid, room)) trusted->own = sid;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    trusted->powerUsers = GetVersionExA(&version) && sdPowerUsersTrusted(version.dwMajorVersion, version.dwMinorVersion);
}

/* Checks (and holds, in `chain`) the installation folder and every folder
 * above it; on a refusal says why in the installer's log. */
static int chainKept(MSIHANDLE install, struct HeldChain *chain, const char *folder, int mayBeMissing,
                     const char *refused) {
    static unsigned char own[256];
    static char text[MAX_PATH * 4 + 512];
    struct SdTrusted trusted;
    whomToTrust(install, &trusted, own, sizeof own);
    if (chainHold(chain, folder, mayBeMissing, &trusted)) return 1;
    _snprintf(text, sizeof text - 1,
              "%s: %s %s. setup.exe runs from there as the local system account: install the package into a folder "
              "on a path that only administrators may change.",
              refused, chain->path, chain->why);
    text[sizeof text - 1] = '\0';
    say(install, INSTALLMESSAGE_ERROR, text);
    return 0;
}

/* Before Windows Installer makes the installation folder or copies a file:
 * a path that others may change is refused before anything is written. */
UINT __stdcall CheckFolders(MSIHANDLE install) {
    static struct HeldChain chain;
    char folder[VALUE_ROOM], refused[VALUE_ROOM + 64];
    property(install, "INSTALLDIR", folder);
    _snprintf(refused, sizeof refused - 1, "The printer driver package installs nothing into %s", folder);
    refused[sizeof refused - 1] = '\0';
    if (!chainKept(install, &chain, folder, 1, refused)) return ERROR_INSTALL_FAILURE;
    chainRelease(&chain);
    return ERROR_SUCCESS;
}

UINT __stdcall RunSetup(MSIHANDLE install) {
    static char line[LINE_ROOM], program[LINE_ROOM], folder[LINE_ROOM], text[LINE_ROOM + 256];
    static struct HeldChain chain;
    DWORD size = sizeof line, code = 0;
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    const char *end;

    if (MsiGetPropertyA(install, "CustomActionData", line, &size) != ERROR_SUCCESS || line[0] != '"' ||
        (end = strchr(line + 1, '"')) == NULL) {
        say(install, INSTALLMESSAGE_ERROR, "The printer driver package was given no setup.exe to run.");
        return ERROR_INSTALL_FAILURE;
    }
    /* The program by its full path, never searched for; the medium's folder
     * is its current directory. */
    memcpy(program, line + 1, (size_t)(end - line - 1));
    program[end - line - 1] = '\0';
    strcpy(folder, program);
    if (strrchr(folder, '\\')) *strrchr(folder, '\\') = '\0';
    if (strlen(folder) == 2 && folder[1] == ':') strcat(folder, "\\"); /* "C:" alone names the drive's current folder */
    /* setup.exe runs as the system account: nobody else may have put it
     * there, or anything beside it, or may move its folder or one above it
     * while it runs. The folders stay held until it has ended. */
    _snprintf(text, sizeof text - 1, "The printer driver setup %s was not started", program);
    text[sizeof text - 1] = '\0';
    if (!chainKept(install, &chain, folder, 0, text)) return ERROR_INSTALL_FAILURE;
    _snprintf(text, sizeof text - 1, "running %s", line);
    text[sizeof text - 1] = '\0';
    say(install, INSTALLMESSAGE_INFO, text);

    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    if (!CreateProcessA(program, line, NULL, NULL, FALSE, 0, NULL, folder, &startup, &process)) {
        chainRelease(&chain);
        _snprintf(text, sizeof text - 1, "The printer driver setup %s could not be started (system error %lu).", program,
                  GetLastError());
        text[sizeof text - 1] = '\0';
        say(install, INSTALLMESSAGE_ERROR, text);
        return ERROR_INSTALL_FAILURE;
    }
    /* setup.exe ends by itself: its waits have limits of their own. */
    WaitForSingleObject(process.hProcess, INFINITE);
    chainRelease(&chain);
    if (!GetExitCodeProcess(process.hProcess, &code)) code = ERROR_INSTALL_FAILURE;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    _snprintf(text, sizeof text - 1, "setup.exe ended with %lu; its log says why (the /log of the line above)", code);
    text[sizeof text - 1] = '\0';
    say(install, INSTALLMESSAGE_INFO, text);
    if (code == 0 || code == ERROR_UNKNOWN_PRODUCT) return ERROR_SUCCESS;
    if (code == ERROR_SUCCESS_REBOOT_REQUIRED) {
        MsiSetMode(install, MSIRUNMODE_REBOOTATEND, TRUE);
        return ERROR_SUCCESS;
    }
    _snprintf(text, sizeof text - 1, "The printer driver setup ended with %lu. Its log, named by /log in %s, says why.",
              code, line);
    text[sizeof text - 1] = '\0';
    say(install, INSTALLMESSAGE_ERROR, text);
    return ERROR_INSTALL_FAILURE;
}
