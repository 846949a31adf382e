// Display lists of glyph bitmaps in the browser's OpenGL layer: glNewList
// and glEndList record the glBitmap calls made between them, glCallLists
// replays them from the raster position that glRasterPos2f set, in the
// colour current at that moment. This is what the frame-rate text needs;
// lists record nothing else.
//
// Each bitmap becomes a one-channel texture when it is recorded, and keeps
// its texels for a restored context; drawing it is a quad of exactly its
// pixels whose cleared bits are discarded.
#include <cmath>
#include <vector>

#include "platform/web/gl_layer.h"
#include "platform/web/webgl.h"

namespace {

const GLenum webglRed = 0x1903;   // GL_RED
const GLenum webglRed8 = 0x8229;  // GL_R8

const char* const vertexSource = R"(#version 300 es
in vec4 corner;  // window x, y in pixels; texture s, t
uniform vec2 viewportSize;
uniform float depth;
out vec2 texCoord;
void main() {
    gl_Position = vec4(corner.xy / viewportSize * 2.0 - 1.0, depth, 1.0);
    texCoord = corner.zw;
}
)";

const char* const fragmentSource = R"(#version 300 es
precision highp float;
in vec2 texCoord;
uniform sampler2D bits;
uniform vec4 rasterColour;
out vec4 fragmentColour;
void main() {
    if (texture(bits, texCoord).r < 0.5)
        discard;
    fragmentColour = rasterColour;
}
)";

struct Bitmap {
    GLsizei width, height;
    GLfloat xorig, yorig, xmove, ymove;
    GLuint texture;
    std::vector<unsigned char> texels;  // a byte a pixel, rows bottom up
};

struct List {
    int first;  // its bitmaps in `bitmaps`
    int count;
};

struct Lists {
    std::vector<Bitmap> bitmaps;
    std::vector<List> lists;  // indexed by list name
    int compiling;            // the list being recorded, -1 for none
    GLuint base;
    bool rasterValid;
    float raster[3];
    float rasterColour[4];
    GLuint program, vertexArray, buffer;
    GLint viewportSize, depth, colour;
};
Lists state;

void drawBitmap(const Bitmap& b)
{
    if (!state.rasterValid)
        return;
    if (b.width > 0 && b.height > 0) {
        const float x = std::floor(state.raster[0] - b.xorig);
        const float y = std::floor(state.raster[1] - b.yorig);
        const float w = static_cast<float>(b.width), h = static_cast<float>(b.height);
        const float corners[16] = {x, y, 0, 0, x + w, y, 1, 0, x, y + h, 0, 1, x + w, y + h, 1, 1};
        glLayerBindTexture(b.texture);
        emscripten_glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof corners, corners);
        emscripten_glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    }
    state.raster[0] += b.xmove;
    state.raster[1] += b.ymove;
}

void makeTexture(Bitmap& b)
{
    emscripten_glGenTextures(1, &b.texture);
    glLayerBindTexture(b.texture);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    emscripten_glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(webglRed8), b.width, b.height, 0, webglRed,
                            GL_UNSIGNED_BYTE, b.texels.data());
}

// The program and the buffer for the quads.
void makeObjects()
{
    state.program = glLayerLinkProgram(vertexSource, fragmentSource);
    glLayerUseProgram(state.program);
    state.viewportSize = emscripten_glGetUniformLocation(state.program, "viewportSize");
    state.depth = emscripten_glGetUniformLocation(state.program, "depth");
    state.colour = emscripten_glGetUniformLocation(state.program, "rasterColour");
    emscripten_glUniform1i(emscripten_glGetUniformLocation(state.program, "bits"), 0);
    emscripten_glGenVertexArrays(1, &state.vertexArray);
    glLayerBindVertexArray(state.vertexArray);
    emscripten_glGenBuffers(1, &state.buffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, state.buffer);
    emscripten_glBufferData(GL_ARRAY_BUFFER, 16 * sizeof(float), nullptr, GL_DYNAMIC_DRAW);
    const GLint corner = emscripten_glGetAttribLocation(state.program, "corner");
    emscripten_glEnableVertexAttribArray(static_cast<GLuint>(corner));
    emscripten_glVertexAttribPointer(static_cast<GLuint>(corner), 4, GL_FLOAT, GL_FALSE, 0, nullptr);
}

}  // namespace

