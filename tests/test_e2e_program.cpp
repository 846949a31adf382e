// The real program as a person meets it under a virtual X display: the dialog
// and full screen; full screen giving way to another window on a display that
// really switches modes; the installed tree run from anywhere for a recorded,
// traced session in a window, replayed to the same trace (whole, and cut as a
// killed session leaves it); the Debian package; bad command lines and no
// display.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/desktop.h"
#include "tests/support/png_read.h"
#include "tests/support/process.h"

namespace fs = std::filesystem;

namespace {

const std::string runDir = VEXARION_RUN_DIR;
// The program's settings go to a folder of the tests', never the user's.
const std::string ownSettings = "XDG_CONFIG_HOME=" + (fs::temp_directory_path() / "vexarion-e2e-config").string();

// What a command printed on both outputs, then "rc=" and its exit code.
std::string outputAndCode(const std::string& command)
{
    return commandOutput(command + " 2>&1; echo \"rc=$?\"");
}

}  // namespace

TEST(ProgramEndToEnd, StartOpensAFullScreenWindowThatClosesWithCodeZero)
{
    ASSERT_TRUE(x11Connect()) << "needs an X display (run under xvfb-run)";
    ChildGuard guard{startProcess({runDir + "/vexarion"}, runDir, {"ALSOFT_DRIVERS=null", ownSettings})};
    const std::string dialog = findDialog(guard.pid);
    ASSERT_FALSE(dialog.empty()) << "no dialog appeared";
    EXPECT_NE(commandOutput("xprop -id " + dialog + " _NET_WM_ICON").find("Icon (64 x 64)"), std::string::npos)
        << "the dialog has not the program's icon";

    // Enter and Esc mean nothing in the dialog.
    commandOutput("xdotool windowfocus --sync " + dialog + " key Return key Escape");
    int code = -1;
    EXPECT_FALSE(waitProcess(guard.pid, 0.5, &code)) << "a key ended the dialog";
    // Open the list (the combo box at (80, 56), 117 units wide), pick its
    // first entry, then press "Start!" at (159, 76), 39 x 14 units.
    clickDialog(dialog, 138, 61);
    sleepSeconds(0.4);
    clickDialog(dialog, 100, 75);
    sleepSeconds(0.4);
    EXPECT_TRUE(findMainWindow(0.5).empty()) << "the window opened before Start!";
    clickDialog(dialog, 159 + 39 / 2.0, 76 + 14 / 2.0);

    std::string window = findMainWindow(20);
    ASSERT_FALSE(window.empty()) << "no main window after Start!";
    sleepSeconds(1.5);
    Geometry g = windowGeometry(window), screen;
    std::istringstream(commandOutput("xdotool getdisplaygeometry")) >> screen.width >> screen.height;
    // The only mode Xvfb offers is its screen.
    EXPECT_EQ(std::vector<int>({g.x, g.y, g.width, g.height}), std::vector<int>({0, 0, screen.width, screen.height}));
    EXPECT_TRUE(x11IsUndecorated(window));
    Picture shown;  // what X shows, kept for a look
    commandOutput("import -window root '" + runDir + "/e2e-start.png'");
    ASSERT_TRUE(readPng(runDir + "/e2e-start.png", &shown)) << "no screen capture";
    EXPECT_GT(shown.meanBrightness(), 8.0) << "the screen shows no scene";

    // (Esc, the way players quit, ends the recorded session below.)
    ASSERT_TRUE(x11RequestClose(window));
    ASSERT_TRUE(guard.ended = waitProcess(guard.pid, 15, &code)) << "closing the window did not end the program";
    EXPECT_EQ(code, 0);
}

