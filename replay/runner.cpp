// The replay runner; see runner.h.
#include "replay/runner.h"

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "app/attract.h"
#include "app/content_folder.h"
#include "app/display_dialog.h"
#include "app/output_file.h"
#include "app/render.h"
#include "app/screenshot.h"
#include "effects/lightning.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/notice.h"
#include "replay/trace.h"
#include "scene/pose_program.h"
#include "sound/sound.h"

namespace {

const int64_t replayFrequency = 1000000000;  // counter ticks per second
// The attract's generator starts the same in every replay, so --attract
// gives the same trace every time.
const uint32_t replayAttractSeed = 1;

int64_t replayCounter = 0;
int64_t readReplayCounter()
{
    return replayCounter;
}

// The runner whose frames are being drawn, for its shots before each swap.
ReplayRunner* drawing = nullptr;

void takeShots()
{
    const Options& o = drawing->options;
    const auto range = o.shots.equal_range(drawing->frame);
    for (auto it = range.first; it != range.second; ++it)
        if (!saveFrameBufferPng(it->second.c_str(), o.width, o.height)) {
            outputTellFailure("the shot", it->second, errno);
            drawing->writeFailed = true;
        }
}

// A file named on the command line belongs to the folder the user is in.
void fixToStartFolder(std::string* path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (!path->empty())
        *path = fs::absolute(fs::u8path(*path), error).u8string();
}

int fail(const ReplayRunner& runner, const std::string& words, int code)
{
    noticeShow(NOTICE_ERROR, std::string(programName(runner.program)) + ": " + words + "\n");
    return code;
}

}  // namespace

int replayOpen(ReplayRunner* runner)
{
    Options& o = runner->options;
    std::string error;
    const bool loaded = o.script.empty() ? scriptPlayerParse(&runner->player, runner->scriptText, &error)
                                         : scriptPlayerLoad(&runner->player, o.script.c_str(), &error);
    if (!loaded)
        return fail(*runner, error, 2);
    runner->frames = o.isGiven("frames") ? o.frames : scriptPlayerFrames(runner->player, o.frames);

    fixToStartFolder(&o.tracePath);
    for (auto& shot : o.shots)
        fixToStartFolder(&shot.second);
    if (!enterContentFolder())
        return 1;
    // Opened before the content loads, so frame 0's row also lists the
    // sounds started at start-up.
    // One that can't be written is told, and the run goes on without it.
    outputFaults.speaker = programName(runner->program);
    if (!o.tracePath.empty()) {
        traceOpen(o.tracePath.c_str());
        runner->traceOpen = true;
    }
    // The sound device opens while the window and the scene are made.
    prepareSoundDevice();
    if (!platformInit())
        return 1;
    runner->platformOpen = true;
    initFrameLoop(&runner->loop, replayFrequency);
    inputUseScript(true);
    if (!createMainWindow(runner->title, static_cast<uint32_t>(o.width), static_cast<uint32_t>(o.height), false))
        return fail(*runner, "cannot open a window of " + std::to_string(o.width) + "x" + std::to_string(o.height), 1);
    runner->loop.drawing = createGLContext();
    if (!runner->loop.drawing && !o.shots.empty())
        return fail(*runner, "--shot needs a backend that draws; this one has no OpenGL", 2);
    runner->ticksPerFrame = static_cast<int64_t>(std::llround(o.dt * static_cast<double>(replayFrequency)));
    return -1;
}

void replayLoad(ReplayRunner* runner)
{
    runner->loop.heldPoseMode = runner->options.pose;
    loadScene();
    if (runner->options.pose >= 0)
        setPoseMode(static_cast<PoseMode>(runner->options.pose));
    if (runner->options.attract)
        attractStart(replayAttractSeed, runner->options.attractPause);
    runner->loop.beforeSwap = takeShots;
}

bool replayStep(ReplayRunner* runner, bool draw)
{
    if (runner->frame >= runner->frames)
        return false;
    drawing = runner;
    replayCounter = runner->frame * runner->ticksPerFrame;
    // This frame's events go into its message pump.
    runner->loop.givenFrameTime = scriptPlayerFeed(&runner->player, runner->frame);
    lightning.reducedFlash = runner->options.reducedFlash || runner->player.reducedFlash;
    FrameView view;
    const bool goOn =
        draw ? runFrame(&runner->loop, readReplayCounter) : updateFrame(&runner->loop, readReplayCounter, &view);
    traceFrame(runner->frame);
    runner->frame++;
    return goOn && runner->frame < runner->frames;
}

int replayClose(ReplayRunner* runner, int code)
{
    if (runner->traceOpen && !traceClose())
        runner->writeFailed = true;
    runner->traceOpen = false;
    if (runner->platformOpen) {
        teardown(runner->loop);
        platformShutdown();
    }
    runner->platformOpen = false;
    drawing = nullptr;
    return code == 0 && (runner->writeFailed || outputFailed()) ? 1 : code;
}

int replayRun(const Options& options)
{
    ReplayRunner runner;
    runner.options = options;
    const int failed = replayOpen(&runner);
    if (failed >= 0)
        return replayClose(&runner, failed);
    replayLoad(&runner);
    while (replayStep(&runner)) {
    }
    return replayClose(&runner, 0);
}
