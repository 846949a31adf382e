// The island's height field, shared by the height map, the land model and
// the painted land texture, so that all three agree exactly.
//
// 32 x 32 byte samples; sample (row r, column c) stands at x = -64 + 4c,
// z = -64 + 4r and its ground height is byte * 0.15 - 29.
#pragma once
#include <cstdint>

enum { TERRAIN_SIZE = 32 };

struct HeightField {
    uint8_t bytes[TERRAIN_SIZE][TERRAIN_SIZE];  // [row][column]
};

// World position of a sample column or row, and the height of a byte.
inline float terrainSampleX(int c)
{
    return -64.0f + 4.0f * static_cast<float>(c);
}
inline float terrainSampleHeight(uint8_t b)
{
    return static_cast<float>(b) * 0.15f - 29.0f;
}

// The island, shaped for the character's life on it (see terrain.cpp).
HeightField designHeightField();

// The ground height at world x, z, bilinear between the samples as the
// program samples them; -30 outside the map.
float heightFieldAt(const HeightField& field, float x, float z);

// The sea's starting level and the ground level of the flat pad the room
// stands on.
constexpr float startSeaLevel = -15.0f;
constexpr uint8_t roomGroundByte = 127;  // -9.95
constexpr float roomPadHalfSize = 16.0f;

// Paints the land texture over the whole map; land_texture.cpp.
struct Image;
Image paintLandTexture(const HeightField& field, int size);
