// Height map files for terrain-dependent tests; see height_files.h.
#include "tests/support/height_files.h"

#include <cmath>
#include <filesystem>

#include "scene/terrain.h"
#include "tests/support/model_files.h"

void useHeightMap(const std::vector<uint8_t>& bytes)
{
    std::filesystem::current_path(modelScratchPath(""));
    writeModelBytes("Height.raw", bytes);
    terrainForgetMap();
}

std::vector<uint8_t> heightMapWithHill(uint8_t low, uint8_t high, float x, float z, float radius)
{
    std::vector<uint8_t> bytes(HEIGHT_MAP_BYTES, low);
    for (int row = 0; row < HEIGHT_MAP_SIDE; ++row)
        for (int column = 0; column < HEIGHT_MAP_SIDE; ++column)
            if (std::hypot(-64.0f + 4.0f * static_cast<float>(column) - x,
                           -64.0f + 4.0f * static_cast<float>(row) - z) <= radius)
                bytes[row * HEIGHT_MAP_SIDE + column] = high;
    return bytes;
}
