// The real program as a person meets it, under a virtual X display: the
// start-up dialog, "Start!", the full-screen window, Esc; or closing the
// dialog. Driven with xdotool and checked with X's own view of the windows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "tests/support/process.h"
#include "tests/support/x11_window.h"

namespace {

struct Geometry {
    int x = -1, y = -1, width = 0, height = 0;
};

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
        if (key == "X") g.x = value;
        else if (key == "Y") g.y = value;
        else if (key == "WIDTH") g.width = value;
        else if (key == "HEIGHT") g.height = value;
    }
    return g;
}

// The visible window of the process whose size is that of the dialog.
std::string findDialog(pid_t pid)
{
    for (int attempt = 0; attempt < 100; attempt++) {
        std::istringstream ids(commandOutput("xdotool search --onlyvisible --pid " + std::to_string(pid) +
                                             " 2>/dev/null"));
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
    for (int attempt = 0; attempt < seconds * 10; attempt++) {
        std::string id = commandOutput("xdotool search --onlyvisible --name '^Vexarion$' 2>/dev/null | head -1");
        if (!id.empty())
            return id;
        sleepSeconds(0.1);
    }
    return "";
}

Geometry screenGeometry()
{
    Geometry g;
    std::istringstream words(commandOutput("xdotool getdisplaygeometry"));
    words >> g.width >> g.height;
    return g;
}

// Mean brightness (0-255) of the whole screen, and where the shot went.
double screenMean(const std::string& path)
{
    commandOutput("import -window root " + path);
    return std::atof(commandOutput("convert " + path + " -colorspace gray -format '%[fx:mean*255]' info:").c_str());
}

const std::string runDir = VEXARION_RUN_DIR;


}  // namespace

TEST(ProgramEndToEnd, StartOpensAFullScreenWindowAndEscQuitsWithCodeZero)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X display (run under xvfb-run)";
    ASSERT_TRUE(x11PrepareWindowManagerAtoms());
    pid_t pid = startProcess({runDir + "/vexarion"}, runDir, {"ALSOFT_DRIVERS=null"});
    ASSERT_GT(pid, 0);
    ChildGuard guard{pid};

    std::string dialog = findDialog(pid);
    ASSERT_FALSE(dialog.empty()) << "no dialog appeared";
    Geometry d = windowGeometry(dialog);
    // The dialog is laid out in units of 1.75 pixels: the combo box at
    // (80, 56) and 117 wide, "Start!" at (159, 76), 39 x 14.
    auto at = [&](double ux, double uy) {
        return std::to_string(d.x + static_cast<int>(ux * 1.75)) + " " + std::to_string(d.y + static_cast<int>(uy * 1.75));
    };
    // Open the list, pick its first entry, then press "Start!".
    commandOutput("xdotool mousemove " + at(138, 61) + " click 1");
    sleepSeconds(0.4);
    commandOutput("xdotool mousemove " + at(100, 75) + " click 1");
    sleepSeconds(0.4);
    EXPECT_TRUE(findMainWindow(0.5).empty()) << "the window opened before Start!";
    commandOutput("xdotool mousemove " + at(178, 83) + " click 1");

    std::string window = findMainWindow(20);
    ASSERT_FALSE(window.empty()) << "no main window after Start!";
    sleepSeconds(1.5);
    Geometry g = windowGeometry(window);
    Geometry screen = screenGeometry();
    EXPECT_EQ(g.x, 0);
    EXPECT_EQ(g.y, 0);
    EXPECT_EQ(g.width, screen.width);  // the only mode Xvfb offers is its screen
    EXPECT_EQ(g.height, screen.height);
    EXPECT_TRUE(x11IsUndecorated(std::stoul(window)));
    EXPECT_GT(screenMean(runDir + "/e2e-start.png"), 8.0) << "the scene is black";

    commandOutput("xdotool windowfocus --sync " + window + " key Escape");
    int code = -1;
    bool ended = guard.ended = waitProcess(pid, 15, &code);
    ASSERT_TRUE(ended) << "Esc did not end the program";
    EXPECT_EQ(code, 0);
}

TEST(ProgramEndToEnd, ClosingTheDialogQuitsWithCodeZeroAndOpensNoWindow)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X display (run under xvfb-run)";
    pid_t pid = startProcess({runDir + "/vexarion"}, runDir, {"ALSOFT_DRIVERS=null"});
    ASSERT_GT(pid, 0);
    ChildGuard guard{pid};
    std::string dialog = findDialog(pid);
    ASSERT_FALSE(dialog.empty()) << "no dialog appeared";

    // Enter and Esc mean nothing in the dialog.
    commandOutput("xdotool windowfocus --sync " + dialog + " key Return key Escape");
    sleepSeconds(0.5);
    int code = -1;
    EXPECT_FALSE(waitProcess(pid, 0.2, &code)) << "a key ended the dialog";
    EXPECT_TRUE(findMainWindow(0.2).empty());

    ASSERT_TRUE(x11RequestClose(std::stoul(dialog)));
    bool ended = guard.ended = waitProcess(pid, 15, &code);
    ASSERT_TRUE(ended) << "closing the dialog did not end the program";
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(findMainWindow(0.3).empty());
}
