// vexarion-embed-icon: turns the menu's icon, the scene rendered as a PNG,
// into the pixels the program gives its windows, as C++ source, and into the
// Windows icon file the executables carry as their resource.
//
//   vexarion-embed-icon ICON.png OUT.cpp [OUT.ico]
//
// The picture is shrunk to 64 x 64 (each pixel the mean of the pixels it
// covers) and written as RGBA bytes, top row first, behind the function
// programIconPixels() of app/program_icon.h. The icon file holds the picture
// at 16, 32, 48 and 64 pixels as 32-bit bitmaps (what Explorer's small
// views and the title bars take) and the PNG itself, as it is, for the large
// views. Exit code 1 when the picture can't be read or a file can't be
// written.
#include <cstdint>
#include <cstdio>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

namespace {

const int side = 64;

// The picture shrunk to `to` pixels a side, each pixel the mean of those it covers.
std::vector<unsigned char> shrink(const unsigned char* picture, int width, int height, int to)
{
    std::vector<unsigned char> out(static_cast<size_t>(to) * to * 4);
    for (int y = 0; y < to; y++)
        for (int x = 0; x < to; x++) {
            const int x0 = x * width / to, x1 = (x + 1) * width / to;
            const int y0 = y * height / to, y1 = (y + 1) * height / to;
            for (int c = 0; c < 4; c++) {
                long sum = 0;
                for (int sy = y0; sy < y1; sy++)
                    for (int sx = x0; sx < x1; sx++)
                        sum += picture[(static_cast<size_t>(sy) * width + sx) * 4 + c];
                const long count = static_cast<long>(x1 - x0) * (y1 - y0);
                out[(static_cast<size_t>(y) * to + x) * 4 + c] = static_cast<unsigned char>((sum + count / 2) / count);
            }
        }
    return out;
}

void put16(std::vector<unsigned char>* out, unsigned value)
{
    out->push_back(static_cast<unsigned char>(value));
    out->push_back(static_cast<unsigned char>(value >> 8));
}

void put32(std::vector<unsigned char>* out, uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// One icon image as Windows stores it: a BITMAPINFOHEADER of twice the
// height (the colour rows, then the mask's), BGRA rows bottom first, and an
// all-clear mask (the alpha says what shows) of rows padded to 32 bits.
std::vector<unsigned char> iconBitmap(const std::vector<unsigned char>& rgba, int to)
{
    std::vector<unsigned char> out;
    const uint32_t maskRow = static_cast<uint32_t>((to + 31) / 32 * 4);
    put32(&out, 40);
    put32(&out, static_cast<uint32_t>(to));
    put32(&out, static_cast<uint32_t>(to * 2));
    put16(&out, 1);
    put16(&out, 32);
    put32(&out, 0);
    put32(&out, static_cast<uint32_t>(to * to * 4) + maskRow * static_cast<uint32_t>(to));
    for (int i = 0; i < 4; i++)
        put32(&out, 0);
    for (int y = to - 1; y >= 0; y--)
        for (int x = 0; x < to; x++) {
            const unsigned char* p = &rgba[(static_cast<size_t>(y) * to + x) * 4];
            out.insert(out.end(), {p[2], p[1], p[0], p[3]});
        }
    out.insert(out.end(), static_cast<size_t>(maskRow) * to, 0);
    return out;
}

bool readWhole(const char* path, std::vector<unsigned char>* bytes)
{
    std::FILE* in = std::fopen(path, "rb");
    if (!in)
        return false;
    unsigned char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        bytes->insert(bytes->end(), buffer, buffer + got);
    const bool read = std::ferror(in) == 0;
    std::fclose(in);
    return read;
}

// The icon file: its directory, then the images in the same order.
bool writeIcon(const char* path, const unsigned char* picture, int width, int height, const char* pngPath)
{
    std::vector<std::vector<unsigned char>> images;
    std::vector<int> sides;
    for (int to : {16, 32, 48, 64}) {
        images.push_back(iconBitmap(shrink(picture, width, height, to), to));
        sides.push_back(to);
    }
    std::vector<unsigned char> png;
    if (width == 256 && height == 256 && readWhole(pngPath, &png)) {
        images.push_back(png);
        sides.push_back(256);
    }
    std::vector<unsigned char> out;
    put16(&out, 0);
    put16(&out, 1);  // an icon, not a cursor
    put16(&out, static_cast<unsigned>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); i++) {
        out.push_back(static_cast<unsigned char>(sides[i] & 0xFF));  // 256 is written 0
        out.push_back(static_cast<unsigned char>(sides[i] & 0xFF));
        out.insert(out.end(), {0, 0});
        put16(&out, 1);
        put16(&out, 32);
        put32(&out, static_cast<uint32_t>(images[i].size()));
        put32(&out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const std::vector<unsigned char>& image : images)
        out.insert(out.end(), image.begin(), image.end());
    std::FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: vexarion-embed-icon ICON.png OUT.cpp [OUT.ico]\n");
        return 2;
    }
    int width = 0, height = 0;
    unsigned char* picture = stbi_load(argv[1], &width, &height, nullptr, 4);
    if (!picture || width < side || height < side) {
        std::fprintf(stderr, "vexarion-embed-icon: cannot read a picture of at least %dx%d in %s\n", side, side,
                     argv[1]);
        stbi_image_free(picture);
        return 1;
    }
    const std::vector<unsigned char> icon = shrink(picture, width, height, side);
    if (argc == 4 && !writeIcon(argv[3], picture, width, height, argv[1])) {
        std::fprintf(stderr, "vexarion-embed-icon: cannot write %s\n", argv[3]);
        stbi_image_free(picture);
        return 1;
    }
    stbi_image_free(picture);

    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out) {
        std::fprintf(stderr, "vexarion-embed-icon: cannot write %s\n", argv[2]);
        return 1;
    }
    std::fprintf(out, "// Generated by vexarion-embed-icon from %s: do not edit.\n", argv[1]);
    std::fprintf(out, "#include \"app/program_icon.h\"\n\nnamespace {\n\nconst unsigned char pixels[] = {");
    for (size_t i = 0; i < icon.size(); i++)
        std::fprintf(out, "%s%u,", i % 16 ? " " : "\n    ", icon[i]);
    std::fprintf(out,
                 "\n};\n\n}  // namespace\n\nconst unsigned char* programIconPixels(int* side)\n{\n"
                 "    *side = %d;\n    return pixels;\n}\n",
                 side);
    const bool written = std::ferror(out) == 0;
    return std::fclose(out) == 0 && written ? 0 : 1;
}
