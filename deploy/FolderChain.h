/* The folders setup.exe runs from as the system account, and every folder
 * above them, as the package's custom actions check and hold them: no link
 * anywhere, every folder above the installation folder owned by someone
 * trusted and kept on its path (nobody else may delete or rename the next
 * folder down, though others may add to it, as to C:\ and Program Files),
 * and the installation folder, everything below it and every file there
 * changed by nobody else. Each folder is opened as itself (a link is not
 * followed) and held without delete sharing until chainRelease(): while it
 * is held, nobody can rename it and put a link in its place. */
#ifndef DEPLOY_FOLDER_CHAIN_H
#define DEPLOY_FOLDER_CHAIN_H

#include <windows.h>

#include "install/SecurityDescriptor.h"

#define CHAIN_MOST_HELD 256

struct HeldChain {
    HANDLE held[CHAIN_MOST_HELD];
    int count;
    /* Why the chain was refused, and the file or folder it is about. */
    const char *why;
    char path[MAX_PATH * 2];
};

/* Checks and holds `folder` (a full path on a drive, "C:\..."). With
 * `mayBeMissing`, a folder not yet made ends the walk there, kept (the
 * package makes it); else it is refused. Returns 1 when kept; 0 with
 * chain->why and chain->path set, nothing held. */
int chainHold(struct HeldChain *chain, const char *folder, int mayBeMissing, const struct SdTrusted *trusted);
void chainRelease(struct HeldChain *chain);

#endif
