// The tornado: a funnel of 256 glowing particles hanging from the sky,
// narrow at its lower end and wide at the top.
//
// At rest the lower end sits just below the top and the funnel is
// invisible. Descending, it follows the character down until its lower end
// is 5 units above the ground under him; rising, it climbs back to 95. The
// funnel's extent drives the wind's volume and the visibility that the
// renderer uses for the particles' opacity and the camera's pull-back.
#pragma once
#include "model/mesh.h"
#include "scene/plane_point.h"

enum { TORNADO_PARTICLES = 256 };

struct Tornado {
    float top = 100.0f;                    // height of the upper end; never changed
    float bottom = 95.0f;                  // height of the lower end; 95 is its rest
    float speed = 0.0f;                    // vertical speed of the lower end (negative: descending)
    float visibility = 0.0f;               // 0.2 - 1 / (top - bottom)
    PlanePoint centre = {0.0f, 0.0f};      // the funnel's axis in the world
    PlanePoint viewCentre = {0.0f, 0.0f};  // the axis turned by -scene.yaw: in the mesh's frame
};
extern Tornado tornado;

// The particles, drawn at random when the tornado is made and moving on
// from there for the whole run.
struct TornadoParticles {
    float height[TORNADO_PARTICLES];  // fraction of the way from the lower to the upper end, 0..1
    float angle[TORNADO_PARTICLES];   // around the axis, radians
};
extern TornadoParticles tornadoParticles;

// Loads "FLARE.BMP" (mip-mapped) into meshes.tornado, builds its 512 faces and
// draws each particle's random start angle and height.
void tornadoInit();

// Rebuilds the particle quads, moves the lower end and sets the wind's
// volume. Runs every frame; allocates nothing after the first frame.
void tornadoUpdate(float dt);

// Stops the lower end where it is: the director caught the character in
// the funnel.
void tornadoStop();
