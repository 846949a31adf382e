// A height map (the first 1024 bytes) sampled at awkward points and at those
// the bytes after it spell as floats, at the land levels the controls allow:
// every height is finite, on or above the floor, and at most the top byte's.
#include <cmath>
#include <cstring>
#include <limits>

#include "fuzz/fuzz_support.h"
#include "scene/scene_state.h"
#include "scene/terrain.h"

namespace {

void sampleAt(float x, float z)
{
    const float h = terrainHeightAt(x, z), g = terrainHeight(x, z);
    fuzzCheck(std::isfinite(h) && h >= -30.0f && (h <= 255 * 0.15f - 29.0f + scene.landLevel + 0.001f || h == -30.0f),
              "a height off the map's range");
    fuzzCheck(std::isfinite(g) && g >= -30.0f, "a height below the floor");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    writeFuzzInput("Height.raw", data, size);
    terrainForgetMap();
    InScratchFolder mapIsReadHere;
    for (float level : {0.0f, -50.0f, 20.0f, -7.25f}) {
        scene.landLevel = level;
        for (float a : {-64.0f, 60.0f, 0.0f, -0.0f, 59.99999f, 60.00001f, -64.00001f, 1e-40f, 3e38f, -3e38f, inf, -inf,
                        nan, 1.0f / 3.0f, -63.99999f}) {
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
    return 0;
}