void glLayerInitLists()
{
    state.compiling = -1;
    state.base = 0;
    state.rasterValid = false;
    makeObjects();
}

void glLayerRestoreLists()
{
    makeObjects();
    for (Bitmap& b : state.bitmaps)
        if (!b.texels.empty())
            makeTexture(b);
}

void glNewList(GLuint list, GLenum)
{
    if (list >= state.lists.size())
        state.lists.resize(list + 1, List{0, 0});
    state.lists[list] = List{static_cast<int>(state.bitmaps.size()), 0};
    state.compiling = static_cast<int>(list);
}

void glEndList()
{
    state.compiling = -1;
}

void glBitmap(GLsizei width, GLsizei height, GLfloat xorig, GLfloat yorig, GLfloat xmove, GLfloat ymove,
              const GLubyte* bitmap)
{
    Bitmap b = {width > 0 ? width : 0, height > 0 ? height : 0, xorig, yorig, xmove, ymove, 0, {}};
    if (b.width > 0 && b.height > 0 && bitmap != nullptr) {
        // Rows run bottom up, most significant bit leftmost, each row
        // starting on the unpack alignment; texture row 0 is the bottom too.
        const size_t alignment = static_cast<size_t>(glLayer.unpackAlignment);
        const size_t stride = (static_cast<size_t>(b.width + 7) / 8 + alignment - 1) / alignment * alignment;
        b.texels.resize(static_cast<size_t>(b.width) * static_cast<size_t>(b.height));
        for (GLsizei row = 0; row < b.height; row++)
            for (GLsizei col = 0; col < b.width; col++)
                b.texels[static_cast<size_t>(row * b.width + col)] =
                    (bitmap[static_cast<size_t>(row) * stride + static_cast<size_t>(col / 8)] & (0x80 >> (col % 8)))
                        ? 255
                        : 0;
        glLayerFlush();
        if (glLayer.ready)
            makeTexture(b);
    }
    if (state.compiling >= 0) {
        state.bitmaps.push_back(b);
        state.lists[static_cast<size_t>(state.compiling)].count++;
    }
}

void glListBase(GLuint base)
{
    state.base = base;
}

void glRasterPos2f(GLfloat x, GLfloat y)
{
    state.rasterValid = glLayerProject(x, y, 0.0f, state.raster);
    for (int i = 0; i < 4; i++)
        state.rasterColour[i] = glLayer.colour[i];
}

void glCallLists(GLsizei n, GLenum type, const GLvoid* lists)
{
    if (type != GL_UNSIGNED_BYTE || n <= 0 || lists == nullptr)
        return;
    glLayerFlush();
    if (!glLayer.ready)
        return;
    glLayerUseProgram(state.program);
    glLayerBindVertexArray(state.vertexArray);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, state.buffer);
    emscripten_glUniform2f(state.viewportSize, static_cast<float>(glLayer.viewport[2]),
                           static_cast<float>(glLayer.viewport[3]));
    emscripten_glUniform1f(state.depth, state.raster[2] * 2.0f - 1.0f);
    emscripten_glUniform4fv(state.colour, 1, state.rasterColour);
    const GLubyte* names = static_cast<const GLubyte*>(lists);
    for (GLsizei i = 0; i < n; i++) {
        const size_t name = state.base + names[i];
        if (name >= state.lists.size())
            continue;
        const List& list = state.lists[name];
        for (int k = 0; k < list.count; k++)
            drawBitmap(state.bitmaps[static_cast<size_t>(list.first + k)]);
    }
}
