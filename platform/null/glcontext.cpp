// The null backend's OpenGL context: there is none, so nothing is drawn.
// Callers see glContextCreate() fail and skip their drawing.
#include "platform/glcontext.h"

bool glContextCreate()
{
    // Create an OpenGL 1.1 context on the main window and make it current; false if none.
    return false;
}

void glContextSwapBuffers()
{
    // Show the frame just drawn in the main window.
}

void glContextRelease()
{
    // Make no context current and delete the main window's context.
}

void glContextBuildFontLists(int, int, int)
{
    // Build one display list per glyph of a bitmap font, starting at the list base.
}
