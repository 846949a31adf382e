// Scene director: each transition of the character's state machine, the
// strict thresholds, the order of the checks within a frame, the turning
// rule, the bounded goal searches and the tornado's catch and fall.
#include <gtest/gtest.h>

#include <cmath>

#include "app/globals.h"
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

// Height of map byte b with the land at 0.
float groundOf(int b)
{
    return static_cast<float>(b) * 0.15f - 29.0f;
}

class Director : public ::testing::Test {
protected:
    void SetUp() override
    {
        useFlatHeightMap(100);  // ground -14: dry with the sea at -15
        landLevel = 0.0f;
        seaLevel = -15.0f;
        sceneYaw = 0.0f;
        characterPosition = Vec3{0.0f, groundOf(100), 0.0f};
        characterMesh.SetRotation(0.0f, 0.0f, 0.0f);
        directorState = DirectorState::Stand;
        heading = 360.0f;
        walkTarget = PlanePoint{0.0f, 0.0f};
        actionTimer = 0.0f;
        fallSpeed = 0.0f;
        spiralAngle = 0.0f;
        tumbleAngles = Vec3{0.0f, 0.0f, 0.0f};
        fireFirst = 0;
        fireEnd = 0;
        burning = 0;
        tornadoBottom = 95.0f;
        tornadoSpeed = 0.0f;
        tornadoViewCentre = PlanePoint{0.0f, 0.0f};
        randomSetState(12345);
        soundLogStart();
    }

    // The generator's state after `draws` more numbers from now.
    static uint32_t stateAfter(int draws)
    {
        uint32_t saved = randomState();
        for (int i = 0; i < draws; ++i)
            randomNext();
        uint32_t after = randomState();
        randomSetState(saved);
        return after;
    }
};

}  // namespace

TEST_F(Director, StartsStandingAndDecidesInItsFirstFrame)
{
    // A fresh program: the first frame takes a decision at once.
    uint32_t saved = randomState();
    randomNext();  // stand or crouch: on dry land the first try wins either way
    float gx = static_cast<float>(randomNext() % 100 - 50);
    float gz = static_cast<float>(randomNext() % 100 - 50);
    float timer = 5.0f + static_cast<float>(randomNext() % 5);
    randomSetState(saved);

    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Walk);
    EXPECT_EQ(walkTarget.x, gx);
    EXPECT_EQ(walkTarget.z, gz);
    EXPECT_EQ(actionTimer, timer);
    EXPECT_EQ(poseMode, PoseMode::Walk);
    // He already took his first step toward the goal, at 4 units per second.
    float moved = std::hypot(characterPosition.x, characterPosition.z);
    EXPECT_NEAR(moved, 0.08f, 1e-5f);
}

TEST_F(Director, NoDryGoalLeavesHimStandingOrCrouchingFiveToNineSeconds)
{
    useFlatHeightMap(70);  // ground -18.5: below the sea but not deep
    characterPosition.y = groundOf(70);
    uint32_t expected = stateAfter(1 + 32 + 1);  // the bit, 16 tries, the timer
    updateDirector(0.02f);
    EXPECT_EQ(randomState(), expected);
    EXPECT_TRUE(directorState == DirectorState::Stand || directorState == DirectorState::Crouch);
    EXPECT_GE(actionTimer, 5.0f);
    EXPECT_LE(actionTimer, 9.0f);
    // Crouching in shallow water turns into standing in the next frame.
    directorState = DirectorState::Crouch;
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Stand);
    EXPECT_EQ(poseMode, PoseMode::Stand);
}

