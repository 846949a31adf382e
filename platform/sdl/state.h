// State shared by the SDL backends of the platform services (not a public
// header: only the files in platform/sdl/ include it).
#pragma once

#include <SDL.h>

#include "platform/display.h"

struct PlatformSdlState {
    bool initialised;
    SDL_Window* mainWindow;
    SDL_GLContext glContext;
    bool modeRequested;         // displayChangeMode() was called
    DisplayMode requestedMode;  // the mode it asked for
    bool fullscreen;            // the main window is full-screen in that mode
};

extern PlatformSdlState platformSdl;
