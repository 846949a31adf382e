// The tornado's particles, lower end and wind; see tornado.h.
#include "effects/tornado.h"

#include <cmath>
#include <cstdint>

#include "effects/quad.h"
#include "scene/angles.h"
#include "scene/random.h"
#include "scene/scene_state.h"
#include "scene/terrain.h"
#include "scene/trig.h"
#include "sound/sound.h"

Tornado tornado;
TornadoParticles tornadoParticles;

namespace {

// The lower end's resting height, where a rising tornado stops.
const float restingBottom = 95.0f;

}  // namespace

void tornadoInit()
{
    int32_t material = meshes.tornado.AddTexture("FLARE.BMP", 1);
    for (int32_t i = 0; i < TORNADO_PARTICLES; i++) {
        // Placeholders: every update replaces the vertices before a draw.
        MeshVertex placeholder = quadCorner(0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
        int32_t first = 4 * i;
        meshes.tornado.AddVertex(placeholder);
        meshes.tornado.AddVertex(placeholder);
        meshes.tornado.AddVertex(placeholder);
        meshes.tornado.AddFace(effectTriangle(first, first + 1, first + 2, material));
        meshes.tornado.AddVertex(placeholder);
        meshes.tornado.AddFace(effectTriangle(first, first + 2, first + 3, material));

        tornadoParticles.angle[i] = static_cast<float>(randomNext()) * 0.0027777778f;
        tornadoParticles.height[i] = static_cast<float>(randomNext()) * 0.000030518509f;
    }
}

void tornadoUpdate(float dt)
{
    meshes.tornado.ClearVertices();

    // The lower end never rises above its resting height and never sinks
    // below the floor of the world plus 5, so H is at least 5.
    const float H = tornado.top - tornado.bottom;
    const float bottom = tornado.bottom;

    if (tornado.speed < -0.01f) {
        tornado.centre.x = scene.characterPosition.x;
        tornado.centre.z = scene.characterPosition.z;
    }

    // The renderer turns the mesh by -scene.yaw so that its quads face the
    // camera; the centre is pre-turned the same way.
    float r = std::sqrt(tornado.centre.x * tornado.centre.x + tornado.centre.z * tornado.centre.z);
    float theta = trigAtan2(tornado.centre.z, tornado.centre.x) - scene.yaw * static_cast<float>(radiansPerDegree);
    tornado.viewCentre.x = r * trigCos(theta);
    tornado.viewCentre.z = r * trigSin(theta);

    tornado.visibility = 0.2f - 1.0f / H;

    for (int32_t i = 0; i < TORNADO_PARTICLES; i++) {
        float h = tornadoParticles.height[i] + 0.01f;
        if (h > 1.0f)
            h = 0.0f;
        tornadoParticles.height[i] = h;

        float R = (50.0f + 0.1f * static_cast<float>(i)) * h * h + 2.5f;
        float q = 10.0f * h + 0.5f;
        float a = tornadoParticles.angle[i];
        float px = R * trigCos(a) + tornado.viewCentre.x;
        float pz = R * trigSin(a) + tornado.viewCentre.z;
        float py = bottom + h * H;
        tornadoParticles.angle[i] = wrapLongAngle(a + (1.01f - h) * dt * 6.0f);

        meshes.tornado.AddVertex(quadCorner(px - q, py - q, pz, 0.0f, 0.0f));
        meshes.tornado.AddVertex(quadCorner(px + q, py - q, pz, 1.0f, 0.0f));
        meshes.tornado.AddVertex(quadCorner(px + q, py + q, pz, 1.0f, 1.0f));
        meshes.tornado.AddVertex(quadCorner(px - q, py + q, pz, 0.0f, 1.0f));
    }

    if (tornado.speed < -0.01f) {
        float ground = terrainHeightAt(scene.characterPosition.x, scene.characterPosition.z) + 5.0f;
        // Ground this high only comes from a land raised far past its
        // limits; the lower end then stops at rest rather than pass the top.
        if (ground > restingBottom)
            ground = restingBottom;
        tornado.bottom += tornado.speed * dt;
        if (tornado.bottom < ground) {
            tornado.bottom = ground;
            tornado.speed = 0.0f;
        }
    } else if (tornado.speed > 0.01f) {
        tornado.bottom += tornado.speed * dt;
        if (tornado.bottom > restingBottom)
            tornado.bottom = restingBottom;
    }

    setSoundVolume(sounds.wind, static_cast<int32_t>(H) + 40);
}

void tornadoStop()
{
    tornado.speed = 0.0f;
}
