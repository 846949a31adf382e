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
        float column = static_cast<float>(i);
        MeshVertex vertex = {};
        vertex.x = static_cast<float>(i - 15) * 4.0f;
        vertex.y = trigSin(0.5f * column + time);
        vertex.u = 0.1f * column;

        vertex.z = -60.0f;
        vertex.v = 0.0f;
        meshes.water.AddVertex(vertex);

        vertex.z = 60.0f;
        vertex.v = 3.2f;
        meshes.water.AddVertex(vertex);
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
