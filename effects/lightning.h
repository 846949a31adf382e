// The lightning: a jagged, branching bolt from a random point in the sky,
// with a flash of light that fades out in a third of a second.
//
// A strike builds the bolt once into meshes.lightning (its vertices are world
// coordinates) and the renderer draws it, fading with the flash, until the
// next strike replaces it. Unless the character swims, is caught or falls,
// the bolt hits him and sets him on fire; otherwise it hits the ground at
// the scene's origin.
#pragma once
#include <cstdint>

#include "model/mesh.h"
#include "model/vec3.h"

struct Lightning {
    float flashIntensity = 0.0f;  // 0..1; the flash counts as on above 0.01
    // Seconds of frame time since the frame of the last strike, not counting
    // that frame's own time (spent before the strike); 1 when a second or
    // more has passed, or none came.
    float sinceStrike = 1.0f;
    bool struckThisFrame = false;
    // The reduced flash, for players sensitive to flashing light: strikes
    // come at most three times a second (a third of a second of frame time
    // must pass between the frames of two strikes), and the picture
    // brightens a third as much. An option of the session, set before the
    // first frame.
    bool reducedFlash = false;
};
extern Lightning lightning;

// Loads "LIGHT.BMP" into meshes.lightning.
void lightningInit();

// The flash fades by 3 per second, down to 0.
void lightningDecay(float dt);

// A strike: a new bolt, the flash and the thunder. Ignored entirely while
// the previous flash is above 0.01, and with the reduced flash also until a
// third of a second has passed since the last strike.
void lightningStrike();

// Appends a bolt of 15 segments from start to end, and recursively its
// branches (before its own quads), to meshes.lightning. The spread sets the
// sideways jitter, the chance of branching and the bolt's half-width.
void lightningBolt(Vec3 start, Vec3 end, float spread);
