// The pose programs: when blends start, the key poses' symmetry and the
// tumble's random draws.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "app/globals.h"
#include "scene/pose_blend.h"
#include "scene/pose_program.h"
#include "scene/random.h"
#include "scene/scene_state.h"
#include "tests/support/test_character.h"

namespace {

const double degree = 0.017453292;

float radians(int degrees)
{
    return static_cast<float>(degrees * degree);
}

// An angle in whole degrees (every table entry is a whole number).
int degreesOf(const Pose& pose, int joint, int angle)
{
    const float* angles[] = {pose.first, pose.second, pose.third};
    return static_cast<int>(std::lround(angles[angle][joint] / degree));
}

int targetDegrees(int joint, int angle)
{
    return degreesOf(targetPose, joint, angle);
}

class PoseProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        buildTestCharacter(POSE_JOINT_COUNT);
        resetSceneState();
    }

    // Finishes the running blend and starts the next one.
    static void nextBlend() { updatePoseProgram(blendDuration - blendTime + 1.0f); }
};

// The first update starts a blend at once without advancing anything; the
// pose reaches the mesh only from the next update on. However long the
// frame, one call finishes at most one blend; the next blend starts but only
// advances in the next call. A restart abandons a half-done blend and starts
// the next from where the pose is.
TEST_F(PoseProgram, BlendsStartAtOnceOnePerCallAndAnewAfterARestart)
{
    markTestCharacterJoints(0.5f, 0.5f, 0.5f);
    updatePoseProgram(0.1f);
    EXPECT_EQ(poseStep, 1);
    EXPECT_EQ(blendTime, 0.0f);
    EXPECT_FLOAT_EQ(blendDuration, 0.3f);
    EXPECT_EQ(testCharacterAngles().first[0], 0.5f);
    updatePoseProgram(0.15f);  // halfway to the arms hanging at the sides
    EXPECT_NEAR(testCharacterAngles().third[4], 0.5f * radians(-85), 1e-6f);
    EXPECT_NEAR(testCharacterAngles().first[0], 0.0f, 1e-6f);

    setPoseMode(PoseMode::Crouch);
    updatePoseProgram(5.0f);  // the standing blend ends, the crouch starts
    const Pose crouch = targetPose;
    updatePoseProgram(5.0f);
    EXPECT_EQ(blendTime, 0.0f);
    EXPECT_FLOAT_EQ(blendDuration, 1.0f);
    EXPECT_EQ(startPose.first[11], crouch.first[11]);
    EXPECT_EQ(testCharacterAngles().first[11], radians(130));

    clearPose();
    restartPoseCycle();
    updatePoseProgram(0.0f);
    updatePoseProgram(0.5f);
    const float halfDone = currentPose.first[11];
    EXPECT_NEAR(halfDone, 0.5f * radians(130), 1e-6f);
    restartPoseCycle();
    updatePoseProgram(0.5f);
    EXPECT_EQ(blendTime, 0.0f);
    EXPECT_EQ(startPose.first[11], halfDone);
    EXPECT_EQ(currentPose.first[11], halfDone);
}

// Walk and swim steps n and n + 2, and the held poses, are mirror images:
// left and right joints swap, the first angle keeps its sign and the second
// and third change theirs. A mistyped entry breaks the symmetry.
TEST_F(PoseProgram, KeyPosesAreMirrorImages)
{
    const int mirror[POSE_JOINT_COUNT] = {0, 1, 2, 3, 7, 8, 9, 4, 5, 6, 13, 14, 15, 10, 11, 12};
    const int sign[3] = {1, -1, -1};
    const std::pair<PoseMode, int> programs[] = {{PoseMode::Walk, 4},
                                                 {PoseMode::Swim, 4},
                                                 {PoseMode::Stand, 1},
                                                 {PoseMode::Crouch, 1}};
    for (const auto& [mode, steps] : programs) {
        setPoseMode(mode);
        poseStep = 4;  // the next cycle step is step 1
        std::vector<Pose> poses;
        for (int s = 0; s < steps; ++s) {
            nextBlend();
            poses.push_back(targetPose);
        }
        for (int s = 0; s < steps; ++s)
            for (int joint = 0; joint < POSE_JOINT_COUNT; ++joint)
                for (int angle = 0; angle < 3; ++angle)
                    EXPECT_EQ(degreesOf(poses[(s + steps / 2) % steps], mirror[joint], angle),
                              sign[angle] * degreesOf(poses[s], joint, angle))
                        << "mode " << static_cast<int>(mode) << " step " << s + 1 << " joint " << joint << " angle "
                        << angle;
    }
}

TEST_F(PoseProgram, TumbleDrawsTenNumbersInOrder)
{
    // Joint, angle and the range (random mod n, plus an offset) of each draw, in order.
    struct Draw {
        int joint, angle, mod, offset;
    };
    const Draw order[10] = {{1, 0, 20, -10}, {1, 1, 20, -10}, {4, 2, 40, 30}, {5, 1, 10, 30},   {7, 2, 40, -70},
                            {8, 1, 10, -50}, {11, 0, 50, 0},  {14, 0, 50, 0}, {10, 0, 20, -20}, {13, 0, 20, 0}};
    setPoseMode(PoseMode::Tumble);
    for (uint32_t seed : {1u, 12345u, 0xdeadbeefu, 0xffffffffu}) {
        randomSetState(seed);
        int r[10];
        for (int& n : r)
            n = randomNext();
        const uint32_t after = randomState();
        randomSetState(seed);
        nextBlend();
        EXPECT_EQ(randomState(), after);
        for (int k = 0; k < 10; ++k)
            EXPECT_EQ(targetDegrees(order[k].joint, order[k].angle), r[k] % order[k].mod + order[k].offset)
                << "draw " << k + 1 << " from seed " << seed;
        // Fixed in every tumble pose; the standing pose's own angles are not used.
        EXPECT_EQ(targetDegrees(4, 0), -90);
        EXPECT_EQ(targetDegrees(7, 0), -90);
        EXPECT_EQ(targetDegrees(10, 2), -5);
        EXPECT_EQ(targetDegrees(13, 2), 5);
        EXPECT_EQ(targetDegrees(5, 0), 0);
    }
}

}  // namespace
