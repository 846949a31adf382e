// The high-resolution clock on the Windows performance counter.
#include "platform/clock.h"
#include "platform/win32/state.h"

int64_t clockFrequency()
{
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0)
        return 1000;
    return static_cast<int64_t>(frequency.QuadPart);
}

int64_t clockCounter()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<int64_t>(counter.QuadPart);
}
