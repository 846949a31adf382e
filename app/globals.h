// The shared state that only the application shell uses, and the one reset
// that puts every shared global of the scene back to its start-up value.
//
// Each subsystem declares the globals it owns in its own headers (the
// character and the levels in scene/scene_state.h, each effect's mesh and
// state with that effect); their definitions sit together in globals.cpp so
// that the seven meshes are constructed in a fixed order before the entry
// point runs and destroyed in reverse at exit.
#pragma once
#include <cstdint>

#include "model/mesh.h"

extern Mesh roomMesh;
extern Mesh landMesh;

extern float quakeVolume;  // percent, pushed to the quake sound every interactive frame
extern float seaVolume;    // percent, pushed to the sea sound every interactive frame
extern float frameTime;    // seconds since the previous frame (0 in the first)
extern float totalTime;    // sum of the frame times of all earlier frames

extern int32_t fpsFrameCount;
extern float fpsTimeAccumulator;
extern char fpsText[16];

// Puts every shared global back to the value it has when the program starts:
// the character, the levels, the scene's turn, the director, the poses, the
// fire, the flash, the tornado, the frame times, the frame-rate counter and
// the random generator. What start-up loads or builds once stays as it is:
// the meshes and their textures, the sounds, the height map, the fire's
// colours and the tornado's particles.
void resetSceneState();
