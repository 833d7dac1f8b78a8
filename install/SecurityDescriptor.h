/* Security descriptors in their self-relative form, the form Windows hands
 * out (GetKernelObjectSecurity, GetFileSecurityA) and takes in a
 * SECURITY_ATTRIBUTES: made and read byte by byte, so that the same code
 * answers on every Windows, natively against the simulation, and in the
 * package's custom action (deploy/SetupAction.c), which is C.
 *
 * The question asked of a descriptor is who besides the administrators may
 * change what it guards. Trusted are the Administrators group, the local
 * system account, Windows' own installer service (TrustedInstaller, the
 * owner of the Windows folder from Vista on), the Power Users of Windows
 * 2000 to 2003 (who may write the Windows and system folders there, and so
 * run code as the system already: a folder they may write is no weaker
 * than those), and the account the program itself runs as. */
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

/* 1 when the descriptor (`size` bytes) lets anyone but the trusted hold one
 * of `rights`, or names another owner (who may change the access list at
 * will); a descriptor without an access list lets everyone hold everything.
 * `own` is the running account's SID, or NULL. A descriptor that cannot be
 * read counts as open to others. */
int sdOpenToOthers(const unsigned char* descriptor, size_t size, unsigned long rights, const unsigned char* own);

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

/* 1 when the descriptor's owner is one of the trusted, or it names none
 * (which only Wine does). */
int sdOwnedByTrusted(const unsigned char* descriptor, size_t size, const unsigned char* own);

#ifdef __cplusplus
}
#endif

#endif
