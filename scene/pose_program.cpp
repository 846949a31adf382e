// Pose programs; see pose_program.h.
//
// The key poses are written in whole degrees, one entry per angle that is
// not 0, and converted to radians as they are stored into the blend target.
#include "scene/pose_program.h"

#include "scene/angles.h"
#include "scene/pose_blend.h"
#include "scene/random.h"
#include "scene/scene_state.h"

PoseProgram poseProgram;

namespace {

enum Angle { First, Second, Third };

// One angle of one joint in a held pose.
struct HeldAngle {
    int joint;
    Angle angle;
    int degrees;
};

// One angle of one joint through the four steps of a cycle.
struct CycleAngle {
    int joint;
    Angle angle;
    int degrees[4];
};

const HeldAngle basePose[] = {
    {4, Third, -85}, {7, Third, 85},                                     // the arms hang down at the sides
    {5, Second, 20}, {8, Second, -20}, {10, Third, -5}, {13, Third, 5},  // the feet a little apart
};

const HeldAngle stand[] = {
    {4, Third, -85}, {5, First, 20},   {5, Second, 20}, {7, Third, 85},
    {8, First, 20},  {8, Second, -20}, {10, Third, -5}, {13, Third, 5},
};

const CycleAngle walk[] = {
    {1, Second, {-10, 0, 10, 0}},   {2, Second, {4, 0, -4, 0}},       {3, Second, {4, 0, -4, 0}},
    {4, Second, {-35, 0, 25, 0}},   {4, Third, {-85, -85, -85, -85}}, {5, Second, {0, 20, 50, 20}},
    {7, Second, {-25, 0, 35, 0}},   {7, Third, {85, 85, 85, 85}},     {8, Second, {-50, -20, 0, -20}},
    {10, First, {-25, 0, 20, -10}}, {10, Third, {-5, -5, -5, -5}},    {11, First, {15, 0, 15, 50}},
    {13, First, {20, -10, -25, 0}}, {13, Third, {5, 5, 5, 5}},        {14, First, {15, 50, 15, 0}},
};

const CycleAngle run[] = {
    {1, Second, {-10, 0, 10, 0}},   {2, Second, {4, 0, -4, 0}},       {3, Second, {4, 0, -4, 0}},
    {4, Second, {-35, 0, 25, 0}},   {4, Third, {-85, -85, -85, -85}}, {5, Second, {0, 20, 50, 20}},
    {7, Second, {-12, 0, 35, 0}},   {7, Third, {85, 85, 85, 85}},     {8, Second, {-25, -20, 0, -20}},
    {10, First, {-35, 0, 20, -25}}, {10, Third, {-5, -5, -5, -5}},    {11, First, {15, 0, 30, 60}},
    {13, First, {20, -25, -35, 0}}, {13, Third, {5, 5, 5, 5}},        {14, First, {30, 60, 60, 0}},
};

const CycleAngle swim[] = {
    {0, First, {80, 80, 80, 80}},   {0, Second, {-10, 0, 10, 0}},       {1, First, {-20, -20, -20, -20}},
    {1, Second, {-30, 0, 30, 0}},   {2, First, {-20, -20, -20, -20}},   {3, First, {-30, -30, -30, -30}},
    {4, First, {-90, 0, 90, 0}},    {4, Second, {0, 90, 0, 0}},         {4, Third, {70, 0, -70, 0}},
    {5, Second, {40, 10, 40, 130}}, {7, First, {90, 0, -90, 0}},        {7, Second, {0, 0, 0, -90}},
    {7, Third, {70, 0, -70, 0}},    {8, Second, {-40, -130, -40, -10}}, {10, First, {-25, 0, 10, -15}},
    {10, Third, {-5, -5, -5, -5}},  {11, First, {30, 0, 20, 40}},       {12, First, {10, 10, 10, 10}},
    {13, First, {10, -15, -25, 0}}, {13, Third, {5, 5, 5, 5}},          {14, First, {20, 40, 30, 0}},
    {15, First, {10, 10, 10, 10}},
};

const HeldAngle crouch[] = {
    {1, First, 30},    {4, Third, -85},   {5, First, 30},   {5, Second, 110}, {7, Third, 85},   {8, First, 30},
    {8, Second, -110}, {10, First, -110}, {10, Second, -5}, {10, Third, -5},  {11, First, 130}, {12, First, -20},
    {13, First, -110}, {13, Second, 5},   {13, Third, 5},   {14, First, 130}, {15, First, -20},
};

const float standDuration = 0.3f;
const float walkDuration = 0.25f;
const float runDuration = 0.1f;
const float swimDuration = 0.2f;
const float crouchDuration = 1.0f;
const float tumbleDuration = 0.1f;

const int32_t groundedSet = -1;
const int32_t groundedCleared = 0;

// Stores one target angle, converting whole degrees to radians.
void setTarget(int joint, Angle angle, int degrees)
{
    const float radians = static_cast<float>(degrees * radiansPerDegree);
    switch (angle) {
    case First: poseBlend.target.first[joint] = radians; break;
    case Second: poseBlend.target.second[joint] = radians; break;
    case Third: poseBlend.target.third[joint] = radians; break;
    }
}

template <int N>
void setHeldPose(const HeldAngle (&pose)[N])
{
    for (const HeldAngle& entry : pose)
        setTarget(entry.joint, entry.angle, entry.degrees);
}

// Moves the shared step counter on (1, 2, 3, 4, 1, ...) and writes that step
// of the cycle.
template <int N>
void setNextCycleStep(const CycleAngle (&cycle)[N])
{
    poseProgram.step += 1;
    if (poseProgram.step > 4)
        poseProgram.step = 1;
    for (const CycleAngle& entry : cycle)
        setTarget(entry.joint, entry.angle, entry.degrees[poseProgram.step - 1]);
}

// A new random pose for a character whirled about by the tornado. The draws
// happen in exactly this order.
void setTumblePose()
{
    setTarget(4, First, -90);
    setTarget(7, First, -90);
    setTarget(1, First, randomNext() % 20 - 10);
    setTarget(1, Second, randomNext() % 20 - 10);
    setTarget(4, Third, randomNext() % 40 + 30);
    setTarget(5, Second, randomNext() % 10 + 30);
    setTarget(7, Third, randomNext() % 40 - 70);
    setTarget(8, Second, randomNext() % 10 - 50);
    setTarget(11, First, randomNext() % 50);
    setTarget(14, First, randomNext() % 50);
    setTarget(10, First, randomNext() % 20 - 20);
    setTarget(13, First, randomNext() % 20);
}

}  // namespace

