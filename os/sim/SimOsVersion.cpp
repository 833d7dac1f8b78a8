// Version resources of the simulation, read from the real PE files on its disks.
#include <cstring>

#include "os/sim/PeImage.h"
#include "os/sim/SimObjects.h"

namespace os::sim {
namespace {

// Windows marks the room after the resource where the A functions keep
// their ANSI copies of its strings with these bytes ("FE2X").
const uint8_t kRoomSignature[4] = {'F', 'E', '2', 'X'};
const size_t kHeader = 6;  // wLength, wValueLength, wType

size_t align4(size_t offset) { return (offset + 3) & ~static_cast<size_t>(3); }

uint16_t word(const uint8_t* block, size_t offset) {
    uint16_t value = 0;
    std::memcpy(&value, block + offset, sizeof value);
    return value;
}

// What a caller that names a file without a folder gets: the file in the
// places LoadLibrary looks first, else a name that is not there.
std::string versionFilePath(SimOs& os, const std::string& name) {
    if (name.find_first_of("\\/:") != std::string::npos) return os.programPath(name);
    const Machine& m = os.machine();
    for (const std::string& folder : {FileSystem::parentOf(m.modulePath), m.systemDirectory,
                                      m.windowsDirectory, m.currentDirectory}) {
        std::string candidate = FileSystem::fullPath(folder + "\\" + name, m.currentDirectory);
        if (os.files().isFile(os.programPath(candidate))) return os.programPath(candidate);
    }
    return os.programPath(name);
}

// Windows XP answers a missing file as a file without resources; later
// versions say what it is.
DWORD missingFileError(const Machine& m) {
    bool xp = m.isNt() && m.major == 5 && m.minor == 1;
    return xp ? ERROR_RESOURCE_DATA_NOT_FOUND : ERROR_FILE_NOT_FOUND;
}

DWORD loadVersionResource(SimOs& os, const std::string& full, std::vector<uint8_t>* resource) {
    if (!os.files().isFile(full)) return missingFileError(os.machine());
    std::shared_ptr<FileSystem::Opening> opening;
    if (DWORD error = os.files().open(full, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0,
                                      &opening))
        return error;
    PeImage image;
    bool isImage = image.parse(opening->node->data);
    os.files().close(opening);
    if (!isImage) return ERROR_RESOURCE_DATA_NOT_FOUND;
    if (!image.versionResource(resource))
        return image.hasResources() ? ERROR_RESOURCE_TYPE_NOT_FOUND : ERROR_RESOURCE_DATA_NOT_FOUND;
    // Nothing shorter than its own header and fixed part is a version resource.
    if (resource->size() < kHeader || word(resource->data(), 0) < kHeader)
        return ERROR_RESOURCE_TYPE_NOT_FOUND;
    return 0;
}

// The length the resource gives itself, never more than what is there.
size_t versionLength(const std::vector<uint8_t>& resource) {
    size_t length = word(resource.data(), 0);
    return length < resource.size() ? length : resource.size();
}

// One node of the VS_VERSIONINFO tree: header, UTF-16 key, value, children.
struct Node {
    size_t offset = 0;
    size_t end = 0;
    uint16_t valueLength = 0;
    bool text = false;
    std::u16string key;
    size_t value = 0;
    size_t children = 0;
};

bool readNode(const uint8_t* block, size_t offset, size_t limit, Node* node) {
    if (offset + kHeader > limit) return false;
    size_t length = word(block, offset);
    if (length < kHeader || offset + length > limit) return false;
    node->offset = offset;
    node->end = offset + length;
    node->valueLength = word(block, offset + 2);
    node->text = word(block, offset + 4) == 1;
    node->key.clear();
    size_t at = offset + kHeader;
    for (; at + 2 <= node->end; at += 2) {
        char16_t unit = word(block, at);
        if (unit == 0) break;
        node->key += unit;
    }
    node->value = align4(at + 2);
    size_t valueBytes = node->valueLength * (node->text ? 2u : 1u);
    node->children = align4(node->value + valueBytes);
    return true;
}

// ANSI bytes compare with UTF-16 code units as the simulation's code page
// maps them: ASCII and Latin-1 letters are themselves, without case for ASCII.
bool sameKey(const std::u16string& key, const char* name, size_t length) {
    if (key.size() != length) return false;
    for (size_t i = 0; i < length; ++i) {
        char16_t unit = static_cast<unsigned char>(name[i]);
        char16_t wanted = key[i];
        if (unit < 0x80 && wanted < 0x80)
            unit = static_cast<char16_t>(upperAscii(static_cast<char>(unit))),
            wanted = static_cast<char16_t>(upperAscii(static_cast<char>(wanted)));
        if (unit != wanted) return false;
    }
    return true;
}

bool findChild(const uint8_t* block, const Node& parent, const char* name, size_t length,
               Node* child) {
    size_t at = parent.children;
    while (at + kHeader <= parent.end) {
        if (!readNode(block, at, parent.end, child)) return false;
        if (sameKey(child->key, name, length)) return true;
        at = align4(child->end);
    }
    return false;
}

// Follows a path such as "\StringFileInfo\040904b0\FileVersion"; empty
// parts (leading, doubled or trailing backslashes) are skipped.
bool findNode(const uint8_t* block, const std::string& path, Node* node) {
    if (!readNode(block, 0, word(block, 0), node)) return false;
    size_t start = 0;
    while (start < path.size()) {
        size_t slash = path.find('\\', start);
        size_t end = slash == std::string::npos ? path.size() : slash;
        if (end > start) {
            Node child;
            if (!findChild(block, *node, path.c_str() + start, end - start, &child)) return false;
            *node = child;
        }
        start = end + 1;
    }
    return true;
}

// The code page of the simulation: ASCII and Latin-1 pass, the rest is '?',
// as WideCharToMultiByte writes its default character.
char ansiOf(char16_t unit) {
    return (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) ? static_cast<char>(unit) : '?';
}

bool hasConversionRoom(const uint8_t* block) {
    return std::memcmp(block + word(block, 0), kRoomSignature, sizeof kRoomSignature) == 0;
}

// Converts a text value into the room after the resource, at the same
// distance from the room's start as the value has from the resource's, so
// every value has its own place and the pointer stays inside the caller's
// block. Returns the number of bytes converted.
UINT convertIntoRoom(uint8_t* block, const Node& node, char** converted) {
    size_t rootLength = word(block, 0);
    size_t room = node.value < rootLength ? rootLength - node.value : 0;
    char* target = reinterpret_cast<char*>(block + rootLength + sizeof kRoomSignature + node.value);
    UINT count = 0;
    for (size_t i = 0; i < node.valueLength && node.value + 2 * i + 2 <= node.end && count < room;
         ++i)
        target[count++] = ansiOf(word(block, node.value + 2 * i));
    // A value stored without its terminator still reads as a C string.
    if ((count == 0 || target[count - 1] != '\0') && count < room) target[count] = '\0';
    *converted = target;
    return count;
}

// The bytes of a binary value, never past the end of its node.
UINT binaryLength(const Node& node) {
    if (node.value >= node.end) return 0;
    size_t available = node.end - node.value;
    return static_cast<UINT>(node.valueLength < available ? node.valueLength : available);
}

}  // namespace

DWORD SimOs::GetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle) {
    if (!lookUp(SystemFunction::GetFileVersionInfoSizeA)) return 0;
    SIM_LOCK();
    std::string full = versionFilePath(*this, path ? path : "");
    if (handle) *handle = 0;
    if (enter("GetFileVersionInfoSizeA", full)) return 0;
    std::vector<uint8_t> resource;
    if (DWORD error = loadVersionResource(*this, full, &resource)) {
        fail(error);
        return 0;
    }
    // Room for the resource, the signature, and an ANSI copy of its strings.
    return static_cast<DWORD>(2 * versionLength(resource) + sizeof kRoomSignature);
}

