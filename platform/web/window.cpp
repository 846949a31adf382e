// The main window on a browser page, the canvas: full screen through the
// page's Fullscreen API, its size in pixels, and whether the page is seen
// and focused. The page shows its own icon, so the program's is not used.
//
// The live scene's canvas fills the browser's window, and the page sizes its
// pixels as the window changes; the picture fills whatever size it has now.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include "platform/web/web_state.h"
#include "platform/window.h"

namespace {

WindowPlace windowedPlace;

// What goes full screen: the canvas with the touch buttons over it.
const char* const sceneSelector = "#scene";

}  // namespace

void canvasPixels(int* width, int* height)
{
    int w = 0, h = 0;
    if (emscripten_get_canvas_element_size(canvasSelector, &w, &h) == EMSCRIPTEN_RESULT_SUCCESS && w > 0 && h > 0) {
        platformWeb.width = w;
        platformWeb.height = h;
    }
    *width = platformWeb.width;
    *height = platformWeb.height;
}

void windowSetWindowedPlace(const WindowPlace& place)
{
    // The canvas sits where the page puts it; the size is kept for asking.
    windowedPlace = place;
}

WindowPlace windowWindowedPlace()
{
    WindowPlace place = windowedPlace;
    canvasPixels(&place.width, &place.height);
    return place;
}

void windowSetFullscreen(bool fullscreen)
{
    // A browser takes a full-screen request only while it handles the
    // user's input: the request waits for the next key or click.
    if (fullscreen)
        emscripten_request_fullscreen(sceneSelector, 1);
    else
        emscripten_exit_fullscreen();
}

bool windowIsFullscreen()
{
    EmscriptenFullscreenChangeEvent status;
    return emscripten_get_fullscreen_status(&status) == EMSCRIPTEN_RESULT_SUCCESS && status.isFullscreen;
}

void windowDrawableSize(int* width, int* height)
{
    canvasPixels(width, height);
}

bool windowIsShown()
{
    return EM_ASM_INT({ return document.visibilityState == 'visible' ? 1 : 0; }) != 0;
}

bool windowHasFocus()
{
    return EM_ASM_INT({ return document.hasFocus() ? 1 : 0; }) != 0;
}

void windowSetIcon(const uint8_t*, int, int) {}
