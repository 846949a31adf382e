// The offscreen OpenGL context on Mesa's OSMesa (software rendering into a
// buffer of this process). See offscreen_gl.h.
#include "fuzz/offscreen_gl.h"

#include <GL/osmesa.h>

#include <cstdlib>
#include <vector>

bool offscreenGlCreate(int width, int height)
{
    // One rendering thread: the fuzzers run side by side on few cores.
    setenv("LP_NUM_THREADS", "0", 0);
    static std::vector<unsigned char> pixels;
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
    if (context == nullptr)
        return false;
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
    return OSMesaMakeCurrent(context, pixels.data(), GL_UNSIGNED_BYTE, width, height) == GL_TRUE;
}
