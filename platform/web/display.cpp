// The display on a browser page: the canvas is the main window. The page's
// start form (index.html) replaces the mode dialog and chooses the canvas
// size, or the whole screen through the Fullscreen API; the program then
// opens its window at that size and draws into the canvas.
#include <emscripten/emscripten.h>

#include "platform/display.h"
#include "platform/saver_dialog.h"
#include "platform/web/web_state.h"

PlatformWebState platformWeb = {false, 0, 0, 0, FRAMES_PER_DISPLAY, false};
const char* const canvasSelector = "#canvas";

void inputWebStart();       // input.cpp
void visibilityWebStart();  // visibility.cpp

bool platformInit()
{
    if (!platformWeb.initialised) {
        platformWeb.initialised = true;
        inputWebStart();
        visibilityWebStart();
    }
    return true;
}

bool displayIsVisible()
{
    return true;
}

void platformShutdown()
{
    windowDestroyMain();
    platformWeb.initialised = false;
}

bool displayEnumMode(int, DisplayMode*)
{
    // The page offers canvas sizes itself; there are no screen modes to switch.
    return false;
}

bool displayDesktopMode(DisplayMode* mode)
{
    mode->width = EM_ASM_INT({ return screen.width; });
    mode->height = EM_ASM_INT({ return screen.height; });
    mode->bitsPerPixel = 24;
    return mode->width > 0 && mode->height > 0;
}

void displayChangeMode(const DisplayMode&)
{
    // The page asked for full screen when the user pressed Start!.
}

void displayRestoreMode()
{
    emscripten_exit_fullscreen();
}

bool dialogRun(const char* const*, int, int* selected)
{
    // The start form of the page has run before the program starts.
    *selected = -1;
    return false;
}

bool windowCreateMain(const char*, int width, int height, int, int)
{
    // The canvas is shown at exactly its size in pixels: no scaling. The
    // live page then lets it fill the window (index.html).
    emscripten_set_canvas_element_size(canvasSelector, width, height);
    emscripten_set_element_css_size(canvasSelector, width, height);
    platformWeb.width = width;
    platformWeb.height = height;
    return true;
}

bool windowCreateInside(uint64_t, int)
{
    // A page has no windows of the system's to draw in, nor a screen saver.
    return false;
}

bool windowCreateSaver(int)
{
    return false;
}

bool saverSettingsDialog(uint64_t, SaverChoices*)
{
    return false;
}

void windowGetGeometry(int* x, int* y, int* width, int* height)
{
    if (x)
        *x = 0;
    if (y)
        *y = 0;
    int w = 0, h = 0;
    canvasPixels(&w, &h);
    if (width)
        *width = w;
    if (height)
        *height = h;
}

void windowDestroyMain()
{
    // The canvas belongs to the page and stays, with the last frame on it.
}
