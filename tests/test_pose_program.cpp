// Tests of the pose programs: when blends start, the shared step counter
// across program changes and restarts, the key poses, the grounded flag and
// the tumble's random draws.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "app/globals.h"
#include "scene/pose_blend.h"
#include "scene/pose_program.h"
#include "scene/random.h"
#include "tests/support/test_character.h"

namespace {

const double kDegree = 0.017453292;

float radians(int degrees)
{
    return static_cast<float>(degrees * kDegree);
}

// The target angle in whole degrees (every table entry is a whole number).
int targetDegrees(int joint, int angle)
{
    const float* angles[] = {targetPose.first, targetPose.second, targetPose.third};
    return static_cast<int>(std::lround(angles[angle][joint] / kDegree));
}

class PoseProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        buildTestCharacter(POSE_JOINT_COUNT);
        clearPose();
        blendTime = 0.0f;
        blendDuration = 0.0f;
        poseMode = PoseMode::Stand;
        poseStep = 0;
        randomSetState(1);
    }

    // Finishes the running blend and starts the next one.
    static void nextBlend() { updatePoseProgram(blendDuration - blendTime + 1.0f); }
};

// The first update starts a blend at once without advancing anything; the
// pose reaches the mesh only from the next update on.
TEST_F(PoseProgram, FirstUpdateStartsTheStandingBlendAtOnce)
{
    markTestCharacterJoints(0.5f, 0.5f, 0.5f);
    updatePoseProgram(0.1f);
    EXPECT_EQ(poseStep, 1);
    EXPECT_EQ(blendTime, 0.0f);
    EXPECT_FLOAT_EQ(blendDuration, 0.3f);
    EXPECT_EQ(testCharacterAngles().first[0], 0.5f);

    const int stand[][4] = {{4, 0, 0, -85}, {5, 20, 20, 0}, {7, 0, 0, 85}, {8, 20, -20, 0}, {10, 0, 0, -5}, {13, 0, 0, 5}};
    for (int joint = 0; joint < POSE_JOINT_COUNT; ++joint) {
        int expected[3] = {0, 0, 0};
        for (const auto& row : stand)
            if (row[0] == joint)
                expected[0] = row[1], expected[1] = row[2], expected[2] = row[3];
        for (int angle = 0; angle < 3; ++angle)
            EXPECT_EQ(targetDegrees(joint, angle), expected[angle]) << "joint " << joint << " angle " << angle;
    }
    EXPECT_EQ(targetPose.third[4], radians(-85));

    updatePoseProgram(0.15f);
    EXPECT_NEAR(testCharacterAngles().third[4], 0.5f * radians(-85), 1e-6f);
    EXPECT_NEAR(testCharacterAngles().first[0], 0.0f, 1e-6f);
}

// The counter is shared: a program change continues from the last step, and
// a restart makes the next cycle step the second.
TEST_F(PoseProgram, StepCounterRunsOnAcrossProgramsAndRestarts)
{
    setPoseMode(PoseMode::Walk);
    restartPoseCycle();
    updatePoseProgram(0.0f);
    EXPECT_EQ(poseStep, 2);
    EXPECT_EQ(targetDegrees(14, 0), 50);  // walk step 2: the other knee bent
    EXPECT_FLOAT_EQ(blendDuration, 0.25f);

    // The switch waits for the running walking blend.
    setPoseMode(PoseMode::Run);
    updatePoseProgram(0.2f);
    EXPECT_EQ(poseStep, 2);
    EXPECT_FLOAT_EQ(blendDuration, 0.25f);
    updatePoseProgram(0.05f);
    EXPECT_EQ(poseStep, 3);
    EXPECT_FLOAT_EQ(blendDuration, 0.1f);
    EXPECT_EQ(targetDegrees(13, 0), -35);  // run step 3
    EXPECT_EQ(targetDegrees(14, 0), 60);

    nextBlend();
    EXPECT_EQ(poseStep, 4);
    nextBlend();
    EXPECT_EQ(poseStep, 1);
    EXPECT_EQ(targetDegrees(10, 0), -35);  // run step 1

    // Held programs leave the counter alone; the cycle resumes after it.
    setPoseMode(PoseMode::Crouch);
    nextBlend();
    nextBlend();
    EXPECT_EQ(poseStep, 1);
    setPoseMode(PoseMode::Swim);
    nextBlend();
    EXPECT_EQ(poseStep, 2);
    EXPECT_EQ(targetDegrees(8, 1), -130);  // swim step 2

    restartPoseCycle();
    updatePoseProgram(0.0f);
    EXPECT_EQ(poseStep, 2);
}

