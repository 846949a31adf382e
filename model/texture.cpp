// LoadBmpTexture: an uncompressed 24-bit BMP file to a new OpenGL texture.
//
// The pixels go to OpenGL in the file's own blue-green-red order. Rows are
// placed so that buffer row 0, texture coordinate t = 0, holds the picture's
// top row. A file that cannot be used (missing, short, another pixel format,
// no sensible size, or more texels than the texture budget has left) gives
// a texture of one white texel instead, so faces that name it show their
// plain colour; one line on stderr names the file.
#include "model/texture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "model/little_endian.h"
#include "platform/gl.h"

namespace {

const int bmpHeadersSize = 54;          // 14-byte file header + 40-byte information header
const int32_t bmpMaxDimension = 16384;  // larger pictures are not accepted

int64_t texelsLeft = textureTexelBudget;

struct Picture {
    int32_t width;
    int32_t height;
    unsigned char* pixels;  // rows of width * 3 bytes, tightly packed
};

bool fail(const char* fileName, const char* reason)
{
    std::fprintf(stderr, "%s: %s; using a white texture\n", fileName, reason);
    return false;
}

// Reads the picture into a new buffer whose rows start on `alignment`
// bytes, as OpenGL will unpack them. BMP rows are padded to four bytes in
// the file; a negative height means the rows are stored top row first.
bool readPicture(const char* fileName, int32_t alignment, Picture* picture)
{
    FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        return fail(fileName, "cannot open the bitmap");
    }
    // The length is known before anything is read, so a file that is not a
    // plain seekable file (a device, a pipe) is refused at once.
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        length = std::ftell(file);
    }
    unsigned char header[bmpHeadersSize];
    if (length < bmpHeadersSize || std::fseek(file, 0, SEEK_SET) != 0 ||
        std::fread(header, 1, sizeof header, file) != sizeof header) {
        std::fclose(file);
        return fail(fileName, "bitmap shorter than its headers");
    }
    const uint32_t pixelOffset = readLittleU32(header + 10);
    const int32_t width = static_cast<int32_t>(readLittleU32(header + 18));
    const int32_t storedHeight = static_cast<int32_t>(readLittleU32(header + 22));
    const uint16_t bitsPerPixel = readLittleU16(header + 28);
    const uint32_t compression = readLittleU32(header + 30);
    if (bitsPerPixel != 24 || compression != 0) {
        std::fclose(file);
        return fail(fileName, "not an uncompressed 24-bit bitmap");
    }
    if (width <= 0 || width > bmpMaxDimension || storedHeight == 0 || storedHeight < -bmpMaxDimension ||
        storedHeight > bmpMaxDimension) {
        std::fclose(file);
        return fail(fileName, "bitmap size out of range");
    }
    const bool topDown = storedHeight < 0;
    const int32_t height = topDown ? -storedHeight : storedHeight;

    const int64_t rowBytes = static_cast<int64_t>(width) * 3;
    const int64_t fileStride = (rowBytes + 3) & ~static_cast<int64_t>(3);
    const int64_t bufferStride = (rowBytes + alignment - 1) / alignment * alignment;

    // The last row may lack its padding; every byte of every row must be there.
    const int64_t pixelEnd = static_cast<int64_t>(pixelOffset) + (height - 1) * fileStride + rowBytes;
    if (length < pixelEnd) {
        std::fclose(file);
        return fail(fileName, "bitmap shorter than its headers say");
    }
    if (static_cast<int64_t>(width) * height > texelsLeft) {
        std::fclose(file);
        return fail(fileName, "bitmap larger than the texture budget has left");
    }

    // The rows are read in one go, as the file stores them, and then put in
    // order: where the file's rows are already the buffer's (no padding), the
    // read goes straight into the buffer and a bottom-up picture is turned
    // over in place.
    const size_t storedBytes = static_cast<size_t>(pixelEnd - pixelOffset);
    const bool inPlace = fileStride == bufferStride;
    unsigned char* pixels = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(bufferStride * height)));
    unsigned char* stored = inPlace ? pixels : static_cast<unsigned char*>(std::malloc(storedBytes));
    if (stored == nullptr || pixels == nullptr) {
        if (!inPlace)
            std::free(stored);
        std::free(pixels);
        std::fclose(file);
        return fail(fileName, "no memory for the bitmap");
    }
    if (std::fseek(file, static_cast<long>(pixelOffset), SEEK_SET) != 0 ||
        std::fread(stored, 1, storedBytes, file) != storedBytes) {
        if (!inPlace)
            std::free(stored);
        std::free(pixels);
        std::fclose(file);
        return fail(fileName, "cannot read the bitmap's pixels");
    }
    std::fclose(file);
    // Bottom-up files hold the picture's bottom row first; it goes to the
    // buffer's last row, so buffer row 0 is the top of the picture.
    if (inPlace) {
        for (int32_t row = 0; !topDown && row < height / 2; ++row)
            std::swap_ranges(pixels + row * bufferStride, pixels + row * bufferStride + rowBytes,
                             pixels + (height - 1 - row) * bufferStride);
    } else {
        for (int32_t row = 0; row < height; ++row) {
            const int32_t target = topDown ? row : height - 1 - row;
            std::memcpy(pixels + target * bufferStride, stored + row * fileStride, static_cast<size_t>(rowBytes));
        }
        std::free(stored);
    }
    texelsLeft -= static_cast<int64_t>(width) * height;
    picture->width = width;
    picture->height = height;
    picture->pixels = pixels;
    return true;
}

// A new texture holding the picture, set up as every texture of the program.
uint32_t makeTexture(const Picture& picture, int mipmaps)
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
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, picture.width, picture.height, GL_BGR_EXT, GL_UNSIGNED_BYTE,
                          picture.pixels);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, 3, picture.width, picture.height, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE,
                     picture.pixels);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return name;
}

}  // namespace

uint32_t loadBmpTextureIfUsable(const char* fileName, int mipmaps)
{
    Picture picture;
    if (!readPicture(fileName, 1, &picture)) {
        return 0;
    }
    const uint32_t name = makeTexture(picture, mipmaps);
    std::free(picture.pixels);
    return name;
}

uint32_t whiteTexture(int mipmaps)
{
    static unsigned char whiteTexel[3] = {255, 255, 255};
    return makeTexture(Picture{1, 1, whiteTexel}, mipmaps);
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
