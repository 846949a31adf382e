// The page hidden and shown again (another tab in front, the browser
// minimised, a phone's screen off): the clock stands still while hidden
// (clock.cpp), so the scene goes on afterwards from where it was, and the
// sound pauses with it: OpenAL's AudioContext is suspended while hidden and
// resumed on showing, its loops going on from where they stopped.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include "platform/web/web_state.h"

namespace {

void pauseSound(bool paused)
{
    EM_ASM(
        {
            var context = typeof AL != "undefined" && AL.currentCtx ? AL.currentCtx.audioCtx : null;
            if (!context || context.state == "closed")
                return;
            if ($0)
                context.suspend();
            else
                context.resume();
        },
        paused);
}

void pageHidden(bool hidden)
{
    clockPageHidden(hidden);
    pauseSound(hidden);
}

EM_BOOL visibilityChanged(int, const EmscriptenVisibilityChangeEvent* event, void*)
{
    pageHidden(event->hidden != 0);
    return EM_FALSE;
}

}  // namespace

void visibilityWebStart()
{
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, visibilityChanged);
    EmscriptenVisibilityChangeEvent now;
    if (emscripten_get_visibility_status(&now) == EMSCRIPTEN_RESULT_SUCCESS && now.hidden)
        clockPageHidden(true);
}
