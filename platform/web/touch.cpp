// The page's touch buttons, as one more control of the input queue: the
// page (index.html) follows the fingers and says which buttons are under
// one now, by their names; here each name means the keys the keyboard would
// hold for it, or the character it would type when the button goes down.
#include <emscripten/emscripten.h>

#include <cstring>

#include "platform/shared/input_queue.h"

namespace {

// After the Gamepad API's pads 0 to 7.
const int touchSource = 8;

const int escape = 27;

const unsigned heldE = 1u << KEY_E, heldW = 1u << KEY_W, heldF = 1u << KEY_F, heldShift = 1u << KEY_SHIFT;

// Each button's name on the page (its data-control), what it holds and what
// it types; 0 for neither.
const struct {
    const char* name;
    unsigned keys;
    int character;
} controls[] = {
    {"land-down", heldE, 0}, {"land-up", heldE | heldShift, 0},
    {"sea-down", heldW, 0},  {"sea-up", heldW | heldShift, 0},
    {"lightning", 0, 'L'},   {"tornado-down", 0, 't'},
    {"tornado-up", 0, 'T'},  {"frame-rate", heldF, 0},
    {"quit", 0, escape},
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

// The page's buttons under a finger now, their names separated by spaces
// ("" once no finger holds any).
extern "C" EMSCRIPTEN_KEEPALIVE void webTouchHeld(const char* names)
{
    unsigned now = 0, keys = 0;
    for (int i = 0; i < controlCount; i++) {
        if (!named(names, controls[i].name))
            continue;
        now |= 1u << i;
        keys |= controls[i].keys;
        if (controls[i].character && !(heldButtons & 1u << i))
            inputQueueChar(controls[i].character);
    }
    heldButtons = now;
    inputControlHold(touchSource, keys);
}

// The page lost the focus: no button is held any more.
void touchWebRelease()
{
    webTouchHeld("");
}
