// The tornado's particles, lower end and wind; see tornado.h.
#include "effects/tornado.h"

#include <cmath>
#include <cstdint>

#include "effects/quad.h"
#include "scene/long_angle.h"
#include "scene/random.h"
#include "scene/scene_state.h"
#include "scene/terrain.h"
#include "sound/sound.h"

float tornadoTop = 100.0f;
float tornadoBottom = 95.0f;
float tornadoSpeed = 0.0f;
float tornadoVisibility = 0.0f;
PlanePoint tornadoCentre = {0.0f, 0.0f};
PlanePoint tornadoViewCentre = {0.0f, 0.0f};

float tornadoParticleHeight[TORNADO_PARTICLES];
float tornadoParticleAngle[TORNADO_PARTICLES];

namespace {

// The lower end's resting height, where a rising tornado stops.
const float restingBottom = 95.0f;

MeshVertex quadCorner(float x, float y, float z, float u, float v)
{
    MeshVertex vertex = {};
    vertex.x = x;
    vertex.y = y;
    vertex.z = z;
    vertex.u = u;
    vertex.v = v;
    return vertex;
}

}  // namespace

void tornadoInit()
{
    int32_t material = tornadoMesh.AddTexture("FLARE.BMP", 1);
    for (int32_t i = 0; i < TORNADO_PARTICLES; i++) {
        // Placeholders: every update replaces the vertices before a draw.
        MeshVertex placeholder = quadCorner(0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
        int32_t first = 4 * i;
        tornadoMesh.AddVertex(placeholder);
        tornadoMesh.AddVertex(placeholder);
        tornadoMesh.AddVertex(placeholder);
        tornadoMesh.AddFace(effectTriangle(first, first + 1, first + 2, material));
        tornadoMesh.AddVertex(placeholder);
        tornadoMesh.AddFace(effectTriangle(first, first + 2, first + 3, material));

        tornadoParticleAngle[i] = static_cast<float>(randomNext()) * 0.0027777778f;
        tornadoParticleHeight[i] = static_cast<float>(randomNext()) * 0.000030518509f;
    }
}

void tornadoUpdate(float dt)
{
    tornadoMesh.ClearVertices();

    // The lower end never rises above its resting height and never sinks
    // below the floor of the world plus 5, so H is at least 5.
    const float H = tornadoTop - tornadoBottom;
    const float bottom = tornadoBottom;

    if (tornadoSpeed < -0.01f) {
        tornadoCentre.x = characterPosition.x;
        tornadoCentre.z = characterPosition.z;
    }

    // The renderer turns the mesh by -sceneYaw so that its quads face the
    // camera; the centre is pre-turned the same way.
    float r = std::sqrt(tornadoCentre.x * tornadoCentre.x + tornadoCentre.z * tornadoCentre.z);
    float theta = std::atan2(tornadoCentre.z, tornadoCentre.x) - sceneYaw * 0.017453292f;
    tornadoViewCentre.x = r * std::cos(theta);
    tornadoViewCentre.z = r * std::sin(theta);

    tornadoVisibility = 0.2f - 1.0f / H;

    for (int32_t i = 0; i < TORNADO_PARTICLES; i++) {
        float h = tornadoParticleHeight[i] + 0.01f;
        if (h > 1.0f)
            h = 0.0f;
        tornadoParticleHeight[i] = h;

        float R = (50.0f + 0.1f * static_cast<float>(i)) * h * h + 2.5f;
        float q = 10.0f * h + 0.5f;
        float a = tornadoParticleAngle[i];
        float px = R * std::cos(a) + tornadoViewCentre.x;
        float pz = R * std::sin(a) + tornadoViewCentre.z;
        float py = bottom + h * H;
        tornadoParticleAngle[i] = wrapLongAngle(a + (1.01f - h) * dt * 6.0f);

        tornadoMesh.AddVertex(quadCorner(px - q, py - q, pz, 0.0f, 0.0f));
        tornadoMesh.AddVertex(quadCorner(px + q, py - q, pz, 1.0f, 0.0f));
        tornadoMesh.AddVertex(quadCorner(px + q, py + q, pz, 1.0f, 1.0f));
        tornadoMesh.AddVertex(quadCorner(px - q, py + q, pz, 0.0f, 1.0f));
    }

    if (tornadoSpeed < -0.01f) {
        float ground = terrainHeightAt(characterPosition.x, characterPosition.z) + 5.0f;
        // Ground this high only comes from a land raised far past its
        // limits; the lower end then stops at rest rather than pass the top.
        if (ground > restingBottom)
            ground = restingBottom;
        tornadoBottom += tornadoSpeed * dt;
        if (tornadoBottom < ground) {
            tornadoBottom = ground;
            tornadoSpeed = 0.0f;
        }
    } else if (tornadoSpeed > 0.01f) {
        tornadoBottom += tornadoSpeed * dt;
        if (tornadoBottom > restingBottom)
            tornadoBottom = restingBottom;
    }

    setSoundVolume(windSound, static_cast<int32_t>(H) + 40);
}
