// Whole scenes through vexarion-replay, checked frame by frame from its
// trace: the intro, the lightning story, the tornado story, the flood, the
// sinking land, the elements' limits, the frame-rate overlay, and
// determinism.
//
// The intro ends at frame 200 with frames of 0.02 s; every story starts after
// it. What is checked is what the scene must do, not a recording: speeds,
// thresholds, sounds and the order of the character's states.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/support/png_read.h"
#include "tests/support/replay_run.h"

namespace {

enum { STAND = 0, WALK = 1, RUN = 2, SWIM = 3, CROUCH = 4, CAUGHT = 6, FALL = 7 };
const double dt = 0.02f;  // the frame time as the program sees it (a float)

double horizontalStep(const Trace& t, size_t row)
{
    return std::hypot(t.number(row, "posX") - t.number(row - 1, "posX"),
                      t.number(row, "posZ") - t.number(row - 1, "posZ"));
}

int state(const Trace& t, size_t row)
{
    return static_cast<int>(t.number(row, "directorState"));
}

// The first row at or after `from` in which the state is `s`; -1 if none.
long firstState(const Trace& t, int s, size_t from)
{
    return t.firstRow("directorState", s, from);
}

ReplayResult replay(const std::string& script, long frames)
{
    ReplayResult r = runReplay(script, {"--frames", std::to_string(frames)});
    EXPECT_EQ(r.exitCode, 0) << r.errors;
    EXPECT_EQ(r.trace.rows.size(), static_cast<size_t>(frames));
    return r;
}

}  // namespace

TEST(SceneStories, IntroShrinksTheCharacterIgnoringElementsButNotEsc)
{
    ReplayResult r = replay(
        "30 type L\n40 type t\n50 type T\n60 press E\n70 press W\n80 press SHIFT\n"
        "150 release E\n150 release W\n150 release SHIFT\n",
        260);
    const Trace& t = r.trace;
    EXPECT_EQ(t.number(0, "frameTime"), 0.0);
    EXPECT_EQ(t.number(0, "characterScale"), 50.0);
    EXPECT_EQ(t.text(0, "events"), "loop sea;loop wind");
    long end = t.firstRow("characterScale", 10.0);
    ASSERT_GE(end, 200);
    ASSERT_LE(end, 201);  // four seconds of frame time, to the last float
    EXPECT_NEAR(t.number(end, "totalTime"), 4.0, 1e-4);
    for (long row = 1; row <= end; row++) {
        EXPECT_EQ(static_cast<float>(t.number(row, "frameTime")), 0.02f);  // a float read back exactly
        EXPECT_EQ(t.number(row, "flashIntensity"), 0.0) << row;
        EXPECT_EQ(t.number(row, "tornadoSpeed"), 0.0) << row;
        EXPECT_EQ(t.number(row, "landLevel"), 0.0) << row;
        EXPECT_EQ(t.number(row, "seaLevel"), -15.0) << row;
        EXPECT_EQ(t.number(row, "directorState"), STAND) << row;
        EXPECT_EQ(t.text(row, "events"), "") << row;
        EXPECT_LT(t.number(row, "characterScale"), t.number(row - 1, "characterScale"));
    }
    // From the first interactive frame the director decides at once. He
    // started one unit above the ground at the map's centre, and his first
    // steps come down onto it.
    EXPECT_EQ(t.number(end + 1, "characterScale"), 10.0);
    EXPECT_GT(t.number(end + 1, "actionTimer"), 4.0);
    EXPECT_NEAR(t.number(end + 1, "posY"), t.number(0, "posY") - 1.0, 0.05);

    ReplayResult quit = runReplay("100 type esc\n", {"--frames", "400"});
    EXPECT_EQ(quit.exitCode, 0);
    ASSERT_EQ(quit.trace.rows.size(), 101u);  // the Esc frame still completes
    EXPECT_GT(quit.trace.number(100, "characterScale"), 10.0);
}

