// The application shell's own logic: the mode list the dialog offers, the
// replay scripts, a session's recording read back as one, and the numbers
// of a trace.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/display_dialog.h"
#include "app/scene_reset.h"
#include "effects/lightning.h"
#include "replay/recorder.h"
#include "replay/script.h"
#include "replay/trace.h"
#include "scene/scene_state.h"

namespace {

std::vector<DisplayMode> fakeModes;
bool enumFake(int n, DisplayMode* mode)
{
    if (n < 0 || n >= static_cast<int>(fakeModes.size()))
        return false;
    *mode = fakeModes[n];
    return true;
}

// Script events in words ("10 press W, 250 type 76, 251 time 0.0500000007"),
// the times with the nine digits that tell every float apart.
std::string described(const std::vector<ScriptEvent>& events)
{
    std::string words;
    const char* const kinds[] = {"type", "press", "release", "time", "option"};
    for (const ScriptEvent& e : events) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.9g", static_cast<double>(e.seconds));
        words += (words.empty() ? "" : ", ") + std::to_string(e.frame) + " " + kinds[e.kind] + " ";
        words += e.kind == SCRIPT_TIME     ? seconds
                 : e.kind == SCRIPT_TYPE   ? std::to_string(e.code)
                 : e.kind == SCRIPT_OPTION ? scriptOptionReducedFlash
                                           : scriptKeyWord(static_cast<Key>(e.code));
    }
    return words;
}

// A script's events in words, or "error " and the message.
std::string parsed(const std::string& text)
{
    std::vector<ScriptEvent> events;
    std::string error;
    return parseScript(text, &events, &error) ? described(events) : "error " + error;
}

}  // namespace

// Modes of more than 8 bits in the system's order, duplicates included, until
// the first failure; the last 640 x 480 x 16 one (else the first)
// preselected, unless the list has the mode last started.
TEST(ModeList, ListsDeepModesInOrderAndPreselectsTheLastStartedElseThe640x480x16)
{
    struct Case {
        std::vector<DisplayMode> system;
        std::vector<std::string> listed;
        int defaultIndex;
        DisplayMode lastStarted;
        int preselected;
    };
    const Case cases[] = {
        {{{1024, 768, 32}, {640, 480, 8}, {800, 600, 16}, {800, 600, 16}, {320, 200, 4}, {1280, 1024, 24}},
         {"1024x768, 32bit", "800x600, 16bit", "800x600, 16bit", "1280x1024, 24bit"},
         0,
         {800, 600, 16},
         1},
        {{{640, 480, 32}, {640, 480, 16}, {800, 600, 16}, {640, 480, 16}, {640, 480, 24}},
         {"640x480, 32bit", "640x480, 16bit", "800x600, 16bit", "640x480, 16bit", "640x480, 24bit"},
         3,
         {800, 600, 32},
         3},
        {{{640, 480, 8}, {640, 480, 16}},
         {"640x480, 16bit"},
         0,
         {640, 480, 8},
         0},  // indices count listed entries only
        {{{640, 480, 8}, {320, 240, 4}}, {}, 0, {640, 480, 8}, 0},
    };
    for (const Case& c : cases) {
        fakeModes = c.system;
        ModeList list;
        buildModeList(enumFake, &list);
        EXPECT_EQ(list.texts, c.listed);
        EXPECT_EQ(list.modes.size(), c.listed.size());
        EXPECT_EQ(list.defaultIndex, c.defaultIndex);
        preferMode(&list, c.lastStarted);
        EXPECT_EQ(list.defaultIndex, c.preselected);
    }
}

