// The OpenGL context of the main window and the drawing of one frame.
//
// The camera lives entirely on the projection matrix; every mesh draw loads
// its own model-view matrix. One light lights the room; the lightning flash
// turns it into a white light from above. The scene turns slowly about the
// vertical axis, 3 degrees per second.
#pragma once

// Creates the context on the main window and makes it current.
void createGLContext();

// Draws one frame and swaps the buffers; frameTime (seconds) turns the scene.
void renderFrame(float frameTime);

// Shows the frame just drawn.
void swapFrameBuffers();

// Releases the context.
void releaseGLContext();

// Called, when set, after a frame is drawn and before its buffers are
// swapped, so a replay can read the frame back.
extern void (*renderBeforeSwap)();
