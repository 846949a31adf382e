// Fire: the colour table, the trail, and the visible window through
// ignition, growth, putting out and burning out, seen through what the draw
// really sends to OpenGL.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/globals.h"
#include "effects/fire.h"
#include "tests/support/gl_feedback.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/sound_log.h"

namespace {

// Brings the fire back to its start-up state around a fresh sound record.
void resetFire()
{
    static bool initialised = false;
    ASSERT_TRUE(testGlContext());
    if (!initialised) {
        fireInit();
        initialised = true;
    }
    fireFirst = 0;
    fireEnd = 0;
    burning = 0;
    sceneYaw = 0.0f;
    characterScale = 10.0f;
    characterPosition = Vec3{0.0f, 0.0f, 0.0f};
    soundLogStart();
}

// Draws the fire once and returns the puffs drawn (two triangles each).
std::vector<FeedbackPolygon> drawFire()
{
    std::vector<FeedbackPolygon> polygons = captureFeedback(fireDraw);
    EXPECT_EQ(polygons.size() % 2, 0u);
    return polygons;
}

int puffsDrawn()
{
    return static_cast<int>(drawFire().size() / 2);
}

}  // namespace

TEST(Fire, InitBuildsOneQuadAndTheColourRamp)
{
    resetFire();
    ASSERT_EQ(firePuffMesh.materialCount, 1);
    EXPECT_STREQ(firePuffMesh.materials[0].name, "SMOKE.BMP");
    EXPECT_EQ(firePuffMesh.materials[0].mipmaps, 0);
    ASSERT_EQ(firePuffMesh.vertexCount, 4);
    ASSERT_EQ(firePuffMesh.faceCount, 2);
    const float corners[4][4] = {{-1, 1, 0, 0}, {1, 1, 1, 0}, {1, -1, 1, 1}, {-1, -1, 0, 1}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(firePuffMesh.vertices[k].x, corners[k][0]);
        EXPECT_EQ(firePuffMesh.vertices[k].y, corners[k][1]);
        EXPECT_EQ(firePuffMesh.vertices[k].z, 0.0f);
        EXPECT_EQ(firePuffMesh.vertices[k].u, corners[k][2]);
        EXPECT_EQ(firePuffMesh.vertices[k].v, corners[k][3]);
    }

    const float expected[][4] = {{0, 1, 1, 1},       {7, 1, 1, 0.125f},  {8, 1, 1, 0},
                                 {15, 0.5625f, 0.125f, 0}, {16, 0.5f, 0, 0}, {31, 0.03125f, 0, 0}};
    for (const auto& row : expected) {
        int i = static_cast<int>(row[0]);
        EXPECT_EQ(fireColours[i][0], row[1]) << "row " << i;
        EXPECT_EQ(fireColours[i][1], row[2]) << "row " << i;
        EXPECT_EQ(fireColours[i][2], row[3]) << "row " << i;
    }
    // Every channel only darkens up the trail.
    for (int i = 1; i < FIRE_SLOTS; ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_LE(fireColours[i][c], fireColours[i - 1][c]) << "row " << i;
}

TEST(Fire, TrailRisesOneSlotPerFrameFromTheEmissionPoint)
{
    resetFire();
    characterPosition = Vec3{3.0f, 2.0f, -4.0f};
    fireUpdate(0.1f);
    EXPECT_EQ(firePuffs[0].x, 3.0f);
    EXPECT_EQ(firePuffs[0].y, 5.0f);  // 2 + 0.3 x scale 10
    EXPECT_EQ(firePuffs[0].z, -4.0f);

    characterPosition = Vec3{7.0f, 0.0f, 1.0f};  // emitted puffs do not follow him
    fireUpdate(0.1f);
    fireUpdate(0.2f);
    EXPECT_EQ(firePuffs[0].x, 7.0f);
    EXPECT_EQ(firePuffs[2].x, 3.0f);
    EXPECT_EQ(firePuffs[2].z, -4.0f);
    EXPECT_FLOAT_EQ(firePuffs[2].y, 5.0f + 5.0f * 0.1f + 5.0f * 0.2f);
    EXPECT_FLOAT_EQ(firePuffs[1].y, 3.0f + 5.0f * 0.2f);

    // Nothing shows while the fire is out, although the trail is filled.
    EXPECT_EQ(puffsDrawn(), 0);
    EXPECT_EQ(burning, 0);
}

TEST(Fire, IgniteGrowsOnePuffPerDrawAndBurningFollowsTheDraw)
{
    resetFire();
    characterPosition = Vec3{10.0f, 20.0f, 0.0f};
    fireUpdate(0.0f);
    fireIgnite();
    EXPECT_EQ(soundLogCount(burnSound, SOUND_LOOP), 1);
    EXPECT_EQ(burning, 0) << "burning is refreshed only by the draw";

    std::vector<FeedbackPolygon> first = drawFire();
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(burning, 1);
    // Slot 0: white at alpha 0.6, scale 1 (2 units wide), at the emission point.
    const FeedbackVertex& v = first[0].vertices[0];
    EXPECT_FLOAT_EQ(v.r, 1.0f);
    EXPECT_FLOAT_EQ(v.b, 1.0f);
    EXPECT_NEAR(v.a, 0.6f, 1e-6f);
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (const FeedbackPolygon& p : first)
        for (const FeedbackVertex& c : p.vertices) {
            minX = std::min(minX, c.x);
            maxX = std::max(maxX, c.x);
            minY = std::min(minY, c.y);
            maxY = std::max(maxY, c.y);
        }
    float unit = feedbackUnitsPerPixel();
    EXPECT_NEAR((maxX - minX) * unit, 2.0f, 1e-3f);
    EXPECT_NEAR((minX + maxX) * 0.5f * unit - 200.0f, 10.0f, 1e-3f);
    EXPECT_NEAR((minY + maxY) * 0.5f * unit - 200.0f, 23.0f, 1e-3f);

    for (int n = 2; n <= 32; ++n) {
        fireUpdate(0.01f);
        EXPECT_EQ(puffsDrawn(), n);
    }
    EXPECT_EQ(fireFirst, 0);
    EXPECT_EQ(fireEnd, 32);
    EXPECT_EQ(puffsDrawn(), 32);  // stays full
    EXPECT_EQ(firePuffMesh.scale, 1.96875f);  // the oldest puff is drawn last

    fireIgnite();  // refused while burning
    EXPECT_EQ(soundLogCount(burnSound, SOUND_LOOP), 1);
    EXPECT_EQ(fireEnd, 32);
}

TEST(Fire, ExtinguishedFullFireBurnsOutFromBelow)
{
    resetFire();
    fireIgnite();
    for (int n = 0; n < 32; ++n)
        fireDraw();
    ASSERT_EQ(fireEnd, 32);

    fireExtinguish();
    EXPECT_EQ(soundLogCount(burnSound, SOUND_STOP), 1);
    EXPECT_EQ(fireFirst, 1);
    // Each draw hides the newest visible slot; the last one shows slot 31 alone.
    for (int shown = 31; shown >= 1; --shown) {
        std::vector<FeedbackPolygon> polygons = drawFire();
        ASSERT_EQ(static_cast<int>(polygons.size()), 2 * shown);
        EXPECT_FLOAT_EQ(polygons[0].vertices[0].r, fireColours[32 - shown][0]);
        EXPECT_EQ(burning, shown > 1 ? 1 : 0);
        if (shown == 16) {
            fireIgnite();  // refused while dying: no sound, the window keeps shrinking
            EXPECT_EQ(soundLogCount(burnSound, SOUND_LOOP), 1);
        }
    }
    EXPECT_EQ(fireFirst, 32);
    EXPECT_EQ(fireEnd, 32);
    EXPECT_EQ(puffsDrawn(), 0);

    fireIgnite();  // out: lit again
    EXPECT_EQ(soundLogCount(burnSound, SOUND_LOOP), 2);
    EXPECT_EQ(fireFirst, 0);
    EXPECT_EQ(fireEnd, 1);
}

TEST(Fire, ExtinguishedMidGrowthMovesANinePuffWindowUp)
{
    resetFire();
    fireIgnite();
    for (int n = 0; n < 9; ++n)
        fireDraw();
    ASSERT_EQ(fireEnd, 10);

    fireExtinguish();
    std::vector<FeedbackPolygon> polygons = drawFire();
    ASSERT_EQ(polygons.size(), 18u);  // slots 1 to 9
    EXPECT_FLOAT_EQ(polygons[0].vertices[0].b, fireColours[1][2]);
    EXPECT_EQ(fireFirst, 2);
    EXPECT_EQ(fireEnd, 11);

    // Nine wide until the end reaches 32, then one fewer per draw.
    int draws = 1;
    while (fireEnd < 32) {
        EXPECT_EQ(puffsDrawn(), 9);
        draws++;
    }
    EXPECT_EQ(fireFirst, 23);
    for (int shown = 9; shown >= 1; --shown) {
        EXPECT_EQ(puffsDrawn(), shown);
        draws++;
    }
    EXPECT_EQ(burning, 0);
    EXPECT_EQ(draws, 22 + 9);
}

TEST(Fire, ExtinguishWhileOutChangesNothingVisible)
{
    resetFire();
    fireExtinguish();
    EXPECT_EQ(fireFirst, 1);
    EXPECT_EQ(fireEnd, 0);
    EXPECT_EQ(puffsDrawn(), 0);
    EXPECT_EQ(burning, 0);
    EXPECT_EQ(fireFirst, 1);
    EXPECT_EQ(fireEnd, 0);
    EXPECT_FALSE(burnSound.started);

    // Lit again, then put out before it was ever drawn: nothing shows.
    fireIgnite();
    fireExtinguish();
    EXPECT_EQ(puffsDrawn(), 0);
    EXPECT_EQ(burning, 0);
    EXPECT_EQ(soundLogCount(burnSound, SOUND_STOP), 1);
}
