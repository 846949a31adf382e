// The null backend's clock: the standard library's steady clock.
#include "platform/clock.h"

#include <chrono>

int64_t clockFrequency()
{
    // Ticks per second of clockCounter(), constant for the run.
    return 1000000000;
}

int64_t clockCounter()
{
    // A monotonic tick count, exact in 64-bit integers.
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}
