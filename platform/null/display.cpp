// The null backend's display: no screen, no modes, no dialog and a main
// window that exists only as a size. A replay built on it runs the scene
// without a picture; the program itself finds no display and says so.
//
// This folder is also the template for a new backend: each function below
// says in one line what a real backend must do there.
#include "platform/display.h"
#include "platform/saver_dialog.h"

namespace {

struct NullWindow {
    bool open = false;
    int width = 0;
    int height = 0;
};

NullWindow window;

}  // namespace

bool platformInit()
{
    // Start the video and event services; false when there is no display at all.
    return true;
}

bool displayIsVisible()
{
    // Tell whether a window opened now would be seen by a person.
    return false;
}

void platformShutdown()
{
    // Close any window still open and stop the services platformInit() started.
    window = NullWindow{};
}

bool displayEnumMode(int, DisplayMode*)
{
    // Fill in the screen's mode number n in the system's order; false past the last.
    return false;
}

bool displayDesktopMode(DisplayMode*)
{
    // Fill in the mode the desktop is in now; false when it can't be read.
    return false;
}

void displayChangeMode(const DisplayMode&)
{
    // Remember (or make) the full-screen switch that the main window then takes.
}

void displayRestoreMode()
{
    // Give the desktop its own mode back, leaving the main window open.
}

bool dialogRun(const char* const*, int, int* selected)
{
    // Show the mode dialog and wait for "Start!" (true, *selected set) or its close box (false).
    *selected = -1;
    return false;
}

bool windowCreateMain(const char*, int width, int height, int, int)
{
    // Open the one main window of that size, able to carry an OpenGL context.
    window = NullWindow{true, width, height};
    return true;
}

bool windowCreateInside(uint64_t, int)
{
    // Draw inside the system's window `host` (an X window itself, a child window on Windows).
    return false;
}

bool windowCreateSaver(int)
{
    // Cover the whole screen as the system's screen saver, in the desktop's mode.
    return false;
}

bool saverSettingsDialog(uint64_t, SaverChoices*)
{
    // Show the screen saver's settings dialog; there is none to show here.
    return false;
}

void windowGetGeometry(int* x, int* y, int* width, int* height)
{
    // Report the main window's position on the screen and its size in pixels.
    if (x)
        *x = 0;
    if (y)
        *y = 0;
    if (width)
        *width = window.width;
    if (height)
        *height = window.height;
}

void windowDestroyMain()
{
    // Close the main window (and its context, if one is still there).
    window = NullWindow{};
}
