// A long run of the director and the effects together under changing land
// and sea levels, lightning strikes and tornado commands: nothing may loop
// without end, leave its bounds or turn into NaN.
#include <gtest/gtest.h>

#include <cmath>

#include "app/globals.h"
#include "effects/fire.h"
#include "effects/lightning.h"
#include "effects/tornado.h"
#include "effects/water.h"
#include "scene/director.h"
#include "scene/pose_program.h"
#include "scene/random.h"
#include "scene/terrain.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/height_files.h"

namespace {

// A test-local generator, so that the program's own sequence stays as the
// code under test draws it.
uint32_t chaos = 7;
float chance()
{
    chaos = chaos * 1664525u + 1013904223u;
    return static_cast<float>(chaos >> 8) / 16777216.0f;
}

bool finite(const Vec3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

TEST(ElementsSoak, EverythingStaysFiniteAndBounded)
{
    ASSERT_TRUE(testGlContext());
    // An island: high in the middle, deep water at the edges.
    std::vector<uint8_t> map(HEIGHT_MAP_BYTES);
    for (int r = 0; r < 32; ++r)
        for (int c = 0; c < 32; ++c) {
            float d = std::hypot(static_cast<float>(r) - 15.5f, static_cast<float>(c) - 15.5f);
            map[r * 32 + c] = static_cast<uint8_t>(std::max(0.0f, 255.0f - 16.0f * d));
        }
    useHeightMap(map);
    fireInit();
    lightningInit();
    tornadoInit();
    waterInit();
    characterPosition = Vec3{0.0f, terrainHeight(0.5f, 0.5f) + 1.0f, 0.0f};
    characterScale = 10.0f;

    float time = 0.0f;
    int states[8] = {};
    for (int frame = 0; frame < 30000; ++frame) {
        float dt = chance() < 0.01f ? 0.5f : 0.001f + 0.05f * chance();
        // The element keys, within their limits (stepping at most one frame past).
        if (chance() < 0.02f)
            landLevel += (chance() < 0.5f ? -1.0f : 1.0f) * 5.0f * dt * 20.0f;
        landLevel = std::min(20.5f, std::max(-50.5f, landLevel));
        if (chance() < 0.02f)
            seaLevel += (chance() < 0.5f ? -1.0f : 1.0f) * 5.0f * dt * 20.0f;
        seaLevel = std::min(-2.5f, std::max(-35.5f, seaLevel));
        if (chance() < 0.002f)
            lightningStrike();
        if (chance() < 0.002f && tornadoBottom > 90.0f)
            tornadoSpeed = -15.0f;
        if (chance() < 0.001f)
            tornadoSpeed = 25.0f;

        updateDirector(dt);
        updatePoseProgram(dt);
        fireUpdate(dt);
        lightningDecay(dt);
        tornadoUpdate(dt);
        waterUpdate(time);
        time += dt;
        sceneYaw += 3.0f * dt;
        fireDraw();

        ASSERT_TRUE(finite(characterPosition)) << "frame " << frame;
        ASSERT_LT(std::fabs(characterPosition.x), 200.0f) << "frame " << frame;
        ASSERT_LT(std::fabs(characterPosition.z), 200.0f) << "frame " << frame;
        ASSERT_GE(characterPosition.y, -45.0f) << "frame " << frame;
        ASSERT_LE(characterPosition.y, 100.0f) << "frame " << frame;
        ASSERT_TRUE(std::isfinite(heading));
        ASSERT_GE(heading, 0.0f);
        ASSERT_LE(heading, 360.0f);
        ASSERT_TRUE(std::isfinite(spiralAngle));
        ASSERT_TRUE(finite(tumbleAngles));
        ASSERT_TRUE(std::isfinite(fallSpeed));
        ASSERT_GE(tornadoBottom, -25.0f - 1e-3f);
        ASSERT_LE(tornadoBottom, 95.0f);
        ASSERT_TRUE(std::isfinite(tornadoVisibility));
        ASSERT_TRUE(std::isfinite(tornadoViewCentre.x) && std::isfinite(tornadoViewCentre.z));
        ASSERT_GE(flashIntensity, 0.0f);
        ASSERT_LE(flashIntensity, 1.0f);
        ASSERT_GE(fireEnd, 0);
        ASSERT_LE(fireEnd, FIRE_SLOTS);
        ASSERT_EQ(tornadoMesh.vertexCount, 1024);
        ASSERT_EQ(waterMesh.vertexCount, 62);
        states[static_cast<int>(directorState)]++;
    }
    for (int i = 0; i < TORNADO_PARTICLES; ++i) {
        ASSERT_TRUE(std::isfinite(tornadoParticleAngle[i]));
        ASSERT_GE(tornadoParticleHeight[i], 0.0f);
        ASSERT_LE(tornadoParticleHeight[i], 1.0f);
    }
    // The run went through every state the director has.
    for (int s : {0, 1, 2, 3, 4, 6, 7})
        EXPECT_GT(states[s], 0) << "state " << s;
}
