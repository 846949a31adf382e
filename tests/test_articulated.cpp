// ArticulatedMesh: joints built from a model file, the posing passes, and
// the lowest joint with grounding.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "model/articulated_mesh.h"
#include "tests/support/gl_checks.h"
#include "tests/support/model_files.h"

namespace {

const float halfPi = 1.5707963f;

using Turn = Vec3;  // a joint's angles a, b and c

// A joint's turn as three plain rotations: b about y, then a about x, then
// c about -z.
Vec3 turned(const Turn& t, const Vec3& v)
{
    const float x1 = std::cos(t.y) * v.x + std::sin(t.y) * v.z, z1 = std::cos(t.y) * v.z - std::sin(t.y) * v.x;
    const float y2 = std::cos(t.x) * v.y - std::sin(t.x) * z1, z2 = std::sin(t.x) * v.y + std::cos(t.x) * z1;
    return Vec3{std::cos(t.z) * x1 + std::sin(t.z) * y2, std::cos(t.z) * y2 - std::sin(t.z) * x1, z2};
}

// The posing in closed form: a joint's turn carries its subtree about its
// pivot, after the turns of the joints below it.
struct Tree {
    std::vector<Vec3> pivots;
    std::vector<int> parents;
    std::vector<Turn> turns;
    static Vec3 add(Vec3 a, Vec3 b, float k = 1) { return Vec3{a.x + k * b.x, a.y + k * b.y, a.z + k * b.z}; }
    Vec3 carry(int j, Vec3 d) const { return j < 0 ? d : carry(parents[j], turned(turns[j], d)); }
    Vec3 pivot(int j) const
    {
        return parents[j] < 0 ? pivots[j]
                              : add(pivot(parents[j]), carry(parents[j], add(pivots[j], pivots[parents[j]], -1)));
    }
    Vec3 vertex(int j, Vec3 v) const { return j < 0 ? v : add(pivot(j), carry(j, add(v, pivots[j], -1))); }
};

void load(ArticulatedMesh& mesh, const std::vector<MeshVertex>& vertices, const std::vector<ControlPoint>& points)
{
    const std::string path = modelScratchPath("character.kmo");
    writeModelBytes(path, kmoFile({kmoChunk("vtx ", recordBytes(vertices)), kmoChunk("ctlp", recordBytes(points))}));
    mesh.Load(path.c_str());
}

}  // namespace

// Joint 3 hangs from the root beside the chain 0-1-2; each joint holds a
// vertex and one vertex is bound to none.
TEST(ArticulatedMesh, JointsCarryTheirSubtreesAboutTheirPivots)
{
    Tree tree = {{{1, -2, 0.5f}, {1.5f, 1, 0}, {0, 3, -1}, {-2, -1, 1}}, {-1, 0, 1, 0}, {}};
    const std::vector<MeshVertex> vertices = {MeshVertex{2, -1, 1, 0, 0, 0}, MeshVertex{0.5f, 2, 1, 0, 0, 1},
                                              MeshVertex{1, 4, -2, 0, 0, 2}, MeshVertex{-3, -2, 2, 0, 0, 3},
                                              MeshVertex{7, 7, 7, 0, 0, -1}};
    ArticulatedMesh mesh;
    load(mesh, vertices, {{1, -2, 0.5f, -1}, {1.5f, 1, 0, 0}, {0, 3, -1, 1}, {-2, -1, 1, 0}});
    const std::vector<std::vector<Turn>> angleSets =
        {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
         {{0, 0, 0}, {0, 0, halfPi}, {0, 0, 0}, {0, 0, 0}},
         {{0, 0, halfPi}, {0, halfPi, 0}, {0, 0, 0}, {halfPi, 0, 0}},
         {{0.3f, -0.7f, 1.1f}, {-1.2f, 0.4f, 0.9f}, {0.8f, 1.3f, -0.5f}, {0.6f, -0.2f, 0.35f}}};
    for (const std::vector<Turn>& turns : angleSets) {
        tree.turns = turns;
        std::vector<float> expected, posed;
        float lowest = 1e6f;
        for (const MeshVertex& v : vertices) {
            const Vec3 p = tree.vertex(v.joint, Vec3{v.x, v.y, v.z});
            expected.insert(expected.end(), {p.x, p.y, p.z});
            if (v.joint >= 0) {
                lowest = std::min(lowest, tree.pivot(v.joint).y);
                mesh.SetJointAngles(v.joint, turns[v.joint].x, turns[v.joint].y, turns[v.joint].z);
            }
        }
        mesh.SetJointAngles(4, 1, 1, 1);  // no such joint: ignored
        mesh.Pose();
        mesh.Pose();  // each posing starts from the rest pose
        for (int32_t i = 0; i < mesh.vertexCount; ++i)
            posed.insert(posed.end(), {mesh.vertices[i].x, mesh.vertices[i].y, mesh.vertices[i].z});
        EXPECT_TRUE(closeTo(posed, expected, 1e-4f)) << "joint 1 turned " << turns[1].z;
        EXPECT_NEAR(mesh.lowestY, lowest, 1e-4f);
    }
}

TEST(ArticulatedMesh, GroundingLowersTheDrawOntoTheLowestJoint)
{
    REQUIRE_GL();
    ArticulatedMesh mesh;
    load(mesh, {MeshVertex{0, 5, 0, 0, 0, 0}, MeshVertex{0, -3, 0, 0, 0, 1}}, {{0, 5, 0, -1}, {0, -3, 0, 0}});
    MeshTransform placed;
    placed.scale = 2;
    placed.position = Vec3{0, 10, 0};
    auto drawnOriginY = [&mesh, &placed](int32_t grounded) {
        float origin[3];
        mesh.SetGrounded(grounded);
        mesh.Pose();
        mesh.Draw(mesh.Grounded(placed));
        modelViewApply(0, 0, 0, origin);
        return origin[1];
    };
    EXPECT_FLOAT_EQ(drawnOriginY(-1), 16.0f);
    EXPECT_FLOAT_EQ(drawnOriginY(0), 10.0f);
    mesh.SetJointAngles(0, 0, 0, halfPi);  // posed: both joints at y = 5
    EXPECT_NEAR(drawnOriginY(1), 0.0f, 1e-4f);
    load(mesh, {MeshVertex{1, 1, 1, 0, 0, 0}}, {});
    EXPECT_FLOAT_EQ(drawnOriginY(1), 10.0f - 2000000.0f);
}
