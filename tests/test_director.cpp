// Scene director: each transition of the character's state machine, the
// strict thresholds, the order of the checks within a frame, the turning
// rule, the bounded goal searches and the tornado's catch and fall.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/globals.h"
#include "scene/scene_state.h"
#include "effects/fire.h"
#include "effects/tornado.h"
#include "scene/director.h"
#include "scene/long_angle.h"
#include "scene/pose_program.h"
#include "scene/random.h"
#include "scene/terrain.h"
#include "sound/sound.h"
#include "tests/support/height_files.h"
#include "tests/support/sound_log.h"

namespace {

// The shared generator's next `count` numbers, left undrawn; `after`
// receives its state once they have been drawn.
std::vector<int> peekDraws(int count, uint32_t* after = nullptr)
{
    uint32_t saved = randomState();
    std::vector<int> draws;
    for (int i = 0; i < count; ++i)
        draws.push_back(randomNext());
    if (after)
        *after = randomState();
    randomSetState(saved);
    return draws;
}

class Director : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetSceneState();
        flatGround(100);  // ground -14: dry with the sea at -15
        characterMesh.SetRotation(0.0f, 0.0f, 0.0f);
        randomSetState(12345);
        soundLogStart();
    }

    // A flat map of this byte, the character standing on it.
    static void flatGround(uint8_t byte)
    {
        useFlatHeightMap(byte);
        characterPosition.y = terrainHeightAt(0.0f, 0.0f);
    }
};

}  // namespace

TEST_F(Director, DecidesAtOnceWalksArrivesAndDecidesAgain)
{
    // Stand or crouch (on dry land the first try wins either way), the
    // goal's x and z, the timer.
    const std::vector<int> r = peekDraws(4);
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Walk);
    EXPECT_EQ(walkTarget.x, static_cast<float>(r[1] % 100 - 50));
    EXPECT_EQ(walkTarget.z, static_cast<float>(r[2] % 100 - 50));
    EXPECT_EQ(actionTimer, 5.0f + static_cast<float>(r[3] % 5));
    EXPECT_EQ(poseMode, PoseMode::Walk);
    // He already took his first step toward the goal, at 4 units per second.
    EXPECT_NEAR(std::hypot(characterPosition.x, characterPosition.z), 0.08f, 1e-5f);

    // Within 20 x dt of the goal on both axes: he stands, and decides anew
    // in the next frame.
    walkTarget = PlanePoint{characterPosition.x + 0.3f, characterPosition.z - 0.3f};
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Stand);
    EXPECT_EQ(actionTimer, 0.0f);
    EXPECT_EQ(poseMode, PoseMode::Stand);
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Walk);
}

TEST_F(Director, AFloodedGoalIsReplacedInTheSameFrameIfAnyDrySpotIsLeft)
{
    // Dry only on a hill around (-20, -20); the rest is shallow water.
    useHeightMap(heightMapWithHill(70, 150, -20.0f, -20.0f, 30.0f));
    characterPosition = Vec3{-20.0f, terrainHeightAt(-20.0f, -20.0f), -20.0f};
    directorState = DirectorState::Walk;
    walkTarget = PlanePoint{40.0f, 40.0f};  // under the sea
    actionTimer = 3.0f;
    updateDirector(0.0f);  // even a frame of no time decides anew
    EXPECT_GT(terrainHeightAt(walkTarget.x, walkTarget.z), seaLevel);
    EXPECT_EQ(directorState, DirectorState::Walk);
    EXPECT_GE(actionTimer, 5.0f);

    // The sea over the hill too, not deep under him: 16 tries find no goal,
    // and he stands or crouches five to nine seconds.
    seaLevel = -6.0f;
    uint32_t after = 0;
    const std::vector<int> n = peekDraws(1 + 32 + 1, &after);  // the bit, 16 tries, the timer
    updateDirector(0.02f);
    EXPECT_EQ(randomState(), after);
    EXPECT_EQ(directorState, n[0] % 2 ? DirectorState::Crouch : DirectorState::Stand);
    EXPECT_EQ(actionTimer, 5.0f + static_cast<float>(n[33] % 5));
    // Crouching in shallow water turns into standing in the next frame.
    directorState = DirectorState::Crouch;
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Stand);
    EXPECT_EQ(poseMode, PoseMode::Stand);
}