// However long the frame, one call finishes at most one blend; the next
// blend starts but only advances in the next call.
TEST_F(PoseProgram, ALongFrameFinishesOneBlendOnly)
{
    setPoseMode(PoseMode::Run);
    updatePoseProgram(0.0f);
    ASSERT_EQ(poseStep, 2);
    const Pose step2 = targetPose;

    updatePoseProgram(1.0f);
    EXPECT_EQ(poseStep, 3);
    EXPECT_EQ(blendTime, 0.0f);
    for (int i = 0; i < POSE_JOINT_COUNT; ++i) {
        EXPECT_EQ(currentPose.first[i], step2.first[i]);
        EXPECT_EQ(testCharacterAngles().first[i], step2.first[i]);
        EXPECT_EQ(startPose.first[i], step2.first[i]);
    }
}

TEST_F(PoseProgram, RestartAbandonsAHalfDoneBlend)
{
    setPoseMode(PoseMode::Crouch);
    updatePoseProgram(0.0f);
    updatePoseProgram(0.5f);
    const Pose halfDone = currentPose;
    EXPECT_NEAR(halfDone.first[11], 0.5f * radians(130), 1e-6f);

    restartPoseCycle();
    updatePoseProgram(0.5f);
    EXPECT_EQ(blendTime, 0.0f);
    EXPECT_FLOAT_EQ(blendDuration, 1.0f);
    EXPECT_EQ(startPose.first[11], halfDone.first[11]);
    EXPECT_EQ(currentPose.first[11], halfDone.first[11]);
    EXPECT_EQ(targetPose.first[11], radians(130));
}

TEST_F(PoseProgram, GroundedFlagPerProgram)
{
    struct Case {
        PoseMode mode;
        int32_t grounded;  // 7: left as it was
    };
    const Case cases[] = {
        {PoseMode::Stand, 7}, {PoseMode::Walk, -1}, {PoseMode::Run, 0},
        {PoseMode::Swim, 0},  {PoseMode::Crouch, -1}, {PoseMode::Tumble, 7},
    };
    for (const Case& c : cases) {
        characterMesh.SetGrounded(7);
        setPoseMode(c.mode);
        restartPoseCycle();
        updatePoseProgram(0.0f);
        EXPECT_EQ(characterMesh.grounded, c.grounded) << "mode " << static_cast<int>(c.mode);
        characterMesh.SetGrounded(7);
        nextBlend();
        EXPECT_EQ(characterMesh.grounded, c.grounded) << "mode " << static_cast<int>(c.mode);
    }

    // Tumbling keeps whatever the previous program set.
    setPoseMode(PoseMode::Walk);
    nextBlend();
    setPoseMode(PoseMode::Tumble);
    nextBlend();
    EXPECT_EQ(characterMesh.grounded, -1);
}

TEST_F(PoseProgram, BlendDurations)
{
    const std::pair<PoseMode, float> durations[] = {
        {PoseMode::Stand, 0.3f}, {PoseMode::Walk, 0.25f}, {PoseMode::Run, 0.1f},
        {PoseMode::Swim, 0.2f},  {PoseMode::Crouch, 1.0f}, {PoseMode::Tumble, 0.1f},
        {static_cast<PoseMode>(5), 0.3f},
    };
    for (const auto& d : durations) {
        setPoseMode(d.first);
        nextBlend();
        EXPECT_FLOAT_EQ(blendDuration, d.second) << "mode " << static_cast<int>(d.first);
    }
}

