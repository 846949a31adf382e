// Lightning: the strike's gate at the end of the flash, whom the bolt hits,
// and the bolt's geometry: vertex counts with and without branches, heights
// on the straight line, the range of the sideways jitter.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/globals.h"
#include "scene/scene_state.h"
#include "effects/fire.h"
#include "effects/lightning.h"
#include "scene/director.h"
#include "scene/random.h"
#include "scene/terrain.h"
#include "sound/sound.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/height_files.h"
#include "tests/support/sound_log.h"

namespace {

class Lightning : public ::testing::Test {
protected:
    void SetUp() override
    {
        static bool initialised = false;
        ASSERT_TRUE(testGlContext());
        if (!initialised) {
            lightningInit();
            initialised = true;
        }
        std::vector<uint8_t> map(HEIGHT_MAP_BYTES, 100);
        map[0] = 60;  // the map's first corner: ground -20
        useHeightMap(map);
        resetSceneState();
        characterPosition = Vec3{5.0f, -14.0f, -6.0f};
        lightningMesh.ClearVertices();
        lightningMesh.ClearFaces();
        soundLogStart();
    }
};

// One bolt of the mesh: its 16 points and its final half-width, read back
// from its 30 quads (segment 15 to 1, across x then across z).
struct Bolt {
    Vec3 p[16];
    float spread;
};

Bolt boltAt(int block)
{
    const MeshVertex* v = lightningMesh.vertices + 120 * block;
    Bolt bolt;
    for (int k = 0; k < 15; ++k) {
        const MeshVertex* acrossX = v + 8 * k;
        const MeshVertex* acrossZ = acrossX + 4;
        int j = 15 - k;
        bolt.p[j] = Vec3{acrossZ[0].x, acrossX[0].y, acrossX[0].z};
        bolt.p[j - 1] = Vec3{acrossZ[3].x, acrossX[3].y, acrossX[3].z};
    }
    bolt.spread = 0.5f * (v[1].x - v[0].x);
    return bolt;
}

// The bolt the strike aimed: branches come first, the bolt itself last.
Bolt mainBolt()
{
    return boltAt(lightningMesh.vertexCount / 120 - 1);
}

bool same(const Vec3& a, const Vec3& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

}  // namespace

TEST_F(Lightning, StrikeGateAndWhomTheBoltSetsAlight)
{
    const int cx = randomNext() % 80 - 40;
    const int cz = randomNext() % 80 - 40;
    randomSetState(1);
    // Above a hundredth of flash, a strike does nothing at all.
    flashIntensity = std::nextafter(0.01f, 1.0f);
    directorState = DirectorState::Crouch;
    lightningStrike();
    EXPECT_EQ(randomState(), 1u);
    EXPECT_EQ(lightningMesh.vertexCount, 0);
    EXPECT_TRUE(soundLog().empty());
    EXPECT_EQ(directorState, DirectorState::Crouch);
    EXPECT_EQ(fireEnd, 0);

    // Exactly 0.01 is accepted: a bolt from the dry character to the sky
    // sets him alight and running.
    flashIntensity = 0.01f;
    lightningStrike();
    EXPECT_EQ(flashIntensity, 1.0f);
    const Bolt bolt = mainBolt();
    EXPECT_TRUE(same(bolt.p[0], characterPosition));
    EXPECT_TRUE(same(bolt.p[15], Vec3{static_cast<float>(cx), 100.0f, static_cast<float>(cz)}));
    EXPECT_EQ(directorState, DirectorState::Run);
    EXPECT_TRUE(fireFirst == 0 && fireEnd == 1);
    EXPECT_EQ(soundLogCount(burnSound, SOUND_LOOP), 1);
    EXPECT_EQ(soundLogCount(thunderSound, SOUND_PLAY), 1);
    lightningStrike();  // at once again: ignored entirely
    EXPECT_EQ(soundLogCount(thunderSound, SOUND_PLAY), 1);

    // Already burning: the bolt still hits him, but fire and state stay.
    directorState = DirectorState::Walk;
    burning = 1;
    fireFirst = 3;
    fireEnd = 20;
    flashIntensity = 0.0f;
    lightningStrike();
    EXPECT_TRUE(same(mainBolt().p[0], characterPosition));
    EXPECT_EQ(directorState, DirectorState::Walk);
    EXPECT_TRUE(fireFirst == 3 && fireEnd == 20);
    EXPECT_EQ(soundLogCount(burnSound, SOUND_LOOP), 1);
}

TEST_F(Lightning, SwimmingCaughtOrFallingCharacterIsSpared)
{
    for (DirectorState state : {DirectorState::Swim, DirectorState::Caught, DirectorState::Fall}) {
        directorState = state;
        flashIntensity = 0.0f;
        lightningStrike();
        // The bolt ends at the origin, at the height of the map's first corner.
        EXPECT_TRUE(same(mainBolt().p[0], Vec3{0.0f, terrainHeight(0.0f, 0.0f), 0.0f}));
        EXPECT_FLOAT_EQ(mainBolt().p[0].y, -20.0f);
        EXPECT_EQ(directorState, state);
        EXPECT_EQ(fireEnd, 0);
    }
    EXPECT_EQ(soundLogCount(burnSound, SOUND_LOOP), 0);
    EXPECT_EQ(soundLogCount(thunderSound, SOUND_PLAY), 3);
}

TEST_F(Lightning, BoltWithoutBranchesHasThirtyQuadsOnTheStraightLine)
{
    // A zero spread never branches and never leaves the line.
    const Vec3 a = {-3.0f, -10.0f, 7.0f};
    const Vec3 b = {20.0f, 100.0f, -9.0f};
    lightningBolt(a, b, 0.0f);
    ASSERT_EQ(lightningMesh.vertexCount, 120);
    ASSERT_EQ(lightningMesh.faceCount, 60);
    const Bolt bolt = boltAt(0);
    for (int i = 1; i < 15; ++i) {
        const float t = static_cast<float>(i) / 16.0f;
        EXPECT_FLOAT_EQ(bolt.p[i].x, a.x + t * (b.x - a.x));
        EXPECT_FLOAT_EQ(bolt.p[i].y, a.y + t * (b.y - a.y));
        EXPECT_FLOAT_EQ(bolt.p[i].z, a.z + t * (b.z - a.z));
    }
    EXPECT_TRUE(same(bolt.p[15], b));  // the last segment spans two sixteenths
    EXPECT_EQ(lightningMesh.faces[59].material, lightningMaterial);
}

TEST_F(Lightning, BranchedBoltsKeepTheirShape)
{
    int strikesWithBranches = 0;
    int strikesWithNestedBranches = 0;
    float smallestJitter = 0.0f, largestJitter = 0.0f;
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        randomSetState(seed);
        flashIntensity = 0.0f;
        burning = 1;  // keep the fire out of it
        lightningStrike();
        // 120 vertices and 60 faces for every bolt, branch or not.
        ASSERT_EQ(lightningMesh.vertexCount % 120, 0);
        ASSERT_EQ(lightningMesh.faceCount * 2, lightningMesh.vertexCount);
        const int bolts = lightningMesh.vertexCount / 120;
        const Bolt main = boltAt(bolts - 1);

        // Every other bolt is a branch: it starts at height -40 and ends on
        // a point of the main bolt, or of another branch if it is nested.
        // Each bolt's heights follow its straight line exactly.
        int nested = 0;
        for (int k = 0; k < bolts; ++k) {
            const Bolt bolt = boltAt(k);
            if (k < bolts - 1) {
                ASSERT_EQ(bolt.p[0].y, -40.0f) << "seed " << seed;
                bool onMain = false;
                for (int i = 1; i < 15; ++i)
                    onMain = onMain || same(bolt.p[15], main.p[i]);
                nested += onMain ? 0 : 1;
                EXPECT_LE(bolt.spread, 0.375f + 1e-6f);
            }
            for (int i = 1; i < 15; ++i) {
                const float t = static_cast<float>(i) * 0.0625f;
                ASSERT_EQ(bolt.p[i].y, bolt.p[0].y + t * (bolt.p[15].y - bolt.p[0].y));
            }
        }
        // The bolt's width shrinks by a quarter for each of its own branches.
        const int direct = bolts - 1 - nested;
        EXPECT_FLOAT_EQ(main.spread, 1.5f * std::pow(0.75f, static_cast<float>(direct))) << "seed " << seed;
        strikesWithBranches += bolts > 1 ? 1 : 0;
        strikesWithNestedBranches += nested > 0 ? 1 : 0;

        // Sideways jitter: whole thirtieths of the spread, -50/30 to 49/30
        // of the starting spread 1.5.
        for (int i = 1; i < 15; ++i) {
            const float t = static_cast<float>(i) * 0.0625f;
            const float dx = main.p[i].x - (main.p[0].x + t * (main.p[15].x - main.p[0].x));
            const float dz = main.p[i].z - (main.p[0].z + t * (main.p[15].z - main.p[0].z));
            for (float d : {dx, dz}) {
                EXPECT_GE(d, -2.5f - 1e-4f);
                EXPECT_LE(d, 2.45f + 1e-4f);
                smallestJitter = std::min(smallestJitter, d);
                largestJitter = std::max(largestJitter, d);
            }
        }
    }
    EXPECT_GT(strikesWithBranches, 150);
    EXPECT_GT(strikesWithNestedBranches, 5);
    EXPECT_LT(smallestJitter, -2.0f);
    EXPECT_GT(largestJitter, 2.0f);
}
