// The program's own sine, cosine and arc tangent against the true values:
// exactly, rounded to float, at the edges (multiples of pi/2, tiny, huge and
// negative arguments, atan2's signs and zeros), and against long double
// over the whole range of floats.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

#include "scene/trig.h"

namespace {

uint32_t bitsOf(float x)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

float floatOf(uint32_t bits)
{
    float x = 0.0f;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

// How far `got` lies from `truth`, in units of the last place a float has
// at the true value (the smallest subnormal's below the normal range).
double ulpError(float got, long double truth)
{
    const long double magnitude = std::fabs(truth);
    long double ulp = std::ldexp(1.0L, -149);
    if (magnitude >= std::ldexp(1.0L, -126)) {
        int exponent = 0;
        std::frexp(magnitude, &exponent);
        ulp = std::ldexp(1.0L, exponent - 24);
    }
    return static_cast<double>(std::fabs(static_cast<long double>(got) - truth) / ulp);
}

// The true values rounded to nearest float (worked out to 400 bits):
// each argument, its sine and its cosine.
struct TrueValues {
    float x, sin, cos;
};
const TrueValues edges[] = {
    {0.0f, 0.0f, 1.0f},
    {-0.0f, -0.0f, 1.0f},
    // The floats below, at and above pi/2, pi, 3pi/2, 2pi, 100 pi/2 and 10^6 pi/2.
    {0x1.921fb4p+0f, 0x1p+0f, 0x1.4442d2p-24f},
    {0x1.921fb6p+0f, 0x1p+0f, -0x1.777a5cp-25f},
    {0x1.921fb8p+0f, 0x1p+0f, -0x1.5dde98p-23f},
    {0x1.921fb4p+1f, 0x1.4442d2p-23f, -0x1p+0f},
    {0x1.921fb6p+1f, -0x1.777a5cp-24f, -0x1p+0f},
    {0x1.921fb8p+1f, -0x1.5dde98p-22f, -0x1p+0f},
    {0x1.2d97c6p+2f, -0x1p+0f, -0x1.f3321ep-22f},
    {0x1.2d97c8p+2f, -0x1p+0f, 0x1.99bc5cp-27f},
    {0x1.2d97cap+2f, -0x1p+0f, 0x1.0666f2p-21f},
    {0x1.921fb4p+2f, -0x1.4442d2p-22f, 0x1p+0f},
    {0x1.921fb6p+2f, 0x1.777a5cp-23f, 0x1p+0f},
    {0x1.921fb8p+2f, 0x1.5dde98p-21f, 0x1p+0f},
    {0x1.3a28c4p+7f, -0x1.9d5434p-17f, 0x1p+0f},
    {0x1.3a28c6p+7f, 0x1.8aaf32p-19f, 0x1p+0f},
    {0x1.3a28c8p+7f, 0x1.3155e6p-16f, 0x1p+0f},
    {0x1.7f7ec4p+20f, -0x1.3a3e28p-4f, 0x1.fe7db2p-1f},
    {0x1.7f7ec6p+20f, 0x1.8abe48p-5f, 0x1.ff67bep-1f},
    {0x1.7f7ec8p+20f, 0x1.60f3fep-3f, 0x1.f856d4p-1f},
    // Tiny, moderate and huge arguments, then negative ones.
    {0x1p-149f, 0x1p-149f, 0x1p+0f},
    {0x1p-126f, 0x1p-126f, 0x1p+0f},
    {0x1p-12f, 0x1p-12f, 0x1p+0f},
    {0x1p-1f, 0x1.eaee88p-2f, 0x1.c1528p-1f},
    {0x1.2a05f2p+33f, -0x1.f334c8p-2f, 0x1.bf098ap-1f},
    {0x1.0f0cfp+73f, -0x1.77d988p-1f, 0x1.5badeep-1f},
    {0x1p+100f, -0x1.be8edap-1f, 0x1.f4eb4p-2f},
    {0x1.96065ep+111f, -0x1.05d262p-1f, -0x1.b7fe1p-1f},
    {0x1.fffffep+127f, -0x1.0b3366p-1f, 0x1.b4bf2cp-1f},
    {-0x1.921fb6p+1f, 0x1.777a5cp-24f, -0x1p+0f},
    {-0x1p-1f, -0x1.eaee88p-2f, 0x1.c1528p-1f},
    {-0x1p-149f, -0x1p-149f, 0x1p+0f},
    {-0x1.0f0cfp+73f, 0x1.77d988p-1f, 0x1.5badeep-1f},
};

// Whether the C library's long double sine reduces huge arguments exactly:
// MinGW's does not (it is the x87's), glibc's does.
bool libraryReducesHugeArguments()
{
    // Asked at run time: the compiler would fold a constant argument itself.
    volatile float largest = std::numeric_limits<float>::max();
    return static_cast<float>(std::sin(static_cast<long double>(largest))) == -0x1.0b3366p-1f;
}

}  // namespace

TEST(Trig, SinAndCosAreTheTrueValuesRoundedAtTheEdges)
{
    for (const TrueValues& e : edges) {
        EXPECT_EQ(bitsOf(trigSin(e.x)), bitsOf(e.sin)) << std::hexfloat << "sin " << e.x << ": " << trigSin(e.x);
        EXPECT_EQ(bitsOf(trigCos(e.x)), bitsOf(e.cos)) << std::hexfloat << "cos " << e.x << ": " << trigCos(e.x);
    }
    for (float x : {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_TRUE(std::isnan(trigSin(x)) && std::isnan(trigCos(x))) << x;
    }
}

// Every 4099th bit pattern, both signs, all finite floats from the smallest
// subnormal to the largest: about a million arguments.
TEST(Trig, SinAndCosStayWithinHalfAnUlpOverTheWholeRange)
{
    const bool huge = libraryReducesHugeArguments();
    double worstSin = 0.0, worstCos = 0.0;
    float whereSin = 0.0f, whereCos = 0.0f;
    long tested = 0;
    for (uint64_t bits = 1; bits < 0x100000000u; bits += 4099) {
        const float x = floatOf(static_cast<uint32_t>(bits));
        if (!std::isfinite(x) || (!huge && std::fabs(x) > 0x1p20f))
            continue;
        const long double wide = x;
        const double s = ulpError(trigSin(x), std::sin(wide));
        const double c = ulpError(trigCos(x), std::cos(wide));
        if (s > worstSin)
            worstSin = s, whereSin = x;
        if (c > worstCos)
            worstCos = c, whereCos = x;
        tested++;
    }
    std::printf("sin: at most %.4f ulp (at %a), cos: at most %.4f ulp (at %a), over %ld arguments%s\n", worstSin,
                static_cast<double>(whereSin), worstCos, static_cast<double>(whereCos), tested,
                huge ? "" : " up to 2^20 (this C library's long double loses huge arguments)");
    EXPECT_GT(tested, 500000);
    EXPECT_LT(worstSin, 0.501) << std::hexfloat << whereSin;
    EXPECT_LT(worstCos, 0.501) << std::hexfloat << whereCos;
}

TEST(Trig, Atan2KeepsTheSignsOfZerosAndInfinities)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float pi = 0x1.921fb6p+1f, halfPi = 0x1.921fb6p+0f, quarterPi = 0x1.921fb6p-1f;
    const float threeQuarterPi = 0x1.2d97c8p+1f;
    // y, x, atan2(y, x) as C gives it, and the nearest floats to the true angles.
    const float cases[][3] = {
        {0.0f, 1.0f, 0.0f},
        {-0.0f, 1.0f, -0.0f},
        {0.0f, 0.0f, 0.0f},
        {-0.0f, 0.0f, -0.0f},
        {0.0f, -0.0f, pi},
        {-0.0f, -0.0f, -pi},
        {0.0f, -1.0f, pi},
        {-0.0f, -1.0f, -pi},
        {1.0f, 0.0f, halfPi},
        {1.0f, -0.0f, halfPi},
        {-1.0f, 0.0f, -halfPi},
        {inf, 1.0f, halfPi},
        {-inf, -1.0f, -halfPi},
        {1.0f, inf, 0.0f},
        {-1.0f, inf, -0.0f},
        {1.0f, -inf, pi},
        {-1.0f, -inf, -pi},
        {inf, inf, quarterPi},
        {-inf, inf, -quarterPi},
        {inf, -inf, threeQuarterPi},
        {-inf, -inf, -threeQuarterPi},
        {1.0f, 1.0f, quarterPi},
        {-2.0f, -2.0f, -threeQuarterPi},
        {0x1p-149f, 0x1.fffffep+127f, 0.0f},    // underflows to +0
        {-0x1p-149f, 0x1.fffffep+127f, -0.0f},  // and to -0
        {1.0f, -0x1p-149f, halfPi},             // a hair past pi/2 is still its nearest float
        {0x1p-149f, -1.0f, pi},
        {0x1p-100f, 1.0f, 0x1p-100f},
        {1.0f, 3.0f, 0x1.4978fap-2f},
        {-3.0f, 1.0f, -0x1.3fc176p+0f},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bitsOf(trigAtan2(c[0], c[1])), bitsOf(c[2]))
            << std::hexfloat << "atan2(" << c[0] << ", " << c[1] << ") = " << trigAtan2(c[0], c[1]);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(std::isnan(trigAtan2(nan, 1.0f)) && std::isnan(trigAtan2(1.0f, nan)));
}

// A million points in every direction: random bit patterns, and half of
// them with both coordinates of about the same size, so that every angle
// comes up, not only those near the axes.
TEST(Trig, Atan2StaysWithinHalfAnUlpOverTheWholeRange)
{
    uint64_t state = 88172645463325252u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<uint32_t>(state >> 16);
    };
    double worst = 0.0;
    float whereY = 0.0f, whereX = 0.0f;
    for (int i = 0; i < 1000000; i++) {
        const uint32_t yBits = next();
        uint32_t xBits = next();
        if (i % 2)  // within 2^25 bit patterns of y's, of any sign
            xBits = (((yBits & 0x7fffffffu) + (next() & 0x1ffffffu) - 0x1000000u) & 0x7fffffffu) | (xBits << 31);
        const float y = floatOf(yBits), x = floatOf(xBits);
        if (std::isnan(x) || std::isnan(y))
            continue;
        const double e =
            ulpError(trigAtan2(y, x), std::atan2(static_cast<long double>(y), static_cast<long double>(x)));
        if (e > worst)
            worst = e, whereY = y, whereX = x;
    }
    std::printf("atan2: at most %.4f ulp (at %a, %a)\n", worst, static_cast<double>(whereY),
                static_cast<double>(whereX));
    EXPECT_LT(worst, 0.501) << std::hexfloat << whereY << ", " << whereX;
}
