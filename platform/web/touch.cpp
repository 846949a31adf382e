// The page's touch buttons, as one more control of the input queue: the
// page (index.html) follows the fingers and says which buttons are under
// one now, and which a finger was just lifted from, by their names; here
// each name means the keys the keyboard would hold for it, or the character
// it would type when the button goes down. Quit alone acts when the finger
// is lifted, so that a touch that slides off it keeps the scene.
#include <emscripten/emscripten.h>

#include <cstring>

#include "platform/shared/input_queue.h"

namespace {

// After the Gamepad API's pads 0 to 7.
const int touchSource = 8;

const int escape = 27;

const unsigned heldE = 1u << KEY_E, heldW = 1u << KEY_W, heldF = 1u << KEY_F, heldShift = 1u << KEY_SHIFT;

// Each button's name on the page (its data-control), what it holds and what
// it types (0 for neither), and whether it types when lifted from.
const struct {
    const char* name;
    unsigned keys;
    int character;
    bool whenLifted;
} controls[] = {
    {"land-down", heldE, 0, false}, {"land-up", heldE | heldShift, 0, false},
    {"sea-down", heldW, 0, false},  {"sea-up", heldW | heldShift, 0, false},
    {"lightning", 0, 'L', false},   {"tornado-down", 0, 't', false},
    {"tornado-up", 0, 'T', false},  {"frame-rate", heldF, 0, false},
    {"quit", 0, escape, true},
};
const int controlCount = sizeof controls / sizeof controls[0];

unsigned heldButtons = 0;  // a bit per control, as last told

// Whether the space-separated `names` has `name`.
bool named(const char* names, const char* name)
{
    const size_t length = std::strlen(name);
    for (const char* p = names; *p;) {
        const char* end = std::strchr(p, ' ');
        const size_t word = end ? static_cast<size_t>(end - p) : std::strlen(p);
        if (word == length && std::strncmp(p, name, length) == 0)
            return true;
        if (!end)
            break;
        p = end + 1;
    }
    return false;
}

}  // namespace

// The page's buttons under a finger now and those a finger was just lifted
// from, their names separated by spaces ("" for none).
extern "C" EMSCRIPTEN_KEEPALIVE void webTouchHeld(const char* held, const char* lifted)
{
    unsigned now = 0, keys = 0;
    for (int i = 0; i < controlCount; i++) {
        const int character = controls[i].character;
        if (character && controls[i].whenLifted && named(lifted, controls[i].name))
            inputQueueChar(character);
        if (!named(held, controls[i].name))
            continue;
        now |= 1u << i;
        keys |= controls[i].keys;
        if (character && !controls[i].whenLifted && !(heldButtons & 1u << i))
            inputQueueChar(character);
    }
    heldButtons = now;
    inputControlHold(touchSource, keys);
}

// The page lost the focus: no button is held any more.
void touchWebRelease()
{
    webTouchHeld("", "");
}
