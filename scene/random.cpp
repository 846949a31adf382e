// The program's one random generator; see random.h.
#include "scene/random.h"

namespace {
uint32_t state = 1;
}

int randomNext()
{
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 32767u);
}

uint32_t randomState()
{
    return state;
}

void randomSetState(uint32_t newState)
{
    state = newState;
}