TEST_F(Director, DeepWaterIsStrictlyMoreThanFiveBelowTheSea)
{
    useFlatHeightMap(0);  // ground -29
    characterPosition.y = -29.0f;
    actionTimer = 100.0f;

    seaLevel = -24.0f;  // exactly 5 below: not deep
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Stand);

    seaLevel = -23.9f;
    characterPosition = Vec3{20.0f, -29.0f, 20.0f};
    for (DirectorState from : {DirectorState::Stand, DirectorState::Walk, DirectorState::Crouch}) {
        directorState = from;
        walkTarget = PlanePoint{30.0f, 30.0f};
        actionTimer = 3.0f;
        updateDirector(0.02f);
        EXPECT_EQ(directorState, DirectorState::Swim);
        EXPECT_EQ(poseMode, PoseMode::Swim);
        // He heads for the origin at once: the timer ran out in the same frame.
        EXPECT_EQ(walkTarget.x, 0.0f);
        EXPECT_EQ(walkTarget.z, 0.0f);
        EXPECT_GE(actionTimer, 5.0f);
        EXPECT_EQ(characterPosition.y, seaLevel - 5.0f);
    }

    // A runner is not switched to swimming.
    directorState = DirectorState::Run;
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Run);
}

TEST_F(Director, SwimmingEndsStrictlyAboveFourBelowTheSea)
{
    // Ground -29, but dry at the origin where he swims to.
    useHeightMap(heightMapWithHill(0, 200, 0.0f, 0.0f, 10.0f));
    characterPosition = Vec3{40.0f, -30.0f, 0.0f};
    directorState = DirectorState::Swim;
    actionTimer = 100.0f;

    seaLevel = -25.0f;  // exactly 4 below: he keeps swimming
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Swim);

    seaLevel = -25.1f;  // the ground is now above the sea less 4: ashore
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Walk);
    EXPECT_EQ(poseMode, PoseMode::Walk);
    EXPECT_GE(actionTimer, 5.0f);  // the timer was cleared: a new one at once

    // In the one-unit band between the two thresholds nothing flips.
    seaLevel = -24.5f;
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Walk);
    directorState = DirectorState::Swim;
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Swim);
}

TEST_F(Director, AFloodedGoalIsReplacedInTheSameFrame)
{
    // Dry only on a hill around (-20, -20); the rest is shallow water.
    useHeightMap(heightMapWithHill(70, 150, -20.0f, -20.0f, 30.0f));
    characterPosition = Vec3{-20.0f, terrainHeightAt(-20.0f, -20.0f), -20.0f};
    directorState = DirectorState::Walk;
    walkTarget = PlanePoint{40.0f, 40.0f};  // under the sea
    actionTimer = 3.0f;

    updateDirector(0.02f);
    EXPECT_GT(terrainHeightAt(walkTarget.x, walkTarget.z), seaLevel);
    EXPECT_EQ(directorState, DirectorState::Walk);
    EXPECT_GE(actionTimer, 5.0f);
    EXPECT_LE(actionTimer, 9.0f);
}

TEST_F(Director, WalkerArrivesAndStandsThenDecidesNextFrame)
{
    directorState = DirectorState::Walk;
    actionTimer = 3.0f;
    walkTarget = PlanePoint{0.3f, -0.3f};  // within 20 x dt on both axes
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Stand);
    EXPECT_EQ(actionTimer, 0.0f);
    EXPECT_EQ(characterPosition.x, 0.0f);
    EXPECT_EQ(poseMode, PoseMode::Stand);

    updateDirector(0.02f);  // the timer runs out: a new goal
    EXPECT_EQ(directorState, DirectorState::Walk);
}

TEST_F(Director, TurningRuleStepsPerCallTheShorterWay)
{
    // Heading 360, goal straight along +z (90 degrees): the shorter way is
    // up through 360, which wraps to 3.
    heading = 360.0f;
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

    // Goal at 0 degrees from heading 10: turn down, toward it.
    characterPosition = Vec3{0.0f, -14.0f, 0.0f};
    heading = 10.0f;
    walkToward(50.0f, 0.0f, 0.01f);
    EXPECT_FLOAT_EQ(heading, 7.0f);
    // Less than a degree off: he takes the goal's heading exactly.
    characterPosition = Vec3{0.0f, -14.0f, 0.0f};
    heading = 0.5f;
    walkToward(50.0f, 0.0f, 0.01f);
    EXPECT_EQ(heading, 0.0f);
    // Below zero wraps up: from 1 toward 350 goes to 358... via -2.
    characterPosition = Vec3{0.0f, -14.0f, 0.0f};
    heading = 1.0f;
    walkToward(50.0f * std::cos(350.0f * 0.017453292f), 50.0f * std::sin(350.0f * 0.017453292f),
               0.01f);
    EXPECT_FLOAT_EQ(heading, 358.0f);
}

