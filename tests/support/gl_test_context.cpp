// A real OpenGL context for tests; see gl_test_context.h.
#include "tests/support/gl_test_context.h"

#include <cstdlib>

#include "platform/display.h"
#include "platform/glcontext.h"

bool testGlContext()
{
    static int state = 0;  // 0 not tried, 1 ready, -1 failed
    if (state == 0) {
        state = -1;
        if (std::getenv("DISPLAY") && platformInit() &&
            windowCreateMain("Vexarion test", TEST_GL_WIDTH, TEST_GL_HEIGHT, 24, WINDOW_HIDDEN) && glContextCreate())
            state = 1;
    }
    return state == 1;
}
