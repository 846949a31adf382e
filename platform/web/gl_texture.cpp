// Texture objects of the browser's OpenGL layer: names, binding, parameters,
// the texture environment, and uploads in the blue-green-red order of
// EXT_bgra, which WebGL lacks; gluBuild2DMipmaps uploads the chain GLU
// would make (mipmaps.h).
//
// Pictures are read with the unpack alignment the program set and handed to
// WebGL as tightly packed red-green-blue rows.
//
// The program's texture names are the layer's own, each with a copy of its
// levels and parameters, so that a lost context's textures are made again
// under the same names.
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

struct Level {
    GLsizei width, height;
    std::vector<unsigned char> rgb;
};

struct Texture {
    GLuint object;        // on the current context
    GLint parameters[4];  // min and mag filter, wrap s and t
    std::vector<Level> levels;
};

const GLenum parameterNames[4] = {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER, GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T};

std::vector<Texture> textures;  // name k is textures[k - 1]

// The texture bound now, made on first use of a name never generated, as
// OpenGL does; null for name 0.
Texture* bound()
{
    const GLuint name = glLayer.boundTexture;
    if (name == 0)
        return nullptr;
    if (name > textures.size())
        textures.resize(name, Texture{0, {GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT}, {}});
    Texture& t = textures[name - 1];
    if (t.object == 0 && glLayer.ready)
        emscripten_glGenTextures(1, &t.object);
    return &t;
}

void upload(const Level& level, GLint index)
{
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    emscripten_glTexImage2D(GL_TEXTURE_2D, index, GL_RGB, level.width, level.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                            level.rgb.data());
}

// Keeps `level` of the bound texture and uploads it.
void store(GLint index, Level level)
{
    Texture* t = bound();
    if (t == nullptr || index < 0 || index > 30)
        return;
    if (t->levels.size() <= static_cast<size_t>(index))
        t->levels.resize(static_cast<size_t>(index) + 1);
    t->levels[static_cast<size_t>(index)] = std::move(level);
    if (!glLayer.ready)
        return;
    glLayerBindTexture(t->object);
    upload(t->levels[static_cast<size_t>(index)], index);
}

}  // namespace

GLuint glLayerTextureObject(GLuint name)
{
    return name == 0 || name > textures.size() ? 0 : textures[name - 1].object;
}

void glLayerRestoreTextures()
{
    for (Texture& t : textures) {
        t.object = 0;
        emscripten_glGenTextures(1, &t.object);
        glLayerBindTexture(t.object);
        for (int k = 0; k < 4; k++)
            emscripten_glTexParameteri(GL_TEXTURE_2D, parameterNames[k], t.parameters[k]);
        for (size_t level = 0; level < t.levels.size(); level++)
            if (!t.levels[level].rgb.empty())
                upload(t.levels[level], static_cast<GLint>(level));
    }
}

void glGenTextures(GLsizei n, GLuint* names)
{
    for (GLsizei i = 0; i < n; i++) {
        Texture t = {0, {GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT}, {}};
        if (glLayer.ready)
            emscripten_glGenTextures(1, &t.object);
        textures.push_back(std::move(t));
        names[i] = static_cast<GLuint>(textures.size());
    }
}

void glDeleteTextures(GLsizei n, const GLuint* names)
{
    // The name is not given out again; its object and copies go.
    for (GLsizei i = 0; i < n; i++) {
        const GLuint name = names[i];
        if (name == 0 || name > textures.size())
            continue;
        Texture& t = textures[name - 1];
        if (glLayer.boundTexture == name)
            glLayerFlush();
        if (t.object != 0 && glLayer.ready)
            emscripten_glDeleteTextures(1, &t.object);
        t.object = 0;
        t.levels.clear();
    }
}

void glBindTexture(GLenum, GLuint texture)
{
    if (texture == glLayer.boundTexture)
        return;
    // The batch is drawn with the texture it was gathered under.
    glLayerFlush();
    glLayer.boundTexture = texture;
}

void glTexParameterf(GLenum target, GLenum pname, GLfloat param)
{
    Texture* t = bound();
    if (target != GL_TEXTURE_2D || t == nullptr)
        return;
    for (int k = 0; k < 4; k++)
        if (parameterNames[k] == pname) {
            glLayerFlush();
            t->parameters[k] = static_cast<GLint>(param);
            if (glLayer.ready) {
                glLayerBindTexture(t->object);
                emscripten_glTexParameteri(target, pname, t->parameters[k]);
            }
        }
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
    std::vector<unsigned char> rgb = packedRgb(width, height, format, type, pixels);
    if (target != GL_TEXTURE_2D || rgb.empty())
        return;
    glLayerFlush();
    store(level, Level{width, height, std::move(rgb)});
}

GLint gluBuild2DMipmaps(GLenum target, GLint, GLsizei width, GLsizei height, GLenum format, GLenum type,
                        const void* data)
{
    const std::vector<unsigned char> rgb = packedRgb(width, height, format, type, data);
    if (target != GL_TEXTURE_2D || rgb.empty())
        return GLU_INVALID_VALUE;
    glLayerFlush();
    std::vector<MipLevel> chain = mipChain(rgb.data(), width, height, 3);
    for (size_t level = 0; level < chain.size(); level++)
        store(static_cast<GLint>(level),
              Level{chain[level].width, chain[level].height, std::move(chain[level].texels)});
    return 0;
}