TEST_F(Director, DeepWaterAndTheShoreHaveStrictThresholds)
{
    // Ground -29, but dry at the origin where a swimmer heads.
    useHeightMap(heightMapWithHill(0, 200, 0.0f, 0.0f, 10.0f));
    characterPosition = Vec3{40.0f, 5.0f, 0.0f};
    actionTimer = 100.0f;
    seaLevel = -24.0f;  // exactly 5 below: not deep
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Stand);
    EXPECT_EQ(characterPosition.y, -29.0f);  // on the ground: his feet follow it down

    seaLevel = -23.9f;
    for (DirectorState from : {DirectorState::Stand, DirectorState::Walk, DirectorState::Crouch}) {
        directorState = from;
        walkTarget = PlanePoint{30.0f, 30.0f};
        actionTimer = 3.0f;
        updateDirector(0.02f);
        EXPECT_EQ(directorState, DirectorState::Swim);
        EXPECT_EQ(poseMode, PoseMode::Swim);
        // He heads for the origin, and the cleared timer runs out in the same frame.
        EXPECT_EQ(walkTarget.x, 0.0f);
        EXPECT_EQ(walkTarget.z, 0.0f);
        EXPECT_GE(actionTimer, 5.0f);
    }
    directorState = DirectorState::Run;  // a runner is not switched to swimming
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Run);

    directorState = DirectorState::Swim;
    walkTarget = PlanePoint{0.0f, 0.0f};
    actionTimer = 100.0f;
    seaLevel = -25.0f;  // exactly 4 below: he keeps swimming
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Swim);
    seaLevel = -25.1f;
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Walk);
    EXPECT_EQ(poseMode, PoseMode::Walk);
    EXPECT_GE(actionTimer, 5.0f);  // the timer was cleared: a new one at once
}

