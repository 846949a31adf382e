// The definitions of the globals that several subsystems share, kept in one
// file so that the seven meshes are constructed in this order before the
// entry point runs and destroyed in reverse at exit; and the reset that puts
// the scene back to its start-up state.
#include "app/globals.h"

#include <cstring>

#include "effects/fire.h"
#include "effects/lightning.h"
#include "effects/tornado.h"
#include "effects/water.h"
#include "scene/director.h"
#include "scene/pose_blend.h"
#include "scene/pose_program.h"
#include "scene/random.h"
#include "scene/scene_state.h"

Mesh roomMesh;
Mesh firePuffMesh;
Mesh landMesh;
Mesh lightningMesh;
ArticulatedMesh characterMesh;
Mesh tornadoMesh;
Mesh waterMesh;

Vec3 characterPosition = {0.0f, 0.0f, 0.0f};
float characterScale = 50.0f;
float landLevel = 0.0f;
float seaLevel = -15.0f;
float quakeVolume = 0.0f;
float seaVolume = 0.0f;
float sceneYaw = 0.0f;
float frameTime = 0.0f;
float totalTime = 0.0f;

int32_t fpsFrameCount = 0;
float fpsTimeAccumulator = 0.0f;
char fpsText[16] = "";

void resetSceneState()
{
    characterPosition = Vec3{0.0f, 0.0f, 0.0f};
    characterScale = 50.0f;
    landLevel = 0.0f;
    seaLevel = -15.0f;
    quakeVolume = 0.0f;
    seaVolume = 0.0f;
    sceneYaw = 0.0f;
    frameTime = 0.0f;
    totalTime = 0.0f;
    fpsFrameCount = 0;
    fpsTimeAccumulator = 0.0f;
    fpsText[0] = '\0';

    directorState = DirectorState::Stand;
    heading = 360.0f;
    walkTarget = PlanePoint{0.0f, 0.0f};
    actionTimer = 0.0f;
    fallSpeed = 0.0f;
    spiralAngle = 0.0f;
    tumbleAngles = Vec3{0.0f, 0.0f, 0.0f};

    clearPose();
    blendTime = 0.0f;
    blendDuration = 0.0f;
    poseMode = PoseMode::Stand;
    poseStep = 0;

    std::memset(firePuffs, 0, sizeof firePuffs);
    fireFirst = 0;
    fireEnd = 0;
    burning = 0;
    flashIntensity = 0.0f;
    sinceStrike = 1.0f;

    tornadoBottom = 95.0f;
    tornadoSpeed = 0.0f;
    tornadoVisibility = 0.0f;
    tornadoCentre = PlanePoint{0.0f, 0.0f};
    tornadoViewCentre = PlanePoint{0.0f, 0.0f};

    randomSetState(1);
}
