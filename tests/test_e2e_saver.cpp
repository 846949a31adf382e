// The program at rest, under a virtual X display: as a screen saver drawing
// into a window that another program made (--window-id, and --root with
// XSCREENSAVER_WINDOW) until SIGTERM; the X server's own screen saver held
// off only while the scene is full screen and in front; and the attract
// mode's session, recorded, replaying to the same trace without it.
// And Debian's own XScreenSaver running the hack over the whole screen.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <signal.h>
#include <unistd.h>

#include <X11/Xlib.h>

#include "tests/support/desktop.h"
#include "tests/support/png_read.h"
#include "tests/support/process.h"
#include "tests/support/replay_run.h"

namespace fs = std::filesystem;

namespace {

const std::string runDir = VEXARION_RUN_DIR;
const std::string tools = std::string(VEXARION_SOURCE_DIR) + "/tools/";

fs::path scratch(const std::string& name)
{
    fs::path folder = fs::temp_directory_path() / ("vexarion-e2e-saver-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// A plain window of the test's own, as a screen saver's host makes one.
struct HostWindow {
    Display* display = XOpenDisplay(nullptr);
    Window window = 0;
    HostWindow()
    {
        if (!display)
            return;
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 240, 0, 0, 0);
        XStoreName(display, window, "saver host");
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~HostWindow()
    {
        if (display)
            XCloseDisplay(display);
    }
    bool stands()
    {
        XWindowAttributes attributes;
        return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
    }
};

// The trace's rows once it has `rows` of them past the intro, waiting up to
// `seconds` (the machine may be slow).
Trace traceOnceRunning(const fs::path& path, size_t rows, double seconds)
{
    Trace t;
    for (int i = 0; i < seconds * 10; i++, sleepSeconds(0.1)) {
        t = readTrace(path.string());
        const long intro = t.firstRow("characterScale", 10.0);
        if (intro >= 0 && t.rows.size() >= static_cast<size_t>(intro) + rows)
            break;
    }
    return t;
}

// The spread of the picture's brightness: a flat fill has none.
double spread(const Picture& p)
{
    const double mean = p.meanBrightness();
    double sum = 0;
    for (unsigned char c : p.rgb)
        sum += (c - mean) * (c - mean);
    return p.rgb.empty() ? 0 : std::sqrt(sum / p.rgb.size());
}

}  // namespace

TEST(ScreenSaverEndToEnd, DrawsIntoTheWindowItIsGivenUntilSigtermAndRemembersNothing)
{
    ASSERT_TRUE(x11Connect()) << "needs an X display (run under xvfb-run)";
    struct Way {
        const char* name;
        std::vector<std::string> arguments;
        bool byEnvironment;
    };
    const Way ways[] = {{"window-id", {"--window-id"}, false}, {"xscreensaver-window", {"--root"}, true}};
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        HostWindow host;
        ASSERT_TRUE(host.window);
        const fs::path work = scratch(way.name), config = work / "config";
        fs::create_directories(config);
        char id[32];
        std::snprintf(id, sizeof id, "0x%lx", static_cast<unsigned long>(host.window));
        std::vector<std::string> argv = {runDir + "/vexarion"};
        argv.insert(argv.end(), way.arguments.begin(), way.arguments.end());
        if (!way.byEnvironment)
            argv.push_back(id);
        argv.insert(argv.end(), {"--trace", (work / "trace.csv").string()});
        std::vector<std::string> environment = {"ALSOFT_DRIVERS=null", "XDG_CONFIG_HOME=" + config.string()};
        if (way.byEnvironment)
            environment.push_back(std::string("XSCREENSAVER_WINDOW=") + id);
        ChildGuard guard{startProcess(argv, work.string(), environment)};

        // Past the intro, the attract plays on its own in the window it was given.
        const Trace t = traceOnceRunning(work / "trace.csv", 40, 120);
        ASSERT_GE(t.firstRow("characterScale", 10.0), 0) << "the intro never ended";
        const std::string shot = (work / "host.png").string();
        commandOutput("import -window " + std::string(id) + " '" + shot + "'");
        Picture picture;
        ASSERT_TRUE(readPng(shot, &picture));
        EXPECT_EQ(picture.width * 10000 + picture.height, 320 * 10000 + 240);
        EXPECT_GT(picture.meanBrightness(), 15.0) << "the host window shows no scene";
        EXPECT_GT(spread(picture), 10.0) << "the host window is a flat fill";
        EXPECT_EQ(commandOutput("xdotool search --pid " + std::to_string(guard.pid) + " 2>/dev/null"), "")
            << "it opened a window of its own";
        fs::copy_file(shot, runDir + "/e2e-saver-" + way.name + ".png", fs::copy_options::overwrite_existing);

        ASSERT_EQ(kill(guard.pid, SIGTERM), 0);
        int code = -1;
        ASSERT_TRUE(guard.ended = waitProcess(guard.pid, 30, &code)) << "SIGTERM did not end it";
        EXPECT_EQ(code, 0);
        EXPECT_TRUE(host.stands()) << "it took the host's window with it";
        EXPECT_TRUE(fs::is_empty(config)) << "it wrote settings";
        fs::remove_all(work);
    }
}

TEST(ScreenSaverEndToEnd, TheSystemsSaverWaitsOnlyWhileTheSceneIsFullScreenAndInFront)
{
    ASSERT_TRUE(x11Connect()) << "needs an X display (run under xvfb-run)";
    // The X server's saver comes on after two idle seconds, for this test.
    struct Restore {
        ~Restore() { commandOutput("xset s default"); }
    } restore;
    commandOutput("xset s 2 0");
    const fs::path work = scratch("inhibit");
    ChildGuard guard{startProcess({runDir + "/vexarion", "--window", "320x240"}, work.string(),
                                  {"ALSOFT_DRIVERS=null", "XDG_CONFIG_HOME=" + work.string()})};
    const std::string window = findMainWindow(30);
    ASSERT_FALSE(window.empty()) << "no window";
    commandOutput("xdotool windowfocus --sync " + window);
    // Input wakes the X server's saver; three idle seconds later it is on, unless held off.
    auto stateAfterIdle = [&](const std::string& keys) {
        commandOutput("xdotool " + keys + " mousemove 10 10");
        sleepSeconds(3.5);
        return commandOutput(tools + "x11-saver-state.py");
    };
    EXPECT_EQ(stateAfterIdle("key F"), "on") << "a window holds the saver off";
    EXPECT_EQ(stateAfterIdle("key alt+Return"), "off") << "full screen in front lets the saver come";
    int screenWidth = 0;
    std::istringstream(commandOutput("xdotool getdisplaygeometry")) >> screenWidth;
    EXPECT_EQ(windowGeometry(window).width, screenWidth) << "Alt+Return did not fill the screen";
    EXPECT_EQ(stateAfterIdle("key alt+Return"), "on") << "back in a window, the saver still waits";
    commandOutput("xdotool key Escape");
    int code = -1;
    ASSERT_TRUE(guard.ended = waitProcess(guard.pid, 20, &code));
    EXPECT_EQ(code, 0);
    fs::remove_all(work);
}

TEST(ScreenSaverEndToEnd, AnAttractSessionsRecordingReplaysToTheSameTraceWithoutIt)
{
    ASSERT_TRUE(x11Connect()) << "needs an X display (run under xvfb-run)";
    const fs::path work = scratch("attract");
    ChildGuard guard{startProcess({runDir + "/vexarion", "--window", "320x240", "--attract", "--attract-pause", "2",
                                   "--record", "rec.txt", "--trace", "live.csv"},
                                  work.string(), {"ALSOFT_DRIVERS=null", "XDG_CONFIG_HOME=" + work.string()})};
    const std::string window = findMainWindow(30);
    ASSERT_FALSE(window.empty()) << "no window";
    // Until the attract has played two elements (a level moved and let go
    // counts once it stops), however slowly the frames come here.
    long started = 0;
    for (int i = 0; i < 1800 && started < 2; i++, sleepSeconds(0.1)) {
        const Trace t = readTrace((work / "live.csv").string());
        started = 0;
        for (size_t row = 2; row < t.rows.size(); row++)
            for (const char* level : {"seaLevel", "landLevel"})
                started += t.change(row, level) != 0 && t.change(row - 1, level) == 0;
        for (size_t row = 1; row < t.rows.size(); row++)
            started += t.hasEvent(row, "play thunder") + (t.change(row, "tornadoSpeed") < 0);
    }
    EXPECT_GE(started, 2) << "the attract played nothing";
    ASSERT_TRUE(x11RequestClose(window));
    int code = -1;
    ASSERT_TRUE(guard.ended = waitProcess(guard.pid, 20, &code));
    EXPECT_EQ(code, 0);

    // The attract's keys are in the recording as a player's would be.
    const std::string recording = readText(work / "rec.txt");
    EXPECT_TRUE(recording.find(" press ") != std::string::npos || recording.find(" type ") != std::string::npos)
        << recording.substr(0, 400);
    const std::string replayed =
        commandOutput("cd '" + work.string() + "' && VEXARION_DATA='" + runDir + "' ALSOFT_DRIVERS=null '" + runDir +
                      "/vexarion-replay-null' --script rec.txt --trace replay.csv; echo $?");
    EXPECT_EQ(replayed, "0");
    EXPECT_EQ(readText(work / "replay.csv"), readText(work / "live.csv"))
        << "the recording replays to another trace without --attract";
    fs::remove_all(work);
}

TEST(ScreenSaverEndToEnd, XScreenSaverRunsTheHackOnTheWholeScreen)
{
    ASSERT_TRUE(x11Connect()) << "needs an X display (run under xvfb-run)";
    ASSERT_EQ(commandOutput("command -v xscreensaver >/dev/null && echo yes"), "yes") << "xscreensaver is missing";
    // XScreenSaver launches no hacks for root: as root the test runs it as
    // nobody, with a copy of the display's key.
    const bool root = geteuid() == 0;
    const std::string as = root ? "setpriv --reuid=nobody --regid=nogroup --clear-groups " : "";
    const fs::path home = scratch("xscreensaver");
    const fs::path trace = home / "trace.csv";
    {
        std::ofstream config(home / ".xscreensaver");
        config << "timeout: 0:30:00\nlock: False\nsplash: False\nfade: False\nunfade: False\n"
               << "mode: one\nselected: 0\n"
               << "programs: GL: " << runDir << "/vexarion --root --trace " << trace.string() << " \\n\n";
    }
    // The display's key (xvfb-run's), where nobody can read it.
    const char* key = std::getenv("XAUTHORITY");
    const fs::path ownKey = home / ".Xauthority";
    if (key && *key)
        fs::copy_file(key, ownKey, fs::copy_options::overwrite_existing);
    if (root)
        commandOutput("chown -R nobody:nogroup '" + home.string() + "'");
    const std::string environment =
        "HOME='" + home.string() + "' XAUTHORITY='" + ownKey.string() + "' ALSOFT_DRIVERS=null ";
    auto command = [&](const std::string& words) {
        return commandOutput(environment + as + "xscreensaver-command " + words + " 2>&1");
    };
    std::vector<std::string> argv = {"/usr/bin/env", "HOME=" + home.string(), "XAUTHORITY=" + ownKey.string(),
                                     "ALSOFT_DRIVERS=null"};
    if (root)
        argv.insert(argv.end(), {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"});
    argv.insert(argv.end(), {"xscreensaver", "-no-splash"});
    ChildGuard daemon{startProcess(argv, home.string())};
    // Until the daemon answers.
    bool answers = false;
    for (int i = 0; i < 300 && !answers; i++, sleepSeconds(0.1))
        answers = command("-time").find("XScreenSaver") != std::string::npos;
    ASSERT_TRUE(answers) << "xscreensaver never came up";
    const std::string activated = command("-activate");
    EXPECT_NE(activated.find("blanking"), std::string::npos) << activated;

    // XScreenSaver's window, drawn by the hack once its intro is over.
    const Trace t = traceOnceRunning(trace, 20, 180);
    ASSERT_GE(t.firstRow("characterScale", 10.0), 0) << "the hack never drew past the intro";
    const std::string shot = (home / "xscreensaver.png").string();
    commandOutput("import -window root '" + shot + "'");
    Picture picture;
    ASSERT_TRUE(readPng(shot, &picture));
    EXPECT_GT(picture.meanBrightness(), 15.0) << "the screen shows no scene";
    EXPECT_GT(spread(picture), 10.0) << "the screen is a flat fill";
    fs::copy_file(shot, runDir + "/e2e-saver-xscreensaver.png", fs::copy_options::overwrite_existing);

    command("-exit");
    int code = -1;
    daemon.ended = waitProcess(daemon.pid, 30, &code);
    fs::remove_all(home);
}
