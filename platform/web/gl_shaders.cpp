// The shaders of the browser's OpenGL layer, the one call that draws a
// batch, and the objects made again after a lost context: the vertex shader is the fixed pipeline's transform and its
// single light, lit per vertex with the default material (the program never sets one); the fragment shader multiplies
// the texture by the vertex colour (GL_MODULATE, the only texture environment the program uses).
#include <cmath>
#include <cstddef>
#include <cstdint>

#include <cstring>
#include <string>
#include <vector>

#include "platform/notice.h"
#include "platform/web/batch_cache.h"
#include "platform/web/gl_layer.h"
#include "platform/web/webgl.h"

GlLayer glLayer;

namespace {

// The shaders come in four programs, lit or not and textured or not, made
// from one text with LIGHTING and TEXTURING defined to 0 or 1: a branch on
// a uniform would cost every vertex and pixel both sides under a software
// renderer. The attributes have fixed locations, so that one vertex array
// serves every program.
const char* const vertexBody = R"(
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec4 colour;
layout(location = 3) in vec2 texCoord;
uniform mat4 modelView;
uniform mat4 projection;
#if LIGHTING
uniform mat3 normalMatrix;
uniform vec3 sceneColour;   // material ambient x light model ambient
uniform vec3 lightAmbient;  // material ambient x light ambient
uniform vec3 lightDiffuse;  // material diffuse x light diffuse
uniform vec4 lightPosition;  // eye coordinates; w = 0 is a direction
uniform vec3 spotDirection;  // unit length, eye coordinates
uniform float spotCosCutoff;  // below -1: no spot
uniform float spotExponent;
uniform vec3 attenuation;
#endif
out vec4 vertexColour;
#if TEXTURING
out vec2 vertexTexCoord;
#endif
void main() {
    vec4 eye = modelView * vec4(position, 1.0);
    gl_Position = projection * eye;
    gl_PointSize = 1.0;
#if TEXTURING
    vertexTexCoord = texCoord;
#endif
#if !LIGHTING
    vertexColour = clamp(colour, 0.0, 1.0);
#else
    // The normal keeps its length: GL_NORMALIZE is never enabled.
    vec3 n = normalMatrix * normal;
    vec3 toLight;
    float factor = 1.0;
    if (lightPosition.w != 0.0) {
        vec3 d = lightPosition.xyz / lightPosition.w - eye.xyz / eye.w;
        float dist = length(d);
        toLight = d / dist;
        factor = 1.0 / (attenuation.x + attenuation.y * dist + attenuation.z * dist * dist);
        if (spotCosCutoff >= -1.0) {
            float s = dot(-toLight, spotDirection);
            factor *= s < spotCosCutoff ? 0.0 : (spotExponent == 0.0 ? 1.0 : pow(max(s, 0.0), spotExponent));
        }
    } else {
        toLight = normalize(lightPosition.xyz);
    }
    vec3 c = sceneColour + factor * (lightAmbient + max(dot(n, toLight), 0.0) * lightDiffuse);
    vertexColour = vec4(clamp(c, 0.0, 1.0), 1.0);
#endif
}
)";

const char* const fragmentBody = R"(
precision highp float;
in vec4 vertexColour;
#if TEXTURING
in vec2 vertexTexCoord;
uniform sampler2D picture;
#endif
out vec4 fragmentColour;
void main() {
#if TEXTURING
    fragmentColour = vertexColour * texture(picture, vertexTexCoord);
#else
    fragmentColour = vertexColour;
#endif
}
)";

// The material every face has: OpenGL's default, since no glMaterial call is made.
const float materialAmbient = 0.2f;
const float materialDiffuse = 0.8f;

enum Uniform {
    U_MODEL_VIEW,
    U_PROJECTION,
    U_NORMAL_MATRIX,
    U_SCENE_COLOUR,
    U_LIGHT_AMBIENT,
    U_LIGHT_DIFFUSE,
    U_LIGHT_POSITION,
    U_SPOT_DIRECTION,
    U_SPOT_COS_CUTOFF,
    U_SPOT_EXPONENT,
    U_ATTENUATION,
    U_PICTURE,
    U_COUNT
};
const char* const uniformNames[U_COUNT] = {"modelView",     "projection",   "normalMatrix",  "sceneColour",
                                           "lightAmbient",  "lightDiffuse", "lightPosition", "spotDirection",
                                           "spotCosCutoff", "spotExponent", "attenuation",   "picture"};

enum {
    programLit = 1,
    programTextured = 2,
    programCount = 4,
};

