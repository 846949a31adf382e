// The content generator's own random numbers and value noise.
//
// Nothing here reads the clock or the C library's generator: every picture
// and sound comes out the same on every run and every machine.
#include <cmath>

#include "tools/content/content.h"

uint64_t Rng::next()
{
    state += 0x9E3779B97F4A7C15ull;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

float Rng::uniform()
{
    return static_cast<float>(next() >> 40) * (1.0f / 16777216.0f);
}

float Rng::range(float lo, float hi)
{
    return lo + (hi - lo) * uniform();
}

float Rng::gauss()
{
    // The sum of four uniforms, centred and scaled to unit variance.
    float s = uniform() + uniform() + uniform() + uniform();
    return (s - 2.0f) * 1.7320508f;
}

static uint32_t hashLattice(int x, int y, uint32_t seed)
{
    uint32_t h = seed * 0x27D4EB2Du;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA6Bu;
    h = (h ^ (h >> 15)) * 0xC2B2AE35u;
    h ^= static_cast<uint32_t>(y) * 0x165667B1u;
    h = (h ^ (h >> 13)) * 0x9E3779B1u;
    return h ^ (h >> 16);
}

static float latticeValue(int x, int y, uint32_t seed, int period)
{
    if (period > 0) {
        x = ((x % period) + period) % period;
        y = ((y % period) + period) % period;
    }
    return static_cast<float>(hashLattice(x, y, seed) & 0xFFFFu) * (2.0f / 65535.0f) - 1.0f;
}

static float fade(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

float valueNoise(float x, float y, uint32_t seed, int period)
{
    float fx = std::floor(x);
    float fy = std::floor(y);
    int ix = static_cast<int>(fx);
    int iy = static_cast<int>(fy);
    float tx = fade(x - fx);
    float ty = fade(y - fy);
    float a = latticeValue(ix, iy, seed, period);
    float b = latticeValue(ix + 1, iy, seed, period);
    float c = latticeValue(ix, iy + 1, seed, period);
    float d = latticeValue(ix + 1, iy + 1, seed, period);
    return lerp(lerp(a, b, tx), lerp(c, d, tx), ty);
}

float fractalNoise(float x, float y, uint32_t seed, int octaves, int period)
{
    float sum = 0.0f;
    float amplitude = 0.5f;
    float norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * valueNoise(x, y, seed + static_cast<uint32_t>(o) * 1013u, period);
        norm += amplitude;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
        amplitude *= 0.5f;
    }
    return sum / norm;
}

float clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

float smoothstep(float edge0, float edge1, float v)
{
    float t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

float lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}
