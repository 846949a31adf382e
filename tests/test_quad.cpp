// Textured quads: texture-coordinate defaults and the vertex and face order.
#include <gtest/gtest.h>

#include <array>

#include "effects/quad.h"

namespace {

using Face = std::array<int32_t, 4>;  // the corners, then the material

Face faceOf(const MeshFace& f)
{
    return Face{f.a, f.b, f.c, f.material};
}

MeshVertex at(float x, float y, float u = 0.0f, float v = 0.0f)
{
    return MeshVertex{x, y, 0.0f, u, v, 0};
}

}  // namespace

TEST(Quad, OnlyZeroCoordinatesTakeTheCornerDefaults)
{
    Mesh mesh;
    // All zero (negative zero counts as zero): the texture stretched once.
    addQuad(mesh, 0, at(0, 0), at(1, 0, -0.0f, 0.0f), at(1, 1), at(0, 1, 0.0f, -0.0f));
    // Non-zero values pass unchanged, whatever their range; the zero
    // coordinates beside them still take their corner's default.
    addQuad(mesh, 0, at(0, 0, -0.5f, 2.5f), at(1, 0, 0.0f, 7.0f), at(1, 1, -3.0f, 0.0f), at(0, 1, 1.5f, -1.0f));
    const float expected[8][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {-0.5f, 2.5f}, {1, 7}, {-3, 1}, {1.5f, -1}};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(mesh.vertices[k].u, expected[k][0]) << "vertex " << k;
        EXPECT_EQ(mesh.vertices[k].v, expected[k][1]) << "vertex " << k;
    }
}

TEST(Quad, VerticesAndFacesInterleaveInCornerOrder)
{
    Mesh mesh;
    for (int k = 0; k < 3; ++k) {
        float x = static_cast<float>(10 * k);
        addQuad(mesh, 7 + k, at(x, 0), at(x + 2, 0), at(x + 2, 2), at(x, 2));
    }
    ASSERT_EQ(mesh.vertexCount, 12);
    ASSERT_EQ(mesh.faceCount, 6);
    for (int k = 0; k < 3; ++k) {
        const MeshFace& first = mesh.faces[2 * k];
        const MeshFace& second = mesh.faces[2 * k + 1];
        EXPECT_EQ(faceOf(first), (Face{4 * k, 4 * k + 1, 4 * k + 2, 7 + k}));
        EXPECT_EQ(faceOf(second), (Face{4 * k, 4 * k + 2, 4 * k + 3, 7 + k}));
        // Counter-clockwise seen from +z, twice the triangle's area: each face
        // was added after its corners.
        EXPECT_EQ(first.normal.z, 4.0f);
        EXPECT_EQ(second.normal.z, 4.0f);
        EXPECT_EQ(mesh.vertices[4 * k + 2].x, static_cast<float>(10 * k + 2));
    }
}
