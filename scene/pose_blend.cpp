// Pose blending; see pose_blend.h.
#include "scene/pose_blend.h"

#include <cstring>

#include "scene/scene_state.h"

Pose currentPose;
Pose startPose;
Pose targetPose;
float blendTime = 0.0f;
float blendDuration = 0.0f;

namespace {

// Linear interpolation of every angle, no wrapping: a blend from -90 to +90
// degrees passes through 0.
void blendAngles(float* current, const float* start, const float* target, float f)
{
    for (int i = 0; i < POSE_JOINT_COUNT; ++i)
        current[i] = start[i] + f * (target[i] - start[i]);
}

// How many of the pose's joints the character really has. A model with
// fewer joints (or none, before it is loaded) only gets the ones it has.
int appliedJointCount()
{
    if (characterMesh.joints == nullptr || characterMesh.jointCount < 0)
        return 0;
    return characterMesh.jointCount < POSE_JOINT_COUNT ? characterMesh.jointCount : POSE_JOINT_COUNT;
}

void applyCurrentPose()
{
    const int count = appliedJointCount();
    for (int i = 0; i < count; ++i)
        characterMesh.SetJointAngles(i, currentPose.first[i], currentPose.second[i], currentPose.third[i]);
}

}  // namespace

void clearPose()
{
    std::memset(&currentPose, 0, sizeof currentPose);
    std::memset(&startPose, 0, sizeof startPose);
    std::memset(&targetPose, 0, sizeof targetPose);
}

void beginBlend()
{
    blendTime = 0.0f;
    blendDuration = 0.0f;
    startPose = currentPose;
    std::memset(&targetPose, 0, sizeof targetPose);
}

bool advanceBlend(float dt)
{
    blendTime += dt;

    // Written so that a duration of 0 (or a NaN anywhere) counts as finished
    // instead of dividing by zero.
    const bool finished = !(blendTime < blendDuration);
    if (finished) {
        // The exact target: start + 1 * (target - start) may miss it by a rounding.
        blendTime = blendDuration;
        currentPose = targetPose;
    } else {
        float f = blendTime / blendDuration;
        if (f < 0.0f)
            f = 0.0f;
        blendAngles(currentPose.first, startPose.first, targetPose.first, f);
        blendAngles(currentPose.second, startPose.second, targetPose.second, f);
        blendAngles(currentPose.third, startPose.third, targetPose.third, f);
    }

    applyCurrentPose();
    return finished;
}
