// Lightning: the flash's decay and the strike's gate, whom the bolt hits,
// and the bolt's geometry: vertex counts with and without branches, heights
// on the straight line, the range of the sideways jitter.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/globals.h"
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
        landLevel = 0.0f;
        seaLevel = -15.0f;
        characterPosition = Vec3{5.0f, -14.0f, -6.0f};
        directorState = DirectorState::Stand;
        flashIntensity = 0.0f;
        fireFirst = 0;
        fireEnd = 0;
        burning = 0;
        lightningMesh.ClearVertices();
        lightningMesh.ClearFaces();
        randomSetState(1);
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

int boltCount()
{
    return lightningMesh.vertexCount / 120;
}

}  // namespace

TEST_F(Lightning, InitAddsTheBoltTexture)
{
    ASSERT_EQ(lightningMesh.materialCount, 1);
    EXPECT_EQ(lightningMaterial, 0);
    EXPECT_STREQ(lightningMesh.materials[0].name, "LIGHT.BMP");
    EXPECT_EQ(lightningMesh.materials[0].mipmaps, 0);
}

TEST_F(Lightning, FlashFadesByThreePerSecondToZero)
{
    flashIntensity = 1.0f;
    const float expected[] = {0.7f, 0.4f, 0.1f, 0.0f, 0.0f};
    for (float e : expected) {
        lightningDecay(0.1f);
        EXPECT_NEAR(flashIntensity, e, 1e-6f);
    }
    EXPECT_EQ(flashIntensity, 0.0f);
}

TEST_F(Lightning, StrikeIsIgnoredWhileTheFlashIsAboveOneHundredth)
{
    flashIntensity = std::nextafter(0.01f, 1.0f);
    directorState = DirectorState::Walk;
    lightningStrike();
    EXPECT_EQ(randomState(), 1u);
    EXPECT_EQ(lightningMesh.vertexCount, 0);
    EXPECT_TRUE(soundLog().empty());
    EXPECT_EQ(directorState, DirectorState::Walk);
    EXPECT_EQ(fireEnd, 0);

    flashIntensity = 0.01f;  // exactly: accepted
    lightningStrike();
    EXPECT_EQ(flashIntensity, 1.0f);
    EXPECT_GT(lightningMesh.vertexCount, 0);
    EXPECT_EQ(soundLogCount(thunderSound, SOUND_PLAY), 1);

    lightningStrike();  // at once again: ignored entirely
    EXPECT_EQ(soundLogCount(thunderSound, SOUND_PLAY), 1);
}

TEST_F(Lightning, StrikeOnADryCharacterSetsHimAlightAndRunning)
{
    int cx = randomNext() % 80 - 40;
    int cz = randomNext() % 80 - 40;
    randomSetState(1);
    directorState = DirectorState::Crouch;
    lightningStrike();

    Bolt main = boltAt(boltCount() - 1);  // branches come first, the bolt last
    EXPECT_EQ(main.p[0].x, 5.0f);
    EXPECT_EQ(main.p[0].y, -14.0f);
    EXPECT_EQ(main.p[0].z, -6.0f);
    EXPECT_EQ(main.p[15].x, static_cast<float>(cx));
    EXPECT_EQ(main.p[15].y, 100.0f);
    EXPECT_EQ(main.p[15].z, static_cast<float>(cz));
    EXPECT_EQ(directorState, DirectorState::Run);
    EXPECT_EQ(fireFirst, 0);
    EXPECT_EQ(fireEnd, 1);
    EXPECT_EQ(soundLogCount(burnSound, SOUND_LOOP), 1);
    EXPECT_EQ(soundLogCount(thunderSound, SOUND_PLAY), 1);
    EXPECT_EQ(flashIntensity, 1.0f);
}

TEST_F(Lightning, StrikeOnABurningCharacterLeavesFireAndStateAlone)
{
    directorState = DirectorState::Walk;
    burning = 1;
    fireFirst = 3;
    fireEnd = 20;
    lightningStrike();
    EXPECT_EQ(directorState, DirectorState::Walk);
    EXPECT_EQ(fireFirst, 3);
    EXPECT_EQ(fireEnd, 20);
    EXPECT_EQ(soundLogCount(burnSound, SOUND_LOOP), 0);
    EXPECT_EQ(boltAt(boltCount() - 1).p[0].x, 5.0f);  // the bolt still hits him
}