// One program and what it was last given.
struct Program {
    GLuint program;
    GLint uniforms[U_COUNT];
    bool matricesGiven;
    float modelView[16];
    float projection[16];
    long lightGiven;  // the light's generation, -1 for none
};

// A buffer batches are streamed through, with its vertex array and its
// index buffer.
struct Stream {
    GLuint buffer;
    GLuint vertexArray;
    GLuint indexBuffer;
    size_t capacity;  // bytes, of each buffer
    size_t indexCapacity;
};

struct Shaders {
    Program programs[programCount];
    // The n-th batch streamed in a frame goes to the n-th buffer of the
    // frame's set, and even and odd frames have a set each: a buffer is
    // written only when no draw still queued reads it, which WebGL would
    // otherwise honour by copying the buffer's whole store.
    std::vector<Stream> streams[2];
    size_t streamsUsed;
    long lightGeneration;  // counts the light's changes
    BatchCache cache;
    IndexedBatch indexed;         // the batch being drawn, as distinct vertices and indices
    std::vector<uint16_t> drawn;  // the indices of its triangles that may make a pixel
    std::vector<unsigned> released;
    // What is bound now; noBinding before anything is.
    GLuint program;
    GLuint vertexArray;
    GLuint texture;
};
Shaders shaders;

const GLuint noBinding = 0xffffffffu;

// The inverse transpose of the model-view matrix's upper 3 x 3: its columns
// are the cross products of the matrix's columns, over the determinant.
void normalMatrixOf(const float* m, float* n)
{
    const float c0[3] = {m[0], m[1], m[2]}, c1[3] = {m[4], m[5], m[6]}, c2[3] = {m[8], m[9], m[10]};
    const float* pairs[3][2] = {{c1, c2}, {c2, c0}, {c0, c1}};
    for (int k = 0; k < 3; k++) {
        const float* a = pairs[k][0];
        const float* b = pairs[k][1];
        n[3 * k + 0] = a[1] * b[2] - a[2] * b[1];
        n[3 * k + 1] = a[2] * b[0] - a[0] * b[2];
        n[3 * k + 2] = a[0] * b[1] - a[1] * b[0];
    }
    const float det = c0[0] * n[0] + c0[1] * n[1] + c0[2] * n[2];
    const float scale = det != 0.0f ? 1.0f / det : 0.0f;
    for (int i = 0; i < 9; i++)
        n[i] *= scale;
}

void giveLight(const Program& p)
{
    const GlLight& light = glLayer.light;
    const bool on = glLayer.light0;
    float scene[3], ambient[3], diffuse[3];
    for (int i = 0; i < 3; i++) {
        scene[i] = materialAmbient * glLayer.modelAmbient[i];
        ambient[i] = on ? materialAmbient * light.ambient[i] : 0.0f;
        diffuse[i] = on ? materialDiffuse * light.diffuse[i] : 0.0f;
    }
    emscripten_glUniform3fv(p.uniforms[U_SCENE_COLOUR], 1, scene);
    emscripten_glUniform3fv(p.uniforms[U_LIGHT_AMBIENT], 1, ambient);
    emscripten_glUniform3fv(p.uniforms[U_LIGHT_DIFFUSE], 1, diffuse);
    emscripten_glUniform4fv(p.uniforms[U_LIGHT_POSITION], 1, light.position);
    emscripten_glUniform3fv(p.uniforms[U_SPOT_DIRECTION], 1, light.spotDirection);
    const float cosCutoff =
        light.spotCutoff == 180.0f ? -2.0f : static_cast<float>(std::cos(light.spotCutoff * M_PI / 180.0));
    emscripten_glUniform1f(p.uniforms[U_SPOT_COS_CUTOFF], cosCutoff);
    emscripten_glUniform1f(p.uniforms[U_SPOT_EXPONENT], light.spotExponent);
    emscripten_glUniform3fv(p.uniforms[U_ATTENUATION], 1, light.attenuation);
    glLayer.counters.uniformUploads += 9;
}

// A vertex array reading GlVertex records from `buffer` by the indices in
// `indexBuffer`.
GLuint makeVertexArray(GLuint buffer, GLuint indexBuffer)
{
    GLuint array = 0;
    emscripten_glGenVertexArrays(1, &array);
    glLayerBindVertexArray(array);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const int sizes[] = {3, 3, 4, 2};
    const size_t offsets[] = {offsetof(GlVertex, position), offsetof(GlVertex, normal), offsetof(GlVertex, colour),
                              offsetof(GlVertex, texCoord)};
    for (GLuint a = 0; a < 4; a++) {
        emscripten_glEnableVertexAttribArray(a);
        emscripten_glVertexAttribPointer(a, sizes[a], GL_FLOAT, GL_FALSE, sizeof(GlVertex),
                                         reinterpret_cast<const void*>(offsets[a]));
    }
    return array;
}

