// LoadBmpTexture in a real OpenGL context: the texels, levels and parameters
// of the texture it makes from each bitmap, usable or not.
#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "model/texture.h"
#include "platform/gl.h"
#include "tests/support/gl_checks.h"
#include "tests/support/model_files.h"

namespace {

const uint32_t red = 0xFF0000, blue = 0x0000FF, white = 0xFFFFFF;

// The width, the height, then the texels from t = 0 row by row.
std::vector<uint32_t> picture(uint32_t name)
{
    const TextureImage image = readTexture(name);
    std::vector<uint32_t> out = {static_cast<uint32_t>(image.width), static_cast<uint32_t>(image.height)};
    for (int t = 0; t < image.height; ++t)
        for (int s = 0; s < image.width; ++s)
            out.push_back(image.at(s, t));
    return out;
}

}  // namespace

// Buffer row 0, t = 0, is the picture's top: the file's last row unless the
// height is negative. Pixels are stored blue, green, red, where the header
// says; padded rows reach OpenGL right whatever its unpack alignment, which
// is left as it was. Any bitmap that can't be used gives one white texel.
TEST(LoadBmpTexture, EveryBitmapGivesItsTexelsOrOneWhiteTexel)
{
    REQUIRE_GL();
    const ModelBytes good = bmpFile(4, 2, bmpRows(4, {blue, red}));
    ModelBytes farPixels = good;
    farPixels[13] = 0xFF;  // the pixels would start 4 GB into the file
    const ModelBytes afterAGap = bmpFile(4, 1, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120}, 70);
    const std::vector<uint32_t> oneWhite = {1, 1, white};
    const std::string path = modelScratchPath("picture.bmp");
    const struct {
        const char* what;
        ModelBytes bytes;
        std::vector<uint32_t> picture;
    } cases[] = {
        {"bottom row first", good, {4, 2, red, red, red, red, blue, blue, blue, blue}},
        {"top row first", bmpFile(4, -2, bmpRows(4, {blue, red})), {4, 2, blue, blue, blue, blue, red, red, red, red}},
        {"padded rows", bmpFile(3, 2, bmpRows(3, {blue, red})), {3, 2, red, red, red, blue, blue, blue}},
        {"one pixel wide", bmpFile(1, 2, bmpRows(1, {blue, red})), {1, 2, red, blue}},
        {"after a gap", afterAGap, {4, 1, 0x1E140A, 0x3C3228, 0x5A5046, 0x786E64}},
        {"headers cut short", ModelBytes(good.begin(), good.begin() + 40), oneWhite},
        {"a byte missing", ModelBytes(good.begin(), good.end() - 1), oneWhite},
        {"pixels past the end", farPixels, oneWhite},
        {"8 bits", bmpFile(4, 2, ModelBytes(8, 7), 0, 8), oneWhite},
        {"compressed", bmpFile(4, 2, bmpRows(4, {blue, red}), 0, 24, 1), oneWhite},
        {"zero width", bmpFile(0, 2, bmpRows(4, {blue, red})), oneWhite},
        {"most negative height", bmpFile(4, INT_MIN, bmpRows(4, {blue, red})), oneWhite},
        {"absurd width", bmpFile(1 << 30, 2, bmpRows(4, {blue, red})), oneWhite},
        {"absurd height", bmpFile(4, 1 << 30, bmpRows(4, {blue, red})), oneWhite},
    };
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    for (GLint alignment : {1, 8, 4}) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
        for (const auto& c : cases)
            // With mip-maps, GLU scales sides that are not powers of two.
            for (int mipmaps = 0; mipmaps <= (c.picture[0] == 3 ? 0 : 1); ++mipmaps) {
                const uint32_t name = LoadBmpTexture(writeModelBytes(path, c.bytes).c_str(), mipmaps);
                EXPECT_EQ(boundTexture(), name);
                EXPECT_EQ(picture(name), c.picture)
                    << c.what << ", alignment " << alignment << ", mip-maps " << mipmaps;
                EXPECT_EQ(textureLevels(name), mipmaps ? 1 + std::ilogb(std::max(c.picture[0], c.picture[1])) : 1)
                    << c.what;
                EXPECT_EQ(textureParameter(name, GL_TEXTURE_MIN_FILTER), mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
                for (GLenum p : {GL_TEXTURE_MAG_FILTER, GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T})
                    EXPECT_EQ(textureParameter(name, p), p == GL_TEXTURE_MAG_FILTER ? GL_LINEAR : GL_REPEAT);
            }
        GLint after = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &after);
        EXPECT_EQ(after, alignment);
    }
    EXPECT_EQ(picture(LoadBmpTexture(modelScratchPath("").c_str(), 0)), oneWhite) << "a folder";
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
