// The frame buffer calls of the browser's OpenGL layer: clearing, blending,
// the depth mask, the viewport, finishing and reading pixels back.
//
// WebGL reads only RGBA bytes: glReadPixels reads those into a buffer kept
// from call to call and hands the program the format and row alignment it
// asked for.
#include <vector>

#include "platform/web/gl_layer.h"
#include "platform/web/webgl.h"

namespace {

std::vector<unsigned char> readBack;  // grows to the largest read, then stays
GLenum blendSource = GL_ONE, blendDestination = GL_ZERO;
GLboolean depthWrites = GL_TRUE;
GLclampf clearColour[4] = {0, 0, 0, 0};

}  // namespace

void glLayerRestoreFrameState()
{
    // A restored context starts from WebGL's defaults.
    emscripten_glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    emscripten_glBlendFunc(blendSource, blendDestination);
    emscripten_glDepthMask(depthWrites);
    const GLint* v = glLayer.viewport;
    emscripten_glViewport(v[0], v[1], v[2], v[3]);
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha)
{
    clearColour[0] = red;
    clearColour[1] = green;
    clearColour[2] = blue;
    clearColour[3] = alpha;
    emscripten_glClearColor(red, green, blue, alpha);
}

void glClear(GLbitfield mask)
{
    glLayerFlush();
    if (glLayer.ready)
        emscripten_glClear(mask);
}

void glBlendFunc(GLenum sfactor, GLenum dfactor)
{
    if (sfactor == blendSource && dfactor == blendDestination)
        return;
    glLayerFlush();
    blendSource = sfactor;
    blendDestination = dfactor;
    emscripten_glBlendFunc(sfactor, dfactor);
}

void glDepthMask(GLboolean flag)
{
    if (flag == depthWrites)
        return;
    glLayerFlush();
    depthWrites = flag;
    emscripten_glDepthMask(flag);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    GlLayer& g = glLayer;
    if (g.viewport[0] == x && g.viewport[1] == y && g.viewport[2] == width && g.viewport[3] == height)
        return;
    glLayerFlush();
    g.viewport[0] = x;
    g.viewport[1] = y;
    g.viewport[2] = width;
    g.viewport[3] = height;
    emscripten_glViewport(x, y, width, height);
}

void glFinish()
{
    glLayerFlush();
    emscripten_glFinish();
}

void glReadBuffer(GLenum)
{
    // The default frame buffer is read: the frame being drawn.
}

void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels)
{
    if (width <= 0 || height <= 0 || type != GL_UNSIGNED_BYTE || (format != GL_RGB && format != GL_RGBA))
        return;
    glLayerFlush();
    const size_t texels = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (readBack.size() < texels * 4)
        readBack.resize(texels * 4);
    emscripten_glPixelStorei(GL_PACK_ALIGNMENT, 4);
    emscripten_glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, readBack.data());
    const size_t components = format == GL_RGB ? 3 : 4;
    const size_t rowBytes = static_cast<size_t>(width) * components;
    const size_t alignment = static_cast<size_t>(glLayer.packAlignment);
    const size_t stride = (rowBytes + alignment - 1) / alignment * alignment;
    unsigned char* out = static_cast<unsigned char*>(pixels);
    for (GLsizei row = 0; row < height; row++) {
        const unsigned char* from = readBack.data() + static_cast<size_t>(row) * static_cast<size_t>(width) * 4;
        unsigned char* to = out + static_cast<size_t>(row) * stride;
        for (GLsizei col = 0; col < width; col++)
            for (size_t c = 0; c < components; c++)
                to[static_cast<size_t>(col) * components + c] = from[static_cast<size_t>(col) * 4 + c];
    }
}
