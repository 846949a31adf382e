// The effects' geometry, which no trace shows: the lightning bolt and whom
// it hits, the tornado's particles and its descent onto the character, the
// fire's trail, the water sheet, and the director's choices that a story
// can't pin down. The flash, the fire's part in the story and the tornado's
// are told by the scene stories.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/globals.h"
#include "effects/fire.h"
#include "effects/lightning.h"
#include "effects/tornado.h"
#include "effects/water.h"
#include "scene/director.h"
#include "scene/random.h"
#include "scene/scene_state.h"
#include "scene/terrain.h"
#include "sound/sound.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/height_files.h"

namespace {

// Every effect initialised once, from the generator's first numbers, over
// flat ground at -29 with the map's first corner at -20.
class Effects : public ::testing::Test {
protected:
    void SetUp() override
    {
        static bool initialised = false;
        ASSERT_TRUE(testGlContext());
        resetSceneState();
        if (!initialised) {
            tornadoInit();
            lightningInit();
            waterInit();
            initialised = true;
        }
        std::vector<uint8_t> map(HEIGHT_MAP_BYTES, 0);
        map[0] = 60;
        useHeightMap(map);
        characterPosition = Vec3{5.0f, -29.0f, -6.0f};
    }
};

bool same(const Vec3& a, const Vec3& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Point j (0..15) of the bolt in block `block` of the lightning mesh, read
// back from its 30 quads (segment 15 to 1, across x then across z).
Vec3 boltPoint(int block, int j)
{
    const MeshVertex* segment = lightningMesh.vertices + 120 * block + 8 * (15 - (j > 0 ? j : 1));
    const int corner = j > 0 ? 0 : 3;
    return Vec3{segment[4 + corner].x, segment[corner].y, segment[corner].z};
}

// The centre of particle i's quad as the last update built it.
PlanePoint quadCentre(int i)
{
    const MeshVertex* v = tornadoMesh.vertices + 4 * i;
    return PlanePoint{0.5f * (v[0].x + v[1].x), v[0].z};
}

}  // namespace

// A zero spread never branches and never leaves the straight line.
TEST_F(Effects, BoltWithoutSpreadHasThirtyQuadsOnTheStraightLine)
{
    lightningMesh.ClearVertices();
    lightningMesh.ClearFaces();
    const Vec3 a = {-3.0f, -10.0f, 7.0f};
    const Vec3 b = {20.0f, 100.0f, -9.0f};
    lightningBolt(a, b, 0.0f);
    ASSERT_EQ(lightningMesh.vertexCount, 120);
    ASSERT_EQ(lightningMesh.faceCount, 60);
    for (int i = 1; i < 15; ++i) {
        const float t = static_cast<float>(i) / 16.0f;
        const Vec3 p = boltPoint(0, i);
        EXPECT_FLOAT_EQ(p.x, a.x + t * (b.x - a.x));
        EXPECT_FLOAT_EQ(p.y, a.y + t * (b.y - a.y));
        EXPECT_FLOAT_EQ(p.z, a.z + t * (b.z - a.z));
    }
    EXPECT_TRUE(same(boltPoint(0, 0), a));
    EXPECT_TRUE(same(boltPoint(0, 15), b));  // the last segment spans two sixteenths
    EXPECT_EQ(lightningMesh.faces[59].material, lightningMaterial);
}

// A strike aims from a point 100 up in the sky at him, or at the ground at
// the map's first corner when he swims, is caught or falls; only a hit on
// a character who is not yet burning lights the fire and sends him running.
TEST_F(Effects, StrikeHitsHimUnlessHeIsInTheWaterOrTheAir)
{
    struct Case {
        DirectorState state;
        int32_t burningBefore;
        bool hit;
        DirectorState after;
    };
    const Case cases[] = {{DirectorState::Stand, 0, true, DirectorState::Run},
                          {DirectorState::Crouch, 0, true, DirectorState::Run},
                          {DirectorState::Walk, 1, true, DirectorState::Walk},
                          {DirectorState::Swim, 0, false, DirectorState::Swim},
                          {DirectorState::Caught, 0, false, DirectorState::Caught},
                          {DirectorState::Fall, 0, false, DirectorState::Fall}};
    for (const Case& c : cases) {
        resetSceneState();
        characterPosition = Vec3{5.0f, -14.0f, -6.0f};
        directorState = c.state;
        burning = c.burningBefore;
        lightningStrike();
        const int mainBolt = lightningMesh.vertexCount / 120 - 1;  // branches come first
        EXPECT_TRUE(same(boltPoint(mainBolt, 0), c.hit ? characterPosition : Vec3{0.0f, -20.0f, 0.0f}))
            << static_cast<int>(c.state);
        EXPECT_EQ(boltPoint(mainBolt, 15).y, 100.0f);
        EXPECT_EQ(directorState, c.after);
        EXPECT_EQ(fireEnd, c.hit && !c.burningBefore ? 1 : 0);
        EXPECT_EQ(flashIntensity, 1.0f);
    }
}

// Each particle took an angle, then a height, from the generator; its quad
// is a square in the x-y plane, rebuilt in place every frame.
TEST_F(Effects, TornadoParticlesAndTheirQuads)
{
    randomSetState(1);
    for (int i = 0; i < TORNADO_PARTICLES; ++i) {
        ASSERT_EQ(tornadoParticleAngle[i], static_cast<float>(randomNext()) * 0.0027777778f) << i;
        ASSERT_EQ(tornadoParticleHeight[i], static_cast<float>(randomNext()) * 0.000030518509f) << i;
    }
    ASSERT_EQ(tornadoMesh.faceCount, 512);
    const MeshFace& last = tornadoMesh.faces[511];
    EXPECT_TRUE(last.a == 1020 && last.b == 1022 && last.c == 1023 && last.material == 0);
    tornadoUpdate(0.016f);
    const MeshVertex* storage = tornadoMesh.vertices;
    for (int frame = 0; frame < 120; ++frame) {
        tornadoUpdate(frame % 2 ? 0.016f : 0.1f);
        ASSERT_TRUE(tornadoMesh.vertexCount == 1024 && tornadoMesh.faceCount == 512);
        ASSERT_EQ(tornadoMesh.vertices, storage) << "no reallocation after the first frame";
    }
    const MeshVertex* v = tornadoMesh.vertices + 4 * 200;
    const float q = 10.0f * tornadoParticleHeight[200] + 0.5f;
    EXPECT_NEAR(v[1].x - v[0].x, 2.0f * q, 1e-4f);
    EXPECT_NEAR(v[2].y - v[1].y, 2.0f * q, 1e-4f);
    EXPECT_EQ(v[0].z, v[3].z);
    EXPECT_EQ(v[1].u + v[2].u + v[2].v + v[3].v, 4.0f);
    EXPECT_EQ(v[0].u + v[0].v + v[1].v + v[3].u, 0.0f);
}

// Descending, the lower end follows him down to 5 above the ground under
// him and stays there; the frame's extent sets the visibility and the wind,
// and every particle circles the axis at its own radius.
TEST_F(Effects, TornadoDescendsToFiveAboveTheGroundUnderHim)
{
    useHeightMap(heightMapWithHill(0, 200, 10.0f, 0.0f, 8.0f));  // ground 1 on the hill
    characterPosition = Vec3{10.0f, 1.0f, 0.0f};
    tornadoSpeed = -15.0f;
    float expected = 95.0f;
    int frames = 0;
    while (tornadoSpeed != 0.0f && frames < 1000) {
        const float H = tornadoTop - tornadoBottom;
        tornadoUpdate(0.1f);
        frames++;
        EXPECT_FLOAT_EQ(tornadoVisibility, 0.2f - 1.0f / H);
        EXPECT_EQ(windSound.volume, soundVolumeCentibels(static_cast<int32_t>(H) + 40));
        expected -= 1.5f;
        if (tornadoSpeed != 0.0f) {
            EXPECT_NEAR(tornadoBottom, expected, 1e-3f);
        }
    }
    EXPECT_FLOAT_EQ(tornadoBottom, 6.0f);
    EXPECT_EQ(frames, 60);
    characterPosition.x = -20.0f;  // down, the axis stays where the descent ended
    tornadoUpdate(0.1f);
    EXPECT_EQ(tornadoCentre.x, 10.0f);
    EXPECT_FLOAT_EQ(tornadoBottom, 6.0f);
    for (int i = 0; i < TORNADO_PARTICLES; ++i) {
        const float h = tornadoParticleHeight[i];
        const float R = (50.0f + 0.1f * static_cast<float>(i)) * h * h + 2.5f;
        const PlanePoint c = quadCentre(i);
        EXPECT_NEAR(std::hypot(c.x - 10.0f, c.z), R, 1e-3f) << i;
    }
    sceneYaw = 90.0f;  // the axis is pre-turned into the mesh's frame
    tornadoUpdate(0.0f);
    EXPECT_NEAR(tornadoViewCentre.x, 0.0f, 1e-5f);
    EXPECT_NEAR(tornadoViewCentre.z, -10.0f, 1e-5f);
}

// Caught, he circles the funnel's axis (kept in the mesh's frame, turned
// back into the world by the scene's yaw) at a radius that grows with his
// height in the funnel: 40 c^2 + 0.05, c the fraction of its height.
TEST_F(Effects, CaughtHeCirclesTheAxisWiderAsHeRises)
{
    for (const float yaw : {0.0f, 90.0f}) {
        for (const float y : {10.0f, 50.0f}) {
            resetSceneState();
            directorState = DirectorState::Caught;
            tornadoBottom = 0.0f;
            tornadoViewCentre = PlanePoint{10.0f, 0.0f};
            sceneYaw = yaw;
            characterPosition = Vec3{10.0f, y, 0.0f};
            updateDirector(0.02f);
            const float c = y / 100.0f, turn = yaw * 0.017453292f;
            EXPECT_NEAR(std::hypot(characterPosition.x - 10.0f * std::cos(turn),
                                   characterPosition.z - 10.0f * std::sin(turn)),
                        40.0f * c * c + 0.05f, 1e-3f)
                << "yaw " << yaw << ", height " << y;
        }
    }
}

// With no dry spot to walk to (all 16 tries land in the sea), an idle
// decision draws one number: even, he stands; odd, he crouches.
TEST_F(Effects, IdleWithoutADrySpotHeStandsOrCrouchesByOneDraw)
{
    useHeightMap(heightMapWithHill(0, 200, 0.0f, 0.0f, 3.0f));  // dry only around the origin
    for (const uint32_t seed : {1u, 2u, 3u, 4u}) {
        resetSceneState();
        characterPosition = Vec3{0.0f, terrainHeightAt(0.0f, 0.0f), 0.0f};
        randomSetState(seed);
        const int draw = randomNext();
        randomSetState(seed);
        updateDirector(0.02f);
        EXPECT_EQ(directorState, draw % 2 == 0 ? DirectorState::Stand : DirectorState::Crouch) << seed;
    }
}

// Every frame the trail moves a slot up, rising 5 units a second, under a
// new puff 0.3 of his scale above his feet. Lit, the visible window grows a
// slot per drawn frame to the whole trail; put out, it burns out from below.
TEST_F(Effects, FireTrailGrowsWhileLitAndBurnsOutFromBelow)
{
    ASSERT_TRUE(testGlContext());
    static bool initialised = false;
    if (!initialised) {
        fireInit();
        initialised = true;
    }
    characterScale = 10.0f;
    fireUpdate(0.1f);
    fireUpdate(0.1f);
    EXPECT_TRUE(same(firePuffs[0], Vec3{5.0f, -26.0f, -6.0f}));
    EXPECT_TRUE(same(firePuffs[1], Vec3{5.0f, -25.5f, -6.0f}));
    fireIgnite();
    int drawn = 0;
    for (; drawn < 40; ++drawn) {
        fireUpdate(0.02f);
        fireDraw();
        EXPECT_EQ(fireEnd, std::min(drawn + 2, static_cast<int>(FIRE_SLOTS))) << drawn;
    }
    EXPECT_EQ(burning, 1);
    fireIgnite();  // burning already: nothing changes
    EXPECT_TRUE(fireFirst == 0 && fireEnd == FIRE_SLOTS);
    fireExtinguish();
    for (drawn = 0; burning && drawn < 40; ++drawn) {
        fireUpdate(0.02f);
        fireDraw();
    }
    EXPECT_EQ(drawn, FIRE_SLOTS - 1);
}

// 31 columns straight across z, two faces per strip built once; the waves
// roll along x and every update rewrites the same storage.
TEST_F(Effects, WaterSheetRollsAlongXInItsOwnStorage)
{
    ASSERT_EQ(waterMesh.faceCount, 60);
    for (int j = 0; j < 30; ++j) {
        const MeshFace& a = waterMesh.faces[2 * j];
        const MeshFace& b = waterMesh.faces[2 * j + 1];
        EXPECT_TRUE(a.a == 2 * j && a.b == 2 * j + 1 && a.c == 2 * j + 3) << j;
        EXPECT_TRUE(b.a == 2 * j && b.b == 2 * j + 3 && b.c == 2 * j + 2) << j;
    }
    const MeshVertex* storage = waterMesh.vertices;
    for (float t : {0.0f, 1.25f, 1000.0f}) {
        waterUpdate(t);
        ASSERT_EQ(waterMesh.vertexCount, 62);
        EXPECT_EQ(waterMesh.vertices, storage);
        for (int i = 0; i <= 30; ++i) {
            const MeshVertex& n = waterMesh.vertices[2 * i];
            const MeshVertex& f = waterMesh.vertices[2 * i + 1];
            EXPECT_EQ(n.x, static_cast<float>((i - 15) * 4));
            EXPECT_FLOAT_EQ(n.y, std::sin(0.5f * static_cast<float>(i) + t));
            EXPECT_FLOAT_EQ(n.u, 0.1f * static_cast<float>(i));
            EXPECT_TRUE(f.x == n.x && f.y == n.y && f.u == n.u) << "column " << i;
            EXPECT_TRUE(n.z == -60.0f && f.z == 60.0f && n.v == 0.0f && f.v == 3.2f) << "column " << i;
        }
    }
}
