// The program on a desktop under a virtual X display: a window toggled to
// full screen and back with Alt+Return and F11, resized with the picture
// filling it, hidden and paced down, capped at 30 frames a second; the
// settings it leaves, read back by the next session; a damaged settings
// file met with one warning; and the sound silenced while the focus is
// elsewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "tests/support/desktop.h"
#include "tests/support/png_read.h"
#include "tests/support/process.h"
#include "tests/support/replay_run.h"

namespace fs = std::filesystem;

namespace {

const std::string runDir = VEXARION_RUN_DIR;

std::vector<int> placeOf(const Geometry& g)
{
    return {g.x, g.y, g.width, g.height};
}

// The window's geometry once it is `wanted`, waiting up to three seconds.
Geometry waitForGeometry(const std::string& window, const std::vector<int>& wanted)
{
    Geometry g;
    for (int i = 0; i < 30 && placeOf(g = windowGeometry(window)) != wanted; i++)
        sleepSeconds(0.1);
    return g;
}

// Waits (up to five seconds) until the program has finished `frames` more
// frames, counted in its trace, which it writes a row at a time.
void waitForFrames(const fs::path& trace, long frames)
{
    auto rows = [&] {
        const std::string text = readText(trace.string());
        return static_cast<long>(std::count(text.begin(), text.end(), '\n'));
    };
    const long wanted = rows() + frames;
    for (int i = 0; i < 50 && rows() < wanted; i++)
        sleepSeconds(0.1);
}

// Where the picture lies in the window, as fractions of its size: the box
// around every pixel brighter than the black sky (left, top, right, bottom).
std::vector<double> framing(const std::string& screenshot, const Geometry& window)
{
    Picture p;
    if (!readPng(screenshot, &p))
        return {};
    int left = window.width, top = window.height, right = 0, bottom = 0;
    for (int y = 0; y < window.height; y++)
        for (int x = 0; x < window.width; x++) {
            const unsigned char* c = p.at(window.x + x, window.y + y);
            if (std::max({c[0], c[1], c[2]}) > 40) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
                top = std::min(top, y);
                bottom = std::max(bottom, y + 1);
            }
        }
    return {static_cast<double>(left) / window.width, static_cast<double>(top) / window.height,
            static_cast<double>(right) / window.width, static_cast<double>(bottom) / window.height};
}

// Rows whose frame time lies in [low, high], in the longest run of them.
std::vector<size_t> longestRun(const Trace& t, double low, double high)
{
    std::vector<size_t> best, run;
    for (size_t row = 0; row < t.rows.size(); row++) {
        const double dt = t.number(row, "frameTime");
        if (dt >= low && dt <= high)
            run.push_back(row);
        else
            run.clear();
        if (run.size() > best.size())
            best = run;
    }
    return best;
}

struct Session {
    ChildGuard guard;
    std::string window;
};

// Starts the program with `arguments` and the settings in `config`, its
// sound into nothing or, given `mix`, into that wave file.
void start(Session* s, const fs::path& folder, const fs::path& config, const std::string& arguments,
           const fs::path& mix = "")
{
    std::vector<std::string> environment = {"ALSOFT_DRIVERS=null", "XDG_CONFIG_HOME=" + config.string()};
    if (!mix.empty()) {
        std::ofstream(folder / "alsoft.conf") << "[wave]\nfile=" << mix.string() << "\n";
        environment[0] = "ALSOFT_DRIVERS=wave";
        environment.push_back("ALSOFT_CONF=" + (folder / "alsoft.conf").string());
    }
    s->guard.pid = startProcess({"/bin/sh", "-c", "exec '" + runDir + "/vexarion' " + arguments + " 2>err.txt"},
                                folder.string(), environment);
    s->window = findMainWindow(20);
}

// The mix's samples, as the wave file holds them: 32-bit floats.
std::vector<float> samples(const fs::path& wave)
{
    const fs::path raw = wave.string() + ".raw";
    commandOutput("sox '" + wave.string() + "' -t f32 '" + raw.string() + "'");
    const std::string bytes = readText(raw.string());
    std::vector<float> values(bytes.size() / sizeof(float));
    std::memcpy(values.data(), bytes.data(), values.size() * sizeof(float));
    return values;
}

// Esc, and the exit code; -1 when it did not end.
int quit(Session* s)
{
    commandOutput("xdotool windowfocus --sync " + s->window + " key Escape");
    int code = -1;
    s->guard.ended = waitProcess(s->guard.pid, 15, &code);
    return s->guard.ended ? code : -1;
}

}  // namespace

