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
P3 add(P3 a, P3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
P3 sub(P3 a, P3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
P3 cross(P3 a, P3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float dot(P3 a, P3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
template <typename T>
P3 p3(const T& v) { return {v.x, v.y, v.z}; }

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
M3 jointRotation(P3 deg) {
    const float k = 0.017453292f;
    float sa = std::sin(deg.x * k), ca = std::cos(deg.x * k);
    float sb = std::sin(deg.y * k), cb = std::cos(deg.y * k);
    float sc = std::sin(deg.z * k), cc = std::cos(deg.z * k);
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
const Pose WALK_1 = withBase({{1, {0, -10, 0}}, {2, {0, 4, 0}}, {3, {0, 4, 0}}, {4, {0, -35, -85}}, {5, {0, 0, 0}},
                              {7, {0, -25, 85}}, {8, {0, -50, 0}}, {10, {-25, 0, -5}}, {11, {15, 0, 0}},
                              {13, {20, 0, 5}}, {14, {15, 0, 0}}});
const Pose WALK_3 = withBase({{1, {0, 10, 0}}, {2, {0, -4, 0}}, {3, {0, -4, 0}}, {4, {0, 25, -85}}, {5, {0, 50, 0}},
                              {7, {0, 35, 85}}, {8, {0, 0, 0}}, {10, {20, 0, -5}}, {11, {15, 0, 0}},
                              {13, {-25, 0, 5}}, {14, {15, 0, 0}}});
const Pose SWIM_1 = {{0, {80, -10, 0}}, {1, {-20, -30, 0}}, {2, {-20, 0, 0}}, {3, {-30, 0, 0}}, {4, {-90, 0, 70}},
                     {5, {0, 40, 0}},   {7, {90, 0, 70}},    {8, {0, -40, 0}},  {10, {-25, 0, -5}}, {11, {30, 0, 0}},
                     {12, {10, 0, 0}},  {13, {10, 0, 5}},    {14, {20, 0, 0}},  {15, {10, 0, 0}}};
const Pose CROUCH = {{1, {30, 0, 0}},      {4, {0, 0, -85}},  {5, {30, 110, 0}},   {7, {0, 0, 85}},
                     {8, {30, -110, 0}},   {10, {-110, -5, -5}}, {11, {130, 0, 0}}, {12, {-20, 0, 0}},
                     {13, {-110, 5, 5}},   {14, {130, 0, 0}}, {15, {-20, 0, 0}}};

struct Posed {
    std::vector<P3> joints;    // posed pivots
    std::vector<P3> vertices;  // posed vertices
    std::vector<M3> frames;    // each joint's accumulated rotation
    P3 operator[](int j) const { return joints[static_cast<size_t>(j)]; }
    float lowest() const {
        float y = 1e9f;
        for (const P3& j : joints) y = std::min(y, j.y);
        return y;
    }
};

// MAN.KMO as the program reads it. Its reader binds the vertices to their
// joints, relative to the pivots; posing with every angle zero puts them
// back where the file has them, and they are kept as read.
class ContentMan : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL();
        mesh.Load("MAN.KMO");
        mesh.Pose();
        vertices.assign(mesh.vertices, mesh.vertices + mesh.vertexCount);
        points.assign(mesh.controlPoints, mesh.controlPoints + mesh.controlPointCount);
        ASSERT_GE(points.size(), 16u);
    }

    P3 pivot(int j) const { return p3(points[static_cast<size_t>(j)]); }

    Posed pose(const Pose& angles) const {
        Posed out;
        for (size_t j = 0; j < points.size(); ++j) {
            const int32_t parent = points[j].parent;
            M3 own = jointRotation(angles.count(static_cast<int>(j)) ? angles.at(static_cast<int>(j)) : P3{0, 0, 0});
            if (parent < 0) {
                out.joints.push_back(p3(points[j]));
                out.frames.push_back(own);
            } else {
                const M3 parentFrame = out.frames[static_cast<size_t>(parent)];
                out.joints.push_back(add(out[parent], parentFrame * sub(p3(points[j]), pivot(parent))));
                out.frames.push_back(parentFrame * own);
            }
        }
        for (const MeshVertex& v : vertices) {
            size_t j = static_cast<size_t>(v.joint);
            out.vertices.push_back(add(out.joints[j], out.frames[j] * sub(p3(v), p3(points[j]))));
        }
        return out;
    }

    // Every posed vertex of the given joint's part.
    std::vector<P3> part(const Posed& p, int joint) const {
        std::vector<P3> out;
        for (size_t i = 0; i < vertices.size(); ++i)
            if (vertices[i].joint == joint) out.push_back(p.vertices[i]);
        return out;
    }

    ArticulatedMesh mesh;
    std::vector<MeshVertex> vertices;
    std::vector<ControlPoint> points;
};

TEST_F(ContentMan, SkeletonIsNumberedAndSidedAsThePoseTablesExpect) {
    const int parents[16] = {-1, 0, 1, 2, 1, 4, 5, 1, 7, 8, 0, 10, 11, 0, 13, 14};
    for (size_t j = 0; j < points.size(); ++j) {
        if (j < 16) {
            EXPECT_EQ(points[j].parent, parents[j]) << "joint " << j;
        } else {  // any further joints: every parent before its children
            EXPECT_TRUE(points[j].parent >= 0 && points[j].parent < static_cast<int32_t>(j)) << "joint " << j;
        }
    }
    auto x = [&](int j) { return pivot(j).x; };
    auto y = [&](int j) { return pivot(j).y; };
    // Sides: shoulder 4 and hip 10 on -x, shoulder 7 and hip 13 on +x; the
    // arms straight out, elbows and wrists further out along them.
    EXPECT_TRUE(x(4) < 0 && x(10) < 0 && x(7) > 0 && x(13) > 0);
    EXPECT_TRUE(x(6) < x(5) && x(5) < x(4) && x(7) < x(8) && x(8) < x(9));
    EXPECT_NEAR(y(5), y(4), 0.01f);
    EXPECT_NEAR(y(9), y(7), 0.01f);
    // Heights: hips near 0.5, knees and ankles below, head above the neck.
    EXPECT_NEAR(y(0), 0.5f, 0.06f);
    EXPECT_NEAR(y(10), 0.5f, 0.06f);
    EXPECT_TRUE(y(12) < y(11) && y(11) < y(10) && y(15) < y(14) && y(14) < y(13));
    EXPECT_TRUE(y(0) < y(1) && y(1) < y(2) && y(2) < y(3));
    // About one unit tall, soles at y = 0, the toes reaching forward (+z)
    // well past the heels behind.
    float minY = 1e9f, maxY = -1e9f, minZ = 1e9f, maxZ = -1e9f;
    for (const MeshVertex& v : vertices) {
        minY = std::min(minY, v.y), maxY = std::max(maxY, v.y);
        minZ = std::min(minZ, v.z), maxZ = std::max(maxZ, v.z);
    }
    EXPECT_NEAR(minY, 0.0f, 0.005f);
    EXPECT_NEAR(maxY, 1.0f, 0.08f);
    EXPECT_GT(maxZ, 0.12f);
    EXPECT_GT(minZ, -0.1f);
    // Textured: every material's bitmap became a real texture.
    ASSERT_GE(mesh.materialCount, 1);
    for (int32_t i = 0; i < mesh.materialCount; ++i) EXPECT_GE(readTexture(mesh.materials[i].texture).width, 64);
    EXPECT_EQ(mesh.lineCount, 0);
}

// Each vertex belongs to the joint that moves it: it lies close to the bone
// from that joint's pivot to its child's (the head, hands and feet, which
// have no child, close to their own pivot). Each joint's part is a closed
// surface facing outward (positive volume), so back-face culling leaves the
// outside of the body.
TEST_F(ContentMan, EveryPartIsBoundToItsJointClosedAndFacingOutward) {
    const int child[16] = {-1, 2, 3, -1, 5, 6, -1, 8, 9, -1, 11, 12, -1, 14, 15, -1};
    const float reach[16] = {0.17f, 0.17f, 0.06f, 0.14f, 0.07f, 0.06f, 0.11f, 0.07f,
                             0.06f, 0.11f, 0.09f, 0.07f, 0.17f, 0.09f, 0.07f, 0.17f};
    std::vector<int> count(16, 0);
    for (const MeshVertex& v : vertices) {
        ASSERT_TRUE(v.joint >= 0 && v.joint < 16) << "vertex bound to no joint of the skeleton";
        ++count[static_cast<size_t>(v.joint)];
        EXPECT_TRUE(v.u >= 0 && v.u <= 1 && v.v >= 0 && v.v <= 1);
        P3 a = pivot(v.joint), closest = a;
        if (int c = child[v.joint]; c >= 0) {
            P3 bone = sub(pivot(c), a);
            float t = std::clamp(dot(sub(p3(v), a), bone) / dot(bone, bone), 0.0f, 1.0f);
            closest = add(a, {bone.x * t, bone.y * t, bone.z * t});
        }
        P3 d = sub(p3(v), closest);
        EXPECT_LT(std::sqrt(dot(d, d)), reach[v.joint]) << "vertex of joint " << v.joint;
    }
    for (size_t j = 0; j < 16; ++j) EXPECT_GE(count[j], 20) << "joint " << j << " moves no body part";

    EXPECT_GE(mesh.faceCount, 600);
    std::vector<double> volume(16, 0.0);
    for (int32_t i = 0; i < mesh.faceCount; ++i) {
        const MeshFace& f = mesh.faces[i];
        const MeshVertex &a = vertices[static_cast<size_t>(f.a)], &b = vertices[static_cast<size_t>(f.b)],
                         &c = vertices[static_cast<size_t>(f.c)];
        ASSERT_TRUE(a.joint == b.joint && b.joint == c.joint) << "a face spans two joints and would tear";
        volume[static_cast<size_t>(a.joint)] += dot(p3(a), cross(p3(b), p3(c))) / 6.0;
        EXPECT_GT(dot(cross(sub(p3(b), p3(a)), sub(p3(c), p3(a))), p3(f.normal)), 0.0f);
    }
    for (size_t j = 0; j < 16; ++j) EXPECT_GT(volume[j], 1e-6) << "joint " << j;
}

TEST_F(ContentMan, BasePoseHangsBothArmsAtTheSidesAndSetsTheFeetApart) {
    Posed p = pose(withBase({}));
    for (int shoulder : {4, 7}) {
        EXPECT_LT(p[shoulder + 2].y, p[shoulder].y - 0.25f) << "arm of shoulder " << shoulder << " does not hang";
        EXPECT_NEAR(p[shoulder + 2].x, p[shoulder].x, 0.08f);
        // Hanging beside the body, not through it: every vertex of the arm
        // keeps out of the torso's width on its own side.
        float side = p[shoulder].x < 0 ? -1.0f : 1.0f;
        for (int j : {shoulder + 1, shoulder + 2})
            for (P3 v : part(p, j)) EXPECT_GT(side * v.x, 0.11f);
    }
    // The hips' -5 and 5 draw the feet a little together, but they stay
    // apart, each on its own side.
    EXPECT_GT(p[12].x, p[10].x + 0.02f);
    EXPECT_LT(p[15].x, p[13].x - 0.02f);
    EXPECT_LT(p[12].x, -0.02f);
    EXPECT_GT(p[15].x, 0.02f);
    // Standing, the ankles are the lowest joints, close to the soles.
    EXPECT_FLOAT_EQ(p.lowest(), std::min(p[12].y, p[15].y));
    EXPECT_LT(p.lowest(), 0.06f);
}

// Walk strides (steps 1 and 3 of the table): legs and arms swing forward
// and back along the body's sides, never across it, each arm with the
// opposite leg.
TEST_F(ContentMan, WalkSwingsLimbsForwardAndBackEachArmWithTheOppositeLeg) {
    for (int step : {1, 3}) {
        SCOPED_TRACE(step);
        Posed p = pose(step == 1 ? WALK_1 : WALK_3);
        float forward = step == 1 ? 1.0f : -1.0f;  // step 1: leg 10 (-x) and arm 7 (+x) forward
        EXPECT_GT(forward * p[12].z, 0.1f);
        EXPECT_LT(forward * p[15].z, -0.1f);
        EXPECT_GT(forward * p[9].z, 0.05f);
        EXPECT_LT(forward * p[6].z, -0.05f);
        EXPECT_LT(p[12].x, -0.03f);
        EXPECT_GT(p[15].x, 0.03f);
        for (P3 v : part(p, 6)) EXPECT_LT(v.x, -0.09f);
        for (P3 v : part(p, 9)) EXPECT_GT(v.x, 0.09f);
        // Feet stay below the knees and the knees below the hips.
        EXPECT_TRUE(p[12].y < p[11].y && p[11].y < p[10].y && p[15].y < p[14].y && p[14].y < p[13].y);
    }
    // Step 2 bends knee 14 by 50: the shin folds backward, as a knee does.
    Posed p = pose(withBase({{5, {0, 20, 0}}, {13, {-10, 0, 5}}, {14, {50, 0, 0}}}));
    EXPECT_LT(p[15].z, p[14].z - 0.1f);
}

// Swimming: the pelvis pitched by 80 lays him along the surface, face down
// (his front, +z at rest, turns toward -y), head ahead and a little raised,
// legs trailing.
TEST_F(ContentMan, SwimLiesFaceDownWithTheBodyAtTheSurface) {
    Posed p = pose(SWIM_1);
    EXPECT_LT((p.frames[0] * P3{0, 0, 1}).y, -0.9f) << "not face down";
    P3 face = p.frames[3] * P3{0, 0, 1};
    EXPECT_LT(face.y, 0.0f) << "face turned up out of the water";
    EXPECT_GT(face.z, 0.9f) << "not looking ahead";
    EXPECT_GT(p[3].z, p[0].z + 0.25f) << "head not ahead of the pelvis";
    EXPECT_NEAR(p[0].y, 0.5f, 0.1f) << "body not at the surface (origin 5 units below at scale 10)";
    EXPECT_NEAR(p[3].y, 0.5f, 0.25f);
    EXPECT_LT(p[12].z, p[0].z - 0.25f);
    EXPECT_LT(p[15].z, p[0].z - 0.25f);
}

// Crouching folds the hips forward, the knees forward over the feet and the
// chest forward; the ankles stay the lowest joints, so he sits on his feet.
TEST_F(ContentMan, CrouchFoldsTheLegsForward) {
    Posed p = pose(CROUCH);
    for (int hip : {10, 13}) {
        EXPECT_GT(p[hip + 1].z, p[hip].z + 0.15f) << "knee of hip " << hip << " not forward";
        EXPECT_LT(p[hip + 2].y, p[hip + 1].y - 0.15f);
        EXPECT_LT(p[hip + 2].z, p[hip + 1].z);
    }
    EXPECT_GT(p[2].z, 0.05f) << "chest not bent forward";
    EXPECT_FLOAT_EQ(p.lowest(), std::min(p[12].y, p[15].y));
}

// The program's own posing (ArticulatedMesh::Pose) puts every vertex where
// the rotation's definition does, for each key pose.
TEST_F(ContentMan, ProgramPosesTheModelAsTheDefinitionDoes) {
    // The definition itself, on the axes: b turns first, then a, then c.
    auto near = [](P3 a, P3 b) { P3 d = sub(a, b); return dot(d, d) < 1e-12f; };
    EXPECT_TRUE(near(jointRotation({0, 90, 0}) * P3{1, 0, 0}, {0, 0, -1}));
    EXPECT_TRUE(near(jointRotation({0, 0, 90}) * P3{1, 0, 0}, {0, -1, 0}));
    EXPECT_TRUE(near(jointRotation({90, 0, 0}) * P3{0, 1, 0}, {0, 0, 1}));
    EXPECT_TRUE(near(jointRotation({90, 90, 90}) * P3{1, 2, 3},
                     jointRotation({0, 0, 90}) * (jointRotation({90, 0, 0}) * (jointRotation({0, 90, 0}) * P3{1, 2, 3}))));
    for (const Pose& angles : {withBase({}), WALK_1, WALK_3, SWIM_1, CROUCH}) {
        for (int32_t j = 0; j < 16; ++j) {
            P3 a = angles.count(j) ? angles.at(j) : P3{0, 0, 0};
            const float k = 0.017453292f;
            mesh.SetJointAngles(j, a.x * k, a.y * k, a.z * k);
        }
        mesh.Pose();
        Posed expected = pose(angles);
        float worst = 0;
        for (int32_t i = 0; i < mesh.vertexCount; ++i) {
            P3 d = sub(p3(mesh.vertices[i]), expected.vertices[static_cast<size_t>(i)]);
            worst = std::max(worst, std::sqrt(dot(d, d)));
        }
        EXPECT_LT(worst, 1e-4f);
    }
}

}  // namespace
