// ArticulatedMesh and Joint: the joint hierarchy of the character and the
// posing passes that move its vertices once a frame.
//
// Binding makes every joint's offset relative to its parent's pivot and every
// bound vertex relative to its own joint's pivot; the rest pose is kept in a
// copy. Each posing starts from that copy: Prepare turns every joint's own
// vertices by its own angles, Rotate hands each joint's rotation down its
// subtree, and Translate adds the posed joint positions from the root down.
#include "model/articulated_mesh.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "model/grow.h"
#include "platform/notice.h"

namespace {

// R(a, b, c) = Rz(-c) * Rx(a) * Ry(b) on column vectors, row by row, each
// element rounded to float.
struct Rotation {
    float m[9];
};

Rotation jointRotation(float a, float b, float c)
{
    const double sa = std::sin(static_cast<double>(a));
    const double ca = std::cos(static_cast<double>(a));
    const double sb = std::sin(static_cast<double>(b));
    const double cb = std::cos(static_cast<double>(b));
    const double sc = std::sin(static_cast<double>(c));
    const double cc = std::cos(static_cast<double>(c));
    Rotation r;
    r.m[0] = static_cast<float>(cb * cc + sa * sb * sc);
    r.m[1] = static_cast<float>(ca * sc);
    r.m[2] = static_cast<float>(sb * cc - sa * cb * sc);
    r.m[3] = static_cast<float>(sa * sb * cc - cb * sc);
    r.m[4] = static_cast<float>(ca * cc);
    r.m[5] = static_cast<float>(-sa * cb * cc - sb * sc);
    r.m[6] = static_cast<float>(-ca * sb);
    r.m[7] = static_cast<float>(sa);
    r.m[8] = static_cast<float>(ca * cb);
    return r;
}

void rotate(const Rotation& r, float& x, float& y, float& z)
{
    const float ox = x;
    const float oy = y;
    const float oz = z;
    x = r.m[0] * ox + r.m[1] * oy + r.m[2] * oz;
    y = r.m[3] * ox + r.m[4] * oy + r.m[5] * oz;
    z = r.m[6] * ox + r.m[7] * oy + r.m[8] * oz;
}

bool anyNonzero(float a, float b, float c)
{
    return a != 0.0f || b != 0.0f || c != 0.0f;
}

}  // namespace

// --- Joint -------------------------------------------------------------------

Joint::Joint()
    : pivot{0.0f, 0.0f, 0.0f},
      parent(0),
      restOffset{0.0f, 0.0f, 0.0f},
      offset{0.0f, 0.0f, 0.0f},
      angles{0.0f, 0.0f, 0.0f},
      propagated(0),
      vertices(nullptr),
      vertexCount(0),
      vertexCapacity(0),
      children(nullptr),
      childCount(0),
      childCapacity(0),
      mesh(nullptr),
      index(0)
{}

// The children themselves belong to the ArticulatedMesh's joint table.
Joint::~Joint()
{
    releaseRecords(vertices, vertexCount, vertexCapacity);
    releaseRecords(children, childCount, childCapacity);
}

void Joint::AddChild(Joint* child)
{
    appendRecord(children, childCount, childCapacity, child);
}

void Joint::AddVertex(int32_t vertexIndex)
{
    appendRecord(vertices, vertexCount, vertexCapacity, vertexIndex);
}

void Joint::Bind(ArticulatedMesh* owner)
{
    mesh = owner;
    for (int32_t i = 0; i < childCount; ++i) {
        Joint* child = children[i];
        child->Bind(owner);
        child->restOffset.x -= pivot.x;
        child->restOffset.y -= pivot.y;
        child->restOffset.z -= pivot.z;
    }
    for (int32_t i = 0; i < vertexCount; ++i) {
        if (vertices[i] < mesh->vertexCount) {
            MeshVertex& v = mesh->vertices[vertices[i]];
            v.x -= pivot.x;
            v.y -= pivot.y;
            v.z -= pivot.z;
        }
    }
}

void Joint::SetAngles(float a, float b, float c)
{
    angles[0] = a;
    angles[1] = b;
    angles[2] = c;
}

void Joint::Prepare()
{
    propagated = 0;
    offset = restOffset;
    if (vertexCount > 0 && mesh != nullptr) {
        const Rotation r = jointRotation(angles[0], angles[1], angles[2]);
        for (int32_t i = 0; i < vertexCount; ++i) {
            if (vertices[i] < mesh->vertexCount) {
                MeshVertex& v = mesh->vertices[vertices[i]];
                rotate(r, v.x, v.y, v.z);
            }
        }
    }
}

void Joint::Rotate(float a, float b, float c)
{
    if (anyNonzero(a, b, c)) {
        const Rotation r = jointRotation(a, b, c);
        rotate(r, offset.x, offset.y, offset.z);
        for (int32_t i = 0; i < vertexCount; ++i) {
            if (vertices[i] < mesh->vertexCount) {
                MeshVertex& v = mesh->vertices[vertices[i]];
                rotate(r, v.x, v.y, v.z);
            }
        }
    }
    // The joint's own rotation reaches its subtree once per posing, after
    // the subtree's own rotations and before those of the ancestors.
    if (propagated == 0) {
        if (anyNonzero(angles[0], angles[1], angles[2])) {
            for (int32_t i = 0; i < childCount; ++i) {
                children[i]->Rotate(angles[0], angles[1], angles[2]);
            }
        }
        propagated = -1;
    }
    for (int32_t i = 0; i < childCount; ++i) {
        children[i]->Rotate(a, b, c);
    }
}