TEST(SceneStories, LightningSetsHimAlightAndHeRunsIntoTheSeaThenSwimsAshore)
{
    const long strike = 260;
    ReplayResult r = replay(std::to_string(strike) + " type L\n" + std::to_string(strike + 5) + " type l\n", 2500);
    const Trace& t = r.trace;
    ASSERT_GT(t.rows.size(), 2000u);

    // The strike: thunder, the burn loop, the flash, and he runs.
    EXPECT_TRUE(t.hasEvent(strike, "play thunder"));
    EXPECT_TRUE(t.hasEvent(strike, "loop burn"));
    EXPECT_EQ(state(t, strike), RUN);
    EXPECT_EQ(t.number(strike, "poseMode"), RUN);
    EXPECT_EQ(t.number(strike, "burning"), 1);
    EXPECT_NEAR(t.number(strike, "flashIntensity"), 1.0 - 3 * dt, 1e-6);
    // The second strike within the flash is ignored: no thunder.
    EXPECT_EQ(t.text(strike + 5, "events"), "");
    // The flash fades at 3 per second down to exactly 0.
    for (long row = strike + 1; row < strike + 30; row++) {
        double expected = std::max(0.0, t.number(row - 1, "flashIntensity") - 3 * dt);
        EXPECT_NEAR(t.number(row, "flashIntensity"), expected, 1e-5) << row;
    }
    EXPECT_EQ(t.number(strike + 20, "flashIntensity"), 0.0);

    // Running: 12 units per second, three walking steps a frame.
    long crouch = firstState(t, CROUCH, strike);
    ASSERT_GT(crouch, strike) << "he never reached deep water";
    for (long row = strike + 1; row < crouch; row++) {
        ASSERT_EQ(state(t, row), RUN) << row;
        EXPECT_LE(horizontalStep(t, row), 12 * dt + 1e-4) << row;
        EXPECT_GE(horizontalStep(t, row), 12 * dt * 0.8) << row;
    }

    // Deep water: he crouches, the burn stops, the water hisses.
    EXPECT_TRUE(t.hasEvent(crouch, "stop burn"));
    EXPECT_TRUE(t.hasEvent(crouch, "play hiss"));
    EXPECT_LT(t.number(crouch, "posY"), t.number(crouch, "seaLevel") - 5);
    EXPECT_EQ(t.number(crouch, "poseMode"), CROUCH);

    // He stays crouched, unmoving, while the fire dies (within 32 frames).
    long out = t.firstRow("burning", 0, crouch);
    ASSERT_GT(out, crouch);
    EXPECT_LE(out - crouch, 32);
    for (long row = crouch + 1; row < out; row++) {
        EXPECT_EQ(state(t, row), CROUCH);
        EXPECT_EQ(t.number(row, "posX"), t.number(crouch, "posX"));
        EXPECT_EQ(t.number(row, "posZ"), t.number(crouch, "posZ"));
    }

    // Then he swims toward the world's origin, his feet 5 below the surface...
    long swim = firstState(t, SWIM, out);
    ASSERT_GE(swim, out);
    EXPECT_LE(swim, out + 1);
    EXPECT_EQ(t.number(swim, "targetX"), 0.0);
    EXPECT_EQ(t.number(swim, "targetZ"), 0.0);
    long ashore = firstState(t, WALK, swim);
    ASSERT_GT(ashore, swim) << "he never came ashore";
    for (long row = swim + 1; row < ashore; row++) {
        ASSERT_EQ(state(t, row), SWIM) << row;
        EXPECT_FLOAT_EQ(t.number(row, "posY"), t.number(row, "seaLevel") - 5) << row;
        EXPECT_NEAR(horizontalStep(t, row), 3 * dt, 1e-4) << row;
    }
    // ...and walks ashore where the ground rises above 4 below the sea.
    EXPECT_GT(t.number(ashore, "posY"), t.number(ashore, "seaLevel") - 4);
    long origin = firstState(t, STAND, ashore);
    ASSERT_GT(origin, ashore);
    EXPECT_LT(std::hypot(t.number(origin, "posX"), t.number(origin, "posZ")), 1.0);
}

