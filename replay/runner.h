// The replay runner: the program's own frames driven by a script and a
// fixed frame time, with no person, no dialog and no settings, so the same
// script always gives the same trace. vexarion-replay (on any backend), the
// page's replay and vexarion-bench all run their frames through it.
//
// Frame 0 has a frame time of exactly 0, as the real loop's first frame;
// every later frame has the given time (--dt), unless the script gives the
// frame its own ("FRAME time SECONDS", as a recording does for every frame).
// A script with frame times plays as many frames as it has, unless --frames
// says otherwise. An Esc in the script ends the run after its frame. --shot
// saves a frame as drawn, read back before its buffer swap; --trace writes
// one row of the scene's state per completed frame. --attract lets the
// attract mode (app/attract.h) play the elements beside the script, its
// generator starting the same every time.
#pragma once
#include <cstdint>
#include <string>

#include "app/main_loop.h"
#include "app/options.h"
#include "replay/script.h"

struct ReplayRunner {
    Program program = PROGRAM_REPLAY;       // whose words the messages are
    Options options;                        // what the command line said
    std::string scriptText;                 // the events to play when no --script is given
    const char* title = "Vexarion replay";  // the window's
    ScriptPlayer player;
    FrameLoop loop;
    long frames = 0;  // how many frames the run has
    long frame = 0;   // the next frame to run
    int64_t ticksPerFrame = 0;
    bool platformOpen = false;
    bool traceOpen = false;
    bool writeFailed = false;  // a shot or the trace could not be written
};

// Everything before the scene loads: reads the script, fixes the files the
// command line named to the folder the user started in, enters the content
// folder, opens the trace, the platform, the window and its OpenGL context.
// Returns -1 when the run can go on; otherwise the exit code, the user
// having been told why.
int replayOpen(ReplayRunner* runner);

// Loads the scene (and holds the pose program --pose names).
void replayLoad(ReplayRunner* runner);

// Runs the next frame, drawn (with its shots) or, with `draw` false, only
// its update. False once the run is over: its frames are done, or Esc ended
// it in the frame just run.
bool replayStep(ReplayRunner* runner, bool draw = true);

// Closes the trace, releases the scene's sound and context and shuts the
// platform down. Returns `code`, or 1 in its place when it was 0 but a shot
// or the trace could not be written.
int replayClose(ReplayRunner* runner, int code);

// A whole replay of `options`: open, load, every frame, close. Returns the
// exit code.
int replayRun(const Options& options);