void Joint::Translate(float x, float y, float z)
{
    const Vec3 p = {x + offset.x, y + offset.y, z + offset.z};
    for (int32_t i = 0; i < vertexCount; ++i) {
        if (vertices[i] < mesh->vertexCount) {
            MeshVertex& v = mesh->vertices[vertices[i]];
            v.x += p.x;
            v.y += p.y;
            v.z += p.z;
        }
    }
    for (int32_t i = 0; i < childCount; ++i) {
        children[i]->Translate(p.x, p.y, p.z);
    }
    if (p.y < mesh->lowestY) {
        mesh->lowestY = p.y;
    }
}

// --- ArticulatedMesh -----------------------------------------------------------

ArticulatedMesh::ArticulatedMesh()
    : restVertices(nullptr),
      grounded(0),
      lowestY(0.0f),
      joints(nullptr),
      controlPoints(nullptr),
      controlPointCount(0),
      controlPointCapacity(0),
      jointCount(0),
      restVertexCount(0)
{}

namespace {

void releaseJoints(ArticulatedMesh* mesh)
{
    for (int32_t i = 0; i < mesh->jointCount; ++i) {
        delete mesh->joints[i];
    }
    std::free(mesh->joints);
    mesh->joints = nullptr;
    mesh->jointCount = 0;
    std::free(mesh->restVertices);
    mesh->restVertices = nullptr;
    mesh->restVertexCount = 0;
}

}  // namespace

ArticulatedMesh::~ArticulatedMesh()
{
    releaseJoints(this);
    releaseRecords(controlPoints, controlPointCount, controlPointCapacity);
}

void ArticulatedMesh::BuildJoints()
{
    releaseJoints(this);

    const int32_t count = controlPointCount;
    // depth[j]: how deep joint j sits under joint 0, or -1 when it is not in
    // joint 0's tree.
    int32_t* depth = nullptr;
    if (count > 0) {
        joints = static_cast<Joint**>(std::calloc(static_cast<size_t>(count), sizeof(Joint*)));
        depth = static_cast<int32_t*>(std::malloc(static_cast<size_t>(count) * sizeof(int32_t)));
        if (joints == nullptr || depth == nullptr) {
            noticeShow(NOTICE_WARNING,
                       "no memory for " + std::to_string(count) + " joints; the model is not articulated\n");
            std::free(joints);
            joints = nullptr;
        }
    }
    if (joints != nullptr) {
        for (int32_t j = 0; j < count; ++j) {
            Joint* joint = new (std::nothrow) Joint;
            if (joint == nullptr) {
                break;
            }
            joints[j] = joint;
            jointCount = j + 1;
            const ControlPoint& point = controlPoints[j];
            joint->index = j;
            joint->pivot = Vec3{point.x, point.y, point.z};
            joint->parent = point.parent;
            joint->restOffset = joint->pivot;
            depth[j] = -1;
            const int32_t p = point.parent;
            if (j == 0) {
                depth[j] = 0;
            } else if (p >= 0 && p < j && depth[p] >= 0 && depth[p] < JOINT_MAX_DEPTH) {
                const int32_t before = joints[p]->childCount;
                joints[p]->AddChild(joint);
                if (joints[p]->childCount > before) {
                    depth[j] = depth[p] + 1;
                }
            }
        }
        if (jointCount > 0) {
            for (int32_t v = 0; v < vertexCount; ++v) {
                const int32_t j = vertices[v].joint;
                if (j >= 0 && j < jointCount && depth[j] >= 0) {
                    joints[j]->AddVertex(v);
                }
            }
            joints[0]->Bind(this);
        }
    }
    std::free(depth);

    if (vertexCount > 0) {
        restVertices = static_cast<MeshVertex*>(std::malloc(static_cast<size_t>(vertexCount) * sizeof(MeshVertex)));
        if (restVertices != nullptr) {
            std::memcpy(restVertices, vertices, static_cast<size_t>(vertexCount) * sizeof(MeshVertex));
            restVertexCount = vertexCount;
        }
    }
}

void ArticulatedMesh::SetJointAngles(int32_t joint, float a, float b, float c)
{
    if (joint >= 0 && joint < jointCount) {
        joints[joint]->SetAngles(a, b, c);
    }
}

void ArticulatedMesh::SetGrounded(int32_t flag)
{
    grounded = flag;
}

void ArticulatedMesh::Pose()
{
    const int32_t restored = restVertexCount < vertexCount ? restVertexCount : vertexCount;
    if (restored > 0) {
        std::memcpy(vertices, restVertices, static_cast<size_t>(restored) * sizeof(MeshVertex));
    }
    lowestY = 1000000.0f;
    for (int32_t i = 0; i < jointCount; ++i) {
        joints[i]->Prepare();
    }
    if (jointCount > 0) {
        joints[0]->Rotate(0.0f, 0.0f, 0.0f);
        joints[0]->Translate(0.0f, 0.0f, 0.0f);
    }
}

MeshTransform ArticulatedMesh::Grounded(const MeshTransform& placed) const
{
    MeshTransform drawn = placed;
    if (grounded != 0) {
        drawn.position.y = placed.position.y - placed.scale * lowestY;
    }
    return drawn;
}
