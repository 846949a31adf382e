// Display modes and the main window on SDL2.
//
// The screen switch is SDL's real full-screen mode change: the requested mode
// is remembered by displayChangeMode() and applied when the main window
// opens full-screen; displayRestoreMode() leaves full-screen, which gives the
// desktop its mode back while the window itself stays open. While full
// screen, the cursor is hidden over the window, and losing the focus
// minimises the window and gives the desktop its mode back until the window
// is activated again (SDL does both). A switch the screen refuses leaves an
// ordinary window of the mode's size.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/display.h"
#include "platform/glcontext.h"
#include "platform/notice.h"
#include "platform/sdl/state.h"

PlatformSdlState platformSdl = {false, nullptr, nullptr, false, {0, 0, 0}, false};

bool platformInit()
{
    if (platformSdl.initialised)
        return true;
    // A full-screen window gets out of the way of the program the user
    // switches to, and the desktop gets its mode back meanwhile.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "1");
    // SDL would keep the system's screen saver off for the whole session;
    // the window holds it off only while it is full screen and in front.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // The scene takes single letters, never text composed from dead keys, so
    // libX11 is given an empty compose table instead of parsing the locale's
    // thousands of sequences (several milliseconds at every start). A table
    // the user names stays theirs.
    setenv("XCOMPOSEFILE", "/dev/null", 0);
    sdlCatchWindowErrors();
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
        noticeShow(NOTICE_WARNING, std::string("Vexarion: cannot open the display: ") + SDL_GetError() + "\n");
        return false;
    }
    platformSdl.initialised = true;
    return true;
}

bool displayIsVisible()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver)
        return false;
    if (SDL_strcasecmp(driver, "offscreen") != 0 && SDL_strcasecmp(driver, "dummy") != 0)
        return true;
    // SDL takes these drivers by itself when it finds no display; they count
    // only when the user named them.
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    return asked && SDL_strcasestr(asked, driver) != nullptr;
}

void platformShutdown()
{
    if (!platformSdl.initialised)
        return;
    windowDestroyMain();
    sdlPadsStop();
    SDL_Quit();
    platformSdl.initialised = false;
    platformSdl.modeRequested = false;
}

bool displayEnumMode(int n, DisplayMode* mode)
{
    if (n < 0 || n >= SDL_GetNumDisplayModes(0))
        return false;
    SDL_DisplayMode m;
    if (SDL_GetDisplayMode(0, n, &m) != 0)
        return false;
    mode->width = m.w;
    mode->height = m.h;
    mode->bitsPerPixel = static_cast<int>(SDL_BITSPERPIXEL(m.format));
    return true;
}

bool displayDesktopMode(DisplayMode* mode)
{
    SDL_DisplayMode m;
    if (SDL_GetDesktopDisplayMode(0, &m) != 0)
        return false;
    mode->width = m.w;
    mode->height = m.h;
    mode->bitsPerPixel = static_cast<int>(SDL_BITSPERPIXEL(m.format));
    return true;
}

void displayChangeMode(const DisplayMode& mode)
{
    platformSdl.modeRequested = true;
    platformSdl.requestedMode = mode;
}

void displayRestoreMode()
{
    if (platformSdl.mainWindow && platformSdl.fullscreen) {
        SDL_SetWindowFullscreen(platformSdl.mainWindow, 0);
        SDL_SetWindowPosition(platformSdl.mainWindow, 0, 0);
        SDL_ShowCursor(SDL_ENABLE);
    }
    platformSdl.fullscreen = false;
    platformSdl.modeRequested = false;
}

// The SDL display mode of the requested width, height and depth, at any
// refresh rate; false when the screen offers no such mode.
static bool findSdlMode(const DisplayMode& wanted, SDL_DisplayMode* found)
{
    int count = SDL_GetNumDisplayModes(0);
    for (int n = 0; n < count; n++) {
        SDL_DisplayMode m;
        if (SDL_GetDisplayMode(0, n, &m) != 0)
            continue;
        if (m.w == wanted.width && m.h == wanted.height &&
            static_cast<int>(SDL_BITSPERPIXEL(m.format)) == wanted.bitsPerPixel) {
            *found = m;
            found->refresh_rate = 0;
            return true;
        }
    }
    return false;
}

