// Test helpers that write model files and bitmaps; see model_files.h.
#include "tests/support/model_files.h"

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

void appendModelInt32(ModelBytes& bytes, int32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> shift));
}

struct ScratchFolder {
    std::string path;
    ScratchFolder()
    {
        path = (fs::temp_directory_path() / ("vexarion-model-" + std::to_string(std::random_device()()))).string();
        std::error_code ignored;
        fs::create_directories(path, ignored);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

}  // namespace

std::string modelScratchPath(const std::string& name)
{
    static const ScratchFolder scratch;
    return name.empty() ? scratch.path : scratch.path + "/" + name;
}

std::string writeModelBytes(const std::string& path, const ModelBytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
}

ModelBytes kmoChunk(const char* tag, const ModelBytes& payload, std::optional<int32_t> declaredSize)
{
    ModelBytes chunk(tag, tag + 4);
    appendModelInt32(chunk, declaredSize.value_or(static_cast<int32_t>(payload.size())));
    chunk.insert(chunk.end(), payload.begin(), payload.end());
    return chunk;
}

ModelBytes kmoFile(const std::vector<ModelBytes>& chunks, const char* formType)
{
    ModelBytes body(formType, formType + 4);
    for (const ModelBytes& chunk : chunks)
        body.insert(body.end(), chunk.begin(), chunk.end());
    return kmoChunk("RIFF", body);
}

ModelBytes bmpFile(int32_t width, int32_t height, const ModelBytes& rows, uint32_t gap, uint16_t bits,
                   uint32_t compression)
{
    const int32_t offset = static_cast<int32_t>(54 + gap);
    const int32_t size = static_cast<int32_t>(rows.size());
    ModelBytes file = {'B', 'M'};
    for (int32_t field : {offset + size, 0, offset, 40, width, height, 1 | bits << 16,  // planes, bits per pixel
                          static_cast<int32_t>(compression), size, 2835, 2835, 0, 0})
        appendModelInt32(file, field);
    file.insert(file.end(), gap, 0xEE);
    file.insert(file.end(), rows.begin(), rows.end());
    return file;
}

ModelBytes bmpRows(int32_t width, const std::vector<uint32_t>& colours)
{
    ModelBytes rows;
    for (uint32_t colour : colours) {
        for (int32_t i = 0; i < width; ++i)
            for (int shift : {0, 8, 16})
                rows.push_back(static_cast<uint8_t>(colour >> shift));
        rows.resize((rows.size() + 3) / 4 * 4, 0);
    }
    return rows;
}
