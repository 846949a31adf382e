// Checks against a real OpenGL context; see gl_checks.h.
#include "tests/support/gl_checks.h"

#include <cmath>

#include "platform/gl.h"

uint32_t TextureImage::at(int s, int t) const
{
    const size_t i = static_cast<size_t>(t * width + s) * 3;
    return static_cast<uint32_t>(rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
}

TextureImage readTexture(uint32_t name, int level)
{
    TextureImage image = {0, 0, {}};
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &image.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &image.height);
    image.rgb.resize(static_cast<size_t>(image.width * image.height * 3) + 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, image.rgb.data());
    return image;
}

int textureLevels(uint32_t name)
{
    int levels = 0;
    while (levels < 20 && readTexture(name, levels).width != 0)
        ++levels;
    return levels;
}

int textureParameter(uint32_t name, unsigned parameter)
{
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    return value;
}

uint32_t boundTexture()
{
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return static_cast<uint32_t>(name);
}

void modelViewApply(float x, float y, float z, float out[3])
{
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 3; ++i)
        out[i] = m[i] * x + m[4 + i] * y + m[8 + i] * z + m[12 + i];
}

::testing::AssertionResult closeTo(const std::vector<float>& actual, const std::vector<float>& expected,
                                   float tolerance)
{
    size_t i = 0;
    while (i < actual.size() && i < expected.size() && std::fabs(actual[i] - expected[i]) <= tolerance)
        ++i;
    if (i == actual.size() && i == expected.size())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "rows of " << actual.size() << " and " << expected.size()
                                         << " numbers first differ at " << i << ": got "
                                         << ::testing::PrintToString(actual) << ", want "
                                         << ::testing::PrintToString(expected);
}
