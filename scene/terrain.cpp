// The terrain height field: bilinear sampling of the height map; see terrain.h.
#include "scene/terrain.h"

#include <cstdio>
#include <cstring>

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

// Reads the map once. Whatever the file does not supply stays zero, so a
// missing or truncated file still gives a fully defined (partly flat) map.
void loadHeightMap()
{
    size_t got = 0;
    if (std::FILE* file = std::fopen("Height.raw", "rb")) {
        got = std::fread(heightMap.bytes, 1, sizeof heightMap.bytes, file);
        std::fclose(file);
    }
    std::memset(heightMap.bytes + got, 0, sizeof heightMap.bytes - got);
    heightMap.loaded = true;
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

void terrainForgetMap()
{
    heightMap = HeightMap{};
}
