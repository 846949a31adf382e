// ArticulatedMesh: building the joints from a model file, posing, the
// lowest joint, and control points or joint indices that break the rules.
#include <gtest/gtest.h>

#include <string>

#include "model/articulated_mesh.h"
#include "platform/gl.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/model_files.h"

namespace {

const float HALF_PI = 1.5707963f;
const float NEAR = 1e-5f;

MeshVertex boundTo(int32_t joint, float x, float y, float z)
{
    return MeshVertex{x, y, z, 0.0f, 0.0f, joint};
}

// Writes a model file with these vertices and control points and loads it.
void loadCharacter(ArticulatedMesh& mesh, const std::vector<MeshVertex>& vertices,
                   const std::vector<ControlPoint>& points, const std::string& name = "character.kmo")
{
    const std::string path = scratchPath(name);
    writeFile(path, kmoFile({kmoChunk("vtx ", recordBytes(vertices)), kmoChunk("ctlp", recordBytes(points))}));
    mesh.Load(path.c_str());
}

void expectVertex(const ArticulatedMesh& mesh, int32_t i, float x, float y, float z)
{
    ASSERT_LT(i, mesh.vertexCount);
    EXPECT_NEAR(mesh.vertices[i].x, x, NEAR) << "vertex " << i;
    EXPECT_NEAR(mesh.vertices[i].y, y, NEAR) << "vertex " << i;
    EXPECT_NEAR(mesh.vertices[i].z, z, NEAR) << "vertex " << i;
}

}  // namespace

TEST(ArticulatedMesh, BindingMakesOffsetsAndVerticesRelative)
{
    ArticulatedMesh mesh;
    loadCharacter(mesh, {boundTo(0, 1, 5, 0), boundTo(1, 0, 3, 2), boundTo(-1, 7, 7, 7)},
                  {{0, 5, 0, -1}, {0, 2, 1, 0}});
    ASSERT_EQ(mesh.jointCount, 2);
    Joint* root = mesh.joints[0];
    Joint* child = mesh.joints[1];
    EXPECT_EQ(root->index, 0);
    EXPECT_EQ(child->index, 1);
    EXPECT_EQ(child->parent, 0);
    ASSERT_EQ(root->childCount, 1);
    EXPECT_EQ(root->children[0], child);
    EXPECT_EQ(root->mesh, &mesh);
    EXPECT_EQ(child->mesh, &mesh);
    EXPECT_EQ(root->restOffset.y, 5.0f);  // the root keeps its absolute pivot
    EXPECT_EQ(child->restOffset.y, -3.0f);
    EXPECT_EQ(child->restOffset.z, 1.0f);
    ASSERT_EQ(child->vertexCount, 1);
    EXPECT_EQ(child->vertices[0], 1);
    // The rest copy holds bound vertices relative to their joint.
    ASSERT_NE(mesh.restVertices, nullptr);
    EXPECT_EQ(mesh.restVertices[0].x, 1.0f);
    EXPECT_EQ(mesh.restVertices[0].y, 0.0f);
    EXPECT_EQ(mesh.restVertices[1].y, 1.0f);
    EXPECT_EQ(mesh.restVertices[1].z, 1.0f);
    EXPECT_EQ(mesh.restVertices[2].x, 7.0f);
}

TEST(ArticulatedMesh, ZeroAnglesGiveTheMeshAsReadAndTheLowestPivot)
{
    ArticulatedMesh mesh;
    const std::vector<MeshVertex> vertices = {boundTo(0, 1, 5, 0), boundTo(1, 0.5f, 3, 2),
                                              boundTo(2, -1, -4, 0.25f), boundTo(-1, 7, 7, 7)};
    loadCharacter(mesh, vertices, {{0, 5, 0, -1}, {0, 2, 1, 0}, {1, -3, 0, 1}});
    for (int pass = 0; pass < 2; ++pass) {
        mesh.Pose();
        for (int32_t i = 0; i < 4; ++i) {
            expectVertex(mesh, i, vertices[i].x, vertices[i].y, vertices[i].z);
        }
        EXPECT_NEAR(mesh.lowestY, -3.0f, NEAR);
    }
}

