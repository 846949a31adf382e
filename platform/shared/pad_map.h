// The one mapping from a game pad to the keyboard's keys and characters,
// shared by every backend (not a public header: only platform/ includes it).
//
// A backend reads each pad into a PadReading, in the standard layout every
// pad API offers (SDL's game controllers, XInput, the browser's standard
// mapping), and hands it to padFeed() once a frame. The pad then types the
// characters and holds the keys the keyboard would, through the same input
// queue, so a session played with a pad records and replays like any other:
//
//   south face button (A, Cross)       L
//   west (X, Square)                   t
//   north (Y, Triangle)                T
//   D-pad up, left stick up            Shift+W held (the sea rises)
//   D-pad down, left stick down        W held (the sea falls)
//   right stick up, right trigger      Shift+E held (the land rises)
//   right stick down, left trigger     E held (the land sinks)
//   Back / View held                   F held (the frame rate)
//   Back and Start together            Esc
//
// A stick counts past half its travel, a trigger past a quarter of its
// travel, so a worn stick's drift or a resting finger never moves the sea.
#pragma once

#include "platform/input.h"

enum PadButton {
    PAD_SOUTH,
    PAD_EAST,
    PAD_WEST,
    PAD_NORTH,
    PAD_BACK,
    PAD_START,
    PAD_UP,
    PAD_DOWN,
    PAD_LEFT,
    PAD_RIGHT,
    PAD_BUTTON_COUNT
};

struct PadReading {
    bool buttons[PAD_BUTTON_COUNT] = {};
    float leftStickUp = 0;   // -1 (pulled fully down) to 1 (pushed fully up)
    float rightStickUp = 0;  // likewise
    float leftTrigger = 0;   // 0 (released) to 1 (fully pressed)
    float rightTrigger = 0;  // likewise
};

const float PAD_STICK_DEAD_ZONE = 0.5f;
const float PAD_TRIGGER_DEAD_ZONE = 0.25f;

// The most controls (pads, the page's touch buttons) holding keys at once;
// each is a source numbered from 0.
const int PAD_SOURCES = 16;

// One pad's last reading, to see which buttons went down since.
struct PadSlot {
    PadReading last;
};

// The keys a reading holds, one bit per Key (1 << KEY_E and so on).
unsigned padHeldKeys(const PadReading& reading);

// Takes a pad's new reading: types the characters of the buttons that went
// down since the slot's last reading and holds the keys the reading holds,
// as control `source`.
void padFeed(int source, PadSlot* slot, const PadReading& now);

// The pad went away or the scene lost the focus: whatever it held is
// released, and its buttons count as up, so a button still held when it
// comes back types nothing until pressed again.
void padRelease(int source, PadSlot* slot);
