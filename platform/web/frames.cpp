// The frame loop on a browser page: one step per animation frame, or steps
// back to back in slices of at most sliceSeconds, after each of which the
// browser runs its own tasks (events, the console, painting) before the
// next slice begins.
#include <emscripten/emscripten.h>

#include "platform/frames.h"
#include "platform/web/web_state.h"

namespace {

const double sliceMilliseconds = 40.0;

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
    do {
        if (!frameStep()) {
            finish();
            return;
        }
    } while (emscripten_get_now() - start < sliceMilliseconds);
    // What the slice drew is on the canvas before the browser's turn.
    glWebFinishFrames();
}

}  // namespace

void framesRun(bool (*step)(), void (*done)(), FramePacing pacing)
{
    frameStep = step;
    framesDone = done;
    platformWeb.pacing = pacing;
    platformWeb.running = true;
    if (pacing == FRAMES_PER_DISPLAY) {
        emscripten_set_main_loop(oneFrame, 0, 0);
    } else {
        // A zero-delay task after each slice (Emscripten posts a message to
        // the page), not a timer, whose delay the browser would stretch.
        emscripten_set_main_loop(slice, 0, 0);
        emscripten_set_main_loop_timing(EM_TIMING_SETIMMEDIATE, 0);
    }
}
