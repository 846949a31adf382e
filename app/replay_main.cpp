// vexarion-replay: runs the program's own frame step without a person.
//
//   vexarion-replay [--frames N] [--dt SECONDS] [--size WxH] [--script FILE]
//                   [--shot FRAME=FILE.png]... [--trace FILE] [--pose MODE]
//                   [--reduced-flash]
//
// Finds its content as the program does (the working folder, its own folder,
// ../share/vexarion beside it, or VEXARION_DATA). Frame 0 has a frame time of exactly 0, as the
// real loop's first frame; every later frame has the given time, unless the
// script gives the frame its own ("FRAME time SECONDS", as a recording of a
// live session does for every frame). A script with frame times plays as
// many frames as it has (a recording cut before its first frame ended, none),
// unless --frames says otherwise. Keys and
// typed characters come from the script; an Esc ends the run after its frame.
// --shot saves a frame as drawn, read back before its buffer swap.
// --trace writes one CSV row of the scene's state per completed frame.
// --pose holds the character in one pose program (the director waits), to
// look at the program's key poses. --reduced-flash plays as the program's
// option of that name does (a recording made with it says so itself).
// It reads no settings: the same script always gives the same trace.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/content_folder.h"
#include "app/display_dialog.h"
#include "app/main_loop.h"
#include "app/render.h"
#include "app/replay_script.h"
#include "app/screenshot.h"
#include "app/trace.h"
#include "effects/lightning.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/paths.h"
#include "scene/pose_program.h"
#include "sound/sound.h"

namespace {

const int64_t replayFrequency = 1000000000;  // counter ticks per second

struct Options {
    long frames = 400;
    bool framesGiven = false;
    double dt = 0.02;
    int width = 640;
    int height = 480;
    std::string script;
    std::multimap<long, std::string> shots;
    std::string trace;
    int pose = -1;
    bool reducedFlash = false;
};

int64_t replayCounter = 0;
int64_t readReplayCounter()
{
    return replayCounter;
}

long currentFrame = 0;
const Options* activeOptions = nullptr;
int shotFailures = 0;

void takeShots()
{
    auto range = activeOptions->shots.equal_range(currentFrame);
    for (auto it = range.first; it != range.second; ++it) {
        if (!saveFrameBufferPng(it->second.c_str(), activeOptions->width, activeOptions->height)) {
            std::fprintf(stderr, "vexarion-replay: cannot write %s\n", it->second.c_str());
            shotFailures++;
        }
    }
}

void usage()
{
    std::fprintf(stderr,
                 "usage: vexarion-replay [--frames N] [--dt SECONDS] [--size WxH] [--script FILE]\n"
                 "                       [--shot FRAME=FILE.png]... [--trace FILE] [--pose MODE]\n"
                 "                       [--reduced-flash]\n");
}

bool parseLong(const char* text, long* value)
{
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno || end == text || *end)
        return false;
    *value = v;
    return true;
}

bool knownOption(const char* arg)
{
    for (const char* name : {"--frames", "--dt", "--size", "--script", "--shot", "--trace", "--pose"})
        if (!std::strcmp(arg, name))
            return true;
    return false;
}

