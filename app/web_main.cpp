// Vexarion on a browser page. The page (index.html) starts the program
// with the arguments its start form or its address chose:
//
//   vexarion-web --size WxH [--fullscreen]
//       the scene on a canvas of that size (or the whole screen), one frame
//       per frame the browser shows, until Esc;
//   vexarion-web --replay SCRIPT [--frames N] [--dt SECONDS] [--size WxH] [--trace FILE]
//       the frames of vexarion-replay: the script's input, the given frame
//       time (frame 0 takes 0), run back to back, between "replay started"
//       (once the content is loaded) and "replay done".
//
// The entry point sets everything up and hands its frame step to the page;
// the steps run after it has returned.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/command_line.h"
#include "app/content_folder.h"
#include "app/display_dialog.h"
#include "app/main_loop.h"
#include "app/render.h"
#include "app/replay_script.h"
#include "app/trace.h"
#include "effects/lightning.h"
#include "platform/clock.h"
#include "platform/frames.h"
#include "platform/input.h"

namespace {

const int64_t replayFrequency = 1000000000;  // counter ticks per second, as vexarion-replay's

struct WebRun {
    bool replay = false;
    bool fullscreen = false;
    int width = 640;
    int height = 480;
    long frames = 400;
    bool framesGiven = false;
    double dt = 0.02;
    std::string script;
    std::string trace;
    // The replay's input and its clock.
    ScriptPlayer player;
    long frame = 0;
    int64_t ticksPerFrame = 0;
    FrameLoop loop;
};

WebRun run;
int64_t replayCounter = 0;

int64_t readReplayCounter()
{
    return replayCounter;
}

bool parseArguments(int argc, char** argv)
{
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        if (!std::strcmp(arg, "--fullscreen")) {
            run.fullscreen = true;
            continue;
        }
        if (!std::strcmp(arg, "--replay")) {
            run.replay = true;
            if (i + 1 < argc)
                run.script = argv[++i];
            continue;
        }
        const char* value = i + 1 < argc ? argv[++i] : nullptr;
        char* end = nullptr;
        if (!value) {
            std::fprintf(stderr, "vexarion: %s needs a value\n", arg);
            return false;
        } else if (!std::strcmp(arg, "--size")) {
            if (!parseSize(value, &run.width, &run.height)) {
                std::fprintf(stderr, "vexarion: bad size '%s'\n", value);
                return false;
            }
        } else if (!std::strcmp(arg, "--frames")) {
            run.frames = std::strtol(value, &end, 10);
            run.framesGiven = true;
            if (end == value || *end || run.frames < 0) {
                std::fprintf(stderr, "vexarion: bad frame count '%s'\n", value);
                return false;
            }
        } else if (!std::strcmp(arg, "--dt")) {
            run.dt = std::strtod(value, &end);
            if (end == value || *end || !(run.dt >= 0.0 && run.dt <= 10.0)) {
                std::fprintf(stderr, "vexarion: bad frame time '%s'\n", value);
                return false;
            }
        } else if (!std::strcmp(arg, "--trace")) {
            run.trace = value;
        } else {
            std::fprintf(stderr, "vexarion: unknown option %s\n", arg);
            return false;
        }
    }
    return true;
}

bool liveStep()
{
    return runFrame(&run.loop, clockCounter);
}

bool replayStep()
{
    if (run.frame >= run.frames)
        return false;
    replayCounter = run.frame * run.ticksPerFrame;
    run.loop.givenFrameTime = scriptPlayerFeed(&run.player, run.frame);
    lightning.reducedFlash = run.player.reducedFlash;
    const bool goOn = runFrame(&run.loop, readReplayCounter);
    traceFrame(run.frame);
    run.frame++;
    return goOn;
}

void finished()
{
    if (run.replay) {
        traceClose();
        std::printf("replay done\n");
    }
    teardown(run.loop);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    if (!parseArguments(argc, argv))
        return 2;
    if (run.replay) {
        std::string error;
        if (!scriptPlayerLoad(&run.player, run.script.c_str(), &error)) {
            std::fprintf(stderr, "vexarion: %s\n", error.c_str());
            return 2;
        }
        if (!run.framesGiven)
            run.frames = scriptPlayerFrames(run.player, run.frames);
        inputUseScript(true);
    }
    if (!enterContentFolder() || !registerWindowClass())
        return 1;
    createMainWindow("Vexarion", static_cast<uint32_t>(run.width), static_cast<uint32_t>(run.height), run.fullscreen);
    const bool drawing = createGLContext();

    initFrameLoop(&run.loop, run.replay ? replayFrequency : clockFrequency());
    run.loop.drawing = drawing;
    // Opened before the content loads, so frame 0's row also lists the
    // sounds started at start-up.
    if (!run.trace.empty() && !traceOpen(run.trace.c_str())) {
        std::fprintf(stderr, "vexarion: cannot write %s\n", run.trace.c_str());
        return 1;
    }
    loadScene();
    if (run.replay) {
        std::printf("replay started\n");
        std::fflush(stdout);
    }
    run.ticksPerFrame = static_cast<int64_t>(std::llround(run.dt * static_cast<double>(replayFrequency)));
    framesRun(run.replay ? replayStep : liveStep, finished, run.replay ? FRAMES_BACK_TO_BACK : FRAMES_PER_DISPLAY);
    return 0;
}
