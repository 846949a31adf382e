// Display modes, the start-up dialog and the main window.
//
// The program lists the screen's modes, lets the user pick one in a small
// dialog, switches the screen to it and opens one borderless window of that
// size at the screen's top-left corner; or, asked for a window, opens an
// ordinary decorated one on the desktop. The desktop's mode comes back at
// teardown; the window itself stays until the process ends.
#pragma once
#include <cstdint>

struct DisplayMode {
    int width;
    int height;
    int bitsPerPixel;
};

// Starts the platform's video and event services. Must be called once
// before anything else in platform/ except the clock. False if there is
// no display to talk to.
bool platformInit();

// Whether windows opened now can be seen by a person. False when no display
// was found and the platform fell back on its own to a video driver that
// shows nothing (SDL's offscreen or dummy driver); a driver the user asked
// for by name counts as seen. Valid after platformInit().
bool displayIsVisible();
// Shuts the platform services down (closes any window still open).
void platformShutdown();

// Mode number n of the screen, in the system's order, duplicates kept.
// False when n is past the last mode (enumeration stops there).
bool displayEnumMode(int n, DisplayMode* mode);

// The mode the desktop is in now.
bool displayDesktopMode(DisplayMode* mode);

// Requests a full-screen switch to the given mode (width, height and colour
// depth; the refresh rate is not requested). The switch takes effect on the
// main window, which windowCreateMain() opens full-screen in that mode.
void displayChangeMode(const DisplayMode& mode);

// Gives the desktop its own mode back. The main window stays open.
void displayRestoreMode();

// Runs the start-up dialog: a small window with an empty title showing
// the two static texts, a combo box of the given entries with the entry
// `selected` chosen, and a "Start!" button. Returns true when "Start!" was
// pressed, with *selected set to the chosen entry (-1 when the list is
// empty); false when the user closed the dialog. Enter, Tab and Esc have no
// meaning in it. The dialog is gone when this returns.
bool dialogRun(const char* const* entries, int count, int* selected);

enum WindowFlags {
    WINDOW_FULLSCREEN = 1,  // take the mode requested with displayChangeMode()
    WINDOW_HIDDEN = 2,      // never mapped on screen (tests)
    WINDOW_DECORATED = 4,   // an ordinary desktop window with a title bar and
                            // borders, placed by the window manager
};

// Opens the main window: borderless, at (0, 0) (decorated and placed by the
// window manager with WINDOW_DECORATED), width x height pixels, able
// to carry an OpenGL context with the given colour depth, a 16-bit depth
// buffer and double buffering. Only one main window exists at a time.
// Full screen, it hides the cursor, and while another program is in front
// it is minimised with the desktop in its own mode. When the screen refuses
// the requested mode, the window is an ordinary decorated one of that size
// and the user is told (notice.h).
bool windowCreateMain(const char* title, int width, int height, int colourBits, int flags);

// The screen saver's main windows, in the desktop's own mode, each able to
// carry an OpenGL context as windowCreateMain()'s (false when the system has
// no such window, or the window can't be had):
//
// windowCreateInside() draws inside a window of the system's that exists
// already, `host` its native handle (an X window's id, a Win32 HWND): on X
// the scene is drawn straight into that window, which keeps its owner's
// input, as X screen savers do; on Windows into a child window covering it
// and following its size, and a close message arrives once it goes away.
//
// windowCreateSaver() covers the whole screen as the system's screen saver:
// on X by drawing into the root window; on Windows with a topmost window
// over every screen, the cursor hidden, that the first key, click or mouse
// movement of more than a few pixels (or another window coming to the
// front) closes with a close message.
bool windowCreateInside(uint64_t host, int colourBits);
bool windowCreateSaver(int colourBits);

// The main window's size in pixels and its position on the screen.
void windowGetGeometry(int* x, int* y, int* width, int* height);

// Closes the main window (tests and tools; the program keeps it open).
void windowDestroyMain();
