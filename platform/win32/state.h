// State shared by the Win32 backends of the platform services (not a public
// header: only the files in platform/win32/ include it).
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/display.h"

// What the main window is as a screen saver (saver_window.cpp).
enum SaverWindow { SAVER_NONE, SAVER_FULL, SAVER_PREVIEW };

struct PlatformWin32State {
    bool initialised;
    HINSTANCE instance;
    HFONT stockFont;  // the font given to the windows the program creates
    HWND mainWindow;
    int colourBits;  // the depth asked for when the main window opened
    HDC windowDC;    // the main window's device context, kept while it lives
    HGLRC glContext;
    bool modeRequested;         // displayChangeMode() asked for a full-screen mode
    DisplayMode requestedMode;  // the mode it asked for
    bool modeChanged;           // the screen is in that mode now
    bool fullScreen;            // the main window is a full-screen one, fullScreenWidth x fullScreenHeight
    int fullScreenWidth;
    int fullScreenHeight;
    bool active;         // the program's windows are the ones in front
    bool refusalToTell;  // a mode switch was refused since the user was last told
    bool modeLost;       // the system changed the screen's mode away from the requested one
    SaverWindow saver;   // the main window is the screen saver's
    HWND saverParent;    // the preview window it draws in, for SAVER_PREVIEW
};

extern PlatformWin32State platformWin32;

// The window class of the main window.
extern const wchar_t* const mainWindowClass;

// Declares the process DPI aware, once; before any window exists.
void declareDpiAware();

// The main window's procedure (window.cpp).
LRESULT CALLBACK windowMessageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Full screen as Windows users expect it (fullscreen.cpp). Switching to the
// requested mode: true when the screen is in it afterwards.
bool applyRequestedMode();
// Giving the desktop its own mode back, if the program changed it.
void restoreDesktopMode();
// The main window stops being full screen: an ordinary window of the same
// client size, placed in the middle of the desktop.
void fallBackToWindow(HWND window);
// Handles the messages that full screen changes the meaning of (activation,
// display changes, the screen saver, the cursor). True, with *result set,
// when the message needs no further handling.
bool fullScreenMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
// Tells the user about a refused mode switch, outside any window procedure.
void tellRefusedMode();
// What waits until the window's messages are handled: switching the mode
// again after the system changed it, and telling about a refusal.
void fullScreenAfterMessages();

// The style of an ordinary main window: a title bar, a sizing border and
// the maximise box.
const DWORD windowedStyle = WS_OVERLAPPEDWINDOW;
// Gives a window the program's icon, if one was set (window_place.cpp).
void win32GiveIcon(HWND window);
// The outer frame of a new ordinary window; false when the system is to
// place it (window_place.cpp).
bool win32WindowedFrame(RECT* frame);
// The screen saver's window (saver_window.cpp): the messages that end the
// full-screen saver (true, with *result set, when handled), and, after the
// messages, the preview following its window's size and ending with it.
bool saverMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
void saverAfterMessages();
