// Tests of the terrain height field: sampling at and between the samples, on
// the map's far edges, outside it, with the land raised and lowered, and with
// a missing, short or replaced "Height.raw".
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/globals.h"
#include "scene/terrain.h"

namespace {

namespace fs = std::filesystem;

// Runs each test in an empty folder of its own, so "Height.raw" there is the
// test's own file, and restores the folder, the land level and the map after.
class Terrain : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = fs::current_path();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / ("vexarion-terrain-" + std::string(info->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        fs::current_path(folder_);
        terrainForgetMap();
        landLevel = 0.0f;
    }

    void TearDown() override
    {
        fs::current_path(previous_);
        fs::remove_all(folder_);
        terrainForgetMap();
        landLevel = 0.0f;
    }

    static void writeMap(const std::vector<uint8_t>& bytes)
    {
        std::FILE* file = std::fopen("Height.raw", "wb");
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        std::fclose(file);
    }

    // A map in which neighbouring samples differ and no two corners agree.
    static std::vector<uint8_t> patternMap()
    {
        std::vector<uint8_t> bytes(HEIGHT_MAP_BYTES);
        for (int r = 0; r < 32; ++r)
            for (int c = 0; c < 32; ++c)
                bytes[r * 32 + c] = static_cast<uint8_t>((r * 37 + c * 11 + 5) % 256);
        return bytes;
    }

    static float heightOf(float byte) { return byte * 0.15f - 29.0f + landLevel; }

    fs::path previous_;
    fs::path folder_;
};

const float kTolerance = 1e-3f;

TEST_F(Terrain, SamplePointsGiveTheirBytesExactly)
{
    const std::vector<uint8_t> map = patternMap();
    writeMap(map);
    for (int r = 0; r < 32; ++r) {
        for (int c = 0; c < 32; ++c) {
            const float expected = heightOf(map[r * 32 + c]);
            EXPECT_NEAR(terrainHeightAt(-64.0f + 4.0f * c, -64.0f + 4.0f * r), expected, kTolerance)
                << "row " << r << " column " << c;
            EXPECT_NEAR(terrainHeight(c / 31.0f, r / 31.0f), expected, kTolerance)
                << "row " << r << " column " << c;
        }
    }
}

TEST_F(Terrain, ColumnsRunAlongXAndRowsAlongZ)
{
    std::vector<uint8_t> map(HEIGHT_MAP_BYTES, 0);
    map[2 * 32 + 5] = 200;  // row 2, column 5: x = -44, z = -56
    writeMap(map);
    EXPECT_NEAR(terrainHeightAt(-44.0f, -56.0f), heightOf(200), kTolerance);
    EXPECT_NEAR(terrainHeightAt(-56.0f, -44.0f), heightOf(0), kTolerance);
}

TEST_F(Terrain, BetweenSamplesIsBilinear)
{
    const std::vector<uint8_t> map = patternMap();
    writeMap(map);
    for (int r = 0; r < 31; ++r) {
        for (int c = 0; c < 31; ++c) {
            const float a = map[r * 32 + c], b = map[r * 32 + c + 1];
            const float cc = map[(r + 1) * 32 + c], d = map[(r + 1) * 32 + c + 1];
            const float x = -64.0f + 4.0f * c, z = -64.0f + 4.0f * r;
            // Halfway along x on a sample row, halfway along z on a sample column.
            EXPECT_NEAR(terrainHeightAt(x + 2.0f, z), heightOf((a + b) / 2), kTolerance);
            EXPECT_NEAR(terrainHeightAt(x, z + 2.0f), heightOf((a + cc) / 2), kTolerance);
            // The cell centre is the mean of the four corners.
            EXPECT_NEAR(terrainHeightAt(x + 2.0f, z + 2.0f), heightOf((a + b + cc + d) / 4), kTolerance);
            // Off-centre points weigh each corner by the area opposite it.
            const float weights[][2] = {{0.25f, 0.25f}, {0.25f, 0.75f}, {0.75f, 0.5f}};
            for (const auto& t : weights) {
                const float tu = t[0], tv = t[1];
                const float value = a * (1 - tu) * (1 - tv) + b * tu * (1 - tv) + cc * (1 - tu) * tv + d * tu * tv;
                EXPECT_NEAR(terrainHeightAt(x + 4.0f * tu, z + 4.0f * tv), heightOf(value), kTolerance);
            }
        }
    }
}

// On u = 1 or v = 1 the last column or row is the answer, whatever lies in
// memory beyond it (the sanitizer build catches a read past the map).
TEST_F(Terrain, FarEdgesUseTheLastColumnAndRow)
{
    const std::vector<uint8_t> map = patternMap();
    writeMap(map);
    for (int i = 0; i < 32; ++i) {
        EXPECT_NEAR(terrainHeight(1.0f, i / 31.0f), heightOf(map[i * 32 + 31]), kTolerance) << "row " << i;
        EXPECT_NEAR(terrainHeight(i / 31.0f, 1.0f), heightOf(map[31 * 32 + i]), kTolerance) << "column " << i;
    }
    EXPECT_FLOAT_EQ(terrainHeight(1.0f, 1.0f), heightOf(map[1023]));
    EXPECT_FLOAT_EQ(terrainHeight(1.0f, 0.0f), heightOf(map[31]));
    EXPECT_FLOAT_EQ(terrainHeight(0.0f, 1.0f), heightOf(map[31 * 32]));
    EXPECT_FLOAT_EQ(terrainHeight(0.0f, 0.0f), heightOf(map[0]));

    // Halfway along the last row and the last column.
    const float lastRow = (map[31 * 32 + 10] + map[31 * 32 + 11]) / 2.0f;
    EXPECT_NEAR(terrainHeight(10.5f / 31.0f, 1.0f), heightOf(lastRow), kTolerance);
    const float lastColumn = (map[10 * 32 + 31] + map[11 * 32 + 31]) / 2.0f;
    EXPECT_NEAR(terrainHeight(1.0f, 10.5f / 31.0f), heightOf(lastColumn), kTolerance);
}

TEST_F(Terrain, OutsideTheMapIsTheFloorWithoutReadingIt)
{
    writeMap(std::vector<uint8_t>(HEIGHT_MAP_BYTES, 255));
    const float outside[][2] = {
        {-64.01f, 0.0f}, {60.01f, 0.0f}, {0.0f, -64.01f}, {0.0f, 60.01f}, {-1000.0f, 1000.0f}, {1e30f, 0.0f},
    };
    for (const auto& point : outside)
        EXPECT_EQ(terrainHeightAt(point[0], point[1]), -30.0f) << point[0] << ", " << point[1];
    EXPECT_EQ(terrainHeight(-0.0001f, 0.5f), -30.0f);
    EXPECT_EQ(terrainHeight(0.5f, 1.0001f), -30.0f);
    EXPECT_EQ(terrainHeight(NAN, 0.5f), -30.0f);
    EXPECT_EQ(terrainHeight(0.5f, NAN), -30.0f);
    EXPECT_EQ(terrainHeightAt(INFINITY, 0.0f), -30.0f);
    EXPECT_FALSE(heightMapLoaded);

    // The map's own corners are inside.
    EXPECT_NEAR(terrainHeightAt(-64.0f, -64.0f), heightOf(255), kTolerance);
    EXPECT_NEAR(terrainHeightAt(60.0f, 60.0f), heightOf(255), kTolerance);
}

TEST_F(Terrain, LandLevelShiftsTheGroundDownToTheFloor)
{
    std::vector<uint8_t> map(HEIGHT_MAP_BYTES, 0);
    map[16 * 32 + 16] = 255;
    writeMap(map);
    const float x = 0.0f, z = 0.0f;      // row 16, column 16
    const float low = -8.0f;             // a zero sample nearby

    landLevel = 10.0f;
    EXPECT_NEAR(terrainHeightAt(x, z), 9.25f + 10.0f, kTolerance);
    EXPECT_NEAR(terrainHeightAt(low, z), -19.0f, kTolerance);

    landLevel = -0.5f;
    EXPECT_NEAR(terrainHeightAt(low, z), -29.5f, kTolerance);
    landLevel = -2.0f;
    EXPECT_EQ(terrainHeightAt(low, z), -30.0f);
    EXPECT_NEAR(terrainHeightAt(x, z), 7.25f, kTolerance);

    // Fully lowered, even the highest byte lies below the floor: 38.25 - 79.
    landLevel = -50.0f;
    for (int r = 0; r < 32; ++r)
        for (int c = 0; c < 32; ++c)
            EXPECT_EQ(terrainHeight(c / 31.0f, r / 31.0f), -30.0f);
    landLevel = 20.0f;
    EXPECT_NEAR(terrainHeightAt(x, z), 29.25f, kTolerance);
}

TEST_F(Terrain, MissingFileGivesAFlatMap)
{
    EXPECT_NEAR(terrainHeight(0.5f, 0.5f), -29.0f, kTolerance);
    EXPECT_TRUE(heightMapLoaded);
    for (uint8_t byte : heightMap)
        ASSERT_EQ(byte, 0);
    EXPECT_NEAR(terrainHeight(1.0f, 1.0f), -29.0f, kTolerance);
}

TEST_F(Terrain, ShortFileKeepsItsBytesAndZerosTheRest)
{
    // Fill the map with garbage first, as a previous load might have left it.
    writeMap(std::vector<uint8_t>(HEIGHT_MAP_BYTES, 77));
    terrainHeight(0.0f, 0.0f);
    terrainForgetMap();

    std::vector<uint8_t> bytes(100);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i + 1);
    writeMap(bytes);
    EXPECT_NEAR(terrainHeight(1.0f, 0.0f), heightOf(32), kTolerance);  // row 0, column 31
    for (int i = 0; i < HEIGHT_MAP_BYTES; ++i)
        ASSERT_EQ(heightMap[i], i < 100 ? i + 1 : 0) << "byte " << i;
    EXPECT_NEAR(terrainHeight(1.0f, 1.0f), -29.0f, kTolerance);
}

