// Volumes in hundredths of a decibel as linear gains, for every backend.
#include <cmath>

#include "platform/shared/audio_gain.h"

float audioGainFromCentibels(int32_t centibels)
{
    if (centibels <= -10000)
        return 0.0f;
    if (centibels >= 0)
        return 1.0f;
    return static_cast<float>(std::pow(10.0, centibels / 2000.0));
}
