// ArticulatedMesh: a Mesh whose vertices are bound to a hierarchy of joints.
//
// The joints come from the model file's control points. Animation sets three
// angles per joint; every draw poses the whole mesh afresh from its rest pose
// and, when grounded, lowers it so its lowest joint stands at its position.
#pragma once
#include <cstdint>

#include "model/mesh.h"

struct ArticulatedMesh;

struct Joint {
    Vec3 pivot;       // rest position in model space
    int32_t parent;   // parent index, -1 for the root
    Vec3 restOffset;  // once bound: pivot relative to the parent's pivot
    Vec3 offset;      // current offset, rebuilt and rotated during each posing
    float angles[3];  // a, b, c in radians
    int32_t propagated;

    int32_t* vertices;  // indices of the mesh vertices bound to this joint
    int32_t vertexCount;
    int32_t vertexCapacity;

    Joint** children;
    int32_t childCount;
    int32_t childCapacity;

    ArticulatedMesh* mesh;
    int32_t index;

    Joint();
    ~Joint();
    Joint(const Joint&) = delete;
    Joint& operator=(const Joint&) = delete;

    void AddChild(Joint* child);
    void AddVertex(int32_t vertexIndex);
    void Bind(ArticulatedMesh* owner);
    void SetAngles(float a, float b, float c);
    void Prepare();
    void Rotate(float a, float b, float c);
    void Translate(float x, float y, float z);
};

struct ArticulatedMesh : Mesh {
    MeshVertex* restVertices;  // the rest pose, taken once the joints are bound
    int32_t grounded;          // nonzero: stand on the lowest joint when drawn
    float lowestY;             // lowest joint height of the pose being drawn
    Joint** joints;            // one per control point, in control-point order

    ControlPoint* controlPoints;
    int32_t controlPointCount;
    int32_t controlPointCapacity;

    ArticulatedMesh();
    ~ArticulatedMesh();

    void Load(const char* fileName);
    void BuildJoints();
    void SetJointAngles(int32_t joint, float a, float b, float c);
    void SetGrounded(int32_t flag);
    void Draw();
};
