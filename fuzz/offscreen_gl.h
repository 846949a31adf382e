// An OpenGL context that draws into memory, with no display at all: for the
// fuzzing harnesses, which feed the drawing code millions of inputs.
//
// Built only into those harnesses (it links OSMesa, which must never share
// a binary with the system's libGL, since both define the gl* functions).
#pragma once

// Creates a width x height RGBA context with a 16-bit depth buffer and makes
// it current. False when the offscreen renderer is not available.
bool offscreenGlCreate(int width, int height);
