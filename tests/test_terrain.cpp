// Tests of the terrain height field: sampling at, between and on the far
// edges of the samples, outside the map, the floor, and the map file's
// loading (missing, short, read once).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "app/globals.h"
#include "scene/scene_state.h"
#include "scene/terrain.h"
#include "tests/support/model_files.h"

namespace {

// Each test writes its own "Height.raw" into the scratch folder and runs there.
class Terrain : public ::testing::Test {
protected:
    ModelWorkingDirectory folder{std::filesystem::path(modelScratchPath("x")).parent_path().string()};
    void SetUp() override
    {
        std::remove("Height.raw");
        terrainForgetMap();
        resetSceneState();
    }
    void TearDown() override { SetUp(); }
};

float heightOf(float byte) { return byte * 0.15f - 29.0f + landLevel; }

TEST_F(Terrain, SamplesBetweenSamplesAndFarEdges)
{
    // Neighbouring samples differ and no two corners of a cell agree.
    ModelBytes map(HEIGHT_MAP_BYTES);
    for (int i = 0; i < HEIGHT_MAP_BYTES; ++i)
        map[i] = static_cast<uint8_t>(((i / 32) * 37 + (i % 32) * 11 + 5) % 256);
    writeModelBytes("Height.raw", map);
    auto at = [&](int r, int c) { return static_cast<float>(map[r * 32 + c]); };
    for (int r = 0; r < 32; ++r) {
        for (int c = 0; c < 32; ++c) {
            // Columns run along x, rows along z, 4 units apart from -64.
            const float x = -64.0f + 4.0f * c, z = -64.0f + 4.0f * r;
            EXPECT_NEAR(terrainHeightAt(x, z), heightOf(at(r, c)), 1e-3f) << r << ", " << c;
            if (r == 31 || c == 31)
                continue;
            // Halfway along x on a sample row, and inside a cell.
            for (const float tu : {0.5f, 0.25f})
                for (const float tv : {0.0f, 0.75f}) {
                    const float value = at(r, c) * (1 - tu) * (1 - tv) + at(r, c + 1) * tu * (1 - tv) +
                                        at(r + 1, c) * (1 - tu) * tv + at(r + 1, c + 1) * tu * tv;
                    EXPECT_NEAR(terrainHeightAt(x + 4 * tu, z + 4 * tv), heightOf(value), 1e-3f);
                }
        }
    }
    // u or v exactly 1: the last column or row, nothing read past the map
    // (the sanitizer build sees such a read).
    for (int i = 0; i < 32; ++i) {
        EXPECT_NEAR(terrainHeight(1.0f, i / 31.0f), heightOf(at(i, 31)), 1e-3f);
        EXPECT_NEAR(terrainHeight(i / 31.0f, 1.0f), heightOf(at(31, i)), 1e-3f);
    }
    EXPECT_NEAR(terrainHeight(10.5f / 31.0f, 1.0f), heightOf((at(31, 10) + at(31, 11)) / 2), 1e-3f);
}

TEST_F(Terrain, OutsideTheMapAndBelowTheFloorIsMinus30)
{
    ModelBytes map(HEIGHT_MAP_BYTES, 255);
    map[15 * 32 + 14] = 0;  // x = -8, z = -4
    writeModelBytes("Height.raw", map);
    for (const float d : {-64.01f, 60.01f, 1e30f, INFINITY, NAN}) {
        EXPECT_EQ(terrainHeightAt(d, 0.0f), -30.0f) << d;
        EXPECT_EQ(terrainHeightAt(0.0f, d), -30.0f) << d;
    }
    EXPECT_EQ(terrainHeight(0.5f, 1.0001f), -30.0f);
    EXPECT_FALSE(heightMapLoaded) << "outside the map nothing is read";
    EXPECT_NEAR(terrainHeightAt(60.0f, -64.0f), 9.25f, 1e-3f);

    landLevel = -0.5f;
    EXPECT_NEAR(terrainHeightAt(-8.0f, -4.0f), -29.5f, 1e-3f);
    landLevel = -2.0f;
    EXPECT_EQ(terrainHeightAt(-8.0f, -4.0f), -30.0f);
    EXPECT_NEAR(terrainHeightAt(0.0f, 0.0f), 7.25f, 1e-3f);
    landLevel = -50.0f;  // even byte 255 gives 38.25 - 79
    EXPECT_EQ(terrainHeightAt(0.0f, 0.0f), -30.0f);
}

TEST_F(Terrain, MapFileIsReadOnceWithZerosForMissingBytes)
{
    EXPECT_NEAR(terrainHeight(0.5f, 0.5f), -29.0f, 1e-3f);  // no file at all
    EXPECT_NEAR(terrainHeight(1.0f, 1.0f), -29.0f, 1e-3f);

    writeModelBytes("Height.raw", ModelBytes(HEIGHT_MAP_BYTES, 77));
    terrainForgetMap();
    terrainHeight(0.0f, 0.0f);  // leaves 77s behind in memory
    ModelBytes head(100);
    for (int i = 0; i < 100; ++i)
        head[i] = static_cast<uint8_t>(i + 1);
    writeModelBytes("Height.raw", head);
    terrainForgetMap();
    EXPECT_NEAR(terrainHeight(1.0f, 0.0f), heightOf(32), 1e-3f);
    for (int i = 0; i < HEIGHT_MAP_BYTES; ++i)
        ASSERT_EQ(heightMap[i], i < 100 ? i + 1 : 0) << "byte " << i;

    // A longer file gives its first 1024 bytes; a later change goes unseen.
    writeModelBytes("Height.raw", ModelBytes(HEIGHT_MAP_BYTES + 64, 40));
    terrainForgetMap();
    EXPECT_NEAR(terrainHeightAt(0.0f, 0.0f), heightOf(40), 1e-3f);
    writeModelBytes("Height.raw", ModelBytes(HEIGHT_MAP_BYTES, 200));
    EXPECT_NEAR(terrainHeightAt(0.0f, 0.0f), heightOf(40), 1e-3f);
}

}  // namespace
