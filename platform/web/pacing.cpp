// Frame pacing on a browser page: the browser calls for one frame per
// frame it shows (or back to back, platform/frames.h), so it is always in
// step with the display, and the page's one thread must never sleep.
#include "platform/pacing.h"

VsyncMode pacingSetVsync(bool on)
{
    return on ? VSYNC_ON : VSYNC_OFF;
}

void pacingSleep(double) {}
