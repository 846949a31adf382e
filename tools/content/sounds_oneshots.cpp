// The one-shot sounds: HISS.WAV, SPLASH.WAV, Thud.WAV and THUNDER.WAV.
//
// Each starts from silence within a few milliseconds and fades to exact
// silence at its end, so neither its start nor its end clicks.
#include <cmath>

#include "tools/content/dsp.h"

namespace {

const float pi = 3.14159265f;

// A short sine tone sliding from `from` to `to` Hz under an exponential
// decay: a water droplet or a bubble.
Samples blip(float from, float to, float decay, float length)
{
    Samples s(static_cast<size_t>(secondsToSamples(length)));
    float phase = 0.0f;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = static_cast<float>(i) / SOUND_RATE;
        float f = from + (to - from) * std::fmin(1.0f, t / length);
        phase += 2.0f * pi * f / SOUND_RATE;
        s[i] = std::sin(phase) * std::exp(-t / decay) * std::fmin(1.0f, t / 0.002f);
    }
    fadeEnds(s, 0.0f, 0.005f);
    return s;
}

// Steam: a burst of bright hiss that swells at once and dies away over two
// seconds, with bubbles bursting in the water underneath.
Samples makeHiss()
{
    const int n = secondsToSamples(2.2f);
    Rng rng(0x4155u);
    Samples noise = whiteNoise(n, rng);
    Samples bubbles(static_cast<size_t>(n), 0.0f);
    for (int k = 0; k < 24; ++k) {
        float f = rng.range(250.0f, 700.0f);
        addEvent(bubbles, blip(f, f * 1.6f, 0.02f, 0.05f), secondsToSamples(rng.range(0.02f, 1.2f)),
                 rng.range(0.2f, 0.5f), false);
    }
    StateVariableFilter steam, body;
    Samples out = filterOnce(noise, [&](int i, float x) {
        float t = static_cast<float>(i) / SOUND_RATE;
        float env = std::fmin(1.0f, t / 0.04f) * (0.65f * std::exp(-t / 0.5f) + 0.35f * std::exp(-t / 1.1f));
        float bright = steam.step(x, 5200.0f - 1800.0f * std::fmin(1.0f, t / 2.0f), 0.9f, StateVariableFilter::BAND);
        float breath = body.step(x, 1500.0f, 1.2f, StateVariableFilter::HIGH) * 0.4f;
        return env * (bright + breath) + bubbles[static_cast<size_t>(i)] * std::exp(-t / 0.6f);
    });
    fadeEnds(out, 0.003f, 0.25f);
    return out;
}

// A body hitting water: a broad slap, spray falling back, and droplets.
Samples makeSplash()
{
    const int n = secondsToSamples(1.6f);
    Rng rng(0x5B1Au);
    Samples noise = whiteNoise(n, rng);
    Samples drops(static_cast<size_t>(n), 0.0f);
    for (int k = 0; k < 26; ++k) {
        float f = rng.range(600.0f, 1400.0f);
        addEvent(drops, blip(f, f * 1.8f, 0.012f, 0.04f), secondsToSamples(rng.range(0.15f, 1.3f)),
                 rng.range(0.1f, 0.35f), false);
    }
    StateVariableFilter slap, spray, thump;
    Samples out = filterOnce(noise, [&](int i, float x) {
        float t = static_cast<float>(i) / SOUND_RATE;
        float hit = std::fmin(1.0f, t / 0.006f) * std::exp(-t / 0.12f);
        float fall = std::fmin(1.0f, t / 0.08f) * std::exp(-t / 0.45f);
        float a = slap.step(x, 1600.0f - 900.0f * std::fmin(1.0f, t / 0.3f), 0.7f, StateVariableFilter::BAND) * hit;
        float b = spray.step(x, 3000.0f, 1.0f, StateVariableFilter::HIGH) * 0.35f * fall;
        float c = thump.step(x, 180.0f, 0.8f, StateVariableFilter::LOW) * 2.5f * hit;
        return a + b + c + drops[static_cast<size_t>(i)];
    });
    fadeEnds(out, 0.002f, 0.1f);
    return out;
}

