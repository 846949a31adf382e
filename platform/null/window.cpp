// The null backend's desktop window: there is no screen, so the main window
// is never full screen, never seen and never focused, and has no icon.
#include "platform/window.h"
#include "platform/display.h"

namespace {

WindowPlace windowedPlace;

}  // namespace

void windowSetWindowedPlace(const WindowPlace& place)
{
    // Keep the place (if it lies on a screen) for the next ordinary window and for leaving full screen.
    windowedPlace = place;
}

WindowPlace windowWindowedPlace()
{
    // Report the window's place as an ordinary window; while full screen, the one it goes back to.
    return windowedPlace;
}

void windowSetFullscreen(bool)
{
    // Switch the main window to full screen (or back to its place as an ordinary, resizable window).
}

bool windowIsFullscreen()
{
    // Whether the main window is full screen now.
    return false;
}

void windowDrawableSize(int* width, int* height)
{
    // Report the size in pixels of the main window's OpenGL drawable.
    windowGetGeometry(nullptr, nullptr, width, height);
}

bool windowIsShown()
{
    // Whether the main window can be seen (not minimised, not hidden).
    return false;
}

bool windowHasFocus()
{
    // Whether the main window has the keyboard focus.
    return false;
}

void windowSetIcon(const uint8_t*, int, int)
{
    // Keep the RGBA icon for the dialog and the main windows opened later (and the one open now).
}