TEST(ReplayScript, ParsesCommentsBlankLinesAndOrderAndNamesABadLine)
{
    EXPECT_EQ(parsed("# a comment\n250 type L\n10 press SHIFT   # hold shift\n\n10 press W\n  300 release W\n"
                     "300 type esc\n0 type t\n7 time 0.5\n0 option reduced-flash\n"),
              "0 type 116, 0 option reduced-flash, 7 time 0.5, 10 press SHIFT, 10 press W, 250 type 76, "
              "300 release W, 300 type 27");
    // An unterminated last line is kept in a hand-written script, dropped as
    // cut off mid-write in one with frame times.
    EXPECT_EQ(parsed("0 type L\n9 type 09"), "0 type 76, 9 type 9");
    EXPECT_EQ(parsed("0 time 0.5\n1 type L"), "0 time 0.5");
    EXPECT_EQ(parsed(recordingHeader + ", today\n0 type L"), "");
    for (const char* bad : {"1 type\n", "1 press E extra\n", "x type L\n", "-3 type L\n", "1234567890 type L\n",
                            "1 type LL\n", "3 type 256\n", "5 type #\n", "1 press Q\n", "1 hold E\n", "3 time -1\n",
                            "3 time x\n", "3 time 1e99\n", "3 time 3.1e38\n", "3 type 0065\n", "0 option full-flash\n"})
        EXPECT_EQ(parsed(std::string("0 type l\n") + bad).rfind("error line 2: ", 0), 0u) << bad;
}

TEST(Recording, ReadsBackAsTheSameEventsAndExactFrameTimes)
{
    const std::string path = (std::filesystem::temp_directory_path() / "vexarion-recording-test.txt").string();
    lightning.reducedFlash = true;  // an option that changes the scene, recorded first
    ASSERT_TRUE(recorderOpen(path.c_str()));
    lightning.reducedFlash = false;
    recordFrameEnd(0.0f);
    for (int c : std::vector<int>{'L', ' ', '#', 27, 9, 255})
        recordChar(c);
    recordKey(KEY_SHIFT, true);
    recordFrameEnd(0.0166667f);
    recordKey(KEY_SHIFT, false);
    recordFrameEnd(1.0f / 3.0f);
    recordFrameEnd(1.17549435e-38f);
    recordChar('t');  // a frame that never ends
    ASSERT_TRUE(recorderClose());

    std::vector<ScriptEvent> events;
    std::string error;
    bool recording = false;
    ASSERT_TRUE(loadScript(path.c_str(), &events, &error, &recording)) << error;
    EXPECT_TRUE(recording);
    EXPECT_EQ(described(events),
              "0 option reduced-flash, 0 time 0, 1 type 76, 1 type 32, 1 type 35, 1 type 27, 1 type 9, 1 type 255, "
              "1 press SHIFT, 1 time 0.0166666992, 2 release SHIFT, 2 time 0.333333343, "
              "3 time 1.17549435e-38");
    std::remove(path.c_str());
    EXPECT_FALSE(loadScript(path.c_str(), &events, &error));
}

// Traces are compared byte for byte between systems, so every C library
// must print a float the same way: nine significant digits, correctly
// rounded, the shortest of %g's two forms, two exponent digits at least.
TEST(Trace, PrintsFloatsWithNineDigitsAsEveryCLibraryMust)
{
    resetSceneState();
    const std::pair<float, const char*> numbers[] = {
        {0.0f, "0"},
        {-0.0f, "-0"},
        {0.02f, "0.0199999996"},
        {1.0f / 3.0f, "0.333333343"},
        {16777216.0f, "16777216"},
        {123456789.0f, "123456792"},
        {100000.0f, "100000"},
        {1e9f, "1e+09"},
        {0.0001f, "9.99999975e-05"},
        {-2.05636024e-06f, "-2.05636024e-06"},
        {1.17549435e-38f, "1.17549435e-38"},
        {0x1p-149f, "1.40129846e-45"},
        {3.40282347e+38f, "3.40282347e+38"},
    };
    for (const auto& [value, text] : numbers) {
        scene.frameTime = value;
        EXPECT_EQ(traceRow(7, "").rfind("7," + std::string(text) + ",", 0), 0u) << text;
    }
    resetSceneState();
}
