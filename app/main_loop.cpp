// Start-up, the frame loop and teardown; see main_loop.h.
#include "app/main_loop.h"

#include <cstdio>
#include <cstring>

#include "app/attract.h"
#include "app/controls.h"
#include "app/display_dialog.h"
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

FrameRate frameRate;

void initFrameLoop(FrameLoop* loop, int64_t counterFrequency)
{
    *loop = FrameLoop{};
    loop->counterPeriod = 1.0 / static_cast<double>(counterFrequency > 0 ? counterFrequency : 1);
}

void loadScene(bool withSound)
{
    meshes.land.Load("LAND.KMO");
    meshes.room.Load("ROOM.KMO");
    meshes.character.Load("MAN.KMO");
    scene.characterPosition.y = terrainHeight(0.5f, 0.5f) + 1.0f;
    fireInit();
    lightningInit();
    clearPose();
    tornadoInit();
    waterInit();

    if (withSound)
        createSoundDevice();
    for (const SceneSoundFile& sound : sceneSoundFiles)
        loadSound(sounds.*sound.handle, sound.file);
    setSoundVolume(sounds.sea, 50);
    setSoundVolume(sounds.wind, 0);
    playSound(sounds.sea, true);
    playSound(sounds.wind, true);

    glContextBuildFontLists(0, 256, glyphListBase);
}

bool updateFrame(FrameLoop* loop, int64_t (*readCounter)(), FrameView* view)
{
    // The attract mode's keys go in first, as if typed before the frame.
    attractBeforeMessages();
    // Messages: typed commands run here, between frames' updates.
    bool quit = false;
    Message message;
    while (inputNextMessage(&message)) {
        if (message.type == MESSAGE_QUIT) {
            quit = true;
            loop->exitCode = message.code;
            break;
        }
        mainWindowProc(message);
    }

    watchSoundDevice();
    int64_t counter = readCounter();
    if (loop->previousCounter < 0)
        loop->previousCounter = counter;
    if (loop->givenFrameTime >= 0.0f)
        scene.frameTime = loop->givenFrameTime;
    else
        scene.frameTime =
            static_cast<float>(static_cast<double>(counter - loop->previousCounter) * loop->counterPeriod);
    loop->previousCounter = counter;

    *view = advanceScene(scene.frameTime, loop->heldPoseMode);
    return !quit;
}

DirectorSurroundings directorSurroundings()
{
    return DirectorSurroundings{fire.burning != 0, TornadoView{tornado.bottom, tornado.top, tornado.viewCentre},
                                fireExtinguish, tornadoStop};
}

FrameView advanceScene(float dt, int heldPoseMode)
{
    if (scene.characterScale > introEndScale) {
        // The intro: the character shrinks from five times his size, 10 a
        // second, and breathes at a fifth of the speed; the director waits.
        scene.characterScale -= 10.0f * dt;
        if (scene.characterScale < introEndScale)
            scene.characterScale = introEndScale;
        updatePoseProgram(0.2f * dt);
        if (scene.characterScale <= introEndScale)
            restartPoseCycle();
    } else {
        if (heldPoseMode < 0)
            updateDirector(dt, directorSurroundings());
        else
            setPoseMode(static_cast<PoseMode>(heldPoseMode));
        updatePoseProgram(dt);
        updateElementControls(dt);
    }
    // The character takes the pose the program set; the picture shows it.
    meshes.character.Pose();

    fireUpdate(dt);
    lightningDecay(dt);
    tornadoUpdate(dt);
    waterUpdate(scene.totalTime);
    scene.totalTime += dt;

    // The picture of this frame shows the camera before the turn (and the
    // billboards facing it after), the fire's window before its advance and
    // the frame-rate text before this count.
    FrameView view;
    view.cameraYaw = scene.yaw;
    view.fireFirst = fire.first;
    view.fireEnd = fire.end;
    const KeyState frameRateKey = inputKeyState(KEY_F);
    view.showFrameRate = frameRateKey.held || frameRateKey.pressed;
    std::memcpy(view.frameRateText, frameRate.text, sizeof view.frameRateText);

    scene.yaw += 3.0f * dt;
    view.billboardYaw = scene.yaw;
    fireAdvanceWindow();
    frameRate.frameCount += 1;
    frameRate.timeAccumulator += dt;
    if (frameRate.timeAccumulator >= 1.0f) {
        std::snprintf(frameRate.text, sizeof frameRate.text, "%d fps", static_cast<int>(frameRate.frameCount));
        frameRate.frameCount = 0;
        frameRate.timeAccumulator -= 1.0f;
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
    for (const SceneSoundFile& sound : sceneSoundFiles)
        releaseSound(sounds.*sound.handle);
    releaseSoundDevice();
    releaseGLContext();
    displayRestoreMode();
    return loop.exitCode;
}
