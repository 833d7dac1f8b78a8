#include "deploy/FolderChain.h"

#include <stdio.h>
#include <string.h>

/* How deep below the installation folder the medium's folders go
 * (USBDrv\X64 is two): deeper is no medium of ours. */
#define MOST_DEPTH 8

enum Opened { OPENED, MISSING, REFUSED };

static int refuse(struct HeldChain *chain, const char *why, const char *path) {
    int i;
    for (i = 0; i < chain->count; ++i) CloseHandle(chain->held[i]);
    chain->count = 0;
    chain->why = why;
    _snprintf(chain->path, sizeof chain->path - 1, "%s", path);
    chain->path[sizeof chain->path - 1] = '\0';
    return 0;
}

/* Whether someone else than the trusted may hold one of `rights` on what
 * `handle` opened, or owns it: 1, or -1 when its access list cannot be read. */
static int openToOthers(HANDLE handle, unsigned long rights, const struct SdTrusted *trusted) {
    static unsigned char descriptor[65536];
    DWORD needed = 0;
    if (!GetKernelObjectSecurity(handle, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, descriptor,
                                 sizeof descriptor, &needed) ||
        needed > sizeof descriptor)
        return -1;
    return sdOpenToOthersThan(descriptor, needed, rights, trusted);
}

static int isLink(HANDLE handle, int folder) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info)) return 1;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return 1;
    return folder != ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
}

/* Opens a folder as itself and holds it, or looks at a file and lets it go. */
static enum Opened openOne(struct HeldChain *chain, const char *path, int folder, unsigned long rights,
                           int mayBeMissing, const struct SdTrusted *trusted) {
    const DWORD access = (folder ? FILE_LIST_DIRECTORY : 0) | FILE_READ_ATTRIBUTES | READ_CONTROL;
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | (folder ? 0 : FILE_SHARE_DELETE);
    int open;
    HANDLE handle = CreateFileA(path, access, share, NULL, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (mayBeMissing && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)) return MISSING;
        refuse(chain, "could not be opened to be checked", path);
        return REFUSED;
    }
    if (folder && chain->count == CHAIN_MOST_HELD) {
        CloseHandle(handle);
        refuse(chain, "holds more folders than any medium", path);
        return REFUSED;
    }
    if (folder) chain->held[chain->count++] = handle;
    if (isLink(handle, folder)) {
        if (!folder) CloseHandle(handle);
        refuse(chain, "is a link to somewhere else, or no folder or file of its own", path);
        return REFUSED;
    }
    open = openToOthers(handle, rights, trusted);
    if (!folder) CloseHandle(handle);
    if (open < 0) {
        refuse(chain, "has an access list that could not be read", path);
        return REFUSED;
    }
    if (open) {
        refuse(chain,
               rights == SD_KEEP_RIGHTS ? "may be deleted or renamed by users who are not administrators (its "
                                          "access list, its owner or its folder's lets them)"
                                        : "may be changed by users who are not administrators (its access list "
                                          "or its owner lets them)",
               path);
        return REFUSED;
    }
    return OPENED;
}

/* Every folder and file below a held folder, to the rule of the installation folder. */
static int holdTree(struct HeldChain *chain, const char *folder, int depth, const struct SdTrusted *trusted) {
    char pattern[MAX_PATH * 2], path[MAX_PATH * 2];
    WIN32_FIND_DATAA found;
    HANDLE search;
    int kept = 1;
    if (depth > MOST_DEPTH) return refuse(chain, "lies deeper than any medium's folders", folder);
    _snprintf(pattern, sizeof pattern - 1, "%s\\*", folder);
    pattern[sizeof pattern - 1] = '\0';
    search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return refuse(chain, "could not be listed to be checked", folder);
    do {
        const int isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0) continue;
        if (strlen(folder) + 1 + strlen(found.cFileName) >= sizeof path) {
            kept = refuse(chain, "holds a name too long to be checked", folder);
            break;
        }
        sprintf(path, "%s\\%s", folder, found.cFileName);
        if (openOne(chain, path, isFolder, SD_WRITE_RIGHTS, 0, trusted) != OPENED ||
            (isFolder && !holdTree(chain, path, depth + 1, trusted))) {
            kept = 0;
            break;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return kept;
}

int chainHold(struct HeldChain *chain, const char *folder, int mayBeMissing, const struct SdTrusted *trusted) {
    char path[MAX_PATH * 2];
    size_t length = strlen(folder), at;
    chain->count = 0;
    chain->why = NULL;
    chain->path[0] = '\0';
    while (length > 3 && folder[length - 1] == '\\') --length;
    if (length < 4 || length >= sizeof path || folder[1] != ':' || folder[2] != '\\')
        return refuse(chain, "is not a folder below a drive's root on this computer", folder);
    memcpy(path, folder, length);
    path[length] = '\0';
    if (strstr(path, "\\\\") || strstr(path, "\\.\\") || strstr(path, "\\..\\") ||
        strcmp(path + length - 2, "\\.") == 0 || strcmp(path + length - 3, "\\..") == 0 || strchr(path + 2, '/'))
        return refuse(chain, "is no plain path (an empty name, \".\", \"..\" or \"/\")", folder);
    /* From the drive's root down: each folder above the installation folder
     * to the rule of the way down, the installation folder to the whole. */
    for (at = 3; at <= length; ++at) {
        char kept;
        enum Opened opened;
        if (at > 3 && at < length && path[at] != '\\') continue;
        kept = path[at];
        path[at] = '\0';
        opened = openOne(chain, path, 1, at == length ? SD_WRITE_RIGHTS : SD_KEEP_RIGHTS, mayBeMissing, trusted);
        path[at] = kept;
        if (opened == REFUSED) return 0;
        if (opened == MISSING) return 1;
    }
    return holdTree(chain, path, 0, trusted);
}

void chainRelease(struct HeldChain *chain) {
    int i;
    for (i = 0; i < chain->count; ++i) CloseHandle(chain->held[i]);
    chain->count = 0;
}