// Walk and swim steps n and n + 2, and the held poses, are mirror images:
// left and right joints swap, the first angle keeps its sign and the second
// and third change theirs. A mistyped entry breaks the symmetry.
TEST_F(PoseProgram, KeyPosesAreMirrorImages)
{
    const int mirror[POSE_JOINT_COUNT] = {0, 1, 2, 3, 7, 8, 9, 4, 5, 6, 13, 14, 15, 10, 11, 12};
    const int sign[3] = {1, -1, -1};
    auto collect = [](PoseMode mode, int steps) {
        std::vector<Pose> poses;
        setPoseMode(mode);
        poseStep = 4;  // the next cycle step is step 1
        for (int s = 0; s < steps; ++s) {
            nextBlend();
            poses.push_back(targetPose);
        }
        return poses;
    };
    auto degreesOf = [](const Pose& pose, int joint, int angle) {
        const float* angles[] = {pose.first, pose.second, pose.third};
        return static_cast<int>(std::lround(angles[angle][joint] / kDegree));
    };
    struct Case {
        PoseMode mode;
        int steps;
        int shift;
    };
    for (const Case& c : {Case{PoseMode::Walk, 4, 2}, Case{PoseMode::Swim, 4, 2}, Case{PoseMode::Stand, 1, 0},
                          Case{PoseMode::Crouch, 1, 0}}) {
        const std::vector<Pose> poses = collect(c.mode, c.steps);
        for (int s = 0; s < c.steps; ++s)
            for (int joint = 0; joint < POSE_JOINT_COUNT; ++joint)
                for (int angle = 0; angle < 3; ++angle)
                    EXPECT_EQ(degreesOf(poses[(s + c.shift) % c.steps], mirror[joint], angle),
                              sign[angle] * degreesOf(poses[s], joint, angle))
                        << "mode " << static_cast<int>(c.mode) << " step " << s + 1 << " joint " << joint
                        << " angle " << angle;
    }
}

// Spot checks of entries the symmetry cannot see: the run, and the base
// pose's arms that the swim overwrites.
TEST_F(PoseProgram, KeyPoseEntries)
{
    struct Entry {
        PoseMode mode;
        int step;
        int joint, angle, degrees;
    };
    const Entry entries[] = {
        {PoseMode::Run, 1, 7, 1, -12}, {PoseMode::Run, 1, 8, 1, -25}, {PoseMode::Run, 1, 14, 0, 30},
        {PoseMode::Run, 2, 13, 0, -25}, {PoseMode::Run, 3, 11, 0, 30}, {PoseMode::Run, 4, 10, 0, -25},
        {PoseMode::Run, 4, 11, 0, 60}, {PoseMode::Run, 4, 5, 1, 20},   {PoseMode::Run, 2, 4, 2, -85},
        {PoseMode::Swim, 1, 0, 0, 80}, {PoseMode::Swim, 2, 4, 2, 0},   {PoseMode::Swim, 2, 7, 2, 0},
        {PoseMode::Swim, 1, 12, 0, 10}, {PoseMode::Swim, 4, 3, 0, -30}, {PoseMode::Walk, 4, 11, 0, 50},
        {PoseMode::Crouch, 0, 10, 1, -5}, {PoseMode::Crouch, 0, 15, 0, -20}, {PoseMode::Crouch, 0, 1, 0, 30},
    };
    for (const Entry& e : entries) {
        setPoseMode(e.mode);
        poseStep = e.step == 0 ? 1 : (e.step + 2) % 4 + 1;  // the step before
        nextBlend();
        EXPECT_EQ(targetDegrees(e.joint, e.angle), e.degrees)
            << "mode " << static_cast<int>(e.mode) << " step " << e.step << " joint " << e.joint;
    }
}

// The numbers the program's generator gives from `state`, computed here
// independently; `state` ends as the generator's state after them.
std::vector<int> drawsFrom(uint32_t& state, int count)
{
    std::vector<int> draws;
    for (int i = 0; i < count; ++i) {
        state = state * 214013u + 2531011u;
        draws.push_back(static_cast<int>((state >> 16) & 32767u));
    }
    return draws;
}

