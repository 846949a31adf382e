// Small signal-processing pieces for synthesising the sounds.
//
// Looping sounds are built circularly: their noise and events wrap around
// the loop, and every filter runs over the loop twice, keeping the second
// pass, so the filter enters the loop in the state it leaves it in and the
// last sample runs on into the first without a click.
#pragma once
#include <vector>

#include "tools/content/content.h"

using Samples = std::vector<float>;

inline int secondsToSamples(float seconds)
{
    return static_cast<int>(seconds * SOUND_RATE + 0.5f);
}

// A state-variable filter (Chamberlin) whose cut-off may change every
// sample; it gives low-pass, band-pass and high-pass outputs at once.
struct StateVariableFilter {
    float low = 0.0f, band = 0.0f;
    // Returns the output of the given kind for one input sample.
    enum Kind { LOW, BAND, HIGH };
    float step(float input, float cutoffHz, float damping, Kind kind);
};

// A one-pole low-pass, for smoothing and rumbles.
struct OnePole {
    float state = 0.0f;
    float step(float input, float cutoffHz);
};

Samples whiteNoise(int count, Rng& rng);

// Runs `filter` (a function of the sample index and the input) over the
// whole buffer twice, keeping the second pass: for loops.
template <typename Filter>
Samples filterCircular(const Samples& input, Filter filter)
{
    Samples out(input.size());
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < input.size(); ++i)
            out[i] = filter(static_cast<int>(i), input[i]);
    return out;
}

// Runs `filter` once, for one-shot sounds.
template <typename Filter>
Samples filterOnce(const Samples& input, Filter filter)
{
    Samples out(input.size());
    for (size_t i = 0; i < input.size(); ++i)
        out[i] = filter(static_cast<int>(i), input[i]);
    return out;
}

// Adds `event` into `target` from sample `start`; with `wrap` set the part
// that runs past the end continues at the beginning.
void addEvent(Samples& target, const Samples& event, int start, float gain, bool wrap);

// A short burst: white noise under an envelope of `attack` and an
// exponential decay with the given time constant, both in seconds.
Samples noiseBurst(Rng& rng, float attack, float decay, float length);

// Multiplies the first and last `seconds` by a raised-cosine fade.
void fadeEnds(Samples& samples, float fadeIn, float fadeOut);

// Smooth periodic modulation in [0, 1] over a loop of `count` samples:
// a fixed sum of sines with whole numbers of cycles per loop.
float loopWave(int i, int count, int cycles, float phase);
