// Tests of pose blending: linear progress, the exact target on the finishing
// call, clamping, zero durations, and characters with fewer than 16 joints.
#include <gtest/gtest.h>

#include <cmath>

#include "app/globals.h"
#include "scene/pose_blend.h"
#include "tests/support/test_character.h"

namespace {

class PoseBlend : public ::testing::Test {
protected:
    void SetUp() override
    {
        buildTestCharacter(POSE_JOINT_COUNT);
        clearPose();
        blendTime = 0.0f;
        blendDuration = 0.0f;
    }
};

// Fills a pose with distinct values, so a mixed-up joint or angle shows.
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

void expectPosesEqual(const Pose& actual, const Pose& expected, int jointCount = POSE_JOINT_COUNT)
{
    for (int i = 0; i < jointCount; ++i) {
        EXPECT_EQ(actual.first[i], expected.first[i]) << "joint " << i;
        EXPECT_EQ(actual.second[i], expected.second[i]) << "joint " << i;
        EXPECT_EQ(actual.third[i], expected.third[i]) << "joint " << i;
    }
}

void expectPosesNear(const Pose& actual, const Pose& expected)
{
    for (int i = 0; i < POSE_JOINT_COUNT; ++i) {
        EXPECT_NEAR(actual.first[i], expected.first[i], 1e-5f) << "joint " << i;
        EXPECT_NEAR(actual.second[i], expected.second[i], 1e-5f) << "joint " << i;
        EXPECT_NEAR(actual.third[i], expected.third[i], 1e-5f) << "joint " << i;
    }
}

Pose mix(const Pose& from, const Pose& to, float f)
{
    Pose pose;
    for (int i = 0; i < POSE_JOINT_COUNT; ++i) {
        pose.first[i] = from.first[i] + f * (to.first[i] - from.first[i]);
        pose.second[i] = from.second[i] + f * (to.second[i] - from.second[i]);
        pose.third[i] = from.third[i] + f * (to.third[i] - from.third[i]);
    }
    return pose;
}

TEST_F(PoseBlend, MovesLinearlyAndFinishesOnTheExactTarget)
{
    const Pose from = patternPose(0.1f);
    Pose to = patternPose(-0.07f);
    // 3 + 1 * (1e-8 - 3) rounds to 0: only an exact copy reaches 1e-8.
    currentPose = from;
    currentPose.first[5] = 3.0f;
    to.first[5] = 1e-8f;
    const Pose startedFrom = currentPose;

    beginBlend();
    EXPECT_EQ(blendTime, 0.0f);
    EXPECT_EQ(blendDuration, 0.0f);
    expectPosesEqual(startPose, startedFrom);
    targetPose = to;
    blendDuration = 0.8f;

    EXPECT_FALSE(advanceBlend(0.2f));
    expectPosesNear(currentPose, mix(startedFrom, to, 0.25f));
    expectPosesEqual(testCharacterAngles(), currentPose);

    EXPECT_FALSE(advanceBlend(0.4f));
    expectPosesNear(currentPose, mix(startedFrom, to, 0.75f));

    EXPECT_TRUE(advanceBlend(0.2f));
    EXPECT_EQ(blendTime, blendDuration);
    expectPosesEqual(currentPose, to);
    expectPosesEqual(testCharacterAngles(), to);
}

TEST_F(PoseBlend, OvershootClampsAndStaysFinished)
{
    currentPose = patternPose(0.2f);
    beginBlend();
    targetPose = patternPose(0.3f);
    blendDuration = 0.3f;

    EXPECT_TRUE(advanceBlend(5.0f));
    EXPECT_EQ(blendTime, 0.3f);
    expectPosesEqual(currentPose, patternPose(0.3f));
    expectPosesEqual(testCharacterAngles(), patternPose(0.3f));

    // Until the next beginBlend every call reports the end and holds the target.
    markTestCharacterJoints(9.0f, 9.0f, 9.0f);
    EXPECT_TRUE(advanceBlend(0.01f));
    EXPECT_TRUE(advanceBlend(0.0f));
    EXPECT_EQ(blendTime, 0.3f);
    expectPosesEqual(testCharacterAngles(), patternPose(0.3f));
}

TEST_F(PoseBlend, UnwrittenTargetsReturnToZero)
{
    currentPose = patternPose(0.2f);
    beginBlend();
    for (int i = 0; i < POSE_JOINT_COUNT; ++i) {
        EXPECT_EQ(targetPose.first[i], 0.0f);
        EXPECT_EQ(targetPose.second[i], 0.0f);
        EXPECT_EQ(targetPose.third[i], 0.0f);
    }
    targetPose.second[3] = 1.0f;
    blendDuration = 1.0f;

    advanceBlend(0.5f);
    Pose expected = mix(patternPose(0.2f), Pose{}, 0.5f);
    expected.second[3] = 0.5f * (patternPose(0.2f).second[3] + 1.0f);
    expectPosesNear(currentPose, expected);

    EXPECT_TRUE(advanceBlend(0.5f));
    Pose end{};
    end.second[3] = 1.0f;
    expectPosesEqual(currentPose, end);
}

TEST_F(PoseBlend, InterpolatesAnglesWithoutWrapping)
{
    const float quarterTurn = 1.5707963f;
    currentPose.third[4] = -quarterTurn;
    beginBlend();
    targetPose.third[4] = quarterTurn;
    blendDuration = 0.2f;
    advanceBlend(0.1f);
    EXPECT_NEAR(currentPose.third[4], 0.0f, 1e-6f);
}

TEST_F(PoseBlend, AStartEqualToTheTargetHoldsStill)
{
    currentPose = patternPose(0.15f);
    beginBlend();
    targetPose = patternPose(0.15f);
    blendDuration = 0.25f;
    for (int frame = 0; frame < 5; ++frame) {
        advanceBlend(0.06f);
        expectPosesEqual(currentPose, patternPose(0.15f));
    }
}

TEST_F(PoseBlend, ZeroDurationFinishesAtOnceWithoutNaN)
{
    currentPose = patternPose(0.1f);
    beginBlend();
    targetPose = patternPose(0.4f);
    // blendDuration left at 0 by beginBlend.
    EXPECT_TRUE(advanceBlend(0.0f));
    EXPECT_EQ(blendTime, 0.0f);
    expectPosesEqual(currentPose, patternPose(0.4f));
    expectPosesEqual(testCharacterAngles(), patternPose(0.4f));
    EXPECT_TRUE(advanceBlend(0.016f));
    expectPosesEqual(testCharacterAngles(), patternPose(0.4f));
}

TEST_F(PoseBlend, ClearingAndBeginningLeaveTheMeshAlone)
{
    markTestCharacterJoints(0.5f, -0.5f, 0.25f);
    currentPose = patternPose(0.1f);
    clearPose();
    expectPosesEqual(currentPose, Pose{});
    expectPosesEqual(startPose, Pose{});
    expectPosesEqual(targetPose, Pose{});
    beginBlend();
    targetPose = patternPose(0.3f);
    blendDuration = 1.0f;
    for (int i = 0; i < POSE_JOINT_COUNT; ++i) {
        EXPECT_EQ(characterMesh.joints[i]->angles[0], 0.5f);
        EXPECT_EQ(characterMesh.joints[i]->angles[1], -0.5f);
        EXPECT_EQ(characterMesh.joints[i]->angles[2], 0.25f);
    }
}

// A model with fewer joints gets the angles of the joints it has; the rest
// of the pose is still blended, and nothing past the joint table is touched
// (the sanitizer build checks the latter).
TEST_F(PoseBlend, FewerJointsGetOnlyTheirOwnAngles)
{
    for (int jointCount : {0, 1, 5, 15}) {
        buildTestCharacter(jointCount);
        clearPose();
        beginBlend();
        targetPose = patternPose(0.2f);
        blendDuration = 0.5f;
        EXPECT_FALSE(advanceBlend(0.25f));
        EXPECT_TRUE(advanceBlend(0.25f));
        expectPosesEqual(currentPose, patternPose(0.2f));
        expectPosesEqual(testCharacterAngles(), patternPose(0.2f), jointCount);
    }

    // More joints than the pose: those beyond joint 15 are left alone.
    buildTestCharacter(20);
    markTestCharacterJoints(0.75f, 0.75f, 0.75f);
    clearPose();
    beginBlend();
    targetPose = patternPose(0.2f);
    blendDuration = 0.1f;
    advanceBlend(0.1f);
    expectPosesEqual(testCharacterAngles(), patternPose(0.2f));
    for (int i = POSE_JOINT_COUNT; i < 20; ++i)
        EXPECT_EQ(characterMesh.joints[i]->angles[0], 0.75f) << "joint " << i;
}

}  // namespace
