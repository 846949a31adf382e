// The keyboard and window events on SDL2, fed into the shared queue.
//
// SDL's events become the program's messages: typed text one character
// message per character (code points above 255 have no single-byte code and
// are dropped), Esc, Enter, Tab and Backspace their control codes, F12 a
// screenshot message, a window close a close message. Keys are read from SDL's keyboard state by key
// code, so E, W and F are the keys that type those letters in the user's
// layout.
#include "platform/input_queue.h"
#include "platform/sdl/state.h"

namespace {

const SDL_Keycode letterKeys[] = {SDLK_e, SDLK_w, SDLK_f};

bool keyFromKeycode(SDL_Keycode sym, Key* key)
{
    switch (sym) {
    case SDLK_e: *key = KEY_E; return true;
    case SDLK_w: *key = KEY_W; return true;
    case SDLK_f: *key = KEY_F; return true;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: *key = KEY_SHIFT; return true;
    default: return false;
    }
}

bool keyHeld(Key key)
{
    const Uint8* state = SDL_GetKeyboardState(nullptr);
    if (key == KEY_SHIFT)
        return state[SDL_SCANCODE_LSHIFT] || state[SDL_SCANCODE_RSHIFT];
    SDL_Scancode scancode = SDL_GetScancodeFromKey(letterKeys[key]);
    return scancode != SDL_SCANCODE_UNKNOWN && state[scancode];
}

// Decodes UTF-8 text into character messages.
void queueText(const char* text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        unsigned int code;
        int extra;
        if (*p < 0x80) {
            code = *p;
            extra = 0;
        } else if ((*p & 0xE0) == 0xC0) {
            code = *p & 0x1F;
            extra = 1;
        } else if ((*p & 0xF0) == 0xE0) {
            code = *p & 0x0F;
            extra = 2;
        } else if ((*p & 0xF8) == 0xF0) {
            code = *p & 0x07;
            extra = 3;
        } else {
            p++;
            continue;
        }
        p++;
        bool valid = true;
        for (int i = 0; i < extra; i++) {
            if ((*p & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            code = (code << 6) | (*p & 0x3F);
            p++;
        }
        if (valid && code < 256)
            inputQueueChar(static_cast<int>(code));
    }
}

void translate(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_TEXTINPUT: queueText(event.text.text); break;
    case SDL_KEYDOWN: {
        Key key;
        if (keyFromKeycode(event.key.keysym.sym, &key) && !event.key.repeat)
            inputKeyReport(key, true, true);
        switch (event.key.keysym.sym) {
        case SDLK_ESCAPE: inputQueueChar(27); break;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: inputQueueChar(13); break;
        case SDLK_TAB: inputQueueChar(9); break;
        case SDLK_BACKSPACE: inputQueueChar(8); break;
        case SDLK_F12:
            if (!event.key.repeat)
                inputQueueScreenshot();
            break;
        default: break;
        }
        break;
    }
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            inputQueueClose();
        break;
    case SDL_QUIT:
        // Sent after the last window's close, and on an interrupt signal.
        inputQueueClose();
        break;
    default: break;
    }
}

}  // namespace

void inputBackendPump()
{
    if (!platformSdl.initialised)
        return;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        translate(event);
    for (int k = 0; k < KEY_COUNT; k++)
        inputKeyReport(static_cast<Key>(k), keyHeld(static_cast<Key>(k)), false);
}
