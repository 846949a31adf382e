// Whole scenes through vexarion-replay, checked frame by frame from its trace:
// what the scene must do (speeds, thresholds, sounds, the order of the
// character's states), not a recording. At 0.02 s a frame the intro ends at 200.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/png_read.h"
#include "tests/support/replay_run.h"

namespace {

enum { STAND = 0, WALK = 1, RUN = 2, SWIM = 3, CROUCH = 4, CAUGHT = 6, FALL = 7 };
const double dt = 0.02f;  // the frame time as the program sees it (a float)

const std::string state = "directorState";
using Values = std::vector<double>;

double horizontalStep(const Trace& t, long row)
{
    return std::hypot(t.change(row, "posX"), t.change(row, "posZ"));
}

Trace replay(const std::string& script, long frames, std::vector<std::string> options = {})
{
    options.insert(options.end(), {"--frames", std::to_string(frames)});
    ReplayResult r = runReplay(script, options);
    EXPECT_EQ(r.exitCode, 0) << r.errors;
    EXPECT_EQ(r.trace.rows.size(), static_cast<size_t>(frames));
    return r.trace;
}

// "" when the traces are the same line for line, else the first line that
// differs (the header is line 1) from both.
std::string firstDifference(const Trace& expected, const Trace& actual)
{
    auto line = [](const Trace& t, size_t n) {
        const std::vector<std::string>& fields = n == 0 ? t.columns : t.rows[n - 1];
        std::string text;
        for (size_t i = 0; i < fields.size(); i++)
            text += (i ? "," : "") + fields[i];
        return text;
    };
    const size_t lines = std::max(expected.rows.size(), actual.rows.size()) + 1;
    for (size_t n = 0; n < lines; n++) {
        const std::string a = n <= expected.rows.size() ? line(expected, n) : "(none)";
        const std::string b = n <= actual.rows.size() ? line(actual, n) : "(none)";
        if (a != b)
            return "line " + std::to_string(n + 1) + ": " + a + " / " + b;
    }
    return "";
}

}  // namespace

TEST(SceneStories, IntroShrinksTheCharacterIgnoringElementsButNotEsc)
{
    const Trace t = replay(
        "30 type L\n40 type t\n50 type T\n60 press E\n70 press W\n80 press SHIFT\n"
        "150 release E\n150 release W\n150 release SHIFT\n",
        210);
    EXPECT_EQ(t.numbers(0, {"frameTime", "characterScale"}), (Values{0, 50}));
    EXPECT_EQ(t.text(0, "events"), "loop sea;loop wind");
    const long end = t.firstRow("characterScale", 10.0);
    ASSERT_TRUE(end == 200 || end == 201) << end;  // four seconds of frame time, to the last float
    EXPECT_NEAR(t.number(end, "totalTime"), 4.0, 1e-4);
    const std::vector<std::string> calm = {"flashIntensity", "tornadoSpeed", "landLevel", "seaLevel", state};
    for (long row = 1; row <= end; row++) {
        EXPECT_EQ(static_cast<float>(t.number(row, "frameTime")), 0.02f);  // a float read back exactly
        EXPECT_EQ(t.numbers(row, calm), (Values{0, 0, 0, -15, STAND})) << row;
        EXPECT_EQ(t.text(row, "events"), "") << row;
        EXPECT_LT(t.change(row, "characterScale"), 0.0) << row;
        EXPECT_NEAR(t.change(row, "sceneYaw"), 3 * dt, 1e-5) << row;  // the scene turns 3 degrees a second
    }
    // The director decides at once; his first steps come down onto the ground from one unit above it.
    EXPECT_EQ(t.number(end + 1, "characterScale"), 10.0);
    EXPECT_GT(t.number(end + 1, "actionTimer"), 4.0);
    EXPECT_NEAR(t.number(end + 1, "posY"), t.number(0, "posY") - 1.0, 0.05);

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--dt", "10.5"}, {"--frames", "-1"}, {"--shot", "x"}, {"--pose", "5"}}) {
        const ReplayResult r = runReplay("", bad);
        EXPECT_TRUE(r.exitCode == 2 && r.errors.find("vexarion-replay: bad ") == 0 &&
                    r.errors.find("usage:") != std::string::npos)
            << r.errors;
    }
    const ReplayResult unknown = runReplay("", {"--bogus"});
    EXPECT_TRUE(unknown.exitCode == 2 && unknown.errors.find("unknown option --bogus") != std::string::npos)
        << unknown.errors;
    EXPECT_EQ(runReplay("", {"--frames", "0"}).exitCode, 0);
    EXPECT_EQ(runReplay("5 time 0.125\n", {"--frames", "6"}).trace.number(5, "frameTime"), 0.125);
    const ReplayResult quit = runReplay("100 type esc\n", {"--frames", "400"});
    EXPECT_EQ(quit.exitCode, 0);
    ASSERT_EQ(quit.trace.rows.size(), 101u);  // the Esc frame still completes
    EXPECT_GT(quit.trace.number(100, "characterScale"), 10.0);
}

