// Game pads on Windows through XInput; see pads.h.
#include "platform/win32/pads.h"

#include <initializer_list>

XInputPads xinputPads;

namespace {

struct ButtonBit {
    WORD bit;
    PadButton button;
};
const ButtonBit buttonBits[] = {
    {XINPUT_GAMEPAD_A, PAD_SOUTH},          {XINPUT_GAMEPAD_B, PAD_EAST},         {XINPUT_GAMEPAD_X, PAD_WEST},
    {XINPUT_GAMEPAD_Y, PAD_NORTH},          {XINPUT_GAMEPAD_BACK, PAD_BACK},      {XINPUT_GAMEPAD_START, PAD_START},
    {XINPUT_GAMEPAD_DPAD_UP, PAD_UP},       {XINPUT_GAMEPAD_DPAD_DOWN, PAD_DOWN}, {XINPUT_GAMEPAD_DPAD_LEFT, PAD_LEFT},
    {XINPUT_GAMEPAD_DPAD_RIGHT, PAD_RIGHT},
};

// A thumb stick's axis, -32768 to 32767 with up positive, as -1 to 1.
float thumb(SHORT value)
{
    const float v = static_cast<float>(value) / 32767.0f;
    return v < -1.0f ? -1.0f : v;
}

}  // namespace

const char* xinputLoad(XInputPads* pads)
{
    static const char* loadedName = nullptr;
    if (pads->loaded)
        return loadedName;
    pads->loaded = true;
    if (pads->getState)
        return loadedName;
    for (const char* name : {"xinput1_4.dll", "xinput9_1_0.dll"}) {
        HMODULE library = LoadLibraryA(name);
        if (!library)
            continue;
        FARPROC call = GetProcAddress(library, "XInputGetState");
        if (!call) {
            FreeLibrary(library);
            continue;
        }
        // GetProcAddress hands every entry point out as one type.
        pads->getState = reinterpret_cast<XInputGetStateCall>(reinterpret_cast<void*>(call));
        loadedName = name;
        break;  // kept loaded for the rest of the run
    }
    return loadedName;
}

void xinputRead(XInputPads* pads, ULONGLONG now)
{
    if (!pads->getState)
        return;
    for (DWORD s = 0; s < XUSER_MAX_COUNT; s++) {
        if (!pads->connected[s] && pads->emptyAsked[s] && now - pads->emptyAskedAt[s] < xinputEmptySlotWait)
            continue;
        XINPUT_STATE state = {};
        const bool connected = pads->getState(s, &state) == ERROR_SUCCESS;
        pads->connected[s] = connected;
        if (connected) {
            pads->state[s] = state;
            pads->emptyAsked[s] = false;
        } else {
            pads->state[s] = XINPUT_STATE{};
            pads->emptyAsked[s] = true;
            pads->emptyAskedAt[s] = now;
        }
    }
}

PadReading xinputReading(const XINPUT_GAMEPAD& pad)
{
    PadReading reading;
    for (const ButtonBit& b : buttonBits)
        reading.buttons[b.button] = (pad.wButtons & b.bit) != 0;
    reading.leftStickUp = thumb(pad.sThumbLY);
    reading.rightStickUp = thumb(pad.sThumbRY);
    reading.leftTrigger = static_cast<float>(pad.bLeftTrigger) / 255.0f;
    reading.rightTrigger = static_cast<float>(pad.bRightTrigger) / 255.0f;
    return reading;
}

void xinputPoll(XInputPads* pads, bool focused, ULONGLONG now)
{
    if (!pads->getState)
        return;  // no XInput: no pads ever held anything
    xinputRead(pads, now);
    for (int s = 0; s < XUSER_MAX_COUNT; s++) {
        const bool feeding = focused && pads->connected[s];
        // A pad starts (and starts again in front) from what it holds: its
        // buttons already down type nothing until pressed anew.
        if (feeding && !pads->fed[s])
            padRelease(s, &pads->slot[s]);
        if (feeding)
            padFeed(s, &pads->slot[s], xinputReading(pads->state[s].Gamepad));
        else if (pads->fed[s])
            padRelease(s, &pads->slot[s]);
        pads->fed[s] = feeding;
    }
}
