// Immediate mode and the capabilities of the browser's OpenGL layer.
//
// glVertex3f appends a vertex with the current normal, colour and texture
// coordinates to the batch; glBegin starts a new batch only when the kind
// of primitive changes. A capability that the shader reads (lighting, the
// light, texturing) or WebGL holds (depth test, culling, blending) draws the
// batch first, and only when its state really changes.
#include "platform/web/gl_layer.h"
#include "platform/web/webgl.h"

namespace {

// The WebGL capabilities as last set; the program starts with all off.
struct Capabilities {
    bool depthTest;
    bool cullFace;
    bool blend;
};
Capabilities webgl = {false, false, false};

bool* flagOf(GLenum cap)
{
    switch (cap) {
    case GL_LIGHTING: return &glLayer.lighting;
    case GL_LIGHT0: return &glLayer.light0;
    case GL_TEXTURE_2D: return &glLayer.texturing;
    case GL_DEPTH_TEST: return &webgl.depthTest;
    case GL_CULL_FACE: return &webgl.cullFace;
    case GL_BLEND: return &webgl.blend;
    default: return nullptr;
    }
}

void send(GLenum cap, bool on)
{
    if (on)
        emscripten_glEnable(cap);
    else
        emscripten_glDisable(cap);
}

void setCapability(GLenum cap, bool on)
{
    bool* flag = flagOf(cap);
    if (flag == nullptr || *flag == on)
        return;
    glLayerFlush();
    *flag = on;
    if (cap == GL_LIGHT0)
        glLayer.lightChanged = true;
    if (cap == GL_DEPTH_TEST || cap == GL_CULL_FACE || cap == GL_BLEND)
        send(cap, on);
}

int verticesPerPrimitive(GLenum mode)
{
    return mode == GL_TRIANGLES ? 3 : mode == GL_LINES ? 2 : 1;
}

}  // namespace

bool glLayerCullsBackFaces()
{
    return webgl.cullFace;
}

void glLayerRestoreCapabilities()
{
    send(GL_DEPTH_TEST, webgl.depthTest);
    send(GL_CULL_FACE, webgl.cullFace);
    send(GL_BLEND, webgl.blend);
}

void glEnable(GLenum cap)
{
    setCapability(cap, true);
}

void glDisable(GLenum cap)
{
    setCapability(cap, false);
}

void glBegin(GLenum mode)
{
    GlLayer& g = glLayer;
    if (mode != GL_TRIANGLES && mode != GL_LINES && mode != GL_POINTS)
        mode = GL_NONE;  // not a primitive the program draws: its vertices are dropped
    if (g.batchCount > 0 && mode != g.batchMode)
        glLayerFlush();
    g.batchMode = mode;
    g.beginMode = mode;
    g.insideBegin = true;
}

void glEnd()
{
    // A primitive left unfinished is dropped, as OpenGL drops it.
    GlLayer& g = glLayer;
    if (g.beginMode != GL_NONE)
        g.batchCount -= g.batchCount % verticesPerPrimitive(g.beginMode);
    g.insideBegin = false;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    GlLayer& g = glLayer;
    if (!g.insideBegin || g.beginMode == GL_NONE || !g.ready)
        return;
    if (g.batchCount == glBatchCapacity) {
        // Full: draw the whole primitives and carry the started one over.
        const int started = g.batchCount % verticesPerPrimitive(g.batchMode);
        g.batchCount -= started;
        glLayerFlush();
        for (int i = 0; i < started; i++)
            g.batch[i] = g.batch[glBatchCapacity - started + i];
        g.batchCount = started;
    }
    GlVertex& v = g.batch[g.batchCount++];
    v.position[0] = x;
    v.position[1] = y;
    v.position[2] = z;
    v.normal[0] = g.normal[0];
    v.normal[1] = g.normal[1];
    v.normal[2] = g.normal[2];
    v.colour[0] = g.colour[0];
    v.colour[1] = g.colour[1];
    v.colour[2] = g.colour[2];
    v.colour[3] = g.colour[3];
    v.texCoord[0] = g.texCoord[0];
    v.texCoord[1] = g.texCoord[1];
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z)
{
    glLayer.normal[0] = x;
    glLayer.normal[1] = y;
    glLayer.normal[2] = z;
}

void glTexCoord2f(GLfloat s, GLfloat t)
{
    glLayer.texCoord[0] = s;
    glLayer.texCoord[1] = t;
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    glLayer.colour[0] = red;
    glLayer.colour[1] = green;
    glLayer.colour[2] = blue;
    glLayer.colour[3] = alpha;
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue)
{
    glColor4f(red, green, blue, 1.0f);
}