// The replay without a picture (the null backend) and the one that draws
// run the same frame step: their traces agree byte for byte.
TEST(SceneStories, TheNullReplayWritesTheSameTraceAsTheDrawingOne)
{
    const std::string script =
        "230 press E\n260 release E\n270 type L\n330 press W\n360 release W\n"
        "400 type t\n560 type T\n600 press F\n601 release F\n";
    const ReplayResult unseen = runReplay(script, {"--frames", "700"});
    const ReplayResult drawn = runReplay(script, {"--frames", "700"}, "", 300, true);
    ASSERT_EQ(unseen.trace.rows.size(), 700u);
    EXPECT_EQ(firstDifference(unseen.trace, drawn.trace), "");
}

// So do they on every scene story that the other systems replay too
// (tests/stories/, each with its "# frames N" and "# dt SECONDS").
TEST(SceneStories, EveryStoryTheOtherSystemsReplayGivesOneTraceDrawnOrNot)
{
    int stories = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VEXARION_SOURCE_DIR "/tests/stories")) {
        std::stringstream text;
        text << std::ifstream(entry.path()).rdbuf();
        const std::string story = text.str();
        std::smatch frames, dt;
        ASSERT_TRUE(std::regex_search(story, frames, std::regex("# frames (\\d+)"))) << entry.path();
        const bool ownTime = std::regex_search(story, dt, std::regex("# dt ([0-9.]+)"));
        const std::vector<std::string> options = {"--frames", frames[1], "--dt", ownTime ? dt[1].str() : "0.02"};
        const ReplayResult plain = runReplay(story, options);
        const ReplayResult seen = runReplay(story, options, "", 300, true);
        EXPECT_EQ(plain.trace.rows.size(), std::stoul(frames[1])) << entry.path();
        EXPECT_EQ(firstDifference(plain.trace, seen.trace), "") << entry.path();
        stories++;
    }
    EXPECT_GE(stories, 6);
}

