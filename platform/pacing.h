// Pacing the frames: waiting for the screen's refresh in the buffer swap
// (vsync), and sleeping away the rest of a frame.
//
// A new OpenGL context swaps without waiting; only the interactive program
// asks for vsync. Replays and benchmarks never do, and never sleep.
#pragma once

enum VsyncMode {
    VSYNC_OFF,       // the swap never waits
    VSYNC_ON,        // the swap waits for the next refresh
    VSYNC_ADAPTIVE,  // it waits, unless the frame is already late for it
};

// Asks the current context's driver for vsync (adaptive where it offers
// that) or for none. Returns what the driver took: VSYNC_OFF when it
// refused, or when `on` is false.
VsyncMode pacingSetVsync(bool on);

// Sleeps for about `seconds`, as finely as the system can; returns at once
// for zero or less.
void pacingSleep(double seconds);
