// Start-up, the frame loop and teardown; see main_loop.h.
#include "app/main_loop.h"

#include <cstdio>
#include <cstring>

#include "app/controls.h"
#include "app/display_dialog.h"
#include "app/globals.h"
#include "app/render.h"
#include "effects/fire.h"
#include "effects/lightning.h"
#include "effects/tornado.h"
#include "effects/water.h"
#include "platform/display.h"
#include "platform/glcontext.h"
#include "platform/input.h"
#include "scene/director.h"
#include "scene/pose_blend.h"
#include "scene/pose_program.h"
#include "scene/scene_state.h"
#include "scene/terrain.h"
#include "sound/sound.h"

void initFrameLoop(FrameLoop* loop, int64_t counterFrequency)
{
    *loop = FrameLoop{};
    loop->counterPeriod = 1.0 / static_cast<double>(counterFrequency > 0 ? counterFrequency : 1);
}

void loadScene()
{
    landMesh.Load("LAND.KMO");
    roomMesh.Load("ROOM.KMO");
    characterMesh.Load("MAN.KMO");
    characterPosition.y = terrainHeight(0.5f, 0.5f) + 1.0f;
    fireInit();
    lightningInit();
    clearPose();
    tornadoInit();
    waterInit();

    createSoundDevice();
    loadSound(burnSound, "BURN.WAV");
    loadSound(hissSound, "HISS.WAV");
    loadSound(quakeSound, "QUAKE.WAV");
    loadSound(seaSound, "SEA.WAV");
    loadSound(splashSound, "SPLASH.WAV");
    loadSound(thudSound, "Thud.WAV");
    loadSound(thunderSound, "THUNDER.WAV");
    loadSound(windSound, "WIND.WAV");
    setSoundVolume(seaSound, 50);
    setSoundVolume(windSound, 0);
    playSound(seaSound, true);
    playSound(windSound, true);

    glContextBuildFontLists(0, 256, 1000);
}

bool updateFrame(FrameLoop* loop, int64_t (*readCounter)(), FrameView* view)
{
    // Messages: typed commands run here, between frames' updates.
    bool quit = false;
    Message message;
    while (peekMessage(&message)) {
        if (message.type == MESSAGE_QUIT) {
            quit = true;
            loop->exitCode = message.code;
            break;
        }
        mainWindowProc(message);
    }

    int64_t counter = readCounter();
    if (loop->previousCounter < 0)
        loop->previousCounter = counter;
    if (loop->givenFrameTime >= 0.0f)
        frameTime = loop->givenFrameTime;
    else
        frameTime = static_cast<float>(static_cast<double>(counter - loop->previousCounter) * loop->counterPeriod);
    loop->previousCounter = counter;

    *view = advanceScene(frameTime, loop->heldPoseMode);
    return !quit;
}

FrameView advanceScene(float dt, int heldPoseMode)
{
    if (characterScale > 10.0f) {
        // The intro: the character shrinks from five times his size and
        // breathes at a fifth of the speed; the director waits.
        characterScale -= 10.0f * dt;
        if (characterScale < 10.0f)
            characterScale = 10.0f;
        updatePoseProgram(0.2f * dt);
        if (characterScale <= 10.0f)
            restartPoseCycle();
    } else {
        if (heldPoseMode < 0)
            updateDirector(dt);
        else
            setPoseMode(static_cast<PoseMode>(heldPoseMode));
        updatePoseProgram(dt);
        updateElementControls(dt);
    }

    fireUpdate(dt);
    lightningDecay(dt);
    tornadoUpdate(dt);
    waterUpdate(totalTime);
    totalTime += dt;

    // The picture of this frame shows the camera before the turn, the fire's
    // window before its advance and the frame-rate text before this count.
    FrameView view;
    view.cameraYaw = sceneYaw;
    view.fireFirst = fireFirst;
    view.fireEnd = fireEnd;
    view.showFrameRate = getAsyncKeyState(KEY_F) != 0;
    std::memcpy(view.frameRateText, fpsText, sizeof view.frameRateText);

    sceneYaw += 3.0f * dt;
    fireAdvanceWindow();
    fpsFrameCount += 1;
    fpsTimeAccumulator += dt;
    if (fpsTimeAccumulator >= 1.0f) {
        std::snprintf(fpsText, sizeof fpsText, "%d fps", static_cast<int>(fpsFrameCount));
        fpsFrameCount = 0;
        fpsTimeAccumulator -= 1.0f;
    }
    return view;
}

bool runFrame(FrameLoop* loop, int64_t (*readCounter)())
{
    FrameView view;
    const bool goOn = updateFrame(loop, readCounter, &view);
    if (loop->drawing)
        renderFrame(view, loop->beforeSwap);
    return goOn;
}

int teardown(const FrameLoop& loop)
{
    releaseSound(burnSound);
    releaseSound(hissSound);
    releaseSound(quakeSound);
    releaseSound(seaSound);
    releaseSound(splashSound);
    releaseSound(thudSound);
    releaseSound(thunderSound);
    releaseSound(windSound);
    releaseSoundDevice();
    releaseGLContext();
    displayRestoreMode();
    return loop.exitCode;
}
