// Pose blending; see pose_blend.h.
#include "scene/pose_blend.h"

#include <cstring>

#include "scene/scene_state.h"

PoseBlend poseBlend;

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
    if (meshes.character.joints == nullptr || meshes.character.jointCount < 0)
        return 0;
    return meshes.character.jointCount < POSE_JOINT_COUNT ? meshes.character.jointCount : POSE_JOINT_COUNT;
}

void applyCurrentPose()
{
    const int count = appliedJointCount();
    for (int i = 0; i < count; ++i)
        meshes.character.SetJointAngles(i, poseBlend.current.first[i], poseBlend.current.second[i],
                                        poseBlend.current.third[i]);
}

}  // namespace

void clearPose()
{
    std::memset(&poseBlend.current, 0, sizeof poseBlend.current);
    std::memset(&poseBlend.start, 0, sizeof poseBlend.start);
    std::memset(&poseBlend.target, 0, sizeof poseBlend.target);
}

void beginBlend()
{
    poseBlend.time = 0.0f;
    poseBlend.duration = 0.0f;
    poseBlend.start = poseBlend.current;
    std::memset(&poseBlend.target, 0, sizeof poseBlend.target);
}

bool advanceBlend(float dt)
{
    poseBlend.time += dt;

    // Written so that a duration of 0 (or a NaN anywhere) counts as finished
    // instead of dividing by zero.
    const bool finished = !(poseBlend.time < poseBlend.duration);
    if (finished) {
        // The exact target: start + 1 * (target - start) may miss it by a rounding.
        poseBlend.time = poseBlend.duration;
        poseBlend.current = poseBlend.target;
    } else {
        float f = poseBlend.time / poseBlend.duration;
        if (f < 0.0f)
            f = 0.0f;
        blendAngles(poseBlend.current.first, poseBlend.start.first, poseBlend.target.first, f);
        blendAngles(poseBlend.current.second, poseBlend.start.second, poseBlend.target.second, f);
        blendAngles(poseBlend.current.third, poseBlend.start.third, poseBlend.target.third, f);
    }

    applyCurrentPose();
    return finished;
}