TEST(DesktopEndToEnd, ToggledResizedHiddenAndCappedThenTheNextSessionOpensAsTheLastEnded)
{
    ASSERT_TRUE(x11Connect()) << "needs an X display (run under xvfb-run)";
    const fs::path folder = scratchFolder("desktop"), config = folder / "config";  // no such folder yet
    Session s;
    start(&s, folder, config, "--window 320x240 --no-vsync --max-fps 30 --trace live.csv");
    ASSERT_FALSE(s.window.empty()) << readText(folder / "err.txt");
    const Geometry first = windowGeometry(s.window);
    EXPECT_EQ(first.width * 10000 + first.height, 320 * 10000 + 240);
    EXPECT_EQ(commandOutput("xprop -id " + s.window + " WM_NORMAL_HINTS").find("maximum size"), std::string::npos)
        << "the window can't be resized";
    EXPECT_NE(commandOutput("xprop -id " + s.window + " _NET_WM_ICON").find("Icon (64 x 64)"), std::string::npos);
    Geometry screen;
    std::istringstream(commandOutput("xdotool getdisplaygeometry")) >> screen.width >> screen.height;
    const auto opened = std::chrono::steady_clock::now();
    sleepSeconds(2.5);  // two seconds of frames at the cap
    const std::string shot = runDir + "/e2e-desktop-";

    // Alt+Return: full screen at the screen's size; F11: back as it was.
    commandOutput("xdotool windowfocus --sync " + s.window + " key alt+Return");
    EXPECT_EQ(placeOf(waitForGeometry(s.window, {0, 0, screen.width, screen.height})),
              (std::vector<int>{0, 0, screen.width, screen.height}));
    waitForFrames(folder / "live.csv", 3);
    commandOutput("import -window root '" + shot + "toggled.png'");
    commandOutput("xdotool key F11");
    EXPECT_EQ(placeOf(waitForGeometry(s.window, placeOf(first))), placeOf(first));

    // Resized, the picture fills the new size as it filled the old. (Past
    // the intro, so that only the scene's slow turn tells the two apart.)
    sleepSeconds(4.5 - std::chrono::duration<double>(std::chrono::steady_clock::now() - opened).count());
    waitForFrames(folder / "live.csv", 3);
    commandOutput("import -window root '" + shot + "window.png'");
    commandOutput("xdotool windowsize " + s.window + " 480 360");
    const Geometry resized = waitForGeometry(s.window, {first.x, first.y, 480, 360});
    ASSERT_EQ(placeOf(resized), (std::vector<int>{first.x, first.y, 480, 360}));
    waitForFrames(folder / "live.csv", 3);
    commandOutput("import -window root '" + shot + "resized.png'");
    const std::vector<double> before = framing(shot + "window.png", first),
                              after = framing(shot + "resized.png", resized);
    ASSERT_EQ(before.size(), 4u);
    ASSERT_EQ(after.size(), 4u);
    for (int side = 0; side < 4; side++)
        EXPECT_NEAR(after[side], before[side], 0.03) << "side " << side << " of the picture moved";
    EXPECT_NEAR(framing(shot + "toggled.png", Geometry{0, 0, screen.width, screen.height})[2], before[2], 0.03);

    // Unmapped, as a minimised window is, the frames slow to 15 a second.
    commandOutput("xdotool windowunmap --sync " + s.window);
    sleepSeconds(1.5);
    commandOutput("xdotool windowmap --sync " + s.window);
    sleepSeconds(0.3);
    ASSERT_EQ(quit(&s), 0) << readText(folder / "err.txt");

    // Counted in scene time: 30 frames in the second second, 15 a second while unseen.
    const Trace t = readTrace((folder / "live.csv").string());
    long inSecondSecond = 0;
    for (size_t row = 0; row < t.rows.size(); row++)
        inSecondSecond += t.number(row, "totalTime") >= 1.0 && t.number(row, "totalTime") < 2.0;
    EXPECT_NEAR(inSecondSecond, 30, 1);
    const std::vector<size_t> unseen = longestRun(t, 1.0 / 17, 1.0 / 13);
    ASSERT_GE(unseen.size(), 15u);
    const double unseenTime = t.number(unseen.back(), "totalTime") - t.number(unseen.front() - 1, "totalTime");
    EXPECT_NEAR(unseen.size() / unseenTime, 15.0, 0.5);

    // What the session used, remembered; the next plain --window opens so.
    const std::string settings = readText(config / "vexarion" / "settings.ini");
    const std::string position = "window_position=" + std::to_string(first.x) + "," + std::to_string(first.y);
    for (const std::string& line :
         {std::string("window_size=480x360"), position, std::string("vsync=off"), std::string("max_fps=30")})
        EXPECT_NE(settings.find("\n" + line + "\n"), std::string::npos) << line << " not in\n" << settings;
    EXPECT_EQ(settings.find("display_mode"), std::string::npos) << "no mode was started";
    Session next;
    start(&next, folder, config, "--window");
    ASSERT_FALSE(next.window.empty()) << readText(folder / "err.txt");
    EXPECT_EQ(placeOf(windowGeometry(next.window)), placeOf(resized));
    EXPECT_EQ(quit(&next), 0);
    EXPECT_EQ(readText(folder / "err.txt"), "");
    fs::remove_all(folder);
}

