// The terrain height field: bilinear sampling of the height map; see terrain.h.
//
// Hostile bytes: the map is any 1024 bytes, every one a height, so nothing
// in a file can be wrong but its length. A missing, unreadable or short
// file gives zeros for the bytes it lacks, so the map is always fully
// defined (partly flat); bytes after the first 1024 are not read.
#include "scene/terrain.h"

#include <cstring>

#include "model/file_bytes.h"
#include "scene/scene_state.h"

namespace {

// The map's samples, byte r * 32 + c for row r (along z) and column c
// (along x), in steps of 0.15 world units; read by the first query that
// needs them and kept.
struct HeightMap {
    uint8_t bytes[HEIGHT_MAP_BYTES] = {};
    bool loaded = false;
};
HeightMap heightMap;

const float worldToMap = 0.008064516f;  // 1/124: world units across the map
const float worldFloor = -30.0f;        // the floor of the world

// Reads the map once, its first 1024 bytes; what the file does not supply
// stays zero.
void loadHeightMap()
{
    FileBytes file;
    readFileBytes("Height.raw", HEIGHT_MAP_BYTES, &file);
    terrainUseMap(file.bytes.get(), file.size);
}

float sample(int row, int column)
{
    return static_cast<float>(heightMap.bytes[row * HEIGHT_MAP_SIDE + column]);
}

}  // namespace

float terrainHeight(float u, float v)
{
    // Written so that NaN coordinates also count as outside the map.
    if (!(u >= 0.0f && u <= 1.0f && v >= 0.0f && v <= 1.0f))
        return worldFloor;

    const float fu = 31.0f * u;
    const float fv = 31.0f * v;
    const int iu = static_cast<int>(fu);
    const int iv = static_cast<int>(fv);
    const float tu = fu - static_cast<float>(iu);
    const float tv = fv - static_cast<float>(iv);

    if (!heightMap.loaded)
        loadHeightMap();

    // On the last column or row (u or v exactly 1) the samples beyond it carry
    // weight 0; the edge itself stands in for them so nothing past the map is read.
    const int iu1 = iu < HEIGHT_MAP_SIDE - 1 ? iu + 1 : iu;
    const int iv1 = iv < HEIGHT_MAP_SIDE - 1 ? iv + 1 : iv;
    const float a = sample(iv, iu);
    const float b = sample(iv, iu1);
    const float c = sample(iv1, iu);
    const float d = sample(iv1, iu1);

    const float value = ((1.0f - tu) * c + tu * d) * tv + (tu * b + (1.0f - tu) * a) * (1.0f - tv);
    const float height = value * 0.15f - 29.0f + scene.landLevel;
    return height < worldFloor ? worldFloor : height;
}

float terrainHeightAt(float x, float z)
{
    return terrainHeight((x + 64.0f) * worldToMap, (z + 64.0f) * worldToMap);
}

void terrainUseMap(const uint8_t* bytes, size_t size)
{
    const size_t got = bytes == nullptr ? 0 : size < sizeof heightMap.bytes ? size : sizeof heightMap.bytes;
    if (got > 0)
        std::memcpy(heightMap.bytes, bytes, got);
    std::memset(heightMap.bytes + got, 0, sizeof heightMap.bytes - got);
    heightMap.loaded = true;
}

void terrainForgetMap()
{
    heightMap = HeightMap{};
}
