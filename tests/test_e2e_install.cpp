// The program as players install and keep it, under a virtual X display:
// a session in a desktop window, recorded and traced, with a screenshot,
// replayed to the same trace (whole, and cut as a killed session leaves it);
// bad command lines and no display; the installed tree started from an
// unrelated folder, and the Debian package's contents.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "tests/support/desktop.h"
#include "tests/support/png_read.h"
#include "tests/support/process.h"
#include "tests/support/x11_window.h"

namespace fs = std::filesystem;

namespace {

const std::string runDir = VEXARION_RUN_DIR;

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A fresh, empty folder of the test's own.
fs::path scratch(const std::string& name)
{
    fs::path folder = fs::temp_directory_path() / ("vexarion-e2e-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// Starts a program in `folder` with its stdout and stderr in out.txt and err.txt there.
pid_t startLogged(const std::string& command, const fs::path& folder, const std::vector<std::string>& environment)
{
    return startProcess({"/bin/sh", "-c", "exec " + command + " >out.txt 2>err.txt"}, folder.string(), environment);
}

// Mean brightness of the screen inside a window.
double windowMean(const std::string& window)
{
    Geometry g = windowGeometry(window);
    Picture screen;
    x11CaptureScreen(&screen);
    double sum = 0;
    for (int y = g.y; y < g.y + g.height; y++)
        for (int x = g.x; x < g.x + g.width; x++)
            sum += screen.at(x, y)[0] + screen.at(x, y)[1] + screen.at(x, y)[2];
    return sum / (3.0 * g.width * g.height);
}

std::string replay(const fs::path& script, const fs::path& trace)
{
    return commandOutput("cd '" + runDir + "' && ALSOFT_DRIVERS=null ./vexarion-replay --script '" + script.string() +
                         "' --trace '" + trace.string() + "' 2>&1; echo $?");
}

}  // namespace

TEST(InstalledProgram, WindowedSessionRecordsAndReplaysToTheSameTrace)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X display (run under xvfb-run)";
    ASSERT_TRUE(x11PrepareWindowManagerAtoms());
    const fs::path folder = scratch("session");  // holds no content: it is found beside the program
    pid_t pid = startLogged(runDir + "/vexarion --window 640x480 --record rec.txt --trace live.csv", folder,
                            {"ALSOFT_DRIVERS=null", "XDG_PICTURES_DIR=" + (folder / "pics").string()});
    ChildGuard guard{pid};
    std::string window = findMainWindow(20);
    ASSERT_FALSE(window.empty()) << readText(folder / "err.txt");
    Geometry g = windowGeometry(window);
    EXPECT_EQ(g.width, 640);
    EXPECT_EQ(g.height, 480);
    EXPECT_FALSE(x11IsUndecorated(std::stoul(window)));

    commandOutput("xdotool windowfocus --sync " + window);
    sleepSeconds(5.0);  // past the intro
    commandOutput("xdotool key L keydown shift keydown w");
    sleepSeconds(1.0);
    commandOutput("xdotool keyup w keyup shift key t");
    sleepSeconds(1.5);
    commandOutput("xdotool key F12");
    sleepSeconds(1.0);
    commandOutput("xdotool key Escape");
    int code = -1;
    guard.ended = waitProcess(pid, 15, &code);
    ASSERT_TRUE(guard.ended) << "Esc did not end the program";
    EXPECT_EQ(code, 0) << readText(folder / "err.txt");

    // F12: the path on stdout, a picture of the scene in the pictures folder.
    std::string shot = readText(folder / "out.txt");
    ASSERT_EQ(shot.rfind((folder / "pics" / "vexarion-").string(), 0), 0u) << shot;
    Picture picture;
    ASSERT_TRUE(readPng(shot.substr(0, shot.find('\n')), &picture));
    EXPECT_EQ(picture.width * 10000 + picture.height, 640 * 10000 + 480);
    EXPECT_GT(picture.meanBrightness(), 8.0) << "the screenshot is black";

    // The live trace shows the keys' work; the replay of the recording gives it byte for byte.
    const std::string live = readText(folder / "live.csv");
    EXPECT_NE(live.find("play thunder"), std::string::npos);
    EXPECT_NE(live.find("loop wind"), std::string::npos);
    EXPECT_EQ(replay(folder / "rec.txt", folder / "replay.csv"), "0");
    EXPECT_EQ(readText(folder / "replay.csv"), live) << "the replay's trace differs from the session's";

    // A session killed mid-write: the recording cut at a random byte replays
    // every frame it completed, and those frames only.
    const std::string recording = readText(folder / "rec.txt");
    const unsigned seed = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    const size_t cut = recording.find('\n') + 1 + std::mt19937(seed)() % (recording.size() - recording.find('\n') - 1);
    std::ofstream(folder / "cut.txt", std::ios::binary) << recording.substr(0, cut);
    size_t lastTime = recording.rfind(" time ", cut);
    size_t lineEnd = recording.find('\n', lastTime);
    if (lastTime != std::string::npos && lineEnd >= cut)  // that time line itself was cut
        lastTime = recording.rfind(" time ", lastTime - 1);
    const long frames =
        lastTime == std::string::npos ? 0 : std::stol(recording.substr(recording.rfind('\n', lastTime) + 1)) + 1;
    EXPECT_EQ(replay(folder / "cut.txt", folder / "cut.csv"), "0") << "cut at byte " << cut;
    size_t end = 0;
    for (long row = 0; row <= frames; row++)
        end = live.find('\n', end) + 1;
    EXPECT_EQ(readText(folder / "cut.csv"), live.substr(0, end)) << "cut at byte " << cut << " (seed " << seed << ")";
    fs::remove_all(folder);
}

TEST(InstalledProgram, BadCommandLinesGiveCodeTwoAndNoDisplayCodeOneAtOnce)
{
    // (The parser's own test goes through every kind of mistake.)
    const std::pair<const char*, const char*> bad[] = {{"--fullscreen", "--fullscreen"},
                                                       {"--window 10x10", "10x10"},
                                                       {"--trace", "--trace"}};
    for (const auto& [args, named] : bad) {
        std::string out = commandOutput("'" + runDir + "/vexarion' " + args + " 2>&1 >/dev/null; echo \"rc=$?\"");
        EXPECT_NE(out.find(named), std::string::npos) << out;
        EXPECT_NE(out.find("usage: vexarion"), std::string::npos) << out;
        EXPECT_EQ(out.substr(out.rfind("rc=")), "rc=2") << args;
    }
    const fs::path empty = scratch("no-content");
    const auto start = std::chrono::steady_clock::now();
    std::string out = commandOutput("env -u DISPLAY -u WAYLAND_DISPLAY VEXARION_DATA='" + empty.string() + "' '" +
                                    runDir + "/vexarion' --window 2>&1; echo \"rc=$?\"");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(out.substr(out.rfind("rc=")), "rc=1");
    EXPECT_LT(seconds, 1.0);
    EXPECT_NE(out.find("no display"), std::string::npos) << out;
    EXPECT_NE(out.find("content missing in " + empty.string()), std::string::npos) << out;
    fs::remove_all(empty);
}

TEST(InstalledProgram, InstalledTreeRunsFromAnywhereAndThePackageHoldsIt)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X display (run under xvfb-run)";
    const fs::path root = scratch("install");
    const fs::path prefix = root / "prefix";
    commandOutput("cmake --install '" + runDir + "' --prefix '" + prefix.string() + "' >/dev/null 2>&1");
    for (const char* file : {"bin/vexarion", "bin/vexarion-replay", "share/vexarion/LAND.KMO", "share/vexarion/SEA.WAV",
                             "share/vexarion/README.TXT", "share/applications/vexarion.desktop",
                             "share/icons/hicolor/256x256/apps/vexarion.png"})
        EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;