TEST_F(Director, StepsTowardAPointTurnPerCallAndStopOnArrival)
{
    // Heading 360, goal straight along +z (90 degrees): the shorter way is
    // up through 360, which wraps to 3.
    EXPECT_TRUE(walkToward(0.0f, 50.0f, 0.01f));
    EXPECT_FLOAT_EQ(heading, 3.0f);
    EXPECT_FLOAT_EQ(characterMesh.rotation.y, 87.0f);
    EXPECT_NEAR(characterPosition.x, 0.04f * std::cos(3.0f * 0.017453292f), 1e-6f);
    EXPECT_NEAR(characterPosition.z, 0.04f * std::sin(3.0f * 0.017453292f), 1e-6f);
    // Swimming turns 1 degree per call, running 3 per step, 3 steps a frame.
    EXPECT_TRUE(swimToward(0.0f, 50.0f, 0.01f));
    EXPECT_FLOAT_EQ(heading, 4.0f);
    EXPECT_EQ(characterPosition.y, seaLevel - 5.0f);
    EXPECT_TRUE(runToward(0.0f, 50.0f, 0.01f));
    EXPECT_FLOAT_EQ(heading, 13.0f);

    auto turnFrom = [](float from, float goalDegrees) {
        characterPosition = Vec3{0.0f, -14.0f, 0.0f};
        heading = from;
        float goal = goalDegrees * 0.017453292f;
        walkToward(50.0f * std::cos(goal), 50.0f * std::sin(goal), 0.01f);
        return heading;
    };
    EXPECT_FLOAT_EQ(turnFrom(10.0f, 0.0f), 7.0f);     // down, toward the goal
    EXPECT_EQ(turnFrom(0.5f, 0.0f), 0.0f);            // less than a degree off: exactly on it
    EXPECT_FLOAT_EQ(turnFrom(1.0f, 350.0f), 358.0f);  // down through 0, wrapped

    // Walking arrives within 20 x dt on both axes, swimming within a fixed
    // 2 units; arriving moves and turns nothing.
    characterPosition = Vec3{10.0f, -14.0f, 10.0f};
    heading = 360.0f;
    EXPECT_FALSE(walkToward(10.9f, 9.1f, 0.05f));
    EXPECT_FALSE(swimToward(11.9f, 8.1f, 1.0f));
    EXPECT_EQ(characterPosition.x, 10.0f);
    EXPECT_EQ(heading, 360.0f);
    EXPECT_TRUE(walkToward(11.0f, 10.0f, 0.05f));  // 1.0 is not below 1.0
    // With a frame time of 0 he is never there; a step at the goal itself
    // is harmless.
    characterPosition = Vec3{10.0f, -14.0f, 10.0f};
    EXPECT_TRUE(walkToward(10.0f, 10.0f, 0.0f));
    EXPECT_EQ(characterPosition.x, 10.0f);
    EXPECT_TRUE(std::isfinite(heading));
    EXPECT_TRUE(swimToward(12.0f, 10.0f, 1.0f));  // 2 is not below 2

    // On a ramp rising along +x (byte 4c for column c) the feet ride on the
    // highest of three points: here one unit ahead of where he stood.
    std::vector<uint8_t> ramp(HEIGHT_MAP_BYTES);
    for (int i = 0; i < HEIGHT_MAP_BYTES; ++i)
        ramp[i] = static_cast<uint8_t>(4 * (i % 32));
    useHeightMap(ramp);
    characterPosition = Vec3{0.0f, 0.0f, 0.0f};
    heading = 0.0f;
    walkToward(40.0f, 0.0f, 0.1f);
    EXPECT_FLOAT_EQ(characterPosition.y, terrainHeightAt(1.0f, 0.0f));
    EXPECT_FLOAT_EQ(characterPosition.x, 0.4f);
}

TEST_F(Director, RunnerSeeksDeepWaterWithABoundedSearch)
{
    // No deep water anywhere: 100 picks of two numbers, the last one used.
    directorState = DirectorState::Run;
    actionTimer = 50.0f;
    uint32_t after = 0;
    const std::vector<int> r = peekDraws(200, &after);
    updateDirector(0.02f);
    EXPECT_EQ(randomState(), after);
    EXPECT_EQ(walkTarget.x, static_cast<float>(r[198] % 80 - 40));
    EXPECT_EQ(walkTarget.z, static_cast<float>(r[199] % 80 - 40));
    EXPECT_EQ(actionTimer, 100.0f);
    EXPECT_EQ(directorState, DirectorState::Run);

    // Deep water (ground -29) everywhere but a dry plateau around the
    // origin: the search finds it.
    useHeightMap(heightMapWithHill(0, 100, 0.0f, 0.0f, 14.0f));
    characterPosition = Vec3{0.0f, -14.0f, 0.0f};
    updateDirector(0.1f);
    EXPECT_LE(terrainHeightAt(walkTarget.x, walkTarget.z), seaLevel - 5.0f);
    EXPECT_EQ(poseMode, PoseMode::Run);
    // A goal that is already deep water is kept: no draws.
    const PlanePoint goal = walkTarget;
    const uint32_t before = randomState();
    updateDirector(0.1f);
    EXPECT_EQ(randomState(), before);
    EXPECT_EQ(walkTarget.x, goal.x);
}

