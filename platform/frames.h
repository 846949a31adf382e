// Running the frame loop where the host calls the program back for each
// frame instead of letting it loop: a browser page. The program hands over
// its frame step and returns from its entry point; the host runs the steps.
#pragma once

enum FramePacing {
    FRAMES_PER_DISPLAY,   // one step per frame the display shows
    FRAMES_BACK_TO_BACK,  // steps as fast as they finish, each drawn to its end (a few may be queued),
                          // with the host kept responsive between them
};

// Calls `step` again and again until it returns false, then `done` once.
// Returns at once; the steps run afterwards.
void framesRun(bool (*step)(), void (*done)(), FramePacing pacing);
