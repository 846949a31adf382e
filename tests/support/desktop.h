// Driving the real program's windows under X as a person would, with
// xdotool: finding the dialog and the main window, their geometry, and
// clicks on the dialog's controls.
#pragma once
#include <string>

#include <sys/types.h>

struct Geometry {
    int x = -1, y = -1, width = 0, height = 0;
};

Geometry windowGeometry(const std::string& window);

// The first visible window that `xdotool search --onlyvisible <search>`
// finds within `seconds`; "" when none appeared.
std::string findWindow(const std::string& search, double seconds);

// The process's visible window with the start-up dialog's size; "" when it
// did not appear within ten seconds.
std::string findDialog(pid_t pid);

// The program's main window, "Vexarion".
std::string findMainWindow(double seconds);

// Clicks the dialog at (x, y) in its template's dialog units (1.75 pixels).
void clickDialog(const std::string& dialog, double x, double y);

// Clicks the middle of "Start!", at (159, 76) and 39 x 14 units.
void clickStart(const std::string& dialog);
