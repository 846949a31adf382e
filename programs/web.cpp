// Vexarion on a browser page. The page (index.html) starts the program
// with the arguments its start form or its address chose:
//
//   vexarion-web --size WxH [--fullscreen] [--[no-]reduced-flash] [--[no-]sound]
//                [--[no-]mute-unfocused] [--trace FILE] [--record FILE]
//       the scene on a canvas of that size (or the whole screen), one frame
//       per frame the browser shows, until Esc, silent while the page is
//       hidden with --mute-unfocused; the recording, as the desktop's
//       --record writes it, is handed to the page at the end
//       (Module.onRecording, with the file's name);
//   vexarion-web --script FILE [--frames N] [--dt SECONDS] [--size WxH] [--trace FILE] [--paced]
//       the frames of vexarion-replay (replay/runner.h), run back to back,
//       between "replay started" (once the content is loaded) and
//       "replay done"; with --paced, at the pace they were recorded, as a
//       person watches a recording, until its end or webReplayStop().
//
// The entry point sets everything up and hands its frame step to the page;
// the steps run after it has returned.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <new>
#include <set>
#include <string>

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
#include "replay/recorder.h"
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

bool recording = false;  // the live scene is recorded to run.options.recordPath

// A paced replay: the page's clock when it began, the recorded seconds run
// since, and whether the page asked it to stop.
int64_t pacedStart = -1;
double pacedPlayed = 0.0;
bool stopAsked = false;

// The most recorded time one display frame catches up on; a replay further
// behind (a machine too slow for the scene) drops the rest and runs slower.
const double pacedLongestCatchUp = 0.25;

// The page calls main again for each scene or replay it starts, the program
// still loaded: each begins from the content as the first start had it,
// loaded afresh from the packed files (nothing is downloaded again).
void freshScene()
{
    if (contentLoaded)
        releaseContent();
    resetSceneState();
    forgetInput();
    contentLoaded = true;
}

bool liveStep()
{
    const bool running = runFrame(&run.loop, clockCounter);
    recordFrameEnd(scene.frameTime);
    traceFrame(liveFrame++);
    return running;
}

bool replayFrame()
{
    return replayStep(&run);
}

// The time frame `frame` of the replay takes: its recorded one, else --dt
// (0 for the first, as the runner gives it).
double replayFrameTime(long frame)
{
    const auto recorded = run.player.frameTimes.find(frame);
    if (recorded != run.player.frameTimes.end())
        return recorded->second;
    return frame == 0 ? 0.0 : run.options.dt;
}

// One display frame of a paced replay: the frames whose time has come on
// the page's clock (which stands still while the page is hidden), only the
// last of them drawn.
bool pacedFrame()
{
    if (stopAsked)
        return false;
    const int64_t now = clockCounter();
    if (pacedStart < 0)
        pacedStart = now;
    double elapsed = static_cast<double>(now - pacedStart) / static_cast<double>(clockFrequency());
    if (elapsed - pacedPlayed > pacedLongestCatchUp) {
        pacedStart +=
            static_cast<int64_t>((elapsed - pacedPlayed - pacedLongestCatchUp) * static_cast<double>(clockFrequency()));
        elapsed = pacedPlayed + pacedLongestCatchUp;
    }
    long due = 0;
    for (long frame = run.frame; frame < run.frames; frame++, due++) {
        const double time = replayFrameTime(frame);
        if (pacedPlayed + time > elapsed)
            break;
        pacedPlayed += time;
    }
    bool goOn = run.frame < run.frames;
    for (long i = 0; i < due && goOn; i++)
        goOn = replayStep(&run, i == due - 1);
    return goOn;
}

void replayFinished()
{
    keepSceneAudio();
    replayClose(&run, 0);
    closeSceneAudio();
    std::printf("replay done\n");
    std::fflush(stdout);
}

void liveFinished()
{
    traceClose();
    keepSceneAudio();
    if (recording) {
        inputWatch(nullptr, nullptr);
        recorderClose();
        recording = false;
        EM_ASM(
            {
                if (Module.onRecording)
                    Module.onRecording(UTF8ToString($0));
            },
            run.options.recordPath.c_str());
    }
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
    freshScene();
    lightning.reducedFlash = o.reducedFlash;
    // Opened after every option that changes the scene was taken, which
    // the recording's head notes.
    recording = !o.recordPath.empty();
    if (recording) {
        recorderOpen(o.recordPath.c_str());
        inputWatch(recordChar, recordKey);
    }
    loadScene(o.sound);
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
    run = ReplayRunner();
    pacedStart = -1;
    pacedPlayed = 0.0;
    stopAsked = false;
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
    freshScene();
    replayLoad(&run);
    std::printf("replay started\n");
    std::fflush(stdout);
    if (run.options.paced)
        framesRun(pacedFrame, replayFinished, FRAMES_PER_DISPLAY);
    else
        framesRun(replayFrame, replayFinished, FRAMES_BACK_TO_BACK);
    return 0;
}

// The page ends a paced replay (the user pressed Esc, which the replay's
// scripted input doesn't take): it stops before its next frame.
extern "C" EMSCRIPTEN_KEEPALIVE void webReplayStop()
{
    stopAsked = true;
}
