// The state of the browser's OpenGL 1.1 layer, shared by its files (not a
// public header: only platform/web/ includes it).
//
// The program draws in immediate mode; the layer gathers the vertices of
// successive glBegin/glEnd pairs into one batch and draws it with a single
// WebGL call when something the batch depends on is about to change: a
// matrix, the light, a capability, the texture, the blending, the depth
// mask, or the kind of primitive. The vertex shader computes the fixed
// pipeline's one light per vertex, as OpenGL 1.1 does.
//
// A batch drawn unchanged frame after frame is kept in a buffer of its own
// (batch_cache.h) rather than uploaded again, each program is given only
// the uniforms that changed since it last drew, and bindings are made only
// when they change. Of a batch of triangles only those that may make a
// pixel are sent (cull.h); a kept batch's index buffer is given them again
// when the view changes.
//
// Every WebGL object is made again from the layer's own copies when a lost
// WebGL context comes back: the programs, the kept batches, the textures
// with their mip-maps and the glyph bitmaps; the program's texture names
// are the layer's, so they stay valid across the loss.
#pragma once
#include <GL/gl.h>

// One vertex as the batch stores it, and as the shader reads it.
struct GlVertex {
    float position[3];
    float normal[3];
    float colour[4];
    float texCoord[2];
};

enum {
    glBatchCapacity = 32768,  // vertices; a full batch is drawn and begun again
};

struct GlLight {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float position[4];       // in eye coordinates, taken through the model-view matrix when set
    float spotDirection[3];  // likewise, through its upper 3 x 3
    float spotExponent;
    float spotCutoff;      // degrees; 180 is no spot
    float attenuation[3];  // constant, linear, quadratic
};

// What the layer sends to WebGL, counted from the start.
struct GlCounters {
    long frames;
    long draws;
    long uploads;  // buffer uploads of vertices
    long uploadBytes;
    long triangles;         // sent to be drawn
    long trianglesDropped;  // left out as making no pixel (cull.h)
    long programChanges;
    long uniformUploads;
    long textureBinds;
};

struct GlLayer {
    bool ready;  // the shaders and buffers exist, on a context not lost
    // Matrices, column-major as OpenGL keeps them.
    float modelView[16];
    float projection[16];
    GLenum matrixMode;
    bool matricesChanged;  // not yet given to the shader
    // The light, the light model and the capabilities the shader needs.
    GlLight light;
    float modelAmbient[4];
    bool lightChanged;
    bool lighting;
    bool light0;
    bool texturing;
    // The attributes the next vertex takes.
    float normal[3];
    float colour[4];
    float texCoord[2];
    // The batch being gathered.
    GLenum batchMode;  // GL_TRIANGLES, GL_LINES or GL_POINTS
    int batchCount;
    bool insideBegin;
    GLenum beginMode;
    GlVertex batch[glBatchCapacity];
    GLuint boundTexture;  // the program's texture on GL_TEXTURE_2D
    // Pixel transfer.
    GLint unpackAlignment;
    GLint packAlignment;
    GLint viewport[4];
    GlCounters counters;
};

extern GlLayer glLayer;

// Creates the shaders and buffers on the current WebGL context and sets
// the fixed pipeline's start state; called once the context exists.
void glLayerInit(int width, int height);

// A program of the two shaders, compiled and linked; a shader that doesn't
// compile is reported (notice.h).
GLuint glLayerLinkProgram(const char* vertexText, const char* fragmentText);

// Whether back faces are culled (GL_CULL_FACE), which the layer's own
// culling of triangles follows too (gl_immediate.cpp).
bool glLayerCullsBackFaces();

// Draws the batch gathered so far, if any.
void glLayerFlush();

// The window position of an object point under the current matrices:
// x and y in pixels from the lower left, z in 0..1; false when it lies
// outside the view volume.
bool glLayerProject(float x, float y, float z, float window[3]);

// Draws the glyph bitmaps of a display list (gl_lists.cpp).
void glLayerInitLists();

// Bindings made only when they change (all forgotten with the context).
void glLayerUseProgram(GLuint program);
void glLayerBindVertexArray(GLuint array);
void glLayerBindTexture(GLuint object);  // a WebGL texture, not a program's name

// The WebGL texture behind one of the program's texture names (gl_texture.cpp).
GLuint glLayerTextureObject(GLuint name);

// Draws what is gathered and ends the frame (the kept batches age).
void glLayerEndFrame();

// The context was lost: nothing is drawn until glLayerRestore() has made
// every object again on the restored context and sent the state.
void glLayerLose();
void glLayerRestore();
// Each file's part of that (the capabilities, the frame buffer state, the
// textures, the glyph lists).
void glLayerRestoreCapabilities();
void glLayerRestoreFrameState();
void glLayerRestoreTextures();
void glLayerRestoreLists();
