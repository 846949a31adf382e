// The pose programs: when blends start, the key poses' symmetry and the
// tumble's random draws.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <tuple>
#include <vector>

#include "app/scene_reset.h"
#include "model/grow.h"
#include "scene/angles.h"
#include "scene/pose_blend.h"
#include "scene/pose_program.h"
#include "scene/random.h"
#include "scene/scene_state.h"
#include "tests/support/gl_checks.h"

namespace {

enum { ANGLES = 3 * POSE_JOINT_COUNT };

// A pose's angles in a row: the joints' first angles, then second, then third.
std::vector<float> anglesOf(const Pose& pose, float scale = 1.0f)
{
    std::vector<float> out(ANGLES);
    std::memcpy(out.data(), &pose, sizeof pose);
    for (float& angle : out)
        angle *= scale;
    return out;
}

// The angles the character holds, in the same order.
std::vector<float> characterAngles()
{
    std::vector<float> out;
    for (int i = 0; i < ANGLES; ++i)
        out.push_back(meshes.character.joints[i % POSE_JOINT_COUNT]->angles[i / POSE_JOINT_COUNT]);
    return out;
}

class PoseProgram : public ::testing::Test {
protected:
    void SetUp() override { resetSceneState(); }
    // Finishes the running blend and starts the next one.
    static void nextBlend() { updatePoseProgram(poseBlend.duration - poseBlend.time + 1.0f); }
};

// One call finishes at most one blend, however long the frame, and a new
// blend (the first, or after a restart) only starts, from where he is.
TEST_F(PoseProgram, BlendsStartAtOnceOnePerCallAndAnewAfterARestart)
{
    meshes.character.~ArticulatedMesh();  // a fresh character: 16 joints in a chain, all turned by 0.5
    new (&meshes.character) ArticulatedMesh();
    for (int i = 0; i < POSE_JOINT_COUNT; ++i)
        appendRecord(meshes.character.controlPoints, meshes.character.controlPointCount,
                     meshes.character.controlPointCapacity, ControlPoint{0.0f, static_cast<float>(i), 0.0f, i - 1});
    meshes.character.BuildJoints();
    for (int i = 0; i < POSE_JOINT_COUNT; ++i)
        meshes.character.SetJointAngles(i, 0.5f, 0.5f, 0.5f);
    updatePoseProgram(0.1f);
    EXPECT_TRUE(poseProgram.step == 1 && characterAngles() == std::vector<float>(ANGLES, 0.5f));
    updatePoseProgram(0.15f);  // halfway to standing
    EXPECT_TRUE(closeTo(characterAngles(), anglesOf(poseBlend.target, 0.5f), 1e-6f));

    setPoseMode(PoseMode::Crouch);
    updatePoseProgram(5.0f);  // the standing blend ends, the crouch starts
    const Pose crouch = poseBlend.target;
    updatePoseProgram(5.0f);
    EXPECT_TRUE(poseBlend.time == 0.0f && characterAngles() == anglesOf(crouch) &&
                anglesOf(poseBlend.start) == anglesOf(crouch));

    clearPose();
    restartPoseCycle();
    updatePoseProgram(0.0f);
    updatePoseProgram(0.5f);
    const std::vector<float> halfDone = characterAngles();
    EXPECT_TRUE(closeTo(halfDone, anglesOf(crouch, 0.5f), 1e-6f));
    restartPoseCycle();
    updatePoseProgram(0.5f);
    EXPECT_TRUE(poseBlend.time == 0.0f && anglesOf(poseBlend.start) == halfDone && characterAngles() == halfDone);
}

// Walk and swim steps n and n + 2, and the held poses, are mirror images
// (left and right joints swapped, the second and third angles negated), so a
// mistyped entry breaks the symmetry.
TEST_F(PoseProgram, KeyPosesAreMirrorImages)
{
    const int mirror[POSE_JOINT_COUNT] = {0, 1, 2, 3, 7, 8, 9, 4, 5, 6, 13, 14, 15, 10, 11, 12};
    using M = PoseMode;
    // Each with its steps, its blend time and whether he stands on his lowest joint.
    const std::tuple<PoseMode, int, float, int> programs[] = {{M::Walk, 4, 0.25f, -1},
                                                              {M::Swim, 4, 0.2f, 0},
                                                              {M::Stand, 1, 0.3f, 0},
                                                              {M::Crouch, 1, 1.0f, -1}};
    for (const auto& [mode, steps, blend, grounded] : programs) {
        setPoseMode(mode);
        poseProgram.step = 4;  // the next cycle step is step 1
        std::vector<std::vector<float>> poses, mirrored;
        for (int s = 0; s < steps; ++s) {
            nextBlend();
            poses.push_back(anglesOf(poseBlend.target));
            mirrored.emplace_back();
            for (int i = 0; i < ANGLES; ++i)
                mirrored.back().push_back((i < POSE_JOINT_COUNT ? 1 : -1) *
                                          poses.back()[i - i % POSE_JOINT_COUNT + mirror[i % POSE_JOINT_COUNT]]);
        }
        EXPECT_TRUE(poseBlend.duration == blend && meshes.character.grounded == grounded) << static_cast<int>(mode);
        for (int s = 0; s < steps; ++s)
            EXPECT_EQ(mirrored[static_cast<size_t>((s + steps / 2) % steps)], poses[static_cast<size_t>(s)])
                << "mode " << static_cast<int>(mode) << " step " << s + 1;
    }
}

TEST_F(PoseProgram, TumbleDrawsTenNumbersInOrder)
{
    // Joint, angle and range in degrees (random mod n, plus an offset) of each
    // draw in order, then the angles fixed in every tumble pose (mod 0).
    const int entries[][4] = {{1, 0, 20, -10}, {1, 1, 20, -10}, {4, 2, 40, 30}, {5, 1, 10, 30},   {7, 2, 40, -70},
                              {8, 1, 10, -50}, {11, 0, 50, 0},  {14, 0, 50, 0}, {10, 0, 20, -20}, {13, 0, 20, 0},
                              {4, 0, 0, -90},  {7, 0, 0, -90},  {10, 2, 0, -5}, {13, 2, 0, 5},    {5, 0, 0, 0}};
    setPoseMode(PoseMode::Tumble);
    for (unsigned seed : {1u, 12345u, 0xdeadbeefu, 0xffffffffu}) {
        randomGenerator.state = seed;
        std::vector<float> expected, drawn;
        for (const auto& e : entries)
            expected.push_back(static_cast<float>((e[2] ? randomNext() % e[2] + e[3] : e[3]) * radiansPerDegree));
        randomGenerator.state = seed;
        nextBlend();
        for (const auto& e : entries)
            drawn.push_back(anglesOf(poseBlend.target)[static_cast<size_t>(e[1] * POSE_JOINT_COUNT + e[0])]);
        EXPECT_EQ(drawn, expected) << "seed " << seed;
    }
}

}  // namespace
