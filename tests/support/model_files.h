// Test helpers that write model files and bitmaps byte by byte into a
// scratch folder, so the readers meet exactly the bytes a test means.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/records.h"

using ModelBytes = std::vector<uint8_t>;

// A path in a folder of this test process's own, removed when it ends (the
// folder itself for an empty name). Tests that name files relatively, as the
// program does, make it the working directory.
std::string modelScratchPath(const std::string& name);
// Writes the bytes to the file and returns its path.
std::string writeModelBytes(const std::string& path, const ModelBytes& bytes);

template <typename T>
ModelBytes recordBytes(const std::vector<T>& records)
{
    const uint8_t* first = reinterpret_cast<const uint8_t*>(records.data());
    return ModelBytes(first, first + records.size() * sizeof(T));
}

// A chunk: tag, payload size (the payload's length unless given), payload.
ModelBytes kmoChunk(const char* tag, const ModelBytes& payload, std::optional<int32_t> declaredSize = {});
// "RIFF", the size of everything after it, the form type, the chunks.
ModelBytes kmoFile(const std::vector<ModelBytes>& chunks, const char* formType = "KMSH");
// A BMP file: the 54 header bytes, `gap` filler bytes, then the rows as
// given (in file order, padding included).
ModelBytes bmpFile(int32_t width, int32_t height, const ModelBytes& rows, uint32_t gap = 0, uint16_t bits = 24,
                   uint32_t compression = 0);
// Padded 24-bit rows of `width` pixels, one row of each colour (0xRRGGBB)
// in file order.
ModelBytes bmpRows(int32_t width, const std::vector<uint32_t>& colours);
