// Reading PNG files in tests; see png_read.h.
#include "tests/support/png_read.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>
// The writer's implementation is in the program's own screenshot code.
#include <stb/stb_image_write.h>

double Picture::meanBrightness() const
{
    if (rgb.empty())
        return 0.0;
    double sum = 0.0;
    for (unsigned char c : rgb)
        sum += c;
    return sum / static_cast<double>(rgb.size());
}

bool readPng(const std::string& path, Picture* picture)
{
    int w = 0, h = 0, channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &w, &h, &channels, 3);
    if (!data)
        return false;
    picture->width = w;
    picture->height = h;
    picture->rgb.assign(data, data + static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
    stbi_image_free(data);
    return true;
}

bool writePng(const std::string& path, const Picture& picture)
{
    if (picture.rgb.empty())
        return false;
    stbi_flip_vertically_on_write(0);
    return stbi_write_png(path.c_str(), picture.width, picture.height, 3, picture.rgb.data(), picture.width * 3) != 0;
}
