// The effects' bitmaps: SMOKE.BMP, LIGHT.BMP, FLARE.BMP and Water.bmp.
//
// Smoke, bolt and flare are drawn additively, so they are soft bright
// shapes that fade to pure black well inside their edges (the quads'
// outlines never show). The water is a tiling sea surface, drawn four times
// at alpha 0.4 over the land. All four are loaded without mip-maps except
// the flare, and all have power-of-two sizes.
#include <cmath>

#include "tools/content/content.h"

namespace {

// A fire puff: a billowing ball, brightest in its middle. The fire's colour
// ramp tints it from white-hot to dark red.
Image paintSmoke()
{
    const int size = 128;
    Image image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float px = (static_cast<float>(x) + 0.5f) / size * 2.0f - 1.0f;
            float py = (static_cast<float>(y) + 0.5f) / size * 2.0f - 1.0f;
            float angle = std::atan2(py, px);
            // The outline wobbles with the angle; the inside billows around
            // a full, bright heart.
            float edge = 0.86f + 0.07f * valueNoise(std::cos(angle) * 2.0f + 3.0f, std::sin(angle) * 2.0f + 3.0f, 21u);
            float r = std::sqrt(px * px + py * py) / edge;
            float body = 1.0f - smoothstep(0.3f, 1.0f, r);
            float billow = 0.75f + 0.25f * fractalNoise(px * 3.0f + 8.0f, py * 3.0f + 8.0f, 22u, 4);
            float v = clamp01(body * billow * 1.2f);
            image.at(x, y) = Colour{v, v * 0.97f, v * 0.93f};
        }
    }
    return image;
}

// The bolt: a white-hot core along the middle of u with a blue-violet glow
// either side, the same along v so that consecutive segments join without a
// seam.
Image paintLightning()
{
    const int size = 64;
    Image image(size, size);
    for (int x = 0; x < size; ++x) {
        float u = (static_cast<float>(x) + 0.5f) / size - 0.5f;
        float core = std::exp(-(u / 0.07f) * (u / 0.07f));
        float glow = 0.55f * std::exp(-(u / 0.2f) * (u / 0.2f));
        float fadeOut = 1.0f - smoothstep(0.38f, 0.5f, std::fabs(u));
        Colour c{clamp01((core + 0.55f * glow) * fadeOut), clamp01((core + 0.7f * glow) * fadeOut),
                 clamp01((core + glow) * fadeOut)};
        for (int y = 0; y < size; ++y)
            image.at(x, y) = c;
    }
    return image;
}

// A tornado particle: a soft, dusty glow with a brighter heart.
Image paintFlare()
{
    const int size = 64;
    Image image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float px = (static_cast<float>(x) + 0.5f) / size * 2.0f - 1.0f;
            float py = (static_cast<float>(y) + 0.5f) / size * 2.0f - 1.0f;
            float r = std::sqrt(px * px + py * py);
            float halo = r < 0.92f ? std::pow(1.0f - r / 0.92f, 1.5f) : 0.0f;
            float heart = std::exp(-(r / 0.2f) * (r / 0.2f));
            float dust = 0.8f + 0.2f * fractalNoise(px * 4.0f + 5.0f, py * 4.0f + 5.0f, 31u, 3);
            float v = clamp01((0.75f * halo * dust + 0.35f * heart));
            image.at(x, y) = Colour{v * 0.92f, v * 0.88f, v * 0.8f};
        }
    }
    return image;
}

// The sea surface: deep turquoise, mottled by the swell, with soft, broken
// streaks of foam along the wave crests (the waves roll along x, which is
// u) and a few glints. Every noise layer wraps with the picture, so it
// tiles in both directions.
Image paintWater()
{
    const int size = 128;
    const Colour deep{0.09f, 0.33f, 0.52f};
    const Colour light{0.20f, 0.50f, 0.66f};
    const Colour foam{0.70f, 0.86f, 0.92f};
    Image image(size, size);
    Rng rng(0x3A7Eu);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float u = static_cast<float>(x) / size;
            float v = static_cast<float>(y) / size;
            float swell = fractalNoise(u * 4.0f, v * 4.0f, 42u, 4, 4);
            Colour c = mix(deep, light, clamp01(0.5f + 0.9f * swell));
            // Crest streaks: thin ridges of a noise field stretched across v,
            // shown only where a second noise lets them through.
            float ridge = 1.0f - std::fabs(fractalNoise(u * 8.0f, v * 2.0f, 41u, 2, 8));
            float broken = smoothstep(-0.1f, 0.35f, fractalNoise(u * 8.0f, v * 8.0f, 43u, 2, 8));
            c = mix(c, foam, 0.22f * smoothstep(0.88f, 0.98f, ridge) * broken);
            if (rng.uniform() > 0.997f && ridge > 0.8f)
                c = mix(c, Colour{0.95f, 0.98f, 1.0f}, 0.6f);
            image.at(x, y) = c;
        }
    }
    return image;
}

}  // namespace

bool makeEffectBitmaps(const std::string& folder)
{
    bool ok = writeBmp(folder + "SMOKE.BMP", paintSmoke());
    ok = writeBmp(folder + "LIGHT.BMP", paintLightning()) && ok;
    ok = writeBmp(folder + "FLARE.BMP", paintFlare()) && ok;
    ok = writeBmp(folder + "Water.bmp", paintWater()) && ok;
    return ok;
}
