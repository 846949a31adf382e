// Driving the real program's windows under X as a person would: finding the
// dialog and the main window, clicking, closing a window as its close box
// does, and whether a window is decorated.
#pragma once
#include <string>

#include <sys/types.h>

struct Geometry {
    int x = -1, y = -1, width = 0, height = 0;
};

// Opens the test's lasting connection to the display and creates the Motif
// hints atom, so programs set their decoration hints even without a window
// manager. While it is open the server can't reset (as one started without
// -noreset does when its last client leaves) under a program starting up.
bool x11Connect();

Geometry windowGeometry(const std::string& window);
std::string findMainWindow(double seconds);  // "Vexarion", or "" when none showed
std::string findDialog(pid_t pid);           // the process's dialog-sized window within 10 s, or ""
void clickDialog(const std::string& dialog, double x, double y);  // in dialog units (1.75 pixels)
bool x11RequestClose(const std::string& window);                  // WM_DELETE_WINDOW, as the close box sends
bool x11IsUndecorated(const std::string& window);                 // asked for no decoration, or override-redirect