TEST_F(Director, ArrivalThresholdsAndStandingStill)
{
    // Walking: within 20 x dt on both axes is arrival; nothing moves.
    characterPosition = Vec3{10.0f, -14.0f, 10.0f};
    EXPECT_FALSE(walkToward(10.9f, 9.1f, 0.05f));
    EXPECT_EQ(characterPosition.x, 10.0f);
    EXPECT_EQ(heading, 360.0f);
    EXPECT_TRUE(walkToward(11.0f, 10.0f, 0.05f));  // 1.0 is not below 1.0
    // With a frame time of 0 he is never there, and stepping at the goal
    // itself is harmless.
    characterPosition = Vec3{10.0f, -14.0f, 10.0f};
    EXPECT_TRUE(walkToward(10.0f, 10.0f, 0.0f));
    EXPECT_EQ(characterPosition.x, 10.0f);
    EXPECT_TRUE(std::isfinite(heading));
    // Swimming: a fixed 2 units.
    EXPECT_FALSE(swimToward(11.9f, 8.1f, 1.0f));
    EXPECT_TRUE(swimToward(12.0f, 10.0f, 1.0f));
}

TEST_F(Director, WalkerRidesTheHighestOfThreePointsOnASlope)
{
    // A ramp rising along +x: byte 4c for column c.
    std::vector<uint8_t> ramp(HEIGHT_MAP_BYTES);
    for (int r = 0; r < 32; ++r)
        for (int c = 0; c < 32; ++c)
            ramp[r * 32 + c] = static_cast<uint8_t>(4 * c);
    useHeightMap(ramp);
    characterPosition = Vec3{0.0f, 0.0f, 0.0f};
    heading = 0.0f;
    walkToward(40.0f, 0.0f, 0.1f);
    // One unit ahead of where he stood is the highest of the three.
    EXPECT_FLOAT_EQ(characterPosition.y, terrainHeightAt(1.0f, 0.0f));
    EXPECT_FLOAT_EQ(characterPosition.x, 0.4f);
}

TEST_F(Director, FeetFollowTheGroundUnlessInTheAir)
{
    characterPosition.y = 5.0f;
    actionTimer = 100.0f;
    updateDirector(0.02f);
    EXPECT_EQ(characterPosition.y, terrainHeightAt(0.0f, 0.0f));  // on the ground: down to it

    landLevel = -3.0f;  // the land sinks under him
    updateDirector(0.02f);
    EXPECT_FLOAT_EQ(characterPosition.y, groundOf(100) - 3.0f);

    // Falling high above, he is not pulled down.
    directorState = DirectorState::Fall;
    characterPosition.y = 60.0f;
    fallSpeed = 0.0f;
    updateDirector(0.0f);
    EXPECT_EQ(characterPosition.y, 60.0f);
}

TEST_F(Director, RunnerHeadsForDeepWaterAtTwelveUnitsPerSecond)
{
    // Deep water (byte 0, ground -29) everywhere but a dry plateau around
    // the origin.
    useHeightMap(heightMapWithHill(0, 100, 0.0f, 0.0f, 14.0f));
    directorState = DirectorState::Run;
    walkTarget = PlanePoint{0.0f, 0.0f};
    updateDirector(0.1f);
    EXPECT_LE(terrainHeightAt(walkTarget.x, walkTarget.z), seaLevel - 5.0f);
    EXPECT_EQ(actionTimer, 100.0f);
    EXPECT_EQ(poseMode, PoseMode::Run);
    EXPECT_NEAR(std::hypot(characterPosition.x, characterPosition.z), 1.2f, 0.05f);
    // A goal that is already deep water is kept: no draws.
    PlanePoint goal = walkTarget;
    uint32_t before = randomState();
    updateDirector(0.1f);
    EXPECT_EQ(randomState(), before);
    EXPECT_EQ(walkTarget.x, goal.x);
}

