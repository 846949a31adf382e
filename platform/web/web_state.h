// State shared by the browser backend's services (not a public header: only
// platform/web/ includes it).
#pragma once

#include <emscripten/html5.h>

#include "platform/frames.h"

struct PlatformWebState {
    bool initialised;
    int width;  // the canvas, in pixels
    int height;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE glContext;
    FramePacing pacing;  // how frames run, once framesRun() was called
};

extern PlatformWebState platformWeb;

// The canvas the page draws on.
extern const char* const canvasSelector;
