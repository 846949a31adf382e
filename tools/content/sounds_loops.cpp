// The looping sounds: SEA.WAV, WIND.WAV, BURN.WAV and QUAKE.WAV.
//
// Each is built around its loop: the noise and the events wrap, the
// modulations complete whole cycles, and the filters run over the loop
// twice (filterCircular), so the sound plays on across the loop point
// without a click or a change of level.
#include <cmath>

#include "tools/content/dsp.h"

namespace {

// Signed distance in seconds from sample i to sample `centre` around a loop
// of n samples, in [-n/2, n/2).
float loopDistance(int i, int centre, int n)
{
    int d = ((i - centre) % n + n) % n;
    if (d >= n / 2)
        d -= n;
    return static_cast<float>(d) / SOUND_RATE;
}

// Surf on a beach: three waves of different strength per loop. Each swells
// for about a second, breaks, and washes out over a few seconds; the surf's
// brightness follows the wave, over a steady low roar of the sea.
Samples makeSea()
{
    const int n = secondsToSamples(12.0f);
    Rng rng(0x5EA0u);
    const struct {
        float at, strength;
    } waves[] = {{1.0f, 1.0f}, {5.1f, 0.7f}, {8.6f, 0.85f}};
    Samples envelope(static_cast<size_t>(n));
    Samples wash(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        float e = 0.12f;
        float w = 0.0f;
        for (const auto& wave : waves) {
            float dt = loopDistance(i, secondsToSamples(wave.at), n);
            e += wave.strength * (dt < 0.0f ? std::exp(-(dt / 0.7f) * (dt / 0.7f)) : std::exp(-dt / 1.7f));
            if (dt > 0.0f)
                w += wave.strength * std::exp(-dt / 0.9f) * (1.0f - std::exp(-dt / 0.15f));
        }
        envelope[static_cast<size_t>(i)] = e;
        wash[static_cast<size_t>(i)] = w;
    }
    Samples noise = whiteNoise(n, rng);
    StateVariableFilter surf, fizz, roar;
    OnePole smooth;
    return filterCircular(noise, [&](int i, float x) {
        float e = envelope[static_cast<size_t>(i)];
        float cutoff = 350.0f + 2400.0f * smooth.step(e, 8.0f);
        float body = surf.step(x, cutoff, 1.2f, StateVariableFilter::LOW) * (0.25f + e);
        float foam = fizz.step(x, 3500.0f, 1.0f, StateVariableFilter::HIGH) * 0.12f * wash[static_cast<size_t>(i)];
        float low = roar.step(x, 110.0f, 0.9f, StateVariableFilter::LOW) * (1.2f + 0.8f * e);
        return body + foam + low;
    });
}

// Wind: a hollow whistle whose pitch and strength rise and fall in gusts,
// over a broad low rush of air.
Samples makeWind()
{
    const int n = secondsToSamples(10.0f);
    Rng rng(0x3170u);
    Samples noise = whiteNoise(n, rng);
    StateVariableFilter whistle, overtone, rush;
    return filterCircular(noise, [&](int i, float x) {
        float slow = 0.6f * loopWave(i, n, 1, 0.0f) + 0.4f * loopWave(i, n, 3, 1.3f);
        float flutter = 0.5f * loopWave(i, n, 23, 0.7f) + 0.5f * loopWave(i, n, 37, 2.1f);
        float gust = 0.3f + 0.7f * std::pow(0.5f * loopWave(i, n, 2, 0.4f) + 0.5f * loopWave(i, n, 5, 2.0f), 1.5f);
        float pitch = 320.0f + 480.0f * slow + 40.0f * flutter;
        float tone = whistle.step(x, pitch, 0.12f, StateVariableFilter::BAND) * 0.6f;
        float upper = overtone.step(x, pitch * 2.3f, 0.2f, StateVariableFilter::BAND) * 0.25f;
        float air = rush.step(x, 500.0f + 400.0f * gust, 1.4f, StateVariableFilter::LOW) * 0.7f;
        return gust * (tone + upper) + (0.4f + 0.6f * gust) * air;
    });
}

// Fire: a low, fluttering roar with crackles (sharp, bright clicks) and a
// few deeper pops scattered over the loop.
Samples makeBurn()
{
    const int n = secondsToSamples(4.0f);
    Rng rng(0xB0B0u);
    Samples roarInput = whiteNoise(n, rng);
    Samples crackles(static_cast<size_t>(n), 0.0f);
    for (int k = 0; k < 90; ++k) {
        float strength = rng.uniform();
        Samples click = noiseBurst(rng, 0.0f, rng.range(0.0008f, 0.004f), 0.02f);
        addEvent(crackles, click, static_cast<int>(rng.uniform() * n), 0.3f + 1.4f * strength * strength, true);
    }
    Samples pops(static_cast<size_t>(n), 0.0f);
    for (int k = 0; k < 9; ++k) {
        Samples pop = noiseBurst(rng, 0.001f, rng.range(0.01f, 0.03f), 0.12f);
        addEvent(pops, pop, static_cast<int>(rng.uniform() * n), rng.range(0.6f, 1.0f), true);
    }
    StateVariableFilter roar, crackleFilter, popFilter, hiss;
    return filterCircular(roarInput, [&](int i, float x) {
        float flutter = 0.5f * loopWave(i, n, 9, 0.0f) + 0.5f * loopWave(i, n, 14, 1.0f);
        float body = roar.step(x, 260.0f + 120.0f * flutter, 0.9f, StateVariableFilter::LOW) * (0.8f + 0.5f * flutter);
        float crack = crackleFilter.step(crackles[static_cast<size_t>(i)], 1800.0f, 0.8f, StateVariableFilter::HIGH);
        float pop = popFilter.step(pops[static_cast<size_t>(i)], 500.0f, 0.5f, StateVariableFilter::BAND);
        float air = hiss.step(x, 4000.0f, 1.0f, StateVariableFilter::HIGH) * 0.04f;
        return 1.6f * body + 0.5f * crack + 0.9f * pop + air;
    });
}

// Earthquake: a deep, surging rumble with grinding gravel and the
// occasional crack and thump of moving rock.
Samples makeQuake()
{
    const int n = secondsToSamples(6.0f);
    Rng rng(0x0EA7u);
    Samples noise = whiteNoise(n, rng);
    Samples cracks(static_cast<size_t>(n), 0.0f);
    const float crackTimes[] = {0.7f, 2.2f, 2.9f, 4.4f, 5.5f};
    for (float at : crackTimes) {
        Samples crack = noiseBurst(rng, 0.004f, rng.range(0.08f, 0.2f), 0.8f);
        addEvent(cracks, crack, secondsToSamples(at), rng.range(0.6f, 1.0f), true);
    }
    StateVariableFilter deep, mid, gravel, crackFilter;
    return filterCircular(noise, [&](int i, float x) {
        float surge = 0.55f + 0.45f * (0.6f * loopWave(i, n, 3, 0.0f) + 0.4f * loopWave(i, n, 7, 1.0f));
        float rumble = deep.step(x, 45.0f, 0.7f, StateVariableFilter::LOW) * 2.5f +
                       mid.step(x, 180.0f, 1.0f, StateVariableFilter::LOW) * 1.2f;
        float grind =
            gravel.step(x, 420.0f, 1.3f, StateVariableFilter::BAND) * 0.3f * (0.3f + 0.7f * loopWave(i, n, 11, 0.5f));
        float crack = crackFilter.step(cracks[static_cast<size_t>(i)], 220.0f, 0.8f, StateVariableFilter::LOW) * 1.3f;
        return surge * (rumble + grind) + crack;
    });
}

}  // namespace

bool makeLoopingSounds(const std::string& folder)
{
    bool ok = writeWav(folder + "SEA.WAV", makeSea(), 0.8f);
    ok = writeWav(folder + "WIND.WAV", makeWind(), 0.8f) && ok;
    ok = writeWav(folder + "BURN.WAV", makeBurn(), 0.8f) && ok;
    ok = writeWav(folder + "QUAKE.WAV", makeQuake(), 0.85f) && ok;
    return ok;
}
