// Texture objects of the browser's OpenGL layer: names, binding, parameters,
// the texture environment, and uploads in the blue-green-red order of
// EXT_bgra, which WebGL lacks; gluBuild2DMipmaps uploads the chain GLU
// would make (mipmaps.h).
//
// Pictures are read with the unpack alignment the program set and handed to
// WebGL as tightly packed red-green-blue rows.
#include <vector>

#include "platform/gl.h"
#include "platform/web/gl_layer.h"
#include "platform/web/mipmaps.h"
#include "platform/web/webgl.h"

namespace {

// A picture of `format` texels (GL_RGB or GL_BGR_EXT, unsigned bytes) as
// tightly packed RGB rows; empty for any other format.
std::vector<unsigned char> packedRgb(GLsizei width, GLsizei height, GLenum format, GLenum type, const void* pixels)
{
    std::vector<unsigned char> rgb;
    if ((format != GL_RGB && format != GL_BGR_EXT) || type != GL_UNSIGNED_BYTE || pixels == nullptr || width <= 0 ||
        height <= 0)
        return rgb;
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    const size_t alignment = static_cast<size_t>(glLayer.unpackAlignment);
    const size_t stride = (rowBytes + alignment - 1) / alignment * alignment;
    rgb.resize(rowBytes * static_cast<size_t>(height));
    const unsigned char* source = static_cast<const unsigned char*>(pixels);
    for (GLsizei y = 0; y < height; y++) {
        const unsigned char* from = source + static_cast<size_t>(y) * stride;
        unsigned char* to = rgb.data() + static_cast<size_t>(y) * rowBytes;
        for (size_t x = 0; x < rowBytes; x += 3) {
            to[x] = from[format == GL_BGR_EXT ? x + 2 : x];
            to[x + 1] = from[x + 1];
            to[x + 2] = from[format == GL_BGR_EXT ? x : x + 2];
        }
    }
    return rgb;
}

void upload(GLint level, GLsizei width, GLsizei height, const unsigned char* rgb)
{
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    emscripten_glTexImage2D(GL_TEXTURE_2D, level, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
}

}  // namespace

void glGenTextures(GLsizei n, GLuint* textures)
{
    emscripten_glGenTextures(n, textures);
}

void glBindTexture(GLenum target, GLuint texture)
{
    glLayerFlush();
    glLayer.boundTexture = texture;
    emscripten_glBindTexture(target, texture);
}

void glTexParameterf(GLenum target, GLenum pname, GLfloat param)
{
    glLayerFlush();
    emscripten_glTexParameteri(target, pname, static_cast<GLint>(param));
}

void glTexEnvf(GLenum, GLenum, GLfloat)
{
    // GL_MODULATE, the only environment the program sets, is what the
    // fragment shader does.
}

void glPixelStorei(GLenum pname, GLint param)
{
    if (param != 1 && param != 2 && param != 4 && param != 8)
        return;
    if (pname == GL_UNPACK_ALIGNMENT)
        glLayer.unpackAlignment = param;
    else if (pname == GL_PACK_ALIGNMENT)
        glLayer.packAlignment = param;
}

void glGetIntegerv(GLenum pname, GLint* params)
{
    switch (pname) {
    case GL_UNPACK_ALIGNMENT: params[0] = glLayer.unpackAlignment; break;
    case GL_PACK_ALIGNMENT: params[0] = glLayer.packAlignment; break;
    case GL_VIEWPORT:
        for (int i = 0; i < 4; i++)
            params[i] = glLayer.viewport[i];
        break;
    default: params[0] = 0; break;
    }
}

void glTexImage2D(GLenum target, GLint level, GLint, GLsizei width, GLsizei height, GLint, GLenum format, GLenum type,
                  const GLvoid* pixels)
{
    const std::vector<unsigned char> rgb = packedRgb(width, height, format, type, pixels);
    if (target != GL_TEXTURE_2D || rgb.empty())
        return;
    glLayerFlush();
    upload(level, width, height, rgb.data());
}

GLint gluBuild2DMipmaps(GLenum target, GLint, GLsizei width, GLsizei height, GLenum format, GLenum type,
                        const void* data)
{
    const std::vector<unsigned char> rgb = packedRgb(width, height, format, type, data);
    if (target != GL_TEXTURE_2D || rgb.empty())
        return GLU_INVALID_VALUE;
    glLayerFlush();
    const std::vector<MipLevel> chain = mipChain(rgb.data(), width, height, 3);
    for (size_t level = 0; level < chain.size(); level++)
        upload(static_cast<GLint>(level), chain[level].width, chain[level].height, chain[level].texels.data());
    return 0;
}