void updatePoseProgram(float dt)
{
    if (poseProgram.step == 0)
        poseProgram.step = 1;  // start a new blend at once, abandoning the running one
    else if (!advanceBlend(dt))
        return;

    beginBlend();
    poseBlend.duration = standDuration;
    setHeldPose(basePose);

    switch (poseProgram.mode) {
    case PoseMode::Stand: setHeldPose(stand); break;
    case PoseMode::Walk:
        poseBlend.duration = walkDuration;
        meshes.character.SetGrounded(groundedSet);
        setNextCycleStep(walk);
        break;
    case PoseMode::Run:
        poseBlend.duration = runDuration;
        meshes.character.SetGrounded(groundedCleared);
        setNextCycleStep(run);
        break;
    case PoseMode::Swim:
        poseBlend.duration = swimDuration;
        meshes.character.SetGrounded(groundedCleared);
        setNextCycleStep(swim);
        break;
    case PoseMode::Crouch:
        poseBlend.duration = crouchDuration;
        meshes.character.SetGrounded(groundedSet);
        setHeldPose(crouch);
        break;
    case PoseMode::Tumble:
        poseBlend.duration = tumbleDuration;
        setTumblePose();
        break;
    }
}

void setPoseMode(PoseMode mode)
{
    poseProgram.mode = mode;
}

void restartPoseCycle()
{
    poseProgram.step = 0;
}
