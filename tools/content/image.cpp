// Pictures for the content generator and the BMP writer.
//
// The program's texture loader reads the pixel rows back to back without
// row padding, so every picture written here is 24-bit, uncompressed,
// bottom-up, and has a width whose three bytes per pixel fill whole 4-byte
// words.
#include <cstdio>

#include "tools/content/content.h"

Colour mix(Colour a, Colour b, float t) {
    return {lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t)};
}

Colour scaled(Colour c, float f) {
    return {c.r * f, c.g * f, c.b * f};
}

Image::Image(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, Colour{0, 0, 0}) {}

void Image::fillRect(int x0, int y0, int w, int h, Colour c) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (x >= 0 && y >= 0 && x < width && y < height) at(x, y) = c;
}

static void put16(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

static void put32(unsigned char* p, uint32_t v) {
    put16(p, v);
    put16(p + 2, v >> 16);
}

static unsigned char toByte(float v) {
    int i = static_cast<int>(clamp01(v) * 255.0f + 0.5f);
    return static_cast<unsigned char>(i);
}

bool writeBmp(const std::string& path, const Image& image) {
    if (image.width <= 0 || image.height <= 0 || (image.width * 3) % 4 != 0) {
        std::fprintf(stderr, "%s: width %d does not give whole 4-byte rows\n", path.c_str(), image.width);
        return false;
    }
    const uint32_t rowBytes = static_cast<uint32_t>(image.width) * 3;
    const uint32_t dataBytes = rowBytes * static_cast<uint32_t>(image.height);
    std::vector<unsigned char> file(54 + dataBytes, 0);
    unsigned char* h = file.data();
    h[0] = 'B';
    h[1] = 'M';
    put32(h + 2, 54 + dataBytes);  // file size
    put32(h + 10, 54);             // offset of the pixel data
    put32(h + 14, 40);             // information header size
    put32(h + 18, static_cast<uint32_t>(image.width));
    put32(h + 22, static_cast<uint32_t>(image.height));  // positive: bottom row first
    put16(h + 26, 1);                                    // planes
    put16(h + 28, 24);                                   // bits per pixel
    put32(h + 30, 0);                                    // no compression
    put32(h + 34, dataBytes);
    put32(h + 38, 2835);  // 72 dots per inch
    put32(h + 42, 2835);

    unsigned char* out = h + 54;
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const Colour& c = image.at(x, y);
            *out++ = toByte(c.b);
            *out++ = toByte(c.g);
            *out++ = toByte(c.r);
        }
    }

    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}