TEST_F(Director, BurningInDeepWaterCrouchesHissesAndEndsTheFrameThenSwims)
{
    flatGround(0);  // ground -29: deep
    characterPosition.x = 5.0f;
    directorState = DirectorState::Run;
    burning = 1;
    fireEnd = 32;
    playSound(burnSound, true);
    tornadoBottom = -25.0f;  // within 10: would catch him, but the frame ends first
    const uint32_t before = randomState();
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Crouch);
    EXPECT_EQ(poseMode, PoseMode::Crouch);
    EXPECT_EQ(actionTimer, 5.0f);
    EXPECT_EQ(fireFirst, 1);
    EXPECT_EQ(soundLogCount(burnSound, SOUND_STOP), 1);
    EXPECT_EQ(soundLogCount(hissSound, SOUND_PLAY), 1);
    EXPECT_EQ(randomState(), before);
    EXPECT_EQ(characterPosition.x, 5.0f);

    // While the fire still shows, crouched in deep water, nothing else runs.
    setPoseMode(PoseMode::Stand);
    for (int i = 0; i < 5; ++i)
        updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Crouch);
    EXPECT_EQ(actionTimer, 5.0f);
    EXPECT_EQ(poseMode, PoseMode::Stand);
    EXPECT_EQ(soundLogCount(hissSound, SOUND_PLAY), 1);

    // Once the fire's flag is clear he swims for the origin. Arriving there
    // with deep water under him, he picks a new goal and does not move.
    burning = 0;
    tornadoBottom = 95.0f;
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Swim);
    characterPosition = Vec3{1.0f, -20.0f, -1.0f};  // within 2 of the origin
    const std::vector<int> r = peekDraws(2);
    updateDirector(0.02f);
    EXPECT_EQ(walkTarget.x, static_cast<float>(r[0] % 80 - 40));
    EXPECT_EQ(walkTarget.z, static_cast<float>(r[1] % 80 - 40));
    EXPECT_EQ(characterPosition.x, 1.0f);
    EXPECT_EQ(characterPosition.y, -29.0f);  // the ground height of the frame's start
    EXPECT_EQ(directorState, DirectorState::Swim);
    // Next frame he swims at 3 units per second, feet 5 below the surface.
    updateDirector(0.5f);
    EXPECT_EQ(characterPosition.y, -20.0f);
    EXPECT_NEAR(std::hypot(characterPosition.x - 1.0f, characterPosition.z + 1.0f), 1.5f, 1e-4f);
}

TEST_F(Director, TornadoCatchesOnlyStrictlyWithinTen)
{
    flatGround(0);  // ground -29, dry above a sea at -35
    seaLevel = -35.0f;
    actionTimer = 100.0f;
    tornadoBottom = -19.0f;
    tornadoSpeed = -15.0f;
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Stand);
    EXPECT_EQ(tornadoSpeed, -15.0f);

    tornadoBottom = -19.01f;
    burning = 1;
    fireEnd = 32;
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Caught);
    EXPECT_EQ(tornadoSpeed, 0.0f);
    EXPECT_EQ(fireFirst, 1);  // put out at the moment of capture
    EXPECT_EQ(poseMode, PoseMode::Tumble);
}

