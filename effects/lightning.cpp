// Lightning strikes, bolt generation and the flash; see lightning.h.
#include "effects/lightning.h"

#include <algorithm>

#include "effects/fire.h"
#include "effects/quad.h"
#include "scene/director.h"
#include "scene/random.h"
#include "scene/scene_state.h"
#include "scene/terrain.h"
#include "sound/sound.h"

Lightning lightning;

namespace {

int32_t boltMaterial = 0;  // "LIGHT.BMP" in meshes.lightning

enum { BOLT_POINTS = 16 };

// Branches hang from branches with a quarter of the spread each time, so
// the recursion ends by itself; this depth is only a backstop. A branch
// this deep would be far thinner than a pixel, and growing one at all takes
// odds below 10^-24 per strike. Deeper branches are not grown.
const int maxBranchDepth = 32;

int branchDepth = 0;

// The reduced flash's shortest time between strikes.
const float reducedStrikeInterval = 1.0f / 3.0f;

// A jitter of -50/30 to 49/30 times the spread, from one random draw.
float jitter(float spread)
{
    return static_cast<float>(randomNext() % 100 - 50) * 0.033333335f * spread;
}

}  // namespace

void lightningInit()
{
    boltMaterial = meshes.lightning.AddTexture("LIGHT.BMP", 0);
}

void lightningDecay(float dt)
{
    lightning.flashIntensity -= 3.0f * dt;
    if (lightning.flashIntensity < 0.0f)
        lightning.flashIntensity = 0.0f;
    if (!lightning.struckThisFrame)
        lightning.sinceStrike = std::min(lightning.sinceStrike + dt, 1.0f);
    lightning.struckThisFrame = false;
}

void lightningStrike()
{
    if (lightning.flashIntensity > 0.01f || (lightning.reducedFlash && lightning.sinceStrike < reducedStrikeInterval))
        return;
    lightning.sinceStrike = 0.0f;
    lightning.struckThisFrame = true;

    meshes.lightning.ClearVertices();
    meshes.lightning.ClearFaces();

    float cx = static_cast<float>(randomNext() % 80 - 40);
    float cz = static_cast<float>(randomNext() % 80 - 40);
    Vec3 sky = {cx, 100.0f, cz};

    if (director.state == DirectorState::Swim || director.state == DirectorState::Caught ||
        director.state == DirectorState::Fall) {
        Vec3 ground = {0.0f, terrainHeight(0.0f, 0.0f), 0.0f};
        lightningBolt(ground, sky, 1.5f);
    } else {
        lightningBolt(scene.characterPosition, sky, 1.5f);
        if (fire.burning == 0) {
            fireIgnite();
            director.state = DirectorState::Run;
        }
    }

    lightning.flashIntensity = 1.0f;
    playSound(sounds.thunder, false);
}

void lightningBolt(Vec3 start, Vec3 end, float spread)
{
    Vec3 p[BOLT_POINTS];
    p[0] = start;
    p[BOLT_POINTS - 1] = end;
    float s = spread;

    for (int i = 1; i < BOLT_POINTS - 1; i++) {
        float t = static_cast<float>(i) * 0.0625f;
        p[i].x = start.x + t * (end.x - start.x);
        p[i].y = start.y + t * (end.y - start.y);
        p[i].z = start.z + t * (end.z - start.z);
        p[i].x += jitter(s);
        p[i].z += jitter(s);

        float r = static_cast<float>(randomNext() % 100);
        if (20.0f * s > r && branchDepth < maxBranchDepth) {
            float bx = p[i].x + static_cast<float>(randomNext() % 40 - 20) * s;
            float bz = p[i].z + static_cast<float>(randomNext() % 40 - 20) * s;
            Vec3 root = {bx, -40.0f, bz};
            branchDepth++;
            lightningBolt(root, p[i], 0.25f * s);
            branchDepth--;
            s *= 0.75f;
        }
    }

    // Two quads per segment, crossed at right angles, from the end point
    // back to the start.
    for (int j = BOLT_POINTS - 1; j >= 1; j--) {
        const Vec3& a = p[j];
        const Vec3& b = p[j - 1];
        addQuad(meshes.lightning, boltMaterial, quadCorner(a.x - s, a.y, a.z), quadCorner(a.x + s, a.y, a.z),
                quadCorner(b.x + s, b.y, b.z), quadCorner(b.x - s, b.y, b.z));
        addQuad(meshes.lightning, boltMaterial, quadCorner(a.x, a.y, a.z - s), quadCorner(a.x, a.y, a.z + s),
                quadCorner(b.x, b.y, b.z + s), quadCorner(b.x, b.y, b.z - s));
    }
}
