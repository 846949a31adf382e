// The message queue and the keyboard.
//
// Typed characters, window closes and quit requests arrive as messages,
// taken one at a time from the queue. Keys are polled: whether a key is held
// now, and whether it went down since the program last asked.
#pragma once
#include <cstdint>

enum MessageType {
    MESSAGE_CHAR = 1,        // a typed character; code is its character code (Esc is 27)
    MESSAGE_CLOSE = 2,       // the user asked to close the main window
    MESSAGE_QUIT = 3,        // the quit message; code is the exit code it carries
    MESSAGE_SCREENSHOT = 4,  // the screenshot key (F12) went down
    MESSAGE_FULLSCREEN = 5,  // Alt+Return or F11: full screen on or off
};

struct Message {
    int type;
    int code;
};

// Takes the next message from the queue. False when the queue is empty.
bool inputNextMessage(Message* message);

// Puts a quit message carrying `code` at the end of the queue.
void inputPostQuit(int code);

enum Key {
    KEY_E,      // the key that types the letter E in the user's layout
    KEY_W,      // likewise W
    KEY_F,      // likewise F
    KEY_SHIFT,  // either Shift key
    KEY_COUNT
};

struct KeyState {
    bool held;     // the key is down now
    bool pressed;  // the key went down since the previous query of it
};

// The key's state; a key tapped between two queries shows once as pressed.
KeyState inputKeyState(Key key);

// Scripted input, for replays and tests. Once scripted input is on, the
// real keyboard is ignored: typed characters and key states come only from
// the calls below. Window closes still arrive.
void inputUseScript(bool on);
void inputScriptChar(int code);
void inputScriptKey(Key key, bool down);

// The attract mode's input: the program itself typing characters and
// holding keys, merged with the player's (the keyboard's, or the script's
// while scripted). Its characters join the queue behind those already
// waiting, a key counts as held while either holds it, and the watchers
// below see both alike, so a recording replays them as the player's.
void inputAttractChar(int code);
void inputAttractKey(Key key, bool down);

// How many times the player has typed a character or pressed a key, on the
// keyboard or in the script, since the program started; the attract's own
// input doesn't count.
unsigned long inputPlayerTouches();

// Watching the input the program takes, for recording a session: `onChar`
// sees each typed character as inputNextMessage() hands it out, `onKey` each
// change of a key's held state, from the keyboard or the script, as the
// message pump (or inputScriptKey) takes it in. Either may be null; null
// for both stops watching.
typedef void (*InputCharWatcher)(int code);
typedef void (*InputKeyWatcher)(Key key, bool down);
void inputWatch(InputCharWatcher onChar, InputKeyWatcher onKey);
