// Tornado: the particles' start values and motion, the rebuilt quads, the
// lower end's descent and rise, the visibility and the wind's volume.
#include <gtest/gtest.h>

#include <cmath>

#include "app/globals.h"
#include "scene/scene_state.h"
#include "effects/tornado.h"
#include "scene/long_angle.h"
#include "scene/random.h"
#include "scene/terrain.h"
#include "sound/sound.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/height_files.h"

namespace {

class Tornado : public ::testing::Test {
protected:
    void SetUp() override
    {
        static bool initialised = false;
        ASSERT_TRUE(testGlContext());
        if (!initialised) {
            randomSetState(1);
            tornadoInit();
            initialised = true;
        }
        resetSceneState();
        useFlatHeightMap(0);  // ground at -29
        characterPosition = Vec3{0.0f, -29.0f, 0.0f};
    }
};

// The centre of particle i's quad as the last update built it.
PlanePoint quadCentre(int i, float* y = nullptr)
{
    const MeshVertex* v = tornadoMesh.vertices + 4 * i;
    if (y)
        *y = 0.5f * (v[0].y + v[2].y);
    return PlanePoint{0.5f * (v[0].x + v[1].x), v[0].z};
}

}  // namespace

TEST_F(Tornado, InitDrawsEachParticlesAngleThenHeightAndUpdatesRebuildInPlace)
{
    // This is the first test of the file, so no update has moved the
    // particles yet: each took an angle, then a height, from the generator.
    randomSetState(1);
    for (int i = 0; i < TORNADO_PARTICLES; ++i) {
        ASSERT_EQ(tornadoParticleAngle[i], static_cast<float>(randomNext()) * 0.0027777778f) << i;
        ASSERT_EQ(tornadoParticleHeight[i], static_cast<float>(randomNext()) * 0.000030518509f) << i;
        ASSERT_LE(tornadoParticleHeight[i], 1.0f);
    }
    // Particle i owns vertices 4i..4i+3, in two faces of the flare.
    ASSERT_EQ(tornadoMesh.faceCount, 512);
    const MeshFace& last = tornadoMesh.faces[511];
    EXPECT_TRUE(last.a == 1020 && last.b == 1022 && last.c == 1023 && last.material == 0);
    EXPECT_EQ(tornadoMesh.faces[510].b, 1021);

    // Every update rebuilds the 1024 vertices in place.
    tornadoUpdate(0.016f);
    const MeshVertex* storage = tornadoMesh.vertices;
    for (int frame = 0; frame < 300; ++frame) {
        tornadoUpdate(frame % 2 ? 0.016f : 0.1f);
        ASSERT_EQ(tornadoMesh.vertexCount, 1024);
        ASSERT_EQ(tornadoMesh.faceCount, 512);
        ASSERT_EQ(tornadoMesh.vertexCapacity, 1024);
        ASSERT_EQ(tornadoMesh.vertices, storage) << "no reallocation after the first frame";
    }
    // Each quad: a square of side 2q in the x-y plane, u and v 0 or 1 around it.
    const MeshVertex* v = tornadoMesh.vertices + 4 * 200;
    const float q = 10.0f * tornadoParticleHeight[200] + 0.5f;
    EXPECT_FLOAT_EQ(v[1].x - v[0].x, 2.0f * q);
    EXPECT_FLOAT_EQ(v[2].y - v[1].y, 2.0f * q);
    EXPECT_EQ(v[0].z, v[3].z);
    EXPECT_EQ(v[1].u + v[2].u + v[2].v + v[3].v, 4.0f);
    EXPECT_EQ(v[0].u + v[0].v + v[1].v + v[3].u, 0.0f);
}

TEST_F(Tornado, ParticlesClimbAHundredthPerFrameAndWrapOnlyAboveOne)
{
    // A height that becomes exactly 1.0 stays; the next frame wraps to 0.
    ASSERT_EQ(0.99f + 0.01f, 1.0f);
    tornadoParticleHeight[0] = 0.99f;
    tornadoParticleHeight[1] = 0.5f;
    tornadoParticleAngle[0] = 1.0f;
    tornadoParticleAngle[1] = 2.0f;
    tornadoUpdate(0.5f);
    EXPECT_EQ(tornadoParticleHeight[0], 1.0f);
    EXPECT_EQ(tornadoParticleHeight[1], 0.51f);
    // Spin: (1.01 - h) x dt x 6 with the new height.
    EXPECT_FLOAT_EQ(tornadoParticleAngle[0], 1.0f + 0.01f * 0.5f * 6.0f);
    EXPECT_FLOAT_EQ(tornadoParticleAngle[1], 2.0f + 0.5f * 0.5f * 6.0f);
    // At the top, particle 0's radius is 52.5, at its angle before the spin.
    const PlanePoint top = quadCentre(0);
    EXPECT_NEAR(top.x, 52.5f * std::cos(1.0f), 1e-4f);
    EXPECT_NEAR(top.z, 52.5f * std::sin(1.0f), 1e-4f);

    tornadoUpdate(0.5f);
    EXPECT_EQ(tornadoParticleHeight[0], 0.0f);
    float y = 0.0f;
    const PlanePoint bottom = quadCentre(0, &y);
    EXPECT_EQ(y, 95.0f);  // at the lower end, radius 2.5
    EXPECT_NEAR(std::hypot(bottom.x, bottom.z), 2.5f, 1e-5f);
}

