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

extern Mesh tornadoMesh;              // one quad per particle, rebuilt every frame
extern float tornadoTop;              // height of the upper end; never changed
extern float tornadoBottom;           // height of the lower end
extern float tornadoSpeed;            // vertical speed of the lower end (negative: descending)
extern float tornadoVisibility;       // 0.2 - 1 / (tornadoTop - tornadoBottom)
extern PlanePoint tornadoCentre;      // the funnel's axis in the world
extern PlanePoint tornadoViewCentre;  // the axis turned by -sceneYaw: in the mesh's frame

// Each particle's fraction of the way from the lower to the upper end, 0..1.
extern float tornadoParticleHeight[TORNADO_PARTICLES];
// Each particle's angle around the axis, radians.
extern float tornadoParticleAngle[TORNADO_PARTICLES];

// Loads "FLARE.BMP" (mip-mapped) into tornadoMesh, builds its 512 faces and
// draws each particle's random start angle and height.
void tornadoInit();

// Rebuilds the particle quads, moves the lower end and sets the wind's
// volume. Runs every frame; allocates nothing after the first frame.
void tornadoUpdate(float dt);
