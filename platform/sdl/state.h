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

// From pads.cpp: the game pads. sdlPadsStart() starts SDL's game
// controllers, reads the user's mappings and opens the pads present (once;
// before that the others do nothing); sdlPadEvent() takes a pad's event
// from any event loop; sdlPadsAfterEvents() lets the pads' input count while
// `focused` (the main window has the keyboard's focus), and lets go of
// everything they hold when it doesn't; sdlPadsStop() closes them, before
// SDL quits. sdlPadControllers() lists the open pads, at most `most`.
void sdlPadsStart();
void sdlPadEvent(const SDL_Event& event);
void sdlPadsAfterEvents(bool focused);
void sdlPadsStop();
int sdlPadControllers(SDL_GameController** controllers, int most);

// From window.cpp: gives a window the program's icon, if one was set; and
// where a new ordinary window opens (false: wherever the system puts it).
void sdlGiveIcon(SDL_Window* window);
bool sdlWindowedPlace(int* x, int* y);
// From window.cpp: keeps the system's screen saver off while the main window
// is full screen and has the keyboard, and lets it come otherwise.
void sdlHoldScreenSaver();
// From saver_window.cpp: a close message once the window the screen saver
// draws into has gone.
void sdlWatchAdoptedWindow();
// Takes in the X errors of what was drawn into that window so far.
void sdlSettleAdoptedWindow();
// Installs the X error handler that takes the errors about that window
// (once it is gone); called before SDL starts.
void sdlCatchWindowErrors();
// Lifts the X server's screen saver suspension SDL made for `window`.
void sdlResumeXScreenSaver(SDL_Window* window);
