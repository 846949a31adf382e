// The scene's shared state that no single step of the scene owns: the seven
// meshes, where the character's feet are and how large he is drawn, the
// land and sea levels, the slow turn of the whole scene and the frame's
// times.
//
// Read and written only on the main thread. The director moves and turns
// the character, the main loop shrinks him during the intro and keeps the
// times, the element controls move the levels and the scene's step turns
// it; the effects, the pose programs and the renderer read them.
#pragma once
#include "model/articulated_mesh.h"
#include "model/mesh.h"
#include "model/vec3.h"

// Every mesh the scene draws, filled at start-up. The members are
// constructed in this order before the program starts and destroyed in
// reverse at exit. Where each is drawn is the drawing's own business; the
// frame's step poses the character.
struct SceneMeshes {
    Mesh room;                  // ROOM.KMO
    Mesh firePuff;              // one puff quad with the smoke texture
    Mesh land;                  // LAND.KMO
    Mesh lightning;             // the latest bolt, in world coordinates
    ArticulatedMesh character;  // MAN.KMO
    Mesh tornado;               // one quad per particle, rebuilt every frame
    Mesh water;                 // the sea's sheet, in its own frame; the renderer places it
};

// The intro lasts while the character is drawn larger than this; the
// element keys act only once he has shrunk to it.
constexpr float introEndScale = 10.0f;

struct SceneState {
    Vec3 characterPosition = {0.0f, 0.0f, 0.0f};  // his feet; start-up puts them on the ground
    Vec3 characterRotation = {0.0f, 0.0f, 0.0f};  // his turn, degrees about x, y and z; the director's
    float characterScale = 50.0f;                 // his drawn scale; shrinks to introEndScale
    float landLevel = 0.0f;                       // vertical offset of the land, world units
    float seaLevel = -15.0f;                      // height of the top water layer
    float yaw = 0.0f;                             // the scene's turn about the vertical axis, degrees
    float frameTime = 0.0f;                       // seconds since the previous frame (0 in the first)
    float totalTime = 0.0f;                       // the sum of the frame times of all earlier frames
};

extern SceneMeshes meshes;
extern SceneState scene;