// A kept batch's buffers, filled once.
void makeKept(CachedBatch& kept)
{
    IndexedBatch& indexed = kept.indexed;
    batchIndex(kept.bytes.data(), kept.bytes.size() / sizeof(GlVertex), sizeof(GlVertex), &indexed);
    kept.culled = false;
    emscripten_glGenBuffers(1, &kept.buffer);
    emscripten_glGenBuffers(1, &kept.indexBuffer);
    kept.vertexArray = makeVertexArray(kept.buffer, kept.indexBuffer);
    const long indexBytes = static_cast<long>(indexed.indices.size() * sizeof(uint16_t));
    emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<long>(indexed.vertices.size()), indexed.vertices.data(),
                            GL_STATIC_DRAW);
    emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER, indexBytes, indexed.indices.data(), GL_STATIC_DRAW);
    kept.indexCount = indexed.indices.size();
    glLayer.counters.uploads++;
    glLayer.counters.uploadBytes += static_cast<long>(indexed.vertices.size()) + indexBytes;
}

// The triangles of `indexed` that may make a pixel in the view drawn now,
// into shaders.drawn; counted.
void cullFor(const CullView& view, const IndexedBatch& indexed)
{
    shaders.drawn.clear();
    cullTriangles(view, indexed.vertices.data(), indexed.vertices.size() / sizeof(GlVertex), sizeof(GlVertex),
                  indexed.indices.data(), indexed.indices.size(), &shaders.drawn);
    glLayer.counters.trianglesDropped += static_cast<long>((indexed.indices.size() - shaders.drawn.size()) / 3);
}

// The programs and buffers on the current context, with nothing bound yet
// and no uniform given.
void makeObjects()
{
    shaders.program = shaders.vertexArray = shaders.texture = noBinding;
    for (int k = 0; k < programCount; k++) {
        Program& p = shaders.programs[k];
        const std::string defines = std::string("#version 300 es\n#define LIGHTING ") + ((k & programLit) ? "1" : "0") +
                                    "\n#define TEXTURING " + ((k & programTextured) ? "1" : "0") + "\n";
        p.program = glLayerLinkProgram((defines + vertexBody).c_str(), (defines + fragmentBody).c_str());
        glLayerUseProgram(p.program);
        for (int u = 0; u < U_COUNT; u++)
            p.uniforms[u] = emscripten_glGetUniformLocation(p.program, uniformNames[u]);
        if (k & programTextured)
            emscripten_glUniform1i(p.uniforms[U_PICTURE], 0);
        p.matricesGiven = false;
        p.lightGiven = -1;
    }
    for (std::vector<Stream>& set : shaders.streams)
        set.clear();
    shaders.streamsUsed = 0;
    for (CachedBatch& kept : shaders.cache.kept)
        makeKept(kept);
}

// Gives program `p` the matrices and the light it lacks.
void giveUniforms(Program& p, bool lit)
{
    GlLayer& g = glLayer;
    const bool newModelView = !p.matricesGiven || std::memcmp(p.modelView, g.modelView, sizeof p.modelView) != 0;
    if (newModelView) {
        std::memcpy(p.modelView, g.modelView, sizeof p.modelView);
        emscripten_glUniformMatrix4fv(p.uniforms[U_MODEL_VIEW], 1, GL_FALSE, g.modelView);
        g.counters.uniformUploads++;
        if (lit) {
            float normalMatrix[9];
            normalMatrixOf(g.modelView, normalMatrix);
            emscripten_glUniformMatrix3fv(p.uniforms[U_NORMAL_MATRIX], 1, GL_FALSE, normalMatrix);
            g.counters.uniformUploads++;
        }
    }
    if (!p.matricesGiven || std::memcmp(p.projection, g.projection, sizeof p.projection) != 0) {
        std::memcpy(p.projection, g.projection, sizeof p.projection);
        emscripten_glUniformMatrix4fv(p.uniforms[U_PROJECTION], 1, GL_FALSE, g.projection);
        g.counters.uniformUploads++;
    }
    p.matricesGiven = true;
    if (lit && p.lightGiven != shaders.lightGeneration) {
        giveLight(p);
        p.lightGiven = shaders.lightGeneration;
    }
}

}  // namespace

