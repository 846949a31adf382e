// Water: the sheet's vertex pattern over time and the reuse of its storage.
#include <gtest/gtest.h>

#include <cmath>

#include "app/globals.h"
#include "scene/scene_state.h"
#include "effects/water.h"
#include "tests/support/gl_test_context.h"

TEST(Water, SheetPatternAndStorageReuse)
{
    ASSERT_TRUE(testGlContext());
    waterInit();
    ASSERT_EQ(waterMesh.materialCount, 1);
    EXPECT_STREQ(waterMesh.materials[0].name, "Water.bmp");
    ASSERT_EQ(waterMesh.faceCount, 60);
    // Two faces per strip, built once.
    for (int j = 0; j < 30; ++j) {
        const MeshFace& a = waterMesh.faces[2 * j];
        const MeshFace& b = waterMesh.faces[2 * j + 1];
        EXPECT_TRUE(a.a == 2 * j && a.b == 2 * j + 1 && a.c == 2 * j + 3 && a.material == 0) << j;
        EXPECT_TRUE(b.a == 2 * j && b.b == 2 * j + 3 && b.c == 2 * j + 2 && b.material == 0) << j;
    }

    const MeshVertex* storage = waterMesh.vertices;
    const MeshFace* faces = waterMesh.faces;
    for (float t : {0.0f, 0.0f, 1.25f, 1000.0f}) {
        waterUpdate(t);
        ASSERT_EQ(waterMesh.vertexCount, 62);
        ASSERT_EQ(waterMesh.faceCount, 60);
        EXPECT_EQ(waterMesh.vertices, storage) << "the vertex list must keep its storage";
        EXPECT_EQ(waterMesh.vertexCapacity, 62);
        EXPECT_EQ(waterMesh.faces, faces);
        // Column i: near end at z -60 and v 0, far end at z 60 and v 3.2,
        // both at the same x, height and u.
        for (int i = 0; i <= 30; ++i) {
            const MeshVertex& n = waterMesh.vertices[2 * i];
            const MeshVertex& f = waterMesh.vertices[2 * i + 1];
            EXPECT_EQ(n.x, static_cast<float>((i - 15) * 4));
            EXPECT_FLOAT_EQ(n.y, std::sin(0.5f * static_cast<float>(i) + t));
            EXPECT_FLOAT_EQ(n.u, 0.1f * static_cast<float>(i));
            EXPECT_TRUE(f.x == n.x && f.y == n.y && f.u == n.u) << "column " << i;
            EXPECT_TRUE(n.z == -60.0f && f.z == 60.0f && n.v == 0.0f && f.v == 3.2f) << "column " << i;
        }
    }
    waterUpdate(0.0f);
    EXPECT_NEAR(waterMesh.vertices[2].y, 0.479426f, 1e-6f);  // sin(0.5), column 1 at time 0
}