// A body landing on the ground: a low, dull blow with a short knock.
Samples makeThud()
{
    const int n = secondsToSamples(0.7f);
    Rng rng(0x7D0Du);
    Samples noise = whiteNoise(n, rng);
    float phase = 0.0f;
    StateVariableFilter dull, knock;
    Samples out = filterOnce(noise, [&](int i, float x) {
        float t = static_cast<float>(i) / SOUND_RATE;
        float f = 45.0f + 35.0f * std::exp(-t / 0.05f);
        phase += 2.0f * pi * f / SOUND_RATE;
        float body = std::sin(phase) * std::exp(-t / 0.14f);
        float earth = dull.step(x, 300.0f, 0.9f, StateVariableFilter::LOW) * 3.0f * std::exp(-t / 0.06f);
        float crack = knock.step(x, 900.0f, 1.0f, StateVariableFilter::BAND) * 0.6f * std::exp(-t / 0.015f);
        return std::fmin(1.0f, t / 0.002f) * (body + earth + crack);
    });
    fadeEnds(out, 0.0f, 0.1f);
    return out;
}

// Thunder close by: a sharp crack, a second tearing crack, then a long
// rolling rumble that swells and fades over five seconds.
Samples makeThunder()
{
    const int n = secondsToSamples(5.5f);
    Rng rng(0x7B0Bu);
    Samples noise = whiteNoise(n, rng);
    Samples cracks(static_cast<size_t>(n), 0.0f);
    addEvent(cracks, noiseBurst(rng, 0.001f, 0.06f, 0.4f), 0, 1.0f, false);
    addEvent(cracks, noiseBurst(rng, 0.004f, 0.09f, 0.5f), secondsToSamples(0.13f), 0.7f, false);
    addEvent(cracks, noiseBurst(rng, 0.01f, 0.12f, 0.6f), secondsToSamples(0.42f), 0.45f, false);
    // The rumble rolls: a few swells at uneven times over a long decay.
    const struct {
        float at, width, strength;
    } rolls[] = {{0.35f, 0.5f, 1.0f}, {1.2f, 0.6f, 0.8f}, {2.1f, 0.8f, 0.65f}, {3.2f, 0.9f, 0.4f}};
    StateVariableFilter crackFilter, deep, growl;
    Samples out = filterOnce(noise, [&](int i, float x) {
        float t = static_cast<float>(i) / SOUND_RATE;
        float roll = 0.0f;
        for (const auto& r : rolls)
            roll += r.strength * std::exp(-((t - r.at) / r.width) * ((t - r.at) / r.width));
        roll *= std::fmin(1.0f, t / 0.15f) * std::exp(-t / 2.2f);
        float crack = crackFilter.step(cracks[static_cast<size_t>(i)], 2500.0f, 0.6f, StateVariableFilter::LOW);
        float rumble = deep.step(x, 70.0f + 80.0f * roll, 0.8f, StateVariableFilter::LOW) * 4.0f +
                       growl.step(x, 260.0f, 1.1f, StateVariableFilter::LOW) * 0.8f;
        return 0.9f * crack + roll * rumble;
    });
    fadeEnds(out, 0.001f, 0.6f);
    return out;
}

}  // namespace

bool makeOneShotSounds(const std::string& folder)
{
    bool ok = writeWav(folder + "HISS.WAV", makeHiss(), 0.85f);
    ok = writeWav(folder + "SPLASH.WAV", makeSplash(), 0.89f) && ok;
    ok = writeWav(folder + "Thud.WAV", makeThud(), 0.89f) && ok;
    ok = writeWav(folder + "THUNDER.WAV", makeThunder(), 0.89f) && ok;
    return ok;
}