TEST(SceneStories, LightningSetsHimAlightAndHeRunsIntoTheSeaThenSwimsAshore)
{
    const long strike = 260;
    const Trace t = replay("260 type L\n265 type l\n", 960);
    // Thunder, the burn loop and a flash fading at 3 per second to exactly 0; a second strike in it is ignored.
    EXPECT_TRUE(t.hasEvent(strike, "play thunder") && t.hasEvent(strike, "loop burn")) << t.text(strike, "events");
    EXPECT_EQ(t.numbers(strike, {state, "poseMode", "burning"}), (Values{RUN, RUN, 1}));
    EXPECT_NEAR(t.number(strike, "flashIntensity"), 1.0 - 3 * dt, 1e-6);
    EXPECT_EQ(t.text(strike + 5, "events"), "");
    for (long row = strike + 1; row < strike + 30; row++)
        EXPECT_NEAR(t.number(row, "flashIntensity"), std::max(0.0, t.number(row - 1, "flashIntensity") - 3 * dt), 1e-5)
            << row;
    EXPECT_EQ(t.number(strike + 20, "flashIntensity"), 0.0);
    // He runs at 12 per second (three walking steps) into deep water; he crouches, the burn stops, it hisses.
    const long crouch = t.firstRow(state, CROUCH, strike);
    ASSERT_TRUE(crouch > strike && t.firstRow(state, RUN, strike, false) == crouch) << "he never ran into the sea";
    std::set<double> runSteps;  // a step every 0.1 s
    for (long row = strike + 1; row < crouch; row++) {
        EXPECT_TRUE(horizontalStep(t, row) <= 12 * dt + 1e-4 && horizontalStep(t, row) >= 12 * dt * 0.8) << row;
        EXPECT_EQ(t.number(row, "actionTimer"), 100.0) << row;
        runSteps.insert(t.number(row, "poseStep"));
    }
    EXPECT_EQ(runSteps, (std::set<double>{1, 2, 3, 4}));
    EXPECT_TRUE(t.hasEvent(crouch, "stop burn") && t.hasEvent(crouch, "play hiss")) << t.text(crouch, "events");
    EXPECT_LT(t.number(crouch, "posY"), t.number(crouch, "seaLevel") - 5);
    EXPECT_EQ(t.number(crouch, "poseMode"), CROUCH);
    // He stays crouched, unmoving, while the fire dies (within 32 frames).
    const long out = t.firstRow("burning", 0, crouch);
    ASSERT_TRUE(out > crouch && out - crouch <= 32) << out - crouch;
    for (long row = crouch + 1; row < out; row++)
        EXPECT_EQ(t.numbers(row, {state, "posX", "posZ"}), t.numbers(crouch, {state, "posX", "posZ"}));
    // He swims to the origin, feet 5 below the surface, and walks ashore where the ground rises above sea - 4.
    const long swim = t.firstRow(state, SWIM, out);
    ASSERT_TRUE(swim == out || swim == out + 1) << swim - out;
    EXPECT_EQ(t.numbers(swim, {"targetX", "targetZ"}), (Values{0, 0}));
    const long ashore = t.firstRow(state, WALK, swim);
    ASSERT_TRUE(ashore > swim && t.firstRow(state, SWIM, swim, false) == ashore) << "he never swam ashore";
    for (long row = swim + 1; row < ashore; row++) {
        EXPECT_FLOAT_EQ(t.number(row, "posY"), t.number(row, "seaLevel") - 5) << row;
        EXPECT_NEAR(horizontalStep(t, row), 3 * dt, 1e-4) << row;
    }
    EXPECT_GT(t.number(ashore, "posY"), t.number(ashore, "seaLevel") - 4);
    const long origin = t.firstRow(state, STAND, ashore);
    ASSERT_GT(origin, ashore);
    EXPECT_EQ(t.number(origin, "actionTimer"), 0.0);  // arrived: the next decision comes at once
    EXPECT_LT(std::hypot(t.number(origin, "posX"), t.number(origin, "posZ")), 1.0);
}

