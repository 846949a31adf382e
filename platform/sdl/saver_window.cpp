// The screen saver's windows on SDL2 under X: the scene drawn straight into a
// window that exists already, as X screen savers draw: XScreenSaver's own
// window, one a test or another program made, or the root window. And the
// X server's own saver let come again after the program held it off.
//
// SDL adopts the window (SDL_CreateWindowFrom) with OpenGL on it. The window
// keeps its visual, its size and its owner: SDL asks for none of its input,
// never maps, moves or decorates it, and leaves it standing when the program
// lets go of it at the end. Its owner may destroy it at any moment (XScreen-
// Saver does as it sends SIGTERM, while a frame may still be on its way):
// an X error about it then means the window is gone, and ends the program
// the way a close does, rather than the way Xlib ends it by default.
#include <string>

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

#include "platform/display.h"
#include "platform/notice.h"
#include "platform/saver_dialog.h"
#include "platform/sdl/state.h"
#include "platform/shared/input_queue.h"

namespace {

uint64_t adopted = 0;  // the window drawn into, 0 for none; its errors are ours till the end
bool adoptedGone = false;
Display* adoptedDisplay = nullptr;  // SDL's connection, which draws into it
XErrorHandler previousHandler = nullptr;

int onXError(Display* display, XErrorEvent* error)
{
    if (adopted && error->resourceid == adopted) {
        adoptedGone = true;
        return 0;
    }
    return previousHandler ? previousHandler(display, error) : 0;
}

bool onX()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && SDL_strcasecmp(driver, "x11") == 0;
}

// The root window of the default screen of the display SDL talks to.
uint64_t rootWindow()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 0;
    const uint64_t root = DefaultRootWindow(display);
    XCloseDisplay(display);
    return root;
}

}  // namespace

bool windowCreateInside(uint64_t host, int)
{
    if (!platformSdl.initialised || platformSdl.mainWindow || !host)
        return false;
    if (!onX()) {
        noticeShow(NOTICE_ERROR, "Vexarion: the screen saver draws into X windows; this display is not an X one\n");
        return false;
    }
    SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
    SDL_Window* window = SDL_CreateWindowFrom(reinterpret_cast<void*>(static_cast<uintptr_t>(host)));
    if (!window) {
        noticeShow(NOTICE_ERROR, std::string("Vexarion: cannot draw into the window ") + std::to_string(host) + ": " +
                                     SDL_GetError() + "\n");
        return false;
    }
    platformSdl.mainWindow = window;
    platformSdl.fullscreen = false;
    adopted = host;
    adoptedGone = false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    adoptedDisplay =
        SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11 ? info.info.x11.display : nullptr;
    return true;
}

void sdlCatchWindowErrors()
{
    // Before SDL starts: SDL passes the errors it doesn't take on to the
    // handler it found, and puts that one back when it ends, so the errors
    // that come with the display's close (OpenGL letting go of the window)
    // still come here.
    if (!previousHandler)
        previousHandler = XSetErrorHandler(onXError);
}

void sdlSettleAdoptedWindow()
{
    // The errors of the requests still on their way come back now.
    if (adopted && adoptedDisplay)
        XSync(adoptedDisplay, False);
}

void sdlResumeXScreenSaver(SDL_Window* window)
{
    // SDL 2.26 suspends the X server's saver over X when D-Bus has no
    // screen saver to ask, but lifts that only through D-Bus: lifted here.
    // (A lift the server has no suspension of does nothing.)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
        XScreenSaverSuspend(info.info.x11.display, False);
}

void sdlWatchAdoptedWindow()
{
    if (adopted && adoptedGone) {
        adoptedGone = false;
        inputQueueClose();
    }
}

bool windowCreateSaver(int colourBits)
{
    if (!platformSdl.initialised || !onX()) {
        noticeShow(NOTICE_ERROR, "Vexarion: the screen saver needs an X display\n");
        return false;
    }
    return windowCreateInside(rootWindow(), colourBits);
}

bool saverSettingsDialog(uint64_t, SaverChoices*)
{
    // XScreenSaver shows the hack's settings itself, from its config file.
    return false;
}