bool parseOptions(int argc, const char* const* argv, Options* o)
{
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!std::strcmp(arg, "--reduced-flash")) {
            o->reducedFlash = true;
            continue;
        }
        if (!knownOption(arg)) {
            std::fprintf(stderr, "vexarion-replay: unknown option %s\n", arg);
            return false;
        }
        if (!value) {
            std::fprintf(stderr, "vexarion-replay: %s needs a value\n", arg);
            return false;
        }
        i++;
        if (!std::strcmp(arg, "--frames")) {
            if (!parseLong(value, &o->frames) || o->frames < 0) {
                std::fprintf(stderr, "vexarion-replay: bad frame count '%s'\n", value);
                return false;
            }
            o->framesGiven = true;
        } else if (!std::strcmp(arg, "--dt")) {
            char* end = nullptr;
            o->dt = std::strtod(value, &end);
            if (end == value || *end || !(o->dt >= 0.0 && o->dt <= 10.0)) {
                std::fprintf(stderr, "vexarion-replay: bad frame time '%s'\n", value);
                return false;
            }
        } else if (!std::strcmp(arg, "--size")) {
            if (!parseSize(value, &o->width, &o->height)) {
                std::fprintf(stderr, "vexarion-replay: bad size '%s' (WxH, each %d to %d)\n", value, minimumSide,
                             maximumSide);
                return false;
            }
        } else if (!std::strcmp(arg, "--script")) {
            o->script = value;
        } else if (!std::strcmp(arg, "--shot")) {
            const char* eq = std::strchr(value, '=');
            long frame;
            if (!eq || !parseLong(std::string(value, eq).c_str(), &frame) || frame < 0 || !eq[1]) {
                std::fprintf(stderr, "vexarion-replay: bad shot '%s' (FRAME=FILE.png)\n", value);
                return false;
            }
            o->shots.emplace(frame, std::string(eq + 1));
        } else if (!std::strcmp(arg, "--trace")) {
            o->trace = value;
        } else if (!std::strcmp(arg, "--pose")) {
            long mode;
            if (!parseLong(value, &mode) || mode < 0 || mode > 6 || mode == 5) {
                std::fprintf(stderr, "vexarion-replay: bad pose program '%s' (0-4 or 6)\n", value);
                return false;
            }
            o->pose = static_cast<int>(mode);
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments = programArguments(argc, argv);
    std::vector<const char*> argumentTexts;
    for (const std::string& argument : arguments)
        argumentTexts.push_back(argument.c_str());
    Options options;
    if (!parseOptions(static_cast<int>(argumentTexts.size()), argumentTexts.data(), &options)) {
        usage();
        return 2;
    }
    ScriptPlayer player;
    if (!options.script.empty()) {
        std::string error;
        if (!scriptPlayerLoad(&player, options.script.c_str(), &error)) {
            std::fprintf(stderr, "vexarion-replay: %s\n", error.c_str());
            return 2;
        }
    }
    if (!options.framesGiven)
        options.frames = scriptPlayerFrames(player, options.frames);

    // Files named on the command line belong to the folder the user is in.
    std::error_code pathError;
    namespace fs = std::filesystem;
    if (!options.trace.empty())
        options.trace = fs::absolute(fs::u8path(options.trace), pathError).u8string();
    for (auto& shot : options.shots)
        shot.second = fs::absolute(fs::u8path(shot.second), pathError).u8string();
    if (!enterContentFolder())
        return 1;
    // Opened before the content loads, so frame 0's row also lists the
    // sounds started at start-up.
    if (!options.trace.empty() && !traceOpen(options.trace.c_str())) {
        std::fprintf(stderr, "vexarion-replay: cannot write %s\n", options.trace.c_str());
        return 1;
    }

    // The sound device opens while the window and the scene are made.
    prepareSoundDevice();
    if (!registerWindowClass()) {
        traceClose();
        return 1;
    }
    FrameLoop loop;
    initFrameLoop(&loop, replayFrequency);
    // From here every way out releases what start-up made and shuts the
    // platform down.
    auto finish = [&loop](int code) {
        const bool traceWritten = traceClose();
        teardown(loop);
        platformShutdown();
        return code == 0 && !traceWritten ? 1 : code;
    };
    inputUseScript(true);
    if (!createMainWindow("Vexarion replay", static_cast<uint32_t>(options.width),
                          static_cast<uint32_t>(options.height), false))
        return finish(1);
    loop.drawing = createGLContext();
    if (!loop.drawing && !options.shots.empty()) {
        std::fprintf(stderr, "vexarion-replay: --shot needs a backend that draws; this one has no OpenGL\n");
        return finish(2);
    }
    loop.heldPoseMode = options.pose;
    loadScene();
    if (options.pose >= 0)
        setPoseMode(static_cast<PoseMode>(options.pose));

    activeOptions = &options;
    loop.beforeSwap = takeShots;
    const int64_t ticks = static_cast<int64_t>(std::llround(options.dt * static_cast<double>(replayFrequency)));
    for (currentFrame = 0; currentFrame < options.frames; currentFrame++) {
        replayCounter = currentFrame * ticks;
        // This frame's events go into its message pump.
        loop.givenFrameTime = scriptPlayerFeed(&player, currentFrame);
        lightning.reducedFlash = options.reducedFlash || player.reducedFlash;
        bool goOn = runFrame(&loop, readReplayCounter);
        traceFrame(currentFrame);
        if (!goOn)
            break;
    }
    return finish(shotFailures ? 1 : 0);
}