TEST(SceneStories, TornadoCatchesHimWhirlsHimUpAndDropsHimWhenItRises)
{
    const long down = 260, up = 900, frames = 1140;
    const Trace t = replay("260 type t\n900 type T\n", frames);
    // The lower end comes down from 95 at 15 per second to within 10 of the ground under him, and stops.
    EXPECT_EQ(t.number(down, "tornadoSpeed"), -15.0);
    EXPECT_NEAR(t.number(down, "tornadoBottom"), 95 - 15 * dt, 1e-4);
    const long caught = t.firstRow(state, CAUGHT, down);
    ASSERT_TRUE(caught > down && caught < up) << "caught at " << caught;
    for (long row = down + 1; row < caught; row++) {
        EXPECT_NEAR(t.change(row, "tornadoBottom"), -15 * dt, 1e-3) << row;
        EXPECT_GE(std::fabs(t.number(row, "tornadoBottom") - t.number(row, "posY")), 9.0) << row;
    }
    EXPECT_LT(std::fabs(t.number(caught, "tornadoBottom") - t.number(caught - 1, "posY")), 10.5);
    EXPECT_EQ(t.number(caught, "tornadoSpeed"), 0.0);
    EXPECT_GT(t.number(caught, "tornadoVisibility"), 0.05);
    // Whirled up toward 75, ever slower.
    for (long row = caught + 2; row < up; row++) {
        ASSERT_EQ(t.numbers(row, {state, "poseMode"}), (Values{CAUGHT, CAUGHT})) << row;
        EXPECT_NEAR(t.change(row, "posY"), (75 - t.number(row - 1, "posY")) * dt * 0.3, 1e-3) << row;
        EXPECT_LT(t.number(row, "posY"), 75.0);
    }
    EXPECT_GT(t.number(up - 1, "posY"), 60.0);
    // T: it rises at 25 per second; past 90 or his feet plus 20 he falls at 50 plus 75 per second squared
    // and lands with a thud. The tornado stays up at 95, still pushed upward.
    EXPECT_EQ(t.number(up, "tornadoSpeed"), 25.0);
    const long fall = t.firstRow(state, FALL, up);
    ASSERT_GT(fall, up);
    EXPECT_TRUE(t.number(fall, "tornadoBottom") > 90 ||
                t.number(fall, "posY") + 20 < t.number(fall, "tornadoBottom") + 0.6);
    EXPECT_NEAR(t.change(fall, "posY"), -(50 + 75 * dt) * dt, 1e-3);
    const long landed = t.firstRow(state, FALL, fall, false);
    ASSERT_GT(landed, fall) << "he never landed";
    for (long row = fall + 2; row < landed; row++) {
        EXPECT_NEAR(t.change(row, "posY") - t.change(row - 1, "posY"), -75 * dt * dt, 1e-3) << row;
        EXPECT_EQ(t.numbers(row, {"poseMode", "actionTimer"}), (Values{CROUCH, 1})) << row;
    }
    EXPECT_EQ(t.numbers(landed, {state, "actionTimer"}), (Values{STAND, 2}));
    EXPECT_TRUE(t.hasEvent(landed, "play thud"));
    EXPECT_EQ(t.numbers(frames - 1, {"tornadoBottom", "tornadoSpeed"}), (Values{95, 25}));
}

TEST(SceneStories, RaisingTheSeaDrownsTheIslandAndLoweringItBringsHimAshore)
{
    const Trace t =
        replay("260 press SHIFT\n260 press W\n600 release W\n600 release SHIFT\n700 press W\n1000 release W\n", 1100);
    // The surf grows with the rising sea, never below 50 here.
    for (long row = 261; row < 600; row++)
        EXPECT_GE(t.number(row, "seaVolume"), 50.0) << row;
    // He swims at the sea level the director saw, raised after him in the same frame.
    const long swim = t.firstRow(state, SWIM, 260);
    ASSERT_TRUE(swim > 260 && swim < 700) << "the island never drowned";
    EXPECT_FLOAT_EQ(t.number(swim, "posY"), t.number(swim - 1, "seaLevel") - 5);

    // Lowered again, the sea uncovers the island and he walks ashore.
    const long walk = t.firstRow(state, WALK, 700);
    ASSERT_GT(walk, 700) << "he never came ashore";
    EXPECT_GT(t.number(walk, "posY"), t.number(walk, "seaLevel") - 4);
}

TEST(SceneStories, LoweringTheLandSinksHimWithItUntilHeSwims)
{
    const long release = 400, frames = 1320;
    const Trace t = replay("260 press E\n400 release E\n", frames);
    EXPECT_TRUE(t.hasEvent(260, "loop quake"));
    EXPECT_NEAR(t.number(260, "quakeVolume"), 75 + 2 * 5 * dt, 1e-4);
    EXPECT_NEAR(t.number(300, "landLevel"), -41 * 5 * dt, 1e-3);
    // Standing still, his feet follow the sinking ground exactly.
    int followed = 0;
    for (long row = 262; row < release; row++)
        if (horizontalStep(t, row) == 0 && t.number(row, state) != SWIM && t.number(row - 1, state) != SWIM &&
            t.number(row, "posY") > -29.0) {
            EXPECT_NEAR(t.change(row, "posY"), -5 * dt, 1e-3) << row;
            followed++;
        }
    EXPECT_GT(followed, 0);
    const long swim = t.firstRow(state, SWIM, 260);
    ASSERT_GT(swim, 260) << "he never had to swim";
    // Released at its top volume of 95, the quake fades at 5 per second and stops once, 18 s later.
    EXPECT_EQ(t.number(release - 1, "quakeVolume"), 95.0);
    std::vector<long> stops;
    for (long row = release; row < frames; row++)
        if (t.hasEvent(row, "stop quake"))
            stops.push_back(row);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_NEAR((stops[0] - release) * dt, 18.0, 0.1);
}

