// The program's own sine, cosine and arc tangent; see trig.h.
//
// Every step is a correctly rounded IEEE operation on doubles or an integer
// operation, so the result has the same bits on every processor and C
// library. A float argument is turned into a double, reduced exactly enough,
// evaluated to about 2^-50 relative error and rounded to float once.
#include "scene/trig.h"

#include <cstdint>
#include <cstring>

#if defined(__FAST_MATH__)
#error "the scene's arithmetic must be plain IEEE: build without -ffast-math"
#endif

namespace {

const double halfPi = 0x1.921fb54442d18p+0;
const double quarterPi = 0x1.921fb54442d18p-1;
const double pi = 0x1.921fb54442d18p+1;
const double threeQuarterPi = 0x1.2d97c7f3321d2p+1;
const double twoOverPi = 0x1.45f306dc9c883p-1;

// pi/2 in two parts: the first has 36 significant bits, so that it times a
// quadrant count below 2^17 is exact; the second is the rest, to 53 bits.
const double halfPiHigh = 0x1.921fb54440000p+0;
const double halfPiLow = 0x1.68c234c4c6629p-39;

// Below this, the two-part pi/2 reduces exactly enough; above it the bits
// of 2/pi do.
const float shortReduction = 131072.0f;

// 2/pi in 32-bit words, highest first, after a word of zeros: word i holds
// the bits 32i - 31 to 32i after the binary point. Enough for the largest
// float's exponent and the 128 bits the reduction takes below it.
const uint32_t twoOverPiBits[] = {
    0x00000000, 0xa2f9836e, 0x4e441529, 0xfc2757d1, 0xf534ddc0,
    0xdb629599, 0x3c439041, 0xfe5163ab, 0xdebbc561, 0xb7246e3a,
};

// pi/2 divided by 2^64: a 64-bit fraction of a quadrant to radians.
const double halfPiPerFraction = 0x1.921fb54442d18p-64;

// atan(k/8) for k = 0 to 8.
const double atanOfEighths[] = {
    0.0,
    0x1.fd5ba9aac2f6ep-4,
    0x1.f5b75f92c80ddp-3,
    0x1.6f61941e4def1p-2,
    0x1.dac670561bb4fp-2,
    0x1.1e00babdefeb4p-1,
    0x1.4978fa3269ee1p-1,
    0x1.700a7c5784634p-1,
    0x1.921fb54442d18p-1,
};

uint32_t floatBits(float x)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

// A float's magnitude as quadrants of pi/2: the count modulo 4 in
// *quadrant and the rest in radians, from -pi/4 to pi/4 (or a hair beyond,
// where x * 2/pi rounds a half the other way). `bits` is the float's,
// without its sign, and finite.
double reduce(uint32_t bits, unsigned* quadrant)
{
    float magnitude = 0.0f;
    std::memcpy(&magnitude, &bits, sizeof magnitude);
    const double x = magnitude;
    if (magnitude < shortReduction) {
        const int n = static_cast<int>(x * twoOverPi + 0.5);
        *quadrant = static_cast<unsigned>(n) & 3u;
        // x and n * halfPiHigh are within a factor of two of each other
        // (or n is 0), so their difference is exact.
        return (x - n * halfPiHigh) - n * halfPiLow;
    }

    // x = m * 2^e with a 24-bit integer m. The bits of 2/pi whose weight
    // times m * 2^e is a multiple of 4 only add whole turns: skip them and
    // take the next 128, starting where a bit times m * 2^e is worth 2m.
    const uint64_t m = (bits & 0x7fffffu) | 0x800000u;
    const int e = static_cast<int>(bits >> 23) - 150;
    const int first = e + 30;  // the first bit's place, counted from word 0's top
    const int word = first / 32;
    const int shift = first % 32;
    uint64_t window[4];
    for (int i = 0; i < 4; i++) {
        const uint32_t high = twoOverPiBits[word + i] << shift;
        const uint32_t low = shift ? twoOverPiBits[word + i + 1] >> (32 - shift) : 0u;
        window[i] = high | low;
    }

    // m times the window, in 32-bit limbs from the lowest; the point of
    // the product (in quadrants) lies below bit 126.
    uint32_t limb[4];
    uint64_t carry = 0;
    for (int i = 3; i >= 0; i--) {
        carry += m * window[i];
        limb[3 - i] = static_cast<uint32_t>(carry);
        carry >>= 32;
    }
    unsigned count = limb[3] >> 30;
    uint64_t fraction =
        (static_cast<uint64_t>(limb[3] & 0x3fffffffu) << 34) | (static_cast<uint64_t>(limb[2]) << 2) | (limb[1] >> 30);
    double rest = 0.0;
    if (fraction >> 63) {
        // Past half a quadrant: count the next one and go back from it.
        count++;
        rest = -static_cast<double>(~fraction + 1u) * halfPiPerFraction;
    } else {
        rest = static_cast<double>(fraction) * halfPiPerFraction;
    }
    *quadrant = count & 3u;
    return rest;
}

// sin r and cos r for |r| up to a little beyond pi/4: their Taylor series
// to r^13 and r^14, whose next terms lie below 2^-45 of the value.
double sinNear(double r)
{
    const double r2 = r * r;
    double sum = 1.0 / 6227020800.0;
    sum = -1.0 / 39916800.0 + r2 * sum;
    sum = 1.0 / 362880.0 + r2 * sum;
    sum = -1.0 / 5040.0 + r2 * sum;
    sum = 1.0 / 120.0 + r2 * sum;
    sum = -1.0 / 6.0 + r2 * sum;
    return r + r * r2 * sum;
}

double cosNear(double r)
{
    const double r2 = r * r;
    double sum = -1.0 / 87178291200.0;
    sum = 1.0 / 479001600.0 + r2 * sum;
    sum = -1.0 / 3628800.0 + r2 * sum;
    sum = 1.0 / 40320.0 + r2 * sum;
    sum = -1.0 / 720.0 + r2 * sum;
    sum = 1.0 / 24.0 + r2 * sum;
    sum = -0.5 + r2 * sum;
    return 1.0 + r2 * sum;
}

// atan t for t from 0 to 1: atan(k/8) of the nearest eighth plus atan of
// the rest, u = (t - k/8) / (1 + t k/8), at most about 1/16 (t - k/8 is
// exact), by its series to u^11.
double atanUnit(double t)
{
    const int k = static_cast<int>(t * 8.0 + 0.5);
    const double c = k / 8.0;
    const double u = (t - c) / (1.0 + t * c);
    const double u2 = u * u;
    double sum = -1.0 / 11.0;
    sum = 1.0 / 9.0 + u2 * sum;
    sum = -1.0 / 7.0 + u2 * sum;
    sum = 1.0 / 5.0 + u2 * sum;
    sum = -1.0 / 3.0 + u2 * sum;
    return atanOfEighths[k] + (u + u * u2 * sum);
}

}  // namespace