TEST_F(Director, RunnersGoalSearchStopsAfterAHundredPicks)
{
    // No deep water anywhere: 100 picks of two numbers, the last one used.
    directorState = DirectorState::Run;
    actionTimer = 50.0f;
    uint32_t saved = randomState();
    float x = 0.0f, z = 0.0f;
    for (int i = 0; i < 100; ++i) {
        x = static_cast<float>(randomNext() % 80 - 40);
        z = static_cast<float>(randomNext() % 80 - 40);
    }
    uint32_t expected = randomState();
    randomSetState(saved);
    updateDirector(0.02f);
    EXPECT_EQ(randomState(), expected);
    EXPECT_EQ(walkTarget.x, x);
    EXPECT_EQ(walkTarget.z, z);
    EXPECT_EQ(directorState, DirectorState::Run);
}

TEST_F(Director, BurningInDeepWaterCrouchesHissesAndEndsTheFrame)
{
    useFlatHeightMap(0);  // ground -29: deep
    characterPosition = Vec3{5.0f, -29.0f, 5.0f};
    directorState = DirectorState::Run;
    burning = 1;
    fireFirst = 0;
    fireEnd = 32;
    playSound(burnSound, true);
    tornadoBottom = -25.0f;  // within 10: would catch him, but the frame ends first
    uint32_t before = randomState();

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

    // Once the fire is out he swims (and the tornado catches him now).
    burning = 0;
    tornadoBottom = 95.0f;
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Swim);
}

TEST_F(Director, SwimmerAtHisGoalInTheWaterPicksANewOne)
{
    useFlatHeightMap(0);
    characterPosition = Vec3{1.0f, -20.0f, -1.0f};  // within 2 of the origin
    directorState = DirectorState::Swim;
    actionTimer = 50.0f;
    uint32_t saved = randomState();
    float x = static_cast<float>(randomNext() % 80 - 40);
    float z = static_cast<float>(randomNext() % 80 - 40);
    randomSetState(saved);
    updateDirector(0.02f);
    EXPECT_EQ(walkTarget.x, x);
    EXPECT_EQ(walkTarget.z, z);
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
    useFlatHeightMap(0);  // ground -29, dry above a sea at -35
    seaLevel = -35.0f;
    characterPosition.y = -29.0f;
    actionTimer = 100.0f;
    tornadoBottom = -19.0f;
    tornadoSpeed = -15.0f;
    updateDirector(0.02f);
    EXPECT_EQ(directorState, DirectorState::Stand);
    EXPECT_EQ(tornadoSpeed, -15.0f);

    tornadoBottom = -19.01f;
    burning = 1;
    fireFirst = 0;
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
    tornadoCentre = PlanePoint{10.0f, 0.0f};
    tornadoViewCentre = PlanePoint{10.0f, 0.0f};
    characterPosition = Vec3{10.0f, 20.0f, 0.0f};

    updateDirector(0.1f);
    float c = 0.2f;  // (20 - 0) / 100
    float r = 40.0f * c * c + 0.05f;
    EXPECT_FLOAT_EQ(spiralAngle, 1.5f * (1.0f - c) * (1.0f - c));
    EXPECT_NEAR(std::hypot(characterPosition.x - 10.0f, characterPosition.z), r, 1e-4f);
    EXPECT_FLOAT_EQ(characterPosition.y, 20.0f + 55.0f * 0.1f * 0.3f);
    EXPECT_FLOAT_EQ(tumbleAngles.x, 23.0f);
    EXPECT_FLOAT_EQ(tumbleAngles.y, 70.0f);
    EXPECT_EQ(tumbleAngles.z, 0.0f);
    EXPECT_EQ(characterMesh.rotation.y, tumbleAngles.y);
    EXPECT_EQ(poseMode, PoseMode::Tumble);

    // With the scene turned, the tornado's pre-turned centre is turned back:
    // he still circles the world centre.
    sceneYaw = 90.0f;
    tornadoViewCentre = PlanePoint{0.0f, -10.0f};
    for (int i = 0; i < 20; ++i) {
        float cc = characterPosition.y / 100.0f;
        float rr = 40.0f * cc * cc + 0.05f;
        updateDirector(0.1f);
        EXPECT_NEAR(std::hypot(characterPosition.x - 10.0f, characterPosition.z), rr, 1e-3f);
    }
    EXPECT_GT(characterPosition.y, 40.0f);
    EXPECT_LT(characterPosition.y, 75.0f);
    EXPECT_LT(tumbleAngles.y, 360.0f);
    EXPECT_EQ(directorState, DirectorState::Caught);
}

