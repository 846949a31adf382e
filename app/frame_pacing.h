// Pacing the live program's frames: at most so many a second, by sleeping
// away what is left of each frame's share of the second, and fewer while
// nobody can see the window.
#pragma once
#include <cstdint>

// The frame cap when none is asked for and vsync does not pace the frames,
// and the one while the window is minimised or hidden.
const int defaultFrameCap = 250;
const int unseenFrameCap = 15;

// Frames a second no display refreshes at: vsync that lets more through
// does not wait (some drivers take the request and ignore it).
const int fastestRefresh = 500;

struct FramePacer {
    int64_t deadline = -1;  // the clock reading the last frame was to end at; -1 before the first
};

// Watches whether vsync really paces the frames, a second at a time.
struct VsyncWatch {
    int64_t secondStart = -1;  // the clock reading the second being counted began at
    int frames = 0;            // frames ended in it so far
    bool paces = true;         // false for good once a second held more than fastestRefresh
};

// Counts a frame that ended at clock reading `now` (`frequency` a second).
// Returns whether vsync still counts as pacing the frames.
bool vsyncWatchFrame(VsyncWatch* watch, int64_t now, int64_t frequency);

// The frames a second to hold to, 0 for no cap: `requested` (0 none, -1 the
// default: none while vsync paces the frames, else defaultFrameCap), at
// most unseenFrameCap while the window can't be seen.
int frameCap(int requested, bool vsyncPaces, bool windowShown);

// How many clock ticks (`frequency` a second) to sleep at the end of a
// frame, when the clock reads `now`, to hold to `cap` frames a second (0: no
// sleep). Each frame is to end one period after the one before, so the rate
// holds on average however coarsely the system sleeps; a late frame starts
// the count afresh from now instead of hurrying the frames after it.
int64_t framePacerDelay(FramePacer* pacer, int64_t now, int64_t frequency, int cap);
