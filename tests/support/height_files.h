// Test helpers for the terrain: a "Height.raw" of the test's own, in the
// scratch folder made the working directory, read at the next height query.
#pragma once
#include <cstdint>
#include <vector>

// Writes the bytes as "Height.raw" and makes the terrain forget its map.
void useHeightMap(const std::vector<uint8_t>& bytes);
// A map of `low` with the samples within `radius` of world (x, z) at `high`.
std::vector<uint8_t> heightMapWithHill(uint8_t low, uint8_t high, float x, float z, float radius);