TEST(ProgramEndToEnd, ClosingTheDialogQuitsWithCodeZeroAndOpensNoWindow)
{
    ASSERT_TRUE(x11Connect()) << "needs an X display (run under xvfb-run)";
    ChildGuard guard{startProcess({runDir + "/vexarion"}, runDir, {"ALSOFT_DRIVERS=null", ownSettings})};
    const std::string dialog = findDialog(guard.pid);
    ASSERT_FALSE(dialog.empty()) << "no dialog appeared";
    ASSERT_TRUE(x11RequestClose(dialog));
    int code = -1;
    ASSERT_TRUE(guard.ended = waitProcess(guard.pid, 15, &code)) << "closing the dialog did not end the program";
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(findMainWindow(0.3).empty());
}

TEST(ProgramEndToEnd, FullScreenGivesWayToAnotherWindowAndComesBack)
{
    // Xorg's dummy driver switches modes for real, and openbox minimises and
    // activates windows; the desktop starts at 800x600.
    const fs::path work = scratchFolder("full-screen");
    const std::string tools = std::string(VEXARION_SOURCE_DIR) + "/tools/";
    const std::string display = commandOutput(tools + "xorg-dummy.sh start '" + work.string() + "'");
    struct Stop {
        std::string command;
        ~Stop() { commandOutput(command); }
    } stop{tools + "xorg-dummy.sh stop '" + work.string() + "'"};
    ASSERT_EQ(display.rfind(':', 0), 0u) << display << readText(work / "xorg.log");
    auto on = [&](const std::string& command) { return commandOutput("DISPLAY=" + display + " " + command); };
    auto screen = [&] { return on("xrandr -q | sed -n 's/.*current \\([0-9]* x [0-9]*\\),.*/\\1/p'"); };
    auto state = [&](const std::string& window) {
        return on("xprop -id " + window + " WM_STATE | sed -n 's/.*state: //p'");
    };
    on("xrandr -s 800x600");

    ChildGuard guard{startProcess({runDir + "/vexarion"}, runDir,
                                  {"ALSOFT_DRIVERS=null", "DISPLAY=" + display,
                                   // no mode remembered: the dialog preselects the first
                                   "XDG_CONFIG_HOME=" + scratchFolder("full-screen-settings").string()})};
    // The dialog's client area (openbox frames it), then "Start!" at (159, 76),
    // 39 x 14 units: the first mode listed, 1024x768.
    std::string dialog;
    for (int i = 0; i < 100 && dialog.empty(); i++, sleepSeconds(0.1))
        dialog = on("xdotool search --onlyvisible --pid " + std::to_string(guard.pid) + " | head -1");
    ASSERT_FALSE(dialog.empty()) << "no dialog appeared";
    std::istringstream corner(on("xwininfo -id " + dialog + " | sed -n 's/.*Absolute upper-left [XY]: *//p'"));
    int x = 0, y = 0;
    corner >> x >> y;
    on("xdotool mousemove " + std::to_string(x + static_cast<int>(178.5 * 1.75)) + " " +
       std::to_string(y + static_cast<int>(83 * 1.75)) + " click 1");
    std::string window;
    for (int i = 0; i < 200 && window.empty(); i++, sleepSeconds(0.1))
        window = on("xdotool search --onlyvisible --name '^Vexarion$' | head -1");
    ASSERT_FALSE(window.empty()) << "no main window after Start!";
    sleepSeconds(1.0);
    EXPECT_EQ(screen(), "1024 x 768");
    on("xdotool mousemove 500 400");
    sleepSeconds(0.3);
    EXPECT_EQ(on(tools + "x11-cursor.py"), "hidden") << "the cursor shows over the full-screen window";

    ChildGuard other{startProcess({"/usr/bin/xmessage", "another program"}, runDir, {"DISPLAY=" + display})};
    on("xdotool search --sync --onlyvisible --name '^xmessage$' windowactivate --sync");
    sleepSeconds(1.0);
    EXPECT_EQ(screen(), "800 x 600") << "the desktop did not get its mode back";
    EXPECT_EQ(state(window), "Iconic");
    on("xdotool windowactivate --sync " + window);
    sleepSeconds(1.0);
    EXPECT_EQ(screen(), "1024 x 768") << "the mode did not come back with the window";
    EXPECT_EQ(state(window), "Normal");

    on("xdotool key Escape");
    int code = -1;
    ASSERT_TRUE(guard.ended = waitProcess(guard.pid, 15, &code)) << "Esc did not end the program";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(screen(), "800 x 600");
}

