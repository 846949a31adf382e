// The message queue and the keyboard on SDL2.
//
// SDL's events are turned into the program's messages: typed text into one
// character message per character (code points above 255 have no single-byte
// code and are dropped), Esc, Enter, Tab and Backspace into their control
// codes, a window close into a close message. Keys are read from SDL's
// keyboard state by key code, so E, W and F are the keys that type those
// letters in the user's layout. Scripted input replaces the keyboard for
// replays and tests.
#include <deque>

#include "platform/input.h"
#include "platform/sdl_state.h"

namespace {

std::deque<Message> queue;
bool scripted = false;
bool scriptHeld[KEY_COUNT];
bool pressedSinceQuery[KEY_COUNT];  // bit 0 of the key state
bool reportedHeld[KEY_COUNT];       // the held state the key watcher last saw
InputCharWatcher charWatcher = nullptr;
InputKeyWatcher keyWatcher = nullptr;

bool keyboardHeld(Key key);

void push(int type, int code)
{
    queue.push_back(Message{type, code});
}

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

// Decodes UTF-8 text into character messages.
void pushText(const char* text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        unsigned int code;
        int extra;
        if (*p < 0x80) { code = *p; extra = 0; }
        else if ((*p & 0xE0) == 0xC0) { code = *p & 0x1F; extra = 1; }
        else if ((*p & 0xF0) == 0xE0) { code = *p & 0x0F; extra = 2; }
        else if ((*p & 0xF8) == 0xF0) { code = *p & 0x07; extra = 3; }
        else { p++; continue; }
        p++;
        bool valid = true;
        for (int i = 0; i < extra; i++) {
            if ((*p & 0xC0) != 0x80) { valid = false; break; }
            code = (code << 6) | (*p & 0x3F);
            p++;
        }
        if (valid && code < 256)
            push(MESSAGE_CHAR, static_cast<int>(code));
    }
}

void translate(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_TEXTINPUT:
        if (!scripted)
            pushText(event.text.text);
        break;
    case SDL_KEYDOWN:
        if (scripted)
            break;
        {
            Key key;
            if (keyFromKeycode(event.key.keysym.sym, &key) && !event.key.repeat)
                pressedSinceQuery[key] = true;
        }
        switch (event.key.keysym.sym) {
        case SDLK_ESCAPE: push(MESSAGE_CHAR, 27); break;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: push(MESSAGE_CHAR, 13); break;
        case SDLK_TAB: push(MESSAGE_CHAR, 9); break;
        case SDLK_BACKSPACE: push(MESSAGE_CHAR, 8); break;
        case SDLK_F12:
            if (!event.key.repeat)
                push(MESSAGE_SCREENSHOT, 0);
            break;
        default: break;
        }
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            push(MESSAGE_CLOSE, 0);
        break;
    case SDL_QUIT:
        // Sent after the last window's close, and on an interrupt signal.
        if (queue.empty() || queue.back().type != MESSAGE_CLOSE)
            push(MESSAGE_CLOSE, 0);
        break;
    default:
        break;
    }
}

bool keyboardHeld(Key key)
{
    if (!platformSdl.initialised)
        return false;
    const Uint8* state = SDL_GetKeyboardState(nullptr);
    if (key == KEY_SHIFT)
        return state[SDL_SCANCODE_LSHIFT] || state[SDL_SCANCODE_RSHIFT];
    SDL_Keycode sym = key == KEY_E ? SDLK_e : key == KEY_W ? SDLK_w : SDLK_f;
    SDL_Scancode scancode = SDL_GetScancodeFromKey(sym);
    return scancode != SDL_SCANCODE_UNKNOWN && state[scancode];
}

}  // namespace

bool peekMessage(Message* message)
{
    if (platformSdl.initialised) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            translate(event);
        for (int k = 0; k < KEY_COUNT && !scripted; k++) {
            bool held = keyboardHeld(static_cast<Key>(k));
            if (held != reportedHeld[k] && keyWatcher)
                keyWatcher(static_cast<Key>(k), held);
            reportedHeld[k] = held;
        }
    }
    if (queue.empty())
        return false;
    *message = queue.front();
    queue.pop_front();
    if (message->type == MESSAGE_CHAR && charWatcher)
        charWatcher(message->code);
    return true;
}

void postQuitMessage(int code)
{
    push(MESSAGE_QUIT, code);
}

int16_t getAsyncKeyState(Key key)
{
    if (key < 0 || key >= KEY_COUNT)
        return 0;
    bool held = scripted ? scriptHeld[key] : keyboardHeld(key);
    int16_t result = static_cast<int16_t>((held ? 0x8000 : 0) | (pressedSinceQuery[key] ? 1 : 0));
    pressedSinceQuery[key] = false;
    return result;
}

void inputUseScript(bool on)
{
    scripted = on;
    for (int k = 0; k < KEY_COUNT; k++) {
        scriptHeld[k] = false;
        pressedSinceQuery[k] = false;
    }
}

void inputScriptChar(int code)
{
    push(MESSAGE_CHAR, code);
}

void inputScriptKey(Key key, bool down)
{
    if (key < 0 || key >= KEY_COUNT)
        return;
    if (down && !scriptHeld[key])
        pressedSinceQuery[key] = true;
    if (down != scriptHeld[key] && keyWatcher)
        keyWatcher(key, down);
    scriptHeld[key] = down;
}

void inputWatch(InputCharWatcher onChar, InputKeyWatcher onKey)
{
    charWatcher = onChar;
    keyWatcher = onKey;
}
