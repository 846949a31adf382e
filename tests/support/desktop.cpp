// Driving the program's windows under X; see desktop.h.
#include "tests/support/desktop.h"

#include <cstdio>
#include <sstream>

#include <X11/Xlib.h>

#include "tests/support/process.h"

namespace {

Display* display = nullptr;

Window idOf(const std::string& window)
{
    return static_cast<Window>(std::stoul(window));
}

// The first visible window xdotool finds by `arguments` (and with a dialog's
// size when asked) within `seconds`; "" when none.
std::string waitForWindow(const std::string& arguments, double seconds, bool dialogSized)
{
    for (int attempt = 0; attempt <= seconds * 10; attempt++, sleepSeconds(0.1)) {
        std::istringstream ids(commandOutput("xdotool search --onlyvisible " + arguments + " 2>/dev/null"));
        for (std::string id; ids >> id;) {
            Geometry g = windowGeometry(id);
            if (!dialogSized || (g.width > 200 && g.width < 600 && g.height > 100 && g.height < 400))
                return id;
        }
    }
    return "";
}

}  // namespace

bool x11Connect()
{
    if (!display) {
        display = XOpenDisplay(nullptr);
        // A window that closes while it is being looked at is no reason to exit.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    return display && XInternAtom(display, "_MOTIF_WM_HINTS", False) != None && XSync(display, False);
}

Geometry windowGeometry(const std::string& window)
{
    Geometry g;
    XWindowAttributes a;
    Window child;
    if (x11Connect() && XGetWindowAttributes(display, idOf(window), &a)) {
        XTranslateCoordinates(display, idOf(window), a.root, 0, 0, &g.x, &g.y, &child);
        g.width = a.width;
        g.height = a.height;
    }
    return g;
}

std::string findMainWindow(double seconds)
{
    return waitForWindow("--name '^Vexarion$'", seconds, false);
}

std::string findDialog(pid_t pid)
{
    return waitForWindow("--pid " + std::to_string(pid), 10, true);
}

void clickDialog(const std::string& dialog, double x, double y)
{
    Geometry d = windowGeometry(dialog);
    commandOutput("xdotool mousemove " + std::to_string(d.x + static_cast<int>(x * 1.75)) + " " +
                  std::to_string(d.y + static_cast<int>(y * 1.75)) + " click 1");
}

bool x11RequestClose(const std::string& window)
{
    if (!x11Connect())
        return false;
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = idOf(window);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    Status sent = XSendEvent(display, idOf(window), False, NoEventMask, &event);
    return XSync(display, False) && sent;
}

bool x11IsUndecorated(const std::string& window)
{
    // "_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x2, 0x0, 0x0, ...": flags, functions,
    // decorations; flag 2 says the decorations field counts.
    const std::string hints = commandOutput("xprop -id " + window + " _MOTIF_WM_HINTS 2>/dev/null") + "=";
    unsigned long flags = 0, functions = 0, decorations = 1;
    std::sscanf(hints.c_str() + hints.find('='), "= %lx, %lx, %lx", &flags, &functions, &decorations);
    return (flags & 2) && decorations == 0;
}
