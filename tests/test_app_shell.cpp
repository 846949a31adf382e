// The application shell's own logic: the mode list the dialog offers and the
// replay scripts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/display_dialog.h"
#include "app/replay_script.h"

namespace {

std::vector<DisplayMode> fakeModes;
bool enumFake(int n, DisplayMode* mode)
{
    if (n < 0 || n >= static_cast<int>(fakeModes.size()))
        return false;
    *mode = fakeModes[n];
    return true;
}

}  // namespace

// The dialog lists every mode of more than 8 bits in the system's order,
// duplicates included, and preselects the last 640 x 480 x 16 entry (the
// first entry when there is none); the enumeration ends at its first failure.
TEST(ModeList, ListsDeepModesInOrderAndPreselectsTheLast640x480x16)
{
    struct Case {
        std::vector<DisplayMode> system;
        std::vector<std::string> listed;
        int defaultIndex;
    };
    const Case cases[] = {
        {{{1024, 768, 32}, {640, 480, 8}, {800, 600, 16}, {800, 600, 16}, {320, 200, 4}, {1280, 1024, 24}},
         {"1024x768, 32bit", "800x600, 16bit", "800x600, 16bit", "1280x1024, 24bit"},
         0},
        {{{640, 480, 32}, {640, 480, 16}, {800, 600, 16}, {640, 480, 16}, {640, 480, 24}},
         {"640x480, 32bit", "640x480, 16bit", "800x600, 16bit", "640x480, 16bit", "640x480, 24bit"},
         3},
        {{{640, 480, 8}, {640, 480, 16}}, {"640x480, 16bit"}, 0},  // indices count listed entries only
        {{{640, 480, 8}, {320, 240, 4}}, {}, 0},
    };
    for (const Case& c : cases) {
        fakeModes = c.system;
        ModeList list;
        buildModeList(enumFake, &list);
        EXPECT_EQ(list.texts, c.listed);
        EXPECT_EQ(list.modes.size(), c.listed.size());
        EXPECT_EQ(list.defaultIndex, c.defaultIndex);
    }
}

TEST(ReplayScript, CommentsBlankLinesAndOrdering)
{
    std::vector<ScriptEvent> events;
    std::string error;
    ASSERT_TRUE(
        parseScript("# a comment\n250 type L\n10 press SHIFT   # hold shift\n\n10 press W\n  300 release W\n"
                    "300 type esc\n0 type t\n",
                    &events, &error))
        << error;
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].frame, 0);
    EXPECT_EQ(events[0].code, 't');
    EXPECT_EQ(events[1].frame, 10);
    EXPECT_EQ(events[1].kind, SCRIPT_PRESS);
    EXPECT_EQ(events[1].code, KEY_SHIFT);
    EXPECT_EQ(events[2].code, KEY_W);
    EXPECT_EQ(events[3].frame, 250);
    EXPECT_EQ(events[3].code, 'L');
    EXPECT_EQ(events[4].kind, SCRIPT_RELEASE);
    EXPECT_EQ(events[5].kind, SCRIPT_TYPE);
    EXPECT_EQ(events[5].code, 27);
}

TEST(ReplayScript, MalformedLinesAreErrorsNamingTheLine)
{
    std::vector<ScriptEvent> events;
    std::string error;
    const char* bad[] = {
        "1 type\n",           // missing argument
        "x type L\n",         // frame not a number
        "-3 type L\n",        // negative frame
        "1 type LL\n",        // more than one character
        "1 press Q\n",        // unknown key
        "1 hold E\n",         // unknown action
        "1 press E extra\n",  // trailing word
        "5 type #\n",         // '#' starts a comment, leaving no character
    };
    for (const char* text : bad) {
        std::string script = std::string("0 type l\n") + text;
        EXPECT_FALSE(parseScript(script, &events, &error)) << text;
        EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
    }
    EXPECT_FALSE(loadScript("/nonexistent/script.txt", &events, &error));
}
