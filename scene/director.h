// The scene director: the character's behaviour, one decision per frame.
//
// After the intro it moves the character over the terrain or through the
// sea, turns him toward his goal, chooses his pose program and plays the
// sounds of his landings. It only reacts to the shared scene state: the sea
// and land levels decide where he walks and where he swims, the fire sends
// him running into deep water, and the tornado picks him up, whirls him
// around and drops him when it rises again.
#pragma once
#include <cstdint>

#include "model/vec3.h"
#include "scene/plane_point.h"

// What the character is doing. For the ground states (Stand to Crouch) the
// pose program has the same number; Caught uses Tumble and Fall Crouch.
enum class DirectorState : int32_t {
    Stand = 0,   // on the ground, waiting for the action timer
    Walk = 1,    // walking to the walk target
    Run = 2,     // on fire, running to deep water
    Swim = 3,    // swimming at the surface toward the walk target
    Crouch = 4,  // an idle choice, or crouched in deep water while the fire dies
    Caught = 6,  // carried up and around by the tornado
    Fall = 7,    // dropped by the tornado, falling
};

struct Director {
    DirectorState state = DirectorState::Stand;  // the lightning also sets it
    float heading = 360.0f;                      // direction of travel, degrees from +x toward +z, 0..360
    PlanePoint walkTarget = {0.0f, 0.0f};        // where he walks, runs or swims to
    float actionTimer = 0.0f;                    // seconds; a new decision when it drops below 0
    float fallSpeed = 0.0f;                      // downward speed while falling, units per second
    float spiralAngle = 0.0f;                    // the caught character's angle around the tornado, radians
    Vec3 tumbleAngles = {0.0f, 0.0f, 0.0f};      // the caught character's spin, degrees (z stays 0)
};
extern Director director;

// The tornado as the director sees it: its lower and upper ends and its
// axis in the tornado mesh's frame (turned by -scene.yaw), as the
// tornado's update left them in the previous frame.
struct TornadoView {
    float bottom;
    float top;
    PlanePoint viewCentre;
};

// The fire and the tornado as the director meets them: what it reads of
// them and the two things it does to them. The director knows them only
// through this, which the frame's step fills in; both operations must be
// given.
struct DirectorSurroundings {
    bool burning;  // the fire shows puffs, as of the last frame
    TornadoView tornado;
    void (*putOutFire)();   // the fire's column detaches and the burn sound stops
    void (*stopTornado)();  // the tornado's lower end stops where it is
};

// One frame of behaviour; dt is the frame time in seconds. Called once per
// frame after the intro, right before the main loop's pose program update.
void updateDirector(float dt, const DirectorSurroundings& surroundings);

// One walking step (4 units per second, turning 3 degrees) toward (tx, tz).
// False when he was already within 20 * dt on both axes; nothing moves then.
bool walkToward(float tx, float tz, float dt);

// Up to three walking steps in one frame (12 units per second, turning up
// to 9 degrees), stopping at the first false. True when all three moved.
bool runToward(float tx, float tz, float dt);

// One swimming step (3 units per second, turning 1 degree) toward (tx, tz),
// with his feet 5 units below the sea. False when he was already within 2
// units on both axes; nothing moves then.
bool swimToward(float tx, float tz, float dt);
