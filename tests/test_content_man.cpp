// The character's model read back with the program's own reader, and
// posed with the joint rotation and the pose tables to see that the
// skeleton's sides and facing fit them.
//
// The posing here is written out from the rotation's definition
// R(a, b, c) = Rz(-c) * Rx(a) * Ry(b), applied down the joint chain, so it
// checks the model against the tables independently of the program's own
// posing code; one test then checks that the program poses him the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "model/articulated_mesh.h"
#include "tests/support/gl_checks.h"

namespace {

struct P3 {
    float x, y, z;
};
P3 add(P3 a, P3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
P3 sub(P3 a, P3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
P3 cross(P3 a, P3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(P3 a, P3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

struct M3 {
    float m[3][3];
    P3 operator*(P3 v) const {
        return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
                m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
    }
    M3 operator*(const M3& o) const {
        M3 r{};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                for (int k = 0; k < 3; ++k) r.m[i][j] += m[i][k] * o.m[k][j];
        return r;
    }
};

// The joint rotation, element by element, angles in degrees.
M3 jointRotation(float aDeg, float bDeg, float cDeg) {
    const float k = 0.017453292f;
    float sa = std::sin(aDeg * k), ca = std::cos(aDeg * k);
    float sb = std::sin(bDeg * k), cb = std::cos(bDeg * k);
    float sc = std::sin(cDeg * k), cc = std::cos(cDeg * k);
    return M3{{{cb * cc + sa * sb * sc, ca * sc, sb * cc - sa * cb * sc},
               {sa * sb * cc - cb * sc, ca * cc, -sa * cb * cc - sb * sc},
               {-ca * sb, sa, ca * cb}}};
}

using Pose = std::map<int, P3>;  // joint -> (first, second, third) in degrees

// The base pose every program writes first; `extra` overwrites it.
Pose withBase(const Pose& extra) {
    Pose p{{4, {0, 0, -85}}, {5, {0, 20, 0}}, {7, {0, 0, 85}}, {8, {0, -20, 0}}, {10, {0, 0, -5}}, {13, {0, 0, 5}}};
    for (const auto& [joint, angles] : extra) p[joint] = angles;
    return p;
}

// Key poses from the tables: the walk's two strides, the swim's first
// stroke and the crouch, each complete with the base pose.
Pose walkStep1() {
    return withBase({{1, {0, -10, 0}}, {2, {0, 4, 0}}, {3, {0, 4, 0}}, {4, {0, -35, -85}}, {5, {0, 0, 0}},
                    {7, {0, -25, 85}}, {8, {0, -50, 0}}, {10, {-25, 0, -5}}, {11, {15, 0, 0}}, {13, {20, 0, 5}},
                    {14, {15, 0, 0}}});
}
Pose walkStep3() {
    return withBase({{1, {0, 10, 0}}, {2, {0, -4, 0}}, {3, {0, -4, 0}}, {4, {0, 25, -85}}, {5, {0, 50, 0}},
                    {7, {0, 35, 85}}, {8, {0, 0, 0}}, {10, {20, 0, -5}}, {11, {15, 0, 0}}, {13, {-25, 0, 5}},
                    {14, {15, 0, 0}}});
}
Pose swimStep1() {
    return {{0, {80, -10, 0}}, {1, {-20, -30, 0}}, {2, {-20, 0, 0}}, {3, {-30, 0, 0}}, {4, {-90, 0, 70}},
                {5, {0, 40, 0}}, {7, {90, 0, 70}}, {8, {0, -40, 0}}, {10, {-25, 0, -5}}, {11, {30, 0, 0}},
                {12, {10, 0, 0}}, {13, {10, 0, 5}}, {14, {20, 0, 0}}, {15, {10, 0, 0}}};
}
Pose crouch() {
    return {{1, {30, 0, 0}}, {4, {0, 0, -85}}, {5, {30, 110, 0}}, {7, {0, 0, 85}}, {8, {30, -110, 0}},
                {10, {-110, -5, -5}}, {11, {130, 0, 0}}, {12, {-20, 0, 0}}, {13, {-110, 5, 5}},
                {14, {130, 0, 0}}, {15, {-20, 0, 0}}};
}

struct Posed {
    std::vector<P3> joints;    // posed pivots
    std::vector<P3> vertices;  // posed vertices
    std::vector<M3> frames;    // each joint's accumulated rotation
};

// The model as read: vertices in model space, faces and control points.
struct Figure {
    std::vector<MeshVertex> vertices;
    std::vector<MeshFace> faces;
    std::vector<ControlPoint> controlPoints;
};

Posed pose(const Figure& man, const Pose& angles) {
    const size_t n = man.controlPoints.size();
    Posed out;
    out.joints.resize(n);
    out.frames.resize(n);
    for (size_t j = 0; j < n; ++j) {
        const ControlPoint& cp = man.controlPoints[j];
        P3 a = angles.count(static_cast<int>(j)) ? angles.at(static_cast<int>(j)) : P3{0, 0, 0};
        M3 own = jointRotation(a.x, a.y, a.z);
        if (cp.parent < 0) {
            out.joints[j] = {cp.x, cp.y, cp.z};
            out.frames[j] = own;
        } else {
            const ControlPoint& pp = man.controlPoints[static_cast<size_t>(cp.parent)];
            const M3& parentFrame = out.frames[static_cast<size_t>(cp.parent)];
            out.joints[j] = add(out.joints[static_cast<size_t>(cp.parent)], parentFrame * P3{cp.x - pp.x, cp.y - pp.y, cp.z - pp.z});
            out.frames[j] = parentFrame * own;
        }
    }
    for (const MeshVertex& v : man.vertices) {
        size_t j = static_cast<size_t>(v.joint);
        const ControlPoint& cp = man.controlPoints[j];
        out.vertices.push_back(add(out.joints[j], out.frames[j] * P3{v.x - cp.x, v.y - cp.y, v.z - cp.z}));
    }
    return out;
}

// MAN.KMO read by the program. Its reader binds the vertices to their
// joints, relative to the pivots; posing with every angle zero puts them
// back where the file has them.
ArticulatedMesh& loadedMan() {
    static ArticulatedMesh mesh;
    static bool loaded = false;
    if (!loaded) {
        mesh.Load("MAN.KMO");
        mesh.Pose();
        loaded = true;
    }
    return mesh;
}

const Figure& man() {
    static Figure figure;
    if (figure.controlPoints.empty()) {
        ArticulatedMesh& mesh = loadedMan();
        figure.vertices.assign(mesh.vertices, mesh.vertices + mesh.vertexCount);
        figure.faces.assign(mesh.faces, mesh.faces + mesh.faceCount);
        figure.controlPoints.assign(mesh.controlPoints, mesh.controlPoints + mesh.controlPointCount);
    }
    return figure;
}

// The posing below rests on this rotation: check it on the axes first.
TEST(ContentManPose, JointRotationTurnsTheAxesAsDefined) {
    auto near = [](P3 a, P3 b) { return std::fabs(a.x - b.x) < 1e-6f && std::fabs(a.y - b.y) < 1e-6f && std::fabs(a.z - b.z) < 1e-6f; };
    EXPECT_TRUE(near(jointRotation(0, 90, 0) * P3{1, 0, 0}, {0, 0, -1}));
    EXPECT_TRUE(near(jointRotation(0, 0, 90) * P3{1, 0, 0}, {0, -1, 0}));
    EXPECT_TRUE(near(jointRotation(90, 0, 0) * P3{0, 1, 0}, {0, 0, 1}));
    // b first, then a, then c: R(a, b, c) = Rz(-c) Rx(a) Ry(b).
    EXPECT_TRUE(near(jointRotation(90, 90, 0) * P3{1, 0, 0}, jointRotation(90, 0, 0) * (jointRotation(0, 90, 0) * P3{1, 0, 0})));
    EXPECT_TRUE(near(jointRotation(0, 90, 90) * P3{0, 1, 0}, jointRotation(0, 0, 90) * (jointRotation(0, 90, 0) * P3{0, 1, 0})));
}

TEST(ContentMan, SkeletonIsNumberedAsThePoseTablesExpect) {
    REQUIRE_GL();
    const Figure& m = man();
    ASSERT_GE(m.controlPoints.size(), 16u);
    ASSERT_GE(m.controlPoints.size(), 16u);
    const int parents[16] = {-1, 0, 1, 2, 1, 4, 5, 1, 7, 8, 0, 10, 11, 0, 13, 14};
    for (size_t j = 0; j < m.controlPoints.size(); ++j) {
        if (j < 16) {
            EXPECT_EQ(m.controlPoints[j].parent, parents[j]) << "joint " << j;
        }
        if (j > 0) {
            EXPECT_TRUE(m.controlPoints[j].parent >= 0 && m.controlPoints[j].parent < static_cast<int32_t>(j));
        }
    }
    auto cp = [&](int j) { return m.controlPoints[static_cast<size_t>(j)]; };
    // Sides: shoulder 4 and hip 10 on -x, shoulder 7 and hip 13 on +x; the
    // arms straight out, elbows and wrists further out along them.
    EXPECT_LT(cp(4).x, 0.0f);
    EXPECT_LT(cp(10).x, 0.0f);
    EXPECT_GT(cp(7).x, 0.0f);
    EXPECT_GT(cp(13).x, 0.0f);
    EXPECT_TRUE(cp(6).x < cp(5).x && cp(5).x < cp(4).x && cp(7).x < cp(8).x && cp(8).x < cp(9).x);
    EXPECT_NEAR(cp(5).y, cp(4).y, 0.01f);
    EXPECT_NEAR(cp(9).y, cp(7).y, 0.01f);
    // Heights: hips near 0.5, knees and ankles below, head above the neck.
    EXPECT_NEAR(cp(0).y, 0.5f, 0.06f);
    EXPECT_NEAR(cp(10).y, 0.5f, 0.06f);
    EXPECT_TRUE(cp(12).y < cp(11).y && cp(11).y < cp(10).y && cp(15).y < cp(14).y && cp(14).y < cp(13).y);
    EXPECT_TRUE(cp(0).y < cp(1).y && cp(1).y < cp(2).y && cp(2).y < cp(3).y);
}

TEST(ContentMan, BodyIsOneUnitTallStandingOnYZeroFacingPlusZ) {
    REQUIRE_GL();
    const Figure& m = man();
    ASSERT_GE(m.controlPoints.size(), 16u);
    float minY = 1e9f, maxY = -1e9f, minZ = 1e9f, maxZ = -1e9f;
    for (const MeshVertex& v : m.vertices) {
        minY = std::min(minY, v.y), maxY = std::max(maxY, v.y);
        minZ = std::min(minZ, v.z), maxZ = std::max(maxZ, v.z);
    }
    EXPECT_NEAR(minY, 0.0f, 0.005f) << "soles at y = 0";
    // Textured: the material's bitmap became a real texture.
    ArticulatedMesh& mesh = loadedMan();
    ASSERT_GE(mesh.materialCount, 1);
    for (int32_t i = 0; i < mesh.materialCount; ++i) EXPECT_GE(readTexture(mesh.materials[i].texture).width, 64);
    EXPECT_EQ(mesh.lineCount, 0);
    EXPECT_NEAR(maxY, 1.0f, 0.08f);
    // The toes reach forward (+z) well past the heels behind.
    EXPECT_GT(maxZ, 0.12f);
    EXPECT_GT(minZ, -0.1f);
}

// Each vertex belongs to the joint that moves it: it lies close to the
// bone from that joint's pivot to its child's (the head, hands and feet,
// which have no child, close to their own pivot).
TEST(ContentMan, EveryVertexIsBoundToTheJointThatShouldMoveIt) {
    REQUIRE_GL();
    const Figure& m = man();
    ASSERT_GE(m.controlPoints.size(), 16u);
    const int child[16] = {-1, 2, 3, -1, 5, 6, -1, 8, 9, -1, 11, 12, -1, 14, 15, -1};
    const float reach[16] = {0.17f, 0.17f, 0.06f, 0.14f, 0.07f, 0.06f, 0.11f, 0.07f, 0.06f, 0.11f,
                             0.09f, 0.07f, 0.17f, 0.09f, 0.07f, 0.17f};
    std::vector<int> count(m.controlPoints.size(), 0);
    for (const MeshVertex& v : m.vertices) {
        ASSERT_TRUE(v.joint >= 0 && v.joint < 16) << "vertex bound to no joint of the skeleton";
        ++count[static_cast<size_t>(v.joint)];
        EXPECT_TRUE(v.u >= 0 && v.u <= 1 && v.v >= 0 && v.v <= 1);
        const ControlPoint& a = m.controlPoints[static_cast<size_t>(v.joint)];
        P3 p{v.x, v.y, v.z}, pa{a.x, a.y, a.z};
        P3 closest = pa;
        int c = child[v.joint];
        if (c >= 0) {
            const ControlPoint& b = m.controlPoints[static_cast<size_t>(c)];
            P3 bone = sub({b.x, b.y, b.z}, pa);
            float t = std::clamp(dot(sub(p, pa), bone) / dot(bone, bone), 0.0f, 1.0f);
            closest = add(pa, {bone.x * t, bone.y * t, bone.z * t});
        }
        P3 d = sub(p, closest);
        EXPECT_LT(std::sqrt(dot(d, d)), reach[v.joint]) << "vertex of joint " << v.joint;
    }
    for (size_t j = 0; j < 16; ++j) EXPECT_GE(count[j], 20) << "joint " << j << " moves no body part";
}

// Every joint's part is a closed surface facing outward (positive volume),
// so back-face culling leaves the outside of the body.
TEST(ContentMan, PartsAreClosedAndFaceOutward) {
    REQUIRE_GL();
    const Figure& m = man();
    ASSERT_GE(m.controlPoints.size(), 16u);
    EXPECT_GE(m.faces.size(), 600u);
    std::vector<double> volume(16, 0.0);
    for (const MeshFace& f : m.faces) {
        const MeshVertex& a = m.vertices[static_cast<size_t>(f.a)];
        const MeshVertex& b = m.vertices[static_cast<size_t>(f.b)];
        const MeshVertex& c = m.vertices[static_cast<size_t>(f.c)];
        ASSERT_TRUE(a.joint == b.joint && b.joint == c.joint) << "a face spans two joints and would tear";
        volume[static_cast<size_t>(a.joint)] += dot({a.x, a.y, a.z}, cross({b.x, b.y, b.z}, {c.x, c.y, c.z})) / 6.0;
        P3 w = cross(sub({b.x, b.y, b.z}, {a.x, a.y, a.z}), sub({c.x, c.y, c.z}, {a.x, a.y, a.z}));
        EXPECT_GT(dot(w, {f.normal.x, f.normal.y, f.normal.z}), 0.0f);
    }
    for (size_t j = 0; j < 16; ++j) EXPECT_GT(volume[j], 1e-6) << "joint " << j;
}

P3 joint(const Posed& p, int j) {
    return p.joints[static_cast<size_t>(j)];
}

// Every vertex of the given joints' parts, posed.
std::vector<P3> partVertices(const Figure& m, const Posed& p, std::initializer_list<int> joints) {
    std::vector<P3> out;
    for (size_t i = 0; i < m.vertices.size(); ++i)
        for (int j : joints)
            if (m.vertices[i].joint == j) out.push_back(p.vertices[i]);
    return out;
}

TEST(ContentManPose, BasePoseHangsBothArmsAtTheSidesAndSetsTheFeetApart) {
    REQUIRE_GL();
    const Figure& m = man();
    ASSERT_GE(m.controlPoints.size(), 16u);
    Posed p = pose(m, withBase({}));
    for (int shoulder : {4, 7}) {
        P3 s = joint(p, shoulder), hand = joint(p, shoulder + 2);
        EXPECT_LT(hand.y, s.y - 0.25f) << "arm of shoulder " << shoulder << " does not hang down";
        EXPECT_NEAR(hand.x, s.x, 0.08f);
        // Hanging beside the body, not through it: every vertex of the arm
        // keeps out of the torso's width on its own side.
        float side = s.x < 0 ? -1.0f : 1.0f;
        for (P3 v : partVertices(m, p, {shoulder + 1, shoulder + 2})) EXPECT_GT(side * v.x, 0.11f);
    }
    EXPECT_LT(joint(p, 6).x, 0.0f);
    EXPECT_GT(joint(p, 9).x, 0.0f);
    // The hips' -5 and 5 draw the feet a little together, but they stay
    // apart, each on its own side.
    EXPECT_GT(joint(p, 12).x, joint(p, 10).x + 0.02f);
    EXPECT_LT(joint(p, 15).x, joint(p, 13).x - 0.02f);
    EXPECT_LT(joint(p, 12).x, -0.02f);
    EXPECT_GT(joint(p, 15).x, 0.02f);
    // Standing, the ankles are the lowest joints, close to the soles.
    float lowest = 1e9f;
    for (const P3& j : p.joints) lowest = std::min(lowest, j.y);
    EXPECT_FLOAT_EQ(lowest, std::min(joint(p, 12).y, joint(p, 15).y));
    EXPECT_LT(lowest, 0.06f);
}

// Walk strides (steps 1 and 3 of the table): legs and arms swing forward
// and back along the body's sides, never across it, each arm with the
// opposite leg.
TEST(ContentManPose, WalkStridesSwingLimbsForwardAndBack) {
    REQUIRE_GL();
    const Figure& m = man();
    ASSERT_GE(m.controlPoints.size(), 16u);
    for (int step = 1; step <= 3; step += 2) {
        Posed p = pose(m, step == 1 ? walkStep1() : walkStep3());
        float forward = step == 1 ? 1.0f : -1.0f;  // step 1: leg 10 (-x) and arm 7 (+x) forward
        EXPECT_GT(forward * joint(p, 12).z, 0.1f) << "step " << step;
        EXPECT_LT(forward * joint(p, 15).z, -0.1f) << "step " << step;
        EXPECT_GT(forward * joint(p, 9).z, 0.05f) << "step " << step;
        EXPECT_LT(forward * joint(p, 6).z, -0.05f) << "step " << step;
        // The leg that swings forward is on the other side from the arm that does.
        EXPECT_LT(joint(p, 12).x, -0.03f);
        EXPECT_GT(joint(p, 15).x, 0.03f);
        for (P3 v : partVertices(m, p, {6})) EXPECT_LT(v.x, -0.09f);
        for (P3 v : partVertices(m, p, {9})) EXPECT_GT(v.x, 0.09f);
        // Feet stay below the knees and the knees below the hips.
        EXPECT_TRUE(joint(p, 12).y < joint(p, 11).y && joint(p, 11).y < joint(p, 10).y);
        EXPECT_TRUE(joint(p, 15).y < joint(p, 14).y && joint(p, 14).y < joint(p, 13).y);
    }
    // Step 2 bends knee 14 by 50: the shin folds backward, as a knee does.
    Posed p = pose(m, withBase({{5, {0, 20, 0}}, {13, {-10, 0, 5}}, {14, {50, 0, 0}}}));
    EXPECT_LT(joint(p, 15).z, joint(p, 14).z - 0.1f);
}

// Swimming: the pelvis pitched by 80 lays him along the surface, face down
// (his front, +z at rest, turns toward -y), head ahead and a little raised.
TEST(ContentManPose, SwimLiesFaceDownWithTheBodyAtTheSurface) {
    REQUIRE_GL();
    const Figure& m = man();
    ASSERT_GE(m.controlPoints.size(), 16u);
    Posed p = pose(m, swimStep1());
    P3 front = p.frames[0] * P3{0, 0, 1};
    EXPECT_LT(front.y, -0.9f) << "not face down";
    P3 face = p.frames[3] * P3{0, 0, 1};
    EXPECT_LT(face.y, 0.0f) << "face turned up out of the water";
    EXPECT_GT(face.z, 0.9f) << "not looking ahead";
    EXPECT_GT(joint(p, 3).z, joint(p, 0).z + 0.25f) << "head not ahead of the pelvis";
    EXPECT_NEAR(joint(p, 0).y, 0.5f, 0.1f) << "body not at the surface (origin 5 units below at scale 10)";
    EXPECT_NEAR(joint(p, 3).y, 0.5f, 0.25f);
    // The legs trail behind.
    EXPECT_LT(joint(p, 12).z, joint(p, 0).z - 0.25f);
    EXPECT_LT(joint(p, 15).z, joint(p, 0).z - 0.25f);
}

// Crouching folds the hips forward, the knees forward over the feet and the
// chest forward; the ankles stay the lowest joints, so he sits on his feet.
TEST(ContentManPose, CrouchFoldsTheLegsForward) {
    REQUIRE_GL();
    const Figure& m = man();
    ASSERT_GE(m.controlPoints.size(), 16u);
    Posed p = pose(m, crouch());
    for (int hip : {10, 13}) {
        P3 h = joint(p, hip), knee = joint(p, hip + 1), ankle = joint(p, hip + 2);
        EXPECT_GT(knee.z, h.z + 0.15f) << "knee of hip " << hip << " not forward";
        EXPECT_LT(ankle.y, knee.y - 0.15f);
        EXPECT_LT(ankle.z, knee.z);
    }
    EXPECT_GT(joint(p, 2).z, 0.05f) << "chest not bent forward";
    float lowest = 1e9f;
    for (const P3& j : p.joints) lowest = std::min(lowest, j.y);
    EXPECT_FLOAT_EQ(lowest, std::min(joint(p, 12).y, joint(p, 15).y));
}

// The program's own posing (ArticulatedMesh::Pose) puts every vertex where
// the rotation's definition does, for each key pose.
TEST(ContentManPose, ProgramPosesTheModelAsTheDefinitionDoes) {
    REQUIRE_GL();
    ArticulatedMesh& mesh = loadedMan();
    const Figure& m = man();
    ASSERT_EQ(mesh.vertexCount, static_cast<int32_t>(m.vertices.size()));
    for (const Pose& angles : {withBase({}), walkStep1(), walkStep3(), swimStep1(), crouch()}) {
        for (int32_t j = 0; j < 16; ++j) {
            P3 a = angles.count(j) ? angles.at(j) : P3{0, 0, 0};
            const float k = 0.017453292f;
            mesh.SetJointAngles(j, a.x * k, a.y * k, a.z * k);
        }
        mesh.Pose();
        Posed expected = pose(m, angles);
        float worst = 0;
        for (int32_t i = 0; i < mesh.vertexCount; ++i) {
            P3 d = sub({mesh.vertices[i].x, mesh.vertices[i].y, mesh.vertices[i].z}, expected.vertices[static_cast<size_t>(i)]);
            worst = std::max(worst, std::sqrt(dot(d, d)));
        }
        EXPECT_LT(worst, 1e-4f);
    }
    for (int32_t j = 0; j < 16; ++j) mesh.SetJointAngles(j, 0, 0, 0);
    mesh.Pose();
}

}  // namespace
