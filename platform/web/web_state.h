// State shared by the browser backend's services (not a public header: only
// platform/web/ includes it).
#pragma once

#include <emscripten/html5.h>

#include <cstdint>

#include "platform/frames.h"

struct PlatformWebState {
    bool initialised;
    int width;  // the canvas, in pixels
    int height;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE glContext;
    FramePacing pacing;  // how frames run, once framesRun() was called
    bool running;        // frames are running: the page's keys are the scene's
};

extern PlatformWebState platformWeb;

// The canvas the page draws on.
extern const char* const canvasSelector;

// The pads (pads.cpp): listened for once, read once per animation frame.
void padsWebStart();
void padsWebPoll();

// The touch buttons (touch.cpp) let go of everything they hold.
void touchWebRelease();

// The canvas's size in pixels now (the page sets it to fill the window).
void canvasPixels(int* width, int* height);

// Waits until the frames drawn back to back so far are finished (glcontext.cpp).
void glWebFinishFrames();

// The clock (clock.cpp) stands still while the page is hidden, and no two
// of its readings lie further apart than this, in its ticks (microseconds):
// a frame of a quarter of a second is a stall, not a frame to move by.
const int64_t clockLongestStep = 250000;
void clockPageHidden(bool hidden);
