// The scene director's state machine; see director.h.
//
// A frame starts by keeping the feet on the ground, then runs one of three
// passes: Caught (the tornado holds him), Fall (it let him go), or the
// ground pass, whose checks run in a fixed order, each seeing the state the
// earlier ones left.
#include "scene/director.h"

#include <cmath>

#include "scene/angles.h"
#include "scene/pose_program.h"
#include "scene/random.h"
#include "scene/scene_state.h"
#include "scene/terrain.h"
#include "scene/trig.h"
#include "sound/sound.h"

Director director;

namespace {

const float degreesPerRadian = 57.29578f;
const float toRadians = static_cast<float>(radiansPerDegree);

// Turns the heading one step toward (tx, tz), the shorter way, and returns
// the direction of travel in (dirX, dirZ).
void turnToward(float tx, float tz, float step, float& dirX, float& dirZ)
{
    float desired = trigAtan2(tz - scene.characterPosition.z, tx - scene.characterPosition.x) * degreesPerRadian;
    if (desired < 0.0f)
        desired += 360.0f;

    float d = director.heading - desired;
    if (d < -180.0f)
        director.heading -= step;
    else if (d > 180.0f)
        director.heading += step;
    else if (d < 0.0f)
        director.heading += step;
    else if (d > 0.0f)
        director.heading -= step;
    if (std::fabs(d) < 1.0f)
        director.heading = desired;

    if (director.heading < 0.0f)
        director.heading += 360.0f;
    else if (director.heading > 360.0f)
        director.heading -= 360.0f;

    dirX = trigCos(director.heading * toRadians);
    dirZ = trigSin(director.heading * toRadians);
}

void faceHeading()
{
    scene.characterRotation = Vec3{0.0f, 90.0f - director.heading, 0.0f};
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
    director.fallSpeed += 75.0f * dt;
    scene.characterPosition.y -= director.fallSpeed * dt;
    scene.characterRotation = Vec3{0.0f, 0.0f, 0.0f};

    if (scene.characterPosition.y < h) {
        scene.characterPosition.y = h;
        director.walkTarget.x = scene.characterPosition.x;
        director.walkTarget.z = scene.characterPosition.z;
        director.state = DirectorState::Stand;
        director.actionTimer = 2.0f;
        updatePoseProgram(dt);
        playSound(sounds.thud, false);
    } else if (scene.characterPosition.y < scene.seaLevel) {
        scene.characterPosition.y = scene.seaLevel - 5.0f;
        director.walkTarget.x = 0.0f;
        director.walkTarget.z = 0.0f;
        director.state = DirectorState::Swim;
        director.actionTimer = 0.0f;
        updatePoseProgram(dt);
        playSound(sounds.splash, false);
    } else {
        director.actionTimer = 1.0f;
        setPoseMode(PoseMode::Crouch);
        updatePoseProgram(dt);
    }
}

// Held by the tornado: circles its axis, drawn up toward height 75.
void caughtPass(float dt, float h, const TornadoView& tornado)
{
    if (tornado.bottom > 90.0f || scene.characterPosition.y + 20.0f < tornado.bottom) {
        director.state = DirectorState::Fall;
        director.fallSpeed = 50.0f;
        fallPass(dt, h);
        return;
    }

    // The tornado's lower end stays at or below 95, so the funnel is at
    // least 5 units tall.
    float c = (scene.characterPosition.y - tornado.bottom) / (tornado.top - tornado.bottom);
    if (c < 0.0f)
        c = 0.0f;
    float r = 40.0f * c * c + 0.05f;
    director.spiralAngle = wrapLongAngle(director.spiralAngle + 1.5f * (1.0f - c) * (1.0f - c));

    // The tornado's centre as the tornado mesh sees it, turned back into
    // the world by the scene's yaw.
    float px = tornado.viewCentre.x + r * trigCos(director.spiralAngle);
    float pz = tornado.viewCentre.z + r * trigSin(director.spiralAngle);
    float d = std::sqrt(px * px + pz * pz);
    float a = trigAtan2(pz, px) + scene.yaw * toRadians;
    scene.characterPosition.x = d * trigCos(a);
    scene.characterPosition.z = d * trigSin(a);

    if (scene.characterPosition.y < 75.0f)
        scene.characterPosition.y += (75.0f - scene.characterPosition.y) * dt * 0.3f;

    director.tumbleAngles.x += 230.0f * dt;
    director.tumbleAngles.y += 700.0f * dt;
    if (director.tumbleAngles.x > 360.0f)
        director.tumbleAngles.x -= 360.0f;
    if (director.tumbleAngles.y > 360.0f)
        director.tumbleAngles.y -= 360.0f;
    if (director.tumbleAngles.z > 360.0f)
        director.tumbleAngles.z -= 360.0f;
    scene.characterRotation = director.tumbleAngles;

    setPoseMode(PoseMode::Tumble);
    updatePoseProgram(dt);
}

// The decision when the action timer runs out: a random dry spot to walk
// to (at most 16 tries), the origin for a swimmer, and a new timer.
void decide()
{
    if (director.state == DirectorState::Stand || director.state == DirectorState::Crouch) {
        director.state = randomNext() % 2 == 0 ? DirectorState::Stand : DirectorState::Crouch;
        for (int attempt = 0; attempt < 16; attempt++) {
            float gx = randomCoordinate(100);
            float gz = randomCoordinate(100);
            if (terrainHeightAt(gx, gz) > scene.seaLevel) {
                director.walkTarget.x = gx;
                director.walkTarget.z = gz;
                director.state = DirectorState::Walk;
                break;
            }
        }
    } else if (director.state == DirectorState::Swim) {
        director.walkTarget.x = 0.0f;
        director.walkTarget.z = 0.0f;
    }
    director.actionTimer = 5.0f + static_cast<float>(randomNext() % 5);
}

// A new goal for a runner unless his goal is already deep water: at most
// 100 new picks, the last one used untested.
void findDeepGoal()
{
    for (int attempt = 0; attempt < 100; attempt++) {
        if (terrainHeightAt(director.walkTarget.x, director.walkTarget.z) <= scene.seaLevel - 5.0f)
            break;
        director.walkTarget.x = randomCoordinate(80);
        director.walkTarget.z = randomCoordinate(80);
    }
}

// Stand, Walk, Run, Swim and Crouch. h is the ground height taken at the
// start of the frame.
void groundPass(float dt, float h, const DirectorSurroundings& surroundings)
{
    if (h < scene.seaLevel - 5.0f) {
        if (surroundings.burning) {
            if (director.state == DirectorState::Crouch)
                return;
            director.state = DirectorState::Crouch;
            setPoseMode(PoseMode::Crouch);
            director.actionTimer = 5.0f;
            surroundings.putOutFire();
            playSound(sounds.hiss, false);
            return;
        }
        if (director.state == DirectorState::Stand || director.state == DirectorState::Walk ||
            director.state == DirectorState::Crouch) {
            director.state = DirectorState::Swim;
            director.walkTarget.x = 0.0f;
            director.walkTarget.z = 0.0f;
            director.actionTimer = 0.0f;
        }
    }

    if (h < scene.seaLevel && director.state == DirectorState::Crouch)
        director.state = DirectorState::Stand;

    if (h > scene.seaLevel - 4.0f && director.state == DirectorState::Swim) {
        director.state = DirectorState::Walk;
        director.actionTimer = 0.0f;
    }

    if (director.state == DirectorState::Walk &&
        terrainHeightAt(director.walkTarget.x, director.walkTarget.z) < scene.seaLevel) {
        director.state = DirectorState::Stand;
        director.actionTimer = -0.1f;
    }

    director.actionTimer -= dt;
    if (director.actionTimer < 0.0f)
        decide();

    if (director.state == DirectorState::Walk) {
        if (!walkToward(director.walkTarget.x, director.walkTarget.z, dt)) {
            director.actionTimer = 0.0f;
            director.state = DirectorState::Stand;
        }
    } else if (director.state == DirectorState::Run) {
        findDeepGoal();
        runToward(director.walkTarget.x, director.walkTarget.z, dt);
        director.actionTimer = 100.0f;
    } else if (director.state == DirectorState::Swim) {
        if (!swimToward(director.walkTarget.x, director.walkTarget.z, dt)) {
            if (terrainHeightAt(scene.characterPosition.x, scene.characterPosition.z) > scene.seaLevel) {
                director.actionTimer = 0.0f;
                director.state = DirectorState::Walk;
            } else {
                director.walkTarget.x = randomCoordinate(80);
                director.walkTarget.z = randomCoordinate(80);
            }
        }
    }

    if (std::fabs(surroundings.tornado.bottom - h) < 10.0f) {
        director.state = DirectorState::Caught;
        surroundings.stopTornado();
        if (surroundings.burning)
            surroundings.putOutFire();
    }

    setPoseMode(director.state == DirectorState::Caught ? PoseMode::Tumble
                                                        : static_cast<PoseMode>(static_cast<int32_t>(director.state)));
}

}  // namespace

