// The program's one random generator.
//
// A linear congruential generator with a 32-bit state that starts at 1:
// state = state * 214013 + 2531011 (mod 2^32), result (state >> 16) & 32767.
// The director, the pose programs and the effects all draw from it, so the
// order of draws is part of the program's behaviour; every platform gives
// the same sequence.
#pragma once
#include <cstdint>

struct RandomGenerator {
    uint32_t state = 1;  // never reseeded by the program; tests and resets set it
};
extern RandomGenerator randomGenerator;

// The next number, 0 to 32767.
int randomNext();