TEST(SceneStories, TornadoCatchesHimWhirlsHimUpAndDropsHimWhenItRises)
{
    const long down = 260;
    const long up = 900;
    ReplayResult r = replay(std::to_string(down) + " type t\n" + std::to_string(up) + " type T\n", 1300);
    const Trace& t = r.trace;
    ASSERT_EQ(t.rows.size(), 1300u);

    EXPECT_EQ(t.number(down, "tornadoSpeed"), -15.0);
    EXPECT_NEAR(t.number(down, "tornadoBottom"), 95 - 15 * dt, 1e-4);
    long caught = firstState(t, CAUGHT, down);
    ASSERT_GT(caught, down) << "the tornado never caught him";
    ASSERT_LT(caught, up);
    for (long row = down + 1; row < caught; row++) {
        EXPECT_NEAR(t.number(row - 1, "tornadoBottom") - t.number(row, "tornadoBottom"), 15 * dt, 1e-3) << row;
        EXPECT_GE(std::fabs(t.number(row, "tornadoBottom") - t.number(row, "posY")), 9.0) << row;
    }
    // Caught when the lower end comes within 10 of the ground under him;
    // the tornado stops there.
    EXPECT_LT(std::fabs(t.number(caught, "tornadoBottom") - t.number(caught - 1, "posY")), 10.5);
    EXPECT_EQ(t.number(caught, "tornadoSpeed"), 0.0);
    EXPECT_GT(t.number(caught, "tornadoVisibility"), 0.05);

    // Whirled up toward 75, ever slower.
    for (long row = caught + 2; row < up; row++) {
        ASSERT_EQ(state(t, row), CAUGHT) << row;
        EXPECT_EQ(t.number(row, "poseMode"), 6);
        double y0 = t.number(row - 1, "posY"), y1 = t.number(row, "posY");
        EXPECT_NEAR(y1 - y0, (75 - y0) * dt * 0.3, 1e-3) << row;
        EXPECT_LT(y1, 75.0);
    }
    EXPECT_GT(t.number(up - 1, "posY"), 60.0);

    // T: the lower end rises at 25 per second; once it passes 90 or his feet
    // plus 20 he falls at 50 plus 75 per second squared.
    EXPECT_EQ(t.number(up, "tornadoSpeed"), 25.0);
    long fall = firstState(t, FALL, up);
    ASSERT_GT(fall, up);
    EXPECT_TRUE(t.number(fall, "tornadoBottom") > 90 ||
                t.number(fall, "posY") + 20 < t.number(fall, "tornadoBottom") + 0.6);
    EXPECT_NEAR(t.number(fall - 1, "posY") - t.number(fall, "posY"), (50 + 75 * dt) * dt, 1e-3);
    long landed = fall + 1;
    while (landed < static_cast<long>(t.rows.size()) && state(t, landed) == FALL) {
        double drop0 = t.number(landed - 2, "posY") - t.number(landed - 1, "posY");
        double drop1 = t.number(landed - 1, "posY") - t.number(landed, "posY");
        if (landed - 1 > fall) {
            EXPECT_NEAR(drop1 - drop0, 75 * dt * dt, 1e-3) << landed;
        }
        landed++;
    }
    ASSERT_LT(landed, static_cast<long>(t.rows.size())) << "he never landed";
    if (state(t, landed) == STAND) {
        EXPECT_TRUE(t.hasEvent(landed, "play thud"));
        EXPECT_FLOAT_EQ(t.number(landed, "actionTimer"), 2.0f);
    } else {
        ASSERT_EQ(state(t, landed), SWIM);
        EXPECT_TRUE(t.hasEvent(landed, "play splash"));
        EXPECT_FLOAT_EQ(t.number(landed, "posY"), t.number(landed, "seaLevel") - 5);
    }
    // The tornado stays up at 95, still pushed upward.
    EXPECT_EQ(t.number(1299, "tornadoBottom"), 95.0);
    EXPECT_EQ(t.number(1299, "tornadoSpeed"), 25.0);
}

