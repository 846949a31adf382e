// The one light of the browser's OpenGL layer and the light model.
//
// As in OpenGL, a light's position and spot direction are taken into eye
// coordinates when they are set, through the model-view matrix of that
// moment; the shader lights each vertex with them.
#include <cmath>

#include "platform/web/gl_layer.h"

namespace {

GlLight* lightOf(GLenum light)
{
    return light == GL_LIGHT0 ? &glLayer.light : nullptr;
}

// The batch was lit by the old light: it is drawn first.
GlLight* changing(GLenum light)
{
    GlLight* l = lightOf(light);
    if (l != nullptr) {
        glLayerFlush();
        glLayer.lightChanged = true;
    }
    return l;
}

void copy4(float* to, const GLfloat* from)
{
    for (int i = 0; i < 4; i++)
        to[i] = from[i];
}

}  // namespace

void glLightfv(GLenum light, GLenum pname, const GLfloat* params)
{
    GlLight* l = changing(light);
    if (l == nullptr)
        return;
    const float* m = glLayer.modelView;
    switch (pname) {
    case GL_AMBIENT: copy4(l->ambient, params); break;
    case GL_DIFFUSE: copy4(l->diffuse, params); break;
    case GL_SPECULAR: copy4(l->specular, params); break;
    case GL_POSITION:
        for (int row = 0; row < 4; row++)
            l->position[row] =
                m[row] * params[0] + m[4 + row] * params[1] + m[8 + row] * params[2] + m[12 + row] * params[3];
        break;
    case GL_SPOT_DIRECTION: {
        float d[3];
        for (int row = 0; row < 3; row++)
            d[row] = m[row] * params[0] + m[4 + row] * params[1] + m[8 + row] * params[2];
        // The shader compares it with unit vectors.
        const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        for (int i = 0; i < 3; i++)
            l->spotDirection[i] = length > 0.0f ? d[i] / length : 0.0f;
        break;
    }
    case GL_SPOT_EXPONENT: l->spotExponent = params[0]; break;
    case GL_SPOT_CUTOFF: l->spotCutoff = params[0]; break;
    case GL_CONSTANT_ATTENUATION: l->attenuation[0] = params[0]; break;
    case GL_LINEAR_ATTENUATION: l->attenuation[1] = params[0]; break;
    case GL_QUADRATIC_ATTENUATION: l->attenuation[2] = params[0]; break;
    default: break;
    }
}

void glLightf(GLenum light, GLenum pname, GLfloat param)
{
    if (pname == GL_SPOT_EXPONENT || pname == GL_SPOT_CUTOFF || pname == GL_CONSTANT_ATTENUATION ||
        pname == GL_LINEAR_ATTENUATION || pname == GL_QUADRATIC_ATTENUATION)
        glLightfv(light, pname, &param);
}

void glLightModelfv(GLenum pname, const GLfloat* params)
{
    if (pname != GL_LIGHT_MODEL_AMBIENT)
        return;
    glLayerFlush();
    glLayer.lightChanged = true;
    copy4(glLayer.modelAmbient, params);
}
