// The attract mode through vexarion-replay --attract, checked from its
// trace: the elements come on their own after the intro, often enough and
// only where the scene lets them, the same every run; a player's key acts
// and holds the attract back for a minute.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/replay_run.h"

namespace {

enum { STAND = 0, WALK = 1, CROUCH = 4, CAUGHT = 6 };
const long framesPerSecond = 50;  // at the replay's 0.02 s a frame

// The frames in which an element began: a strike's thunder, a tornado set
// coming down, and the sea or the land setting off from rest, unless it
// stopped less than five seconds before (it comes back: the same element).
std::vector<long> elementStarts(const Trace& t)
{
    std::vector<long> starts;
    long stopped[2] = {-1000, -1000};
    const char* levels[2] = {"seaLevel", "landLevel"};
    for (size_t row = 2; row < t.rows.size(); row++) {
        bool begins = t.hasEvent(row, "play thunder") ||
                      (t.number(row, "tornadoSpeed") < 0 && t.number(row - 1, "tornadoSpeed") >= 0);
        for (int l = 0; l < 2; l++) {
            const bool moves = t.change(row, levels[l]) != 0, moved = t.change(row - 1, levels[l]) != 0;
            if (moves && !moved && static_cast<long>(row) - stopped[l] >= 5 * framesPerSecond)
                begins = true;
            if (!moves && moved)
                stopped[l] = static_cast<long>(row);
        }
        if (begins)
            starts.push_back(static_cast<long>(row));
    }
    return starts;
}

Trace attractReplay(const std::string& script, long frames)
{
    const ReplayResult r = runReplay(script, {"--attract", "--frames", std::to_string(frames)});
    EXPECT_EQ(r.exitCode, 0) << r.errors;
    EXPECT_EQ(r.trace.rows.size(), static_cast<size_t>(frames));
    return r.trace;
}

}  // namespace

TEST(AttractStories, TheElementsComeOnTheirOwnOftenAndTheSameEveryTime)
{
    const long frames = 3000;
    const Trace t = attractReplay("", frames);
    EXPECT_EQ(attractReplay("", frames).rows, t.rows) << "two runs differ";
    // Without the attract the same minute passes with nothing but the man's walks.
    const ReplayResult quiet = runReplay("", {"--frames", std::to_string(frames)});
    EXPECT_TRUE(elementStarts(quiet.trace).empty());

    const long intro = t.firstRow("characterScale", 10.0);
    ASSERT_GT(intro, 0);
    const std::vector<long> starts = elementStarts(t);
    ASSERT_FALSE(starts.empty());
    EXPECT_GT(starts.front(), intro) << "an element during the intro";
    long previous = intro;
    for (long start : starts) {
        EXPECT_LE(start - previous, 20 * framesPerSecond) << "nothing came for 20 seconds before frame " << start;
        previous = start;
    }
    EXPECT_LE(frames - previous, 20 * framesPerSecond) << "nothing came in the last 20 seconds";

    int strikes = 0;
    bool caught = false, released = false;
    for (size_t row = 1; row < t.rows.size(); row++) {
        if (t.hasEvent(row, "play thunder")) {
            strikes++;
            const double before = t.number(row - 1, "directorState");
            EXPECT_TRUE((before == STAND || before == WALK || before == CROUCH) && t.number(row - 1, "burning") == 0)
                << "a strike at frame " << row << " on a man in state " << before;
        }
        caught = caught || t.number(row, "directorState") == CAUGHT;
        released = released || (caught && t.number(row, "tornadoSpeed") > 0);
    }
    EXPECT_GE(strikes, 2);
    EXPECT_TRUE(caught && released) << "no tornado came down on him and went back up";
    // The sea and the land come back to where they were.
    for (const auto& [name, home] : {std::pair{"seaLevel", -15.0}, {"landLevel", 0.0}}) {
        double lowest = home, highest = home;
        for (size_t row = 0; row < t.rows.size(); row++) {
            lowest = std::min(lowest, t.number(row, name));
            highest = std::max(highest, t.number(row, name));
        }
        EXPECT_GT(highest - lowest, 3.0) << name << " never moved";
    }
}

TEST(AttractStories, APlayersKeyActsAndHoldsTheAttractBackForAMinute)
{
    // The player brings the tornado down while the attract is holding a
    // level's key: the level stops at once, the tornado catches him, and the
    // attract lets it be until a minute has passed, then sends it up first.
    const Trace plain = attractReplay("", 1500);
    long moving = -1;
    for (size_t row = 250; row < plain.rows.size() && moving < 0; row++)
        if (plain.change(row, "seaLevel") != 0 || plain.change(row, "landLevel") != 0)
            moving = static_cast<long>(row) + 5;
    ASSERT_GT(moving, 0) << "the attract never moved a level";
    ASSERT_NE(plain.change(moving, "seaLevel") + plain.change(moving, "landLevel"), 0.0);

    const long touch = moving, minute = 60 * framesPerSecond;
    const Trace t = attractReplay(std::to_string(touch) + " type t\n", touch + minute + 300);
    EXPECT_EQ(t.number(touch, "tornadoSpeed"), -15) << "the player's t did nothing";
    for (long row = touch + 2; row < touch + minute; row++) {
        EXPECT_EQ(t.change(row, "seaLevel"), 0.0) << row;
        EXPECT_EQ(t.change(row, "landLevel"), 0.0) << row;
        EXPECT_FALSE(t.hasEvent(row, "play thunder")) << row;
        EXPECT_LE(t.number(row, "tornadoSpeed"), 0.0) << row;
    }
    EXPECT_EQ(t.number(touch + minute - 1, "directorState"), CAUGHT);
    const long up = t.firstRow("tornadoSpeed", 25.0, static_cast<size_t>(touch));
    EXPECT_TRUE(up >= touch + minute && up <= touch + minute + 5) << up;
}
