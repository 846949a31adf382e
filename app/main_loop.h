// Start-up, the frame loop and teardown: the spine of the program.
//
// The program and the replay executable run the same code: loadScene() after
// the window and its OpenGL context exist, runFrame() once per frame until it
// reports the quit message, then teardown(). Only the source of the clock
// readings and of the input differs between them.
#pragma once
#include <cstdint>

#include "app/render.h"
#include "scene/director.h"

// The frame-rate text the F key shows: frames counted over each second of
// frame time, the part of a second beyond it carried into the next count.
struct FrameRate {
    int32_t frameCount = 0;        // frames counted since the text was last made
    float timeAccumulator = 0.0f;  // seconds towards the next text
    char text[16] = "";            // "%d fps"; empty until the first second has passed
};
extern FrameRate frameRate;

struct FrameLoop {
    double counterPeriod = 1.0;      // seconds per counter tick
    int64_t previousCounter = -1;    // the previous frame's reading; -1 before the first frame
    int exitCode = 0;                // the quit message's code, once taken
    int heldPoseMode = -1;           // -1; otherwise the director waits and this pose
                                     // program runs (replays that inspect a program)
    float givenFrameTime = -1.0f;    // -1: measure the frame time; otherwise the next
                                     // frame takes exactly this one (a recorded time)
    bool drawing = true;             // false without an OpenGL context: frames are not drawn
    void (*beforeSwap)() = nullptr;  // called after a frame is drawn, before its swap
};

// Prepares a loop whose clock ticks `counterFrequency` times per second.
void initFrameLoop(FrameLoop* loop, int64_t counterFrequency);

// Loads every content file, places the character, initialises the effects,
// the poses and the sound, starts the looping sea and wind, and builds the
// glyph lists of the frame-rate text. With `withSound` false no sound device is
// opened: the scene runs on silently, as on a machine without one.
void loadScene(bool withSound = true);

// One frame: lets the attract mode (app/attract.h) type its keys, drains
// the messages (running the typed commands), measures the frame time with
// `readCounter` (or takes the given one), advances the scene and draws it. Returns false when the quit message was
// taken in this frame's pump; the frame still ran to its end.
bool runFrame(FrameLoop* loop, int64_t (*readCounter)());

// The frame without its drawing: the attract's keys, the messages, the
// frame time and advanceScene(). runFrame() is this, then renderFrame(); the benchmark
// times it alone. Fills in what the drawing needs.
bool updateFrame(FrameLoop* loop, int64_t (*readCounter)(), FrameView* view);

// Every change the scene makes in a frame of `dt` seconds, in this order:
// the intro's shrink (or the director), the pose program and the element
// controls, and the character's posing; the fire, the flash, the tornado
// and the water; the scene's turn, the fire's window and the frame-rate
// count. `heldPoseMode` >= 0
// holds that pose program instead of running the director. Returns the
// values from before the change that this frame's picture shows.
FrameView advanceScene(float dt, int heldPoseMode);

// What the director sees of the fire and the tornado at this moment, and
// the operations through which it puts the fire out and stops the tornado.
DirectorSurroundings directorSurroundings();

// Releases the sounds, the sound device and the OpenGL context and gives
// the desktop its display mode back. Returns the quit message's code.
int teardown(const FrameLoop& loop);
