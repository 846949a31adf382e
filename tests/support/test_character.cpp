// A small stand-in for the character; see test_character.h.
#include "tests/support/test_character.h"

#include <cmath>
#include <new>

#include "app/globals.h"
#include "model/grow.h"
#include "scene/scene_state.h"

void buildTestCharacter(int jointCount)
{
    characterMesh.~ArticulatedMesh();
    new (&characterMesh) ArticulatedMesh();
    for (int i = 0; i < jointCount; ++i) {
        const ControlPoint point = {0.0f, static_cast<float>(i), 0.0f, i - 1};
        appendRecord(characterMesh.controlPoints, characterMesh.controlPointCount, characterMesh.controlPointCapacity,
                     point);
        const MeshVertex vertex = {1.0f, static_cast<float>(i), 0.0f, 0.0f, 0.0f, i};
        characterMesh.AddVertex(vertex);
    }
    characterMesh.BuildJoints();
}

void markTestCharacterJoints(float a, float b, float c)
{
    for (int i = 0; i < characterMesh.jointCount; ++i)
        characterMesh.SetJointAngles(i, a, b, c);
}

Pose testCharacterAngles()
{
    Pose pose;
    for (int i = 0; i < POSE_JOINT_COUNT; ++i) {
        const bool present = characterMesh.joints != nullptr && i < characterMesh.jointCount;
        pose.first[i] = present ? characterMesh.joints[i]->angles[0] : NAN;
        pose.second[i] = present ? characterMesh.joints[i]->angles[1] : NAN;
        pose.third[i] = present ? characterMesh.joints[i]->angles[2] : NAN;
    }
    return pose;
}
