// The generated land and room, read back with the program's own model
// reader and terrain sampling: the land against the height map at every
// sample, faces facing up, the island's shape, the room's unit normals and
// inward walls.
//
// Runs in the run folder, where the build has written the content files.
// Reading a model creates its textures, so these tests need a GL context.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>

#include "model/mesh.h"
#include "scene/terrain.h"
#include "tests/support/gl_checks.h"

namespace {

struct P3 {
    float x, y, z;
};
P3 sub(P3 a, P3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
P3 cross(P3 a, P3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float dot(P3 a, P3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float length(P3 a) { return std::sqrt(dot(a, a)); }
P3 at(const Mesh& m, int32_t i) { return {m.vertices[i].x, m.vertices[i].y, m.vertices[i].z}; }
// The normal on the side from which the corners run counter-clockwise.
P3 windingNormal(const Mesh& m, const MeshFace& f) {
    return cross(sub(at(m, f.b), at(m, f.a)), sub(at(m, f.c), at(m, f.a)));
}
P3 centroid(const Mesh& m, const MeshFace& f) {
    P3 p = at(m, f.a), q = at(m, f.b), r = at(m, f.c);
    return {(p.x + q.x + r.x) / 3, (p.y + q.y + r.y) / 3, (p.z + q.z + r.z) / 3};
}

// A mesh's faces, walked in place.
struct Faces {
    const Mesh& m;
    const MeshFace* begin() const { return m.faces; }
    const MeshFace* end() const { return m.faces + m.faceCount; }
};

// Loads the model and checks that every face indexes existing vertices and
// materials, every material's bitmap became a texture (a missing or unusable
// one gives 1 x 1; their format is checked with the other bitmaps), and there
// are no lines or dots: drawing them would change the colour the renderer
// leaves current for the meshes drawn after this one.
void loadWellFormed(Mesh& m, const char* name) {
    SCOPED_TRACE(name);
    m.Load(name);
    ASSERT_GT(m.vertexCount, 0);
    ASSERT_GT(m.faceCount, 0);
    ASSERT_GT(m.materialCount, 0);
    EXPECT_EQ(m.lineCount + m.dotCount, 0);
    for (int32_t i = 0; i < m.materialCount; ++i)
        EXPECT_GE(readTexture(m.materials[i].texture).width, 16) << m.materials[i].name;
    for (const MeshFace& f : Faces{m}) {
        ASSERT_TRUE(std::min({f.a, f.b, f.c}) >= 0 && std::max({f.a, f.b, f.c}) < m.vertexCount);
        EXPECT_TRUE(f.material >= 0 && f.material < m.materialCount);
        EXPECT_GT(length(windingNormal(m, f)), 1e-7f) << "degenerate face";
    }
}

TEST(ContentLand, MeshSitsOnEveryHeightSampleFacingUpAndCoversTheMap) {
    ASSERT_EQ(std::filesystem::file_size("Height.raw"), 1024u);
    REQUIRE_GL();
    terrainHeightAt(0, 0);  // loads the height map as the program reads it
    Mesh land;
    loadWellFormed(land, "LAND.KMO");
    std::set<int> covered;
    for (int32_t i = 0; i < land.vertexCount; ++i) {
        const MeshVertex& v = land.vertices[i];
        float c = (v.x + 64.0f) / 4.0f, r = (v.z + 64.0f) / 4.0f;
        ASSERT_TRUE(c == std::round(c) && r == std::round(r)) << "vertex off the sample grid";
        ASSERT_TRUE(c >= 0 && c <= 31 && r >= 0 && r <= 31);
        int index = static_cast<int>(r) * 32 + static_cast<int>(c);
        EXPECT_NEAR(v.y, heightMap[index] * 0.15f - 29.0f, 1e-4f) << "sample r" << r << " c" << c;
        EXPECT_TRUE(v.u >= 0 && v.u <= 1 && v.v >= 0 && v.v <= 1);
        covered.insert(index);
    }
    EXPECT_EQ(covered.size(), 1024u);
    // Counter-clockwise seen from above, since back faces are culled.
    double area = 0;
    for (const MeshFace& f : Faces{land}) {
        P3 n = windingNormal(land, f);
        EXPECT_GT(n.y, 0.0f) << "face seen from below";
        EXPECT_GT(f.normal.y, 0.0f);
        area += 0.5 * n.y;  // the projected area on the ground plane
    }
    EXPECT_NEAR(area, 124.0 * 124.0, 1.0);
}

TEST(ContentLand, IslandIsShapedForTheDirector) {
    ASSERT_EQ(std::filesystem::file_size("Height.raw"), 1024u);
    // Dry at the origin at the start (sea -15), deep enough to swim there
    // when the sea is at its top (-3); the start height is read at (-2, -2).
    for (float h : {terrainHeightAt(0, 0), terrainHeightAt(-2, -2)}) {
        EXPECT_GE(h, -12.0f);
        EXPECT_LE(h, -8.5f);
    }
    // Flat where the room stands.
    for (float x = -12; x <= 12; x += 1)
        for (float z = -12; z <= 12; z += 1) EXPECT_EQ(terrainHeightAt(x, z), terrainHeightAt(0, 0));
    // Dry goals in -50..49 and deep water in -40..39 are both common.
    int dry = 0, deep = 0, dryAtTop = 0;
    for (int x = -50; x < 50; ++x)
        for (int z = -50; z < 50; ++z) {
            float h = terrainHeightAt(static_cast<float>(x), static_cast<float>(z));
            dry += h > -15.0f;
            dryAtTop += h > -3.0f;
            deep += (x >= -40 && x < 40 && z >= -40 && z < 40 && h < -20.0f);
        }
    EXPECT_GT(dry, 2000);   // more than a fifth: 16 random tries nearly always find one
    EXPECT_GT(deep, 1280);  // more than a fifth of -40..39
    EXPECT_EQ(dryAtTop, 0) << "the raised sea drowns the whole island";
    // Beaches: sand just above the starting sea somewhere on every side.
    for (P3 dir : {P3{1, 0, 0}, P3{-1, 0, 0}, P3{0, 0, 1}, P3{0, 0, -1}}) {
        bool beach = false;
        for (float d = 10; d < 60; d += 0.5f) {
            float h = terrainHeightAt(dir.x * d, dir.z * d);
            beach = beach || (h > -15.0f && h < -13.0f);
        }
        EXPECT_TRUE(beach);
    }
}

TEST(ContentRoom, UnitNormalsATexturedFloorOnFlatGroundAndLowInwardWalls) {
    REQUIRE_GL();
    Mesh room;
    loadWellFormed(room, "ROOM.KMO");
    // The room is the one lit mesh: its stored normals are unit and on the
    // drawn side.
    for (const MeshFace& f : Faces{room}) {
        P3 n{f.normal.x, f.normal.y, f.normal.z}, w = windingNormal(room, f);
        EXPECT_NEAR(length(n), 1.0f, 1e-4f);
        EXPECT_GT(dot(n, w) / length(w), 0.999f) << "stored normal not on the drawn side";
    }

    // The floor: room for the character (10 units tall, arms 11 wide) around
    // the origin, just clear of the land's surface, flat ground all under it.
    const float ground = terrainHeightAt(0, 0);
    float minX = 1e9f, maxX = -1e9f, minZ = 1e9f, maxZ = -1e9f, floorY = 1e9f;
    for (const MeshFace& f : Faces{room})
        for (int32_t i : {f.a, f.b, f.c})
            if (f.normal.y >= 0.999f) {
                P3 p = at(room, i);
                minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
                minZ = std::min(minZ, p.z), maxZ = std::max(maxZ, p.z);
                floorY = std::min(floorY, p.y);
            }
    EXPECT_TRUE(minX < -6 && maxX > 6 && minZ < -6 && maxZ > 6);
    EXPECT_GT(floorY, ground);
    EXPECT_LT(floorY, ground + 0.5f);
    for (float x = minX; x <= maxX; x += 1) EXPECT_EQ(terrainHeightAt(x, minZ), ground);
    for (float z = minZ; z <= maxZ; z += 1) EXPECT_EQ(terrainHeightAt(maxX, z), ground);

    // Low walls, below the character's chest, facing inward.
    float extent = 0, top = -1e9f, bottom = 1e9f;
    for (int32_t i = 0; i < room.vertexCount; ++i) {
        P3 p = at(room, i);
        extent = std::max({extent, std::fabs(p.x), std::fabs(p.z)});
        top = std::max(top, p.y);
        bottom = std::min(bottom, p.y);
    }
    EXPECT_LT(top - bottom, 7.0f);
    std::vector<MeshFace> walls;
    for (const MeshFace& f : Faces{room}) {
        P3 c = centroid(room, f);
        if (std::fabs(f.normal.y) < 0.01f && std::max(std::fabs(c.x), std::fabs(c.z)) > extent - 0.01f) {
            walls.push_back(f);
            EXPECT_LT(dot({f.normal.x, 0, f.normal.z}, {c.x, 0, c.z}), 0.0f) << "wall faces outward";
        }
    }
    ASSERT_GE(walls.size(), 8u);
    // As the scene turns, the wall nearest the camera (at (0, 175, 200)
    // before the scene turns by `yaw` about the vertical axis) is always
    // culled and the farthest always drawn.
    for (float yaw = 0; yaw < 360; yaw += 15) {
        const float a = yaw * 0.017453292f;
        const P3 eye{-200.0f * std::sin(a), 175.0f, 200.0f * std::cos(a)};
        auto distance = [&](const MeshFace& f) { return length(sub(eye, centroid(room, f))); };
        auto byDistance = [&](const MeshFace& f, const MeshFace& g) { return distance(f) < distance(g); };
        auto facesEye = [&](const MeshFace& f) { return dot(windingNormal(room, f), sub(eye, at(room, f.a))) > 0; };
        EXPECT_FALSE(facesEye(*std::min_element(walls.begin(), walls.end(), byDistance))) << "yaw " << yaw;
        EXPECT_TRUE(facesEye(*std::max_element(walls.begin(), walls.end(), byDistance))) << "yaw " << yaw;
    }
}

}  // namespace
