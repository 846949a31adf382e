// The sea's sheet and its waves; see water.h.
#include "effects/water.h"

#include <cstdint>

#include "effects/quad.h"
#include "scene/scene_state.h"
#include "scene/trig.h"

namespace {

enum { WATER_COLUMNS = 31 };

void appendColumns(float time)
{
    for (int32_t i = 0; i < WATER_COLUMNS; i++) {
        const float column = static_cast<float>(i);
        const float x = static_cast<float>(i - 15) * 4.0f;
        const float y = trigSin(0.5f * column + time);
        const float u = 0.1f * column;
        meshes.water.AddVertex(quadCorner(x, y, -60.0f, u, 0.0f));
        meshes.water.AddVertex(quadCorner(x, y, 60.0f, u, 3.2f));
    }
}

}  // namespace

void waterInit()
{
    int32_t material = meshes.water.AddTexture("Water.bmp", 0);
    appendColumns(0.0f);
    for (int32_t j = 0; j < WATER_COLUMNS - 1; j++) {
        meshes.water.AddFace(effectTriangle(2 * j, 2 * j + 1, 2 * j + 3, material));
        meshes.water.AddFace(effectTriangle(2 * j, 2 * j + 3, 2 * j + 2, material));
    }
}

void waterUpdate(float time)
{
    meshes.water.ClearVertices();
    appendColumns(time);
}