TEST_F(Lightning, SwimmingCaughtOrFallingCharacterIsSpared)
{
    for (DirectorState state : {DirectorState::Swim, DirectorState::Caught, DirectorState::Fall}) {
        directorState = state;
        flashIntensity = 0.0f;
        lightningStrike();
        Bolt main = boltAt(boltCount() - 1);
        EXPECT_EQ(main.p[0].x, 0.0f);
        EXPECT_EQ(main.p[0].y, terrainHeight(0.0f, 0.0f));
        EXPECT_FLOAT_EQ(main.p[0].y, -20.0f);
        EXPECT_EQ(main.p[0].z, 0.0f);
        EXPECT_EQ(directorState, state);
        EXPECT_EQ(fireEnd, 0);
    }
    EXPECT_EQ(soundLogCount(burnSound, SOUND_LOOP), 0);
    EXPECT_EQ(soundLogCount(thunderSound, SOUND_PLAY), 3);
}

TEST_F(Lightning, BoltWithoutBranchesHasThirtyQuadsOnTheStraightLine)
{
    // A zero spread never branches and never leaves the line.
    Vec3 a = {-3.0f, -10.0f, 7.0f};
    Vec3 b = {20.0f, 100.0f, -9.0f};
    lightningBolt(a, b, 0.0f);
    ASSERT_EQ(lightningMesh.vertexCount, 120);
    ASSERT_EQ(lightningMesh.faceCount, 60);
    Bolt bolt = boltAt(0);
    for (int i = 1; i < 15; ++i) {
        float t = static_cast<float>(i) / 16.0f;
        EXPECT_FLOAT_EQ(bolt.p[i].x, a.x + t * (b.x - a.x));
        EXPECT_FLOAT_EQ(bolt.p[i].y, a.y + t * (b.y - a.y));
        EXPECT_FLOAT_EQ(bolt.p[i].z, a.z + t * (b.z - a.z));
    }
    EXPECT_EQ(bolt.p[15].y, 100.0f);  // the last segment spans two sixteenths
    for (int f = 0; f < 60; ++f)
        EXPECT_EQ(lightningMesh.faces[f].material, lightningMaterial);
    // Texture: u across the bolt, v from 0 at the upper point to 1 at the lower.
    EXPECT_EQ(lightningMesh.vertices[1].u, 1.0f);
    EXPECT_EQ(lightningMesh.vertices[2].v, 1.0f);
    EXPECT_EQ(lightningMesh.vertices[0].v, 0.0f);
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
        ASSERT_EQ(lightningMesh.vertexCount % 120, 0);
        ASSERT_EQ(lightningMesh.faceCount * 2, lightningMesh.vertexCount);
        int bolts = boltCount();
        Bolt main = boltAt(bolts - 1);

        // Every other bolt is a branch: it starts at height -40, and each
        // bolt's heights follow its straight line exactly.
        int nested = 0;
        for (int k = 0; k < bolts; ++k) {
            Bolt bolt = boltAt(k);
            if (k < bolts - 1) {
                ASSERT_EQ(bolt.p[0].y, -40.0f) << "seed " << seed;
                bool onMain = false;
                for (int i = 1; i < 15; ++i)
                    onMain = onMain || (bolt.p[15].x == main.p[i].x && bolt.p[15].y == main.p[i].y &&
                                        bolt.p[15].z == main.p[i].z);
                nested += onMain ? 0 : 1;
                EXPECT_LE(bolt.spread, 0.375f + 1e-6f);
            }
            for (int i = 1; i < 15; ++i) {
                float t = static_cast<float>(i) * 0.0625f;
                ASSERT_EQ(bolt.p[i].y, bolt.p[0].y + t * (bolt.p[15].y - bolt.p[0].y));
            }
        }
        // The bolt's width shrinks by a quarter for each of its own branches.
        int direct = bolts - 1 - nested;
        EXPECT_FLOAT_EQ(main.spread, 1.5f * std::pow(0.75f, static_cast<float>(direct)))
            << "seed " << seed;
        strikesWithBranches += bolts > 1 ? 1 : 0;
        strikesWithNestedBranches += nested > 0 ? 1 : 0;

        // Sideways jitter: whole thirtieths of the spread, -50/30 to 49/30
        // of the starting spread 1.5.
        for (int i = 1; i < 15; ++i) {
            float t = static_cast<float>(i) * 0.0625f;
            float dx = main.p[i].x - (main.p[0].x + t * (main.p[15].x - main.p[0].x));
            float dz = main.p[i].z - (main.p[0].z + t * (main.p[15].z - main.p[0].z));
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
