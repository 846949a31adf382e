// Reading back texture contents and parameters; see texture_readback.h.
#include "tests/support/texture_readback.h"

#include <cstddef>

#include "platform/gl.h"

uint32_t TextureImage::at(int s, int t) const
{
    const size_t i = (static_cast<size_t>(t) * static_cast<size_t>(width) + static_cast<size_t>(s)) * 3;
    return static_cast<uint32_t>(rgb[i]) << 16 | static_cast<uint32_t>(rgb[i + 1]) << 8 | rgb[i + 2];
}

TextureImage readTexture(uint32_t name, int level)
{
    TextureImage image = {0, 0, {}};
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &image.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &image.height);
    image.rgb.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 3, 0);
    if (!image.rgb.empty()) {
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, image.rgb.data());
    }
    return image;
}

int textureLevels(uint32_t name)
{
    glBindTexture(GL_TEXTURE_2D, name);
    int levels = 0;
    for (;;) {
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_WIDTH, &width);
        if (width == 0 || levels > 20) {
            return levels;
        }
        ++levels;
    }
}

int textureParameter(uint32_t name, unsigned parameter)
{
    glBindTexture(GL_TEXTURE_2D, name);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    return value;
}
