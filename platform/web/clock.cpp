// The clock on a browser page: emscripten_get_now(), the page's monotonic
// time in milliseconds with a fraction, counted in microseconds.
#include <emscripten/emscripten.h>

#include "platform/clock.h"

int64_t clockFrequency()
{
    return 1000000;
}

int64_t clockCounter()
{
    return static_cast<int64_t>(emscripten_get_now() * 1000.0);
}
