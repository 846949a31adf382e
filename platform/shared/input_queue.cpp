// The message queue, the key latch and scripted input, shared by every
// backend (see input.h for the program's side, input_queue.h for the
// backends').
//
// Keys keep two facts each: whether the key is held, and whether it went
// down since inputKeyState() last asked about it. A key is held while the
// player holds it (by the backend's reports or, while scripted, by the
// script) or the attract mode does; watchers see each change of that and
// each character the queue delivers.
#include <deque>

#include "platform/shared/input_queue.h"
#include "platform/shared/pad_map.h"

namespace {

std::deque<Message> queue;
bool scripted = false;
bool keyboardHeld[KEY_COUNT];       // by the keyboard, or the script while scripted
unsigned controlKeys[PAD_SOURCES];  // by each pad or touch control, a bit per key
bool playerHeld[KEY_COUNT];         // by the keyboard, the script or a control
bool attractHeld[KEY_COUNT];        // by the attract mode
bool held[KEY_COUNT];               // by either: what the program sees
bool pressedSinceQuery[KEY_COUNT];  // bit 0 of the key state
unsigned long playerTouches = 0;
InputCharWatcher charWatcher = nullptr;
InputKeyWatcher keyWatcher = nullptr;

void push(int type, int code)
{
    queue.push_back(Message{type, code});
}

bool validKey(Key key)
{
    return key >= 0 && key < KEY_COUNT;
}

// Brings the key's held state up to date with its two holders; `pressed`:
// the player's key went down since the last report.
void updateHeld(Key key, bool pressed)
{
    const bool down = playerHeld[key] || attractHeld[key];
    if (pressed || (down && !held[key]))
        pressedSinceQuery[key] = true;
    if (held[key] != down) {
        held[key] = down;
        if (keyWatcher)
            keyWatcher(key, down);
    }
}

bool heldByControl(Key key)
{
    for (unsigned keys : controlKeys)
        if (keys & (1u << key))
            return true;
    return false;
}

// The player's hold of `key` after the keyboard (or script) or a control
// changed; `pressed`: the keyboard's key went down since the last report.
void updatePlayerHeld(Key key, bool pressed)
{
    const bool down = keyboardHeld[key] || heldByControl(key);
    if (pressed || (down && !playerHeld[key]))
        playerTouches++;
    playerHeld[key] = down;
    updateHeld(key, pressed);
}

void setPlayerHeld(Key key, bool down, bool pressed)
{
    keyboardHeld[key] = down;
    updatePlayerHeld(key, pressed);
}

}  // namespace

void inputQueueChar(int code)
{
    if (scripted)
        return;
    playerTouches++;
    push(MESSAGE_CHAR, code);
}

void inputQueueClose()
{
    // One close per request, however many ways the system reports it.
    if (queue.empty() || queue.back().type != MESSAGE_CLOSE)
        push(MESSAGE_CLOSE, 0);
}

void inputQueueScreenshot()
{
    if (!scripted)
        playerTouches++;
    push(MESSAGE_SCREENSHOT, 0);
}

void inputQueueFullscreen()
{
    if (scripted)
        return;
    playerTouches++;
    push(MESSAGE_FULLSCREEN, 0);
}

void inputKeyReport(Key key, bool down, bool pressed)
{
    if (!scripted && validKey(key))
        setPlayerHeld(key, down, pressed);
}

void inputControlHold(int source, unsigned keys)
{
    if (scripted || source < 0 || source >= PAD_SOURCES)
        return;
    keys &= (1u << KEY_COUNT) - 1;
    const unsigned changed = controlKeys[source] ^ keys;
    controlKeys[source] = keys;
    for (int k = 0; k < KEY_COUNT; k++)
        if (changed & (1u << k))
            updatePlayerHeld(static_cast<Key>(k), false);
}

bool inputScripted()
{
    return scripted;
}

bool inputNextMessage(Message* message)
{
    inputBackendPump();
    if (queue.empty())
        return false;
    *message = queue.front();
    queue.pop_front();
    if (message->type == MESSAGE_CHAR && charWatcher)
        charWatcher(message->code);
    return true;
}

void inputPostQuit(int code)
{
    push(MESSAGE_QUIT, code);
}

KeyState inputKeyState(Key key)
{
    if (!validKey(key))
        return KeyState{false, false};
    const KeyState state{held[key], pressedSinceQuery[key]};
    pressedSinceQuery[key] = false;
    return state;
}

void inputUseScript(bool on)
{
    scripted = on;
    for (unsigned& keys : controlKeys)
        keys = 0;
    for (int k = 0; k < KEY_COUNT; k++) {
        keyboardHeld[k] = false;
        playerHeld[k] = false;
        attractHeld[k] = false;
        held[k] = false;
        pressedSinceQuery[k] = false;
    }
}

void inputScriptChar(int code)
{
    playerTouches++;
    push(MESSAGE_CHAR, code);
}

void inputScriptKey(Key key, bool down)
{
    if (validKey(key))
        setPlayerHeld(key, down, false);
}

void inputAttractChar(int code)
{
    push(MESSAGE_CHAR, code);
}

void inputAttractKey(Key key, bool down)
{
    if (!validKey(key))
        return;
    attractHeld[key] = down;
    updateHeld(key, false);
}

unsigned long inputPlayerTouches()
{
    return playerTouches;
}

void inputWatch(InputCharWatcher onChar, InputKeyWatcher onKey)
{
    charWatcher = onChar;
    keyWatcher = onKey;
}
