// The game pad's mapping onto the keyboard (see pad_map.h).
#include "platform/shared/pad_map.h"

#include "platform/shared/input_queue.h"

namespace {

// The buttons that type a character when they go down.
struct Typed {
    PadButton button;
    int code;
};
const Typed typedByButtons[] = {{PAD_SOUTH, 'L'}, {PAD_WEST, 't'}, {PAD_NORTH, 'T'}};

const int ESCAPE = 27;

unsigned bit(Key key)
{
    return 1u << key;
}

bool escapeHeld(const PadReading& reading)
{
    return reading.buttons[PAD_BACK] && reading.buttons[PAD_START];
}

}  // namespace

unsigned padHeldKeys(const PadReading& reading)
{
    const bool seaUp = reading.buttons[PAD_UP] || reading.leftStickUp > PAD_STICK_DEAD_ZONE;
    const bool seaDown = reading.buttons[PAD_DOWN] || reading.leftStickUp < -PAD_STICK_DEAD_ZONE;
    const bool landUp = reading.rightStickUp > PAD_STICK_DEAD_ZONE || reading.rightTrigger > PAD_TRIGGER_DEAD_ZONE;
    const bool landDown = reading.rightStickUp < -PAD_STICK_DEAD_ZONE || reading.leftTrigger > PAD_TRIGGER_DEAD_ZONE;
    unsigned keys = 0;
    // Up and down at once cancel out, as they would on a rocking D-pad.
    if (seaUp != seaDown)
        keys |= bit(KEY_W) | (seaUp ? bit(KEY_SHIFT) : 0);
    if (landUp != landDown)
        keys |= bit(KEY_E) | (landUp ? bit(KEY_SHIFT) : 0);
    if (reading.buttons[PAD_BACK])
        keys |= bit(KEY_F);
    return keys;
}

void padFeed(int source, PadSlot* slot, const PadReading& now)
{
    for (const Typed& typed : typedByButtons)
        if (now.buttons[typed.button] && !slot->last.buttons[typed.button])
            inputQueueChar(typed.code);
    if (escapeHeld(now) && !escapeHeld(slot->last))
        inputQueueChar(ESCAPE);
    inputControlHold(source, padHeldKeys(now));
    slot->last = now;
}

void padRelease(int source, PadSlot* slot)
{
    inputControlHold(source, 0);
    // Buttons held through the loss count as held, so they type nothing
    // until they are let go and pressed again.
    for (bool& down : slot->last.buttons)
        down = true;
}
