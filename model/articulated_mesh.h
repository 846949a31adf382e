// ArticulatedMesh: a Mesh whose vertices are bound to a hierarchy of joints.
//
// The joints come from the model file's control points. Animation sets three
// angles per joint; each posing (once a frame, in the frame's step) poses the
// whole mesh afresh from its rest pose, and the drawing, when grounded, lowers
// it so its lowest joint stands at the height it is placed at.
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

    int32_t jointCount;       // entries in `joints`
    int32_t restVertexCount;  // vertices in `restVertices`

    ArticulatedMesh();
    ~ArticulatedMesh();
    ArticulatedMesh(const ArticulatedMesh&) = delete;
    ArticulatedMesh& operator=(const ArticulatedMesh&) = delete;

    void Load(const char* fileName);
    // Builds the joints from the control points, binds the vertices to them
    // and takes the rest copy. Control points whose parent is out of range or
    // not an earlier point, second roots, and points nested deeper than
    // JOINT_MAX_DEPTH, with everything under them, are left out of the
    // hierarchy: their vertices stay where the file put them and their angles
    // have no effect. So are vertices whose joint index names no joint.
    void BuildJoints();
    // Ignored for a joint the model doesn't have.
    void SetJointAngles(int32_t joint, float a, float b, float c);
    void SetGrounded(int32_t flag);
    // Restores the rest pose and poses every joint by its angles, leaving the
    // posed vertices in the vertex array and the lowest joint in `lowestY`.
    void Pose();
    // The transform that draws the posed mesh placed by `placed`: when
    // grounded, lowered by scale * lowestY, so that (turned only about y)
    // its lowest joint stands at the placed height; otherwise `placed`.
    MeshTransform Grounded(const MeshTransform& placed) const;
};

// The deepest joint nesting that is posed (the root has depth 0).
enum { JOINT_MAX_DEPTH = 256 };
