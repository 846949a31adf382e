// A height map (the first 1024 bytes; shorter inputs leave zeros) sampled at
// the awkward points (edges, just outside, non-finite, huge, tiny) and at
// the points that the bytes after the map spell as floats, at the land
// levels the controls allow. Every height is finite and between the floor of
// the world and the highest byte's height.
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>

#include "fuzz/fuzz_support.h"
#include "scene/scene_state.h"
#include "scene/terrain.h"

// The land level the terrain adds, owned here: the harness has no scene.
float landLevel = 0.0f;

namespace {

const float inf = std::numeric_limits<float>::infinity();
const float nan = std::numeric_limits<float>::quiet_NaN();
const float awkward[] = {-64.0f, 60.0f,  0.0f, -0.0f, 59.99999f, 60.00001f,   -64.00001f, 1e-40f,
                         3e38f,  -3e38f, inf,  -inf,  nan,       1.0f / 3.0f, -63.99999f};

void sampleAt(float x, float z)
{
    const float h = terrainHeightAt(x, z);
    const float highest = 255 * 0.15f - 29.0f + landLevel + 0.001f;
    fuzzCheck(std::isfinite(h) && h >= -30.0f && (h <= highest || h == -30.0f), "a height off the map's range");
    const float g = terrainHeight(x, z);
    fuzzCheck(std::isfinite(g) && g >= -30.0f, "a height below the floor");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    writeFuzzInput("Height.raw", data, size);
    terrainForgetMap();
    InScratchFolder mapIsReadHere;
    for (float level : {0.0f, -50.0f, 20.0f, -7.25f}) {
        landLevel = level;
        for (float a : awkward) {
            sampleAt(a, 0.0f);
            sampleAt(0.0f, a);
            sampleAt(a, a);
        }
        for (size_t at = HEIGHT_MAP_BYTES; at + 8 <= size; at += 8) {
            float point[2];
            std::memcpy(point, data + at, sizeof point);
            sampleAt(point[0], point[1]);
        }
    }
    landLevel = 0.0f;
    return 0;
}
