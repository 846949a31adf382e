// vexarion-bench: what a frame costs on this machine, for tools/bench.sh.
//
//   vexarion-bench --size WxH [--frames N]
//
// Prints three lines, each "name value": the scene's frames per second once
// the intro is over, an empty loop's frames per second (clear and swap
// only), and the simulation's cost per frame in microseconds (every update
// of a frame, without drawing). The scene runs from the content in the
// working directory with a fixed frame time of 0.02 s, so every run does the
// same work; the lightning and the tornado are called in before timing.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/command_line.h"
#include "app/display_dialog.h"
#include "app/main_loop.h"
#include "app/render.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/gl.h"
#include "platform/glcontext.h"
#include "platform/input.h"

namespace {

const int64_t benchFrequency = 1000000;  // ticks per second of the scene's clock
const int64_t frameTicks = 20000;        // 0.02 s per frame

int64_t sceneCounter = 0;
int64_t readSceneCounter()
{
    return sceneCounter;
}

double secondsSince(int64_t start)
{
    return static_cast<double>(clockCounter() - start) / static_cast<double>(clockFrequency());
}

// Runs `frames` frames through `step` on the fixed clock; returns the
// seconds they took on the real one.
double timeFrames(FrameLoop* loop, int frames, bool (*step)(FrameLoop*, int64_t (*)()))
{
    const int64_t start = clockCounter();
    for (int i = 0; i < frames; i++) {
        sceneCounter += frameTicks;
        step(loop, readSceneCounter);
    }
    return secondsSince(start);
}

// The frame without its drawing.
bool updateOnly(FrameLoop* loop, int64_t (*readCounter)())
{
    FrameView view;
    return updateFrame(loop, readCounter, &view);
}

}  // namespace

int main(int argc, char** argv)
{
    int width = 640, height = 480, frames = 500;
    for (int i = 1; i < argc; i++) {
        if (!std::strcmp(argv[i], "--size") && i + 1 < argc && parseSize(argv[i + 1], &width, &height)) {
            i++;
        } else if (!std::strcmp(argv[i], "--frames") && i + 1 < argc && std::atoi(argv[i + 1]) > 0) {
            frames = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: vexarion-bench --size WxH [--frames N]\n");
            return 2;
        }
    }
    if (!registerWindowClass())
        return 1;
    inputUseScript(true);
    if (!createMainWindow("Vexarion bench", static_cast<uint32_t>(width), static_cast<uint32_t>(height), false) ||
        !createGLContext()) {
        std::fprintf(stderr, "vexarion-bench: cannot open a %dx%d window with OpenGL\n", width, height);
        platformShutdown();
        return 1;
    }

    // The empty loop first, before the scene's state is on the GPU.
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    const int64_t start = clockCounter();
    for (int i = 0; i < frames; i++) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glContextSwapBuffers();
    }
    glFinish();
    const double emptySeconds = secondsSince(start);

    FrameLoop loop;
    initFrameLoop(&loop, benchFrequency);
    loadScene();
    timeFrames(&loop, 201, runFrame);  // the intro: four seconds of 0.02
    inputScriptChar('L');
    inputScriptChar('t');
    const double sceneSeconds = timeFrames(&loop, frames, runFrame);
    const double updateSeconds = timeFrames(&loop, frames, updateOnly);

    std::printf("scene_fps %.1f\n", frames / sceneSeconds);
    std::printf("empty_fps %.1f\n", frames / emptySeconds);
    std::printf("simulation_us_per_frame %.1f\n", 1e6 * updateSeconds / frames);
    teardown(loop);
    platformShutdown();
    return 0;
}
