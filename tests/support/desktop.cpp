// Driving the program's windows under X; see desktop.h.
#include "tests/support/desktop.h"

#include <cstdlib>
#include <sstream>

#include "tests/support/process.h"

Geometry windowGeometry(const std::string& window)
{
    Geometry g;
    std::istringstream lines(commandOutput("xdotool getwindowgeometry --shell " + window + " 2>/dev/null"));
    std::string line;
    while (std::getline(lines, line)) {
        size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string key = line.substr(0, eq);
        int value = std::atoi(line.c_str() + eq + 1);
        if (key == "X")
            g.x = value;
        else if (key == "Y")
            g.y = value;
        else if (key == "WIDTH")
            g.width = value;
        else if (key == "HEIGHT")
            g.height = value;
    }
    return g;
}

std::string findWindow(const std::string& search, double seconds)
{
    for (int attempt = 0; attempt < seconds * 10; attempt++) {
        std::string id = commandOutput("xdotool search --onlyvisible " + search + " 2>/dev/null | head -1");
        if (!id.empty())
            return id;
        sleepSeconds(0.1);
    }
    return "";
}

std::string findDialog(pid_t pid)
{
    for (int attempt = 0; attempt < 100; attempt++) {
        std::istringstream ids(
            commandOutput("xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null"));
        std::string id;
        while (ids >> id) {
            Geometry g = windowGeometry(id);
            if (g.width > 200 && g.width < 600 && g.height > 100 && g.height < 400)
                return id;
        }
        sleepSeconds(0.1);
    }
    return "";
}

std::string findMainWindow(double seconds)
{
    return findWindow("--name '^Vexarion$'", seconds);
}

void clickDialog(const std::string& dialog, double x, double y)
{
    Geometry d = windowGeometry(dialog);
    commandOutput("xdotool mousemove " + std::to_string(d.x + static_cast<int>(x * 1.75)) + " " +
                  std::to_string(d.y + static_cast<int>(y * 1.75)) + " click 1");
}

void clickStart(const std::string& dialog)
{
    clickDialog(dialog, 159 + 39 / 2.0, 76 + 14 / 2.0);
}
