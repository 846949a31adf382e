// The application shell's own logic: the mode list the dialog offers and the
// replay scripts.
#include <gtest/gtest.h>

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

TEST(ModeList, KeepsSystemOrderAndDuplicatesAndDropsShallowModes)
{
    fakeModes = {{1024, 768, 32}, {640, 480, 8}, {800, 600, 16}, {800, 600, 16}, {320, 200, 4}, {1280, 1024, 24}};
    ModeList list;
    buildModeList(enumFake, &list);
    ASSERT_EQ(list.modes.size(), 4u);
    EXPECT_EQ(list.texts[0], "1024x768, 32bit");
    EXPECT_EQ(list.texts[1], "800x600, 16bit");
    EXPECT_EQ(list.texts[2], "800x600, 16bit");
    EXPECT_EQ(list.texts[3], "1280x1024, 24bit");
    EXPECT_EQ(list.defaultIndex, 0);  // no 640 x 480 x 16: the first entry
}

TEST(ModeList, DefaultIsTheLast640x480x16Entry)
{
    fakeModes = {{640, 480, 32}, {640, 480, 16}, {800, 600, 16}, {640, 480, 16}, {640, 480, 24}};
    ModeList list;
    buildModeList(enumFake, &list);
    EXPECT_EQ(list.defaultIndex, 3);
    // Indices count listed entries only, so an 8-bit mode before it shifts nothing wrongly.
    fakeModes = {{640, 480, 8}, {640, 480, 16}};
    buildModeList(enumFake, &list);
    EXPECT_EQ(list.defaultIndex, 0);
    EXPECT_EQ(list.modes.size(), 1u);
}

TEST(ModeList, EnumerationStopsAtTheFirstFailureAndMayBeEmpty)
{
    fakeModes = {{640, 480, 8}, {320, 240, 4}};
    ModeList list;
    buildModeList(enumFake, &list);
    EXPECT_TRUE(list.modes.empty());
    EXPECT_EQ(list.defaultIndex, 0);
}

TEST(ReplayScript, CommentsBlankLinesAndOrdering)
{
    std::vector<ScriptEvent> events;
    std::string error;
    ASSERT_TRUE(parseScript("# a comment\n250 type L\n10 press SHIFT   # hold shift\n\n10 press W\n  300 release W\n"
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