TEST_F(Tornado, DescendsOnTheCharacterToFiveAboveTheGroundUnderHim)
{
    // Ground -29, but 1 on a hill under the character.
    useHeightMap(heightMapWithHill(0, 200, 10.0f, 0.0f, 8.0f));
    characterPosition = Vec3{10.0f, 1.0f, 0.0f};
    tornadoSpeed = -15.0f;
    float expected = 95.0f;
    int frames = 0;
    while (tornadoSpeed != 0.0f && frames < 1000) {
        const float H = tornadoTop - tornadoBottom;
        tornadoUpdate(0.1f);
        frames++;
        // The frame's own H drives the visibility and the wind: from rest,
        // invisible (zero up to rounding) and the wind at 45.
        EXPECT_FLOAT_EQ(tornadoVisibility, 0.2f - 1.0f / H);
        EXPECT_EQ(windSound.volume, soundVolumeCentibels(static_cast<int32_t>(H) + 40));
        expected -= 1.5f;
        if (tornadoSpeed != 0.0f) {
            EXPECT_NEAR(tornadoBottom, expected, 1e-3f);
        }
    }
    EXPECT_EQ(tornadoBottom, terrainHeightAt(10.0f, 0.0f) + 5.0f);
    EXPECT_FLOAT_EQ(tornadoBottom, 6.0f);
    EXPECT_EQ(frames, 60);
    EXPECT_EQ(tornadoCentre.x, 10.0f);

    // Down: the centre stays where the descent ended.
    characterPosition.x = -20.0f;
    tornadoUpdate(0.1f);
    EXPECT_EQ(tornadoCentre.x, 10.0f);
    EXPECT_FLOAT_EQ(tornadoBottom, 6.0f);
    EXPECT_EQ(windSound.volume, soundVolumeCentibels(100));  // H = 94
    // Every particle circles the axis at (10, 0), at its own radius.
    for (int i = 0; i < TORNADO_PARTICLES; ++i) {
        const float h = tornadoParticleHeight[i];
        const float R = (50.0f + 0.1f * static_cast<float>(i)) * h * h + 2.5f;
        const PlanePoint c = quadCentre(i);
        EXPECT_NEAR(std::hypot(c.x - 10.0f, c.z), R, 1e-3f) << i;
    }
    // With the scene turned, the axis is pre-turned into the mesh's frame.
    sceneYaw = 90.0f;
    tornadoUpdate(0.0f);
    EXPECT_NEAR(tornadoViewCentre.x, 0.0f, 1e-5f);
    EXPECT_NEAR(tornadoViewCentre.z, -10.0f, 1e-5f);
}

TEST_F(Tornado, LowerEndNeverRisesPast95)
{
    // Rising: pinned at 95, its speed kept.
    tornadoBottom = 94.0f;
    tornadoSpeed = 25.0f;
    tornadoUpdate(0.1f);
    EXPECT_EQ(tornadoBottom, 95.0f);
    EXPECT_EQ(tornadoSpeed, 25.0f);
    tornadoUpdate(0.1f);
    EXPECT_EQ(tornadoBottom, 95.0f);

    // A speed within 0.01 of zero moves nothing; the turn of a centre at
    // the origin is harmless.
    tornadoBottom = 50.0f;
    tornadoSpeed = 0.01f;
    sceneYaw = 90.0f;
    tornadoUpdate(1.0f);
    tornadoSpeed = -0.01f;
    characterPosition.x = 30.0f;
    tornadoUpdate(1.0f);
    EXPECT_EQ(tornadoBottom, 50.0f);
    EXPECT_EQ(tornadoCentre.x, 0.0f);
    EXPECT_EQ(tornadoViewCentre.x, 0.0f);
    EXPECT_EQ(tornadoViewCentre.z, 0.0f);

    // Only a land raised far past its limit of 20 (a frame time of many
    // seconds) puts the ground above 90; descending, the lower end still
    // stops at 95, so the funnel keeps a height of at least 5.
    landLevel = 200.0f;
    tornadoBottom = 95.0f;
    tornadoSpeed = -15.0f;
    tornadoUpdate(0.1f);
    EXPECT_EQ(tornadoBottom, 95.0f);
    EXPECT_EQ(tornadoSpeed, 0.0f);
    tornadoUpdate(0.1f);
    EXPECT_TRUE(std::isfinite(tornadoVisibility));
    EXPECT_LT(tornadoVisibility, 0.05f);
}

TEST_F(Tornado, AnglesStayPreciseOverVeryLongRuns)
{
    // Hours of spin: the angles are brought back by whole turns, so a
    // frame's small step is never lost.
    for (int i = 0; i < TORNADO_PARTICLES; ++i)
        tornadoParticleAngle[i] = std::nextafter(LONG_ANGLE_TURNS, 0.0f);
    tornadoParticleHeight[0] = 0.98f;
    tornadoUpdate(0.01f);
    for (int i = 0; i < TORNADO_PARTICLES; ++i)
        EXPECT_LT(tornadoParticleAngle[i], 6434.0f) << i;
    EXPECT_LT(tornadoParticleAngle[0], 1.0f);  // 0.99 of the way up: 0.0012 per frame
    const float before = tornadoParticleAngle[0];
    tornadoUpdate(0.001f);
    EXPECT_GT(tornadoParticleAngle[0], before);
}