// Switches the new window to full screen in the requested mode; when the
// screen refuses, says so and makes it an ordinary window of that size.
static void enterFullScreen(SDL_Window* window, int width, int height)
{
    SDL_DisplayMode mode;
    const char* problem = nullptr;
    if (!findSdlMode(platformSdl.requestedMode, &mode))
        problem = "the screen offers no such mode";
    else if (SDL_SetWindowDisplayMode(window, &mode) != 0 ||
             SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0)
        problem = SDL_GetError();
    if (!problem) {
        platformSdl.fullscreen = true;
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    SDL_SetWindowBordered(window, SDL_TRUE);
    SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    char text[320];
    std::snprintf(text, sizeof text,
                  "Vexarion: the screen could not switch to %dx%d, %dbit (%s); playing in a window of that size.\n",
                  width, height, platformSdl.requestedMode.bitsPerPixel, problem);
    noticeShow(NOTICE_WARNING, text);
}

bool windowCreateMain(const char* title, int width, int height, int colourBits, int flags)
{
    if (!platformSdl.initialised || platformSdl.mainWindow)
        return false;

    // The pixel format: RGBA with the mode's colour depth, a 16-bit depth
    // buffer and double buffering.
    int channel = (colourBits & 0xFF) <= 16 ? 5 : 8;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel == 5 ? 6 : 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

    // A desktop window can be resized; the program's windows draw in pixels
    // on high-density screens too.
    const bool decorated = (flags & WINDOW_DECORATED) != 0;
    Uint32 sdlFlags = SDL_WINDOW_OPENGL | (decorated ? SDL_WINDOW_RESIZABLE : SDL_WINDOW_BORDERLESS);
    sdlFlags |= (flags & WINDOW_HIDDEN) ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN;
    if (flags & (WINDOW_DECORATED | WINDOW_FULLSCREEN))
        sdlFlags |= SDL_WINDOW_ALLOW_HIGHDPI;
    int x = decorated ? SDL_WINDOWPOS_UNDEFINED : 0, y = x;
    if (decorated)
        sdlWindowedPlace(&x, &y);
    SDL_Window* window = SDL_CreateWindow(title, x, y, width, height, sdlFlags);
    if (!window) {
        noticeShow(NOTICE_WARNING, std::string("Vexarion: cannot open the window: ") + SDL_GetError() + "\n");
        return false;
    }
    platformSdl.mainWindow = window;
    platformSdl.fullscreen = false;
    sdlGiveIcon(window);

    // The window's keys are commands: no text input, and no input method
    // that would take them to compose text (input.cpp).
    SDL_StopTextInput();
    if ((flags & WINDOW_FULLSCREEN) && platformSdl.modeRequested)
        enterFullScreen(window, width, height);
    return true;
}

void windowGetGeometry(int* x, int* y, int* width, int* height)
{
    int wx = 0, wy = 0, ww = 0, wh = 0;
    if (platformSdl.mainWindow) {
        SDL_GetWindowPosition(platformSdl.mainWindow, &wx, &wy);
        SDL_GetWindowSize(platformSdl.mainWindow, &ww, &wh);
    }
    if (x)
        *x = wx;
    if (y)
        *y = wy;
    if (width)
        *width = ww;
    if (height)
        *height = wh;
}

void windowDestroyMain()
{
    glContextRelease();
    if (platformSdl.mainWindow) {
        sdlSettleAdoptedWindow();
        SDL_DestroyWindow(platformSdl.mainWindow);
        sdlSettleAdoptedWindow();
        platformSdl.mainWindow = nullptr;
    }
    if (platformSdl.fullscreen)
        SDL_ShowCursor(SDL_ENABLE);
    platformSdl.fullscreen = false;
}
