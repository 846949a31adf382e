// The scene state that the main loop owns and every subsystem shares.
//
// Plain globals, read and written only on the main thread. The seven meshes
// are constructed empty before the program starts and filled at start-up.
#pragma once
#include <cstdint>

#include "model/articulated_mesh.h"
#include "model/mesh.h"

extern Mesh roomMesh;
extern Mesh firePuffMesh;
extern Mesh landMesh;
extern Mesh lightningMesh;
extern ArticulatedMesh characterMesh;
extern Mesh tornadoMesh;
extern Mesh waterMesh;

extern Vec3 characterPosition;  // the character's feet; moved by the director
extern float characterScale;  // the character's drawn scale; the intro lasts while above 10
extern float landLevel;       // vertical offset of the land, world units
extern float seaLevel;        // height of the top water layer
extern float quakeVolume;     // percent, pushed to the quake sound every interactive frame
extern float seaVolume;       // percent, pushed to the sea sound every interactive frame
extern float sceneYaw;        // the scene's turn about the vertical axis, degrees
extern float frameTime;       // seconds since the previous frame (0 in the first)
extern float totalTime;       // sum of the frame times of all earlier frames

extern int32_t fpsFrameCount;
extern float fpsTimeAccumulator;
extern char fpsText[16];
