// Asking an X window to close, as a window manager does when the user
// clicks its close box (the WM_DELETE_WINDOW protocol message).
#pragma once

struct Picture;

// False when the display can't be opened or the window id is invalid.
bool x11RequestClose(unsigned long window);

// Whether the window has no decoration: it asked the window manager for none
// (the Motif hints) or it is override-redirect.
bool x11IsUndecorated(unsigned long window);

// Creates the atoms a window manager would have created (the Motif hints),
// so that programs started afterwards set their decoration hints even on a
// bare X server. Keeps a connection open so the server keeps them.
bool x11PrepareWindowManagerAtoms();

// Captures the whole screen into `picture` (top row first). Much quicker
// than starting a screenshot program, so a short flash can be caught.
bool x11CaptureScreen(Picture* picture);
