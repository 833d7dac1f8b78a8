#include "install/SecurityDescriptor.h"

#include <stdio.h>
#include <string.h>

enum {
    SELF_RELATIVE = 0x8000,
    DACL_PRESENT = 0x0004,
    DACL_PROTECTED = 0x1000,
    INHERIT_ONLY = 0x08,
    ALLOWED = 0x00,
    ALLOWED_OBJECT = 0x05,
    ALLOWED_CALLBACK = 0x09,
    ALLOWED_CALLBACK_OBJECT = 0x0B,
    DENIED = 0x01,
    DENIED_OBJECT = 0x06,
    DENIED_CALLBACK = 0x0A,
    DENIED_CALLBACK_OBJECT = 0x0C
};

static const unsigned char kAdministrators[] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0};
static const unsigned char kSystem[] = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};
static const unsigned char kPowerUsers[] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x23, 2, 0, 0};
/* NT SERVICE\TrustedInstaller: S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464. */
static const unsigned char kTrustedInstaller[] = {1,    6,    0,    0,    0,    0,    0,    5,    80,
                                                  0,    0,    0,    0xB5, 0x89, 0xFB, 0x38, 0x19, 0x84,
                                                  0xC2, 0xCB, 0x5C, 0x6C, 0x23, 0x6D, 0x57, 0x00, 0x77,
                                                  0x6E, 0xC0, 0x02, 0x64, 0x87};
/* CREATOR OWNER and OWNER RIGHTS stand for the owner, who is judged as the owner. */
static const unsigned char kCreatorOwner[] = {1, 1, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0};
static const unsigned char kOwnerRights[] = {1, 1, 0, 0, 0, 0, 0, 3, 4, 0, 0, 0};

static unsigned readWord(const unsigned char* at) { return (unsigned)at[0] | ((unsigned)at[1] << 8); }

static unsigned long readDword(const unsigned char* at) {
    return (unsigned long)at[0] | ((unsigned long)at[1] << 8) | ((unsigned long)at[2] << 16) |
           ((unsigned long)at[3] << 24);
}

static void putWord(unsigned char* at, unsigned value) {
    at[0] = (unsigned char)value;
    at[1] = (unsigned char)(value >> 8);
}

static void putDword(unsigned char* at, unsigned long value) {
    putWord(at, (unsigned)(value & 0xFFFF));
    putWord(at + 2, (unsigned)(value >> 16));
}

/* The size of a SID that lies whole within `room` bytes, else 0. */
static size_t sidSize(const unsigned char* sid, size_t room) {
    size_t size;
    if (room < 8 || sid[0] != 1 || sid[1] > 15) return 0;
    size = 8 + 4 * (size_t)sid[1];
    return size <= room ? size : 0;
}

static int sameSid(const unsigned char* sid, size_t size, const unsigned char* other, size_t otherSize) {
    return size == otherSize && memcmp(sid, other, size) == 0;
}

static int isTrusted(const unsigned char* sid, size_t size, const struct SdTrusted* trusted) {
    if (sameSid(sid, size, kAdministrators, sizeof kAdministrators) || sameSid(sid, size, kSystem, sizeof kSystem) ||
        sameSid(sid, size, kTrustedInstaller, sizeof kTrustedInstaller))
        return 1;
    if (trusted == NULL) return 0;
    if (trusted->powerUsers && sameSid(sid, size, kPowerUsers, sizeof kPowerUsers)) return 1;
    return trusted->own != NULL && sameSid(sid, size, trusted->own, sidSize(trusted->own, 8 + 4 * 15));
}

int sdPowerUsersTrusted(unsigned long major, unsigned long minor) {
    (void)minor;
    return major == 5;
}

static int standsForTheOwner(const unsigned char* sid, size_t size) {
    return sameSid(sid, size, kCreatorOwner, sizeof kCreatorOwner) ||
           sameSid(sid, size, kOwnerRights, sizeof kOwnerRights);
}

/* Where an allowing entry's SID lies, or NULL for an entry that allows
 * nothing; `*unreadable` for an entry this code cannot read. */
static const unsigned char* allowedSid(const unsigned char* ace, size_t aceSize, int* unreadable) {
    size_t at = 8;
    switch (ace[0]) {
        case ALLOWED:
        case ALLOWED_CALLBACK:
            break;
        case ALLOWED_OBJECT:
        case ALLOWED_CALLBACK_OBJECT: {
            unsigned long present;
            if (aceSize < 12) break;
            present = readDword(ace + 8);
            at = 12 + (present & 1 ? 16 : 0) + (present & 2 ? 16 : 0);
            break;
        }
        case DENIED:
        case DENIED_OBJECT:
        case DENIED_CALLBACK:
        case DENIED_CALLBACK_OBJECT:
            return NULL;
        default:
            *unreadable = 1;
            return NULL;
    }
    if (at >= aceSize || sidSize(ace + at, aceSize - at) == 0) {
        *unreadable = 1;
        return NULL;
    }
    return ace + at;
}

