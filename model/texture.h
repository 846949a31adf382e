// Loading an uncompressed 24-bit BMP file into a new OpenGL texture.
#pragma once
#include <cstdint>

// Returns the new texture's name, left bound to GL_TEXTURE_2D. Needs a
// current OpenGL context. With `mipmaps` nonzero a full mip-map chain is built.
uint32_t LoadBmpTexture(const char* fileName, int mipmaps);