TEST(InstalledProgram, SessionFromAnywhereRecordsAndReplaysToTheSameTrace)
{
    ASSERT_TRUE(x11Connect()) << "needs an X display (run under xvfb-run)";
    const fs::path root = scratchFolder("install"), prefix = root / "prefix", folder = root / "elsewhere";
    commandOutput("cmake --install '" + runDir + "' --prefix '" + prefix.string() + "' >/dev/null 2>&1");
    // Software centres list it from the AppStream metadata installed with it.
    const std::string metainfo = (prefix / "share/metainfo/org.vexarion.vexarion.metainfo.xml").string();
    const std::string validation = outputAndCode("appstreamcli validate --no-net --pedantic '" + metainfo + "'");
    EXPECT_EQ(validation.substr(validation.rfind("rc=")), "rc=0") << validation;

    // Started from a folder without content, it finds its own.
    fs::create_directories(folder);
    ChildGuard guard{
        startProcess({"/bin/sh", "-c",
                      "exec '" + (prefix / "bin/vexarion").string() +
                          "' --window 640x480 --record rec.txt --trace live.csv >out.txt 2>err.txt"},
                     folder.string(),
                     {"ALSOFT_DRIVERS=null", "XDG_PICTURES_DIR=" + (folder / "pics").string(), ownSettings})};
    std::string window = findMainWindow(20);
    ASSERT_FALSE(window.empty()) << readText(folder / "err.txt");
    Geometry g = windowGeometry(window);
    EXPECT_EQ(g.width * 10000 + g.height, 640 * 10000 + 480);
    EXPECT_FALSE(x11IsUndecorated(window));

    commandOutput("xdotool windowfocus --sync " + window);
    sleepSeconds(5.0);  // past the intro
    commandOutput("xdotool key L keydown shift keydown w");
    sleepSeconds(1.0);
    commandOutput("xdotool keyup w keyup shift key t");
    sleepSeconds(1.5);
    commandOutput("xdotool key F12");
    sleepSeconds(1.0);
    // A pictures folder it can't write is reported, and the program plays on.
    fs::rename(folder / "pics", folder / "pics.saved");
    std::ofstream(folder / "pics") << "a file";
    commandOutput("xdotool key F12");
    sleepSeconds(1.0);
    int code = -1;
    EXPECT_FALSE(waitProcess(guard.pid, 0.1, &code)) << "a failed screenshot ended the program";
    commandOutput("xdotool key Escape");
    ASSERT_TRUE(guard.ended = waitProcess(guard.pid, 15, &code)) << "Esc did not end the program";
    // The picture it could not save makes the exit code 1, and is named.
    EXPECT_EQ(code, 1) << readText(folder / "err.txt");
    EXPECT_NE(readText(folder / "err.txt")
                  .find("cannot write the screenshot " + (folder / "pics" / "vexarion-").string()),
              std::string::npos);

    // The first F12: the path on stdout, a picture of the scene in the pictures folder.
    std::string shot = readText(folder / "out.txt");
    shot = shot.substr(0, shot.find('\n'));
    ASSERT_EQ(shot.rfind((folder / "pics" / "vexarion-").string(), 0), 0u) << shot;
    Picture picture;
    ASSERT_TRUE(readPng((folder / "pics.saved" / fs::path(shot).filename()).string(), &picture)) << shot;
    EXPECT_EQ(picture.width * 10000 + picture.height, 640 * 10000 + 480);
    EXPECT_GT(picture.meanBrightness(), 8.0) << "the screenshot is black";

    // The live trace shows the keys' work; the replay of the recording gives it byte for byte.
    const std::string live = readText(folder / "live.csv");
    EXPECT_NE(live.find("play thunder"), std::string::npos);
    EXPECT_NE(live.find("loop wind"), std::string::npos);
    auto replay = [&](const char* script, const char* trace) {
        return outputAndCode("cd '" + folder.string() + "' && ALSOFT_DRIVERS=null '" +
                             (prefix / "bin/vexarion-replay").string() + "' --script " + script + " --trace " + trace);
    };
    EXPECT_EQ(replay("rec.txt", "replay.csv"), "rc=0");
    EXPECT_EQ(readText(folder / "replay.csv"), live) << "the replay's trace differs from the session's";

    // A session killed mid-write: the recording cut at a random byte past its
    // header replays every frame whose line was complete, and those only.
    const std::string recording = readText(folder / "rec.txt");
    const size_t body = recording.find('\n') + 1;
    const unsigned seed = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    const size_t cut = body + std::mt19937(seed)() % (recording.size() - body);
    std::ofstream(folder / "cut.txt", std::ios::binary) << recording.substr(0, cut);
    const std::string whole = recording.substr(0, recording.rfind('\n', cut - 1) + 1);
    size_t end = live.find('\n') + 1;  // past the trace's header
    for (size_t at = whole.find(" time "); at != std::string::npos; at = whole.find(" time ", at + 1))
        end = live.find('\n', end) + 1;  // and one row for each complete frame
    EXPECT_EQ(replay("cut.txt", "cut.csv"), "rc=0") << "cut at byte " << cut;
    EXPECT_EQ(readText(folder / "cut.csv"), live.substr(0, end)) << "cut at byte " << cut << " (seed " << seed << ")";

    // The Debian package: the installed tree under /usr, with its runtime dependencies.
    commandOutput("cd '" + runDir + "' && cpack -G DEB -B '" + (root / "package").string() + "' >/dev/null 2>&1");
    std::string deb = commandOutput("ls '" + (root / "package").string() + "'/vexarion_*.deb");
    ASSERT_FALSE(deb.empty()) << "cpack made no package";
    std::string list = commandOutput("dpkg-deb -c '" + deb + "'") + "\n";
    for (const char* file : {"./usr/bin/vexarion", "./usr/bin/vexarion-replay", "./usr/share/vexarion/MAN.KMO",
                             "./usr/share/vexarion/SEA.WAV", "./usr/share/vexarion/README.TXT",
                             "./usr/share/applications/org.vexarion.vexarion.desktop",
                             "./usr/share/metainfo/org.vexarion.vexarion.metainfo.xml",
                             "./usr/share/icons/hicolor/256x256/apps/vexarion.png"})
        EXPECT_NE(list.find(std::string(file) + "\n"), std::string::npos) << file << " not in\n" << list;
    std::string depends = commandOutput("dpkg-deb -f '" + deb + "' Depends");
    for (const char* library : {"libsdl2-2.0-0", "libopenal1", "libglu1-mesa", "libgl1", "libc6"})
        EXPECT_NE(depends.find(library), std::string::npos) << depends;
    fs::remove_all(root);
}

TEST(InstalledProgram, BadCommandLineGivesCodeTwoAndNoDisplayCodeOne)
{
    // (The parser's own test goes through every kind of mistake.)
    std::string out = outputAndCode("'" + runDir + "/vexarion' --window 10x10");
    EXPECT_NE(out.find("10x10"), std::string::npos) << out;
    EXPECT_NE(out.find("usage: vexarion"), std::string::npos) << out;
    EXPECT_EQ(out.substr(out.rfind("rc=")), "rc=2");

    const fs::path empty = scratchFolder("no-content");
    out = outputAndCode("env -u DISPLAY -u WAYLAND_DISPLAY VEXARION_DATA='" + empty.string() + "' '" + runDir +
                        "/vexarion' --window");
    EXPECT_EQ(out.substr(out.rfind("rc=")), "rc=1");
    EXPECT_NE(out.find("no display"), std::string::npos) << out;
    EXPECT_NE(out.find("content missing in " + empty.string()), std::string::npos) << out;
    fs::remove_all(empty);
}
