// Test helpers that write model files and bitmaps; see model_files.h.
#include "tests/support/model_files.h"

#include <cstdio>
#include <filesystem>
#include <random>

namespace {

// Removes the scratch folder when the test process ends.
struct ScratchFolder {
    std::string path;
    ~ScratchFolder()
    {
        if (!path.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }
};

ScratchFolder scratch;

}  // namespace

std::string scratchDir()
{
    std::string& dir = scratch.path;
    if (dir.empty()) {
        std::random_device random;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (;;) {
            std::filesystem::path candidate = base / ("vexarion-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) {
                dir = candidate.string();
                break;
            }
        }
    }
    return dir;
}

std::string scratchPath(const std::string& name)
{
    return scratchDir() + "/" + name;
}

void writeFile(const std::string& path, const Bytes& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file != nullptr) {
        if (!bytes.empty()) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
        }
        std::fclose(file);
    }
}

WorkingDirectory::WorkingDirectory(const std::string& folder)
    : previous(std::filesystem::current_path().string())
{
    std::filesystem::current_path(folder);
}

WorkingDirectory::~WorkingDirectory()
{
    std::filesystem::current_path(previous);
}

void appendInt32(Bytes& bytes, int32_t value)
{
    const uint32_t u = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<uint8_t>(u >> shift));
    }
}

void appendTag(Bytes& bytes, const char* tag)
{
    bytes.insert(bytes.end(), tag, tag + 4);
}

Bytes kmoChunk(const char* tag, const Bytes& payload)
{
    return kmoChunk(tag, static_cast<int32_t>(payload.size()), payload);
}

Bytes kmoChunk(const char* tag, int32_t declaredSize, const Bytes& payload)
{
    Bytes chunk;
    appendTag(chunk, tag);
    appendInt32(chunk, declaredSize);
    chunk.insert(chunk.end(), payload.begin(), payload.end());
    return chunk;
}

Bytes kmoFile(const std::vector<Bytes>& chunks, const char* formType)
{
    Bytes body;
    appendTag(body, formType);
    for (const Bytes& chunk : chunks) {
        body.insert(body.end(), chunk.begin(), chunk.end());
    }
    Bytes file;
    appendTag(file, "RIFF");
    appendInt32(file, static_cast<int32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

Bytes bmpFile(int32_t width, int32_t height, const Bytes& rows, uint32_t gap, uint16_t bitsPerPixel,
              uint32_t compression)
{
    Bytes file;
    const uint32_t offset = 54 + gap;
    file.push_back('B');
    file.push_back('M');
    appendInt32(file, static_cast<int32_t>(offset + rows.size()));
    appendInt32(file, 0);
    appendInt32(file, static_cast<int32_t>(offset));
    appendInt32(file, 40);
    appendInt32(file, width);
    appendInt32(file, height);
    file.push_back(1);
    file.push_back(0);
    file.push_back(static_cast<uint8_t>(bitsPerPixel));
    file.push_back(static_cast<uint8_t>(bitsPerPixel >> 8));
    appendInt32(file, static_cast<int32_t>(compression));
    appendInt32(file, static_cast<int32_t>(rows.size()));
    appendInt32(file, 2835);
    appendInt32(file, 2835);
    appendInt32(file, 0);
    appendInt32(file, 0);
    file.insert(file.end(), gap, 0xEE);
    file.insert(file.end(), rows.begin(), rows.end());
    return file;
}

Bytes bmpRow(int32_t width, uint8_t blue, uint8_t green, uint8_t red)
{
    Bytes row;
    for (int32_t i = 0; i < width; ++i) {
        row.push_back(blue);
        row.push_back(green);
        row.push_back(red);
    }
    while (row.size() % 4 != 0) {
        row.push_back(0);
    }
    return row;
}
