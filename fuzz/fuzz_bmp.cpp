// A bitmap through LoadBmpTexture on an offscreen OpenGL context, mip-mapped
// when the last byte is odd: OpenGL takes without an error either the picture
// at its own size or one white texel.
#include "fuzz/fuzz_support.h"
#include "model/texture.h"
#include "platform/gl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzGlSetUp();
    const std::string name = writeFuzzInput("picture.bmp", data, size);
    const int mipmaps = size > 0 ? data[size - 1] & 1 : 0;
    const GLuint texture = LoadBmpTexture(name.c_str(), mipmaps);
    fuzzCheck(texture != 0, "no texture");
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    fuzzCheck(width >= 1 && height >= 1, "an empty texture");
    fuzzCheck(static_cast<size_t>(width) * static_cast<size_t>(height) <= size || (width == 1 && height == 1) ||
                  mipmaps != 0,
              "a texture larger than its file");
    fuzzCheck(glGetError() == GL_NO_ERROR, "OpenGL refused the picture");
    fuzzForgetTextures();
    return 0;
}