TEST(SceneStories, RaisingTheSeaDrownsTheIslandAndLoweringItBringsHimAshore)
{
    ReplayResult r = replay(
        "260 press SHIFT\n260 press W\n600 release W\n600 release SHIFT\n"
        "700 press W\n1000 release W\n",
        1300);
    const Trace& t = r.trace;
    // The sea rises 5 per second to its top, at most one step past -3.
    EXPECT_NEAR(t.number(261, "seaLevel") - t.number(260, "seaLevel"), 5 * dt, 1e-4);
    EXPECT_GE(t.number(599, "seaLevel"), -3.0);
    EXPECT_LT(t.number(599, "seaLevel"), -3.0 + 5 * dt + 1e-4);
    long swim = firstState(t, SWIM, 260);
    ASSERT_GT(swim, 260) << "the island never drowned";
    ASSERT_LT(swim, 700);
    // He swims at the sea level the director saw; the controls raise it
    // after him in the same frame.
    EXPECT_FLOAT_EQ(t.number(swim, "posY"), t.number(swim - 1, "seaLevel") - 5);
    // The surf grows with the sea while W raises it, never below 50 here.
    for (long row = 261; row < 600; row++)
        EXPECT_GE(t.number(row, "seaVolume"), 50.0);

    // Lowered again, the sea uncovers the island and he walks ashore.
    long walk = firstState(t, WALK, 700);
    ASSERT_GT(walk, 700) << "he never came ashore";
    EXPECT_GT(t.number(walk, "posY"), t.number(walk, "seaLevel") - 4);
    EXPECT_LE(t.number(999, "seaLevel"), -30.0);
    EXPECT_NEAR(t.number(999, "seaVolume"), (t.number(999, "seaLevel") + 35) * 10, 1e-3);
}

TEST(SceneStories, LoweringTheLandSinksHimWithItUntilHeSwims)
{
    ReplayResult r = replay("260 press E\n700 release E\n", 1700);
    const Trace& t = r.trace;
    EXPECT_TRUE(t.hasEvent(260, "loop quake"));
    EXPECT_NEAR(t.number(260, "quakeVolume"), 75 + 2 * 5 * dt, 1e-4);
    EXPECT_NEAR(t.number(300, "landLevel"), -41 * 5 * dt, 1e-3);

    // Standing still, his feet follow the sinking ground exactly.
    int followed = 0;
    for (long row = 262; row < 700; row++) {
        bool still =
            t.number(row, "posX") == t.number(row - 1, "posX") && t.number(row, "posZ") == t.number(row - 1, "posZ");
        if (still && state(t, row) != SWIM && state(t, row - 1) != SWIM && t.number(row, "posY") > -29.0) {
            EXPECT_NEAR(t.number(row, "posY") - t.number(row - 1, "posY"), -5 * dt, 1e-3) << row;
            followed++;
        }
    }
    EXPECT_GT(followed, 0);
    long swim = firstState(t, SWIM, 260);
    ASSERT_GT(swim, 260) << "he never had to swim";

    // Released at its top volume of 95, the quake fades at 5 per second and
    // stops once, 18 seconds later.
    EXPECT_EQ(t.number(699, "quakeVolume"), 95.0);
    int stops = 0;
    long stoppedAt = -1;
    for (long row = 700; row < 1700; row++)
        if (t.hasEvent(row, "stop quake")) {
            stops++;
            stoppedAt = row;
        }
    EXPECT_EQ(stops, 1);
    EXPECT_NEAR((stoppedAt - 700) * dt, 18.0, 0.1);
}

