// State shared by the Win32 backends of the platform services (not a public
// header: only the files in platform/win32/ include it).
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

struct PlatformWin32State {
    bool initialised;
    HINSTANCE instance;
    HFONT stockFont;  // the font given to the windows the program creates
    HWND mainWindow;
    int colourBits;  // the depth asked for when the main window opened
    HDC windowDC;    // the main window's device context, kept while it lives
    HGLRC glContext;
    bool modeChanged;  // the screen is in a mode the program switched to
};

extern PlatformWin32State platformWin32;

// The window class of the main window.
extern const char* const mainWindowClass;

// Declares the process DPI aware, once; before any window exists.
void declareDpiAware();
