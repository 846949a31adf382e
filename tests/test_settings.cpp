// The settings file: what its lines give, what is kept and written back,
// how damage is met, and the file written safely; and the frame cap and
// pacing the settings feed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/frame_pacing.h"
#include "app/settings.h"

namespace fs = std::filesystem;

namespace {

// The settings in words, the way the table below writes them.
std::string described(const Settings& s)
{
    std::string words;
    if (s.hasDisplayMode)
        words += "mode " + std::to_string(s.displayMode.width) + "x" + std::to_string(s.displayMode.height) + "x" +
                 std::to_string(s.displayMode.bitsPerPixel) + " ";
    if (s.hasWindowSize)
        words += "size " + std::to_string(s.windowWidth) + "x" + std::to_string(s.windowHeight) + " ";
    if (s.hasWindowPosition)
        words += "at " + std::to_string(s.windowX) + "," + std::to_string(s.windowY) + " ";
    return words + "vsync " + (s.vsync ? "on" : "off") + " fps " + std::to_string(s.maxFps) + " flash " +
           (s.reducedFlash ? "reduced" : "full") + " mute " + (s.muteUnfocused ? "on" : "off") +
           (s.attractPause != attractPauseDefault ? " pause " + std::to_string(s.attractPause) : "") +
           (s.saverSound ? " saver sound" : "");
}

const std::string defaults = "vsync on fps -1 flash full mute off";
const std::string header = "# Vexarion's settings, written when it quits. Lines it doesn't know are kept.\n";
// The screen saver's keys, which a file without them gets at its end.
const std::string saverLines = "attract_pause=8\nsaver_sound=off\n";
const std::string defaultLines = "vsync=on\nmax_fps=auto\nreduced_flash=off\nmute_unfocused=off\n" + saverLines;

}  // namespace

TEST(Settings, ReadsWhatItCanKeepsWhatItDoesntKnowAndNamesTheFirstDamage)
{
    struct Case {
        std::string file, settings, problem, written;
    };
    const Case cases[] = {
        {"", defaults, "", header + defaultLines},
        // What the program writes reads back as itself.
        {header + "display_mode=800x600, 16bit\nwindow_size=900x500\nwindow_position=-120,80\n" + defaultLines,
         "mode 800x600x16 size 900x500 at -120,80 " + defaults, "",
         header + "display_mode=800x600, 16bit\nwindow_size=900x500\nwindow_position=-120,80\n" + defaultLines},
        // Comments, blank lines and unknown keys stay where they were; known
        // keys keep their place, once; spaces and CRLF are forgiven.
        {"# mine\r\n\nvolume = 11\n max_fps = 30 \nvsync=no\nmax_fps=0\nwindow_position=5, 6\n",
         "at 5,6 vsync off fps 0 flash full mute off", "",
         header +
             "# mine\n\nvolume = 11\nmax_fps=0\nvsync=off\nwindow_position=5,6\nreduced_flash=off\n"
             "mute_unfocused=off\n" +
             saverLines},
        {"reduced_flash=true\nmute_unfocused=1\n", "vsync on fps -1 flash reduced mute on", "",
         header + "reduced_flash=on\nmute_unfocused=on\nvsync=on\nmax_fps=auto\n" + saverLines},
        // Damage: a bad value keeps the default and the key's place; a
        // line that isn't key=value goes; so does an unfinished last line.
        {"vsync=maybe\nwindow_size=10x10\nmax_fps=auto\n", defaults,
         "line 1: vsync takes on or off, not 'maybe' (and 1 more damaged line)",
         header + "vsync=on\nmax_fps=auto\nreduced_flash=off\nmute_unfocused=off\n" + saverLines},
        {"max_fps=1001\ndisplay_mode=800x600\nwindow_position=1,2,3\n", defaults,
         "line 1: max_fps takes auto or 0 to 1000, not '1001' (and 2 more damaged lines)",
         header + "max_fps=auto\nvsync=on\nreduced_flash=off\nmute_unfocused=off\n" + saverLines},
        {"mute_unfocused=on\nwindow_size=1024x7", "vsync on fps -1 flash full mute on",
         "line 2: an unfinished last line",
         header + "mute_unfocused=on\nvsync=on\nmax_fps=auto\nreduced_flash=off\n" + saverLines},
        {"just words\n[section]\nvsync=off\n", "vsync off fps -1 flash full mute off",
         "line 1: not key=value (and 1 more damaged line)",
         header + "vsync=off\nmax_fps=auto\nreduced_flash=off\nmute_unfocused=off\n" + saverLines},
        {std::string("a=b\0c\nvsync=off\n", 16) + std::string(2000, 'x') + "\n", "vsync off fps -1 flash full mute off",
         "line 1: a control byte (and 1 more damaged line)",
         header + "vsync=off\nmax_fps=auto\nreduced_flash=off\nmute_unfocused=off\n" + saverLines},
        {std::string(64 * 1024 + 1, '\n'), defaults, "longer than 64 KiB", header + defaultLines},
        // The screen saver's keys: the attract's pause in seconds, and whether the saver plays the sounds.
        {"attract_pause=4\n", defaults + " pause 4", "",
         header + "attract_pause=4\nvsync=on\nmax_fps=auto\nreduced_flash=off\nmute_unfocused=off\nsaver_sound=off\n"},
        {"saver_sound=yes\nattract_pause=16\n", defaults + " saver sound",
         "line 2: attract_pause takes 2 to 15 seconds, not '16'",
         header + "saver_sound=on\nattract_pause=8\nvsync=on\nmax_fps=auto\nreduced_flash=off\nmute_unfocused=off\n"},
    };
    for (const Case& c : cases) {
        Settings s;
        EXPECT_EQ(parseSettings(c.file, &s), c.problem) << c.file.substr(0, 80);
        EXPECT_EQ(described(s), c.settings) << c.file.substr(0, 80);
        EXPECT_EQ(formatSettings(s), c.written) << c.file.substr(0, 80);
    }
}

