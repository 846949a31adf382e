// The keyboard on a browser page, fed into the shared queue.
//
// Each key going down that types one character (code points above 255
// aside) becomes a character message, and so do Esc, Enter, Tab and
// Backspace as their control codes; key repeats type again, as on the
// desktop. E, W, F and Shift are held while their key is down, by the
// letter they type. Keys pressed with Ctrl, Alt or Meta stay the browser's.
// Focus leaving the page, or the page being hidden, lets every key go, and
// what the pads and the touch buttons held. While no scene runs (the page's
// start form after Esc) the keys are the page's: only their release is
// taken, so that nothing stays held into the next scene.
//
// The browser may suspend the page's sound (its AudioContext) at any time:
// before the user's first gesture, for a phone call, when iOS puts the page
// aside ("interrupted"). It lets the page start it again only from a gesture
// of the user's, so every key and every touch or click resumes it.
#include <emscripten/emscripten.h>

#include <cstring>

#include "platform/shared/input_queue.h"
#include "platform/web/web_state.h"

namespace {

// The one character `text` (UTF-8) is, or -1.
int singleCharacter(const char* text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    if (p[0] != 0 && p[0] < 0x80 && p[1] == 0)
        return p[0];
    if ((p[0] & 0xE0) == 0xC0 && (p[1] & 0xC0) == 0x80 && p[2] == 0) {
        const int code = (p[0] & 0x1F) << 6 | (p[1] & 0x3F);
        return code < 256 ? code : -1;
    }
    return -1;
}

int controlCode(const char* key)
{
    const struct {
        const char* name;
        int code;
    } keys[] = {{"Escape", 27}, {"Enter", 13}, {"Tab", 9}, {"Backspace", 8}};
    for (const auto& k : keys)
        if (std::strcmp(key, k.name) == 0)
            return k.code;
    return -1;
}

bool heldKey(const char* key, Key* held)
{
    if (std::strcmp(key, "Shift") == 0) {
        *held = KEY_SHIFT;
        return true;
    }
    switch (singleCharacter(key)) {
    case 'e':
    case 'E': *held = KEY_E; return true;
    case 'w':
    case 'W': *held = KEY_W; return true;
    case 'f':
    case 'F': *held = KEY_F; return true;
    default: return false;
    }
}

// Starts OpenAL's AudioContext again if the browser stopped it.
void resumeSound()
{
    // clang-format off (the formatter would split JavaScript's operators)
    EM_ASM({
        var context = typeof AL != "undefined" && AL.currentCtx ? AL.currentCtx.audioCtx : null;
        if (context && context.state != "running" && context.state != "closed")
            context.resume();
    });
    // clang-format on
}

EM_BOOL touched(int, const EmscriptenTouchEvent*, void*)
{
    resumeSound();
    return EM_FALSE;
}

EM_BOOL clicked(int, const EmscriptenMouseEvent*, void*)
{
    resumeSound();
    return EM_FALSE;
}

EM_BOOL keyDown(int, const EmscriptenKeyboardEvent* event, void*)
{
    resumeSound();
    if (!platformWeb.running || event->ctrlKey || event->altKey || event->metaKey)
        return EM_FALSE;
    Key key;
    const bool held = heldKey(event->key, &key);
    if (held && !event->repeat)
        inputKeyReport(key, true, true);
    int code = singleCharacter(event->key);
    if (code < 0)
        code = controlCode(event->key);
    if (code >= 0)
        inputQueueChar(code);
    return code >= 0 || held ? EM_TRUE : EM_FALSE;
}

EM_BOOL keyUp(int, const EmscriptenKeyboardEvent* event, void*)
{
    Key key;
    if (!heldKey(event->key, &key))
        return EM_FALSE;
    inputKeyReport(key, false, false);
    return platformWeb.running ? EM_TRUE : EM_FALSE;
}

void releaseEverything()
{
    for (int k = 0; k < KEY_COUNT; k++)
        inputKeyReport(static_cast<Key>(k), false, false);
    touchWebRelease();
    // The pads let go at their next reading, which sees the focus gone.
}

EM_BOOL focusLost(int, const EmscriptenFocusEvent*, void*)
{
    releaseEverything();
    return EM_FALSE;
}

EM_BOOL visibilityChanged(int, const EmscriptenVisibilityChangeEvent* event, void*)
{
    if (event->hidden)
        releaseEverything();
    return EM_FALSE;
}

}  // namespace

void inputWebStart()
{
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, keyDown);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, keyUp);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, focusLost);
    emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, visibilityChanged);
    padsWebStart();
    // Touches and clicks only wake the sound; the page's own controls take them too.
    emscripten_set_touchstart_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, touched);
    emscripten_set_mousedown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, clicked);
}

void inputBackendPump()
{
    // The browser delivers its events between frames, through the callbacks above.
}