TEST_F(Director, SpiralAngleStaysPreciseOverVeryLongRuns)
{
    directorState = DirectorState::Caught;
    tornadoBottom = 0.0f;
    characterPosition = Vec3{0.0f, 10.0f, 0.0f};
    spiralAngle = std::nextafter(LONG_ANGLE_TURNS, 0.0f);
    updateDirector(0.01f);
    EXPECT_LT(spiralAngle, 2.0f);
    EXPECT_TRUE(std::isfinite(characterPosition.x));
}

TEST_F(Director, ReleasedCharacterFallsAndLandsWithAThud)
{
    directorState = DirectorState::Caught;
    characterPosition = Vec3{3.0f, 40.0f, 4.0f};
    tornadoBottom = 90.5f;  // rising past 90: he is let go
    updateDirector(0.1f);
    EXPECT_EQ(directorState, DirectorState::Fall);
    EXPECT_FLOAT_EQ(fallSpeed, 57.5f);  // thrown down at 50, plus 75 x dt
    EXPECT_FLOAT_EQ(characterPosition.y, 40.0f - 5.75f);
    EXPECT_EQ(actionTimer, 1.0f);
    EXPECT_EQ(poseMode, PoseMode::Crouch);
    EXPECT_EQ(characterMesh.rotation.y, 0.0f);

    int frames = 0;
    while (directorState == DirectorState::Fall && frames < 100) {
        updateDirector(0.1f);
        frames++;
    }
    EXPECT_EQ(directorState, DirectorState::Stand);
    EXPECT_EQ(characterPosition.y, terrainHeightAt(3.0f, 4.0f));
    EXPECT_EQ(walkTarget.x, 3.0f);
    EXPECT_EQ(walkTarget.z, 4.0f);
    EXPECT_EQ(actionTimer, 2.0f);
    EXPECT_EQ(soundLogCount(thudSound, SOUND_PLAY), 1);
    EXPECT_EQ(soundLogCount(splashSound, SOUND_PLAY), 0);
}

TEST_F(Director, ReleasedCharacterFallingIntoTheSeaSplashesAndSwims)
{
    useFlatHeightMap(0);  // ground -29, sea -15
    directorState = DirectorState::Caught;
    characterPosition = Vec3{3.0f, 10.0f, 4.0f};
    tornadoBottom = 31.0f;  // more than 20 above his feet: let go
    updateDirector(0.1f);
    ASSERT_EQ(directorState, DirectorState::Fall);
    while (directorState == DirectorState::Fall)
        updateDirector(0.1f);
    EXPECT_EQ(directorState, DirectorState::Swim);
    EXPECT_EQ(characterPosition.y, -20.0f);
    EXPECT_EQ(walkTarget.x, 0.0f);
    EXPECT_EQ(actionTimer, 0.0f);
    EXPECT_EQ(soundLogCount(splashSound, SOUND_PLAY), 1);
    EXPECT_EQ(soundLogCount(thudSound, SOUND_PLAY), 0);
}
