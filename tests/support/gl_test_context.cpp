// A real OpenGL context for tests; see gl_test_context.h.
#include "tests/support/gl_test_context.h"

#include <cstdlib>

#include "platform/display.h"
#include "platform/glcontext.h"

bool testGlContext()
{
    static const bool ready = std::getenv("DISPLAY") && platformInit() &&
                              windowCreateMain("Vexarion test", 256, 256, 24, WINDOW_HIDDEN) && glContextCreate();
    return ready;
}
