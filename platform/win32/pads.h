// Game pads on Windows through XInput (not a public header: only the files
// in platform/win32/ and their tests include it).
//
// XInput is loaded when the first pads are wanted: xinput1_4.dll (Windows 8
// and later), else xinput9_1_0.dll (Vista and 7); without either the program
// runs on the keyboard alone. Its four slots are read with XInputGetState:
// a connected pad at every poll, an empty slot at most once a second, since
// asking an empty slot is slow.
#pragma once

#include "platform/shared/pad_map.h"
#include "platform/win32/state.h"

#include <xinput.h>  // after <windows.h>, which it builds on

typedef DWORD(WINAPI* XInputGetStateCall)(DWORD slot, XINPUT_STATE* state);

// How long an empty slot is left alone before it is asked again.
const ULONGLONG xinputEmptySlotWait = 1000;  // milliseconds

struct XInputPads {
    bool loaded = false;                    // xinputLoad() ran
    XInputGetStateCall getState = nullptr;  // null: no XInput on this machine
    bool connected[XUSER_MAX_COUNT] = {};
    XINPUT_STATE state[XUSER_MAX_COUNT] = {};      // each connected pad's last state
    ULONGLONG emptyAskedAt[XUSER_MAX_COUNT] = {};  // when an empty slot was last asked
    bool emptyAsked[XUSER_MAX_COUNT] = {};         // it has been asked since it emptied
    PadSlot slot[XUSER_MAX_COUNT];
    bool fed[XUSER_MAX_COUNT] = {};  // the last poll handed the slot's pad to the scene
};

extern XInputPads xinputPads;

// Loads XInput once; returns the name of the library loaded, or nullptr when
// there is none. A test that set `getState` itself before keeps it.
const char* xinputLoad(XInputPads* pads);

// Asks the slots that are due at `now` (milliseconds): the connected ones,
// and the empty ones not asked within the last second.
void xinputRead(XInputPads* pads, ULONGLONG now);

// A pad's state in the layout the mapping reads.
PadReading xinputReading(const XINPUT_GAMEPAD& pad);

// One frame's pads: reads them, and while `focused` (the main window is in
// front) hands each to the mapping as the control of its slot's number; a
// pad unplugged, or the window leaving the front, lets go of all it held.
void xinputPoll(XInputPads* pads, bool focused, ULONGLONG now);
