// The message queue, the key latch and scripted input, shared by every
// backend (see input.h for the program's side, input_queue.h for the
// backends').
//
// Keys keep two facts each: whether the key is held, and whether it went
// down since inputKeyState() last asked about it. The held state comes
// from the backend's reports or, while scripted, from the script; watchers
// see each change of it and each character the queue delivers.
#include <deque>

#include "platform/shared/input_queue.h"

namespace {

std::deque<Message> queue;
bool scripted = false;
bool held[KEY_COUNT];
bool pressedSinceQuery[KEY_COUNT];  // bit 0 of the key state
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

void setHeld(Key key, bool down, bool pressed)
{
    if (pressed || (down && !held[key]))
        pressedSinceQuery[key] = true;
    if (held[key] != down) {
        held[key] = down;
        if (keyWatcher)
            keyWatcher(key, down);
    }
}

}  // namespace

void inputQueueChar(int code)
{
    if (!scripted)
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
    push(MESSAGE_SCREENSHOT, 0);
}

void inputQueueFullscreen()
{
    if (!scripted)
        push(MESSAGE_FULLSCREEN, 0);
}

void inputKeyReport(Key key, bool down, bool pressed)
{
    if (!scripted && validKey(key))
        setHeld(key, down, pressed);
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
    for (int k = 0; k < KEY_COUNT; k++) {
        held[k] = false;
        pressedSinceQuery[k] = false;
    }
}

void inputScriptChar(int code)
{
    push(MESSAGE_CHAR, code);
}

void inputScriptKey(Key key, bool down)
{
    if (validKey(key))
        setHeld(key, down, false);
}

void inputWatch(InputCharWatcher onChar, InputKeyWatcher onKey)
{
    charWatcher = onChar;
    keyWatcher = onKey;
}
