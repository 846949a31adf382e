// The OpenGL context on a browser page: a WebGL 2 context on the canvas,
// with the OpenGL 1.1 layer (gl_*.cpp) set up on it.
//
// The canvas has no alpha of its own (the page never shows through), no
// multisampling (the desktop's context has none) and a depth buffer. The
// browser shows what was drawn when the step returns. Frames run back to
// back are finished with a read-back at the end of each slice of them
// (glWebFinishFrames), and only there: the browser's GPU process draws the
// frames while the page gathers the next ones, and neither waits for the
// other within a slice (frames.cpp keeps a slice short, drawing included).
// The context lives as long as the page: a scene the page starts again
// draws on it with the layer's shaders and buffers as they are.
//
// The browser may take the context away (a phone asleep, a GPU reset). The
// loss is cancelled, so that the browser may give it back; meanwhile the
// scene plays on and the layer draws nothing, and once the context is back
// the layer makes its objects again and the next frame shows the scene
// where it is.
#include <emscripten/emscripten.h>

#include "platform/glcontext.h"
#include "platform/notice.h"
#include "platform/web/gl_layer.h"
#include "platform/web/web_state.h"
#include "platform/web/webgl.h"

namespace {

int framesUnfinished = 0;

EM_BOOL contextLost(int, const void*, void*)
{
    glLayerLose();
    noticeShow(NOTICE_STATUS, "Vexarion: the browser took the WebGL context away; the scene plays on unseen\n");
    return EM_TRUE;  // cancelled: the browser may restore it
}

EM_BOOL contextRestored(int, const void*, void*)
{
    emscripten_webgl_make_context_current(platformWeb.glContext);
    glLayerRestore();
    noticeShow(NOTICE_STATUS, "Vexarion: the WebGL context is back\n");
    return EM_TRUE;
}

}  // namespace

// What the layer has sent, for measuring it: 0 frames, 1 draws, 2 vertex
// uploads, 3 the bytes of all buffer uploads, 4 program changes, 5 uniform
// uploads, 6 texture binds, 7 triangles drawn, 8 triangles left out as
// making no pixel.
extern "C" EMSCRIPTEN_KEEPALIVE double webGlCounter(int which)
{
    const GlCounters& c = glLayer.counters;
    const long values[] = {c.frames,         c.draws,        c.uploads,   c.uploadBytes,     c.programChanges,
                           c.uniformUploads, c.textureBinds, c.triangles, c.trianglesDropped};
    return which >= 0 && which < 9 ? static_cast<double>(values[which]) : -1.0;
}

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
    emscripten_set_webglcontextlost_callback(canvasSelector, nullptr, EM_FALSE, contextLost);
    emscripten_set_webglcontextrestored_callback(canvasSelector, nullptr, EM_FALSE, contextRestored);
    glLayerInit(platformWeb.width, platformWeb.height);
    return true;
}

void glContextSwapBuffers()
{
    glLayerEndFrame();
    if (platformWeb.pacing == FRAMES_BACK_TO_BACK)
        framesUnfinished++;
    // The page may follow the frames (context.js, losing the context on a
    // frame chosen for a test).
    EM_ASM({
        if (Module.onFrameDrawn)
            Module.onFrameDrawn();
    });
}

void glWebFinishFrames()
{
    // Reading a pixel waits for every frame drawn so far.
    if (framesUnfinished > 0 && glLayer.ready) {
        unsigned char pixel[4];
        emscripten_glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    }
    framesUnfinished = 0;
}

void glContextRelease()
{
    // The context stays with the page, so that the last frame stays on the
    // canvas; nothing draws into it any more.
    glLayerFlush();
    glLayer.ready = false;
}
