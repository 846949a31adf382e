// Reading PNG files in tests; see png_read.h.
#include "tests/support/png_read.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

bool readPng(const std::string& path, Picture* picture)
{
    unsigned char* data = stbi_load(path.c_str(), &picture->width, &picture->height, nullptr, 3);
    if (data)
        picture->rgb.assign(data, data + static_cast<size_t>(picture->width) * picture->height * 3);
    stbi_image_free(data);
    return data != nullptr;
}