TEST(Settings, FileIsWrittenWholeIntoItsFolderAndAnUnwritableOneIsReported)
{
    const fs::path root = fs::temp_directory_path() / "vexarion-settings-test";
    fs::remove_all(root);
    const fs::path file = root / "missing" / "vexarion" / "settings.ini";
    Settings s;
    ASSERT_EQ(parseSettings("# kept\nwindow_size=700x500\nvsync=off\n", &s), "");
    ASSERT_TRUE(saveSettings(file.u8string(), s));  // the folders are made
    EXPECT_EQ(described(loadSettings(file.u8string())), "size 700x500 vsync off fps -1 flash full mute off");
    s.windowWidth = 800;
    ASSERT_TRUE(saveSettings(file.u8string(), s));  // over the old file
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(file.parent_path()))
        names.push_back(entry.path().filename().u8string());
    EXPECT_EQ(names, std::vector<std::string>{"settings.ini"}) << "the new file was left beside it";
    EXPECT_EQ(described(loadSettings(file.u8string())), "size 800x500 vsync off fps -1 flash full mute off");

    // A folder that can't be made (a file stands in its way), a missing
    // file, and a folder where the file should be: defaults, and no crash.
    std::ofstream(root / "plain") << "a file";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(saveSettings((root / "plain" / "vexarion" / "settings.ini").u8string(), s));
    EXPECT_EQ(described(loadSettings((root / "nothing.ini").u8string())), defaults);
    EXPECT_EQ(described(loadSettings(file.parent_path().u8string())), defaults);
    // The screen saver's reading of a damaged file: what a warned reading
    // gives, and not a word.
    const std::string damaged = "vsync=maybe\nwindow_size=640x480\n\x01\nmax_fps=30";
    std::ofstream(root / "damaged.ini") << damaged;
    Settings parsed;
    EXPECT_NE(parseSettings(damaged, &parsed), "");
    EXPECT_EQ(described(loadSettingsQuietly((root / "damaged.ini").u8string())), described(parsed));
    EXPECT_EQ(described(loadSettingsQuietly(file.parent_path().u8string())), defaults);
    const std::string warnings = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 2) << warnings;
    EXPECT_NE(warnings.find("cannot save the settings in " + (root / "plain").u8string()), std::string::npos)
        << warnings;
    EXPECT_NE(warnings.find("cannot be read"), std::string::npos) << warnings;
    fs::remove_all(root);
}

TEST(FramePacing, CapsAndSleepsTheRestOfEachFrame)
{
    // requested, vsync paces, shown -> cap
    const int caps[][4] = {{-1, 0, 1, 250}, {-1, 1, 1, 0}, {30, 1, 1, 30}, {0, 0, 1, 0},
                           {-1, 1, 0, 15},  {0, 0, 0, 15}, {10, 0, 0, 10}, {60, 1, 0, 15}};
    for (const auto& c : caps)
        EXPECT_EQ(frameCap(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];

    // At 10 frames a second of a 1000-tick clock, frames whose work ends at
    // these readings end 100 ticks apart; a late one starts afresh from its
    // end; no cap never sleeps, and a cap again starts from now.
    FramePacer pacer;
    std::vector<int64_t> delays;
    const std::pair<int64_t, int> frames[] = {{0, 10},   {130, 10}, {270, 10}, {420, 10},
                                              {450, 10}, {700, 0},  {710, 10}, {815, 10}};
    for (const auto& [now, cap] : frames)
        delays.push_back(framePacerDelay(&pacer, now, 1000, cap));
    EXPECT_EQ(delays, (std::vector<int64_t>{100, 70, 30, 0, 70, 0, 100, 95}));

    // Vsync counts as pacing while no second holds more frames than any
    // display shows: a 240-a-second display passes, frames 1 ms apart don't.
    for (const auto& [ticksApart, paces] : {std::pair<int64_t, bool>{4167, true}, {1000, false}}) {
        VsyncWatch watch;
        bool stillPaces = true;
        for (int64_t now = 0; now < 2500000; now += ticksApart)
            stillPaces = vsyncWatchFrame(&watch, now, 1000000);
        EXPECT_EQ(stillPaces, paces) << ticksApart;
    }
}
