// LoadBmpTexture against a real OpenGL context: the texels it uploads, the
// row order, the seek to the pixels, mip-maps, parameters, and bitmaps it
// cannot use.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "model/texture.h"
#include "platform/gl.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/model_files.h"
#include "tests/support/texture_readback.h"

namespace {

const uint32_t BLUE = 0x0000FF;
const uint32_t RED = 0xFF0000;
const uint32_t WHITE = 0xFFFFFF;

#define REQUIRE_GL()                                     \
    if (!testGlContext()) {                              \
        GTEST_SKIP() << "no display for an OpenGL context"; \
    }

std::string writeBmp(const std::string& name, const Bytes& bytes)
{
    const std::string path = scratchPath(name);
    writeFile(path, bytes);
    return path;
}

// Two rows in file order: the first is the picture's bottom row.
Bytes blueThenRed(int32_t width)
{
    Bytes rows = bmpRow(width, 255, 0, 0);
    const Bytes red = bmpRow(width, 0, 0, 255);
    rows.insert(rows.end(), red.begin(), red.end());
    return rows;
}

}  // namespace

TEST(LoadBmpTexture, TheFilesBottomRowEndsAtTheBottomEdge)
{
    REQUIRE_GL();
    const std::string path = writeBmp("rows.bmp", bmpFile(4, 2, blueThenRed(4)));
    const uint32_t name = LoadBmpTexture(path.c_str(), 0);
    ASSERT_NE(name, 0u);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<uint32_t>(bound), name);  // left bound
    const TextureImage image = readTexture(name);
    ASSERT_EQ(image.width, 4);
    ASSERT_EQ(image.height, 2);
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(image.at(s, 0), RED) << s;   // t = 0: the picture's top
        EXPECT_EQ(image.at(s, 1), BLUE) << s;  // t = 1: its bottom
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(LoadBmpTexture, PixelsKeepTheirColoursAndThePixelOffsetIsHonoured)
{
    REQUIRE_GL();
    // Four distinct pixels in one row, stored blue, green, red; 70 bytes of
    // filler between the headers and the pixels.
    const Bytes row = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    const std::string path = writeBmp("gap.bmp", bmpFile(4, 1, row, 70));
    const TextureImage image = readTexture(LoadBmpTexture(path.c_str(), 0));
    ASSERT_EQ(image.width, 4);
    ASSERT_EQ(image.height, 1);
    EXPECT_EQ(image.at(0, 0), 0x1E140Au);
    EXPECT_EQ(image.at(1, 0), 0x3C3228u);
    EXPECT_EQ(image.at(3, 0), 0x786E64u);
}

TEST(LoadBmpTexture, FiltersWrappingAndMipMaps)
{
    REQUIRE_GL();
    const std::string path = writeBmp("mips.bmp", bmpFile(4, 2, blueThenRed(4)));
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);

    const uint32_t plain = LoadBmpTexture(path.c_str(), 0);
    GLint envMode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    EXPECT_EQ(envMode, GL_MODULATE);
    EXPECT_EQ(textureLevels(plain), 1);
    EXPECT_EQ(textureParameter(plain, GL_TEXTURE_MIN_FILTER), GL_LINEAR);

    const uint32_t mipmapped = LoadBmpTexture(path.c_str(), 1);
    EXPECT_NE(mipmapped, plain);
    EXPECT_EQ(textureLevels(mipmapped), 3);  // 4x2, 2x1, 1x1
    const TextureImage smallest = readTexture(mipmapped, 2);
    EXPECT_EQ(smallest.width, 1);
    EXPECT_EQ(smallest.height, 1);
    EXPECT_EQ(readTexture(mipmapped, 0).at(0, 0), RED);
    EXPECT_EQ(textureParameter(mipmapped, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);

    for (uint32_t name : {plain, mipmapped}) {
        EXPECT_EQ(textureParameter(name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(textureParameter(name, GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(textureParameter(name, GL_TEXTURE_WRAP_T), GL_REPEAT);
        glBindTexture(GL_TEXTURE_2D, name);
        GLint components = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &components);
        EXPECT_TRUE(components == 3 || components == GL_RGB) << components;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(LoadBmpTexture, PaddedRowsAndTopDownPictures)
{
    REQUIRE_GL();
    // Three pixels a row: nine bytes and three of padding in the file. The
    // rows reach OpenGL correctly whatever its unpack alignment.
    for (GLint alignment : {1, 4, 8}) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
        const std::string path = writeBmp("padded.bmp", bmpFile(3, 2, blueThenRed(3)));
        const TextureImage image = readTexture(LoadBmpTexture(path.c_str(), 0));
        ASSERT_EQ(image.width, 3);
        for (int s = 0; s < 3; ++s) {
            EXPECT_EQ(image.at(s, 0), RED) << alignment;
            EXPECT_EQ(image.at(s, 1), BLUE) << alignment;
        }
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

    // A negative height stores the top row first.
    const std::string path = writeBmp("topdown.bmp", bmpFile(4, -2, blueThenRed(4)));
    const TextureImage image = readTexture(LoadBmpTexture(path.c_str(), 0));
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(image.at(0, 0), BLUE);
    EXPECT_EQ(image.at(0, 1), RED);
}

TEST(LoadBmpTexture, UnusableBitmapsGiveOneWhiteTexel)
{
    REQUIRE_GL();
    const Bytes good = bmpFile(4, 2, blueThenRed(4));
    Bytes missingRow = good;
    missingRow.resize(good.size() - 12);
    Bytes missingByte = good;
    missingByte.resize(good.size() - 1);
    Bytes farOffset = good;
    farOffset[13] = 0xFF;  // the pixels would start 4 GB into the file
    struct Case {
        const char* what;
        Bytes bytes;
    };
    const Case cases[] = {
        {"empty", Bytes()},
        {"headers cut short", Bytes(good.begin(), good.begin() + 40)},
        {"a row missing", missingRow},
        {"a byte missing", missingByte},
        {"32 bits", bmpFile(2, 2, Bytes(16, 7), 0, 32)},
        {"8 bits", bmpFile(4, 2, Bytes(8, 7), 0, 8)},
        {"compressed", bmpFile(4, 2, blueThenRed(4), 0, 24, 1)},
        {"zero width", bmpFile(0, 2, blueThenRed(4))},
        {"zero height", bmpFile(4, 0, blueThenRed(4))},
        {"negative width", bmpFile(-4, 2, blueThenRed(4))},
        {"absurd width", bmpFile(1 << 30, 2, blueThenRed(4))},
        {"absurd height", bmpFile(4, 1 << 30, blueThenRed(4))},
        {"most negative height", bmpFile(4, INT_MIN, blueThenRed(4))},
        {"pixels past the end", farOffset},
    };
    for (const Case& c : cases) {
        const std::string path = writeBmp("bad.bmp", c.bytes);
        for (int mipmaps : {0, 1}) {
            const uint32_t name = LoadBmpTexture(path.c_str(), mipmaps);
            const TextureImage image = readTexture(name);
            EXPECT_EQ(image.width, 1) << c.what;
            EXPECT_EQ(image.height, 1) << c.what;
            if (image.width == 1 && image.height == 1) {
                EXPECT_EQ(image.at(0, 0), WHITE) << c.what;
            }
            EXPECT_EQ(textureParameter(name, GL_TEXTURE_WRAP_T), GL_REPEAT) << c.what;
        }
    }
    const uint32_t missing = LoadBmpTexture(scratchPath("no such file.bmp").c_str(), 0);
    EXPECT_EQ(readTexture(missing).at(0, 0), WHITE);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
