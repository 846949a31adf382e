// Water: the sheet's vertex pattern over time and the reuse of its storage.
#include <gtest/gtest.h>

#include <cmath>

#include "app/globals.h"
#include "effects/water.h"
#include "tests/support/gl_test_context.h"

TEST(Water, SheetPatternAndStorageReuse)
{
    ASSERT_TRUE(testGlContext());
    waterInit();
    ASSERT_EQ(waterMesh.materialCount, 1);
    EXPECT_EQ(waterMesh.materials[0].mipmaps, 0);
    EXPECT_STREQ(waterMesh.materials[0].name, "Water.bmp");
    ASSERT_EQ(waterMesh.vertexCount, 62);
    ASSERT_EQ(waterMesh.faceCount, 60);

    // Two faces per strip, built once.
    for (int j = 0; j < 30; ++j) {
        const MeshFace& a = waterMesh.faces[2 * j];
        const MeshFace& b = waterMesh.faces[2 * j + 1];
        EXPECT_EQ(a.a, 2 * j);
        EXPECT_EQ(a.b, 2 * j + 1);
        EXPECT_EQ(a.c, 2 * j + 3);
        EXPECT_EQ(b.a, 2 * j);
        EXPECT_EQ(b.b, 2 * j + 3);
        EXPECT_EQ(b.c, 2 * j + 2);
        EXPECT_EQ(a.material, 0);
        EXPECT_EQ(b.material, 0);
    }

    const MeshVertex* storage = waterMesh.vertices;
    const MeshFace* faces = waterMesh.faces;
    const float times[] = {0.0f, 0.0f, 1.25f, 37.5f, 1000.0f};
    for (float t : times) {
        waterUpdate(t);
        ASSERT_EQ(waterMesh.vertexCount, 62);
        ASSERT_EQ(waterMesh.faceCount, 60);
        EXPECT_EQ(waterMesh.vertices, storage) << "the vertex list must keep its storage";
        EXPECT_EQ(waterMesh.vertexCapacity, 62);
        EXPECT_EQ(waterMesh.faces, faces);
        for (int i = 0; i <= 30; ++i) {
            const MeshVertex& nearEnd = waterMesh.vertices[2 * i];
            const MeshVertex& farEnd = waterMesh.vertices[2 * i + 1];
            float expectedY = std::sin(0.5f * static_cast<float>(i) + t);
            EXPECT_EQ(nearEnd.x, static_cast<float>((i - 15) * 4));
            EXPECT_FLOAT_EQ(nearEnd.y, expectedY);
            EXPECT_EQ(farEnd.x, nearEnd.x);
            EXPECT_EQ(farEnd.y, nearEnd.y);
            EXPECT_EQ(nearEnd.z, -60.0f);
            EXPECT_EQ(farEnd.z, 60.0f);
            EXPECT_FLOAT_EQ(nearEnd.u, 0.1f * static_cast<float>(i));
            EXPECT_EQ(farEnd.u, nearEnd.u);
            EXPECT_EQ(nearEnd.v, 0.0f);
            EXPECT_EQ(farEnd.v, 3.2f);
        }
    }
    waterUpdate(0.0f);
    EXPECT_EQ(waterMesh.vertices[0].y, 0.0f);
    EXPECT_NEAR(waterMesh.vertices[2].y, 0.479426f, 1e-6f);
    EXPECT_EQ(waterMesh.vertices[0].x, -60.0f);
    EXPECT_EQ(waterMesh.vertices[60].x, 60.0f);
}
