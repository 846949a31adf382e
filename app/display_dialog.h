// The display-mode dialog, the main window and its window procedure.
//
// Before anything loads, the user picks one of the screen's modes in a small
// dialog; "Start!" switches the screen to it and the main loop opens a
// borderless window of exactly that size at the top-left corner. Closing the
// dialog ends the program.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/input.h"

// The chosen mode, kept for the rest of the run, and what the window
// procedure leaves for the frame loop.
struct MainWindow {
    uint32_t screenWidth = 0;
    uint32_t screenHeight = 0;
    uint32_t screenBits = 0;
    bool screenshotRequested = false;  // F12: the frame being drawn is to be saved
};
extern MainWindow mainWindow;

// The modes the dialog offers, in the order the system enumerates them
// (duplicates kept), their combo-box texts, and the entry selected at first.
struct ModeList {
    std::vector<DisplayMode> modes;
    std::vector<std::string> texts;  // "%dx%d, %dbit"
    int defaultIndex;
};

// Lists every mode deeper than 8 bits that `enumMode` yields for n = 0, 1, ...
// until its first failure. The default is the last 640 x 480 x 16 entry,
// else the first.
void buildModeList(bool (*enumMode)(int n, DisplayMode* mode), ModeList* list);

// Makes the first entry of `mode` the default, when the list has it.
void preferMode(ModeList* list, const DisplayMode& mode);

// Shows the dialog, with `preferred` (the mode last started) preselected
// while the list has it. True when the user pressed "Start!": the screen
// has been switched (unless no mode could be listed, in which case the
// desktop's mode is kept) and the mode's size and depth are set in
// mainWindow, and *started (when given) is the mode switched to, or 0 x 0
// when none was. False when the user closed the dialog; nothing has been
// changed then.
bool runDisplayModeDialog(const DisplayMode* preferred = nullptr, DisplayMode* started = nullptr);

// Opens the main window, borderless at (0, 0), width x height pixels, full
// screen in the mode the dialog switched to. `fullscreen` false opens a
// borderless window of that size in the desktop's mode (the replay).
bool createMainWindow(const char* title, uint32_t width, uint32_t height, bool fullscreen);

// Opens the main window as an ordinary decorated desktop window of
// width x height pixels, in the desktop's mode: no dialog, no mode switch.
// Sets the mode's size and depth in mainWindow.
bool createDesktopWindow(const char* title, uint32_t width, uint32_t height);

// The window procedure: typed characters go to the character commands,
// a close request posts the quit message with code 0, the screenshot key
// sets mainWindow.screenshotRequested (the program saves the frame before
// its buffer swap and clears it), and Alt+Return or F11 turns full screen
// on or off.
void mainWindowProc(const Message& message);
