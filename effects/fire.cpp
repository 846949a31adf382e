// The fire's trail, window and drawing; see fire.h.
#include "effects/fire.h"

#include "effects/quad.h"
#include "platform/gl.h"
#include "scene/scene_state.h"
#include "sound/sound.h"

Fire fire;

namespace {

float fireColours[FIRE_SLOTS][3];  // red, green, blue of each slot

void setColour(int32_t row, float red, float green, float blue)
{
    fireColours[row][0] = red;
    fireColours[row][1] = green;
    fireColours[row][2] = blue;
}

}  // namespace

void fireInit()
{
    int32_t material = meshes.firePuff.AddTexture("SMOKE.BMP", 0);
    // A 2 x 2 quad in the mesh's x-y plane; the texture's origin lands at
    // its top left corner.
    addQuad(meshes.firePuff, material, quadCorner(-1.0f, 1.0f, 0.0f), quadCorner(1.0f, 1.0f, 0.0f),
            quadCorner(1.0f, -1.0f, 0.0f), quadCorner(-1.0f, -1.0f, 0.0f));

    // White cooling to yellow, yellow to dark orange, then dark red to black.
    for (int32_t i = 0; i < 8; i++)
        setColour(i, 1.0f, 1.0f, 1.0f - static_cast<float>(i) * 0.125f);
    for (int32_t j = 0; j < 8; j++)
        setColour(8 + j, 1.0f - static_cast<float>(j) * 0.0625f, 1.0f - static_cast<float>(j) * 0.125f, 0.0f);
    for (int32_t k = 0; k < 16; k++)
        setColour(16 + k, 0.5f - static_cast<float>(k) * 0.03125f, 0.0f, 0.0f);
}

void fireUpdate(float dt)
{
    // From the top down, so that every puff is copied exactly once.
    for (int32_t k = FIRE_SLOTS - 2; k >= 0; k--) {
        fire.puffs[k + 1].x = fire.puffs[k].x;
        fire.puffs[k + 1].y = fire.puffs[k].y + 5.0f * dt;
        fire.puffs[k + 1].z = fire.puffs[k].z;
    }
    fire.puffs[0].x = scene.characterPosition.x;
    fire.puffs[0].y = scene.characterPosition.y + 0.3f * scene.characterScale;
    fire.puffs[0].z = scene.characterPosition.z;
}

void fireDraw(int32_t first, int32_t end, float yaw)
{
    MeshTransform puff;
    puff.rotation = Vec3{0.0f, -yaw, 0.0f};
    for (int32_t i = first; i < end; i++) {
        glColor4f(fireColours[i][0], fireColours[i][1], fireColours[i][2], 0.6f);
        puff.scale = 1.0f + static_cast<float>(i) * 0.03125f;
        puff.position = fire.puffs[i];
        meshes.firePuff.Draw(puff);
    }
}

void fireAdvanceWindow()
{
    if (fire.end > 0 && fire.end < FIRE_SLOTS)
        fire.end++;
    if (fire.first > 0 && fire.first < fire.end)
        fire.first++;
    fire.burning = fire.end > fire.first ? 1 : 0;
}

void fireIgnite()
{
    if (fire.burning != 0)
        return;
    fire.first = 0;
    fire.end = 1;
    playSound(sounds.burn, true);
}

void fireExtinguish()
{
    if (fire.first == 0)
        fire.first = 1;
    stopSound(sounds.burn);
}