TEST_F(PoseProgram, TumbleDrawsTenNumbersInOrder)
{
    setPoseMode(PoseMode::Tumble);
    for (uint32_t seed : {1u, 12345u, 0xdeadbeefu, 0xffffffffu}) {
        randomSetState(seed);
        uint32_t state = seed;
        const std::vector<int> r = drawsFrom(state, 10);
        nextBlend();
        EXPECT_EQ(randomState(), state);
        EXPECT_EQ(targetDegrees(1, 0), r[0] % 20 - 10);
        EXPECT_EQ(targetDegrees(1, 1), r[1] % 20 - 10);
        EXPECT_EQ(targetDegrees(4, 2), r[2] % 40 + 30);
        EXPECT_EQ(targetDegrees(5, 1), r[3] % 10 + 30);
        EXPECT_EQ(targetDegrees(7, 2), r[4] % 40 - 70);
        EXPECT_EQ(targetDegrees(8, 1), r[5] % 10 - 50);
        EXPECT_EQ(targetDegrees(11, 0), r[6] % 50);
        EXPECT_EQ(targetDegrees(14, 0), r[7] % 50);
        EXPECT_EQ(targetDegrees(10, 0), r[8] % 20 - 20);
        EXPECT_EQ(targetDegrees(13, 0), r[9] % 20);
        EXPECT_EQ(targetDegrees(4, 0), -90);
        EXPECT_EQ(targetDegrees(7, 0), -90);
        EXPECT_EQ(targetDegrees(10, 2), -5);
        EXPECT_EQ(targetDegrees(13, 2), 5);
        EXPECT_EQ(targetDegrees(8, 0), 0);  // the standing pose's own angles are not used
        EXPECT_EQ(targetDegrees(5, 0), 0);
    }
}

TEST_F(PoseProgram, TumbleStaysInItsRanges)
{
    setPoseMode(PoseMode::Tumble);
    struct Range {
        int joint, angle, low, high;
    };
    const Range ranges[] = {
        {1, 0, -10, 9}, {1, 1, -10, 9}, {4, 2, 30, 69}, {5, 1, 30, 39}, {7, 2, -70, -31},
        {8, 1, -50, -41}, {11, 0, 0, 49}, {14, 0, 0, 49}, {10, 0, -20, -1}, {13, 0, 0, 19},
    };
    int lowSeen[10] = {}, highSeen[10] = {};
    for (int blend = 0; blend < 2000; ++blend) {
        nextBlend();
        for (int i = 0; i < 10; ++i) {
            const int value = targetDegrees(ranges[i].joint, ranges[i].angle);
            ASSERT_GE(value, ranges[i].low) << "draw " << i + 1;
            ASSERT_LE(value, ranges[i].high) << "draw " << i + 1;
            lowSeen[i] += value == ranges[i].low;
            highSeen[i] += value == ranges[i].high;
        }
    }
    for (int i = 0; i < 10; ++i) {
        EXPECT_GT(lowSeen[i], 0) << "draw " << i + 1;
        EXPECT_GT(highSeen[i], 0) << "draw " << i + 1;
    }
}

TEST_F(PoseProgram, HandJointsNeverMove)
{
    for (PoseMode mode : {PoseMode::Stand, PoseMode::Walk, PoseMode::Run, PoseMode::Swim, PoseMode::Crouch,
                          PoseMode::Tumble}) {
        setPoseMode(mode);
        for (int s = 0; s < 4; ++s) {
            nextBlend();
            for (int joint : {6, 9}) {
                EXPECT_EQ(targetPose.first[joint], 0.0f);
                EXPECT_EQ(targetPose.second[joint], 0.0f);
                EXPECT_EQ(targetPose.third[joint], 0.0f);
            }
        }
    }
}

TEST_F(PoseProgram, RunsOnACharacterWithFewerJoints)
{
    buildTestCharacter(4);
    for (PoseMode mode : {PoseMode::Walk, PoseMode::Swim, PoseMode::Tumble}) {
        setPoseMode(mode);
        for (int frame = 0; frame < 20; ++frame)
            updatePoseProgram(0.07f);
    }
    const Pose shown = testCharacterAngles();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(shown.first[i], currentPose.first[i]);
}

}  // namespace
