// The ground height anywhere in the world, from the 32 x 32 height map.
//
// The land model is only drawn; where the ground is comes from "Height.raw",
// sampled bilinearly and shifted by the current land level. The map covers
// world x and z from -64 to 60 (31 cells of 4 units); outside it, and
// wherever the lowered land would sink below it, the ground is the floor of
// the world at -30.
#pragma once
#include <cstddef>
#include <cstdint>

enum { HEIGHT_MAP_SIDE = 32, HEIGHT_MAP_BYTES = HEIGHT_MAP_SIDE * HEIGHT_MAP_SIDE };

// The map is read from "Height.raw" by the first query that needs it and
// kept; a missing or short file leaves zeros for the bytes it lacks.

// Takes the map from bytes held in memory: the first 1024, zeros for those
// missing. Queries use it from then on.
void terrainUseMap(const uint8_t* bytes, size_t size);

// Ground height at normalised map coordinates u, v in [0, 1], scene.landLevel
// included; -30 outside the map (including NaN coordinates).
float terrainHeight(float u, float v);

// Ground height at world x, z.
float terrainHeightAt(float x, float z);

// Forgets the loaded map, so that the next query reads "Height.raw" again.
// The program never calls this; tests use it to load different maps.
void terrainForgetMap();
