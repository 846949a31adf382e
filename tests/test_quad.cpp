// Textured quads: texture-coordinate defaults and the vertex and face order.
#include <gtest/gtest.h>

#include <cmath>

#include "effects/quad.h"

namespace {

MeshVertex at(float x, float y, float z, float u = 0.0f, float v = 0.0f)
{
    return MeshVertex{x, y, z, u, v, 0};
}

}  // namespace

TEST(Quad, ZeroCoordinatesTakeTheCornerDefaults)
{
    Mesh mesh;
    // Negative zero counts as zero.
    addQuad(mesh, 3, at(0, 0, 0), at(1, 0, 0, -0.0f, 0.0f), at(1, 1, 0), at(0, 1, 0, 0.0f, -0.0f));
    ASSERT_EQ(mesh.vertexCount, 4);
    const float expected[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(mesh.vertices[k].u, expected[k][0]) << "corner " << k;
        EXPECT_EQ(mesh.vertices[k].v, expected[k][1]) << "corner " << k;
        EXPECT_FALSE(std::signbit(mesh.vertices[k].u) && mesh.vertices[k].u == 0.0f);
    }
}

TEST(Quad, NonZeroCoordinatesPassUnchanged)
{
    Mesh mesh;
    addQuad(mesh, 0, at(0, 0, 0, -0.5f, 2.5f), at(1, 0, 0, 0.25f, 7.0f), at(1, 1, 0, -3.0f, 0.5f),
            at(0, 1, 0, 1.5f, -1.0f));
    EXPECT_EQ(mesh.vertices[0].u, -0.5f);
    EXPECT_EQ(mesh.vertices[0].v, 2.5f);
    EXPECT_EQ(mesh.vertices[1].u, 0.25f);
    EXPECT_EQ(mesh.vertices[1].v, 7.0f);
    EXPECT_EQ(mesh.vertices[2].u, -3.0f);
    EXPECT_EQ(mesh.vertices[2].v, 0.5f);
    EXPECT_EQ(mesh.vertices[3].u, 1.5f);
    EXPECT_EQ(mesh.vertices[3].v, -1.0f);
    // Only the zero coordinate of a corner is replaced.
    Mesh mixed;
    addQuad(mixed, 0, at(0, 0, 0), at(1, 0, 0, 0.0f, 0.75f), at(1, 1, 0, 0.5f, 0.0f), at(0, 1, 0));
    EXPECT_EQ(mixed.vertices[1].u, 1.0f);
    EXPECT_EQ(mixed.vertices[1].v, 0.75f);
    EXPECT_EQ(mixed.vertices[2].u, 0.5f);
    EXPECT_EQ(mixed.vertices[2].v, 1.0f);
}

TEST(Quad, VerticesAndFacesInterleaveInCornerOrder)
{
    Mesh mesh;
    for (int k = 0; k < 3; ++k) {
        float x = static_cast<float>(10 * k);
        addQuad(mesh, 7 + k, at(x, 0, 0), at(x + 2, 0, 0), at(x + 2, 2, 0), at(x, 2, 0));
        EXPECT_EQ(mesh.vertexCount, 4 * (k + 1));
        EXPECT_EQ(mesh.faceCount, 2 * (k + 1));
    }
    for (int k = 0; k < 3; ++k) {
        const MeshFace& first = mesh.faces[2 * k];
        const MeshFace& second = mesh.faces[2 * k + 1];
        EXPECT_EQ(first.a, 4 * k);
        EXPECT_EQ(first.b, 4 * k + 1);
        EXPECT_EQ(first.c, 4 * k + 2);
        EXPECT_EQ(second.a, 4 * k);
        EXPECT_EQ(second.b, 4 * k + 2);
        EXPECT_EQ(second.c, 4 * k + 3);
        EXPECT_EQ(first.material, 7 + k);
        EXPECT_EQ(second.material, 7 + k);
        // Counter-clockwise seen from +z, twice the triangle's area: both
        // faces were added after their corners.
        EXPECT_EQ(first.normal.z, 4.0f);
        EXPECT_EQ(second.normal.z, 4.0f);
        EXPECT_EQ(mesh.vertices[4 * k + 2].x, static_cast<float>(10 * k + 2));
        EXPECT_EQ(mesh.vertices[4 * k].joint, 0);
    }
}
