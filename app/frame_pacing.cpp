// Pacing the live program's frames; see frame_pacing.h.
#include "app/frame_pacing.h"

int frameCap(int requested, bool vsyncPaces, bool windowShown)
{
    int cap = requested >= 0 ? requested : vsyncPaces ? 0 : defaultFrameCap;
    if (!windowShown && (cap == 0 || cap > unseenFrameCap))
        cap = unseenFrameCap;
    return cap;
}

int64_t framePacerDelay(FramePacer* pacer, int64_t now, int64_t frequency, int cap)
{
    if (cap <= 0 || frequency <= 0) {
        pacer->deadline = -1;
        return 0;
    }
    const int64_t period = (frequency + cap / 2) / cap;
    if (pacer->deadline < 0)
        pacer->deadline = now;
    pacer->deadline += period;
    if (pacer->deadline <= now) {
        pacer->deadline = now;
        return 0;
    }
    return pacer->deadline - now;
}

bool vsyncWatchFrame(VsyncWatch* watch, int64_t now, int64_t frequency)
{
    if (watch->secondStart < 0 || now - watch->secondStart >= frequency) {
        if (watch->secondStart >= 0 && watch->frames > fastestRefresh)
            watch->paces = false;
        watch->secondStart = now;
        watch->frames = 0;
    }
    watch->frames++;
    return watch->paces;
}
