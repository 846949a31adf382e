// The shaders of the browser's OpenGL layer and the one call that draws a
// batch: the vertex shader is the fixed pipeline's transform and its single
// light, lit per vertex with the default material (the program never sets
// one); the fragment shader multiplies the texture by the vertex colour
// (GL_MODULATE, the only texture environment the program uses).
#include <cmath>
#include <cstddef>

#include <string>

#include "platform/notice.h"
#include "platform/web/gl_layer.h"
#include "platform/web/webgl.h"

GlLayer glLayer;

namespace {

const char* const vertexSource = R"(#version 300 es
in vec3 position;
in vec3 normal;
in vec4 colour;
in vec2 texCoord;
uniform mat4 modelView;
uniform mat4 projection;
uniform mat3 normalMatrix;
uniform bool lighting;
uniform vec3 sceneColour;   // material ambient x light model ambient
uniform vec3 lightAmbient;  // material ambient x light ambient
uniform vec3 lightDiffuse;  // material diffuse x light diffuse
uniform vec4 lightPosition;  // eye coordinates; w = 0 is a direction
uniform vec3 spotDirection;  // unit length, eye coordinates
uniform float spotCosCutoff;  // below -1: no spot
uniform float spotExponent;
uniform vec3 attenuation;
out vec4 vertexColour;
out vec2 vertexTexCoord;
void main() {
    vec4 eye = modelView * vec4(position, 1.0);
    gl_Position = projection * eye;
    gl_PointSize = 1.0;
    vertexTexCoord = texCoord;
    if (!lighting) {
        vertexColour = clamp(colour, 0.0, 1.0);
        return;
    }
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
}
)";

const char* const fragmentSource = R"(#version 300 es
precision highp float;
in vec4 vertexColour;
in vec2 vertexTexCoord;
uniform bool texturing;
uniform sampler2D picture;
out vec4 fragmentColour;
void main() {
    fragmentColour = texturing ? vertexColour * texture(picture, vertexTexCoord) : vertexColour;
}
)";

// The material every face has: OpenGL's default, since no glMaterial call is made.
const float materialAmbient = 0.2f;
const float materialDiffuse = 0.8f;

enum Uniform {
    U_MODEL_VIEW,
    U_PROJECTION,
    U_NORMAL_MATRIX,
    U_LIGHTING,
    U_SCENE_COLOUR,
    U_LIGHT_AMBIENT,
    U_LIGHT_DIFFUSE,
    U_LIGHT_POSITION,
    U_SPOT_DIRECTION,
    U_SPOT_COS_CUTOFF,
    U_SPOT_EXPONENT,
    U_ATTENUATION,
    U_TEXTURING,
    U_PICTURE,
    U_COUNT
};
const char* const uniformNames[U_COUNT] = {"modelView",     "projection",    "normalMatrix", "lighting",
                                           "sceneColour",   "lightAmbient",  "lightDiffuse", "lightPosition",
                                           "spotDirection", "spotCosCutoff", "spotExponent", "attenuation",
                                           "texturing",     "picture"};

struct Shaders {
    GLuint program;
    GLuint vertexArray;
    GLuint buffer;
    int bufferUsed;  // vertices of the buffer drawn since it was last renewed
    GLint uniforms[U_COUNT];
    int lighting;  // the values last given, -1 before the first
    int texturing;
};
Shaders shaders;

const int bufferVertices = 4 * glBatchCapacity;

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

