// The fire's trail, window and drawing; see fire.h.
#include "effects/fire.h"

#include "effects/quad.h"
#include "platform/gl.h"
#include "scene/scene_state.h"
#include "sound/sound.h"

Vec3 firePuffs[FIRE_SLOTS];
float fireColours[FIRE_SLOTS][3];
int32_t fireFirst = 0;
int32_t fireEnd = 0;
int32_t burning = 0;

namespace {

MeshVertex corner(float x, float y)
{
    MeshVertex vertex = {};
    vertex.x = x;
    vertex.y = y;
    return vertex;
}

void setColour(int32_t row, float red, float green, float blue)
{
    fireColours[row][0] = red;
    fireColours[row][1] = green;
    fireColours[row][2] = blue;
}

}  // namespace

void fireInit()
{
    int32_t material = firePuffMesh.AddTexture("SMOKE.BMP", 0);
    // A 2 x 2 quad in the mesh's x-y plane; the texture's origin lands at
    // its top left corner.
    addQuad(firePuffMesh, material, corner(-1.0f, 1.0f), corner(1.0f, 1.0f), corner(1.0f, -1.0f), corner(-1.0f, -1.0f));

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
        firePuffs[k + 1].x = firePuffs[k].x;
        firePuffs[k + 1].y = firePuffs[k].y + 5.0f * dt;
        firePuffs[k + 1].z = firePuffs[k].z;
    }
    firePuffs[0].x = characterPosition.x;
    firePuffs[0].y = characterPosition.y + 0.3f * characterScale;
    firePuffs[0].z = characterPosition.z;
}

void fireDraw(int32_t first, int32_t end)
{
    firePuffMesh.SetRotation(0.0f, -sceneYaw, 0.0f);
    for (int32_t i = first; i < end; i++) {
        glColor4f(fireColours[i][0], fireColours[i][1], fireColours[i][2], 0.6f);
        firePuffMesh.SetScale(1.0f + static_cast<float>(i) * 0.03125f);
        firePuffMesh.SetPosition(firePuffs[i].x, firePuffs[i].y, firePuffs[i].z);
        firePuffMesh.Draw();
    }
}

void fireAdvanceWindow()
{
    if (fireEnd > 0 && fireEnd < FIRE_SLOTS)
        fireEnd++;
    if (fireFirst > 0 && fireFirst < fireEnd)
        fireFirst++;
    burning = fireEnd > fireFirst ? 1 : 0;
}

void fireIgnite()
{
    if (burning != 0)
        return;
    fireFirst = 0;
    fireEnd = 1;
    playSound(burnSound, true);
}

void fireExtinguish()
{
    if (fireFirst == 0)
        fireFirst = 1;
    stopSound(burnSound);
}
