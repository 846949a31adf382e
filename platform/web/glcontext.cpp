// The OpenGL context on a browser page: a WebGL 2 context on the canvas,
// with the OpenGL 1.1 layer (gl_*.cpp) set up on it.
//
// The canvas has no alpha of its own (the page never shows through), no
// multisampling (the desktop's context has none) and a depth buffer. The
// browser shows what was drawn when the step returns; a frame run back to
// back is finished with a read-back before the next begins. The context
// lives as long as the page: a scene the page starts again draws on it with
// the layer's shaders and buffers as they are.
#include "platform/glcontext.h"
#include "platform/web/gl_layer.h"
#include "platform/web/web_state.h"
#include "platform/web/webgl.h"

bool glContextCreate()
{
    if (platformWeb.glContext) {
        emscripten_webgl_make_context_current(platformWeb.glContext);
        glLayer.ready = true;
        return true;
    }
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_FALSE;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(canvasSelector, &attributes);
    if (context <= 0) {
        emscripten_log(EM_LOG_ERROR, "Vexarion: this browser gives no WebGL 2 context");
        return false;
    }
    emscripten_webgl_make_context_current(context);
    platformWeb.glContext = context;
    glLayerInit(platformWeb.width, platformWeb.height);
    return true;
}

void glContextSwapBuffers()
{
    glLayerFlush();
    if (platformWeb.pacing == FRAMES_BACK_TO_BACK) {
        unsigned char pixel[4];
        emscripten_glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    }
}

void glContextRelease()
{
    // The context stays with the page, so that the last frame stays on the
    // canvas; nothing draws into it any more.
    glLayerFlush();
    glLayer.ready = false;
}
