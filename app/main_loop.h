// Start-up, the frame loop and teardown: the spine of the program.
//
// The program and the replay executable run the same code: loadScene() after
// the window and its OpenGL context exist, runFrame() once per frame until it
// reports the quit message, then teardown(). Only the source of the clock
// readings and of the input differs between them.
#pragma once
#include <cstdint>

struct FrameLoop {
    double counterPeriod;     // seconds per counter tick
    int64_t previousCounter;  // the previous frame's reading; -1 before the first frame
    int exitCode;             // the quit message's code, once taken
    int heldPoseMode;         // -1; otherwise the director waits and this pose
                              // program runs (replays that inspect a program)
    float givenFrameTime;     // -1: measure the frame time; otherwise the next
                              // frame takes exactly this one (a recorded time)
};

// Prepares a loop whose clock ticks `counterFrequency` times per second.
void initFrameLoop(FrameLoop* loop, int64_t counterFrequency);

// Loads every content file, places the character, initialises the effects,
// the poses and the sound, starts the looping sea and wind, and builds the
// glyph lists of the frame-rate text.
void loadScene();

// One frame: drains the messages (running the typed commands), measures the
// frame time with `readCounter` (or takes the given one), runs the intro or the interactive updates,
// the effects, draws the frame and counts it. Returns false when the quit
// message was taken in this frame's pump; the frame still ran to its end.
bool runFrame(FrameLoop* loop, int64_t (*readCounter)());

// The frame without its drawing: the messages, the frame time, the intro or
// the interactive updates and the effects. runFrame() is this, then the
// drawing and the frame count; the benchmark times it alone.
bool updateFrame(FrameLoop* loop, int64_t (*readCounter)());

// Releases the sounds, the sound device and the OpenGL context and gives
// the desktop its display mode back. Returns the quit message's code.
int teardown(const FrameLoop& loop);
