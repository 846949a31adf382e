// The generated content read back with the program's own readers: the land
// model against the height map at every sample, and the generator run again
// to see that its output depends on nothing but itself.
//
// Runs in the run folder, where the build has written the content files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "model/mesh.h"
#include "scene/terrain.h"
#include "tests/support/gl_checks.h"

namespace {

std::vector<unsigned char> readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

// Every land vertex sits on a height-map sample, every sample has one, and
// every face is counter-clockwise seen from above (back faces are culled),
// together covering the whole map.
TEST(ContentLand, MeshSitsOnEveryHeightSampleFacingUpAndCoversTheMap)
{
    ASSERT_EQ(std::filesystem::file_size("Height.raw"), 1024u);
    REQUIRE_GL();
    terrainHeightAt(0, 0);  // loads the height map as the program reads it
    Mesh land;
    land.Load("LAND.KMO");
    ASSERT_GT(land.faceCount, 0);
    EXPECT_EQ(land.lineCount + land.dotCount, 0);
    std::set<int> covered;
    for (int32_t i = 0; i < land.vertexCount; ++i) {
        const MeshVertex& v = land.vertices[i];
        float c = (v.x + 64.0f) / 4.0f, r = (v.z + 64.0f) / 4.0f;
        ASSERT_TRUE(c == std::round(c) && r == std::round(r) && c >= 0 && c <= 31 && r >= 0 && r <= 31)
            << "vertex off the sample grid";
        int index = static_cast<int>(r) * 32 + static_cast<int>(c);
        EXPECT_NEAR(v.y, heightMap[index] * 0.15f - 29.0f, 1e-4f) << "sample r" << r << " c" << c;
        covered.insert(index);
    }
    EXPECT_EQ(covered.size(), 1024u);
    double area = 0;
    for (int32_t i = 0; i < land.faceCount; ++i) {
        const MeshFace& f = land.faces[i];
        ASSERT_TRUE(f.a >= 0 && f.b >= 0 && f.c >= 0 && f.a < land.vertexCount && f.b < land.vertexCount &&
                    f.c < land.vertexCount);
        const MeshVertex &a = land.vertices[f.a], &b = land.vertices[f.b], &c = land.vertices[f.c];
        const float up = (c.x - a.x) * (b.z - a.z) - (b.x - a.x) * (c.z - a.z);
        EXPECT_GT(up, 0.0f) << "face " << i << " seen from below";
        EXPECT_GT(f.normal.y, 0.0f);
        area += 0.5 * up;  // the projected area on the ground plane
    }
    EXPECT_NEAR(area, 124.0 * 124.0, 1.0);
}

TEST(ContentGenerator, WritesTheSameFilesAgain)
{
    const std::string folder = testing::TempDir() + "vexarion-content-again/";
    ASSERT_EQ(std::system(("rm -rf '" + folder + "' && mkdir -p '" + folder + "'").c_str()), 0);
    ASSERT_EQ(std::system(("./vexarion-content '" + folder + "' > /dev/null").c_str()), 0);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        std::vector<unsigned char> again = readWholeFile(entry.path().string());
        EXPECT_FALSE(again.empty()) << name;
        EXPECT_TRUE(again == readWholeFile(name)) << name << " differs between two runs";
        ++files;
    }
    // 3 models, 4 effect bitmaps, 6 model bitmaps, the height map, 8 sounds
    // and the README.
    EXPECT_EQ(files, 23);
    std::system(("rm -rf '" + folder + "'").c_str());
}