TEST(DesktopEndToEnd, DamagedSettingsGiveOneWarningAndAProgramThatRuns)
{
    ASSERT_TRUE(x11Connect()) << "needs an X display (run under xvfb-run)";
    const fs::path folder = scratchFolder("damaged"), config = folder / "config";
    fs::create_directories(config / "vexarion");
    std::string garbage;
    for (int i = 0; i < 3000; i++)
        garbage += static_cast<char>((i * 7919 + 13) % 256);
    std::ofstream(config / "vexarion" / "settings.ini", std::ios::binary) << "window_size=700x500\n" << garbage;
    Session s;
    start(&s, folder, config, "--window");
    ASSERT_FALSE(s.window.empty()) << readText(folder / "err.txt");
    EXPECT_EQ(windowGeometry(s.window).width * 10000 + windowGeometry(s.window).height, 700 * 10000 + 500);
    EXPECT_EQ(quit(&s), 0);
    const std::string errors = readText(folder / "err.txt");
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_EQ(errors.rfind("Vexarion: settings " + (config / "vexarion" / "settings.ini").string() + ": line 2", 0), 0u)
        << errors;
    const std::string rewritten = readText(config / "vexarion" / "settings.ini");
    EXPECT_NE(rewritten.find("\nwindow_size=700x500\n"), std::string::npos) << rewritten;
    EXPECT_TRUE(std::all_of(rewritten.begin(), rewritten.end(), [](char c) { return c == '\n' || c >= ' '; }));
    fs::remove_all(folder);
}

// (Its window is small and vsync left on, which Xvfb takes and never waits
// for: the frames must still keep to the default cap, 250 a second.)
TEST(DesktopEndToEnd, MutedWhileTheFocusIsElsewhereAsItsSettingsSay)
{
    ASSERT_TRUE(x11Connect()) << "needs an X display (run under xvfb-run)";
    const fs::path folder = scratchFolder("mute"), config = folder / "config";
    fs::create_directories(config / "vexarion");
    std::ofstream(config / "vexarion" / "settings.ini") << "mute_unfocused=on\n";
    Session s;
    start(&s, folder, config, "--window 64x64 --trace live.csv", folder / "mix.wav");
    ASSERT_FALSE(s.window.empty()) << readText(folder / "err.txt");
    commandOutput("xdotool windowfocus --sync " + s.window);
    sleepSeconds(1.0);  // the sea, heard
    const std::string root = commandOutput("xwininfo -root | sed -n 's/.*Window id: \\(0x[0-9a-f]*\\).*/\\1/p'");
    commandOutput("xdotool windowfocus " + root);
    sleepSeconds(1.5);  // the focus elsewhere: silence
    commandOutput("xdotool windowfocus --sync " + s.window);
    sleepSeconds(2.0);  // heard again
    ASSERT_EQ(quit(&s), 0) << readText(folder / "err.txt");

    // The longest silence lies between sound before it and after it.
    const std::vector<float> mix = samples(folder / "mix.wav");
    size_t longest = 0, end = 0, run = 0;
    for (size_t i = 0; i < mix.size(); i++) {
        run = mix[i] == 0.0f ? run + 1 : 0;
        if (run > longest) {
            longest = run;
            end = i + 1;
        }
    }
    const double rate = 2 * 44100.0;  // stereo
    EXPECT_GT(longest / rate, 1.0) << "never silent while unfocused";
    EXPECT_LT(longest / rate, 2.0);
    const auto loud = [](float v) { return v != 0.0f; };
    EXPECT_TRUE(std::any_of(mix.begin(), mix.begin() + static_cast<long>(end - longest), loud)) << "silent before";
    EXPECT_TRUE(std::any_of(mix.begin() + static_cast<long>(end), mix.end(), loud)) << "silent after";

    // A second of more frames than a display shows tells that vsync doesn't
    // wait; a second later the cap holds. (A machine too busy for that many
    // frames shows nothing either way.)
    const Trace t = readTrace((folder / "live.csv").string());
    std::vector<int> perSecond;
    for (size_t row = 0; row < t.rows.size(); row++) {
        const size_t second = static_cast<size_t>(t.number(row, "totalTime"));
        perSecond.resize(std::max(perSecond.size(), second + 1));
        perSecond[second]++;
    }
    const size_t told =
        std::find_if(perSecond.begin(), perSecond.end(), [](int n) { return n > 500; }) - perSecond.begin();
    for (size_t second = told + 2; second + 1 < perSecond.size(); second++)
        EXPECT_LE(perSecond[second], 251)
            << "second " << second << "; frames a second: " << ::testing::PrintToString(perSecond);
    fs::remove_all(folder);
}