TEST(ArticulatedMesh, OneJointTurnsItsVerticesAboutItsPivot)
{
    ArticulatedMesh mesh;
    loadCharacter(mesh, {boundTo(0, 1, 0, 0), boundTo(0, 0, 1, 0)}, {{0, 0, 0, -1}});
    mesh.SetJointAngles(0, 0, HALF_PI, 0);
    mesh.Pose();
    expectVertex(mesh, 0, 0, 0, -1);
    mesh.SetJointAngles(0, 0, 0, HALF_PI);
    mesh.Pose();
    expectVertex(mesh, 0, 0, -1, 0);
    mesh.SetJointAngles(0, HALF_PI, 0, 0);
    mesh.Pose();
    expectVertex(mesh, 1, 0, 0, 1);

    // About a pivot away from the origin.
    ArticulatedMesh moved;
    loadCharacter(moved, {boundTo(0, 3, 2, 0)}, {{2, 2, 0, -1}}, "moved.kmo");
    moved.SetJointAngles(0, 0, 0, HALF_PI);
    moved.Pose();
    expectVertex(moved, 0, 2, 1, 0);
    EXPECT_NEAR(moved.lowestY, 2.0f, NEAR);
}

TEST(ArticulatedMesh, AncestorsTurnTheirSubtreeAfterTheJointsOwnRotation)
{
    ArticulatedMesh mesh;
    // Root at the origin; child at (0, 1, 0) with a vertex one unit along +x
    // from its pivot, and a grandchild one unit above the child.
    loadCharacter(mesh, {boundTo(1, 1, 1, 0), boundTo(2, 0, 2, 0), boundTo(0, 0, -1, 0)},
                  {{0, 0, 0, -1}, {0, 1, 0, 0}, {0, 2, 0, 1}});
    mesh.SetJointAngles(0, 0, 0, HALF_PI);
    mesh.Pose();
    EXPECT_NEAR(mesh.joints[1]->offset.x, 1.0f, NEAR);  // the child's posed position is (1, 0, 0)
    EXPECT_NEAR(mesh.joints[1]->offset.y, 0.0f, NEAR);
    expectVertex(mesh, 0, 1, -1, 0);   // the child's vertex follows it
    expectVertex(mesh, 1, 2, 0, 0);    // and so does the grandchild
    expectVertex(mesh, 2, -1, 0, 0);   // the root's own vertex turns too
    EXPECT_NEAR(mesh.lowestY, 0.0f, NEAR);  // joints at (0, 0, 0), (1, 0, 0) and (2, 0, 0)

    // Child angles first, then the root's: the child's vertex (1, 0, 0) turns
    // to (0, 0, -1) by the child and stays there under the root's z turn.
    mesh.SetJointAngles(1, 0, HALF_PI, 0);
    mesh.Pose();
    expectVertex(mesh, 0, 1, 0, -1);
    // The grandchild's offset (0, 1, 0) is unchanged by a y turn, then turned to (1, 0, 0).
    expectVertex(mesh, 1, 2, 0, 0);

    // Only the middle joint turns: its subtree swings about its pivot while
    // the root's vertex stays.
    mesh.SetJointAngles(0, 0, 0, 0);
    mesh.SetJointAngles(1, 0, 0, HALF_PI);
    mesh.Pose();
    expectVertex(mesh, 2, 0, -1, 0);
    expectVertex(mesh, 1, 1, 1, 0);
    expectVertex(mesh, 0, 0, 0, 0);
    EXPECT_NEAR(mesh.lowestY, 0.0f, NEAR);
}

TEST(ArticulatedMesh, AModelWithoutControlPointsHasNoJoints)
{
    ArticulatedMesh mesh;
    loadCharacter(mesh, {boundTo(0, 1, 2, 3), boundTo(-1, 4, 5, 6)}, {});
    EXPECT_EQ(mesh.jointCount, 0);
    EXPECT_EQ(mesh.joints, nullptr);
    mesh.SetJointAngles(0, 1, 1, 1);  // ignored
    mesh.vertices[0].x = 99.0f;
    mesh.Pose();
    expectVertex(mesh, 0, 1, 2, 3);  // restored from the rest copy
    EXPECT_EQ(mesh.lowestY, 1000000.0f);
}

