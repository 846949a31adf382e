// The program's one random generator; see random.h.
#include "scene/random.h"

RandomGenerator randomGenerator;

int randomNext()
{
    randomGenerator.state = randomGenerator.state * 214013u + 2531011u;
    return static_cast<int>((randomGenerator.state >> 16) & 32767u);
}
