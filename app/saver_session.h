// The scene as a screen saver: the attract mode with no dialog, drawn over
// the whole screen or inside a window of the system's.
//
// On Linux this is an XScreenSaver hack (vexarion --root, or --window-id
// ID): it draws into the window XSCREENSAVER_WINDOW names, the root window,
// or the given one, until SIGTERM. On Windows it is vexarion.scr's /s (the
// whole screen, ended by the first key, click or mouse movement) and its /p
// HWND (the preview, silent, until that window goes away). Either way it
// runs in the desktop's own mode, reads the settings (the reduced flash,
// the attract's pause, the saver's sound) without ever writing them, keeps
// to 60 frames a second, and exits 0 when told to end.
#pragma once

#include "app/options.h"

// Whether the command line asks for the screen saver (--root or --window-id).
bool wantsScreenSaver(const Options& options);

// The Windows saver's settings dialog (--configure): the reduced flash, the
// saver's sound and how often the elements come, written to the settings
// when the user presses OK. Returns 0, or 1 when the dialog can't be shown.
int runSaverSettings(const Options& options);

// The whole screen saver for `program`'s command line; returns its exit
// code (0 when it was told to end, 1 when it could not start, 2 for options
// that don't go with it).
int runScreenSaver(Program program, const Options& options);