TEST(ArticulatedMesh, JointAnglesForJointsItDoesNotHaveAreIgnored)
{
    ArticulatedMesh empty;
    empty.SetJointAngles(0, 1, 2, 3);
    empty.SetJointAngles(-1, 1, 2, 3);
    empty.Pose();

    ArticulatedMesh mesh;
    loadCharacter(mesh, {boundTo(0, 1, 0, 0)}, {{0, 0, 0, -1}, {0, 1, 0, 0}});
    mesh.SetJointAngles(2, 1, 2, 3);
    mesh.SetJointAngles(-1, 1, 2, 3);
    mesh.SetJointAngles(1000000, 1, 2, 3);
    mesh.SetJointAngles(1, 0.5f, 0.25f, 0.125f);
    EXPECT_EQ(mesh.joints[1]->angles[0], 0.5f);
    EXPECT_EQ(mesh.joints[1]->angles[2], 0.125f);
    EXPECT_EQ(mesh.joints[0]->angles[0], 0.0f);
    mesh.SetGrounded(-1);
    EXPECT_EQ(mesh.grounded, -1);
}

TEST(ArticulatedMesh, ControlPointsOutOfOrderAreLeftOutOfTheHierarchy)
{
    ArticulatedMesh mesh;
    // 0 root; 1 names a later parent; 2 names itself; 3 names one out of
    // range; 4 is a second root with 5 under it; 6 is a proper child of 0.
    const std::vector<ControlPoint> points = {{0, 0, 0, -1}, {0, -5, 0, 2}, {0, -6, 0, 2}, {0, -7, 0, 40},
                                              {0, -8, 0, -1}, {0, -9, 0, 4}, {0, 1, 0, 0}};
    std::vector<MeshVertex> vertices;
    for (int32_t j = 0; j < 7; ++j) {
        vertices.push_back(boundTo(j, 1.0f + static_cast<float>(j), 0.0f, 0.0f));
    }
    vertices.push_back(boundTo(99, 3, 3, 3));   // joint index out of range
    vertices.push_back(boundTo(-7, 4, 4, 4));   // negative, but not -1
    loadCharacter(mesh, vertices, points);
    ASSERT_EQ(mesh.jointCount, 7);
    EXPECT_EQ(mesh.joints[0]->childCount, 1);
    EXPECT_EQ(mesh.joints[0]->children[0], mesh.joints[6]);
    EXPECT_EQ(mesh.joints[4]->childCount, 0);
    for (int32_t j = 1; j < 6; ++j) {
        EXPECT_EQ(mesh.joints[j]->vertexCount, 0) << j;
        mesh.SetJointAngles(j, 1, 1, 1);
    }
    mesh.SetJointAngles(0, 0, 0, HALF_PI);
    mesh.Pose();
    // Detached joints neither move their vertices nor count for lowestY.
    for (int32_t v = 1; v < 6; ++v) {
        expectVertex(mesh, v, 1.0f + static_cast<float>(v), 0, 0);
    }
    expectVertex(mesh, 7, 3, 3, 3);
    expectVertex(mesh, 8, 4, 4, 4);
    expectVertex(mesh, 0, 0, -1, 0);
    expectVertex(mesh, 6, 0, -7, 0);  // (7, -1) from its pivot turned, from the child's posed (1, 0)
    EXPECT_NEAR(mesh.lowestY, 0.0f, NEAR);

    // Joint 0 is the root whatever parent its record names.
    ArticulatedMesh selfish;
    loadCharacter(selfish, {boundTo(0, 0, 1, 0)}, {{0, 2, 0, 0}, {0, 3, 0, 0}}, "selfish.kmo");
    ASSERT_EQ(selfish.jointCount, 2);
    EXPECT_EQ(selfish.joints[0]->childCount, 1);
    selfish.Pose();
    expectVertex(selfish, 0, 0, 1, 0);
    EXPECT_NEAR(selfish.lowestY, 2.0f, NEAR);
}

