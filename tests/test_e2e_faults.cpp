// The program against faults of the machine around it, under a virtual X
// display: a real sound server (PulseAudio on a private socket, with a null
// sink heard from its monitor) that dies under the program and comes back,
// or comes only after the program started; and files it can't write (a full
// device, a file grown past the size the system allows, a folder under a
// device, a read-only folder), each told once by name while the scene plays
// on, the recording kept to its last whole frame and replayed.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "tests/support/desktop.h"
#include "tests/support/process.h"
#include "tests/support/replay_run.h"

namespace fs = std::filesystem;

namespace {

const std::string runDir = VEXARION_RUN_DIR;

// A PulseAudio server of the test's own, with a null sink named "out",
// listening on a socket in `folder`; stopped as a crash stops it.
struct SoundServer {
    fs::path folder;
    ChildGuard guard{-1};

    std::vector<std::string> environment() const
    {
        return {"HOME=" + (folder / "home").string(), "XDG_RUNTIME_DIR=" + (folder / "run").string(),
                "PULSE_SERVER=unix:" + (folder / "pulse.sock").string()};
    }
    void start()
    {
        fs::create_directories(folder / "home");
        fs::create_directories(folder / "run");
        fs::permissions(folder / "run", fs::perms::owner_all);
        guard.ended = false;
        guard.pid = startProcess({"/bin/sh", "-c",
                                  "exec pulseaudio --daemonize=no --exit-idle-time=-1 -n --disallow-exit "
                                  "--load='module-null-sink sink_name=out' "
                                  "--load='module-native-protocol-unix socket=" +
                                      (folder / "pulse.sock").string() + " auth-anonymous=1' >>pulse.log 2>&1"},
                                 folder.string(), environment());
        for (int i = 0; i < 50 && !fs::exists(folder / "pulse.sock"); i++)
            sleepSeconds(0.1);
    }
    void stop()
    {
        killProcess(guard.pid);
        guard.ended = true;
        fs::remove(folder / "pulse.sock");
    }
    // The RMS amplitude of what the sink plays for `seconds`: 0 for silence.
    double loudness(double seconds) const
    {
        std::string setting;
        for (const std::string& s : environment())
            setting += s + " ";
        const std::string raw = (folder / "heard.raw").string();
        commandOutput(setting + "timeout " + std::to_string(seconds) +
                      " parec -d out.monitor --format=s16le --rate=44100 --channels=2 --raw >'" + raw +
                      "' 2>/dev/null");
        const std::string stat = commandOutput("sox -t raw -r 44100 -e signed -b 16 -c 2 '" + raw +
                                               "' -n stat 2>&1 | sed -n 's/^RMS *amplitude: *//p'");
        return std::strtod(stat.c_str(), nullptr);
    }
    // Seconds until the sink is heard, listening a second at a time; -1 after `most`.
    double secondsUntilHeard(double most) const
    {
        const auto start = std::chrono::steady_clock::now();
        auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
        while (elapsed() < most)
            if (loudness(1.0) > heardAbove)
                return elapsed();
        return -1.0;
    }
    static constexpr double heardAbove = 0.00005;  // the sea alone is ten times this
};

size_t rowsOf(const fs::path& trace)
{
    const std::string text = readText(trace.string());
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

// The program in a window of 480x360, its sound on `server`, run by `shell`
// ("exec PROGRAM" standing for the program), its words in err.txt.
pid_t startProgram(const fs::path& folder, const SoundServer& server, const std::string& arguments,
                   std::vector<std::string> environment, const std::string& shell = "exec PROGRAM")
{
    // The caller's settings come last and win.
    std::vector<std::string> settings = server.environment();
    settings.push_back("ALSOFT_DRIVERS=pulse");
    environment.insert(environment.begin(), settings.begin(), settings.end());
    std::string command = shell;
    command.replace(command.find("PROGRAM"), 7, "'" + runDir + "/vexarion' --window 480x360 " + arguments);
    return startProcess({"/bin/sh", "-c", command + " 2>err.txt"}, folder.string(), environment);
}

// Esc into the window, and the exit code; -1 when it did not end.
int quit(ChildGuard* guard, const std::string& window)
{
    commandOutput("xdotool windowfocus --sync " + window + " key Escape");
    int code = -1;
    guard->ended = waitProcess(guard->pid, 15, &code);
    return guard->ended ? code : -1;
}

}  // namespace

// Two sessions. The first hears the sea, loses its server (and plays on with
// no long frame) and hears it again once the server is back; the second
// starts before any server and is heard once one comes. The trace tells
// what the scene did, never what the device did: the two loops started, no
// more.
TEST(FaultsEndToEnd, SoundComesBackWithTheSoundServer)
{
    ASSERT_TRUE(x11Connect()) << "needs an X display (run under xvfb-run)";
    if (commandOutput("for p in pulseaudio parec sox; do command -v $p; done | wc -l") != "3")
        GTEST_SKIP() << "needs pulseaudio, parec and sox (tools/install-deps.sh)";
    const fs::path folder = scratchFolder("sound");
    SoundServer server{folder / "server"};
    server.start();
    const std::vector<std::string> settings = {"XDG_CONFIG_HOME=" + (folder / "config").string()};
    ChildGuard program{startProgram(folder, server, "--trace live.csv", settings)};
    const std::string window = findMainWindow(20);
    ASSERT_FALSE(window.empty()) << readText((folder / "err.txt").string());
    EXPECT_GT(server.secondsUntilHeard(5), -1.0) << "no sound at the start";

    server.stop();
    const size_t before = rowsOf(folder / "live.csv");
    sleepSeconds(3.0);  // three looks at the device, one try for a new one
    const size_t during = rowsOf(folder / "live.csv");
    server.start();
    const double back = server.secondsUntilHeard(10);
    EXPECT_GT(back, -1.0) << "not heard within 10 s of the server's return";
    EXPECT_EQ(quit(&program, window), 0) << readText((folder / "err.txt").string());

    const Trace live = readTrace((folder / "live.csv").string());
    ASSERT_GT(during, before + 20) << "the scene stopped while the server was gone";
    double longest = 0.0;
    for (size_t row = before; row < during && row < live.rows.size(); row++)
        longest = std::max(longest, live.number(row, "frameTime"));
    EXPECT_LE(longest, 0.1) << "a frame waited for the missing server";
    for (size_t row = 0; row < live.rows.size(); row++)
        EXPECT_EQ(live.text(row, "events"), row == 0 ? "loop sea;loop wind" : "") << "row " << row;

    // No server at the start: silent, then heard once one comes.
    server.stop();
    ChildGuard late{startProgram(folder, server, "", settings)};
    const std::string lateWindow = findMainWindow(20);
    ASSERT_FALSE(lateWindow.empty()) << readText((folder / "err.txt").string());
    sleepSeconds(2.0);
    server.start();
    const double heard = server.secondsUntilHeard(10);
    EXPECT_GT(heard, -1.0) << "a server that came late was never heard";
    EXPECT_EQ(quit(&late, lateWindow), 0);
    server.stop();
    std::printf(
        "sound again %.1f s after the server's return, %.1f s after a late server's start; "
        "longest frame while it was gone %.0f ms\n",
        back, heard, longest * 1000.0);
    fs::remove_all(folder);
}

// One session that can write none of its files: the trace goes to a full
// device, the recording grows past the size the system lets a file have,
// F12's pictures folder lies under a device, and the settings folder is
// read-only (a read-only mount of its own, which holds for root too). Each
// is told once, by name and reason; the scene plays on; the exit code is 1;
// the old settings stay whole; and the recording, cut back to its last whole
// frame, replays. The replay, with its trace and a shot on the full device,
// says so and ends with 1 too.
TEST(FaultsEndToEnd, FilesThatCantBeWrittenAreToldByNameAndTheScenePlaysOn)
{
    ASSERT_TRUE(x11Connect()) << "needs an X display (run under xvfb-run)";
    const fs::path folder = scratchFolder("unwritable"), config = folder / "config";
    fs::create_directories(config / "vexarion");
    const std::string oldSettings = "# kept\nvsync=off\n";
    std::ofstream(config / "vexarion" / "settings.ini") << oldSettings;
    // Root writes into a folder of mode 555: a read-only mount in a mount
    // namespace of the program's own stops root as well.
    const std::string settingsFolder = (config / "vexarion").string();
    const bool mounts = commandOutput("unshare -m sh -c \"mount --bind -o ro '" + settingsFolder + "' '" +
                                      settingsFolder + "' && echo yes\" 2>/dev/null") == "yes";
    std::string shell = "trap '' XFSZ; ulimit -f 8; exec PROGRAM";  // 4 KiB a file, beyond that EFBIG
    if (mounts)
        shell = "exec unshare -m sh -c \"mount --bind -o ro '" + settingsFolder + "' '" + settingsFolder + "' && " +
                shell + "\"";
    else if (geteuid() != 0)
        fs::permissions(config / "vexarion", fs::perms::owner_read | fs::perms::owner_exec);
    SoundServer none{folder};
    ChildGuard program{
        startProgram(folder, none, "--record rec.txt --trace /dev/full",
                     {"XDG_CONFIG_HOME=" + config.string(), "XDG_PICTURES_DIR=/dev/full", "ALSOFT_DRIVERS=null"},
                     shell)};
    const std::string window = findMainWindow(20);
    ASSERT_FALSE(window.empty()) << readText((folder / "err.txt").string());
    commandOutput("xdotool windowfocus --sync " + window);
    sleepSeconds(3.0);
    commandOutput("xdotool key F12");
    sleepSeconds(1.0);
    const std::string shotBefore = (folder / "a.png").string(), shotAfter = (folder / "b.png").string();
    commandOutput("import -window " + window + " '" + shotBefore + "'");
    sleepSeconds(1.0);
    commandOutput("import -window " + window + " '" + shotAfter + "'");
    EXPECT_NE(readText(shotBefore), readText(shotAfter)) << "the scene stood still after the failures";
    const int code = quit(&program, window);
    const std::string said = readText((folder / "err.txt").string());
    EXPECT_EQ(code, 1) << said;

    auto toldOnce = [&said](const std::string& words) {
        size_t first = said.find(words);
        return first != std::string::npos && said.find(words, first + 1) == std::string::npos;
    };
    EXPECT_TRUE(toldOnce("cannot write the trace /dev/full: No space left on device")) << said;
    EXPECT_TRUE(toldOnce("cannot write the recording " + (folder / "rec.txt").string() + ": File too large")) << said;
    EXPECT_TRUE(toldOnce("cannot write the screenshot /dev/full/vexarion-")) << said;
    if (mounts || geteuid() != 0) {
        EXPECT_TRUE(toldOnce("cannot save the settings in " + settingsFolder + "/settings.ini")) << said;
        EXPECT_EQ(readText((config / "vexarion" / "settings.ini").string()), oldSettings);
        EXPECT_EQ(std::distance(fs::directory_iterator(config / "vexarion"), fs::directory_iterator()), 1)
            << "a new settings file was left beside the old";
    }

    // The recording ends with its last whole frame and replays every one.
    const std::string recording = readText((folder / "rec.txt").string());
    ASSERT_GT(recording.size(), 3000u);
    EXPECT_LE(recording.size(), 4096u);
    ASSERT_EQ(recording.back(), '\n');
    const std::string last = recording.substr(recording.rfind('\n', recording.size() - 2) + 1);
    EXPECT_NE(last.find(" time "), std::string::npos) << "the last line is no frame's end: " << last;
    size_t frames = 0;
    for (size_t at = recording.find(" time "); at != std::string::npos; at = recording.find(" time ", at + 1))
        frames++;
    auto replay = [](const std::string& arguments) {
        return commandOutput("cd '" + runDir + "' && ALSOFT_DRIVERS=null ./" + arguments + " 2>&1; echo \"rc=$?\"");
    };
    const std::string replayed = replay("vexarion-replay-null --script '" + (folder / "rec.txt").string() +
                                        "' --trace '" + (folder / "replay.csv").string() + "'");
    EXPECT_EQ(replayed, "rc=0");
    EXPECT_EQ(readTrace((folder / "replay.csv").string()).rows.size(), frames);

    const std::string full =
        replay("vexarion-replay --frames 20 --size 160x120 --trace /dev/full --shot 5=/dev/full/shot.png");
    EXPECT_NE(full.find("vexarion-replay: cannot write the trace /dev/full: No space left on device"),
              std::string::npos)
        << full;
    EXPECT_NE(full.find("cannot write the shot /dev/full/shot.png: "), std::string::npos) << full;
    EXPECT_EQ(full.substr(full.rfind("rc=")), "rc=1") << full;
    fs::remove_all(folder);
}
