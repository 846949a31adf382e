// The real program as a person meets it, under a virtual X display: the
// start-up dialog, "Start!", the full-screen window, Esc; or closing the
// dialog. Driven with xdotool and checked with X's own view of the windows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "tests/support/desktop.h"
#include "tests/support/png_read.h"
#include "tests/support/process.h"
#include "tests/support/x11_window.h"

namespace {

Geometry screenGeometry()
{
    Geometry g;
    std::istringstream words(commandOutput("xdotool getdisplaygeometry"));
    words >> g.width >> g.height;
    return g;
}

// Mean brightness (0-255) of the whole screen, saved to `path` for a look.
double screenMean(const std::string& path)
{
    Picture screen;
    x11CaptureScreen(&screen);
    writePng(path, screen);
    return screen.meanBrightness();
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
    // Open the list (the combo box at (80, 56), 117 units wide), pick its
    // first entry, then press "Start!".
    clickDialog(dialog, 138, 61);
    sleepSeconds(0.4);
    clickDialog(dialog, 100, 75);
    sleepSeconds(0.4);
    EXPECT_TRUE(findMainWindow(0.5).empty()) << "the window opened before Start!";
    clickStart(dialog);

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
