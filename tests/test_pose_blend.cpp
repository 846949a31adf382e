// Tests of pose blending: linear progress, the exact target on the finishing
// call, a zero duration, and characters with fewer or more than 16 joints.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "scene/scene_state.h"
#include "scene/pose_blend.h"
#include "tests/support/test_character.h"

namespace {

// Distinct values, so a mixed-up joint or angle shows.
Pose patternPose(float scale)
{
    Pose pose;
    for (int i = 0; i < POSE_JOINT_COUNT; ++i) {
        pose.first[i] = scale * (i + 1);
        pose.second[i] = -scale * (i + 2);
        pose.third[i] = scale * 0.5f * (i + 3);
    }
    return pose;
}

void expectPose(const Pose& actual, const Pose& expected, int joints = POSE_JOINT_COUNT, float tolerance = 0.0f)
{
    for (int i = 0; i < joints; ++i) {
        EXPECT_NEAR(actual.first[i], expected.first[i], tolerance) << "joint " << i;
        EXPECT_NEAR(actual.second[i], expected.second[i], tolerance) << "joint " << i;
        EXPECT_NEAR(actual.third[i], expected.third[i], tolerance) << "joint " << i;
    }
}

TEST(PoseBlend, MovesLinearlyAndFinishesOnTheExactTarget)
{
    buildTestCharacter(POSE_JOINT_COUNT);
    clearPose();
    currentPose = patternPose(0.1f);
    currentPose.first[5] = 3.0f;  // 3 + 1 * (1e-8 - 3) rounds to 0: only a copy reaches 1e-8
    currentPose.third[4] = -1.5707963f;
    const Pose from = currentPose;
    markTestCharacterJoints(9.0f, 9.0f, 9.0f);
    beginBlend();
    expectPose(testCharacterAngles(), Pose{{9.0f}, {9.0f}, {9.0f}}, 1);  // not applied yet
    Pose to{};  // targets left unwritten go back to 0
    to.first[5] = 1e-8f;
    to.third[4] = 1.5707963f;
    targetPose = to;
    blendDuration = 0.8f;

    EXPECT_FALSE(advanceBlend(0.4f));
    Pose half;
    for (int i = 0; i < POSE_JOINT_COUNT; ++i) {
        half.first[i] = (from.first[i] + to.first[i]) / 2;
        half.second[i] = (from.second[i] + to.second[i]) / 2;
        half.third[i] = (from.third[i] + to.third[i]) / 2;
    }
    expectPose(currentPose, half, POSE_JOINT_COUNT, 1e-6f);  // -90 to 90 degrees passes through 0
    expectPose(testCharacterAngles(), currentPose);

    // Overshooting clamps the time and applies the exact target; a finished
    // blend stays finished and keeps applying it.
    EXPECT_TRUE(advanceBlend(5.0f));
    EXPECT_EQ(blendTime, blendDuration);
    expectPose(currentPose, to);
    markTestCharacterJoints(9.0f, 9.0f, 9.0f);
    EXPECT_TRUE(advanceBlend(0.01f));
    expectPose(testCharacterAngles(), to);

    // A new blend left at its zero duration finishes at once, without NaN.
    beginBlend();
    targetPose = patternPose(0.4f);
    EXPECT_TRUE(advanceBlend(0.0f));
    EXPECT_EQ(blendTime, 0.0f);
    expectPose(testCharacterAngles(), patternPose(0.4f));
}

// A model with fewer joints gets the angles of the joints it has and nothing
// past its joint table is touched (the sanitizer build checks that); joints
// beyond 15 are left alone.
TEST(PoseBlend, OnlyTheCharactersOwnJointsUpTo15)
{
    for (int jointCount : {0, 5, 20}) {
        buildTestCharacter(jointCount);
        markTestCharacterJoints(0.75f, 0.75f, 0.75f);
        clearPose();
        beginBlend();
        targetPose = patternPose(0.2f);
        blendDuration = 0.5f;
        EXPECT_FALSE(advanceBlend(0.25f));
        EXPECT_TRUE(advanceBlend(0.25f));
        expectPose(testCharacterAngles(), patternPose(0.2f), jointCount < 16 ? jointCount : 16);
        for (int i = POSE_JOINT_COUNT; i < jointCount; ++i)
            EXPECT_EQ(characterMesh.joints[i]->angles[0], 0.75f) << "joint " << i;
    }
}

}  // namespace
