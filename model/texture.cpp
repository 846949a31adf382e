// LoadBmpTexture: an uncompressed 24-bit BMP file to a new OpenGL texture.
//
// The file is read whole and parsed from memory. Hostile bytes: nothing
// past the file's real end is ever read, and a file that cannot be used
// (missing, short, another pixel format, no sensible size, or more texels
// than the texture budget has left) gives a texture of one white texel
// instead, so faces that name it show their plain colour; one warning
// names the file. The only buffers are the file's bytes and the picture,
// which is no larger than the pixels the file holds.
//
// The pixels go to OpenGL in the file's own blue-green-red order. Rows are
// placed so that buffer row 0, texture coordinate t = 0, holds the picture's
// top row.
#include "model/texture.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "model/file_bytes.h"
#include "model/little_endian.h"
#include "platform/gl.h"
#include "platform/notice.h"

namespace {

const size_t bmpHeadersSize = 54;       // 14-byte file header + 40-byte information header
const int32_t bmpMaxDimension = 16384;  // larger pictures are not accepted

int64_t texelsLeft = textureTexelBudget;

void warn(const char* fileName, const char* reason)
{
    noticeShow(NOTICE_WARNING, std::string(fileName) + ": " + reason + "; using a white texture\n");
}

// A new texture holding the picture (rows of width * 3 bytes, tightly
// packed), set up as every texture of the program.
uint32_t makeTexture(int32_t width, int32_t height, const unsigned char* pixels, int mipmaps)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    // Rows go to OpenGL tightly packed, under an unpack alignment of 1 for the
    // upload only. libGLU's mip-map builder packs the smaller levels it makes
    // tightly too but hands them on under the caller's alignment, so with any
    // other alignment OpenGL reads past the end of those levels.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (mipmaps) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_BGR_EXT, GL_UNSIGNED_BYTE, pixels);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE, pixels);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return name;
}

}  // namespace

// BMP rows are padded to four bytes in the file; a negative height means the
// rows are stored top row first.
bool bmpParse(const uint8_t* file, size_t size, int64_t texelLimit, BmpPicture* picture, const char** problem)
{
    *picture = BmpPicture{};
    if (file == nullptr || size < bmpHeadersSize) {
        *problem = "bitmap shorter than its headers";
        return false;
    }
    const uint32_t pixelOffset = readLittleU32(file + 10);
    const int32_t width = static_cast<int32_t>(readLittleU32(file + 18));
    const int32_t storedHeight = static_cast<int32_t>(readLittleU32(file + 22));
    const uint16_t bitsPerPixel = readLittleU16(file + 28);
    const uint32_t compression = readLittleU32(file + 30);
    if (bitsPerPixel != 24 || compression != 0) {
        *problem = "not an uncompressed 24-bit bitmap";
        return false;
    }
    if (width <= 0 || width > bmpMaxDimension || storedHeight == 0 || storedHeight < -bmpMaxDimension ||
        storedHeight > bmpMaxDimension) {
        *problem = "bitmap size out of range";
        return false;
    }
    const bool topDown = storedHeight < 0;
    const int32_t height = topDown ? -storedHeight : storedHeight;
    const int64_t rowBytes = static_cast<int64_t>(width) * 3;
    const int64_t fileStride = (rowBytes + 3) & ~static_cast<int64_t>(3);

    // The last row may lack its padding; every byte of every row must be there.
    const int64_t pixelEnd = static_cast<int64_t>(pixelOffset) + (height - 1) * fileStride + rowBytes;
    if (static_cast<int64_t>(size) < pixelEnd) {
        *problem = "bitmap shorter than its headers say";
        return false;
    }
    if (static_cast<int64_t>(width) * height > texelLimit) {
        *problem = "bitmap larger than the texture budget has left";
        return false;
    }
    OwnedStorage<unsigned char> pixels(
        static_cast<unsigned char*>(std::malloc(static_cast<size_t>(rowBytes * height))));
    if (!pixels) {
        *problem = "no memory for the bitmap";
        return false;
    }
    // Bottom-up files hold the picture's bottom row first; it goes to the
    // buffer's last row, so buffer row 0 is the top of the picture.
    for (int32_t row = 0; row < height; ++row) {
        const int32_t target = topDown ? row : height - 1 - row;
        std::memcpy(pixels.get() + target * rowBytes, file + pixelOffset + row * fileStride,
                    static_cast<size_t>(rowBytes));
    }
    picture->width = width;
    picture->height = height;
    picture->pixels = std::move(pixels);
    return true;
}

uint32_t bmpTextureIfUsable(const char* name, const uint8_t* file, size_t size, int mipmaps)
{
    BmpPicture picture;
    const char* problem = "";
    if (!bmpParse(file, size, texelsLeft, &picture, &problem)) {
        warn(name, problem);
        return 0;
    }
    texelsLeft -= static_cast<int64_t>(picture.width) * picture.height;
    return makeTexture(picture.width, picture.height, picture.pixels.get(), mipmaps);
}

uint32_t loadBmpTextureIfUsable(const char* fileName, int mipmaps)
{
    FileBytes file;
    switch (readFileBytes(fileName, SIZE_MAX, &file)) {
    case FILE_READ: return bmpTextureIfUsable(fileName, file.bytes.get(), file.size, mipmaps);
    case FILE_NOT_OPENED: warn(fileName, "cannot open the bitmap"); break;
    case FILE_NOT_READ: warn(fileName, "cannot read the bitmap"); break;
    case FILE_NO_MEMORY: warn(fileName, "no memory for the bitmap"); break;
    }
    return 0;
}

uint32_t whiteTexture(int mipmaps)
{
    static const unsigned char whiteTexel[3] = {255, 255, 255};
    return makeTexture(1, 1, whiteTexel, mipmaps);
}

uint32_t LoadBmpTexture(const char* fileName, int mipmaps)
{
    const uint32_t name = loadBmpTextureIfUsable(fileName, mipmaps);
    return name != 0 ? name : whiteTexture(mipmaps);
}

void setTextureBudget(int64_t texels)
{
    texelsLeft = texels;
}
