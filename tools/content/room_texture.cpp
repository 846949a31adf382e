// The room's bitmaps: FLOOR.BMP, WALL.BMP, WOOD.BMP and CLOTH.BMP.
//
// The room is lit by the scene's spot light, which leaves most of it in its
// ambient light, so the pictures are kept light and contrasty: honey
// planks, cream plaster over a dark wainscot, warm wood, and a bright
// patchwork for the blanket, the pillow and the rug. Each tiles with its
// own size; all are powers of two and loaded with mip-maps.
#include <cmath>

#include "tools/content/room.h"

namespace {

// Planks one unit wide (32 texels of the 8-unit picture) running along t,
// each with its own tint, grain and butt joints.
Image paintFloor()
{
    const int size = 256;
    const int plankWidth = 32;
    Image image(size, size);
    Rng rng(0xF100u);
    float tint[size / plankWidth];
    float jointA[size / plankWidth];
    float jointB[size / plankWidth];
    for (int p = 0; p < size / plankWidth; ++p) {
        tint[p] = rng.range(0.88f, 1.04f);
        jointA[p] = rng.range(0.05f, 0.45f);
        jointB[p] = jointA[p] + rng.range(0.35f, 0.5f);
    }
    const Colour base{0.96f, 0.80f, 0.56f};
    for (int y = 0; y < size; ++y) {
        float v = static_cast<float>(y) / size;
        for (int x = 0; x < size; ++x) {
            int plank = x / plankWidth;
            int across = x % plankWidth;
            float u = static_cast<float>(x) / size;
            float grain = fractalNoise(u * 64.0f, v * 4.0f + plank * 1.7f, 51u, 3, 64);
            float rings = 0.5f + 0.5f * std::sin(grain * 9.0f + across * 0.25f);
            Colour c = scaled(base, tint[plank] * (0.88f + 0.12f * rings));
            bool gap = across == 0 || across == plankWidth - 1;
            bool joint = std::fabs(v - jointA[plank]) < 0.004f || std::fabs(v - jointB[plank]) < 0.004f;
            if (gap || joint)
                c = scaled(c, 0.45f);
            image.at(x, y) = c;
        }
    }
    return image;
}

// Cream plaster above a rail and a dark wooden wainscot; t = 0 is the wall's
// top. The picture spans 6 units of wall and the whole 4.5 units of height.
Image paintWall()
{
    const int width = 256, height = 128;
    Image image(width, height);
    const Colour plaster{1.0f, 0.97f, 0.90f};
    const Colour wainscot{0.80f, 0.58f, 0.36f};
    const Colour rail{0.62f, 0.42f, 0.24f};
    for (int y = 0; y < height; ++y) {
        float t = static_cast<float>(y) / height;
        for (int x = 0; x < width; ++x) {
            float u = static_cast<float>(x) / width;
            float n = fractalNoise(u * 16.0f, t * 8.0f, 61u, 3, 16);
            Colour c = scaled(plaster, 0.94f + 0.06f * n);
            if (t < 0.05f)
                c = scaled(rail, 1.1f);  // the wall's top edge
            if (t > 0.62f && t < 0.67f)
                c = rail;
            if (t >= 0.67f) {
                float boards = (x % 43) == 0 ? 0.6f : 1.0f;  // six boards a picture width
                float grain = fractalNoise(u * 32.0f, t * 3.0f, 62u, 2, 32);
                c = scaled(wainscot, boards * (0.9f + 0.1f * grain));
            }
            if (t > 0.96f)
                c = scaled(rail, 0.8f);  // skirting
            image.at(x, y) = c;
        }
    }
    return image;
}

// Warm furniture wood with a fine grain along t.
Image paintWood()
{
    const int size = 128;
    Image image(size, size);
    const Colour base{0.86f, 0.60f, 0.36f};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float u = static_cast<float>(x) / size;
            float v = static_cast<float>(y) / size;
            float grain = fractalNoise(u * 32.0f, v * 2.0f, 71u, 3, 32);
            float rings = 0.5f + 0.5f * std::sin(grain * 12.0f);
            image.at(x, y) = scaled(base, 0.85f + 0.2f * rings);
        }
    }
    return image;
}

// A patchwork quilt: 8 x 8 squares in four colours, with stitched seams.
Image paintCloth()
{
    const int size = 128;
    const int square = 16;
    const Colour patches[] = {{0.85f, 0.25f, 0.20f},
                              {0.95f, 0.88f, 0.70f},
                              {0.25f, 0.45f, 0.75f},
                              {0.95f, 0.75f, 0.25f}};
    Image image(size, size);
    Rng rng(0xC107u);
    int colourOf[8][8];
    for (auto& row : colourOf)
        for (int& c : row)
            c = static_cast<int>(rng.next() % 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int sx = x / square, sy = y / square;
            Colour c = patches[colourOf[sy][sx]];
            int ix = x % square, iy = y % square;
            // Small diamonds in every other square.
            if (((sx + sy) & 1) == 0 && std::abs(ix - 8) + std::abs(iy - 8) < 4)
                c = mix(c, Colour{1, 1, 1}, 0.5f);
            if (ix == 0 || iy == 0)
                c = scaled(c, 0.6f);
            if ((ix == 2 || iy == 2) && ((x + y) % 3 == 0))
                c = mix(c, Colour{1, 1, 1}, 0.4f);  // stitches
            image.at(x, y) = c;
        }
    }
    return image;
}

}  // namespace

bool writeRoomTextures(const std::string& folder)
{
    bool ok = writeBmp(folder + "FLOOR.BMP", paintFloor());
    ok = writeBmp(folder + "WALL.BMP", paintWall()) && ok;
    ok = writeBmp(folder + "WOOD.BMP", paintWood()) && ok;
    ok = writeBmp(folder + "CLOTH.BMP", paintCloth()) && ok;
    return ok;
}
