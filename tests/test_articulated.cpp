// ArticulatedMesh: joints built from a model file, the posing passes, and
// the lowest joint with grounding.
#include <cmath>
#include <string>

#include "model/articulated_mesh.h"
#include "platform/gl.h"
#include "tests/support/gl_checks.h"
#include "tests/support/model_files.h"

namespace {

const float halfPi = 1.5707963f;

MeshVertex boundTo(int32_t joint, float x, float y, float z)
{
    return MeshVertex{x, y, z, 0.0f, 0.0f, joint};
}

void load(ArticulatedMesh& mesh, const std::vector<MeshVertex>& vertices, const std::vector<ControlPoint>& points)
{
    const std::string path = modelScratchPath("character.kmo");
    writeModelBytes(path, kmoFile({kmoChunk("vtx ", recordBytes(vertices)), kmoChunk("ctlp", recordBytes(points))}));
    mesh.Load(path.c_str());
}

// Sets one joint's angles and poses the mesh.
void turn(ArticulatedMesh& mesh, int32_t joint, float a, float b, float c)
{
    mesh.SetJointAngles(joint, a, b, c);
    mesh.Pose();
}

void expectVertex(const ArticulatedMesh& mesh, int32_t i, float x, float y, float z)
{
    ASSERT_LT(i, mesh.vertexCount);
    const MeshVertex& v = mesh.vertices[i];
    EXPECT_TRUE(std::fabs(v.x - x) < 1e-5f && std::fabs(v.y - y) < 1e-5f && std::fabs(v.z - z) < 1e-5f)
        << "vertex " << i << " at (" << v.x << ", " << v.y << ", " << v.z << ")";
}

}  // namespace

TEST(ArticulatedMesh, BindingMakesOffsetsAndVerticesRelativeAndZeroAnglesRestore)
{
    ArticulatedMesh mesh;
    const std::vector<MeshVertex> vertices = {boundTo(0, 1, 5, 0), boundTo(1, 0, 3, 2), boundTo(2, -1, -4, 0.25f),
                                              boundTo(-1, 7, 7, 7)};
    load(mesh, vertices, {{0, 5, 0, -1}, {0, 2, 1, 0}, {1, -3, 0, 1}});
    ASSERT_EQ(mesh.jointCount, 3);
    ASSERT_EQ(mesh.joints[0]->childCount, 1);
    EXPECT_EQ(mesh.joints[0]->children[0], mesh.joints[1]);
    EXPECT_EQ(mesh.joints[0]->restOffset.y, 5.0f);  // the root keeps its absolute pivot
    EXPECT_EQ(mesh.joints[1]->restOffset.y, -3.0f);
    EXPECT_EQ(mesh.restVertices[1].y, 1.0f);  // relative to its joint's pivot
    EXPECT_EQ(mesh.restVertices[3].x, 7.0f);  // unbound: as read

    for (int pass = 0; pass < 2; ++pass) {
        mesh.Pose();
        for (int32_t i = 0; i < 4; ++i)
            expectVertex(mesh, i, vertices[i].x, vertices[i].y, vertices[i].z);
        EXPECT_NEAR(mesh.lowestY, -3.0f, 1e-6f);
    }
}

TEST(ArticulatedMesh, JointsTurnTheirSubtreeAboutTheirPivotAfterTheirOwnRotation)
{
    // Each angle alone: b about y, c about -z, a about x.
    ArticulatedMesh mesh;
    load(mesh, {boundTo(0, 1, 0, 0), boundTo(0, 0, 1, 0)}, {{0, 0, 0, -1}});
    turn(mesh, 0, 0, halfPi, 0);
    expectVertex(mesh, 0, 0, 0, -1);
    turn(mesh, 0, 0, 0, halfPi);
    expectVertex(mesh, 0, 0, -1, 0);
    turn(mesh, 0, halfPi, 0, 0);
    expectVertex(mesh, 1, 0, 0, 1);
    load(mesh, {boundTo(0, 3, 2, 0)}, {{2, 2, 0, -1}});
    turn(mesh, 0, 0, 0, halfPi);
    expectVertex(mesh, 0, 2, 1, 0);

    // Root at the origin, child at (0, 1, 0) with a vertex one unit along +x
    // from it, grandchild one unit above the child, a root vertex below.
    load(mesh, {boundTo(1, 1, 1, 0), boundTo(2, 0, 2, 0), boundTo(0, 0, -1, 0)},
         {{0, 0, 0, -1}, {0, 1, 0, 0}, {0, 2, 0, 1}});
    turn(mesh, 0, 0, 0, halfPi);
    EXPECT_NEAR(mesh.joints[1]->offset.x, 1.0f, 1e-6f);  // the child now at (1, 0, 0)
    expectVertex(mesh, 0, 1, -1, 0);
    expectVertex(mesh, 1, 2, 0, 0);
    expectVertex(mesh, 2, -1, 0, 0);
    EXPECT_NEAR(mesh.lowestY, 0.0f, 1e-6f);
    // The child's own y turn first: (1, 0, 0) to (0, 0, -1), which the
    // root's z turn then leaves.
    turn(mesh, 1, 0, halfPi, 0);
    expectVertex(mesh, 0, 1, 0, -1);
    expectVertex(mesh, 1, 2, 0, 0);
    // Only the middle joint: its subtree swings about its pivot.
    mesh.SetJointAngles(0, 0, 0, 0);
    turn(mesh, 1, 0, 0, halfPi);
    expectVertex(mesh, 0, 0, 0, 0);
    expectVertex(mesh, 1, 1, 1, 0);
    expectVertex(mesh, 2, 0, -1, 0);
}

TEST(ArticulatedMesh, GroundingLowersTheDrawOntoTheLowestJoint)
{
    REQUIRE_GL();
    ArticulatedMesh mesh;
    load(mesh, {boundTo(0, 0, 5, 0), boundTo(1, 0, -3, 0)}, {{0, 5, 0, -1}, {0, -3, 0, 0}});
    mesh.SetScale(2);
    mesh.SetPosition(0, 10, 0);
    auto drawnOriginY = [&mesh](int32_t grounded) {
        float origin[3];
        mesh.SetGrounded(grounded);
        mesh.Draw();
        modelViewApply(0, 0, 0, origin);
        return origin[1];
    };
    EXPECT_FLOAT_EQ(drawnOriginY(-1), 16.0f);
    EXPECT_EQ(mesh.position.y, 10.0f);  // the lowering lasts for the draw only
    EXPECT_FLOAT_EQ(drawnOriginY(0), 10.0f);

    // The vertex array keeps the pose last drawn.
    mesh.SetJointAngles(0, 0, 0, halfPi);
    EXPECT_NEAR(drawnOriginY(1), 0.0f, 1e-4f);  // both joints at y = 5
    expectVertex(mesh, 1, -8, 5, 0);

    load(mesh, {boundTo(0, 1, 1, 1)}, {});
    EXPECT_FLOAT_EQ(drawnOriginY(1), 10.0f - 2000000.0f);
}
