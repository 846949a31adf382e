// vexarion-bench: what a frame costs on this machine, for tools/bench.sh.
//
//   vexarion-bench [--frames N] [--dt SECONDS] [--size WxH]
//
// Prints three lines, each "name value": the scene's frames per second once
// the intro is over, an empty loop's frames per second (clear and swap
// only), and the simulation's cost per frame in microseconds (every update
// of a frame, without drawing). The scene runs through the replay runner
// with a fixed frame time (0.02 s unless --dt says otherwise), so every run does the same work; the
// lightning and the tornado are called in when the intro ends.
#include <cstdio>

#include "app/options.h"
#include "platform/clock.h"
#include "platform/gl.h"
#include "platform/glcontext.h"
#include "platform/notice.h"
#include "replay/runner.h"

namespace {

const long introFrames = 201;  // four seconds of 0.02, and the frame after

// Runs `frames` frames, drawn or not; returns the seconds they took.
double timeFrames(ReplayRunner* runner, long frames, bool draw)
{
    const int64_t start = clockCounter();
    for (long i = 0; i < frames; i++)
        replayStep(runner, draw);
    return static_cast<double>(clockCounter() - start) / static_cast<double>(clockFrequency());
}

}  // namespace

int main(int argc, char** argv)
{
    noticeInit();
    ReplayRunner runner;
    const int ended = readCommandLine(PROGRAM_BENCH, argc, argv, &runner.options);
    if (ended >= 0)
        return ended;
    const long frames = runner.options.frames > 0 ? runner.options.frames : 1;
    runner.program = PROGRAM_BENCH;
    runner.title = "Vexarion bench";
    runner.scriptText = std::to_string(introFrames) + " type L\n" + std::to_string(introFrames) + " type t\n";
    const int failed = replayOpen(&runner);
    if (failed >= 0)
        return replayClose(&runner, failed);
    runner.frames = introFrames + 2 * frames;

    // The empty loop first, before the scene's state is on the GPU.
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    const int64_t start = clockCounter();
    for (long i = 0; i < frames; i++) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glContextSwapBuffers();
    }
    glFinish();
    const double emptySeconds = static_cast<double>(clockCounter() - start) / static_cast<double>(clockFrequency());

    replayLoad(&runner);
    timeFrames(&runner, introFrames, true);
    const double sceneSeconds = timeFrames(&runner, frames, true);
    const double updateSeconds = timeFrames(&runner, frames, false);
    std::printf("scene_fps %.1f\n", static_cast<double>(frames) / sceneSeconds);
    std::printf("empty_fps %.1f\n", static_cast<double>(frames) / emptySeconds);
    std::printf("simulation_us_per_frame %.1f\n", 1e6 * updateSeconds / static_cast<double>(frames));
    return replayClose(&runner, 0);
}
