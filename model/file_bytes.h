// Content files read whole into memory, so that the loaders parse bytes:
// every size a file declares is then checked against the bytes really
// there, and no buffer is larger than the file really is. Owners that give
// their storage and files back when they go, so no loader frees or closes
// by hand.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "platform/paths.h"

// Storage from std::malloc, freed when its owner goes. Storage sized by a
// file is allocated this way, so that a failed allocation is an answer
// rather than the end of the program.
struct FreeStorage {
    void operator()(void* storage) const { std::free(storage); }
};
template <typename T>
using OwnedStorage = std::unique_ptr<T, FreeStorage>;

// An open file, closed when its owner goes.
struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OwnedFile = std::unique_ptr<std::FILE, CloseFile>;

struct FileBytes {
    OwnedStorage<uint8_t> bytes;  // null when nothing was read
    size_t size = 0;
};

enum FileReading {
    FILE_READ,        // the bytes are there
    FILE_NOT_OPENED,  // missing, or not to be opened
    FILE_NOT_READ,    // not a plain file of known length (a folder, a device, a pipe), or the read failed
    FILE_NO_MEMORY,   // no storage for its bytes
};

// Reads the named file (a UTF-8 path) from its start, all of it or its
// first `limit` bytes, into *file; anything but FILE_READ leaves *file
// empty.
inline FileReading readFileBytes(const std::string& path, size_t limit, FileBytes* file)
{
    *file = FileBytes{};
    const OwnedFile open(fileOpen(path, "rb"));
    if (!open)
        return FILE_NOT_OPENED;
    // The length is known before anything is read, so a file that is not a
    // plain seekable file is refused at once rather than read without end.
    long length = -1;
    if (std::fseek(open.get(), 0, SEEK_END) == 0)
        length = std::ftell(open.get());
    if (length < 0 || std::fseek(open.get(), 0, SEEK_SET) != 0)
        return FILE_NOT_READ;
    // Nor is anything allocated for what cannot be read at all (a folder
    // opens and claims a length, but gives no byte).
    if (length > 0 && (std::fgetc(open.get()) == EOF || std::fseek(open.get(), 0, SEEK_SET) != 0))
        return FILE_NOT_READ;
    const size_t size = static_cast<size_t>(length) < limit ? static_cast<size_t>(length) : limit;
    if (size == 0)
        return FILE_READ;
    OwnedStorage<uint8_t> bytes(static_cast<uint8_t*>(std::malloc(size)));
    if (!bytes)
        return FILE_NO_MEMORY;
    if (std::fread(bytes.get(), 1, size, open.get()) != size)
        return FILE_NOT_READ;
    file->bytes = std::move(bytes);
    file->size = size;
    return FILE_READ;
}