TEST_F(Terrain, LongerFileUsesOnlyItsFirst1024Bytes)
{
    std::vector<uint8_t> bytes(HEIGHT_MAP_BYTES + 64, 9);
    bytes[1023] = 100;
    writeMap(bytes);
    EXPECT_NEAR(terrainHeight(1.0f, 1.0f), heightOf(100), kTolerance);
    EXPECT_NEAR(terrainHeight(0.0f, 0.0f), heightOf(9), kTolerance);
}

TEST_F(Terrain, TheMapIsReadOnceAndKept)
{
    writeMap(std::vector<uint8_t>(HEIGHT_MAP_BYTES, 40));
    EXPECT_FALSE(heightMapLoaded);
    EXPECT_NEAR(terrainHeightAt(0.0f, 0.0f), heightOf(40), kTolerance);

    writeMap(std::vector<uint8_t>(HEIGHT_MAP_BYTES, 200));
    EXPECT_NEAR(terrainHeightAt(0.0f, 0.0f), heightOf(40), kTolerance);
    fs::remove("Height.raw");
    EXPECT_NEAR(terrainHeightAt(10.0f, -10.0f), heightOf(40), kTolerance);

    // Forgetting the map makes the next query read the file again.
    writeMap(std::vector<uint8_t>(HEIGHT_MAP_BYTES, 200));
    terrainForgetMap();
    EXPECT_NEAR(terrainHeightAt(0.0f, 0.0f), heightOf(200), kTolerance);
}

}  // namespace
