// Cabinets decoded natively with libmspack, reading from and writing to
// memory through a file system of two in-memory files.
#ifndef _WIN32

#include <mspack.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "os/sim/Cabinet.h"

namespace os::sim {
namespace {

const char kInput[] = "cabinet";
const char kOutput[] = "output";

struct MemoryFile {
    const std::vector<uint8_t>* input = nullptr;  // reading the cabinet
    std::vector<uint8_t>* output = nullptr;       // writing one extracted file
    size_t position = 0;
};

// libmspack calls back with the mspack_system it was given; the memory
// system is that struct followed by what the callbacks need.
struct MemorySystem {
    mspack_system base;
    const std::vector<uint8_t>* input;
    std::vector<uint8_t>* output;
};

MemorySystem* memoryOf(mspack_system* self) { return reinterpret_cast<MemorySystem*>(self); }
MemoryFile* fileOf(mspack_file* file) { return reinterpret_cast<MemoryFile*>(file); }

mspack_file* openFile(mspack_system* self, const char* name, int mode) {
    MemorySystem* memory = memoryOf(self);
    auto* file = new MemoryFile;
    if (mode == MSPACK_SYS_OPEN_READ && std::strcmp(name, kInput) == 0) {
        file->input = memory->input;
    } else if (mode == MSPACK_SYS_OPEN_WRITE && std::strcmp(name, kOutput) == 0 &&
               memory->output != nullptr) {
        file->output = memory->output;
        file->output->clear();
    } else {
        delete file;
        return nullptr;
    }
    return reinterpret_cast<mspack_file*>(file);
}

void closeFile(mspack_file* file) { delete fileOf(file); }

int readFile(mspack_file* handle, void* buffer, int bytes) {
    MemoryFile* file = fileOf(handle);
    if (file->input == nullptr || bytes < 0) return -1;
    size_t available = file->input->size() - file->position;
    size_t count = static_cast<size_t>(bytes) < available ? static_cast<size_t>(bytes) : available;
    if (count > 0) std::memcpy(buffer, file->input->data() + file->position, count);
    file->position += count;
    return static_cast<int>(count);
}

int writeFile(mspack_file* handle, void* buffer, int bytes) {
    MemoryFile* file = fileOf(handle);
    if (file->output == nullptr || bytes < 0) return -1;
    auto* data = static_cast<const uint8_t*>(buffer);
    file->output->insert(file->output->end(), data, data + bytes);
    return bytes;
}

int seekFile(mspack_file* handle, off_t offset, int mode) {
    MemoryFile* file = fileOf(handle);
    size_t size = file->input ? file->input->size() : file->output->size();
    off_t base = mode == MSPACK_SYS_SEEK_START ? 0
                 : mode == MSPACK_SYS_SEEK_CUR ? static_cast<off_t>(file->position)
                                               : static_cast<off_t>(size);
    off_t target = base + offset;
    if (target < 0 || target > static_cast<off_t>(size)) return -1;
    file->position = static_cast<size_t>(target);
    return 0;
}

off_t tellFile(mspack_file* handle) { return static_cast<off_t>(fileOf(handle)->position); }

void message(mspack_file*, const char*, ...) {}
void* allocate(mspack_system*, size_t bytes) { return std::malloc(bytes); }
void release(void* memory) { std::free(memory); }
void copyBytes(void* from, void* to, size_t bytes) { std::memmove(to, from, bytes); }

WORD dosDate(const mscabd_file& f) {
    return static_cast<WORD>(((f.date_y - 1980) << 9) | (f.date_m << 5) | f.date_d);
}

WORD dosTime(const mscabd_file& f) {
    return static_cast<WORD>((f.time_h << 11) | (f.time_m << 5) | (f.time_s / 2));
}

}  // namespace

DWORD readCabinet(const std::vector<uint8_t>& bytes, Cabinet* cabinet) {
    MemorySystem memory{{openFile, closeFile, readFile, writeFile, seekFile, tellFile, message,
                         allocate, release, copyBytes, nullptr},
                        &bytes,
                        nullptr};
    mscab_decompressor* decoder = mspack_create_cab_decompressor(&memory.base);
    if (decoder == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
    mscabd_cabinet* opened = decoder->open(decoder, kInput);
    if (opened == nullptr) {
        mspack_destroy_cab_decompressor(decoder);
        return ERROR_INVALID_DATA;
    }
    *cabinet = Cabinet();
    cabinet->setId = opened->set_id;
    cabinet->number = opened->set_index;
    for (mscabd_file* f = opened->files; f != nullptr; f = f->next) {
        CabinetEntry entry;
        entry.name = f->filename;
        entry.size = f->length;
        entry.dosDate = dosDate(*f);
        entry.dosTime = dosTime(*f);
        entry.attributes = static_cast<WORD>(f->attribs);
        memory.output = &entry.data;
        if (decoder->extract(decoder, f, kOutput) != MSPACK_ERR_OK ||
            entry.data.size() != entry.size)
            entry.error = ERROR_INVALID_DATA;
        memory.output = nullptr;
        cabinet->files.push_back(std::move(entry));
    }
    decoder->close(decoder, opened);
    mspack_destroy_cab_decompressor(decoder);
    return 0;
}

}  // namespace os::sim

#endif  // !_WIN32
