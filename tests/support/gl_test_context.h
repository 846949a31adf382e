// A real OpenGL context for tests: a hidden 256 x 256 main window opened
// once per test process through the platform layer (under Xvfb on machines
// without a display of their own).
#pragma once

// Opens the window and makes its context current on the first call; false
// when there is no display to open it on.
bool testGlContext();
