// The matrices of the browser's OpenGL layer: the model-view and the
// projection matrix with the calls that change them, GLU's perspective, and
// the projection of a point to the window (for the raster position).
//
// Matrices are column-major floats and multiply on the right, as OpenGL's;
// rotations and the perspective are computed in double precision and then
// rounded, as the desktop's libraries do.
#include <cmath>

#include "platform/gl.h"
#include "platform/web/gl_layer.h"

namespace {

float* current()
{
    return glLayer.matrixMode == GL_PROJECTION ? glLayer.projection : glLayer.modelView;
}

// The batch was gathered under the old matrices: it is drawn first.
float* changing()
{
    glLayerFlush();
    glLayer.matricesChanged = true;
    return current();
}

// m = m x n, both column-major.
void multiply(float* m, const double* n)
{
    float result[16];
    for (int col = 0; col < 4; col++)
        for (int row = 0; row < 4; row++) {
            double sum = 0.0;
            for (int k = 0; k < 4; k++)
                sum += static_cast<double>(m[k * 4 + row]) * static_cast<float>(n[col * 4 + k]);
            result[col * 4 + row] = static_cast<float>(sum);
        }
    for (int i = 0; i < 16; i++)
        m[i] = result[i];
}

}  // namespace

void glMatrixMode(GLenum mode)
{
    if (mode == GL_MODELVIEW || mode == GL_PROJECTION)
        glLayer.matrixMode = mode;
}

void glLoadIdentity()
{
    float* m = changing();
    for (int i = 0; i < 16; i++)
        m[i] = i % 5 == 0 ? 1.0f : 0.0f;
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    const double t[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
    multiply(changing(), t);
}

void glScalef(GLfloat x, GLfloat y, GLfloat z)
{
    const double s[16] = {x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1};
    multiply(changing(), s);
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    const double length =
        std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y + static_cast<double>(z) * z);
    if (length == 0.0)
        return;
    const double ux = x / length, uy = y / length, uz = z / length;
    const double radians = angle * M_PI / 180.0;
    const double c = std::cos(radians), s = std::sin(radians), k = 1.0 - c;
    const double r[16] = {ux * ux * k + c,
                          uy * ux * k + uz * s,
                          ux * uz * k - uy * s,
                          0,
                          ux * uy * k - uz * s,
                          uy * uy * k + c,
                          uy * uz * k + ux * s,
                          0,
                          ux * uz * k + uy * s,
                          uy * uz * k - ux * s,
                          uz * uz * k + c,
                          0,
                          0,
                          0,
                          0,
                          1};
    multiply(changing(), r);
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    const double radians = fovy / 2.0 * M_PI / 180.0;
    const double depth = zFar - zNear;
    const double sine = std::sin(radians);
    if (depth == 0.0 || sine == 0.0 || aspect == 0.0)
        return;
    const double cotangent = std::cos(radians) / sine;
    const double p[16] =
        {cotangent / aspect,          0, 0, 0, 0, cotangent, 0, 0, 0, 0, -(zFar + zNear) / depth, -1, 0, 0,
         -2.0 * zNear * zFar / depth, 0};
    multiply(changing(), p);
}

bool glLayerProject(float x, float y, float z, float window[3])
{
    const float point[4] = {x, y, z, 1.0f};
    float eye[4], clip[4];
    for (int row = 0; row < 4; row++) {
        eye[row] = 0.0f;
        for (int k = 0; k < 4; k++)
            eye[row] += glLayer.modelView[k * 4 + row] * point[k];
    }
    for (int row = 0; row < 4; row++) {
        clip[row] = 0.0f;
        for (int k = 0; k < 4; k++)
            clip[row] += glLayer.projection[k * 4 + row] * eye[k];
    }
    const float w = clip[3];
    for (int i = 0; i < 3; i++)
        if (!(clip[i] >= -w && clip[i] <= w))
            return false;
    const GLint* v = glLayer.viewport;
    window[0] = static_cast<float>(v[0]) + (clip[0] / w + 1.0f) * 0.5f * static_cast<float>(v[2]);
    window[1] = static_cast<float>(v[1]) + (clip[1] / w + 1.0f) * 0.5f * static_cast<float>(v[3]);
    window[2] = (clip[2] / w + 1.0f) * 0.5f;
    return true;
}
