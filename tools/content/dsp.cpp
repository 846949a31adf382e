// Signal-processing pieces for the sounds: filters, noise, bursts, fades.
#include "tools/content/dsp.h"

#include <algorithm>
#include <cmath>

namespace {
const float pi = 3.14159265f;
}

float StateVariableFilter::step(float input, float cutoffHz, float damping, Kind kind)
{
    // Two iterations per sample keep the filter stable up to a quarter of
    // the sample rate.
    float f = 2.0f * std::sin(pi * cutoffHz / (2.0f * SOUND_RATE));
    float high = 0.0f;
    for (int k = 0; k < 2; ++k) {
        low += f * band;
        high = input - low - damping * band;
        band += f * high;
    }
    switch (kind) {
    case LOW: return low;
    case BAND: return band;
    case HIGH: return high;
    }
    return low;
}

float OnePole::step(float input, float cutoffHz)
{
    float a = 1.0f - std::exp(-2.0f * pi * cutoffHz / SOUND_RATE);
    state += a * (input - state);
    return state;
}

Samples whiteNoise(int count, Rng& rng)
{
    Samples s(static_cast<size_t>(count));
    for (float& v : s)
        v = rng.range(-1.0f, 1.0f);
    return s;
}

void addEvent(Samples& target, const Samples& event, int start, float gain, bool wrap)
{
    const int n = static_cast<int>(target.size());
    for (size_t k = 0; k < event.size(); ++k) {
        int i = start + static_cast<int>(k);
        if (i >= n) {
            if (!wrap)
                break;
            i %= n;
        }
        target[static_cast<size_t>(i)] += gain * event[k];
    }
}

Samples noiseBurst(Rng& rng, float attack, float decay, float length)
{
    Samples s(static_cast<size_t>(secondsToSamples(length)));
    for (size_t i = 0; i < s.size(); ++i) {
        float t = static_cast<float>(i) / SOUND_RATE;
        float env = (attack > 0.0f ? std::fmin(1.0f, t / attack) : 1.0f) * std::exp(-t / decay);
        s[i] = rng.range(-1.0f, 1.0f) * env;
    }
    // Taper the very end so the burst stops at zero.
    fadeEnds(s, 0.0f, std::fmin(0.01f, length * 0.2f));
    return s;
}

void fadeEnds(Samples& samples, float fadeIn, float fadeOut)
{
    const int n = static_cast<int>(samples.size());
    const int in = std::min(n, secondsToSamples(fadeIn));
    const int out = std::min(n, secondsToSamples(fadeOut));
    for (int i = 0; i < in; ++i)
        samples[static_cast<size_t>(i)] *= 0.5f - 0.5f * std::cos(pi * i / in);
    for (int i = 0; i < out; ++i)
        samples[static_cast<size_t>(n - 1 - i)] *= 0.5f - 0.5f * std::cos(pi * i / out);
}

float loopWave(int i, int count, int cycles, float phase)
{
    float t = static_cast<float>(i) / static_cast<float>(count);
    return 0.5f + 0.5f * std::sin(2.0f * pi * static_cast<float>(cycles) * t + phase);
}
