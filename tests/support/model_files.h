// Test helpers that write model files and bitmaps into a scratch folder,
// byte by byte, so the readers meet exactly the bytes a test means.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/records.h"

using ModelBytes = std::vector<uint8_t>;

// A path in a folder of this test process's own, removed when it ends
// (the folder itself for an empty name).
std::string modelScratchPath(const std::string& name);
void writeModelBytes(const std::string& path, const ModelBytes& bytes);

// Makes a folder the working directory while it lives, so files can be
// named as the program names its content: relative to it.
struct ModelWorkingDirectory {
    explicit ModelWorkingDirectory(const std::string& folder);
    ~ModelWorkingDirectory();
    std::string previous;
};

void appendModelInt32(ModelBytes& bytes, int32_t value);

template <typename T>
ModelBytes recordBytes(const std::vector<T>& records)
{
    const uint8_t* first = reinterpret_cast<const uint8_t*>(records.data());
    return ModelBytes(first, first + records.size() * sizeof(T));
}

// A chunk: tag, payload size (the payload's length unless given), payload.
ModelBytes kmoChunk(const char* tag, const ModelBytes& payload);
ModelBytes kmoChunk(const char* tag, int32_t declaredSize, const ModelBytes& payload);
// "RIFF", the size of everything after it, the form type, the chunks.
ModelBytes kmoFile(const std::vector<ModelBytes>& chunks, const char* formType = "KMSH");

// A BMP file: the 54 header bytes, `gap` filler bytes, then the rows as
// given (in file order, padding included).
ModelBytes bmpFile(int32_t width, int32_t height, const ModelBytes& rows, uint32_t gap = 0, uint16_t bits = 24,
                   uint32_t compression = 0);
// `count` padded 24-bit rows of `width` pixels of one colour.
ModelBytes bmpRows(int32_t width, int32_t count, uint8_t blue, uint8_t green, uint8_t red);
