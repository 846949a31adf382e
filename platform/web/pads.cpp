// Game pads on a browser page, through the Gamepad API: read once per
// animation frame and fed through the one pad mapping (pad_map.h), each pad
// as the control numbered by its place in the browser's list.
//
// Only pads in the standard mapping are read, since only there do button and
// axis numbers name the same controls on every pad. A browser lists a pad
// after its first button press, whenever it was plugged in. A pad that goes
// away, or the page losing the focus or being hidden, lets go of whatever
// the pads held; the page is told when a pad is used, to hide its touch
// buttons.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

#include "platform/shared/pad_map.h"
#include "platform/web/web_state.h"
#include "platform/window.h"

namespace {

// The Gamepad API's pads 0 to 7 are controls 0 to 7; the touch buttons come after.
const int padCount = 8;

// The standard mapping's buttons, by number.
const struct {
    int number;
    PadButton button;
} standardButtons[] = {{0, PAD_SOUTH}, {1, PAD_EAST}, {2, PAD_WEST},  {3, PAD_NORTH}, {8, PAD_BACK},
                       {9, PAD_START}, {12, PAD_UP},  {13, PAD_DOWN}, {14, PAD_LEFT}, {15, PAD_RIGHT}};
const int leftTriggerButton = 6, rightTriggerButton = 7;
const int leftStickY = 1, rightStickY = 3;  // +1 is down, the other way from a reading's

struct WebPad {
    bool connected = false;  // listed, in the standard mapping
    bool paused = false;     // released while the page lost the focus
    bool active = false;     // a button or a stick held when last read
    PadSlot slot;
};
WebPad pads[padCount];

double buttonValue(const EmscriptenGamepadEvent& state, int number)
{
    return number < state.numButtons ? state.analogButton[number] : 0.0;
}

double axisValue(const EmscriptenGamepadEvent& state, int number)
{
    return number < state.numAxes ? state.axis[number] : 0.0;
}

PadReading readingOf(const EmscriptenGamepadEvent& state)
{
    PadReading reading;
    for (const auto& b : standardButtons)
        reading.buttons[b.button] = b.number < state.numButtons && state.digitalButton[b.number];
    reading.leftStickUp = static_cast<float>(-axisValue(state, leftStickY));
    reading.rightStickUp = static_cast<float>(-axisValue(state, rightStickY));
    reading.leftTrigger = static_cast<float>(buttonValue(state, leftTriggerButton));
    reading.rightTrigger = static_cast<float>(buttonValue(state, rightTriggerButton));
    return reading;
}

bool inUse(const PadReading& reading)
{
    for (bool down : reading.buttons)
        if (down)
            return true;
    return padHeldKeys(reading) != 0;
}

// The pad went away: what it held is let go.
void forget(int index)
{
    WebPad& pad = pads[index];
    if (pad.connected)
        padRelease(index, &pad.slot);
    pad = WebPad{};
}

EM_BOOL disconnected(int, const EmscriptenGamepadEvent* event, void*)
{
    if (event->index >= 0 && event->index < padCount)
        forget(static_cast<int>(event->index));
    return EM_FALSE;
}

}  // namespace

void padsWebStart()
{
    // Listening also tells the browser the page wants pads at all.
    emscripten_set_gamepadconnected_callback(nullptr, EM_TRUE,
                                             [](int, const EmscriptenGamepadEvent*, void*) { return EM_FALSE; });
    emscripten_set_gamepaddisconnected_callback(nullptr, EM_TRUE, disconnected);
}

void padsWebPoll()
{
    const bool sampled = emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS;
    const bool focused = windowHasFocus() && windowIsShown();
    const int listed = sampled ? emscripten_get_num_gamepads() : 0;
    bool used = false;
    for (int i = 0; i < padCount; i++) {
        WebPad& pad = pads[i];
        EmscriptenGamepadEvent state;
        const bool present = i < listed && emscripten_get_gamepad_status(i, &state) == EMSCRIPTEN_RESULT_SUCCESS &&
                             state.connected && std::strcmp(state.mapping, "standard") == 0;
        if (!present) {
            forget(i);
            continue;
        }
        if (!pad.connected) {
            // A pad new to the scene starts with its buttons up: its first press counts.
            pad = WebPad{};
            pad.connected = true;
        }
        if (!focused) {
            // Buttons held through the loss type nothing when the focus comes back.
            if (!pad.paused)
                padRelease(i, &pad.slot);
            pad.paused = true;
            pad.active = false;
            continue;
        }
        pad.paused = false;
        const PadReading reading = readingOf(state);
        padFeed(i, &pad.slot, reading);
        const bool active = inUse(reading);
        used = used || (active && !pad.active);
        pad.active = active;
    }
    if (used)
        EM_ASM({
            if (Module.onPadInput)
                Module.onPadInput();
        });
}
