// Height map files for terrain-dependent tests; see height_files.h.
#include "tests/support/height_files.h"

#include <cmath>
#include <filesystem>

#include "scene/terrain.h"
#include "tests/support/model_files.h"

void useHeightMap(const std::vector<uint8_t>& bytes)
{
    const std::string path = modelScratchPath("Height.raw");
    std::filesystem::current_path(std::filesystem::path(path).parent_path());
    writeModelBytes(path, ModelBytes(bytes.begin(), bytes.end()));
    terrainForgetMap();
}

std::vector<uint8_t> heightMapWithHill(uint8_t low, uint8_t high, float x, float z, float radius)
{
    std::vector<uint8_t> bytes(HEIGHT_MAP_BYTES, low);
    for (int row = 0; row < HEIGHT_MAP_SIDE; ++row)
        for (int column = 0; column < HEIGHT_MAP_SIDE; ++column) {
            float sx = -64.0f + 4.0f * static_cast<float>(column);
            float sz = -64.0f + 4.0f * static_cast<float>(row);
            if (std::hypot(sx - x, sz - z) <= radius)
                bytes[row * HEIGHT_MAP_SIDE + column] = high;
        }
    return bytes;
}