// At 0.05 s a frame (the intro ends at 80) the land sinks to -50 and rises to 20, the sea falls to -35 and
// rises to -3, a quarter unit a frame, never a step past its limit; the surf follows the sea.
TEST(SceneStories, EarthAndWaterStopAtTheirLimits)
{
    const Trace t = replay(
        "90 press E\n320 press SHIFT\n640 release E\n640 release SHIFT\n650 press W\n"
        "760 press SHIFT\n920 release W\n920 release SHIFT\n",
        940, {"--dt", "0.05"});
    // Each held from `from` to `to`, the limit reached before `to`.
    const std::tuple<const char*, long, long, double, double> limits[] = {{"landLevel", 90, 320, -50, -0.25},
                                                                          {"landLevel", 320, 640, 20, 0.25},
                                                                          {"seaLevel", 650, 760, -35, -0.25},
                                                                          {"seaLevel", 760, 920, -3, 0.25}};
    for (auto [column, from, to, limit, step] : limits) {
        EXPECT_NEAR(t.change(from, column), step, 1e-4) << column << " at " << from;
        const double last = t.number(to - 1, column);
        EXPECT_TRUE((last - limit) * step >= 0 && std::fabs(last - limit) < 0.25 + 1e-4)
            << column << " ends at " << last;
        EXPECT_EQ(t.number(to - 10, column), last) << column << " moved past its limit";
    }
    for (long row = 712; row < 760; row++)  // the surf dying away with the sea below -30
        EXPECT_NEAR(t.number(row, "seaVolume"), (t.number(row, "seaLevel") + 35) * 10, 1e-3) << row;
    EXPECT_NEAR(t.number(641, "quakeVolume"), 95.0 - 0.5, 1e-4);  // fading from its cap
    // Past -30 again the surf restarts from 50 and grows; released at 77 it drifts back to 75 a quarter a frame.
    EXPECT_EQ(t.number(779, "seaVolume"), 50.0);
    EXPECT_NEAR(t.number(780, "seaVolume"), 50.25, 1e-4);
    EXPECT_NEAR(t.change(921, "seaVolume"), -0.25, 1e-4);
    EXPECT_EQ(t.number(939, "seaVolume"), 75.0);
}

TEST(SceneStories, HoldingFShowsTheFrameRate)
{
    Picture shots[2];
    for (int withF = 0; withF < 2; withF++) {
        const std::string path = std::string(VEXARION_RUN_DIR) + "/story-fps-" + std::to_string(withF) + ".png";
        const ReplayResult r =
            runReplay(withF ? "99 press F\n" : "", {"--frames", "101", "--size", "640x480", "--shot", "100=" + path});
        ASSERT_EQ(r.exitCode, 0) << r.errors;
        ASSERT_TRUE(readPng(path, &shots[withF]));
    }
    // The text sits near the lower-left corner, in white.
    auto white = [](const unsigned char* p) { return p[0] == 255 && p[1] == 255 && p[2] == 255; };
    int lit = 0;
    for (int y = 400; y < 480; y++)
        for (int x = 0; x < 200; x++)
            lit += white(shots[1].at(x, y)) && !white(shots[0].at(x, y));
    EXPECT_GT(lit, 30);
}

// Frames of 0.05 s: a strike, a tornado that comes down and rises, a quake.
TEST(SceneStories, TheSameScriptGivesTheSameTrace)
{
    const std::string script = "85 type L\n90 type t\n240 type T\n250 press E\n280 release E\n";
    const Trace a = replay(script, 360, {"--dt", "0.05"});
    const Trace b = replay(script, 360, {"--dt", "0.05"});
    for (size_t row = 0; row < a.rows.size() && row < b.rows.size(); row++)
        ASSERT_EQ(a.rows[row], b.rows[row]) << "frame " << row;
}