// The elements' limits, at frames of 0.05 s (the intro ends at frame 80):
// the land sinks to -50 and rises to 20, the sea falls to -35 and rises to
// -3, each a quarter unit a frame and never more than one step past its
// limit; the quake is capped at 95 and the surf follows the sea.
TEST(SceneStories, EarthAndWaterStopAtTheirLimits)
{
    ReplayResult r = runReplay(
        "90 press E\n320 press SHIFT\n640 release E\n640 release SHIFT\n650 press W\n"
        "760 press SHIFT\n920 release W\n920 release SHIFT\n",
        {"--frames", "1100", "--dt", "0.05"});
    ASSERT_EQ(r.exitCode, 0) << r.errors;
    const Trace& t = r.trace;
    ASSERT_EQ(t.rows.size(), 1100u);
    struct Limit {
        const char* column;
        long from, to;  // held over these frames, the limit reached before `to`
        double start, limit, step;
    };
    const Limit limits[] = {{"landLevel", 90, 320, 0, -50, -0.25},
                            {"landLevel", 320, 640, -50, 20, 0.25},
                            {"seaLevel", 650, 760, -15, -35, -0.25},
                            {"seaLevel", 760, 920, -35, -3, 0.25}};
    for (const Limit& l : limits) {
        double before = t.number(l.from - 1, l.column);
        EXPECT_NEAR(t.number(l.from, l.column) - before, l.step, 1e-4) << l.column << " at " << l.from;
        const double last = t.number(l.to - 1, l.column);
        EXPECT_TRUE((last - l.limit) * (l.step > 0 ? 1 : -1) >= 0 && std::fabs(last - l.limit) < 0.25 + 1e-4)
            << l.column << " ends at " << last << ", limit " << l.limit;
        EXPECT_EQ(t.number(l.to - 10, l.column), last) << l.column << " moved past its limit";
    }
    EXPECT_NEAR(t.number(90, "quakeVolume"), 75.5, 1e-4);
    EXPECT_EQ(t.number(639, "quakeVolume"), 95.0);
    EXPECT_NEAR(t.number(641, "quakeVolume"), 95.0 - 0.5, 1e-4);
    for (long row = 712; row < 760; row++)  // below -30 the surf dies away with the sea
        EXPECT_NEAR(t.number(row, "seaVolume"), (t.number(row, "seaLevel") + 35) * 10, 1e-3) << row;
    // Risen past -30 the surf starts again from 50 and grows with the sea.
    EXPECT_EQ(t.number(779, "seaVolume"), 50.0);
    EXPECT_NEAR(t.number(780, "seaVolume"), 50.25, 1e-4);
    // Released at 77, the surf drifts back to 75 a quarter a frame.
    EXPECT_NEAR(t.number(921, "seaVolume") - t.number(920, "seaVolume"), -0.25, 1e-4);
    EXPECT_EQ(t.number(1099, "seaVolume"), 75.0);
}

TEST(SceneStories, HoldingFShowsTheFrameRate)
{
    const std::string withF = std::string(VEXARION_RUN_DIR) + "/story-fps-on.png";
    const std::string withoutF = std::string(VEXARION_RUN_DIR) + "/story-fps-off.png";
    ReplayResult on = runReplay("99 press F\n", {"--frames", "101", "--size", "640x480", "--shot", "100=" + withF});
    ReplayResult off = runReplay("", {"--frames", "101", "--size", "640x480", "--shot", "100=" + withoutF});
    ASSERT_EQ(on.exitCode, 0);
    ASSERT_EQ(off.exitCode, 0);
    Picture a, b;
    ASSERT_TRUE(readPng(withF, &a));
    ASSERT_TRUE(readPng(withoutF, &b));
    // The text sits near the lower-left corner, in white.
    int lit = 0;
    for (int y = 400; y < 480; y++)
        for (int x = 0; x < 200; x++) {
            const unsigned char* p = a.at(x, y);
            const unsigned char* q = b.at(x, y);
            if (p[0] == 255 && p[1] == 255 && p[2] == 255 && !(q[0] == 255 && q[1] == 255 && q[2] == 255))
                lit++;
        }
    EXPECT_GT(lit, 30);
}

TEST(SceneStories, TheSameScriptGivesTheSameTrace)
{
    const std::string script = "230 type L\n300 type t\n500 type T\n520 press E\n560 release E\n";
    ReplayResult a = replay(script, 800);
    ReplayResult b = replay(script, 800);
    ASSERT_EQ(a.trace.rows.size(), b.trace.rows.size());
    for (size_t row = 0; row < a.trace.rows.size(); row++)
        ASSERT_EQ(a.trace.rows[row], b.trace.rows[row]) << "frame " << row;
}
