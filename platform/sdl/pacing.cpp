// Frame pacing on SDL2: the swap interval of the current OpenGL context,
// and sleeping with the standard library's clock (nanosleep on Linux, fine
// to a tenth of a millisecond or so).
#include <chrono>
#include <thread>

#include "platform/pacing.h"
#include "platform/sdl/state.h"

VsyncMode pacingSetVsync(bool on)
{
    if (on && SDL_GL_SetSwapInterval(-1) == 0)
        return VSYNC_ADAPTIVE;
    if (on && SDL_GL_SetSwapInterval(1) == 0)
        return VSYNC_ON;
    SDL_GL_SetSwapInterval(0);
    return VSYNC_OFF;
}

void pacingSleep(double seconds)
{
    if (seconds > 0.0)
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}
