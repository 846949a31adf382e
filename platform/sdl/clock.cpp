// The high-resolution clock on SDL's performance counter.
#include "platform/clock.h"

#include <SDL.h>

int64_t clockFrequency()
{
    return static_cast<int64_t>(SDL_GetPerformanceFrequency());
}

int64_t clockCounter()
{
    return static_cast<int64_t>(SDL_GetPerformanceCounter());
}
