// Vexarion on a browser page. The page (index.html) starts the program
// with the arguments its start form or its address chose:
//
//   vexarion-web --size WxH [--fullscreen] [--[no-]reduced-flash] [--[no-]sound]
//                [--[no-]mute-unfocused] [--trace FILE]
//       the scene on a canvas of that size (or the whole screen), one frame
//       per frame the browser shows, until Esc, silent while the page is
//       hidden with --mute-unfocused. The page may start it again after Esc:
//       each start loads the content afresh from the packed files (nothing
//       is downloaded again) into a scene as the first start had it;
//   vexarion-web --script FILE [--frames N] [--dt SECONDS] [--size WxH] [--trace FILE]
//       the frames of vexarion-replay (replay/runner.h), run back to back,
//       between "replay started" (once the content is loaded) and
//       "replay done".
//
// The entry point sets everything up and hands its frame step to the page;
// the steps run after it has returned.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <new>
#include <set>

#include "app/content_folder.h"
#include "app/display_dialog.h"
#include "app/main_loop.h"
#include "app/render.h"
#include "app/scene_reset.h"
#include "effects/lightning.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/frames.h"
#include "platform/gl.h"
#include "platform/input.h"
#include "platform/notice.h"
#include "platform/window.h"
#include "replay/runner.h"
#include "replay/trace.h"
#include "scene/scene_state.h"

namespace {

ReplayRunner run;  // the replay, or the live scene's loop and options
long liveFrame = 0;
bool contentLoaded = false;  // a live scene loaded it before
bool muteWhileHidden = false;

// The content an earlier scene loaded, given back before a new scene loads
// it again: the meshes' textures and the meshes themselves, as constructed
// before the program started. The sounds went with that scene's teardown.
void releaseContent()
{
    std::set<GLuint> textures;
    const Mesh* const all[] = {&meshes.room,      &meshes.firePuff, &meshes.land, &meshes.lightning,
                               &meshes.character, &meshes.tornado,  &meshes.water};
    for (const Mesh* mesh : all)
        for (int32_t m = 0; m < mesh->materialCount; m++)
            if (mesh->materials[m].texture != 0)
                textures.insert(mesh->materials[m].texture);
    for (GLuint texture : textures)
        glDeleteTextures(1, &texture);
    meshes.~SceneMeshes();
    new (&meshes) SceneMeshes();
}

// What was typed or pressed on the page while no scene ran (the start
// form) is not the new scene's.
void forgetInput()
{
    Message message;
    while (inputNextMessage(&message)) {
    }
    for (int k = 0; k < KEY_COUNT; k++)
        inputKeyState(static_cast<Key>(k));
}

EM_BOOL visibilityChanged(int, const EmscriptenVisibilityChangeEvent* event, void*)
{
    if (muteWhileHidden)
        audioSetMuted(event->hidden != 0);
    return EM_FALSE;
}

// The page's sound (a Web Audio context, which OpenAL leaves open when its
// device closes) is closed with the scene that made it: a scene started
// again makes its own.
EM_JS(void, keepSceneAudio, (),
      { Module.sceneAudio = typeof AL != 'undefined' && AL.currentCtx ? AL.currentCtx.audioCtx : null; });
EM_JS(void, closeSceneAudio, (), {
    if (Module.sceneAudio)
        Module.sceneAudio.close().catch(function(){});
    Module.sceneAudio = null;
});

bool liveStep()
{
    const bool running = runFrame(&run.loop, clockCounter);
    traceFrame(liveFrame++);
    return running;
}

bool replayFrame()
{
    return replayStep(&run);
}

void replayFinished()
{
    replayClose(&run, 0);
    std::printf("replay done\n");
    std::fflush(stdout);
}

void liveFinished()
{
    traceClose();
    keepSceneAudio();
    teardown(run.loop);
    closeSceneAudio();
    muteWhileHidden = false;
    audioSetMuted(false);
}

// The live scene: the window the form chose, the scene, a frame per display frame.
int startLive(const Options& o)
{
    if (!enterContentFolder() || !platformInit())
        return 1;
    if (!createMainWindow("Vexarion", static_cast<uint32_t>(o.width), static_cast<uint32_t>(o.height), o.fullscreen)) {
        noticeShow(NOTICE_ERROR, "Vexarion: cannot open the scene's canvas\n");
        return 1;
    }
    initFrameLoop(&run.loop, clockFrequency());
    run.loop.drawing = createGLContext();
    // A trace that can't be written is told; the scene plays on without it.
    liveFrame = 0;
    if (!o.tracePath.empty())
        traceOpen(o.tracePath.c_str());
    if (contentLoaded)
        releaseContent();
    resetSceneState();
    forgetInput();
    lightning.reducedFlash = o.reducedFlash;
    loadScene(o.sound);
    contentLoaded = true;
    muteWhileHidden = o.muteUnfocused;
    audioSetMuted(muteWhileHidden && !windowIsShown());
    framesRun(liveStep, liveFinished, FRAMES_PER_DISPLAY);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // The page calls main again for each scene it starts: listen once.
    static const bool listening =
        emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, visibilityChanged) == EMSCRIPTEN_RESULT_SUCCESS;
    (void)listening;
    const int ended = readCommandLine(PROGRAM_WEB, argc, argv, &run.options);
    if (ended >= 0)
        return ended;
    if (run.options.script.empty())
        return startLive(run.options);
    run.program = PROGRAM_WEB;
    run.title = "Vexarion";
    const int failed = replayOpen(&run);
    if (failed >= 0)
        return replayClose(&run, failed);
    replayLoad(&run);
    std::printf("replay started\n");
    std::fflush(stdout);
    framesRun(replayFrame, replayFinished, FRAMES_BACK_TO_BACK);
    return 0;
}
