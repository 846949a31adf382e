// The shared scene state's definitions. The meshes are constructed in this
// order before the entry point runs and destroyed in reverse at exit.
#include "app/globals.h"

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
