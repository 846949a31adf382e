// The fire on the character: a column of glowing puffs streaming up from a
// point above him, white at the bottom through yellow and red to black.
//
// A trail of 32 slots holds the puff positions, slot 0 the newest; every
// frame each puff moves one slot up and a new one is emitted above the
// character. Only a window of slots, fire.first up to fire.end, is drawn: it
// grows one slot per drawn frame once lit, and when the fire is put out the
// newest end detaches and the column burns out from below. One quad mesh is
// drawn once per visible slot.
#pragma once
#include <cstdint>

#include "model/mesh.h"
#include "model/vec3.h"

enum { FIRE_SLOTS = 32 };

struct Fire {
    Vec3 puffs[FIRE_SLOTS] = {};  // slot i: the puff emitted i frames ago
    int32_t first = 0;            // first visible slot
    int32_t end = 0;              // one past the last visible slot
    int32_t burning = 0;          // 1 while the window was not empty as of the last frame, else 0
};
extern Fire fire;

// Loads "SMOKE.BMP" into meshes.firePuff, adds its quad and builds the
// slots' colours.
void fireInit();

// Moves the trail one slot up (puffs rise 5 units per second) and emits a
// new puff at the emission point above the character. Runs every frame.
void fireUpdate(float dt);

// Draws the puffs of slots first up to end, each in its slot's colour,
// turned back by the scene's turn `yaw` (degrees) to face the camera. The
// caller sets the blending (additive, no depth writes, no culling) and
// passes the window as it was before this frame's advance. Changes nothing.
void fireDraw(int32_t first, int32_t end, float yaw);

// Advances the window one slot after a drawn frame, growing from the
// emission point or burning out from below, and refreshes fire.burning.
void fireAdvanceWindow();

// Lights the fire and starts the burn sound looping, unless puffs are
// still showing: fire.burning, as the last frame left it, is set while the
// column grows, while it burns whole and while it burns out.
void fireIgnite();

// Detaches the column from the emission point and stops the burn sound.
void fireExtinguish();