BOOL SimOs::GetFileVersionInfoA(LPCSTR path, DWORD, DWORD size, LPVOID data) {
    if (!lookUp(SystemFunction::GetFileVersionInfoA)) return FALSE;
    SIM_LOCK();
    std::string full = versionFilePath(*this, path ? path : "");
    if (enter("GetFileVersionInfoA", full)) return FALSE;
    if (data == nullptr) {
        fail(ERROR_INVALID_DATA);
        return FALSE;
    }
    // Too small for the resource's own header, the block could not even say
    // how long it is.
    if (size < kHeader) {
        fail(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::vector<uint8_t> resource;
    if (DWORD error = loadVersionResource(*this, full, &resource)) {
        fail(error);
        return FALSE;
    }
    auto* block = static_cast<uint8_t*>(data);
    size_t length = versionLength(resource);
    size_t copied = size < resource.size() ? size : resource.size();
    std::memcpy(block, resource.data(), copied);
    // A short buffer gets the part that fits, with a length that says so,
    // so that no later query reads past it, and no room for conversions.
    if (copied < length) {
        if (copied >= kHeader + sizeof kRoomSignature) {
            size_t fits = (copied - sizeof kRoomSignature) & ~static_cast<size_t>(3);
            uint16_t shortened = static_cast<uint16_t>(fits);
            std::memcpy(block, &shortened, sizeof shortened);
            std::memset(block + fits, 0, sizeof kRoomSignature);
        } else {
            std::memset(block, 0, 2);
        }
        return TRUE;
    }
    // A resource that claims more than its data holds says what it holds,
    // so that no later query reads past the block.
    if (word(block, 0) > length) {
        uint16_t held = static_cast<uint16_t>(length);
        std::memcpy(block, &held, sizeof held);
    }
    if (size >= 2 * length + sizeof kRoomSignature)
        std::memcpy(block + length, kRoomSignature, sizeof kRoomSignature);
    return TRUE;
}

BOOL SimOs::VerQueryValueA(LPCVOID data, LPCSTR subBlock, LPVOID* value, UINT* length) {
    if (!lookUp(SystemFunction::VerQueryValueA)) return FALSE;
    SIM_LOCK();
    std::string path = subBlock ? subBlock : "";
    if (enter("VerQueryValueA", path)) return FALSE;
    if (data == nullptr || value == nullptr) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The A functions write their conversions into the caller's block, as
    // Windows does.
    auto* block = static_cast<uint8_t*>(const_cast<void*>(data));
    Node node;
    if (!findNode(block, path, &node)) {
        if (length) *length = 0;
        fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return FALSE;
    }
    if (!node.text) {
        *value = block + node.value;
        if (length) *length = binaryLength(node);
        return TRUE;
    }
    if (!hasConversionRoom(block)) {
        fail(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    char* converted = nullptr;
    UINT count = convertIntoRoom(block, node, &converted);
    *value = converted;
    if (length) *length = count;
    return TRUE;
}

}  // namespace os::sim
