// Mesh: the growable arrays, the face normal and the state that drawing
// leaves in a real OpenGL context.
#include <gtest/gtest.h>

#include "model/mesh.h"

namespace {

MeshVertex vertexAt(float x, float y, float z)
{
    return MeshVertex{x, y, z, 0.0f, 0.0f, -1};
}

MeshFace faceOf(int32_t a, int32_t b, int32_t c, int32_t material = -1)
{
    return MeshFace{a, b, c, Vec3{7.0f, 7.0f, 7.0f}, material};
}

}  // namespace

TEST(Mesh, StartsEmptyWithUnitScale)
{
    Mesh mesh;
    EXPECT_EQ(mesh.faces, nullptr);
    EXPECT_EQ(mesh.vertices, nullptr);
    EXPECT_EQ(mesh.materials, nullptr);
    EXPECT_EQ(mesh.faceCount + mesh.lineCount + mesh.dotCount + mesh.materialCount + mesh.vertexCount, 0);
    EXPECT_EQ(mesh.faceCapacity + mesh.lineCapacity + mesh.dotCapacity + mesh.materialCapacity +
                  mesh.vertexCapacity,
              0);
    EXPECT_EQ(mesh.position.x, 0.0f);
    EXPECT_EQ(mesh.rotation.z, 0.0f);
    EXPECT_EQ(mesh.scale, 1.0f);
}

TEST(Mesh, VerticesGrowByOneAndClearKeepsStorageUntilSecondClear)
{
    Mesh mesh;
    for (int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(mesh.AddVertex(vertexAt(static_cast<float>(i), 0, 0)), i);
        EXPECT_EQ(mesh.vertexCount, i + 1);
        EXPECT_EQ(mesh.vertexCapacity, i + 1);  // one record at a time, never doubling
    }
    EXPECT_EQ(mesh.vertices[3].x, 3.0f);

    const MeshVertex* storage = mesh.vertices;
    mesh.ClearVertices();
    EXPECT_EQ(mesh.vertexCount, 0);
    EXPECT_EQ(mesh.vertexCapacity, 5);
    EXPECT_EQ(mesh.vertices, storage);
    EXPECT_EQ(mesh.AddVertex(vertexAt(9, 0, 0)), 0);
    EXPECT_EQ(mesh.vertices, storage);  // reused, not reallocated
    EXPECT_EQ(mesh.vertexCapacity, 5);

    mesh.ClearVertices();
    mesh.ClearVertices();
    EXPECT_EQ(mesh.vertices, nullptr);
    EXPECT_EQ(mesh.vertexCapacity, 0);
    EXPECT_EQ(mesh.AddVertex(vertexAt(1, 2, 3)), 0);
    EXPECT_EQ(mesh.vertexCapacity, 1);
    EXPECT_EQ(mesh.vertices[0].z, 3.0f);
}

TEST(Mesh, FacesClearLikeVertices)
{
    Mesh mesh;
    mesh.AddVertex(vertexAt(0, 0, 0));
    mesh.AddVertex(vertexAt(1, 0, 0));
    mesh.AddVertex(vertexAt(0, 1, 0));
    mesh.AddFace(faceOf(0, 1, 2));
    mesh.AddFace(faceOf(2, 1, 0));
    const MeshFace* storage = mesh.faces;
    mesh.ClearFaces();
    EXPECT_EQ(mesh.faceCount, 0);
    EXPECT_EQ(mesh.faceCapacity, 2);
    EXPECT_EQ(mesh.faces, storage);
    mesh.ClearFaces();
    EXPECT_EQ(mesh.faces, nullptr);
    EXPECT_EQ(mesh.faceCapacity, 0);
    mesh.ClearFaces();  // clearing an array without storage changes nothing
    EXPECT_EQ(mesh.faces, nullptr);
    EXPECT_EQ(mesh.vertexCount, 3);  // the vertices are not touched
}

TEST(Mesh, AddFaceComputesTheUnnormalisedNormal)
{
    Mesh mesh;
    mesh.AddVertex(vertexAt(0, 0, 0));
    mesh.AddVertex(vertexAt(1, 0, 0));
    mesh.AddVertex(vertexAt(0, 1, 0));
    mesh.AddVertex(vertexAt(2, 0, 0));
    mesh.AddVertex(vertexAt(0, 2, 0));
    mesh.AddFace(faceOf(0, 1, 2, 3));
    mesh.AddFace(faceOf(0, 3, 4));
    mesh.AddFace(faceOf(0, 2, 1));  // clockwise seen from +z
    ASSERT_EQ(mesh.faceCount, 3);
    EXPECT_EQ(mesh.faces[0].a, 0);
    EXPECT_EQ(mesh.faces[0].c, 2);
    EXPECT_EQ(mesh.faces[0].material, 3);
    EXPECT_EQ(mesh.faces[0].normal.x, 0.0f);
    EXPECT_EQ(mesh.faces[0].normal.y, 0.0f);
    EXPECT_EQ(mesh.faces[0].normal.z, 1.0f);
    EXPECT_EQ(mesh.faces[1].normal.z, 4.0f);
    EXPECT_EQ(mesh.faces[2].normal.z, -1.0f);

    // A general triangle: (Q - P) x (R - P).
    Mesh other;
    other.AddVertex(vertexAt(1, 2, 3));
    other.AddVertex(vertexAt(4, 0, -1));
    other.AddVertex(vertexAt(-2, 5, 2));
    other.AddFace(faceOf(0, 1, 2));
    // Q - P = (3, -2, -4), R - P = (-3, 3, -1)
    EXPECT_EQ(other.faces[0].normal.x, (-2.0f) * (-1.0f) - (-4.0f) * 3.0f);
    EXPECT_EQ(other.faces[0].normal.y, (-4.0f) * (-3.0f) - 3.0f * (-1.0f));
    EXPECT_EQ(other.faces[0].normal.z, 3.0f * 3.0f - (-2.0f) * (-3.0f));
}

TEST(Mesh, AddFaceWithCornersOutsideTheVerticesKeepsAZeroNormal)
{
    Mesh mesh;
    mesh.AddVertex(vertexAt(0, 0, 0));
    mesh.AddVertex(vertexAt(1, 0, 0));
    mesh.AddFace(faceOf(0, 1, 2));
    mesh.AddFace(faceOf(-1, 0, 1));
    ASSERT_EQ(mesh.faceCount, 2);
    EXPECT_EQ(mesh.faces[0].c, 2);
    EXPECT_EQ(mesh.faces[0].normal.x, 0.0f);
    EXPECT_EQ(mesh.faces[0].normal.y, 0.0f);
    EXPECT_EQ(mesh.faces[0].normal.z, 0.0f);
    EXPECT_EQ(mesh.faces[1].normal.z, 0.0f);
}

TEST(Mesh, SettersStoreTheirValues)
{
    Mesh mesh;
    mesh.SetPosition(1, 2, 3);
    mesh.SetRotation(10, 20, 30);
    mesh.SetScale(0.5f);
    EXPECT_EQ(mesh.position.y, 2.0f);
    EXPECT_EQ(mesh.rotation.z, 30.0f);
    EXPECT_EQ(mesh.scale, 0.5f);
}
