// Reading PNG files in tests; see png_read.h.
#include "tests/support/png_read.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>
// The writer's implementation is in the program's own screenshot code.
#include <stb/stb_image_write.h>

bool readPng(const std::string& path, Picture* picture)
{
    unsigned char* data = stbi_load(path.c_str(), &picture->width, &picture->height, nullptr, 3);
    if (data)
        picture->rgb.assign(data, data + static_cast<size_t>(picture->width) * picture->height * 3);
    stbi_image_free(data);
    return data != nullptr;
}

bool writePng(const std::string& path, const Picture& picture)
{
    stbi_flip_vertically_on_write(0);
    return !picture.rgb.empty() &&
           stbi_write_png(path.c_str(), picture.width, picture.height, 3, picture.rgb.data(), picture.width * 3) != 0;
}