float trigSin(float x)
{
    const uint32_t bits = floatBits(x);
    const uint32_t magnitude = bits & 0x7fffffffu;
    if (magnitude >= 0x7f800000u)
        return x - x;  // NaN for infinities and NaN
    unsigned quadrant = 0;
    const double r = reduce(magnitude, &quadrant);
    double value = quadrant & 1u ? cosNear(r) : sinNear(r);
    if (quadrant & 2u)
        value = -value;
    return static_cast<float>(bits >> 31 ? -value : value);
}

float trigCos(float x)
{
    const uint32_t magnitude = floatBits(x) & 0x7fffffffu;
    if (magnitude >= 0x7f800000u)
        return x - x;
    unsigned quadrant = 0;
    const double r = reduce(magnitude, &quadrant);
    double value = quadrant & 1u ? sinNear(r) : cosNear(r);
    if (((quadrant + 1u) & 2u) != 0)
        value = -value;
    return static_cast<float>(value);
}

float trigAtan2(float y, float x)
{
    if (y != y || x != x)
        return x + y;
    const bool yNegative = floatBits(y) >> 31;
    const bool xNegative = floatBits(x) >> 31;
    const double a = y < 0.0f ? -static_cast<double>(y) : static_cast<double>(y);
    const double b = x < 0.0f ? -static_cast<double>(x) : static_cast<double>(x);

    double angle = 0.0;  // the angle of (b, a), from 0 to pi/2
    if (a == b) {
        // Both zero, both infinite, or the diagonal.
        angle = a == 0.0 ? 0.0 : quarterPi;
        if (xNegative)
            angle = a == 0.0 ? pi : threeQuarterPi;
        return static_cast<float>(yNegative ? -angle : angle);
    }
    if (a < b)
        angle = atanUnit(a / b);
    else
        angle = halfPi - atanUnit(b / a);
    if (xNegative)
        angle = pi - angle;
    return static_cast<float>(yNegative ? -angle : angle);
}