void glLayerUseProgram(GLuint program)
{
    if (program == shaders.program)
        return;
    shaders.program = program;
    emscripten_glUseProgram(program);
    glLayer.counters.programChanges++;
}

void glLayerBindVertexArray(GLuint array)
{
    if (array == shaders.vertexArray)
        return;
    shaders.vertexArray = array;
    emscripten_glBindVertexArray(array);
}

void glLayerBindTexture(GLuint object)
{
    if (object == shaders.texture)
        return;
    shaders.texture = object;
    emscripten_glBindTexture(GL_TEXTURE_2D, object);
    glLayer.counters.textureBinds++;
}

GLuint glLayerLinkProgram(const char* vertexText, const char* fragmentText)
{
    const GLuint program = emscripten_glCreateProgram();
    const GLenum types[2] = {GL_VERTEX_SHADER, GL_FRAGMENT_SHADER};
    const char* const sources[2] = {vertexText, fragmentText};
    for (int i = 0; i < 2; i++) {
        const GLuint shader = emscripten_glCreateShader(types[i]);
        emscripten_glShaderSource(shader, 1, &sources[i], nullptr);
        emscripten_glCompileShader(shader);
        GLint ok = 0;
        emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
        if (!ok) {
            char log[1024] = "";
            emscripten_glGetShaderInfoLog(shader, sizeof log, nullptr, log);
            noticeShow(NOTICE_WARNING,
                       std::string("Vexarion: a shader of the OpenGL layer does not compile: ") + log + "\n");
        }
        emscripten_glAttachShader(program, shader);
    }
    emscripten_glLinkProgram(program);
    return program;
}

void glLayerInit(int width, int height)
{
    makeObjects();
    shaders.lightGeneration = 0;

    // OpenGL's start state, as a new desktop context has it.
    GlLayer& g = glLayer;
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; i++)
        g.modelView[i] = g.projection[i] = identity[i];
    g.matrixMode = GL_MODELVIEW;
    g.matricesChanged = true;
    g.light = GlLight{{0, 0, 0, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}, {0, 0, 1, 0}, {0, 0, -1}, 0, 180, {1, 0, 0}};
    const float modelAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    for (int i = 0; i < 4; i++)
        g.modelAmbient[i] = modelAmbient[i];
    g.lightChanged = true;
    g.lighting = g.light0 = g.texturing = false;
    g.normal[0] = g.normal[1] = 0.0f;
    g.normal[2] = 1.0f;
    for (int i = 0; i < 4; i++)
        g.colour[i] = 1.0f;
    g.texCoord[0] = g.texCoord[1] = 0.0f;
    g.batchMode = GL_TRIANGLES;
    g.batchCount = 0;
    g.insideBegin = false;
    g.boundTexture = 0;
    g.unpackAlignment = g.packAlignment = 4;
    g.viewport[0] = g.viewport[1] = 0;
    g.viewport[2] = width;
    g.viewport[3] = height;
    g.ready = true;
    glLayerInitLists();
}