    // Started from an unrelated folder, it finds its content; a pictures
    // folder it can't write is reported and the program plays on; closing
    // the window quits with 0.
    fs::create_directories(root / "elsewhere");
    pid_t pid = startLogged((prefix / "bin/vexarion").string() + " --window 320x240", root / "elsewhere",
                            {"ALSOFT_DRIVERS=null", "XDG_PICTURES_DIR=/dev/null/pictures"});
    ChildGuard guard{pid};
    std::string window = findMainWindow(20);
    ASSERT_FALSE(window.empty()) << readText(root / "elsewhere/err.txt");
    commandOutput("xdotool windowfocus --sync " + window);
    sleepSeconds(2.0);
    EXPECT_GT(windowMean(window), 15.0) << "no scene in the installed program's window";
    commandOutput("xdotool key F12");
    sleepSeconds(1.0);
    int code = -1;
    EXPECT_FALSE(waitProcess(pid, 0.1, &code)) << "a failed screenshot ended the program";
    EXPECT_NE(readText(root / "elsewhere/err.txt").find("cannot save a screenshot in /dev/null/pictures"),
              std::string::npos);
    ASSERT_TRUE(x11RequestClose(std::stoul(window)));
    guard.ended = waitProcess(pid, 15, &code);
    ASSERT_TRUE(guard.ended) << "closing the window did not end the program";
    EXPECT_EQ(code, 0);

    // The Debian package: the same tree under /usr, with its runtime dependencies.
    commandOutput("cd '" + runDir + "' && cpack -G DEB -B '" + (root / "package").string() + "' >/dev/null 2>&1");
    std::string deb = commandOutput("ls '" + (root / "package").string() + "'/vexarion_*.deb");
    ASSERT_FALSE(deb.empty()) << "cpack made no package";
    std::string list = commandOutput("dpkg-deb -c '" + deb + "'") + "\n";
    for (const char* file :
         {"./usr/bin/vexarion", "./usr/share/vexarion/MAN.KMO", "./usr/share/vexarion/README.TXT",
          "./usr/share/applications/vexarion.desktop", "./usr/share/icons/hicolor/256x256/apps/vexarion.png"})
        EXPECT_NE(list.find(std::string(file) + "\n"), std::string::npos) << file << " not in\n" << list;
    std::string depends = commandOutput("dpkg-deb -f '" + deb + "' Depends");
    for (const char* library : {"libsdl2-2.0-0", "libopenal1", "libglu1-mesa", "libgl1", "libc6"})
        EXPECT_NE(depends.find(library), std::string::npos) << depends;
    fs::remove_all(root);
}
