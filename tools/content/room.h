// The room's dimensions, shared by its model and its textures.
#pragma once
#include <string>

#include "tools/content/content.h"
#include "tools/content/terrain.h"

constexpr float roomHalfSize = 11.0f;      // the floor spans -11..11 in x and z
constexpr float roomWallHeight = 4.5f;     // about the character's waist
constexpr float roomDoorHalfWidth = 2.0f;  // the doorway in the +z wall
// The floor lies just above the flat ground it stands on, clear of the
// land's depth values.
inline float roomFloorY()
{
    return terrainSampleHeight(roomGroundByte) + 0.2f;
}

Model buildRoomModel();
// FLOOR.BMP, WALL.BMP, WOOD.BMP and CLOTH.BMP; room_texture.cpp.
bool writeRoomTextures(const std::string& folder);
