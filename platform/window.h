// The main window on today's desktops: full screen and back, its place as an
// ordinary window, the size of what is drawn in it, whether anyone can see it
// or types into it, and the program's icon.
//
// An ordinary ("decorated") main window can be resized and moved by the user.
// Full screen is either the mode displayChangeMode() asked for, or a
// borderless window covering the desktop at its own size.
#pragma once
#include <cstdint>

// Where an ordinary window sits: the top-left corner of its frame (title
// bar and borders included) on the screen, as window managers place it, and
// the size of its client area in pixels. `placed` false lets the system
// place it.
struct WindowPlace {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool placed = false;
};

// The place the next ordinary window takes: a decorated main window opened
// after this, or a full-screen one the first time it leaves full screen. A
// place that lies on no screen is dropped and the system places the window.
void windowSetWindowedPlace(const WindowPlace& place);

// The size and place the main window has as an ordinary window; while full
// screen, the one it goes back to.
WindowPlace windowWindowedPlace();

// Switches the main window between full screen and an ordinary window.
// Full screen: on Linux at the desktop's size, with no mode change (the
// first full screen, from the dialog, keeps its mode); on Windows in the
// mode the dialog chose, or at the desktop's size when none was chosen.
// Back in a window: the place it had before, else the one set above.
void windowSetFullscreen(bool fullscreen);
bool windowIsFullscreen();

// The size in pixels of what is drawn in the main window: the OpenGL
// drawable, which on a high-density screen can be larger than the window's
// size in screen units. 0 x 0 without a main window.
void windowDrawableSize(int* width, int* height);

// Whether the main window can be seen at all (false while it is minimised or
// hidden), and whether it has the keyboard focus.
bool windowIsShown();
bool windowHasFocus();

// The program's icon, width x height pixels of RGBA, top row first; the
// dialog and the main window opened after this carry it.
void windowSetIcon(const uint8_t* rgba, int width, int height);
