// Pose blending: moves the character's 16 joints from one pose to another in
// a straight line over a given time.
//
// A pose is three angles (first, second, third, in radians) for each of the
// joints 0 to 15, in the order ArticulatedMesh::SetJointAngles takes them.
// The pose programs start each blend, write its target and duration, and
// start the next blend when advanceBlend reports that this one is finished.
#pragma once

enum { POSE_JOINT_COUNT = 16 };

struct Pose {
    float first[POSE_JOINT_COUNT];
    float second[POSE_JOINT_COUNT];
    float third[POSE_JOINT_COUNT];
};

struct PoseBlend {
    Pose current = {};      // the pose last applied to the character
    Pose start = {};        // the pose the running blend began from
    Pose target = {};       // the pose the running blend ends at
    float time = 0.0f;      // seconds elapsed in the running blend
    float duration = 0.0f;  // length of the running blend, seconds
};
extern PoseBlend poseBlend;

// Zeroes the current, start and target poses. Does not touch the mesh.
void clearPose();

// Starts a new blend from the current pose: time and duration 0, every
// target angle 0. The caller then sets poseBlend.duration and the targets.
void beginBlend();

// Moves the blend on by dt seconds and applies the blended pose to joints
// 0..15 of meshes.character (those it has). Returns true once the blend has
// reached its end; the finishing call applies the exact target, and further
// calls keep applying it and return true until the next beginBlend. A blend
// whose duration is not above 0 finishes at once.
bool advanceBlend(float dt);
