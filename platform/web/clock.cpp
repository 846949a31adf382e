// The clock on a browser page: emscripten_get_now(), the page's monotonic
// time in milliseconds with a fraction, counted in microseconds, with the
// time the page spent hidden cut out.
//
// A hidden tab gets no animation frames, so the first frame after it shows
// again would otherwise measure the whole hidden time, minutes perhaps, and
// the scene would leap: the man walks through the sea, the fire burns out
// in one picture. Cutting the hidden time out instead, the scene goes on
// from the moment it was left, as a paused game does. Other gaps the page
// isn't told of (an iframe scrolled out of sight whose frames the browser
// throttles, a machine waking from sleep) are cut to clockLongestStep: no two
// readings in a row lie further apart than that.
#include <emscripten/emscripten.h>

#include "platform/clock.h"
#include "platform/web/web_state.h"

namespace {

const int64_t ticksPerSecond = 1000000;

int64_t skipped = 0;       // ticks cut out of the page's time so far
int64_t hiddenSince = -1;  // the page's time it was hidden at; -1 while shown
int64_t lastReading = -1;  // the last reading handed out; -1 before the first

int64_t pageTicks()
{
    return static_cast<int64_t>(emscripten_get_now() * 1000.0);
}

}  // namespace

int64_t clockFrequency()
{
    return ticksPerSecond;
}

int64_t clockCounter()
{
    // While hidden the clock stands at the moment the page hid.
    int64_t now = (hiddenSince >= 0 ? hiddenSince : pageTicks()) - skipped;
    if (lastReading >= 0 && now - lastReading > clockLongestStep) {
        skipped += now - lastReading - clockLongestStep;
        now = lastReading + clockLongestStep;
    }
    if (now < lastReading)
        now = lastReading;
    lastReading = now;
    return now;
}

void clockPageHidden(bool hidden)
{
    if (hidden && hiddenSince < 0)
        hiddenSince = pageTicks();
    else if (!hidden && hiddenSince >= 0) {
        skipped += pageTicks() - hiddenSince;
        hiddenSince = -1;
    }
}
