// What the input queue gives the scene after controls have acted: the
// characters typed since the last look and the keys held now, for tests of
// the pads and other controls.
#pragma once

#include <vector>

#include "platform/input.h"

struct InputEffect {
    std::vector<int> typed;
    unsigned held = 0;  // one bit per Key, 1 << KEY_E and so on
    bool operator==(const InputEffect& o) const { return typed == o.typed && held == o.held; }
};

// Takes every waiting message off the queue and reads the held keys.
InputEffect inputEffect();
