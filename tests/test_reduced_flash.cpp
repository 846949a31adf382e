// The reduced flash, through the replay: the scene's flash is the same, the
// picture brightens at most a third as much, and strikes come at most three
// times a second however the keys and the frames fall; a recording made with
// it replays with it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/png_read.h"
#include "tests/support/replay_run.h"

namespace {

const std::string runDir = VEXARION_RUN_DIR;

// The scene time of every strike (a thunder clap) in a trace.
std::vector<double> strikeTimes(const Trace& t)
{
    std::vector<double> times;
    for (size_t row = 0; row < t.rows.size(); row++)
        if (t.hasEvent(row, "play thunder"))
            times.push_back(t.number(row, "totalTime"));
    return times;
}

double brightness(const std::string& path)
{
    Picture p;
    EXPECT_TRUE(readPng(path, &p)) << path;
    return p.meanBrightness();
}

}  // namespace

TEST(ReducedFlash, BrightensTheStrikesPictureAThirdAsMuchWithTheSameScene)
{
    // The frame before the strike and the strike's own, full and reduced.
    std::vector<ReplayResult> runs;
    std::vector<double> brightening;
    for (const std::string kind : {"full", "reduced"}) {
        const std::string shot = runDir + "/story-flash-" + kind + "-";
        std::vector<std::string> options = {"--frames", "262",
                                            "--size",   "320x240",
                                            "--shot",   "259=" + shot + "259.png",
                                            "--shot",   "261=" + shot + "261.png"};
        if (kind == "reduced")
            options.push_back("--reduced-flash");
        runs.push_back(runReplay("260 type L\n", options));
        ASSERT_EQ(runs.back().exitCode, 0) << runs.back().errors;
        brightening.push_back(brightness(shot + "261.png") - brightness(shot + "259.png"));
    }
    EXPECT_EQ(runs[0].trace.rows, runs[1].trace.rows) << "the reduced flash changed the scene";
    EXPECT_TRUE(runs[1].trace.hasEvent(260, "play thunder"));
    EXPECT_GT(brightening[0], 5.0) << "the full flash does not brighten the picture";
    EXPECT_GT(brightening[1], 0.2) << "the reduced flash shows no bolt";
    EXPECT_LE(brightening[1], brightening[0] / 3) << "full " << brightening[0] << ", reduced " << brightening[1];
}

TEST(ReducedFlash, StrikesComeAtMostThreeTimesASecondHoweverTheFramesFall)
{
    // L in every frame; the first strike's own frame is a slow one, which
    // the full flash's fading alone makes up for within three frames.
    std::string script = "205 time 0.3\n";
    for (int frame = 205; frame < 400; frame++)
        script += std::to_string(frame) + " type L\n";
    const std::pair<std::vector<std::string>, double> cases[] = {
        {{}, 0.06},
        {{"--reduced-flash"}, 1.0 / 3},
    };
    for (const auto& [options, shortestGap] : cases) {
        std::vector<std::string> arguments = options;
        arguments.insert(arguments.end(), {"--frames", "400"});
        const std::vector<double> strikes = strikeTimes(runReplay(script, arguments).trace);
        ASSERT_GE(strikes.size(), 4u);
        double shortest = 1e9;
        for (size_t i = 1; i < strikes.size(); i++)
            shortest = std::min(shortest, strikes[i] - strikes[i - 1]);
        EXPECT_NEAR(shortest, shortestGap, 0.03) << (options.empty() ? "full" : "reduced");
        EXPECT_GE(shortest, shortestGap - 1e-6);
    }

    // A recording of a session with the reduced flash says so (see the
    // recording's test), and its replay keeps it.
    const std::vector<double> recorded =
        strikeTimes(runReplay("0 option reduced-flash\n" + script, {"--frames", "400"}).trace);
    ASSERT_GE(recorded.size(), 2u);
    EXPECT_GE(recorded[1] - recorded[0], 1.0 / 3);
}
