// What the input queue gives the scene after controls have acted.
#include "tests/support/input_effects.h"

InputEffect inputEffect()
{
    InputEffect effect;
    for (Message m; inputNextMessage(&m);)
        if (m.type == MESSAGE_CHAR)
            effect.typed.push_back(m.code);
    for (int k = 0; k < KEY_COUNT; k++)
        if (inputKeyState(static_cast<Key>(k)).held)
            effect.held |= 1u << k;
    return effect;
}
