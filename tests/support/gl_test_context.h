// A real OpenGL context for tests: a hidden main window opened once per
// test process through the platform layer (under Xvfb on machines without
// a display of their own).
#pragma once

// Opens the window and makes its context current on the first call.
// False when there is no display to open it on.
bool testGlContext();

// Window size of the test context, in pixels.
enum { TEST_GL_WIDTH = 256, TEST_GL_HEIGHT = 256 };
