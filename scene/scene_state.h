// The scene's shared state that no single step of the scene owns: the
// character's mesh, where his feet are and how large he is drawn, the land
// and sea levels, and the slow turn of the whole scene.
//
// Plain globals, read and written only on the main thread. The director
// moves the character, the main loop shrinks him during the intro, the
// element controls move the levels and the renderer turns the scene; the
// effects and the pose programs read them. The definitions live with the
// other shared globals in app/globals.cpp, which keeps the meshes'
// construction order.
#pragma once
#include "model/articulated_mesh.h"
#include "model/vec3.h"

extern ArticulatedMesh characterMesh;

extern Vec3 characterPosition;  // the character's feet; moved by the director
extern float characterScale;    // the character's drawn scale; the intro lasts while above 10
extern float landLevel;         // vertical offset of the land, world units
extern float seaLevel;          // height of the top water layer
extern float sceneYaw;          // the scene's turn about the vertical axis, degrees