bool walkToward(float tx, float tz, float dt)
{
    if (std::fabs(scene.characterPosition.x - tx) < 20.0f * dt &&
        std::fabs(scene.characterPosition.z - tz) < 20.0f * dt)
        return false;

    float c = 0.0f;
    float s = 0.0f;
    turnToward(tx, tz, 3.0f, c, s);

    float behind = terrainHeightAt(scene.characterPosition.x - c, scene.characterPosition.z - s);
    float ahead = terrainHeightAt(scene.characterPosition.x + c, scene.characterPosition.z + s);
    scene.characterPosition.x += c * dt * 4.0f;
    scene.characterPosition.z += s * dt * 4.0f;
    float here = terrainHeightAt(scene.characterPosition.x, scene.characterPosition.z);
    scene.characterPosition.y = std::fmax(here, std::fmax(behind, ahead));

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
    if (std::fabs(scene.characterPosition.x - tx) < 2.0f && std::fabs(scene.characterPosition.z - tz) < 2.0f)
        return false;

    float c = 0.0f;
    float s = 0.0f;
    turnToward(tx, tz, 1.0f, c, s);
    scene.characterPosition.x += c * dt * 3.0f;
    scene.characterPosition.z += s * dt * 3.0f;
    faceHeading();
    scene.characterPosition.y = scene.seaLevel - 5.0f;
    return true;
}

void updateDirector(float dt, const DirectorSurroundings& surroundings)
{
    float h = terrainHeightAt(scene.characterPosition.x, scene.characterPosition.z);
    if (h > scene.characterPosition.y)
        scene.characterPosition.y = h;
    else if (h < scene.characterPosition.y && groundState(director.state))
        scene.characterPosition.y = h;

    if (director.state == DirectorState::Caught)
        caughtPass(dt, h, surroundings.tornado);
    else if (director.state == DirectorState::Fall)
        fallPass(dt, h);
    else
        groundPass(dt, h, surroundings);
}
