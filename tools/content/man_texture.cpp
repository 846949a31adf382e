// MAN.BMP: the character's clothes, skin and face in one picture.
//
// The character is drawn unlit, so each part's picture carries its own
// soft shading: upright parts are lighter at the front than at the back,
// arms and feet lighter on top. He wears a red check shirt with a collar
// and buttons, blue trousers and brown shoes, and has brown hair and a
// face that can be read while he is large during the introduction.
#include <cmath>

#include "tools/content/man.h"

namespace {

const float twoPi = 6.2831853f;

const Colour skinTone{0.94f, 0.74f, 0.60f};
const Colour hairColour{0.32f, 0.19f, 0.09f};
const Colour shirtColour{0.80f, 0.17f, 0.14f};
const Colour shirtDark{0.52f, 0.09f, 0.09f};
const Colour denim{0.22f, 0.33f, 0.58f};
const Colour leather{0.36f, 0.21f, 0.11f};

// Front-lit shading of an upright part: u = 0 is its back, 0.5 its front.
float uprightShade(float u)
{
    return 0.74f + 0.26f * (0.5f - 0.5f * std::cos(twoPi * u));
}

// Top-lit shading of an arm or a foot: u = 0 is its top.
float topShade(float u)
{
    return 0.74f + 0.26f * (0.5f + 0.5f * std::cos(twoPi * u));
}

float ellipse(float u, float v, float cu, float cv, float ru, float rv)
{
    float du = (u - cu) / ru;
    float dv = (v - cv) / rv;
    return du * du + dv * dv;
}

Colour paintHead(float u, float v)
{
    // Hair over the crown, down to the nape at the back and to the ears at
    // the sides; the face at the front (u = 0.5).
    float back = 0.5f + 0.5f * std::cos(twoPi * u);  // 1 at the back, 0 at the front
    float hairLine = 0.24f + 0.5f * back * back + 0.03f * valueNoise(u * 24.0f, 1.0f, 81u, 24);
    Colour c = skinTone;
    for (float eu : {0.444f, 0.556f}) {
        if (ellipse(u, v, eu, 0.47f, 0.026f, 0.045f) < 1.0f)
            c = Colour{0.97f, 0.97f, 0.95f};
        if (ellipse(u, v, eu, 0.475f, 0.012f, 0.03f) < 1.0f)
            c = Colour{0.18f, 0.30f, 0.45f};
        if (ellipse(u, v, eu, 0.385f, 0.03f, 0.012f) < 1.0f)
            c = hairColour;  // eyebrows
    }
    for (float eu : {0.25f, 0.75f})
        if (ellipse(u, v, eu, 0.52f, 0.03f, 0.09f) < 1.0f)
            c = scaled(skinTone, 0.85f);  // ears
    if (std::fabs(u - 0.5f) < 0.012f && v > 0.5f && v < 0.64f)
        c = scaled(skinTone, 0.88f);  // nose ridge shade
    if (ellipse(u, v, 0.5f, 0.76f, 0.04f, 0.014f) < 1.0f)
        c = Colour{0.72f, 0.33f, 0.30f};  // mouth
    if (v < hairLine)
        c = scaled(hairColour, 0.9f + 0.2f * valueNoise(u * 64.0f, v * 8.0f, 82u, 64));
    return scaled(c, uprightShade(u) * (1.0f - 0.15f * smoothstep(0.85f, 1.0f, v)));
}

// Red check flannel, continued by the sleeves.
Colour flannel(float u, float v, float uRepeat, float vRepeat)
{
    float a = std::fabs(std::sin(3.14159265f * u * uRepeat));
    float b = std::fabs(std::sin(3.14159265f * v * vRepeat));
    float check = (a < 0.3f ? 0.5f : 0.0f) + (b < 0.3f ? 0.5f : 0.0f);
    return mix(shirtColour, shirtDark, check);
}

Colour paintShirt(float u, float v)
{
    Colour c = flannel(u, v, 8.0f, 5.0f);
    float fromFront = std::fabs(u - 0.5f);
    // An open collar: a V of skin at the front of the neck, edged in white.
    float vee = 0.16f * (1.0f - fromFront / 0.08f);
    if (fromFront < 0.08f && v < vee)
        c = skinTone;
    else if (fromFront < 0.095f && v < vee + 0.04f)
        c = Colour{0.95f, 0.93f, 0.88f};
    if (v < 0.05f)
        c = Colour{0.95f, 0.93f, 0.88f};  // the collar round the neck
    for (float bv : {0.3f, 0.5f, 0.7f, 0.88f})
        if (ellipse(u, v, 0.5f, bv, 0.008f, 0.018f) < 1.0f)
            c = Colour{0.95f, 0.93f, 0.85f};
    return scaled(c, uprightShade(u));
}

Colour paintSleeve(float u, float v)
{
    Colour c = flannel(u, v, 6.0f, 3.0f);
    if (v > 0.86f)
        c = scaled(shirtColour, 1.1f);  // the rolled cuff
    return scaled(c, topShade(u));
}

Colour paintSkin(float u, float v)
{
    return scaled(skinTone, topShade(u) * (0.97f + 0.03f * std::cos(twoPi * v)));
}

Colour paintTrousers(float u, float v)
{
    float weave = 0.93f + 0.07f * valueNoise(u * 128.0f, v * 64.0f, 91u, 128);
    Colour c = scaled(denim, weave);
    if (std::fabs(u - 0.25f) < 0.008f || std::fabs(u - 0.75f) < 0.008f)
        c = scaled(denim, 1.25f);  // seams
    return scaled(c, uprightShade(u));
}

Colour paintShoes(float u, float v)
{
    Colour c = leather;
    float fromBottom = std::fabs(u - 0.5f);
    if (fromBottom < 0.17f)
        c = Colour{0.12f, 0.10f, 0.09f};  // sole
    bool laces = (u < 0.06f || u > 0.94f) && v > 0.35f && v < 0.7f && std::fmod(v * 40.0f, 2.0f) < 1.0f;
    if (laces)
        c = Colour{0.85f, 0.80f, 0.70f};
    return scaled(c, topShade(u));
}

void paintRegion(Image& image, const AtlasRegion& r, Colour (*paint)(float, float))
{
    for (int y = r.y; y < r.y + r.h; ++y) {
        for (int x = r.x; x < r.x + r.w; ++x) {
            // The inverse of the model's mapping, which keeps 2 texels clear
            // of each edge; the margins repeat the edge colours.
            float u = clamp01((static_cast<float>(x - r.x) + 0.5f - 2.0f) / static_cast<float>(r.w - 4));
            float v = clamp01((static_cast<float>(y - r.y) + 0.5f - 2.0f) / static_cast<float>(r.h - 4));
            image.at(x, y) = paint(u, v);
        }
    }
}

}  // namespace

Image paintManTexture()
{
    Image image(MAN_TEXTURE_SIZE, MAN_TEXTURE_SIZE);
    // The unused lower part matches the trousers, the colour most parts
    // border on when mip-maps blur the picture.
    image.fillRect(0, 0, MAN_TEXTURE_SIZE, MAN_TEXTURE_SIZE, scaled(denim, 0.85f));
    paintRegion(image, manHead, paintHead);
    paintRegion(image, manShirt, paintShirt);
    paintRegion(image, manSleeve, paintSleeve);
    paintRegion(image, manSkin, paintSkin);
    paintRegion(image, manTrousers, paintTrousers);
    paintRegion(image, manShoes, paintShoes);
    return image;
}