const unsigned char* sdOwner(const unsigned char* descriptor, size_t size) {
    unsigned long offset;
    if (size < 20 || descriptor[0] != 1 || !(readWord(descriptor + 2) & SELF_RELATIVE)) return NULL;
    offset = readDword(descriptor + 4);
    if (offset == 0 || offset >= size || sidSize(descriptor + offset, size - offset) == 0) return NULL;
    return descriptor + offset;
}

int sdOwnedByTrusted(const unsigned char* descriptor, size_t size, const unsigned char* own) {
    const unsigned char* owner = sdOwner(descriptor, size);
    struct SdTrusted trusted;
    trusted.own = own;
    trusted.powerUsers = 0;
    return owner == NULL || isTrusted(owner, sidSize(owner, size - (size_t)(owner - descriptor)), &trusted);
}

int sdOpenToOthers(const unsigned char* descriptor, size_t size, unsigned long rights, const unsigned char* own) {
    struct SdTrusted trusted;
    trusted.own = own;
    trusted.powerUsers = 0;
    return sdOpenToOthersThan(descriptor, size, rights, &trusted);
}

int sdOpenToOthersThan(const unsigned char* descriptor, size_t size, unsigned long rights,
                       const struct SdTrusted* trusted) {
    unsigned control;
    unsigned long offset;
    const unsigned char *owner, *acl, *ace;
    size_t aclSize, i, count;
    if (size < 20 || descriptor[0] != 1) return 1;
    control = readWord(descriptor + 2);
    if (!(control & SELF_RELATIVE)) return 1;
    /* An object always has an owner on Windows; Wine leaves some without. */
    owner = sdOwner(descriptor, size);
    if (owner != NULL && !isTrusted(owner, sidSize(owner, size - (size_t)(owner - descriptor)), trusted)) return 1;
    offset = readDword(descriptor + 16);
    if (!(control & DACL_PRESENT) || offset == 0) return 1;
    /* Sizes are compared with what is left after the offset: a sum could
     * wrap round where unsigned long has 32 bits. */
    if (offset > size || size - offset < 8) return 1;
    acl = descriptor + offset;
    aclSize = readWord(acl + 2);
    count = readWord(acl + 4);
    if (aclSize < 8 || aclSize > size - offset) return 1;
    ace = acl + 8;
    for (i = 0; i < count; ++i) {
        size_t left = aclSize - (size_t)(ace - acl), aceSize;
        const unsigned char* sid;
        int unreadable = 0;
        if (left < 8) return 1;
        aceSize = readWord(ace + 2);
        if (aceSize < 8 || aceSize > left) return 1;
        sid = allowedSid(ace, aceSize, &unreadable);
        if (unreadable) return 1;
        if (sid != NULL && !(ace[1] & INHERIT_ONLY) && (readDword(ace + 4) & rights) != 0) {
            size_t length = sidSize(sid, aceSize - (size_t)(sid - ace));
            if (!standsForTheOwner(sid, length) && !isTrusted(sid, length, trusted)) return 1;
        }
        ace += aceSize;
    }
    return 0;
}

static size_t putAce(unsigned char* at, const unsigned char* sid, size_t sidLength, unsigned long rights,
                     unsigned char flags) {
    at[0] = ALLOWED;
    at[1] = flags;
    putWord(at + 2, (unsigned)(8 + sidLength));
    putDword(at + 4, rights);
    memcpy(at + 8, sid, sidLength);
    return 8 + sidLength;
}

size_t sdAdministratorsAndSystem(unsigned char* out, size_t room, unsigned long rights, unsigned char aceFlags,
                                 int ownedByAdministrators) {
    const size_t header = 20, owner = ownedByAdministrators ? sizeof kAdministrators : 0;
    const size_t aclSize = 8 + (8 + sizeof kAdministrators) + (8 + sizeof kSystem);
    const size_t size = header + owner + aclSize;
    size_t at;
    if (room < size) return 0;
    memset(out, 0, size);
    out[0] = 1;
    putWord(out + 2, SELF_RELATIVE | DACL_PRESENT | DACL_PROTECTED);
    if (ownedByAdministrators) {
        putDword(out + 4, (unsigned long)header);
        memcpy(out + header, kAdministrators, sizeof kAdministrators);
    }
    putDword(out + 16, (unsigned long)(header + owner));
    at = header + owner;
    out[at] = 2; /* ACL_REVISION */
    putWord(out + at + 2, (unsigned)aclSize);
    putWord(out + at + 4, 2);
    at += 8;
    at += putAce(out + at, kAdministrators, sizeof kAdministrators, rights, aceFlags);
    putAce(out + at, kSystem, sizeof kSystem, rights, aceFlags);
    return size;
}

void sdSidText(const unsigned char* sid, size_t size, char* text, size_t room) {
    size_t length = sidSize(sid, size), used, i;
    unsigned long long authority = 0;
    if (room == 0) return;
    text[0] = '\0';
    if (length == 0) return;
    for (i = 2; i < 8; ++i) authority = (authority << 8) | sid[i];
    used = (size_t)snprintf(text, room, "S-1-%llu", authority);
    for (i = 0; i < sid[1] && used < room; ++i)
        used += (size_t)snprintf(text + used, room - used, "-%lu", readDword(sid + 8 + 4 * i));
}
