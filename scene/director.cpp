// The scene director's state machine; see director.h.
//
// A frame starts by keeping the feet on the ground, then runs one of three
// passes: Caught (the tornado holds him), Fall (it let him go), or the
// ground pass, whose checks run in a fixed order, each seeing the state the
// earlier ones left.
#include "scene/director.h"

#include <cmath>

#include "effects/fire.h"
#include "effects/tornado.h"
#include "scene/long_angle.h"
#include "scene/pose_program.h"
#include "scene/random.h"
#include "scene/scene_state.h"
#include "scene/terrain.h"
#include "sound/sound.h"

DirectorState directorState = DirectorState::Stand;
float heading = 360.0f;
PlanePoint walkTarget = {0.0f, 0.0f};
float actionTimer = 0.0f;
float fallSpeed = 0.0f;
float spiralAngle = 0.0f;
Vec3 tumbleAngles = {0.0f, 0.0f, 0.0f};

namespace {

const float degreesPerRadian = 57.29578f;
const float radiansPerDegree = 0.017453292f;

// Turns the heading one step toward (tx, tz), the shorter way, and returns
// the direction of travel in (dirX, dirZ).
void turnToward(float tx, float tz, float step, float& dirX, float& dirZ)
{
    float desired = std::atan2(tz - characterPosition.z, tx - characterPosition.x) * degreesPerRadian;
    if (desired < 0.0f)
        desired += 360.0f;

    float d = heading - desired;
    if (d < -180.0f)
        heading -= step;
    else if (d > 180.0f)
        heading += step;
    else if (d < 0.0f)
        heading += step;
    else if (d > 0.0f)
        heading -= step;
    if (std::fabs(d) < 1.0f)
        heading = desired;

    if (heading < 0.0f)
        heading += 360.0f;
    else if (heading > 360.0f)
        heading -= 360.0f;

    dirX = std::cos(heading * radiansPerDegree);
    dirZ = std::sin(heading * radiansPerDegree);
}

void faceHeading()
{
    characterMesh.SetRotation(0.0f, 90.0f - heading, 0.0f);
}

// A whole number from -half to half - 1, from one random draw.
float randomCoordinate(int range)
{
    return static_cast<float>(randomNext() % range - range / 2);
}

bool groundState(DirectorState state)
{
    return state != DirectorState::Caught && state != DirectorState::Fall;
}

// Dropped by the tornado: falls until his feet reach the ground or the sea.
// h is the ground height taken at the start of the frame.
void fallPass(float dt, float h)
{
    fallSpeed += 75.0f * dt;
    characterPosition.y -= fallSpeed * dt;
    characterMesh.SetRotation(0.0f, 0.0f, 0.0f);

    if (characterPosition.y < h) {
        characterPosition.y = h;
        walkTarget.x = characterPosition.x;
        walkTarget.z = characterPosition.z;
        directorState = DirectorState::Stand;
        actionTimer = 2.0f;
        updatePoseProgram(dt);
        playSound(thudSound, false);
    } else if (characterPosition.y < seaLevel) {
        characterPosition.y = seaLevel - 5.0f;
        walkTarget.x = 0.0f;
        walkTarget.z = 0.0f;
        directorState = DirectorState::Swim;
        actionTimer = 0.0f;
        updatePoseProgram(dt);
        playSound(splashSound, false);
    } else {
        actionTimer = 1.0f;
        setPoseMode(PoseMode::Crouch);
        updatePoseProgram(dt);
    }
}

// Held by the tornado: circles its axis, drawn up toward height 75.
void caughtPass(float dt, float h)
{
    if (tornadoBottom > 90.0f || characterPosition.y + 20.0f < tornadoBottom) {
        directorState = DirectorState::Fall;
        fallSpeed = 50.0f;
        fallPass(dt, h);
        return;
    }

    // The tornado's lower end stays at or below 95, so the funnel is at
    // least 5 units tall.
    float c = (characterPosition.y - tornadoBottom) / (tornadoTop - tornadoBottom);
    if (c < 0.0f)
        c = 0.0f;
    float r = 40.0f * c * c + 0.05f;
    spiralAngle = wrapLongAngle(spiralAngle + 1.5f * (1.0f - c) * (1.0f - c));

    // The tornado's centre as the tornado mesh sees it, turned back into
    // the world by the scene's yaw.
    float px = tornadoViewCentre.x + r * std::cos(spiralAngle);
    float pz = tornadoViewCentre.z + r * std::sin(spiralAngle);
    float d = std::sqrt(px * px + pz * pz);
    float a = std::atan2(pz, px) + sceneYaw * radiansPerDegree;
    characterPosition.x = d * std::cos(a);
    characterPosition.z = d * std::sin(a);

    if (characterPosition.y < 75.0f)
        characterPosition.y += (75.0f - characterPosition.y) * dt * 0.3f;

    tumbleAngles.x += 230.0f * dt;
    tumbleAngles.y += 700.0f * dt;
    if (tumbleAngles.x > 360.0f)
        tumbleAngles.x -= 360.0f;
    if (tumbleAngles.y > 360.0f)
        tumbleAngles.y -= 360.0f;
    if (tumbleAngles.z > 360.0f)
        tumbleAngles.z -= 360.0f;
    characterMesh.SetRotation(tumbleAngles.x, tumbleAngles.y, tumbleAngles.z);

    setPoseMode(PoseMode::Tumble);
    updatePoseProgram(dt);
}

// The decision when the action timer runs out: a random dry spot to walk
// to (at most 16 tries), the origin for a swimmer, and a new timer.
void decide()
{
    if (directorState == DirectorState::Stand || directorState == DirectorState::Crouch) {
        directorState = randomNext() % 2 == 0 ? DirectorState::Stand : DirectorState::Crouch;
        for (int attempt = 0; attempt < 16; attempt++) {
            float gx = randomCoordinate(100);
            float gz = randomCoordinate(100);
            if (terrainHeightAt(gx, gz) > seaLevel) {
                walkTarget.x = gx;
                walkTarget.z = gz;
                directorState = DirectorState::Walk;
                break;
            }
        }
    } else if (directorState == DirectorState::Swim) {
        walkTarget.x = 0.0f;
        walkTarget.z = 0.0f;
    }
    actionTimer = 5.0f + static_cast<float>(randomNext() % 5);
}

// A new goal for a runner unless his goal is already deep water: at most
// 100 new picks, the last one used untested.
void findDeepGoal()
{
    for (int attempt = 0; attempt < 100; attempt++) {
        if (terrainHeightAt(walkTarget.x, walkTarget.z) <= seaLevel - 5.0f)
            break;
        walkTarget.x = randomCoordinate(80);
        walkTarget.z = randomCoordinate(80);
    }
}

// Stand, Walk, Run, Swim and Crouch. h is the ground height taken at the
// start of the frame.
void groundPass(float dt, float h)
{
    if (h < seaLevel - 5.0f) {
        if (burning) {
            if (directorState == DirectorState::Crouch)
                return;
            directorState = DirectorState::Crouch;
            setPoseMode(PoseMode::Crouch);
            actionTimer = 5.0f;
            fireExtinguish();
            playSound(hissSound, false);
            return;
        }
        if (directorState == DirectorState::Stand || directorState == DirectorState::Walk ||
            directorState == DirectorState::Crouch) {
            directorState = DirectorState::Swim;
            walkTarget.x = 0.0f;
            walkTarget.z = 0.0f;
            actionTimer = 0.0f;
        }
    }

    if (h < seaLevel && directorState == DirectorState::Crouch)
        directorState = DirectorState::Stand;

    if (h > seaLevel - 4.0f && directorState == DirectorState::Swim) {
        directorState = DirectorState::Walk;
        actionTimer = 0.0f;
    }

    if (directorState == DirectorState::Walk && terrainHeightAt(walkTarget.x, walkTarget.z) < seaLevel) {
        directorState = DirectorState::Stand;
        actionTimer = -0.1f;
    }

    actionTimer -= dt;
    if (actionTimer < 0.0f)
        decide();

    if (directorState == DirectorState::Walk) {
        if (!walkToward(walkTarget.x, walkTarget.z, dt)) {
            actionTimer = 0.0f;
            directorState = DirectorState::Stand;
        }
    } else if (directorState == DirectorState::Run) {
        findDeepGoal();
        runToward(walkTarget.x, walkTarget.z, dt);
        actionTimer = 100.0f;
    } else if (directorState == DirectorState::Swim) {
        if (!swimToward(walkTarget.x, walkTarget.z, dt)) {
            if (terrainHeightAt(characterPosition.x, characterPosition.z) > seaLevel) {
                actionTimer = 0.0f;
                directorState = DirectorState::Walk;
            } else {
                walkTarget.x = randomCoordinate(80);
                walkTarget.z = randomCoordinate(80);
            }
        }
    }

    if (std::fabs(tornadoBottom - h) < 10.0f) {
        directorState = DirectorState::Caught;
        tornadoSpeed = 0.0f;
        if (burning)
            fireExtinguish();
    }

    setPoseMode(directorState == DirectorState::Caught ? PoseMode::Tumble
                                                       : static_cast<PoseMode>(static_cast<int32_t>(directorState)));
}

}  // namespace

