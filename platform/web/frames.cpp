// The frame loop on a browser page: one step per animation frame, or steps
// back to back in slices, after each of which the browser runs its own tasks
// (events, the console, painting) before the next slice begins. A slice
// steps for at most sliceMilliseconds and then waits for the frames it drew
// (glWebFinishFrames); the longer it runs, the less the page and the
// browser's GPU process wait for each other. When the drawing is the slower
// part, the wait is most of the slice, so a slice runs only as many frames
// as the last one drew in drawnSliceMilliseconds, the wait included.
#include <emscripten/emscripten.h>

#include <cmath>

#include "platform/frames.h"
#include "platform/web/web_state.h"

namespace {

const double sliceMilliseconds = 40.0;
const double drawnSliceMilliseconds = 100.0;
const int firstSliceFrames = 4;
const int mostSliceFrames = 1000;

int sliceFrames = 0;  // learnt from the slice before; framesRun starts it

bool (*frameStep)() = nullptr;
void (*framesDone)() = nullptr;

void finish()
{
    glWebFinishFrames();
    emscripten_cancel_main_loop();
    platformWeb.running = false;
    if (framesDone)
        framesDone();
    // A scene the user ended hands the page back to its start form.
    if (platformWeb.pacing == FRAMES_PER_DISPLAY)
        EM_ASM({
            if (Module.onSceneEnd)
                Module.onSceneEnd();
        });
}

void oneFrame()
{
    // The pads are read for the live scene; a replay's input is its script.
    padsWebPoll();
    if (!frameStep())
        finish();
}

void slice()
{
    const double start = emscripten_get_now();
    int frames = 0;
    do {
        if (!frameStep()) {
            finish();
            return;
        }
        frames++;
    } while (frames < sliceFrames && emscripten_get_now() - start < sliceMilliseconds);
    // What the slice drew is on the canvas before the browser's turn.
    glWebFinishFrames();
    // At most twice as many frames next time, and at least one.
    const double took = std::fmax(emscripten_get_now() - start, 0.001);
    const double fit = frames * drawnSliceMilliseconds / took;
    sliceFrames = static_cast<int>(std::fmax(1.0, std::fmin(std::fmin(fit, 2.0 * frames), mostSliceFrames)));
}

}  // namespace

void framesRun(bool (*step)(), void (*done)(), FramePacing pacing)
{
    frameStep = step;
    framesDone = done;
    platformWeb.pacing = pacing;
    platformWeb.running = true;
    sliceFrames = firstSliceFrames;
    if (pacing == FRAMES_PER_DISPLAY) {
        emscripten_set_main_loop(oneFrame, 0, 0);
    } else {
        // A zero-delay task after each slice (Emscripten posts a message to
        // the page), not a timer, whose delay the browser would stretch.
        emscripten_set_main_loop(slice, 0, 0);
        emscripten_set_main_loop_timing(EM_TIMING_SETIMMEDIATE, 0);
    }
}