void glLayerFlush()
{
    GlLayer& g = glLayer;
    if (!g.ready || g.batchCount == 0) {
        g.batchCount = 0;
        return;
    }
    if (g.lightChanged) {
        shaders.lightGeneration++;
        g.lightChanged = false;
    }
    g.matricesChanged = false;
    const int kind = (g.lighting ? programLit : 0) | (g.texturing ? programTextured : 0);
    Program& p = shaders.programs[kind];
    glLayerUseProgram(p.program);
    giveUniforms(p, g.lighting);
    if (g.texturing)
        glLayerBindTexture(glLayerTextureObject(g.boundTexture));

    // The unlit programs never read the normal: cleared, it makes no two
    // vertices differ, and more of them are shared.
    if (!g.lighting)
        for (int i = 0; i < g.batchCount; i++)
            g.batch[i].normal[0] = g.batch[i].normal[1] = g.batch[i].normal[2] = 0.0f;
    const size_t bytes = sizeof(GlVertex) * static_cast<size_t>(g.batchCount);
    const BatchAnswer answer = batchLookUp(&shaders.cache, g.batch, bytes);
    if (answer.choice == BATCH_KEEP)
        makeKept(shaders.cache.kept[answer.index]);
    // Triangles are culled on the CPU first (cull.h); lines and points are
    // drawn as they come.
    const bool culling = g.batchMode == GL_TRIANGLES;
    CullView view = {};
    if (culling)
        view = cullViewOf(g.projection, g.modelView, g.viewport, glLayerCullsBackFaces());
    size_t indexCount = 0;
    if (answer.choice == BATCH_STREAM) {
        IndexedBatch& indexed = shaders.indexed;
        batchIndex(g.batch, static_cast<size_t>(g.batchCount), sizeof(GlVertex), &indexed);
        const std::vector<uint16_t>* indices = &indexed.indices;
        if (culling) {
            cullFor(view, indexed);
            indices = &shaders.drawn;
        }
        if (indices->empty()) {
            g.batchCount = 0;
            return;
        }
        std::vector<Stream>& set = shaders.streams[g.counters.frames & 1];
        if (shaders.streamsUsed == set.size()) {
            Stream fresh = {0, 0, 0, 0, 0};
            emscripten_glGenBuffers(1, &fresh.buffer);
            emscripten_glGenBuffers(1, &fresh.indexBuffer);
            fresh.vertexArray = makeVertexArray(fresh.buffer, fresh.indexBuffer);
            set.push_back(fresh);
        }
        Stream& stream = set[shaders.streamsUsed++];
        glLayerBindVertexArray(stream.vertexArray);
        const size_t vertexBytes = indexed.vertices.size();
        const size_t indexBytes = indices->size() * sizeof(uint16_t);
        emscripten_glBindBuffer(GL_ARRAY_BUFFER, stream.buffer);
        if (vertexBytes > stream.capacity) {
            stream.capacity = vertexBytes + vertexBytes / 2;
            emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<long>(stream.capacity), nullptr, GL_DYNAMIC_DRAW);
        }
        emscripten_glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<long>(vertexBytes), indexed.vertices.data());
        if (indexBytes > stream.indexCapacity) {
            stream.indexCapacity = indexBytes + indexBytes / 2;
            emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<long>(stream.indexCapacity), nullptr,
                                    GL_DYNAMIC_DRAW);
        }
        emscripten_glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, static_cast<long>(indexBytes), indices->data());
        indexCount = indices->size();
        g.counters.uploads++;
        g.counters.uploadBytes += static_cast<long>(vertexBytes + indexBytes);
    } else {
        CachedBatch& kept = shaders.cache.kept[answer.index];
        glLayerBindVertexArray(kept.vertexArray);
        // A kept batch's vertices stay; its index buffer is given the
        // triangles of each new view (the bound vertex array holds it).
        if (culling && !(kept.culled && cullSameView(kept.culledFor, view))) {
            cullFor(view, kept.indexed);
            kept.indexCount = shaders.drawn.size();
            kept.culledFor = view;
            kept.culled = true;
            const long indexBytes = static_cast<long>(kept.indexCount * sizeof(uint16_t));
            if (indexBytes > 0)
                emscripten_glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, indexBytes, shaders.drawn.data());
            g.counters.uploadBytes += indexBytes;
        } else if (culling) {
            g.counters.trianglesDropped += static_cast<long>((kept.indexed.indices.size() - kept.indexCount) / 3);
        } else if (kept.culled) {
            // The same bytes drawn as lines or points take every index again.
            kept.indexCount = kept.indexed.indices.size();
            kept.culled = false;
            emscripten_glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0,
                                       static_cast<long>(kept.indexCount * sizeof(uint16_t)),
                                       kept.indexed.indices.data());
        }
        indexCount = kept.indexCount;
        if (indexCount == 0) {
            g.batchCount = 0;
            return;
        }
    }
    if (culling)
        g.counters.triangles += static_cast<long>(indexCount / 3);
    emscripten_glDrawElements(g.batchMode, static_cast<GLsizei>(indexCount), GL_UNSIGNED_SHORT, nullptr);
    g.counters.draws++;
    g.batchCount = 0;
}

void glLayerEndFrame()
{
    glLayerFlush();
    shaders.released.clear();
    batchEndFrame(&shaders.cache, &shaders.released);
    if (glLayer.ready)
        for (size_t i = 0; i + 2 < shaders.released.size(); i += 3) {
            emscripten_glDeleteBuffers(1, &shaders.released[i]);
            emscripten_glDeleteVertexArrays(1, &shaders.released[i + 1]);
            emscripten_glDeleteBuffers(1, &shaders.released[i + 2]);
        }
    glLayer.counters.frames++;
    shaders.streamsUsed = 0;
}

void glLayerLose()
{
    glLayer.ready = false;
    glLayer.batchCount = 0;
}

void glLayerRestore()
{
    // The old objects went with the old context; the kept batches' copies
    // and the layer's state make everything again.
    makeObjects();
    glLayerRestoreTextures();
    glLayerRestoreLists();
    glLayerRestoreCapabilities();
    glLayerRestoreFrameState();
    glLayer.ready = true;
}