bool walkToward(float tx, float tz, float dt)
{
    if (std::fabs(characterPosition.x - tx) < 20.0f * dt && std::fabs(characterPosition.z - tz) < 20.0f * dt)
        return false;

    float c = 0.0f;
    float s = 0.0f;
    turnToward(tx, tz, 3.0f, c, s);

    float behind = terrainHeightAt(characterPosition.x - c, characterPosition.z - s);
    float ahead = terrainHeightAt(characterPosition.x + c, characterPosition.z + s);
    characterPosition.x += c * dt * 4.0f;
    characterPosition.z += s * dt * 4.0f;
    float here = terrainHeightAt(characterPosition.x, characterPosition.z);
    characterPosition.y = std::fmax(here, std::fmax(behind, ahead));

    faceHeading();
    return true;
}

bool runToward(float tx, float tz, float dt)
{
    for (int step = 0; step < 3; step++) {
        if (!walkToward(tx, tz, dt))
            return false;
    }
    return true;
}

bool swimToward(float tx, float tz, float dt)
{
    if (std::fabs(characterPosition.x - tx) < 2.0f && std::fabs(characterPosition.z - tz) < 2.0f)
        return false;

    float c = 0.0f;
    float s = 0.0f;
    turnToward(tx, tz, 1.0f, c, s);
    characterPosition.x += c * dt * 3.0f;
    characterPosition.z += s * dt * 3.0f;
    faceHeading();
    characterPosition.y = seaLevel - 5.0f;
    return true;
}

void updateDirector(float dt)
{
    float h = terrainHeightAt(characterPosition.x, characterPosition.z);
    if (h > characterPosition.y)
        characterPosition.y = h;
    else if (h < characterPosition.y && groundState(directorState))
        characterPosition.y = h;

    if (directorState == DirectorState::Caught)
        caughtPass(dt, h);
    else if (directorState == DirectorState::Fall)
        fallPass(dt, h);
    else
        groundPass(dt, h);
}
