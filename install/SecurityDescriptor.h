/* Security descriptors in their self-relative form, the form Windows hands
 * out (GetKernelObjectSecurity, GetFileSecurityA) and takes in a
 * SECURITY_ATTRIBUTES: made and read byte by byte, so that the same code
 * answers on every Windows, natively against the simulation, and in the
 * package's custom action (deploy/SetupAction.c), which is C.
 *
 * The question asked of a descriptor is who besides the administrators may
 * change what it guards. Trusted are the Administrators group, the local
 * system account, Windows' own installer service (TrustedInstaller, the
 * owner of the Windows folder from Vista on), the account the program
 * itself runs as, and where the caller says so the Power Users of Windows
 * 2000 to 2003 (who may write the Windows and system folders there, and so
 * run code as the system already: a folder they may write is no weaker
 * than those). From Vista on that group holds no administrator's rights:
 * a member is any user. */
#ifndef INSTALL_SECURITY_DESCRIPTOR_H
#define INSTALL_SECURITY_DESCRIPTOR_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The rights that change a file or a folder, or what a folder holds: its
 * data, a new file or folder in it, its attributes, its deletion or that of
 * what it holds, its access list and its owner, and the generic rights that
 * include them. */
#define SD_WRITE_RIGHTS 0x500D0156ul
/* Every right: for an object of which any handle at all is too much. */
#define SD_ANY_RIGHT 0xFFFFFFFFul
/* The rights that take a folder away from its path, or let its holder take
 * it: its deletion (a rename is one), the deletion of what it holds, its
 * access list, its owner, and every right. Adding a file or a folder is not
 * among them: for a folder above a program's own, which others may add to
 * (a drive's root, Program Files) as long as the way down stays. */
#define SD_KEEP_RIGHTS 0x100D0040ul

/* Who counts as trusted besides the Administrators group, the local system
 * account and TrustedInstaller. */
struct SdTrusted {
    const unsigned char* own; /* the running account's SID, or NULL */
    int powerUsers;           /* the Power Users group (sdPowerUsersTrusted) */
};

/* Whether the Power Users count as trusted on Windows NT `major`.`minor`:
 * on Windows 2000 to 2003 (5.0 to 5.2) alone. */
int sdPowerUsersTrusted(unsigned long major, unsigned long minor);

/* 1 when the descriptor (`size` bytes) lets anyone but the trusted hold one
 * of `rights`, or names another owner (who may change the access list at
 * will); a descriptor without an access list lets everyone hold everything.
 * `own` is the running account's SID, or NULL. A descriptor that cannot be
 * read counts as open to others. */
int sdOpenToOthers(const unsigned char* descriptor, size_t size, unsigned long rights, const unsigned char* own);
/* The same, with `trusted` saying who else is trusted (NULL: nobody else). */
int sdOpenToOthersThan(const unsigned char* descriptor, size_t size, unsigned long rights,
                       const struct SdTrusted* trusted);

/* Writes into `out` (`room` bytes) a descriptor whose access list gives the
 * Administrators group and the local system account `rights` (each entry
 * with `aceFlags`, e.g. passed on to what a folder holds), nothing to
 * anyone else, and nothing inherited from a parent; owned by the
 * Administrators group when `ownedByAdministrators`, else by whoever
 * creates the object. Returns its size, or 0 when `room` is too small. */
size_t sdAdministratorsAndSystem(unsigned char* out, size_t room, unsigned long rights, unsigned char aceFlags,
                                 int ownedByAdministrators);

/* "S-1-5-32-544" for a SID's bytes (at most `room` characters with the
 * terminator; empty when the SID cannot be read). */
void sdSidText(const unsigned char* sid, size_t size, char* text, size_t room);

/* The owner's SID inside a descriptor, or NULL when it names none. */
const unsigned char* sdOwner(const unsigned char* descriptor, size_t size);

/* 1 when the descriptor's owner is one of the trusted (the Power Users
 * never among them), or it names none (which only Wine does). */
int sdOwnedByTrusted(const unsigned char* descriptor, size_t size, const unsigned char* own);

#ifdef __cplusplus
}
#endif

#endif
