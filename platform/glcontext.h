// The OpenGL context of the main window.
#pragma once

// Creates an OpenGL context on the main window and makes it current.
// The context renders into a double-buffered RGBA surface with the colour
// depth asked for when the window was opened and a 16-bit depth buffer.
bool glContextCreate();

// Shows the back buffer (the frame just drawn).
void glContextSwapBuffers();

// Makes no context current and deletes the main window's context.
void glContextRelease();

// Builds `count` display lists, starting at `listBase`, each drawing one
// glyph of a built-in bitmap font with glBitmap and advancing the raster
// position by the glyph's width: list listBase + k draws character first + k.
// Needs a current context.
void glContextBuildFontLists(int first, int count, int listBase);
