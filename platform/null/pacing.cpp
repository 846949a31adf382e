// The null backend's frame pacing: no context to wait for the screen with,
// and sleeping with the standard library's clock.
#include <chrono>
#include <thread>

#include "platform/pacing.h"

VsyncMode pacingSetVsync(bool)
{
    // Ask the current context for (adaptive) vsync or none; return what the driver took.
    return VSYNC_OFF;
}

void pacingSleep(double seconds)
{
    // Sleep about this long, as finely as the system allows.
    if (seconds > 0.0)
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}