TEST_F(Director, CaughtCharacterSpiralsUpAroundTheFunnel)
{
    directorState = DirectorState::Caught;
    tornadoBottom = 0.0f;
    tornadoViewCentre = PlanePoint{10.0f, 0.0f};
    characterPosition = Vec3{10.0f, 20.0f, 0.0f};
    updateDirector(0.1f);
    const float c = 0.2f;  // (20 - 0) / 100
    EXPECT_FLOAT_EQ(spiralAngle, 1.5f * (1.0f - c) * (1.0f - c));
    EXPECT_NEAR(std::hypot(characterPosition.x - 10.0f, characterPosition.z), 40.0f * c * c + 0.05f, 1e-4f);
    EXPECT_FLOAT_EQ(characterPosition.y, 20.0f + 55.0f * 0.1f * 0.3f);  // drawn up toward 75
    EXPECT_FLOAT_EQ(tumbleAngles.x, 23.0f);
    EXPECT_FLOAT_EQ(tumbleAngles.y, 70.0f);
    EXPECT_EQ(characterMesh.rotation.y, tumbleAngles.y);

    // With the scene turned, the tornado's pre-turned centre is turned back:
    // he still circles the world centre, drifting out as he rises.
    sceneYaw = 90.0f;
    tornadoViewCentre = PlanePoint{0.0f, -10.0f};
    for (int i = 0; i < 20; ++i) {
        const float cc = characterPosition.y / 100.0f;
        updateDirector(0.1f);
        EXPECT_NEAR(std::hypot(characterPosition.x - 10.0f, characterPosition.z), 40.0f * cc * cc + 0.05f, 1e-3f);
    }
    EXPECT_LT(tumbleAngles.y, 360.0f);
    EXPECT_EQ(directorState, DirectorState::Caught);

    // After hours of spiralling the angle is brought back by whole turns.
    spiralAngle = std::nextafter(LONG_ANGLE_TURNS, 0.0f);
    updateDirector(0.01f);
    EXPECT_LT(spiralAngle, 2.0f);
    EXPECT_TRUE(std::isfinite(characterPosition.x));
}

TEST_F(Director, ReleasedCharacterLandsWithAThudOrSplashesAndSwims)
{
    directorState = DirectorState::Caught;
    characterPosition = Vec3{3.0f, 40.0f, 4.0f};
    characterMesh.SetRotation(10.0f, 45.0f, 0.0f);
    tornadoBottom = 90.5f;  // rising past 90: he is let go
    updateDirector(0.1f);
    EXPECT_EQ(directorState, DirectorState::Fall);
    EXPECT_FLOAT_EQ(fallSpeed, 57.5f);  // thrown down at 50, plus 75 x dt
    EXPECT_FLOAT_EQ(characterPosition.y, 40.0f - 5.75f);
    EXPECT_EQ(actionTimer, 1.0f);
    EXPECT_EQ(poseMode, PoseMode::Crouch);
    EXPECT_EQ(characterMesh.rotation.y, 0.0f);  // upright
    updateDirector(0.1f);                        // high above the ground: not pulled down to it
    EXPECT_FLOAT_EQ(characterPosition.y, 34.25f - 6.5f);
    for (int frames = 0; directorState == DirectorState::Fall && frames < 100; ++frames)
        updateDirector(0.1f);
    EXPECT_EQ(directorState, DirectorState::Stand);
    EXPECT_EQ(characterPosition.y, terrainHeightAt(3.0f, 4.0f));
    EXPECT_EQ(walkTarget.x, 3.0f);
    EXPECT_EQ(walkTarget.z, 4.0f);
    EXPECT_EQ(actionTimer, 2.0f);
    EXPECT_EQ(soundLogCount(thudSound, SOUND_PLAY), 1);

    // Let go more than 20 above his feet over the sea: he splashes in, 5
    // below its surface, and swims for the origin.
    useFlatHeightMap(0);  // ground -29, sea -15
    directorState = DirectorState::Caught;
    characterPosition = Vec3{3.0f, 10.0f, 4.0f};
    tornadoBottom = 31.0f;
    updateDirector(0.1f);
    ASSERT_EQ(directorState, DirectorState::Fall);
    for (int frames = 0; directorState == DirectorState::Fall && frames < 100; ++frames)
        updateDirector(0.1f);
    EXPECT_EQ(directorState, DirectorState::Swim);
    EXPECT_EQ(characterPosition.y, -20.0f);
    EXPECT_EQ(walkTarget.x, 0.0f);
    EXPECT_EQ(actionTimer, 0.0f);
    EXPECT_EQ(soundLogCount(splashSound, SOUND_PLAY), 1);
    EXPECT_EQ(soundLogCount(thudSound, SOUND_PLAY), 1);
}
