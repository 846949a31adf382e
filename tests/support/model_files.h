// Test helpers that write model files and bitmaps into a scratch folder.
//
// Tests build well-formed and deliberately damaged files byte by byte, so
// the readers can be checked against exactly the bytes they are given.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/records.h"

using Bytes = std::vector<uint8_t>;

// A folder of its own for this test process, created on first use.
std::string scratchDir();
// A path in the scratch folder.
std::string scratchPath(const std::string& name);
// Writes the bytes to the path, replacing any file there.
void writeFile(const std::string& path, const Bytes& bytes);

// Makes a folder the working directory for as long as it lives, so files can
// be named as the program names its content files: relative to it.
struct WorkingDirectory {
    explicit WorkingDirectory(const std::string& folder);
    ~WorkingDirectory();
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;
    std::string previous;
};

void appendInt32(Bytes& bytes, int32_t value);
void appendTag(Bytes& bytes, const char* tag);

// The raw bytes of an array of records.
template <typename T>
Bytes recordBytes(const std::vector<T>& records)
{
    const uint8_t* first = reinterpret_cast<const uint8_t*>(records.data());
    return Bytes(first, first + records.size() * sizeof(T));
}

// One chunk: the tag, the payload size (by default the payload's length)
// and the payload.
Bytes kmoChunk(const char* tag, const Bytes& payload);
Bytes kmoChunk(const char* tag, int32_t declaredSize, const Bytes& payload);

// "RIFF", the size of everything after it, the form type, then the chunks.
Bytes kmoFile(const std::vector<Bytes>& chunks, const char* formType = "KMSH");

// A BMP file: 14 + 40 header bytes, `gap` bytes of filler, then the rows as
// given (already in file order, padding included). The pixel offset, sizes,
// bit count and compression are written as asked.
Bytes bmpFile(int32_t width, int32_t height, const Bytes& rows, uint32_t gap = 0,
              uint16_t bitsPerPixel = 24, uint32_t compression = 0);

// One padded 24-bit BMP row of `width` pixels of one colour.
Bytes bmpRow(int32_t width, uint8_t blue, uint8_t green, uint8_t red);
