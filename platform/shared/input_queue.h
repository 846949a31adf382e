// The backend side of the message queue and the keyboard (not a public
// header: only platform/ includes it).
//
// input_queue.cpp owns the queue, the "pressed since the previous query"
// latch and the scripted input; each backend only translates its own events
// into the calls below and provides inputBackendPump().
#pragma once

#include "platform/input.h"

// A character typed on the real keyboard. Dropped while scripted input is on.
void inputQueueChar(int code);

// The user asked to close the main window (arrives even while scripted).
void inputQueueClose();

// The screenshot key (F12) went down; not a repeat. Arrives even while
// scripted: it changes nothing in the scene.
void inputQueueScreenshot();

// Alt+Return or F11 went down (not a repeat): full screen on or off.
// Dropped while scripted input is on: a replay's window stays as it is.
void inputQueueFullscreen();

// The real keyboard's state of `key` as just read: `held` while it is down,
// `pressed` when it went down since the previous report. Ignored while
// scripted input is on.
void inputKeyReport(Key key, bool held, bool pressed);

// The keys a control other than the keyboard holds now (a game pad, the
// page's touch buttons): one bit per Key, 1 << KEY_E and so on; 0 releases
// them all. `source` tells the controls apart, 0 to PAD_SOURCES - 1
// (pad_map.h); a key counts as the player's while the keyboard or any
// control holds it. Ignored while scripted input is on. The characters a
// control types go in through inputQueueChar(), as the keyboard's do.
void inputControlHold(int source, unsigned keys);

// Whether scripted input is on: a backend reads no game pads then.
bool inputScripted();

// Provided by each backend: translates the operating system's waiting
// events into the calls above. Called by inputNextMessage() before it looks at
// the queue; must do nothing before the platform is initialised.
void inputBackendPump();
