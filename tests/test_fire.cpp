// Fire: the colour table, the trail, and the visible window through
// ignition, growth, putting out and burning out, seen through what the draw
// really sends to OpenGL.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "scene/scene_state.h"
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
    resetSceneState();
    characterScale = 10.0f;
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

TEST(Fire, WhileOutTheTrailRisesUnseenAndPuttingOutChangesNothing)
{
    resetFire();
    characterPosition = Vec3{3.0f, 2.0f, -4.0f};
    fireUpdate(0.1f);
    EXPECT_TRUE(firePuffs[0].x == 3.0f && firePuffs[0].y == 5.0f && firePuffs[0].z == -4.0f);  // 2 + 0.3 x 10
    characterPosition = Vec3{7.0f, 0.0f, 1.0f};  // emitted puffs do not follow him
    fireUpdate(0.1f);
    fireUpdate(0.2f);
    EXPECT_EQ(firePuffs[0].x, 7.0f);
    EXPECT_TRUE(firePuffs[2].x == 3.0f && firePuffs[2].z == -4.0f);
    EXPECT_FLOAT_EQ(firePuffs[2].y, 5.0f + 5.0f * 0.1f + 5.0f * 0.2f);
    EXPECT_FLOAT_EQ(firePuffs[1].y, 3.0f + 5.0f * 0.2f);
    EXPECT_EQ(puffsDrawn(), 0);
    EXPECT_EQ(burning, 0);

    fireExtinguish();
    EXPECT_EQ(puffsDrawn(), 0);
    EXPECT_TRUE(fireFirst == 1 && fireEnd == 0 && burning == 0);
    EXPECT_FALSE(burnSound.started);
    // Lit again, then put out before it was ever drawn: nothing shows.
    fireIgnite();
    fireExtinguish();
    EXPECT_EQ(puffsDrawn(), 0);
    EXPECT_EQ(burning, 0);
    EXPECT_EQ(soundLogCount(burnSound, SOUND_STOP), 1);
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
    // Slot 0: white at alpha 0.6, scale 1 (a 2-unit square whose top left
    // corner comes first), centred at the emission point (10, 23).
    const FeedbackVertex& c0 = first[0].vertices[0];
    const FeedbackVertex& c2 = first[0].vertices[2];
    EXPECT_TRUE(c0.r == 1.0f && c0.g == 1.0f && c0.b == 1.0f);
    EXPECT_NEAR(c0.a, 0.6f, 1e-6f);
    const float unit = feedbackUnitsPerPixel();
    EXPECT_NEAR(c0.x * unit - 200.0f, 9.0f, 1e-3f);
    EXPECT_NEAR(c0.y * unit - 200.0f, 24.0f, 1e-3f);
    EXPECT_NEAR(c2.x * unit - 200.0f, 11.0f, 1e-3f);
    EXPECT_NEAR(c2.y * unit - 200.0f, 22.0f, 1e-3f);

    for (int n = 2; n <= 32; ++n) {
        fireUpdate(0.01f);
        EXPECT_EQ(puffsDrawn(), n);
    }
    EXPECT_EQ(puffsDrawn(), 32);  // stays full
    EXPECT_TRUE(fireFirst == 0 && fireEnd == 32);
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
    // Each draw hides the newest visible slot, in its colour; the last one
    // shows slot 31 alone.
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
    EXPECT_TRUE(fireFirst == 32 && fireEnd == 32);
    EXPECT_EQ(puffsDrawn(), 0);

    fireIgnite();  // out: lit again
    EXPECT_EQ(soundLogCount(burnSound, SOUND_LOOP), 2);
    EXPECT_TRUE(fireFirst == 0 && fireEnd == 1);

    // The colours darken up the trail, channel by channel: pure yellow at
    // slot 8, dark red at 16, nearly black at 31.
    for (int i = 1; i < FIRE_SLOTS; ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_LE(fireColours[i][c], fireColours[i - 1][c]) << "row " << i;
    EXPECT_TRUE(fireColours[8][0] == 1.0f && fireColours[8][1] == 1.0f && fireColours[8][2] == 0.0f);
    EXPECT_TRUE(fireColours[16][0] == 0.5f && fireColours[16][1] == 0.0f && fireColours[16][2] == 0.0f);
    EXPECT_TRUE(fireColours[31][0] == 0.03125f && fireColours[31][1] == 0.0f && fireColours[31][2] == 0.0f);
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
    EXPECT_TRUE(fireFirst == 2 && fireEnd == 11);
    // Nine wide until the end reaches 32, then one fewer per draw.
    int draws = 1;
    for (; fireEnd < 32; ++draws)
        EXPECT_EQ(puffsDrawn(), 9);
    EXPECT_EQ(fireFirst, 23);
    for (int shown = 9; shown >= 1; --shown, ++draws)
        EXPECT_EQ(puffsDrawn(), shown);
    EXPECT_EQ(burning, 0);
    EXPECT_EQ(draws, 22 + 9);
}