TEST(ArticulatedMesh, NestingDeeperThanTheLimitIsLeftOut)
{
    ArticulatedMesh mesh;
    std::vector<ControlPoint> chain;
    const int32_t length = JOINT_MAX_DEPTH + 10;
    for (int32_t j = 0; j < length; ++j) {
        chain.push_back(ControlPoint{0.0f, -static_cast<float>(j), 0.0f, j - 1});
    }
    loadCharacter(mesh, {boundTo(length - 1, 0, 0, 0), boundTo(JOINT_MAX_DEPTH, 0, 0, 0)}, chain);
    ASSERT_EQ(mesh.jointCount, length);
    EXPECT_EQ(mesh.joints[JOINT_MAX_DEPTH - 1]->childCount, 1);
    EXPECT_EQ(mesh.joints[JOINT_MAX_DEPTH]->childCount, 0);
    mesh.Pose();
    EXPECT_EQ(mesh.lowestY, -static_cast<float>(JOINT_MAX_DEPTH));  // the deepest joint posed
    expectVertex(mesh, 1, 0, 0, 0);
    for (int32_t j = 0; j < length; ++j) {
        mesh.SetJointAngles(j, 0.01f, 0.02f, 0.03f);
    }
    mesh.Pose();
    expectVertex(mesh, 0, 0, 0, 0);  // bound to a joint beyond the limit: stays
}

TEST(ArticulatedMesh, LoadingAgainRebuildsTheJoints)
{
    ArticulatedMesh mesh;
    loadCharacter(mesh, {boundTo(1, 0, 1, 0)}, {{0, 0, 0, -1}, {0, 1, 0, 0}, {0, 2, 0, 1}});
    ASSERT_EQ(mesh.jointCount, 3);
    loadCharacter(mesh, {boundTo(0, 0, 1, 0)}, {{0, 0, 0, -1}}, "second.kmo");
    ASSERT_EQ(mesh.jointCount, 1);
    EXPECT_EQ(mesh.restVertexCount, 1);
    mesh.SetJointAngles(2, 1, 1, 1);
    mesh.Pose();
    expectVertex(mesh, 0, 0, 1, 0);
}

TEST(ArticulatedMesh, GroundingLowersTheDrawOntoTheLowestJoint)
{
    if (!testGlContext()) {
        GTEST_SKIP() << "no display for an OpenGL context";
    }
    ArticulatedMesh mesh;
    loadCharacter(mesh, {boundTo(0, 0, 5, 0), boundTo(1, 0, -3, 0)}, {{0, 5, 0, -1}, {0, -3, 0, 0}});
    mesh.SetScale(2);
    mesh.SetPosition(0, 10, 0);
    GLfloat matrix[16];

    mesh.SetGrounded(-1);
    mesh.Draw();
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_FLOAT_EQ(matrix[13], 16.0f);
    EXPECT_EQ(mesh.position.y, 10.0f);  // the lowering lasts for the draw only
    EXPECT_NEAR(mesh.lowestY, -3.0f, NEAR);

    mesh.SetGrounded(0);
    mesh.Draw();
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_FLOAT_EQ(matrix[13], 10.0f);

    // Drawing poses: the vertex array holds the pose last drawn.
    mesh.SetJointAngles(0, 0, 0, HALF_PI);
    mesh.SetGrounded(1);
    mesh.Draw();
    expectVertex(mesh, 1, -8, 5, 0);  // the child 8 below the root, turned to -x
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_NEAR(matrix[13], 0.0f, 1e-4f);  // both joints at y = 5

    // Without joints lowestY stays 1 000 000, and grounding lowers by that.
    ArticulatedMesh rigid;
    loadCharacter(rigid, {boundTo(0, 1, 1, 1)}, {}, "rigid.kmo");
    rigid.SetScale(2);
    rigid.SetPosition(0, 10, 0);
    rigid.SetGrounded(-1);
    rigid.Draw();
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_FLOAT_EQ(matrix[13], 10.0f - 2000000.0f);
    expectVertex(rigid, 0, 1, 1, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
