// The keyboard and window events on SDL2, fed into the shared queue.
//
// SDL's events become the program's messages. Its keys are commands, not
// text, so SDL's text input (and with it any input method, which would
// swallow the keys to compose text) is off, and the characters come from
// the key presses: a letter key gives the letter the layout puts on it in
// the case Shift and Caps Lock give, or, when the layout's letter is no Latin
// one (Cyrillic, Greek), the key's own Latin letter (key_letters.h); other
// keys give the character the layout puts on them when no modifier is held.
// Esc, Enter, Tab and Backspace give their control codes, F12 a screenshot
// message, Alt+Return and F11 a full-screen message, a window close a close
// message; game pads' events go to pads.cpp. Held keys are read from SDL's
// keyboard state: E, W and F are the keys that type those letters in the
// user's layout, or the keys bearing them when the layout has no Latin
// letters.
#include "platform/sdl/state.h"
#include "platform/shared/input_queue.h"
#include "platform/shared/key_letters.h"
#include "platform/window.h"

namespace {

const SDL_Keycode letterKeys[] = {SDLK_e, SDLK_w, SDLK_f};
const SDL_Scancode letterScancodes[] = {SDL_SCANCODE_E, SDL_SCANCODE_W, SDL_SCANCODE_F};

SDL_Scancode scancodeOf(Key key)
{
    SDL_Scancode scancode = SDL_GetScancodeFromKey(letterKeys[key]);
    return scancode != SDL_SCANCODE_UNKNOWN ? scancode : letterScancodes[key];
}

bool keyFromScancode(SDL_Scancode scancode, Key* key)
{
    if (scancode == SDL_SCANCODE_LSHIFT || scancode == SDL_SCANCODE_RSHIFT) {
        *key = KEY_SHIFT;
        return true;
    }
    for (int k = KEY_E; k <= KEY_F; k++)
        if (scancodeOf(static_cast<Key>(k)) == scancode) {
            *key = static_cast<Key>(k);
            return true;
        }
    return false;
}

bool keyHeld(Key key)
{
    const Uint8* state = SDL_GetKeyboardState(nullptr);
    if (key == KEY_SHIFT)
        return state[SDL_SCANCODE_LSHIFT] || state[SDL_SCANCODE_RSHIFT];
    return state[scancodeOf(key)];
}

// The character a key press types; 0 when none.
int typedBy(const SDL_Keysym& keysym)
{
    if (keysym.mod & (KMOD_CTRL | KMOD_ALT | KMOD_GUI))
        return 0;  // shortcuts type nothing
    const bool shift = (keysym.mod & KMOD_SHIFT) != 0;
    const bool capsLock = (keysym.mod & KMOD_CAPS) != 0;
    const int keyLetter = keysym.scancode >= SDL_SCANCODE_A && keysym.scancode <= SDL_SCANCODE_Z
                              ? 'A' + (keysym.scancode - SDL_SCANCODE_A)
                              : 0;
    int typed = 0;
    if (keysym.sym >= 'a' && keysym.sym <= 'z')
        typed = shift != capsLock ? keysym.sym - 'a' + 'A' : keysym.sym;
    else if (keysym.sym >= ' ' && keysym.sym != SDLK_DELETE && !shift && !(keysym.sym & SDLK_SCANCODE_MASK))
        typed = keysym.sym;
    return characterFromKey(typed, keyLetter, shift, capsLock);
}

void translate(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN: {
        Key key;
        if (keyFromScancode(event.key.keysym.scancode, &key) && !event.key.repeat)
            inputKeyReport(key, true, true);
        switch (event.key.keysym.sym) {
        case SDLK_ESCAPE: inputQueueChar(27); break;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            // Alt+Return is full screen on or off, never a typed Return.
            if (!(event.key.keysym.mod & KMOD_ALT))
                inputQueueChar(13);
            else if (!event.key.repeat)
                inputQueueFullscreen();
            break;
        case SDLK_F11:
            if (!event.key.repeat)
                inputQueueFullscreen();
            break;
        case SDLK_TAB: inputQueueChar(9); break;
        case SDLK_BACKSPACE: inputQueueChar(8); break;
        case SDLK_F12:
            if (!event.key.repeat)
                inputQueueScreenshot();
            break;
        default: {
            // The program's characters are single bytes (Latin-1): others mean nothing to it.
            int code = typedBy(event.key.keysym);
            if (code > 0 && code < 256)
                inputQueueChar(code);
            break;
        }
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
    default: sdlPadEvent(event); break;
    }
}

}  // namespace

void inputBackendPump()
{
    if (!platformSdl.initialised)
        return;
    // A replay reads no pads: the script is its only player.
    if (!inputScripted())
        sdlPadsStart();
    SDL_Event event;
    while (SDL_PollEvent(&event))
        translate(event);
    sdlPadsAfterEvents(windowHasFocus());
    sdlHoldScreenSaver();
    sdlWatchAdoptedWindow();
    for (int k = 0; k < KEY_COUNT; k++)
        inputKeyReport(static_cast<Key>(k), keyHeld(static_cast<Key>(k)), false);
}
