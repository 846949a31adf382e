// LoadBmpTexture in a real OpenGL context: the texels it uploads, the row
// order, the seek to the pixels, mip-maps and parameters, and bitmaps it
// cannot use.
#include <climits>
#include <string>

#include "model/texture.h"
#include "platform/gl.h"
#include "tests/support/gl_checks.h"
#include "tests/support/model_files.h"

namespace {

// A row of blue then a row of red, in file order (bottom row first).
ModelBytes blueThenRed(int32_t width)
{
    ModelBytes rows = bmpRows(width, 1, 255, 0, 0);
    const ModelBytes red = bmpRows(width, 1, 0, 0, 255);
    rows.insert(rows.end(), red.begin(), red.end());
    return rows;
}

uint32_t load(const ModelBytes& file, int mipmaps = 0)
{
    const std::string path = modelScratchPath("picture.bmp");
    writeModelBytes(path, file);
    return LoadBmpTexture(path.c_str(), mipmaps);
}

}  // namespace

TEST(LoadBmpTexture, UploadsThePixelsWithTheFilesBottomRowAtTheBottom)
{
    REQUIRE_GL();
    const uint32_t name = load(bmpFile(4, 2, blueThenRed(4)));
    EXPECT_EQ(boundTexture(), name);
    TextureImage image = readTexture(name);
    ASSERT_EQ(image.width, 4);
    ASSERT_EQ(image.height, 2);
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(image.at(s, 0), 0xFF0000u);  // t = 0: the picture's top
        EXPECT_EQ(image.at(s, 1), 0x0000FFu);  // t = 1: its bottom
    }
    // Stored blue, green, red; 70 filler bytes before the pixels.
    image = readTexture(load(bmpFile(4, 1, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120}, 70)));
    EXPECT_EQ(image.at(0, 0), 0x1E140Au);
    EXPECT_EQ(image.at(3, 0), 0x786E64u);

    // Padded rows (three pixels: nine bytes and three of padding) reach
    // OpenGL right whatever its unpack alignment; a negative height stores
    // the top row first.
    for (GLint alignment : {1, 8, 4}) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
        image = readTexture(load(bmpFile(3, 2, blueThenRed(3))));
        ASSERT_EQ(image.width, 3);
        EXPECT_EQ(image.at(2, 0), 0xFF0000u);
        EXPECT_EQ(image.at(2, 1), 0x0000FFu);
    }
    image = readTexture(load(bmpFile(4, -2, blueThenRed(4))));
    EXPECT_EQ(image.at(0, 0), 0x0000FFu);
    EXPECT_EQ(image.at(0, 1), 0xFF0000u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(LoadBmpTexture, FiltersWrappingAndMipMaps)
{
    REQUIRE_GL();
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const uint32_t plain = load(bmpFile(4, 2, blueThenRed(4)), 0);
    GLint envMode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    EXPECT_EQ(envMode, GL_MODULATE);
    EXPECT_EQ(textureLevels(plain), 1);
    EXPECT_EQ(textureParameter(plain, GL_TEXTURE_MIN_FILTER), GL_LINEAR);

    const uint32_t mipmapped = load(bmpFile(4, 2, blueThenRed(4)), 1);
    EXPECT_NE(mipmapped, plain);
    EXPECT_EQ(textureLevels(mipmapped), 3);  // 4 x 2, 2 x 1, 1 x 1
    EXPECT_EQ(readTexture(mipmapped, 0).at(0, 0), 0xFF0000u);
    EXPECT_EQ(textureParameter(mipmapped, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    for (uint32_t name : {plain, mipmapped}) {
        EXPECT_EQ(textureParameter(name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(textureParameter(name, GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(textureParameter(name, GL_TEXTURE_WRAP_T), GL_REPEAT);
    }
}

// One of each kind of fault: a short file, pixels sought past its end, a
// format other than uncompressed 24-bit, and dimensions that are zero,
// negative past what a top-down picture can be, or absurd.
TEST(LoadBmpTexture, UnusableBitmapsGiveOneWhiteTexel)
{
    REQUIRE_GL();
    const ModelBytes good = bmpFile(4, 2, blueThenRed(4));
    ModelBytes farPixels = good;
    farPixels[13] = 0xFF;  // the pixels would start 4 GB into the file
    const struct {
        const char* what;
        ModelBytes bytes;
    } cases[] = {
        {"headers cut short", ModelBytes(good.begin(), good.begin() + 40)},
        {"a byte missing", ModelBytes(good.begin(), good.end() - 1)},
        {"pixels past the end", farPixels},
        {"8 bits", bmpFile(4, 2, ModelBytes(8, 7), 0, 8)},
        {"compressed", bmpFile(4, 2, blueThenRed(4), 0, 24, 1)},
        {"zero width", bmpFile(0, 2, blueThenRed(4))},
        {"negative width", bmpFile(-4, 2, blueThenRed(4))},
        {"most negative height", bmpFile(4, INT_MIN, blueThenRed(4))},
        {"absurd width", bmpFile(1 << 30, 2, blueThenRed(4))},
        {"absurd height", bmpFile(4, 1 << 30, blueThenRed(4))},
    };
    for (const auto& c : cases) {
        for (int mipmaps : {0, 1}) {
            const uint32_t name = load(c.bytes, mipmaps);
            const TextureImage image = readTexture(name);
            ASSERT_EQ(image.width * image.height, 1) << c.what;
            EXPECT_EQ(image.at(0, 0), 0xFFFFFFu) << c.what;
            EXPECT_EQ(textureParameter(name, GL_TEXTURE_WRAP_T), GL_REPEAT) << c.what;
        }
    }
    EXPECT_EQ(readTexture(LoadBmpTexture(modelScratchPath("missing.bmp").c_str(), 0)).at(0, 0), 0xFFFFFFu);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
