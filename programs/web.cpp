// Vexarion on a browser page. The page (index.html) starts the program
// with the arguments its start form or its address chose:
//
//   vexarion-web --size WxH [--fullscreen] [--trace FILE]
//       the scene on a canvas of that size (or the whole screen), one frame
//       per frame the browser shows, until Esc;
//   vexarion-web --script FILE [--frames N] [--dt SECONDS] [--size WxH] [--trace FILE]
//       the frames of vexarion-replay (replay/runner.h), run back to back,
//       between "replay started" (once the content is loaded) and
//       "replay done".
//
// The entry point sets everything up and hands its frame step to the page;
// the steps run after it has returned.
#include <cstdio>

#include "app/content_folder.h"
#include "app/display_dialog.h"
#include "app/main_loop.h"
#include "app/render.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/frames.h"
#include "platform/notice.h"
#include "replay/runner.h"
#include "replay/trace.h"

namespace {

ReplayRunner run;  // the replay, or the live scene's loop and options
long liveFrame = 0;

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
    teardown(run.loop);
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
    if (!o.tracePath.empty())
        traceOpen(o.tracePath.c_str());
    loadScene();
    framesRun(liveStep, liveFinished, FRAMES_PER_DISPLAY);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
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