void giveLight()
{
    const GlLight& light = glLayer.light;
    const bool on = glLayer.light0;
    float scene[3], ambient[3], diffuse[3];
    for (int i = 0; i < 3; i++) {
        scene[i] = materialAmbient * glLayer.modelAmbient[i];
        ambient[i] = on ? materialAmbient * light.ambient[i] : 0.0f;
        diffuse[i] = on ? materialDiffuse * light.diffuse[i] : 0.0f;
    }
    emscripten_glUniform3fv(shaders.uniforms[U_SCENE_COLOUR], 1, scene);
    emscripten_glUniform3fv(shaders.uniforms[U_LIGHT_AMBIENT], 1, ambient);
    emscripten_glUniform3fv(shaders.uniforms[U_LIGHT_DIFFUSE], 1, diffuse);
    emscripten_glUniform4fv(shaders.uniforms[U_LIGHT_POSITION], 1, light.position);
    emscripten_glUniform3fv(shaders.uniforms[U_SPOT_DIRECTION], 1, light.spotDirection);
    const float cosCutoff =
        light.spotCutoff == 180.0f ? -2.0f : static_cast<float>(std::cos(light.spotCutoff * M_PI / 180.0));
    emscripten_glUniform1f(shaders.uniforms[U_SPOT_COS_CUTOFF], cosCutoff);
    emscripten_glUniform1f(shaders.uniforms[U_SPOT_EXPONENT], light.spotExponent);
    emscripten_glUniform3fv(shaders.uniforms[U_ATTENUATION], 1, light.attenuation);
}

}  // namespace

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
    shaders.program = glLayerLinkProgram(vertexSource, fragmentSource);
    const char* const attributes[] = {"position", "normal", "colour", "texCoord"};
    emscripten_glUseProgram(shaders.program);
    for (int u = 0; u < U_COUNT; u++)
        shaders.uniforms[u] = emscripten_glGetUniformLocation(shaders.program, uniformNames[u]);
    emscripten_glUniform1i(shaders.uniforms[U_PICTURE], 0);

    emscripten_glGenVertexArrays(1, &shaders.vertexArray);
    emscripten_glBindVertexArray(shaders.vertexArray);
    emscripten_glGenBuffers(1, &shaders.buffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, shaders.buffer);
    emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<long>(sizeof(GlVertex)) * bufferVertices, nullptr,
                            GL_STREAM_DRAW);
    const int sizes[] = {3, 3, 4, 2};
    const size_t offsets[] = {offsetof(GlVertex, position), offsetof(GlVertex, normal), offsetof(GlVertex, colour),
                              offsetof(GlVertex, texCoord)};
    for (int a = 0; a < 4; a++) {
        const GLint location = emscripten_glGetAttribLocation(shaders.program, attributes[a]);
        if (location < 0)
            continue;
        emscripten_glEnableVertexAttribArray(static_cast<GLuint>(location));
        emscripten_glVertexAttribPointer(static_cast<GLuint>(location), sizes[a], GL_FLOAT, GL_FALSE, sizeof(GlVertex),
                                         reinterpret_cast<const void*>(offsets[a]));
    }
    shaders.bufferUsed = 0;
    shaders.lighting = -1;
    shaders.texturing = -1;

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
    if (!g.ready || g.batchCount == 0)
        return;
    emscripten_glUseProgram(shaders.program);
    emscripten_glBindVertexArray(shaders.vertexArray);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, shaders.buffer);
    if (g.matricesChanged) {
        float normalMatrix[9];
        normalMatrixOf(g.modelView, normalMatrix);
        emscripten_glUniformMatrix4fv(shaders.uniforms[U_MODEL_VIEW], 1, GL_FALSE, g.modelView);
        emscripten_glUniformMatrix4fv(shaders.uniforms[U_PROJECTION], 1, GL_FALSE, g.projection);
        emscripten_glUniformMatrix3fv(shaders.uniforms[U_NORMAL_MATRIX], 1, GL_FALSE, normalMatrix);
        g.matricesChanged = false;
    }
    if (g.lightChanged) {
        giveLight();
        g.lightChanged = false;
    }
    if (shaders.lighting != g.lighting) {
        shaders.lighting = g.lighting;
        emscripten_glUniform1i(shaders.uniforms[U_LIGHTING], g.lighting);
    }
    if (shaders.texturing != g.texturing) {
        shaders.texturing = g.texturing;
        emscripten_glUniform1i(shaders.uniforms[U_TEXTURING], g.texturing);
    }
    // Batches follow each other in one buffer, which is renewed when full
    // rather than overwritten under draws still queued.
    if (shaders.bufferUsed + g.batchCount > bufferVertices) {
        emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<long>(sizeof(GlVertex)) * bufferVertices, nullptr,
                                GL_STREAM_DRAW);
        shaders.bufferUsed = 0;
    }
    emscripten_glBufferSubData(GL_ARRAY_BUFFER, static_cast<long>(sizeof(GlVertex)) * shaders.bufferUsed,
                               static_cast<long>(sizeof(GlVertex)) * g.batchCount, g.batch);
    emscripten_glDrawArrays(g.batchMode, shaders.bufferUsed, g.batchCount);
    shaders.bufferUsed += g.batchCount;
    g.batchCount = 0;
}
