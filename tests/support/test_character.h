// A small stand-in for the character, built in code for the pose tests.
#pragma once

#include "scene/pose_blend.h"

// Replaces characterMesh with a fresh model of `jointCount` joints in a chain
// (joint i is the child of joint i - 1), each holding one vertex.
void buildTestCharacter(int jointCount);

// Gives every joint of characterMesh the same angles, so a test can see
// which joints a later call changed.
void markTestCharacterJoints(float a, float b, float c);

// The angles characterMesh holds for joints 0..15 (those it has); joints
// the model lacks read as NaN.
Pose testCharacterAngles();
