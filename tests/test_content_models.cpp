// The generated land and room, read back with the program's own model
// reader: the land against the height map at every sample, faces facing
// up, the room's unit normals and inward walls.
//
// Runs in the run folder, where the build has written the content files.
// Reading a model creates its textures, so these tests need a GL context.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

#include "model/mesh.h"
#include "tests/support/content_files.h"
#include "tests/support/gl_checks.h"

namespace {

struct P3 {
    float x, y, z;
};
P3 sub(P3 a, P3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
P3 cross(P3 a, P3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(P3 a, P3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
float length(P3 a) {
    return std::sqrt(dot(a, a));
}
P3 at(const Mesh& m, int32_t i) {
    const MeshVertex& v = m.vertices[i];
    return {v.x, v.y, v.z};
}
// The normal on the side from which the corners run counter-clockwise.
P3 windingNormal(const Mesh& m, const MeshFace& f) {
    P3 p = at(m, f.a), q = at(m, f.b), r = at(m, f.c);
    return cross(sub(q, p), sub(r, p));
}
P3 centroid(const Mesh& m, const MeshFace& f) {
    P3 p = at(m, f.a), q = at(m, f.b), r = at(m, f.c);
    return {(p.x + q.x + r.x) / 3, (p.y + q.y + r.y) / 3, (p.z + q.z + r.z) / 3};
}

// A mesh's records, walked in place.
template <typename T>
struct Records {
    const T* first;
    const T* last;
    const T* begin() const { return first; }
    const T* end() const { return last; }
};
Records<MeshFace> facesOf(const Mesh& m) {
    return {m.faces, m.faces + m.faceCount};
}
Records<MeshVertex> verticesOf(const Mesh& m) {
    return {m.vertices, m.vertices + m.vertexCount};
}

// Every face indexes existing vertices and materials, every material's
// bitmap became a real texture (a missing or unusable one gives 1 x 1),
// and there are no lines or dots: drawing them would change the colour
// the renderer leaves current for the meshes drawn after this one.
void expectWellFormed(const Mesh& m) {
    ASSERT_GT(m.vertexCount, 0);
    ASSERT_GT(m.faceCount, 0);
    ASSERT_GT(m.materialCount, 0);
    EXPECT_EQ(m.lineCount, 0);
    EXPECT_EQ(m.dotCount, 0);
    for (int32_t i = 0; i < m.materialCount; ++i) {
        const MeshMaterial& mat = m.materials[i];
        EXPECT_LT(std::strlen(mat.name), size_t{40});
        BmpFile bmp = readBmp(mat.name);
        ASSERT_TRUE(bmp.ok) << mat.name;
        TextureImage texture = readTexture(mat.texture);
        EXPECT_EQ(texture.width, bmp.width) << mat.name;
        EXPECT_EQ(texture.height, bmp.height) << mat.name;
    }
    for (const MeshFace& f : facesOf(m)) {
        ASSERT_TRUE(f.a >= 0 && f.a < m.vertexCount && f.b >= 0 && f.b < m.vertexCount && f.c >= 0 &&
                    f.c < m.vertexCount);
        EXPECT_TRUE(f.material >= 0 && f.material < m.materialCount);
        EXPECT_GT(length(windingNormal(m, f)), 1e-7f) << "degenerate face";
    }
}

std::vector<unsigned char> heightMap() {
    return readWholeFile("Height.raw");
}

// The ground height as the program samples it at world x, z.
float groundAt(const std::vector<unsigned char>& map, float x, float z) {
    float u = (x + 64.0f) * 0.008064516f, v = (z + 64.0f) * 0.008064516f;
    if (u < 0 || v < 0 || u > 1 || v > 1) return -30.0f;
    float fu = 31 * u, fv = 31 * v;
    int iu = static_cast<int>(fu), iv = static_cast<int>(fv);
    float tu = fu - iu, tv = fv - iv;
    auto s = [&](int r, int c) { return static_cast<float>(map[static_cast<size_t>(std::min(r, 31) * 32 + std::min(c, 31))]); };
    float value = ((1 - tu) * s(iv + 1, iu) + tu * s(iv + 1, iu + 1)) * tv + (tu * s(iv, iu + 1) + (1 - tu) * s(iv, iu)) * (1 - tv);
    return std::fmax(-30.0f, value * 0.15f - 29.0f);
}

TEST(ContentLand, MeshSitsExactlyOnEveryHeightSample) {
    std::vector<unsigned char> map = heightMap();
    ASSERT_EQ(map.size(), 1024u);
    REQUIRE_GL();
    Mesh land;
    land.Load("LAND.KMO");
    expectWellFormed(land);
    std::set<int> covered;
    for (const MeshVertex& v : verticesOf(land)) {
        float c = (v.x + 64.0f) / 4.0f, r = (v.z + 64.0f) / 4.0f;
        ASSERT_EQ(c, std::round(c)) << "vertex off the sample grid";
        ASSERT_EQ(r, std::round(r)) << "vertex off the sample grid";
        ASSERT_TRUE(c >= 0 && c <= 31 && r >= 0 && r <= 31);
        int index = static_cast<int>(r) * 32 + static_cast<int>(c);
        EXPECT_NEAR(v.y, map[static_cast<size_t>(index)] * 0.15f - 29.0f, 1e-4f) << "sample r" << r << " c" << c;
        EXPECT_TRUE(v.u >= 0 && v.u <= 1 && v.v >= 0 && v.v <= 1);
        covered.insert(index);
    }
    EXPECT_EQ(covered.size(), 1024u);
}

TEST(ContentLand, FacesRunCounterClockwiseFromAboveAndCoverTheMap) {
    REQUIRE_GL();
    Mesh land;
    land.Load("LAND.KMO");
    ASSERT_GT(land.faceCount, 0);
    double area = 0;
    for (const MeshFace& f : facesOf(land)) {
        P3 n = windingNormal(land, f);
        EXPECT_GT(n.y, 0.0f) << "face seen from below";
        EXPECT_GT(f.normal.y, 0.0f);
        area += 0.5 * n.y;  // the projected area on the ground plane
    }
    EXPECT_NEAR(area, 124.0 * 124.0, 1.0);
}

TEST(ContentLand, IslandIsShapedForTheDirector) {
    std::vector<unsigned char> map = heightMap();
    ASSERT_EQ(map.size(), 1024u);
    // Dry at the origin at the start (sea -15), deep enough to swim there
    // when the sea is at its top (-3); the start height is read at (-2, -2).
    for (P3 p : {P3{0, 0, 0}, P3{-2, 0, -2}}) {
        float h = groundAt(map, p.x, p.z);
        EXPECT_GE(h, -12.0f);
        EXPECT_LE(h, -8.5f);
    }
    // Flat where the room stands.
    for (float x = -12; x <= 12; x += 1)
        for (float z = -12; z <= 12; z += 1) EXPECT_EQ(groundAt(map, x, z), groundAt(map, 0, 0));
    // Dry goals in -50..49 and deep water in -40..39 are both common.
    int dry = 0, deep = 0, dryAtTop = 0;
    for (int x = -50; x < 50; ++x)
        for (int z = -50; z < 50; ++z) {
            dry += groundAt(map, x, z) > -15.0f;
            dryAtTop += groundAt(map, x, z) > -3.0f;
            deep += (x >= -40 && x < 40 && z >= -40 && z < 40 && groundAt(map, x, z) < -20.0f);
        }
    EXPECT_GT(dry, 2000);   // more than a fifth: 16 random tries nearly always find one
    EXPECT_GT(deep, 1280);  // more than a fifth of -40..39
    EXPECT_EQ(dryAtTop, 0) << "the raised sea drowns the whole island";
    // Beaches: sand just above the starting sea somewhere on every side.
    for (P3 dir : {P3{1, 0, 0}, P3{-1, 0, 0}, P3{0, 0, 1}, P3{0, 0, -1}}) {
        bool beach = false;
        for (float d = 10; d < 60; d += 0.5f) {
            float h = groundAt(map, dir.x * d, dir.z * d);
            beach = beach || (h > -15.0f && h < -13.0f);
        }
        EXPECT_TRUE(beach);
    }
}

// The camera, at (0, 175, 200) before the scene turns by `yaw` degrees about
// the vertical axis, in world coordinates.
P3 cameraAt(float yawDegrees) {
    float a = yawDegrees * 0.017453292f;
    // The scene is turned by +yaw, so the camera sits at -yaw around it.
    return {-200.0f * std::sin(a), 175.0f, 200.0f * std::cos(a)};
}

TEST(ContentRoom, NormalsAreUnitAndMatchTheWinding) {
    REQUIRE_GL();
    Mesh room;
    room.Load("ROOM.KMO");
    expectWellFormed(room);
    for (const MeshFace& f : facesOf(room)) {
        P3 n{f.normal.x, f.normal.y, f.normal.z};
        EXPECT_NEAR(length(n), 1.0f, 1e-4f);
        P3 w = windingNormal(room, f);
        EXPECT_GT(dot(n, w) / length(w), 0.999f) << "stored normal not on the drawn side";
    }
}

TEST(ContentRoom, TexturedFloorAroundTheStartOnTheFlatGround) {
    REQUIRE_GL();
    Mesh room;
    room.Load("ROOM.KMO");
    ASSERT_GT(room.faceCount, 0);
    std::vector<unsigned char> map = heightMap();
    float ground = groundAt(map, 0, 0);
    float minX = 1e9f, maxX = -1e9f, minZ = 1e9f, maxZ = -1e9f, floorY = 1e9f;
    for (const MeshFace& f : facesOf(room)) {
        if (f.normal.y < 0.999f) continue;
        for (int32_t i : {f.a, f.b, f.c}) {
            P3 p = at(room, i);
            minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
            minZ = std::min(minZ, p.z), maxZ = std::max(maxZ, p.z);
            floorY = std::min(floorY, p.y);
        }
    }
    // Room for the character (10 units tall, arms 11 wide) around the origin.
    EXPECT_LT(minX, -6.0f);
    EXPECT_GT(maxX, 6.0f);
    EXPECT_LT(minZ, -6.0f);
    EXPECT_GT(maxZ, 6.0f);
    // On the ground, just clear of the land's own surface, and flat ground
    // all under it.
    EXPECT_GT(floorY, ground);
    EXPECT_LT(floorY, ground + 0.5f);
    for (float x = minX; x <= maxX; x += 1) EXPECT_EQ(groundAt(map, x, minZ), ground);
    for (float z = minZ; z <= maxZ; z += 1) EXPECT_EQ(groundAt(map, maxX, z), ground);
}

TEST(ContentRoom, WallsFaceInwardSoTheNearOnesAreCulledFromEverySide) {
    REQUIRE_GL();
    Mesh room;
    room.Load("ROOM.KMO");
    ASSERT_GT(room.faceCount, 0);
    float extent = 0, top = -1e9f, bottom = 1e9f;
    for (const MeshVertex& v : verticesOf(room)) {
        extent = std::max({extent, std::fabs(v.x), std::fabs(v.z)});
        top = std::max(top, v.y);
        bottom = std::min(bottom, v.y);
    }
    EXPECT_LT(top - bottom, 7.0f) << "low walls, below the character's chest";
    std::vector<MeshFace> walls;
    for (const MeshFace& f : facesOf(room)) {
        P3 c = centroid(room, f);
        if (std::fabs(f.normal.y) < 0.01f && std::max(std::fabs(c.x), std::fabs(c.z)) > extent - 0.01f) walls.push_back(f);
    }
    ASSERT_GE(walls.size(), 8u);
    for (const MeshFace& f : walls) {
        P3 c = centroid(room, f);
        EXPECT_LT(dot({f.normal.x, 0, f.normal.z}, {c.x, 0, c.z}), 0.0f) << "wall faces outward";
    }
    // As the scene turns, the wall nearest the camera is always culled and
    // the farthest always drawn.
    for (float yaw = 0; yaw < 360; yaw += 15) {
        P3 eye = cameraAt(yaw);
        const MeshFace* nearest = nullptr;
        const MeshFace* farthest = nullptr;
        for (const MeshFace& f : walls) {
            float d = length(sub(eye, centroid(room, f)));
            if (!nearest || d < length(sub(eye, centroid(room, *nearest)))) nearest = &f;
            if (!farthest || d > length(sub(eye, centroid(room, *farthest)))) farthest = &f;
        }
        auto facesEye = [&](const MeshFace& f) { return dot(windingNormal(room, f), sub(eye, at(room, f.a))) > 0; };
        EXPECT_FALSE(facesEye(*nearest)) << "yaw " << yaw;
        EXPECT_TRUE(facesEye(*farthest)) << "yaw " << yaw;
    }
}

}  // namespace
