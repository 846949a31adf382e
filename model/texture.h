// Loading an uncompressed 24-bit BMP file into a new OpenGL texture.
//
// All pictures loaded in one run share a budget of texels: a picture that
// would overrun what is left is refused like an unusable file. Together with
// the model readers' sharing of textures among materials, this bounds the
// texture memory any content can make the program take.
#pragma once
#include <cstddef>
#include <cstdint>

#include "model/file_bytes.h"

// 32 million texels: 128 MB as the driver stores RGB textures (four bytes a
// texel), about 170 MB with mip-maps; thirty times what the scene's own
// pictures need.
const int64_t textureTexelBudget = int64_t(1) << 25;

// A bitmap's picture: rows of width * 3 bytes (blue, green, red), tightly
// packed, row 0 the picture's top.
struct BmpPicture {
    int32_t width = 0;
    int32_t height = 0;
    OwnedStorage<unsigned char> pixels;
};

// Decodes an uncompressed 24-bit BMP file held in memory, rows stored bottom
// row first (or top row first under a negative height), padded to four
// bytes. False, with *problem saying why in a few words, for a file that
// cannot be used: shorter than its headers or its pixels, another pixel
// format, a side of 0 or over 16384, or more than `texelLimit` texels.
bool bmpParse(const uint8_t* file, size_t size, int64_t texelLimit, BmpPicture* picture, const char** problem);

// The texture of a bitmap held in memory, or 0 (and a warning naming `name`)
// when it cannot be used; its texels are taken from the budget.
uint32_t bmpTextureIfUsable(const char* name, const uint8_t* file, size_t size, int mipmaps);

// Returns the new texture's name, left bound to GL_TEXTURE_2D. Needs a
// current OpenGL context. With `mipmaps` nonzero a full mip-map chain is
// built. A bitmap that cannot be used gives a texture of one white texel.
uint32_t LoadBmpTexture(const char* fileName, int mipmaps);

// As LoadBmpTexture, but for a bitmap that cannot be used no texture is made
// and the result is 0.
uint32_t loadBmpTextureIfUsable(const char* fileName, int mipmaps);

// A new texture of one white texel, set up as LoadBmpTexture's textures are.
uint32_t whiteTexture(int mipmaps);

// Sets the texels left to load, the whole budget unless given. The program
// never calls this; tests and the fuzzing harnesses, which delete their
// textures, do.
void setTextureBudget(int64_t texels = textureTexelBudget);
